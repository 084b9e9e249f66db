<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>common::UniText</name>
    <message numerus="yes">
        <source>The name has %n character(s).</source>
        <translation>
            <numerusform>The name has %n character.</numerusform>
            <numerusform>The name has %n characters.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>It is %n byte(s) in UTF-8: CS 1.6, Condition Zero and CS: Source keep all of it (%1 bytes at most).</source>
        <translation>
            <numerusform>It is %n byte in UTF-8: CS 1.6, Condition Zero and CS: Source keep all of it (%1 bytes at most).</numerusform>
            <numerusform>It is %n bytes in UTF-8: CS 1.6, Condition Zero and CS: Source keep all of it (%1 bytes at most).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>It is %1 bytes in UTF-8; CS 1.6, Condition Zero and CS: Source keep %2 bytes: the first %n character(s).</source>
        <translation>
            <numerusform>It is %1 bytes in UTF-8; CS 1.6, Condition Zero and CS: Source keep %2 bytes: the first %n character.</numerusform>
            <numerusform>It is %1 bytes in UTF-8; CS 1.6, Condition Zero and CS: Source keep %2 bytes: the first %n characters.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>name_slots::SlotStore</name>
    <message numerus="yes">
        <source>It is %n character(s) long; a caption holds at most %1.</source>
        <translation>
            <numerusform>It is %n character long; a caption holds at most %1.</numerusform>
            <numerusform>It is %n characters long; a caption holds at most %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>It is %n character(s) long; a name holds at most %1.</source>
        <translation>
            <numerusform>It is %n character long; a name holds at most %1.</numerusform>
            <numerusform>It is %n characters long; a name holds at most %1.</numerusform>
        </translation>
    </message>
</context>
</TS>
