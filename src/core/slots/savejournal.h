#pragma once

// A save of a slot's two files, and the finishing of one cut short, through
// a journal written once both new texts are whole beside their files: its
// arrival on the disk decides the save, and finishing it only ever moves the
// new texts in.

#include "files/systemfile.h"
#include "slotresults.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace name_slots {

// What a journal records of one slot file; no text of a name.
struct JournalEntry
{
    QString file;                        // as the system resolves the slot file
    QString temporary;                   // its new text, beside it
    std::optional<QByteArray> oldSha256; // of what it held; none where there was no file
    qint64 newSize = 0;
    QByteArray newSha256;
};

struct SaveJournal
{
    int slot = 0;
    std::array<JournalEntry, 2> files; // the name's, then the caption's
};

QByteArray sha256(QByteArrayView bytes);

// The journal names its files from the slot folder as resolved, so that it
// holds after the folder is moved.
QByteArray encodeJournal(const SaveJournal &journal, const QString &folder);
// The journal these bytes hold, if they are one whole journal of this
// program's, its files placed from folder.
std::optional<SaveJournal> decodeJournal(QByteArrayView bytes, const QString &folder);
QString journalPath(const QString &folder, int slot);
// A new name for a temporary file beside file, and whether name is one.
QString temporaryFor(const QString &file);
bool isTemporaryName(const QString &name, const QString &file);

// Writes the journal beside its place, its owner's alone, synced, and moves
// it in: a journal of an earlier save is replaced by this move only.
files::FileResult writeJournal(const QString &folder, const SaveJournal &journal);
// Removes the temporary files beside the slot's files, as named and as
// resolved (a link may have changed since), and beside its journal.
void removeLeftovers(const QString &folder, int slot);
// The slots with a journal, or a temporary file, in the folder.
QList<int> slotsToFinish(const QString &folder);

// The slot's journal, where read holds one whole journal of this slot's.
std::optional<SaveJournal> slotJournal(const QString &folder, int slot, files::FileBytes &read);

// Saves the name and the caption in the slot's two files; the folder is
// resolved and locked.
SaveResult saveWithJournal(const files::FileLock &lock, const QString &folder, int slot,
                           const std::array<QStringView, 2> &texts);
// Finishes the slot's save cut short, if its journal is there, and removes
// what no journal names; says what it did where the slot's files changed or
// the journal was left as it is.
std::optional<FinishedSave> finishSave(const files::FileLock &lock, const QString &folder,
                                       int slot);

} // namespace name_slots
