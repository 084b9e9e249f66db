#pragma once

// A save of a slot's two files, and the finishing of one cut short, through
// a journal: the next start acts only on a whole journal this program
// wrote, and only on the files it names while they hold what it says.

#include "slotstore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace name_slots {

// What a journal records of one of the slot's two files.
struct JournalFile
{
    QString file;                  // the file replaced: the slot file, or where its link leads
    QString temporary;             // the new text, written beside it before it is moved in
    std::optional<QByteArray> old; // what the file held; none where there was no file
    qint64 newSize = 0;
    QByteArray newSha256;
};

struct SaveJournal
{
    enum State {
        Saving, // the slot's files may hold the old texts, the new ones, or one of each
        Ended,  // they are settled; only temporary files are left to remove
    };
    int slot = 0;
    State state = Saving;
    std::array<JournalFile, 2> files; // the name's, then the caption's
};

QByteArray encodeJournal(const SaveJournal &journal);
// The journal these bytes hold, if they are one whole journal.
std::optional<SaveJournal> decodeJournal(QByteArrayView bytes);
QString journalPath(const QString &folder, int slot);
// The temporary file that the new text of file is written to first.
QString temporaryFor(const QString &file);

// The slots whose journal, or a journal's temporary file, is in the folder.
QList<int> slotsWithJournals(const QString &folder);

// Both of these need the folder's lock.
//
// Saves the name and the caption in the slot's two files, or changes neither.
SaveResult saveWithJournal(const QString &folder, int slot,
                           const std::array<QStringView, 2> &texts);
// Finishes the slot's save cut short, if its journal is there; says what it
// did where the slot's files changed or could not be finished. Where the
// slot is about to be saved again, a journal left as it is gives way.
std::optional<FinishedSave> finishSave(const QString &folder, int slot, bool savingNext = false);

} // namespace name_slots
