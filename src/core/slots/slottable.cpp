#include "slottable.h"

#include <QDir>

namespace name_slots {

const NameSlot &slotNumbered(int number)
{
    Q_ASSERT(number >= 1 && number <= int(kSlots.size()));
    return kSlots[number - 1];
}

QString slotFile(const QString &folder, int slot, int file)
{
    const NameSlot &s = slotNumbered(slot);
    return QDir(folder).filePath(QString::fromLatin1(file ? s.captionFile : s.dataFile));
}

} // namespace name_slots
