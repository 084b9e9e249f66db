#pragma once

// The three name slots. Slot N keeps the name that Open brings back in its
// data file and the text that labels it in the File menu in its caption
// file; during a run the caption lives in the hidden buffer nameN, and the
// slot's two menu items, under File > Open and File > Save, always carry
// the same caption: the caption text, or the default caption while that
// text is empty.

#include <QString>
#include <array>

namespace name_slots {

struct NameSlot
{
    int number;
    const char *dataFile;
    const char *captionFile;
    const char *captionBuffer;
    const char *openItem;
    const char *saveItem;
    const char *defaultCaption;
};

inline constexpr std::array<NameSlot, 3> kSlots{{
    {1, "data1.txt", "mnuname1.txt", "name1", "opname1", "savname1", "Name1"},
    {2, "data2.txt", "mnuname2.txt", "name2", "opname2", "savname2", "Name2"},
    {3, "data3.txt", "mnuname3.txt", "name3", "opname3", "savname3", "Name3"},
}};

// A caption text as a menu item shows it, literally: "&" is no access-key
// marker, and tabs and line breaks, which a one-line item cannot show,
// become spaces.
QString menuCaption(const QString &caption);

} // namespace name_slots
