// A save of slot N, in saveWithJournal's order: the lock; both files
// resolved; both new texts written whole beside them; the journal, synced
// and moved into place, which decides the save; the new texts moved in;
// the journal removed. Nothing is ever put back: before the journal is in
// place a failure removes what the save wrote, and once a file has moved,
// the next start finishes the save. The start acts by what it finds:
//
//      journal          slot files                  the start                        function
//   1  none             -                           removes the temporaries         removeLeftovers
//   2  unreadable, not  -                           leaves all, names the journal    finishSave
//      whole, or
//      another slot's
//   3  whole            not the files it names now  leaves all, names the file       notTheSlots
//   4  whole            each holds its new text     removes the journal, silently    settle
//   5  whole            each new, or as it was      moves the new texts in, tells    settle
//                       with a whole temporary      "completed"
//   6  whole            one changed since or not    moves the other's in, names the  settle
//                       readable, or its temporary  one (first one a save would
//                       not whole                   refuse), removes the journal
//
// The test saveCutShort has a row for each: 1 "writing the temporary files",
// 2 "a journal torn", 3 "the name's link leads to another file now",
// 4 "removing the journal", 5 "moving them in", 6 "the name changed since".
// Where a move or a sync of the start's fails, the journal stays for the
// next start. Finishing is safe to repeat: it moves only whole new texts over
// files that hold what they held, and the journal goes last.

#include "savejournal.h"

#include "slottable.h"
#include "unicode_text/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace name_slots {
namespace {

using files::FileBytes;
using files::FileResult;

FileBytes load(const QString &path, files::Links links = files::Links::Follow)
{
    return files::loadFileBytes(path, unicode_text::kMaxTextFileBytes, links);
}

SaveResult failed(int slot, int file, const QString &path, const QString &reason)
{
    return {file == 0 ? SaveResult::NameNotSaved : SaveResult::CaptionNotSaved,
            {slot, path, reason}};
}

FinishedSave notFinished(int slot, const QString &path, const QString &reason,
                         FinishedSave::Remedy remedy)
{
    return {slot, FinishedSave::LeftAsItIs, {slot, path, reason}, remedy, {}};
}

// A slot file that is another of the six slot files, through a link.
QString sameFileAs(const QString &folder, int slot, int index, const QString &file)
{
    for (const NameSlot &other : kSlots)
        for (int i = 0; i < 2; ++i)
            if ((other.number != slot || i < index) &&
                files::resolvedFile(slotFile(folder, other.number, i)) == file)
                return SlotTexts::tr("It is the same file as %1.")
                    .arg(QDir::toNativeSeparators(slotFile(folder, other.number, i)));
    return QString();
}

// What a save would refuse in the slot's file: the file as a save names it,
// and why; ok, naming the file as resolved, where it would not. Reads the
// file into now, wherever it leads somewhere.
FileProblem refusal(const QString &folder, int slot, int index, FileBytes &now)
{
    const QString path = slotFile(folder, slot, index), file = files::resolvedFile(path);
    if (!file.isNull())
        now = load(file);
    QString why = files::whyNotReplaceable(path);
    if (why.isNull())
        why = sameFileAs(folder, slot, index, file);
    return why.isNull() ? FileProblem{slot, file, now.error} : FileProblem{slot, path, why};
}

// The folders the journal's files are in, each once.
QStringList foldersOf(const SaveJournal &journal)
{
    QStringList folders{files::folderOf(journal.files[0].file),
                        files::folderOf(journal.files[1].file)};
    folders.removeDuplicates();
    return folders;
}

// Syncs the folders, the slot folder left out unless asked for; the first
// that fails is named.
FileProblem syncFolders(int slot, const QStringList &folders, const QString &except = QString())
{
    for (const QString &folder : folders)
        if (folder != except)
            if (const FileResult r = files::syncFolder(folder); !r.ok())
                return {slot, folder, r.error};
    return {};
}

void removeTemporaries(const SaveJournal &journal)
{
    for (const JournalEntry &f : journal.files)
        (void)files::removeFile(f.temporary); // or at the next save or start
}

bool holds(const FileBytes &read, qint64 size, const QByteArray &hash)
{
    return read.ok() && read.exists && read.bytes.size() == size && sha256(read.bytes) == hash;
}

// Takes a decided save back where no file has moved yet: without its
// journal, nothing changed. Where the journal cannot be removed, the next
// start completes the save.
SaveResult takeBack(const QString &folder, const SaveJournal &journal, SaveResult failure)
{
    if (!files::removeFile(journalPath(folder, journal.slot)).ok())
        return {SaveResult::Unfinished, failure.problem, 0};
    removeTemporaries(journal);
    return failure;
}

// Writes both new texts beside their files; where one fails, removes them.
SaveResult writeTemporaries(const SaveJournal &journal, const std::array<QByteArray, 2> &bytes)
{
    for (int i = 0; i < 2; ++i) {
        const JournalEntry &f = journal.files[i];
        if (const FileResult r = files::writeNewFile(f.temporary, bytes[i], f.file); !r.ok()) {
            removeTemporaries(journal);
            // A folder where no file can be made is the problem, not the file.
            const QString folder = files::folderOf(f.file);
            return failed(journal.slot, i, files::isWritableFolder(folder) ? f.file : folder,
                          r.error);
        }
    }
    return {};
}

// The decided save, done: both new texts moved in and on the disk.
SaveResult moveIn(const QString &folder, const SaveJournal &journal)
{
    for (int i = 0; i < 2; ++i)
        if (const FileResult r = files::moveFile(journal.files[i].temporary, journal.files[i].file);
            !r.ok()) {
            const SaveResult failure = failed(journal.slot, i, journal.files[i].file, r.error);
            return i == 0 ? takeBack(folder, journal, failure)
                          : SaveResult{SaveResult::Unfinished, failure.problem, 1};
        }
    if (FileProblem p = syncFolders(journal.slot, foldersOf(journal)); !p.ok())
        return {SaveResult::Unfinished, std::move(p), 2};
    // A journal that cannot be removed yet goes at the next save or start.
    (void)files::removeFile(journalPath(folder, journal.slot));
    removeLeftovers(folder, journal.slot);
    return {};
}

// A journal acts only on the files that the slot's files resolve to now.
// One that leads elsewhere is named as a save would name it, where a save
// would stop at it.
std::optional<FinishedSave> notTheSlots(const QString &folder, const SaveJournal &journal)
{
    for (int i = 0; i < 2; ++i) {
        const QString path = slotFile(folder, journal.slot, i);
        if (files::resolvedFile(path) == journal.files[i].file)
            continue;
        FileBytes unused;
        if (const FileProblem p = refusal(folder, journal.slot, i, unused); !p.ok())
            return notFinished(journal.slot, p.path, p.reason, FinishedSave::PutRightThenSave);
        return notFinished(journal.slot, path,
                           SlotTexts::tr("The slot's link leads to another file now."),
                           FinishedSave::SaveAgain);
    }
    return std::nullopt;
}

// Why a file the journal names cannot take its new text; null where it
// holds it already, or may.
QString inTheWay(const JournalEntry &f, const FileBytes &now)
{
    if (!now.ok())
        return now.error;
    const bool asItWas =
        f.oldSha256 ? now.exists && sha256(now.bytes) == *f.oldSha256 : !now.exists;
    if (!asItWas)
        return SlotTexts::tr("It was changed after the save began.");
    if (!holds(load(f.temporary, files::Links::Refuse), f.newSize, f.newSha256))
        return SlotTexts::tr("Its new text, in %1, is not whole.")
            .arg(QDir::toNativeSeparators(f.temporary));
    return QString();
}

// Moves in each new text whose file holds what it held; names the first
// file in the way, which is left as it is.
std::optional<FinishedSave> settle(const QString &folder, const SaveJournal &journal)
{
    bool moved = false;
    FileProblem problem;
    FinishedSave::Remedy remedy = FinishedSave::SaveAgain;
    for (int i = 0; i < 2; ++i) {
        const JournalEntry &f = journal.files[i];
        FileBytes now;
        const FileProblem refused = refusal(folder, journal.slot, i, now);
        if (holds(now, f.newSize, f.newSha256))
            continue;
        if (const QString why = inTheWay(f, now); !why.isNull()) {
            // A file that a save would refuse is named first, as a save
            // names it: a save stops at it too.
            if (problem.ok() || (!refused.ok() && remedy == FinishedSave::SaveAgain)) {
                problem = {journal.slot, refused.path, refused.ok() ? why : refused.reason};
                remedy = refused.ok() ? FinishedSave::SaveAgain : FinishedSave::PutRightThenSave;
            }
            continue;
        }
        if (const FileResult r = files::moveFile(f.temporary, f.file); !r.ok())
            return notFinished(journal.slot, f.file, r.error, FinishedSave::NextStart);
        moved = true;
    }
    if (const FileProblem p = syncFolders(journal.slot, foldersOf(journal)); !p.ok())
        return notFinished(journal.slot, p.path, p.reason, FinishedSave::NextStart);
    const QString path = journalPath(folder, journal.slot);
    FileProblem journalLeft;
    if (const FileResult r = files::removeFile(path); !r.ok())
        journalLeft = {journal.slot, path, r.error};
    removeLeftovers(folder, journal.slot);
    if (!problem.ok() || moved)
        return FinishedSave{journal.slot,
                            problem.ok() ? FinishedSave::Completed : FinishedSave::LeftAsItIs,
                            problem, remedy, journalLeft};
    return std::nullopt;
}

} // namespace

SaveResult saveWithJournal(const files::FileLock &, const QString &folder, int slot,
                           const std::array<QStringView, 2> &texts)
{
    SaveJournal journal{slot, {}};
    std::array<QByteArray, 2> bytes;
    for (int i = 0; i < 2; ++i) {
        FileBytes old;
        const FileProblem p = refusal(folder, slot, i, old);
        if (!p.ok())
            return failed(slot, i, p.path, p.reason);
        bytes[i] = unicode_text::encodeText(texts[i]);
        journal.files[i] = {p.path, temporaryFor(p.path),
                            old.exists ? std::optional(sha256(old.bytes)) : std::nullopt,
                            bytes[i].size(), sha256(bytes[i])};
    }
    if (SaveResult r = writeTemporaries(journal, bytes); r.status != SaveResult::Saved)
        return r;
    // The new texts' entries on the disk before the journal names them.
    FileProblem p = syncFolders(slot, foldersOf(journal), folder);
    if (!p.ok()) {
        removeTemporaries(journal);
        return {SaveResult::NotSaved, p};
    }
    if (const FileResult r = writeJournal(folder, journal); !r.ok()) {
        removeTemporaries(journal);
        return {SaveResult::NotSaved, {slot, journalPath(folder, slot), r.error}};
    }
    if (p = syncFolders(slot, {folder}); !p.ok())
        return takeBack(folder, journal, {SaveResult::NotSaved, p});
    return moveIn(folder, journal);
}

std::optional<SaveJournal> slotJournal(const QString &folder, int slot, FileBytes &read)
{
    read = load(journalPath(folder, slot), files::Links::Refuse);
    std::optional<SaveJournal> journal =
        read.ok() ? decodeJournal(read.bytes, folder) : std::nullopt;
    return journal && journal->slot == slot ? journal : std::nullopt;
}

std::optional<FinishedSave> finishSave(const files::FileLock &, const QString &folder, int slot)
{
    const QString path = journalPath(folder, slot);
    FileBytes read;
    const std::optional<SaveJournal> journal = slotJournal(folder, slot, read);
    if (!read.exists) {
        removeLeftovers(folder, slot);
        return std::nullopt;
    }
    std::optional<FinishedSave> f;
    if (!journal)
        // The next save replaces the journal; not a folder in its place.
        f = notFinished(slot, path,
                        read.ok() ? SlotTexts::tr("It is not a whole journal of this program, so "
                                                  "the save it began cannot be finished.")
                                  : read.error,
                        QFileInfo(path).isDir() ? FinishedSave::PutRightThenSave
                                                : FinishedSave::SaveAgain);
    else
        f = notTheSlots(folder, *journal);
    return f ? f : settle(folder, *journal);
}

} // namespace name_slots
