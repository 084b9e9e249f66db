// A save of one slot from the old texts to "new", cut short: its journal, as
// the program writes it, and each of the files it names laid out as a test
// gives them ("data2.txt=old", "temporary mnuname2.txt=new"). The name and
// the caption get the same texts.
#pragma once

#include "file_bytes.h"
#include "files/systemfile.h"
#include "slots/savejournal.h"
#include "slots/slottable.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace cut_short_save {

inline QByteArray sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

inline name_slots::SaveJournal journal(const QString &folder, int slot,
                                       std::optional<QByteArray> old)
{
    const QByteArray next("new");
    name_slots::SaveJournal j{slot, {}};
    const name_slots::NameSlot &s = name_slots::slotNumbered(slot);
    for (int i = 0; i < 2; ++i) {
        const QString file = QDir(files::resolvedFile(folder))
                                 .filePath(QString::fromLatin1(i ? s.captionFile : s.dataFile));
        j.files[i] = {file, name_slots::temporaryFor(file),
                      old ? std::optional(sha256(*old)) : std::nullopt, next.size(), sha256(next)};
    }
    return j;
}

// The journal's bytes with the checksum at their end made anew.
inline QByteArray resealed(const QByteArray &journal)
{
    const QByteArray body = journal.chopped(64 + 1);
    return body + sha256(body).toHex() + '\n';
}

// The path of a file in the layout: a slot file, "temporary FILE", or "journal".
// "NAME->TARGET" lays NAME as a link to TARGET.
inline QString pathOf(const name_slots::SaveJournal &j, const QString &folder, const QString &name)
{
    if (name == QLatin1String("journal"))
        return name_slots::journalPath(folder, j.slot);
    for (const name_slots::JournalEntry &f : j.files)
        if (name == QLatin1String("temporary ") + QFileInfo(f.file).fileName())
            return f.temporary;
    return QDir(folder).filePath(name);
}

// Writes the journal and the files, each "NAME=CONTENT".
inline void lay(const name_slots::SaveJournal &j, const QString &folder, const QStringList &files)
{
    file_bytes::write(name_slots::journalPath(folder, j.slot),
                      name_slots::encodeJournal(j, files::resolvedFile(folder)));
    for (const QString &file : files)
        if (file.contains(QLatin1String("->")))
            QVERIFY(QFile::link(file.section(QLatin1String("->"), 1),
                                pathOf(j, folder, file.section(QLatin1String("->"), 0, 0))));
        else
            file_bytes::write(pathOf(j, folder, file.section(u'=', 0, 0)),
                              file.section(u'=', 1).toUtf8());
}

// What the folder holds, in the same words; the journal as "journal" alone.
inline QStringList layout(const name_slots::SaveJournal &j, const QString &folder)
{
    QStringList found;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString path = dir.filePath(name);
        if (path == name_slots::journalPath(folder, j.slot))
            found << QStringLiteral("journal");
        else if (name != QLatin1String(".slots.lock"))
            found << (name == QFileInfo(j.files[0].temporary).fileName()
                          ? QStringLiteral("temporary data%1.txt").arg(j.slot)
                      : name == QFileInfo(j.files[1].temporary).fileName()
                          ? QStringLiteral("temporary mnuname%1.txt").arg(j.slot)
                          : name) +
                         u'=' + QString::fromUtf8(file_bytes::read(path));
    }
    found.sort();
    return found;
}

} // namespace cut_short_save
