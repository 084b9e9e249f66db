#pragma once

// A save of a slot's two files, and the finishing of one cut short, through
// a journal: the next start acts only on a whole journal this program
// wrote, and only on the files it names while they are the slot's files and
// hold what it says.

#include "files/systemfile.h"
#include "slotresults.h"
#include "unicode_text/textfile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace name_slots {

class FolderLock;

// A journal holds both old texts in base64: room for the largest pair a save
// replaces, and for the rest of the journal.
inline constexpr qint64 kMaxJournalBytes =
    2 * ((unicode_text::kMaxTextFileBytes + 2) / 3 * 4) + 64 * 1024;

// What a journal records of one of the slot's two files.
struct JournalFile
{
    QString file;                  // the file replaced, as the system resolves the slot file
    QString temporary;             // the new text, written beside it before it is moved in
    std::optional<QByteArray> old; // what the file held; none where there was no file
    qint64 newSize = 0;
    QByteArray newSha256;
    files::FileMode mode; // of the file replaced, for its new text; not recorded
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

// The journal names its files from the slot folder as the system resolves
// it, so that it holds under any spelling of the folder, and after a move.
QByteArray encodeJournal(const SaveJournal &journal, const QString &folder);
// The journal these bytes hold, if they are one whole journal, with its
// files placed from folder.
std::optional<SaveJournal> decodeJournal(QByteArrayView bytes, const QString &folder);
QString journalPath(const QString &folder, int slot);
// A new temporary file for the new text of file, beside it.
QString temporaryFor(const QString &file);
// Whether name is the name of one of file's temporary files.
bool isTemporaryName(const QString &name, const QString &file);

// Writes the journal whole beside its place, then moves it in, so that a
// journal is either there whole or not at all; readable only as far as the
// files it holds the old texts of.
files::FileResult writeJournal(const QString &folder, const SaveJournal &journal);
// Removes the journal's own temporary files, left where the program stopped
// before a journal was moved into place.
void removeJournalTemporaries(const QString &folder, int slot);

// The slots whose journal, or a journal's temporary file, is in the folder.
QList<int> slotsWithJournals(const QString &folder);

// Saves the name and the caption in the slot's two files, or changes neither.
SaveResult saveWithJournal(const FolderLock &lock, const QString &folder, int slot,
                           const std::array<QStringView, 2> &texts);
// Finishes the slot's save cut short, if its journal is there; says what it
// did where the slot's files changed, or could not be finished.
std::optional<FinishedSave> finishSave(const FolderLock &lock, const QString &folder, int slot);

} // namespace name_slots
