#include "file_bytes.h"
#include "glyphs/glyphs.h"
#include "unicode_text/codepage.h"
#include "unicode_text/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace unicode_text;

namespace {

QString windows1252Repertoire()
{
    QByteArray bytes;
    for (int b = 1; b < 256; ++b)
        bytes.append(char(b));
    return decodeWindows1252(bytes);
}

} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void decode_data();
    void decode();
    void savesUtf8WithoutBom();
    void missingFileLoadsEmpty();
    void windows1252HighBytes();
    void toCodePage_data();
    void toCodePage();

private:
    QTemporaryDir m_dir;
};

void TestTextFile::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QString glyphsText;
    for (const glyphs::GlyphRow &row : glyphs::kTable)
        glyphsText.append(QChar(row.glyph));
    QTest::newRow("every glyph") << glyphsText;
    QTest::newRow("Windows-1252 repertoire") << windows1252Repertoire();
    QTest::newRow("empty") << QString();
    QTest::newRow("one space") << " ";
    QTest::newRow("line breaks") << "a\r\nb\nc\r";
    // (QString::fromUtf16 would drop a leading U+FEFF as a byte order mark.)
    const QString bom(QChar::ByteOrderMark);
    QTest::newRow("leading U+FEFF") << bom + QStringLiteral("name");
    QTest::newRow("two leading U+FEFF") << bom + bom + QStringLiteral("name");
    QTest::newRow("outside the BMP") << QString::fromUtf16(u"x\U0001F600y");
    QTest::newRow("NUL inside") << QString::fromUtf16(u"a\u0000b", 3);
    QTest::newRow("longest name") << QString(32766, QChar(0x0637));
    QTest::newRow("exactly the file size limit") << QString(kMaxTextFileBytes, QChar(u'a'));
}

void TestTextFile::roundTrip()
{
    QFETCH(QString, text);
    const QString path = m_dir.filePath("roundtrip.txt");
    file_bytes::write(path, encodeText(text));
    const TextFileResult loaded = loadTextFile(path);
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.text, text);
}

void TestTextFile::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString ete = QString::fromUtf16(u"\u00E9t\u00E9");
    QTest::newRow("UTF-8") << QByteArray("\xC3\xA9t\xC3\xA9") << ete;
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF\xC3\xA9t\xC3\xA9") << ete;
    QTest::newRow("UTF-16LE with BOM") << QByteArray("\xFF\xFE\xE9\x00t\x00\xE9\x00", 8) << ete;
    QTest::newRow("UTF-16BE with BOM") << QByteArray("\xFE\xFF\x00\xE9\x00t\x00\xE9", 8) << ete;
    QTest::newRow("invalid UTF-8 is Windows-1252") << QByteArray("\xE9t\xE9") << ete;
    QTest::newRow("Windows-1252 euro and quotes")
        << QByteArray("\x80\x93x\x94") << QString::fromUtf16(u"\u20AC\u201Cx\u201D");
    QTest::newRow("undefined Windows-1252 byte")
        << QByteArray("\x81\xFF") << QString::fromUtf16(u"\u0081\u00FF");
    QTest::newRow("UTF-16 lone surrogate becomes U+FFFD")
        << QByteArray("\xFF\xFE\x00\xD8x\x00", 6) << QString::fromUtf16(u"\uFFFDx");
    QTest::newRow("empty") << QByteArray() << QString();
    // Found by fuzzing: a mark after the mark is text, and must survive a save.
    QTest::newRow("UTF-16 mark after the mark")
        << QByteArray("\xFF\xFE\xFF\xFE"
                      "a\x00",
                      6)
        << QChar(QChar::ByteOrderMark) + QStringLiteral("a");
    QTest::newRow("UTF-8 mark after the mark") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                             "a")
                                               << QChar(QChar::ByteOrderMark) + QStringLiteral("a");
}

void TestTextFile::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeText(bytes), text);
}

void TestTextFile::savesUtf8WithoutBom()
{
    QCOMPARE(encodeText(QString::fromUtf16(u"a\u0103")), QByteArray("a\xC4\x83"));
}

void TestTextFile::missingFileLoadsEmpty()
{
    const TextFileResult r = loadTextFile(m_dir.filePath("never-written.txt"));
    QVERIFY(r.ok());
    QVERIFY(r.text.isEmpty());
}

// Bytes 0x80..0x9F, written out from the code page's published table: 27
// characters, and the five undefined bytes, which stand for the C1 control
// of the same value.
void TestTextFile::windows1252HighBytes()
{
    const char16_t expected[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
    };
    for (int b = 0x80; b < 0xA0; ++b)
        QCOMPARE(fromWindows1252(uchar(b)), expected[b - 0x80]);
    // The 27 defined ones are the name box's own; the undefined ones are not.
    for (const char16_t c : expected) {
        const bool undefined = c < 0x100;
        QCOMPARE(unicode_text::toCodePage(QString(QChar(c))),
                 undefined ? QStringLiteral("?") : QString(QChar(c)));
    }
}

void TestTextFile::toCodePage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("held");
    QString printable;
    for (const QChar c : windows1252Repertoire())
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F &&
            !(c.unicode() >= 0x80 && c.unicode() < 0xA0))
            printable.append(c);
    QCOMPARE(printable.size(), 27 + 95 + 96); // the high bytes, ASCII, Latin-1
    QTest::newRow("printable Windows-1252") << printable << printable;
    QTest::newRow("tabs and line breaks become spaces")
        << QString::fromUtf16(u"a\tb\nc\r\nd\u2028e\u2029f\u0085g") << "a b c  d e f g";
    QTest::newRow("control characters become ?")
        << QString::fromUtf16(u"a\u0000b\u001B\u0007\u007F\u0081c", 8) << "a?b????c";
    QTest::newRow("euro stays") << QString::fromUtf16(u"\u20AC") << QString::fromUtf16(u"\u20AC");
    QTest::newRow("U+0080 is not the euro byte") << QString::fromUtf16(u"\u0080") << "?";
    QTest::newRow("glyphs become ?") << QString::fromUtf16(u"a\u0103\u0637b") << "a??b";
    QTest::newRow("combining marks composed where the code page has the letter")
        << QString::fromUtf16(u"Zoe\u0308 Jose\u0301 q\u0307")
        << QString::fromUtf16(u"Zo\u00EB Jos\u00E9 q?");
    QTest::newRow("a surrogate pair is one ?") << QString::fromUtf16(u"a\U0001F600b") << "a?b";
    QTest::newRow("lone surrogate") << QString(u'a') + QChar(0xD800) + u'b' << "a?b";
}

void TestTextFile::toCodePage()
{
    QFETCH(QString, text);
    QFETCH(QString, held);
    QCOMPARE(unicode_text::toCodePage(text), held);
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
