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

QString menuCaption(const QString &caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (const QChar c : caption) {
        if (c == u'&')
            shown.append(QStringLiteral("&&"));
        else if (c == u'\t' || c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
                 c == QChar::ParagraphSeparator)
            shown.append(u' ');
        else
            shown.append(c);
    }
    return shown;
}

} // namespace name_slots
