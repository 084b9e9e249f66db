#include "slotstore.h"

#include "files/systemfile.h"
#include "savejournal.h"
#include "slottable.h"
#include "unicode_text/codepage.h"
#include "unicode_text/textfile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

namespace name_slots {
namespace {

using unicode_text::TextFileResult;

// How long a save waits for another running copy's save to end, and how
// often it looks.
constexpr int kLockWaitMs = 3000;
constexpr int kLookMs = 50;

// The lock, ".slots.lock", keeps two running copies from saving into one
// folder, or finishing a save there, at once. It is made once and never
// removed; the system frees it when its holder ends, however it ends.
QString lockPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral(".slots.lock"));
}

// The lock file where it is there; else the folder that cannot hold one.
FileProblem lockProblem(const QString &folder, int slot, const QString &reason)
{
    return {slot, files::isThere(lockPath(folder)) ? lockPath(folder) : folder, reason};
}

// Waits a few seconds for another running copy's save; the windows paint
// meanwhile, and what the user types waits.
FileProblem lockFolder(files::FileLock &lock, const QString &folder, int slot)
{
    const QDeadlineTimer deadline(kLockWaitMs);
    for (;;) {
        const files::FileLock::Attempt attempt = lock.tryLock(lockPath(folder));
        if (attempt.state == files::FileLock::Taken)
            return {};
        if (attempt.state == files::FileLock::Failed)
            return lockProblem(folder, slot, attempt.reason);
        if (deadline.hasExpired())
            return {slot, lockPath(folder),
                    SlotStore::tr("Another copy of the program is saving a slot; try again in a "
                                  "moment.")};
        QThread::msleep(kLookMs);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

} // namespace

QString withoutFinalLineBreak(QString text)
{
    if (text.endsWith(u"\r\n"))
        text.chop(2);
    else if (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    return text;
}

SlotStore::SlotStore(QString folder, QString legacyFolder, QString problem)
    : m_folder(std::move(folder)), m_legacyFolder(std::move(legacyFolder)),
      m_problem(std::move(problem))
{}

SlotStore SlotStore::forUser()
{
    files::UserFolders folders = files::userFolders(QCoreApplication::organizationName(),
                                                    QCoreApplication::applicationName());
    return SlotStore(std::move(folders.folder), std::move(folders.legacyFolder),
                     std::move(folders.problem));
}

// The folder in the one spelling the system gives it, so that the lock,
// the journal, Save, Open and the start agree whatever spelling the
// folder was given in; as given while it is not there.
QString SlotStore::resolvedFolder() const
{
    const QString resolved = files::resolvedFile(m_folder);
    return resolved.isNull() ? m_folder : resolved;
}

// A slot's name and caption are read from one folder, so that they stay a
// pair: the legacy folder only for a slot with neither file in the folder.
QString SlotStore::readPath(const NameSlot &slot, const char *file) const
{
    const QDir folder(resolvedFolder());
    const auto there = [&](const char *name) {
        return files::isThere(folder.filePath(QString::fromLatin1(name)));
    };
    const bool legacy =
        !m_legacyFolder.isEmpty() && !there(slot.dataFile) && !there(slot.captionFile);
    return legacy ? QDir(m_legacyFolder).filePath(QString::fromLatin1(file))
                  : folder.filePath(QString::fromLatin1(file));
}

CaptionsRead SlotStore::readCaptions() const
{
    CaptionsRead read;
    QString inTheWay = m_folder;
    if (const files::FileResult r = m_problem.isNull() ? files::folderInTheWay(m_folder, inTheWay)
                                                       : files::FileResult{m_problem};
        !r.ok())
        read.problems << FileProblem{0, inTheWay, r.error};
    for (const NameSlot &slot : kSlots) {
        const QString path = readPath(slot, slot.captionFile);
        const TextFileResult r = unicode_text::loadTextFile(path);
        const QString caption = withoutFinalLineBreak(r.text);
        // A caption longer than any name would make every opening of the
        // menus slow; it is refused like an unreadable file.
        if (!r.ok())
            read.problems << FileProblem{slot.number, path, r.error};
        else if (caption.size() > unicode_text::kMaxNameLength)
            read.problems << FileProblem{
                slot.number, path,
                tr("It is %n character(s) long; a caption holds at most %1.", nullptr,
                   int(caption.size()))
                    .arg(unicode_text::kMaxNameLength)};
        else
            read.captions[slot.number - 1] = caption;
    }
    return read;
}

// A save cut short earlier needs no finishing first: this one's journal
// replaces its journal, and this save replaces both files.
SaveResult SlotStore::save(int number, QStringView name, QStringView caption) const
{
    QString inTheWay = m_folder;
    if (const files::FileResult r = m_problem.isNull() ? files::makeFolder(m_folder, inTheWay)
                                                       : files::FileResult{m_problem};
        !r.ok())
        return {SaveResult::NotSaved, {number, inTheWay, r.error}};
    const QString folder = resolvedFolder();
    files::FileLock lock;
    if (FileProblem p = lockFolder(lock, folder, number); !p.ok())
        return {SaveResult::NotSaved, std::move(p)};
    return saveWithJournal(lock, folder, number, {name, caption});
}

QList<FinishedSave> SlotStore::finishInterruptedSaves() const
{
    const QString folder = resolvedFolder();
    const QList<int> pending = slotsToFinish(folder);
    if (pending.isEmpty())
        return {};
    // A journal whose lock a running copy holds is that copy's save in
    // progress; the start does not wait for it.
    files::FileLock lock;
    const files::FileLock::Attempt attempt = lock.tryLock(lockPath(folder));
    if (attempt.state == files::FileLock::Held)
        return {};
    QList<FinishedSave> finished;
    if (attempt.state == files::FileLock::Failed) {
        // Temporaries that no journal names tell of a save that changed
        // nothing: only a journal left unfinished is worth a word. A start
        // finishes a whole one; a torn one only a save replaces.
        files::FileBytes read;
        for (const int slot : pending)
            if (files::isThere(journalPath(folder, slot))) {
                finished << FinishedSave{slot,
                                         FinishedSave::LeftAsItIs,
                                         lockProblem(folder, slot, attempt.reason),
                                         slotJournal(folder, slot, read)
                                             ? FinishedSave::NextStart
                                             : FinishedSave::PutRightThenSave,
                                         {}};
                break;
            }
    } else {
        for (const int slot : pending)
            if (const std::optional<FinishedSave> f = finishSave(lock, folder, slot))
                finished << *f;
    }
    // No save, and no start, can act in a folder the program may not write.
    const bool readOnly = !files::isWritableFolder(folder);
    for (FinishedSave &f : finished)
        f.folderReadOnly = readOnly;
    return finished;
}

OpenResult SlotStore::open(int number) const
{
    const QString path = readPath(slotNumbered(number), slotNumbered(number).dataFile);
    const TextFileResult r = unicode_text::loadTextFile(path);
    if (!r.ok())
        return {OpenResult::Unreadable, QString(), QString(), {number, path, r.error}};
    OpenResult opened{OpenResult::Opened, withoutFinalLineBreak(r.text), QString(), {}};
    opened.name = unicode_text::toCodePage(opened.stored);
    if (opened.name.size() > unicode_text::kMaxNameLength)
        return {OpenResult::TooLong,
                QString(),
                QString(),
                {number, path,
                 tr("It is %n character(s) long; a name holds at most %1.", nullptr,
                    int(opened.name.size()))
                     .arg(unicode_text::kMaxNameLength)}};
    return opened;
}

} // namespace name_slots
