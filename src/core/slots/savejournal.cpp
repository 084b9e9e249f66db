// A save of slot N, and what the next start does with one cut short. The
// start decides by what it finds on disk, whatever step the save had reached:
//
//   journal      slot files          temporary files     the start
//   none         -                   the journal's own   removes them (removeJournalTemporaries)
//   not whole    -                   -                   leaves all, names the journal (untrusted)
//   whole        not the files it    -                   leaves all, names the file (notTheSlots)
//                names now
//   whole        one changed since   -                   leaves all, names the file (stateOf)
//   ended        as it names         some left           removes them, silently (cleanUp)
//   whole        both new            -                   removes the rest, silently (cleanUp)
//   whole        old, or one new     whole where old     completes (rollForward, syncFolders)
//   whole        old, or one new     one not whole       undoes (rollBack, syncFolders)
//
// A journal left as it is stays until the slot is saved again, which
// replaces it and removes the temporary files beside the slot's files.
//
// A save: take the folder's lock; write the journal (the two files as the
// system resolves them, their old bytes, the new texts' size and SHA-256,
// the temporary files' names), synced, moved into place, the folder synced;
// write both temporary files, synced; move each over its file; sync the
// folders; remove the journal. One that fails puts the old pair back as the
// start would before it says so; where even that fails, the journal stays
// for the next start, and the save is reported unfinished. A temporary file
// that cannot be removed yet is kept in a journal marked ended.
//
// Finishing is safe to repeat: it changes the files only from one state the
// journal describes to another, every change is on the disk before the
// journal goes, and the journal goes last.

#include "savejournal.h"

#include "slottable.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace name_slots {
namespace {

using files::FileBytes;
using files::FileResult;

FileBytes load(const QString &path, files::Links links = files::Links::Follow)
{
    return files::loadFileBytes(path, unicode_text::kMaxTextFileBytes, links);
}

QByteArray sha256(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// Removes a file the program made, if it is there; never a link, a folder or
// anything else put in its place.
bool removeOwn(const QString &path)
{
    if (!files::isThere(path))
        return true;
    const QFileInfo info(path);
    return !info.isSymLink() && info.isFile() && files::removeFile(path).ok();
}

SaveResult failed(int slot, int file, const QString &path, const QString &reason)
{
    return {file == 0 ? SaveResult::NameNotSaved : SaveResult::CaptionNotSaved,
            {slot, path, reason}};
}

FinishedSave leftAsItIs(int slot, const QString &path, const QString &reason)
{
    return {slot, FinishedSave::LeftAsItIs, {slot, path, reason}, {}};
}

std::array<QString, 2> slotFiles(const QString &folder, int slot)
{
    const NameSlot &s = slotNumbered(slot);
    const QDir dir(folder);
    return {dir.filePath(QString::fromLatin1(s.dataFile)),
            dir.filePath(QString::fromLatin1(s.captionFile))};
}

// Temporary files of the program's own names beside the slot's files, which
// no journal names any more: a journal that gave way, or was torn, left them.
void removeStrayTemporaries(const SaveJournal &journal)
{
    for (const JournalFile &f : journal.files) {
        const QDir dir = QFileInfo(f.file).dir();
        for (const QString &name : dir.entryList({QStringLiteral(".*.saving")},
                                                 QDir::Files | QDir::Hidden | QDir::System))
            if (isTemporaryName(name, f.file))
                removeOwn(dir.filePath(name));
    }
}

// A journal acts only on the files that the slot's files resolve to now.
FileProblem notTheSlots(const QString &folder, const SaveJournal &journal)
{
    const std::array<QString, 2> paths = slotFiles(folder, journal.slot);
    for (int i = 0; i < 2; ++i)
        if (files::resolvedFile(paths[i]) != journal.files[i].file)
            return {journal.slot, paths[i],
                    SlotTexts::tr("The slot's link leads to another file now.")};
    return {};
}

enum class Holds { New, Old, Neither };

struct FileState
{
    Holds holds = Holds::Neither;
    bool newTextReady = false; // the temporary file holds the whole new text
    QString problem;           // why the file is in the way
};

bool holdsNew(const FileBytes &read, const JournalFile &f)
{
    return read.exists && read.bytes.size() == f.newSize && sha256(read.bytes) == f.newSha256;
}

FileState stateOf(const JournalFile &f)
{
    const FileBytes read = load(f.file);
    if (!read.ok())
        return {Holds::Neither, false, read.error};
    const FileBytes temporary = load(f.temporary, files::Links::Refuse);
    const bool ready = temporary.ok() && holdsNew(temporary, f);
    if (holdsNew(read, f))
        return {Holds::New, ready, QString()};
    if (f.old ? read.exists && read.bytes == *f.old : !read.exists)
        return {Holds::Old, ready, QString()};
    return {Holds::Neither, ready, SlotTexts::tr("It was changed after the save began.")};
}

// Puts the old text back in a file that holds the new one, through its
// temporary file, or removes it where there was none.
FileResult putBack(const JournalFile &f)
{
    if (!f.old)
        return files::removeFile(f.file);
    if (!removeOwn(f.temporary))
        return {SlotTexts::tr("Its temporary file %1 is in the way.")
                    .arg(QDir::toNativeSeparators(f.temporary))};
    if (FileResult r = files::writeNewFile(f.temporary, *f.old, files::modeOf(f.file)); !r.ok())
        return r;
    return files::moveFile(f.temporary, f.file);
}

// Gives each file that holds the new text its old one again; the name's
// file, moved in first, goes back last.
FileProblem rollBack(const SaveJournal &journal)
{
    for (int i = 1; i >= 0; --i) {
        const JournalFile &f = journal.files[i];
        if (!holdsNew(load(f.file), f))
            continue;
        if (const FileResult r = putBack(f); !r.ok())
            return {journal.slot, f.file, r.error};
    }
    return {};
}

// Moves in the new text of each file that does not hold it yet.
FileResult rollForward(const SaveJournal &journal, const std::array<FileState, 2> &states)
{
    for (int i = 0; i < 2; ++i)
        if (states[i].holds != Holds::New)
            if (FileResult r = files::moveFile(journal.files[i].temporary, journal.files[i].file);
                !r.ok())
                return r;
    return {};
}

FileResult syncFolders(const SaveJournal &journal)
{
    for (const JournalFile &f : journal.files)
        if (FileResult r = files::syncFolder(QFileInfo(f.file).absolutePath()); !r.ok())
            return r;
    return {};
}

// Removes the temporary files, then the journal. A temporary file that
// cannot be removed yet stays recorded in the journal, marked ended; a
// journal that cannot be removed is the problem returned.
FileProblem cleanUp(const QString &folder, SaveJournal journal)
{
    bool left = false;
    for (const JournalFile &f : journal.files)
        left = !removeOwn(f.temporary) || left;
    if (left) {
        journal.state = SaveJournal::Ended;
        if (writeJournal(folder, journal).ok())
            return {};
    }
    const QString path = journalPath(folder, journal.slot);
    if (const FileResult r = files::removeFile(path); !r.ok() && QFileInfo::exists(path))
        return {journal.slot, path, r.error};
    return {};
}

// The journal's verdict on the files as they are, acted on: completed,
// undone, or left as it is; none where the save was whole but for its
// journal.
std::optional<FinishedSave> settle(const SaveJournal &journal)
{
    const std::array<FileState, 2> states{stateOf(journal.files[0]), stateOf(journal.files[1])};
    for (int i = 0; i < 2; ++i)
        if (!states[i].problem.isEmpty())
            return leftAsItIs(journal.slot, journal.files[i].file, states[i].problem);
    const auto all = [&](auto test) { return std::all_of(states.begin(), states.end(), test); };
    if (all([](const FileState &s) { return s.holds == Holds::New; }))
        return std::nullopt;
    if (all([](const FileState &s) { return s.holds == Holds::New || s.newTextReady; }) &&
        rollForward(journal, states).ok() && syncFolders(journal).ok())
        return FinishedSave{journal.slot, FinishedSave::Completed, {}, {}};
    if (FileProblem p = rollBack(journal); !p.ok())
        return leftAsItIs(journal.slot, p.path, p.reason);
    if (FileResult r = syncFolders(journal); !r.ok())
        return leftAsItIs(journal.slot, QFileInfo(journal.files[0].file).absolutePath(), r.error);
    return FinishedSave{journal.slot, FinishedSave::Undone, {}, {}};
}

// Writes both new texts beside their files, with their files' modes.
SaveResult writeTemporaries(const QString &folder, const SaveJournal &journal,
                            const std::array<QByteArray, 2> &bytes)
{
    for (int i = 0; i < 2; ++i) {
        const JournalFile &f = journal.files[i];
        if (const FileResult r = files::writeNewFile(f.temporary, bytes[i], f.mode); !r.ok()) {
            // Nothing was moved: what cannot be removed now goes later.
            cleanUp(folder, journal);
            return failed(journal.slot, i, f.file, r.error);
        }
    }
    return {};
}

// Moves both new texts in and puts them on the disk. Where that fails, the
// old pair is put back before the failure is told; where even that fails,
// the journal stays for the next start, and the save is unfinished.
SaveResult moveIn(const QString &folder, const SaveJournal &journal)
{
    for (int i = 0; i < 2; ++i) {
        FileResult r = files::moveFile(journal.files[i].temporary, journal.files[i].file);
        if (r.ok() && i == 1)
            r = syncFolders(journal);
        if (r.ok())
            continue;
        const SaveResult failure = failed(journal.slot, i, journal.files[i].file, r.error);
        if (!rollBack(journal).ok())
            return {SaveResult::Unfinished, failure.problem};
        if (syncFolders(journal).ok())
            cleanUp(folder, journal);
        return failure;
    }
    // A journal that cannot be removed yet goes at the next save or start.
    cleanUp(folder, journal);
    return {};
}

} // namespace

SaveResult saveWithJournal(const FolderLock &, const QString &folder, int slot,
                           const std::array<QStringView, 2> &texts)
{
    const std::array<QString, 2> paths = slotFiles(folder, slot);
    SaveJournal journal{slot, SaveJournal::Saving, {}};
    std::array<QByteArray, 2> bytes;
    for (int i = 0; i < 2; ++i) {
        if (const QString why = files::whyNotReplaceable(paths[i]); !why.isEmpty())
            return failed(slot, i, paths[i], why);
        const QString file = files::resolvedFile(paths[i]);
        FileBytes old = load(file);
        if (!old.ok())
            return failed(slot, i, file, old.error);
        bytes[i] = unicode_text::encodeText(texts[i]);
        journal.files[i] = {file,
                            temporaryFor(file),
                            old.exists ? std::optional(std::move(old.bytes)) : std::nullopt,
                            bytes[i].size(),
                            sha256(bytes[i]),
                            files::modeOf(file)};
    }
    if (journal.files[0].file == journal.files[1].file)
        return {
            SaveResult::CaptionNotSaved,
            {slot, paths[1],
             SlotTexts::tr("It is the same file as %1.").arg(QDir::toNativeSeparators(paths[0]))}};
    removeStrayTemporaries(journal);
    if (const FileResult r = writeJournal(folder, journal); !r.ok())
        return {SaveResult::NotSaved, {slot, journalPath(folder, slot), r.error}};
    if (SaveResult r = writeTemporaries(folder, journal, bytes); r.status != SaveResult::Saved)
        return r;
    return moveIn(folder, journal);
}

std::optional<FinishedSave> finishSave(const FolderLock &, const QString &folder, int slot)
{
    removeJournalTemporaries(folder, slot);
    const QString path = journalPath(folder, slot);
    const FileBytes read = files::loadFileBytes(path, kMaxJournalBytes, files::Links::Refuse);
    if (!read.exists)
        return std::nullopt;
    std::optional<SaveJournal> journal =
        read.ok() ? decodeJournal(read.bytes, folder) : std::nullopt;
    std::optional<FinishedSave> finished;
    if (!journal || journal->slot != slot)
        finished = leftAsItIs(slot, path,
                              SlotTexts::tr("It is not a whole journal of this program, so "
                                            "the save it began cannot be finished."));
    else if (const FileProblem p = notTheSlots(folder, *journal); !p.ok())
        finished = leftAsItIs(slot, p.path, p.reason);
    else if (journal->state == SaveJournal::Saving)
        finished = settle(*journal);

    // Left as it is until the next save, which writes its own journal over it.
    if (finished && finished->outcome == FinishedSave::LeftAsItIs)
        return finished;
    // Nothing to tell where the save was whole, or ended, but for its
    // journal and temporary files.
    const FileProblem journalLeft = cleanUp(folder, *journal);
    if (finished)
        finished->journalLeft = journalLeft;
    return finished;
}

} // namespace name_slots
