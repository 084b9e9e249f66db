#pragma once

// The three name slots. Slot N keeps the name that Open brings back in its
// data file and the text that labels it in the File menu in its caption
// file. The slot's two menu items, under File > Open and File > Save,
// always carry the same caption: the caption text, or the default caption
// while that text is empty.

#include <QString>
#include <array>

namespace name_slots {

struct NameSlot
{
    int number;
    const char *dataFile;
    const char *captionFile;
    const char *defaultCaption;
};

inline constexpr std::array<NameSlot, 3> kSlots{{
    {1, "data1.txt", "mnuname1.txt", "Name1"},
    {2, "data2.txt", "mnuname2.txt", "Name2"},
    {3, "data3.txt", "mnuname3.txt", "Name3"},
}};

// The slot numbered 1, 2 or 3.
const NameSlot &slotNumbered(int number);
// The slot's data file (0) or caption file (1) in folder.
QString slotFile(const QString &folder, int slot, int file);

} // namespace name_slots
