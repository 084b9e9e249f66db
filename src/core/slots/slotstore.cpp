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
#include <filesystem>
#include <system_error>

namespace name_slots {
namespace {

using unicode_text::PendingSave;
using unicode_text::TextFileResult;

QString tr(const char *text)
{
    return QCoreApplication::translate("name_slots", text);
}

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
    return tr("The lock file %1 could not be made.")
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
                file.isDir() ? tr("It is a folder, not a file.") : tr("It is not a regular file.")};
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
    busy.reason = tr("Another copy of the program is saving a slot; try again in a moment.");
    return busy;
}

// Makes the slot folder, or says why it cannot be made.
QString makeFolder(const QString &folder)
{
    std::error_code error;
    std::filesystem::create_directories(QDir(folder).filesystemAbsolutePath(), error);
    if (!error && QFileInfo(folder).isDir())
        return QString();
    return error ? QString::fromLocal8Bit(error.message()) : tr("It is a file, not a folder.");
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
            read.problems << FileProblem{slot.number, path,
                                         tr("It is %1 characters long; a caption holds at most %2.")
                                             .arg(caption.size())
                                             .arg(unicode_text::kMaxNameLength)};
        else
            read.captions[slot.number - 1] = caption;
    }
    return read;
}

SaveResult SlotStore::save(int number, QStringView name, QStringView caption) const
{
    const NameSlot &slot = slotNumbered(number);
    const QString dataPath = savePath(slot.dataFile);
    const QString captionPath = savePath(slot.captionFile);
    if (const QString why = makeFolder(m_folder); !why.isEmpty())
        return {SaveResult::NameNotSaved, {number, m_folder, why}, std::nullopt};
    const QString lockPath = savePath(".slots.lock");
    QLockFile lock(lockPath);
    if (FileProblem p = takeLock(lock, lockPath, {number, dataPath, QString()});
        !p.reason.isEmpty())
        return {SaveResult::NameNotSaved, std::move(p), std::nullopt};

    PendingSave data(dataPath);
    PendingSave captionFile(captionPath);
    if (const TextFileResult r = data.write(name); !r.ok())
        return {SaveResult::NameNotSaved, {number, dataPath, r.error}, std::nullopt};
    if (const TextFileResult r = captionFile.write(caption); !r.ok())
        return {SaveResult::CaptionNotWritten, {number, captionPath, r.error}, std::nullopt};
    // Both files are whole on the disk: only the two renames remain.
    if (const TextFileResult r = data.commit(); !r.ok())
        return {SaveResult::NameNotSaved, {number, dataPath, r.error}, std::nullopt};
    if (const TextFileResult r = captionFile.commit(); !r.ok()) {
        const TextFileResult now = unicode_text::loadTextFile(captionPath);
        return {SaveResult::CaptionNotReplaced,
                {number, captionPath, r.error},
                now.ok() ? std::optional(withoutFinalLineBreak(now.text)) : std::nullopt};
    }
    return {};
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
                 tr("is %1 characters long; the name box holds at most %2.")
                     .arg(opened.name.size())
                     .arg(unicode_text::kMaxNameLength)}};
    return opened;
}

} // namespace name_slots
