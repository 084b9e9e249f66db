#include "slotstore.h"

#include "slottable.h"
#include "unicode_text/codepage.h"
#include "unicode_text/textfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace name_slots {
namespace {

using unicode_text::TextFileResult;

// How long a save waits for another running copy's save to end.
constexpr int kLockWaitMs = 3000;

// Why no file can be made in the folder: what the system says when one is
// written there (a read-only or full disk, say).
QString whyNoFileCanBeMade(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".slots.probe.XXXXXX")));
    if (!probe.open())
        return probe.errorString();
    if (probe.write("x", 1) != 1 || !probe.flush())
        return probe.errorString();
    return SlotStore::tr("The lock file %1 could not be made.")
        .arg(QDir::toNativeSeparators(probe.fileName()));
}

// Takes the folder's lock, or says why not. Only a lock that a running copy
// holds is waited for: Qt reclaims a lock whose holder died, except one the
// holder died in before writing a byte to it, and that one only after 30 s.
// A running copy fills its lock at once, so a lock still empty after a whole
// wait is a crashed one; removing it fails while any running copy holds it.
// The problem names the lock when something else is in its place, the
// folder when no file can be made there, and the data file when another copy
// is saving.
FileProblem takeLock(QLockFile &lock, const QString &path, FileProblem busy)
{
    const QFileInfo file(path);
    if (file.exists() && !file.isFile())
        return {busy.slot, path,
                file.isDir() ? SlotStore::tr("It is a folder, not a file.")
                             : SlotStore::tr("It is not a regular file.")};
    if (lock.tryLock(0))
        return {};
    if (lock.error() != QLockFile::LockFailedError)
        return {busy.slot, file.absolutePath(), whyNoFileCanBeMade(file.absolutePath())};
    if (lock.tryLock(kLockWaitMs))
        return {};
    const QFileInfo after(path);
    const bool abandoned =
        lock.error() == QLockFile::LockFailedError && after.size() == 0 &&
        after.lastModified().msecsTo(QDateTime::currentDateTime()) >= kLockWaitMs;
    if (abandoned && lock.removeStaleLockFile() && lock.tryLock(0))
        return {};
    busy.reason =
        SlotStore::tr("Another copy of the program is saving a slot; try again in a moment.");
    return busy;
}

// Makes the slot folder, or says why it cannot be made.
QString makeFolder(const QString &folder)
{
    std::error_code error;
    std::filesystem::create_directories(QDir(folder).filesystemAbsolutePath(), error);
    if (!error && QFileInfo(folder).isDir())
        return QString();
    return error ? QString::fromLocal8Bit(error.message())
                 : SlotStore::tr("It is a file, not a folder.");
}

} // namespace

const NameSlot &slotNumbered(int number)
{
    Q_ASSERT(number >= 1 && number <= int(kSlots.size()));
    return kSlots[number - 1];
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

QString withoutFinalLineBreak(QString text)
{
    if (text.endsWith(u"\r\n"))
        text.chop(2);
    else if (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    return text;
}

SlotStore::SlotStore(QString folder, QString legacyFolder)
    : m_folder(std::move(folder)), m_legacyFolder(std::move(legacyFolder))
{}

SlotStore SlotStore::forUser()
{
#ifdef Q_OS_WIN
    // Standard accounts cannot create files at the root of C:, where
    // earlier versions kept the slots; those files are still read.
    return SlotStore(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                     QStringLiteral("C:/"));
#else
    // A relative XDG_DATA_HOME is ignored, as the XDG base directory rules
    // say: it would put the slots wherever the program was started from.
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (QDir::isRelativePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return SlotStore(QStringLiteral("%1/%2/%3")
                         .arg(dataHome, QCoreApplication::organizationName(),
                              QCoreApplication::applicationName()));
#endif
}

QString SlotStore::savePath(const char *file) const
{
    return QDir(m_folder).filePath(QString::fromLatin1(file));
}

QString SlotStore::readPath(const char *file) const
{
    const QString path = savePath(file);
    if (m_legacyFolder.isEmpty() || QFileInfo(path).exists() || QFileInfo(path).isSymLink())
        return path;
    return QDir(m_legacyFolder).filePath(QString::fromLatin1(file));
}

CaptionsRead SlotStore::readCaptions() const
{
    CaptionsRead read;
    for (const NameSlot &slot : kSlots) {
        const QString path = readPath(slot.captionFile);
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

namespace {

// A save replaces a slot's two files together. Both new texts are written
// in full beside the files they replace ("<file>.new") and the old files are
// moved aside ("<file>.old"). Then a marker file decides the save: the new
// files take their places, and the old ones and the marker go. A save that
// stops anywhere short of the end is rolled forward if the marker is there,
// and back if it is not.
struct SaveFiles
{
    int slot;
    std::array<QString, 2> paths; // the name's, then the caption's
    std::array<QString, 2> files; // the files they are, through any link
    QString marker;
};

QString newFile(const QString &file)
{
    return file + QStringLiteral(".new");
}

QString oldFile(const QString &file)
{
    return file + QStringLiteral(".old");
}

SaveFiles saveFiles(const QString &folder, int number)
{
    const NameSlot &slot = slotNumbered(number);
    const QDir dir(folder);
    const std::array<QString, 2> paths{dir.filePath(QString::fromLatin1(slot.dataFile)),
                                       dir.filePath(QString::fromLatin1(slot.captionFile))};
    return {number,
            paths,
            {unicode_text::replacedFile(paths[0]), unicode_text::replacedFile(paths[1])},
            dir.filePath(QStringLiteral(".slot%1.saving").arg(number))};
}

bool exists(const QString &path)
{
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

TextFileResult removeFile(const QString &path)
{
    QFile file(path);
    if (!exists(path) || file.remove())
        return {};
    return {QString(), file.errorString()};
}

TextFileResult moveIfThere(const QString &from, const QString &to)
{
    return exists(from) ? unicode_text::moveFile(from, to) : TextFileResult{};
}

bool interrupted(const SaveFiles &save)
{
    return exists(save.marker) ||
           std::any_of(save.files.begin(), save.files.end(), [](const QString &file) {
               return exists(newFile(file)) || exists(oldFile(file));
           });
}

// Runs step on each file in turn, stopping at the first that fails; the
// problem names the file it failed on.
template <typename Step> FileProblem eachFile(const SaveFiles &save, Step step)
{
    for (const QString &file : save.files)
        if (const TextFileResult r = step(file); !r.ok())
            return {save.slot, file, r.error};
    return {};
}

FileProblem removeMarker(const SaveFiles &save)
{
    if (const TextFileResult r = removeFile(save.marker); !r.ok())
        return {save.slot, save.marker, r.error};
    return {};
}

// Puts the old files back and drops the new ones.
FileProblem rollBack(const SaveFiles &save)
{
    if (FileProblem p = removeMarker(save); !p.reason.isEmpty())
        return p;
    return eachFile(save, [](const QString &file) {
        if (TextFileResult r = moveIfThere(oldFile(file), file); !r.ok())
            return r;
        return removeFile(newFile(file));
    });
}

// Puts the new files in place and drops the old ones.
FileProblem rollForward(const SaveFiles &save)
{
    FileProblem p = eachFile(save, [](const QString &file) {
        if (TextFileResult r = moveIfThere(newFile(file), file); !r.ok())
            return r;
        return removeFile(oldFile(file));
    });
    return p.reason.isEmpty() ? removeMarker(save) : p;
}

FileProblem finish(const SaveFiles &save)
{
    return exists(save.marker) ? rollForward(save) : rollBack(save);
}

SaveResult notSaved(const FileProblem &problem, const SaveFiles &save)
{
    const bool caption = problem.path == save.paths[1] || problem.path == save.files[1];
    return {caption ? SaveResult::CaptionNotSaved : SaveResult::NameNotSaved, problem};
}

// Moves the new files already in place back beside them. Until the marker
// goes, an interruption still completes the save.
FileProblem unplace(const SaveFiles &save)
{
    return eachFile(save, [](const QString &file) {
        return exists(newFile(file)) ? TextFileResult{} : moveIfThere(file, newFile(file));
    });
}

// The steps of a save once the lock is held; see SaveFiles.
SaveResult replaceBoth(const SaveFiles &save, const std::array<QStringView, 2> &texts)
{
    for (int i = 0; i < 2; ++i) {
        if (const TextFileResult r =
                unicode_text::writeReplacement(save.paths[i], newFile(save.files[i]), texts[i]);
            !r.ok()) {
            rollBack(save);
            return notSaved({save.slot, save.paths[i], r.error}, save);
        }
    }
    FileProblem p =
        eachFile(save, [](const QString &file) { return moveIfThere(file, oldFile(file)); });
    if (p.reason.isEmpty()) {
        if (const TextFileResult r = unicode_text::writeReplacement(save.marker, save.marker, {});
            !r.ok())
            p = {save.slot, QFileInfo(save.marker).absolutePath(), r.error};
    }
    if (!p.reason.isEmpty()) {
        rollBack(save);
        return notSaved(p, save);
    }
    p = eachFile(save,
                 [](const QString &file) { return unicode_text::moveFile(newFile(file), file); });
    if (!p.reason.isEmpty()) {
        if (unplace(save).reason.isEmpty())
            rollBack(save);
        return notSaved(p, save);
    }
    // The save is whole; anything left over goes at the next save or start.
    rollForward(save);
    return {};
}

} // namespace

SaveResult SlotStore::save(int number, QStringView name, QStringView caption) const
{
    if (const QString why = makeFolder(m_folder); !why.isEmpty())
        return {SaveResult::NameNotSaved, {number, m_folder, why}};
    const SaveFiles files = saveFiles(m_folder, number);
    const QString lockPath = savePath(".slots.lock");
    QLockFile lock(lockPath);
    if (FileProblem p = takeLock(lock, lockPath, {number, files.files[0], QString()});
        !p.reason.isEmpty())
        return {SaveResult::NameNotSaved, std::move(p)};
    // One cut short since the start is finished first, the way the start would.
    if (interrupted(files))
        if (FileProblem p = finish(files); !p.reason.isEmpty())
            return notSaved(p, files);
    return replaceBoth(files, {name, caption});
}

QList<FinishedSave> SlotStore::finishInterruptedSaves() const
{
    QList<FinishedSave> finished;
    const QString lockPath = savePath(".slots.lock");
    QLockFile lock(lockPath);
    bool locked = false;
    for (const NameSlot &slot : kSlots) {
        const SaveFiles files = saveFiles(m_folder, slot.number);
        if (!interrupted(files))
            continue;
        if (!locked) {
            if (FileProblem p = takeLock(lock, lockPath, {slot.number, files.files[0], QString()});
                !p.reason.isEmpty())
                return {{slot.number, FinishedSave::Failed, p}};
            locked = true;
            // Another copy may have finished it while this one waited.
            if (!interrupted(files))
                continue;
        }
        const FinishedSave::Outcome outcome =
            exists(files.marker) ? FinishedSave::Completed : FinishedSave::Undone;
        const FileProblem p = finish(files);
        finished << FinishedSave{slot.number, p.reason.isEmpty() ? outcome : FinishedSave::Failed,
                                 p};
    }
    return finished;
}

OpenResult SlotStore::open(int number) const
{
    const QString path = readPath(slotNumbered(number).dataFile);
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
