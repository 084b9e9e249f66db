// The slot rules, on the store alone: no window, no display.

#include "cut_short_save.h"
#include "file_bytes.h"
#include "files/systemfile.h"
#include "files/systemfile_p.h"
#include "slots/slotstore.h"
#include "unicode_text/codepage.h"
#include "unicode_text/textfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cctype>
#include <cstdio>
#include <ctime>
#ifdef Q_OS_WIN
#include <windows.h>
#endif
#if GLYPHSMITH_LINUX_TESTS
#include "private_mounts.h"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

// The disk's answers, as this test program sees them: while set, a sync
// (of any file), a sync of a folder after the first few, an opening of the
// slot folder's lock, the renames after the first few, removing a journal,
// or a lock, fails as a failing disk or file system fails it. The calls on
// the test's own files can be logged, and the process ended at the n-th.
static bool g_syncFails = false;
static int g_folderSyncsLeft = -1; // that still succeed; -1: all do
static bool g_lockOpenFails = false;
static int g_renamesLeft = -1;
static bool g_unlinkFails = false;
static int g_flockError = 0;
static QByteArray g_goneOnLock; // a folder moved away once a lock is taken
static QByteArray g_logUnder;   // the folder whose files' calls are logged
static QStringList g_calls;     // "CALL NAME", "CALL FROM TO" or "make MODE NAME", names only
static int g_killAt = 0;        // the call at which the process ends; 0: none

static QByteArray pathOf(int fd)
{
    char path[4096];
    const ssize_t n = readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(),
                               path, sizeof path);
    return n > 0 ? QByteArray(path, n) : QByteArray();
}

// Logs a call on the test's files, and ends the process at the chosen one.
static void called(const QByteArray &call, const QByteArray &path, const QByteArray &to = {})
{
    if (g_logUnder.isEmpty() || !path.startsWith(g_logUnder))
        return;
    if (g_killAt > 0 && --g_killAt == 0)
        _exit(9);
    const auto name = [](const QByteArray &p) {
        return QString::fromUtf8(p.mid(p.lastIndexOf('/') + 1))
            .replace(QRegularExpression("\\.[A-Za-z0-9]{8}(\\.saving)?$"), ".*\\1");
    };
    g_calls << (QLatin1String(call) + u' ' + name(path) + (to.isEmpty() ? "" : u' ' + name(to)));
}

extern "C" int fsync(int fd)
{
    struct stat status = {};
    const bool folder = fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
    if (!g_logUnder.isEmpty())
        called("fsync", pathOf(fd));
    if (g_syncFails || (folder && g_folderSyncsLeft == 0)) {
        errno = EIO;
        return -1;
    }
    g_folderSyncsLeft -= folder && g_folderSyncsLeft > 0;
    return int(syscall(SYS_fsync, fd));
}

extern "C" ssize_t write(int fd, const void *bytes, size_t size)
{
    if (fd > 2 && !g_logUnder.isEmpty())
        called("write", pathOf(fd));
    return syscall(SYS_write, fd, bytes, size);
}

extern "C" int fchmod(int fd, mode_t mode)
{
    if (!g_logUnder.isEmpty())
        called("fchmod", pathOf(fd));
    return int(syscall(SYS_fchmod, fd, mode));
}

extern "C" int flock(int fd, int operation)
{
    if (g_flockError) {
        errno = g_flockError;
        return -1;
    }
    if (!g_goneOnLock.isEmpty())
        syscall(SYS_renameat, AT_FDCWD, g_goneOnLock.constData(), AT_FDCWD,
                (g_goneOnLock + ".gone").constData());
    return int(syscall(SYS_flock, fd, operation));
}

extern "C" int rename(const char *from, const char *to)
{
    called("rename", from, to);
    if (g_renamesLeft == 0) {
        errno = EIO;
        return -1;
    }
    g_renamesLeft -= g_renamesLeft > 0;
    return int(syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

extern "C" int unlink(const char *path)
{
    called("unlink", path);
    if (g_unlinkFails && QByteArray(path).endsWith(".journal")) {
        errno = EIO;
        return -1;
    }
    return int(syscall(SYS_unlinkat, AT_FDCWD, path, 0));
}

static int openFile(const char *path, int flags, va_list arguments)
{
    const mode_t mode = (flags & O_CREAT) ? mode_t(va_arg(arguments, int)) : 0;
    called((flags & O_CREAT) ? "make " + QByteArray::number(mode, 8) : "open", path);
    if (g_lockOpenFails && QByteArray(path).endsWith("/.slots.lock")) {
        errno = EIO;
        return -1;
    }
    return int(syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

extern "C" int open(const char *path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const int fd = openFile(path, flags, arguments);
    va_end(arguments);
    return fd;
}

extern "C" int open64(const char *path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const int fd = openFile(path, flags, arguments);
    va_end(arguments);
    return fd;
}
#endif

// What the process holds open in folder, the folder itself included.
static QStringList heldOpen(const QString &folder)
{
    QStringList held;
#ifdef Q_OS_WIN
    // A handle of its own, sharing nothing, opens nothing held elsewhere.
    QStringList paths{folder};
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
        paths << QDir(folder).filePath(name);
    for (const QString &path : std::as_const(paths)) {
        const HANDLE h =
            CreateFileW(QDir::toNativeSeparators(path).toStdWString().c_str(), GENERIC_READ, 0,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            held << path;
        else
            CloseHandle(h);
    }
#else
    const QString real = QFileInfo(folder).canonicalFilePath();
    for (const QFileInfo &fd : QDir("/proc/self/fd").entryInfoList(QDir::AllEntries | QDir::System))
        if (fd.symLinkTarget() == real || fd.symLinkTarget().startsWith(real + '/'))
            held << fd.symLinkTarget();
#endif
    return held;
}

using name_slots::FinishedSave;
using name_slots::OpenResult;
using name_slots::SaveResult;
using name_slots::SlotStore;

Q_DECLARE_METATYPE(SaveResult::Status)
Q_DECLARE_METATYPE(OpenResult::Status)
Q_DECLARE_METATYPE(FinishedSave::Outcome)

class TestSlotStore : public QObject, private file_bytes::TestFolder
{
    Q_OBJECT
private slots:
    void init();
    void readCaptions_data();
    void readCaptions();
    void open_data();
    void open();
    void saveThenOpen_data();
    void saveThenOpen();
    void failedSaves_data();
    void failedSaves();
    void folderIsAFile_data();
    void folderIsAFile();
    void saveCutShort_data();
    void saveCutShort();
    void waitsForAnotherCopy_data();
    void waitsForAnotherCopy();
    void lockNoCopyHolds_data();
    void lockNoCopyHolds();
    void legacyFolder_data();
    void legacyFolder();
    void folderWithNonAsciiLetters();
    void folderOfAPath();
#if GLYPHSMITH_LINUX_TESTS
    void userFolderIgnoresRelativeDataHome();
    void folderSpelledThroughLinks();
    void saveCallsInOrder();
    void endedAtEveryCall();
    void saveKeepsPermissions_data();
    void saveKeepsPermissions();
    void linksAndSpecialFiles_data();
    void linksAndSpecialFiles();
    void linksResolvedAsTheSystemDoes_data();
    void linksResolvedAsTheSystemDoes();
#endif
#ifdef Q_OS_WIN
    void windowsUserFolderAndLegacyDrive();
    void windowsRefusesReplacement_data();
    void windowsRefusesReplacement();
    void windowsKeepsWhatTheUserSet();
#endif

private:
    // Puts a thing of the given kind at the file's place.
    void make(const QString &file, const QString &kind);
};

void TestSlotStore::init()
{
#if GLYPHSMITH_LINUX_TESTS
    // A row that failed midway leaves the disk sound for the next.
    g_syncFails = g_lockOpenFails = g_unlinkFails = false;
    g_folderSyncsLeft = g_renamesLeft = -1;
    g_flockError = 0;
#endif
    newFolder();
}

void TestSlotStore::make(const QString &file, const QString &kind)
{
    const QByteArray name = QFile::encodeName(path(file));
    if (kind == "folder") {
        QVERIFY(QDir().mkpath(path(file)));
#if GLYPHSMITH_LINUX_TESTS
    } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    } else if (kind == "dangling link") {
        QVERIFY(QFile::link(path("nowhere"), path(file)));
    } else if (kind == "link loop") {
        QVERIFY(QFile::link(path("other"), path(file)) && QFile::link(path(file), path("other")));
#endif
    } else if (kind == "2 GiB sparse file") {
        QFile f(path(file));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(qint64(2) << 30));
    } else {
        QFAIL(qPrintable("unknown kind " + kind));
    }
}

// A caption file's text, or no caption and one problem naming the file,
// whose reason carries the word or the figure given.
void TestSlotStore::readCaptions_data()
{
    QTest::addColumn<QString>("kind"); // "bytes", or a kind of thing for make()
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("carries"); // null: no problem
    const auto bytes = [](const char *row, const QByteArray &b, const QString &caption) {
        QTest::newRow(row) << "bytes" << b << caption << QString();
    };
    bytes("missing file", "<none>", QString());
    bytes("plain", "abc", "abc");
    bytes("one space is kept", " ", " ");
    bytes("empty", "", QString());
    bytes("final line break is no part of it", "abc\n", "abc");
    bytes("final CR LF is no part of it", "abc\r\n", "abc");
    bytes("only one final line break goes", "abc\n\n", "abc\n");
    bytes("inner line break stays", "a\nb", "a\nb");
    bytes("line separators stay",
          "a\xE2\x80\xA8"
          "b\xE2\x80\xA9",
          QString::fromUtf16(u"a\u2028b\u2029"));
    bytes("longest name", QByteArray(unicode_text::kMaxNameLength, 'x'),
          QString(unicode_text::kMaxNameLength, QChar(u'x')));
    QTest::newRow("one past the longest name is refused")
        << "bytes" << QByteArray(unicode_text::kMaxNameLength + 1, 'x') << QString() << "32766";
    QTest::newRow("1 MiB is refused")
        << "bytes" << QByteArray(1024 * 1024, 'x') << QString() << "32766";
    const auto refused = [](const char *kind, const char *carries) {
        QTest::newRow(kind) << kind << QByteArray() << QString() << carries;
    };
    refused("folder", "folder");
    refused("2 GiB sparse file", "large");
#if GLYPHSMITH_LINUX_TESTS
    refused("fifo", "regular");
    refused("dangling link", "link");
    refused("link loop", "link");
#endif
}

void TestSlotStore::readCaptions()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, caption);
    QFETCH(QString, carries);
    if (kind != "bytes")
        make("mnuname2.txt", kind);
    else if (bytes != "<none>")
        write("mnuname2.txt", bytes);
    write("mnuname3.txt", "three");
    QElapsedTimer timer;
    timer.start();
    const name_slots::CaptionsRead read = SlotStore(m_dir->path()).readCaptions();
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(read.captions[0], QString());
    QCOMPARE(read.captions[1], caption);
    QCOMPARE(read.captions[2], QStringLiteral("three"));
    QCOMPARE(read.problems.size(), carries.isNull() ? 0 : 1);
    if (!carries.isNull()) {
        QCOMPARE(read.problems[0].slot, 2);
        QCOMPARE(read.problems[0].path, path("mnuname2.txt"));
        QVERIFY2(read.problems[0].reason.contains(carries), qPrintable(read.problems[0].reason));
    }
}

// What Open gives the name box for the bytes stored in a data file.
void TestSlotStore::open_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<OpenResult::Status>("status");
    QTest::addColumn<QString>("name");
    const auto opened = [](const char *row, const QByteArray &b, const QString &name) {
        QTest::newRow(row) << b << OpenResult::Opened << name;
    };
    opened("missing file opens empty", "<none>", QString());
    opened("Windows-1252 bytes", "\xE9t\xE9", QString::fromUtf16(u"\u00E9t\u00E9"));
    // How bytes decode and what the name box cannot hold: tst_textfile.
    opened("outside the code page becomes ?", "a\xC4\x80\xF0\x9F\x98\x80z", "a??z");
    opened("final line break is no part of the name", "cab\n", "cab");
    opened("final CR LF is no part of the name", "cab\r\n", "cab");
    opened("longest name", QByteArray(unicode_text::kMaxNameLength, 'b'),
           QString(unicode_text::kMaxNameLength, QChar(u'b')));
    opened("longest name and a final line break",
           QByteArray(unicode_text::kMaxNameLength, 'b') + "\n",
           QString(unicode_text::kMaxNameLength, QChar(u'b')));
    QTest::newRow("one past the longest name is refused")
        << QByteArray(unicode_text::kMaxNameLength + 1, 'b') << OpenResult::TooLong << QString();
    QTest::newRow("2 MiB is refused")
        << QByteArray(2 * 1024 * 1024, 'b') << OpenResult::Unreadable << QString();
}

void TestSlotStore::open()
{
    QFETCH(QByteArray, bytes);
    QFETCH(OpenResult::Status, status);
    QFETCH(QString, name);
    if (bytes != "<none>")
        write("data3.txt", bytes);
    const OpenResult r = SlotStore(m_dir->path()).open(3);
    QCOMPARE(r.status, status);
    QCOMPARE(r.name, name);
    if (status != OpenResult::Opened) {
        QCOMPARE(r.problem.path, path("data3.txt"));
        QVERIFY(!r.problem.reason.isEmpty());
    }
}

// A name saved is opened again unchanged, and both files hold UTF-8.
void TestSlotStore::saveThenOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("dataBytes");
    QTest::newRow("abc") << "abc"
                         << "abc" << 3;
    QTest::newRow("name and caption differ") << "abc"
                                             << "xyz" << 3;
    QTest::newRow("empty caption") << "abc" << QString() << 3;
    // Three bytes each in UTF-8: near 100 KB, well inside the 1 MiB a slot
    // file may hold.
    QTest::newRow("longest name of euro signs")
        << QString(unicode_text::kMaxNameLength, QChar(0x20AC))
        << QString(unicode_text::kMaxNameLength, QChar(0x20AC)) << 98298;
    QTest::newRow("no-break space") << QString::fromUtf16(u"a\u00A0b") << "c" << 4;
}

void TestSlotStore::saveThenOpen()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(int, dataBytes);
    const QString folder = path("not/yet/there");
    const SlotStore store(folder);
    const SaveResult saved = store.save(2, name, caption);
    QCOMPARE(saved.status, SaveResult::Saved);
    QCOMPARE(heldOpen(folder).join(u", "), QString());
    QCOMPARE(read("not/yet/there/data2.txt").size(), dataBytes);
    QCOMPARE(QString::fromUtf8(read("not/yet/there/mnuname2.txt")), caption);
    const OpenResult opened = SlotStore(folder).open(2);
    QCOMPARE(opened.status, OpenResult::Opened);
    QCOMPARE(opened.stored, name);
    QCOMPARE(opened.name, name);
    QCOMPARE(SlotStore(folder).readCaptions().captions[1], caption);
}

// A save that fails before its journal is in place changes neither file,
// leaves nothing of its own, and names the file that failed, with the
// system's reason where it gave one; one that fails later is unfinished,
// holds "moved" new texts, and the next start completes it.
void TestSlotStore::failedSaves_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("length"); // of the name saved
    QTest::addColumn<SaveResult::Status>("status");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("error"); // the errno of the reason; 0 for the program's own words
    QTest::addColumn<int>("moved");
    const auto row = [](const char *name, const char *how, SaveResult::Status status,
                        const char *file, int error = 0, int moved = 0, int length = 8) {
        QTest::newRow(name) << how << length << status << file << error << moved;
    };
    row("data file is a folder", "data folder", SaveResult::NameNotSaved, "slots/data1.txt");
    row("lock is a folder", "lock folder", SaveResult::NotSaved, "slots/.slots.lock");
#if GLYPHSMITH_LINUX_TESTS
    row("caption file is a FIFO", "caption fifo", SaveResult::CaptionNotSaved,
        "slots/mnuname1.txt");
    // Named with the name's file, which the caption would overwrite.
    row("caption file is a link to the name's file", "caption link 1", SaveResult::CaptionNotSaved,
        "slots/mnuname1.txt");
    row("caption file is a link to another slot's name file", "caption link 2",
        SaveResult::CaptionNotSaved, "slots/mnuname1.txt");
    row("name's file is read-only", "read-only name", SaveResult::NameNotSaved, "slots/data1.txt");
    row("name's file is another user's", "another user's name", SaveResult::NameNotSaved,
        "slots/data1.txt");
    // Another program's doing, between the lock and the look at the files.
    row("the folder removed once locked", "gone", SaveResult::NameNotSaved, "slots/data1.txt",
        ENOENT);
    row("full file system", "full", SaveResult::NameNotSaved, "slots/data1.txt", ENOSPC);
    // No lock file can be made: the folder is named, and no lock file to remove.
    row("folder the saver may not write", "unwritable folder", SaveResult::NotSaved, "slots",
        EACCES);
    row("read-only file system", "read-only", SaveResult::NotSaved, "slots", EROFS);
    row("sync fails", "sync", SaveResult::NameNotSaved, "slots/data1.txt", EIO);
    row("folder's sync after the journal fails", "folder sync 0", SaveResult::NotSaved, "slots",
        EIO);
    row("linked caption's folder sync fails", "caption elsewhere, folder sync 0",
        SaveResult::NotSaved, "elsewhere", EIO);
    // The folder no file can be made in is named, not the file.
    row("linked caption's folder the saver may not write", "caption elsewhere, unwritable",
        SaveResult::CaptionNotSaved, "elsewhere", EACCES);
    row("the name's move fails", "renames 1", SaveResult::NameNotSaved, "slots/data1.txt", EIO);
    row("the name's move fails, and removing the journal", "renames 1, unlink",
        SaveResult::Unfinished, "slots/data1.txt", EIO, 0);
    row("the caption's move fails", "renames 2", SaveResult::Unfinished, "slots/mnuname1.txt", EIO,
        1);
    row("folder's sync after the moves fails", "folder sync 1", SaveResult::Unfinished, "slots",
        EIO, 2);
    // A limit below the name, the caption (11 bytes), the journal.
    row("file size limit on the name", "size limit 99999", SaveResult::NameNotSaved,
        "slots/data1.txt", EFBIG, 0, 100000);
    row("file size limit on the caption", "size limit 10", SaveResult::CaptionNotSaved,
        "slots/mnuname1.txt", EFBIG, 0, 1);
    row("file size limit on the journal", "size limit 100", SaveResult::NotSaved,
        "slots/.slot1.journal", EFBIG);
#endif
}

void TestSlotStore::failedSaves()
{
    QFETCH(QString, how);
    QFETCH(int, length);
    QFETCH(SaveResult::Status, status);
    QFETCH(QString, file);
    QFETCH(int, error);
    QFETCH(int, moved);
    const QString folder = path("slots");
    QVERIFY(QDir().mkpath(folder));
#if GLYPHSMITH_LINUX_TESTS
    private_mounts::Mount mount;
    if (how == "full" || how == "read-only") {
        mount = private_mounts::tmpfs(folder, 64);
        if (!mount.isMounted())
            QSKIP(qPrintable("cannot mount a small file system: " + private_mounts::enter()));
    }
    if (how == "another user's name" && ::geteuid() != 0)
        QSKIP("a file of another user's needs root");
#endif
    if (how == "data folder")
        make("slots/data1.txt", "folder");
    else
        write("slots/data1.txt", "old name");
    if (how == "caption fifo")
        make("slots/mnuname1.txt", "fifo");
    else if (how.startsWith("caption link") && (write("slots/two", "two"), true))
        // Slot 2's name file is a link too.
        QVERIFY(QFile::link(path("slots/two"), path("slots/data2.txt")) &&
                QFile::link(path(how.endsWith('1') ? "slots/data1.txt" : "slots/two"),
                            path("slots/mnuname1.txt")));
    else if (!how.startsWith("caption elsewhere"))
        write("slots/mnuname1.txt", "old caption");
    if (how == "lock folder")
        make("slots/.slots.lock", "folder");
#if GLYPHSMITH_LINUX_TESTS
    if (how == "full")
        QVERIFY(private_mounts::fill(folder));
    if (how == "read-only")
        QVERIFY(private_mounts::makeReadOnly(folder));
    if (how.startsWith("caption elsewhere")) {
        write("elsewhere/caption", "old caption");
        QVERIFY(QFile::link(path("elsewhere/caption"), path("slots/mnuname1.txt")));
    }
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (how.startsWith("size limit")) {
        rlimit small = old;
        small.rlim_cur = rlim_t(how.section(' ', -1).toInt());
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    g_syncFails = how == "sync";
    g_folderSyncsLeft = how.contains("folder sync") ? how.section(' ', -1).toInt() : -1;
    g_renamesLeft = how.startsWith("renames") ? how.section(' ', 1, 1).remove(',').toInt() : -1;
    g_unlinkFails = how.endsWith("unlink");
    g_goneOnLock = how == "gone" ? QFile::encodeName(folder) : QByteArray();
    // Root may write any file: the save runs as a user the mode binds.
    const bool readOnly = how.endsWith(" name");
    const bool elsewhereUnwritable = how.endsWith("elsewhere, unwritable");
    const bool asUser =
        (readOnly || how == "unwritable folder" || elsewhereUnwritable) && ::geteuid() == 0;
    if (how == "unwritable folder")
        QVERIFY(::chmod(QFile::encodeName(folder), 0555) == 0 &&
                ::chmod(QFile::encodeName(m_dir->path()), 0755) == 0);
    const QByteArray name = QFile::encodeName(path("slots/data1.txt"));
    if (readOnly || elsewhereUnwritable)
        QVERIFY(::chmod(name, readOnly ? 0444 : 0666) == 0 &&
                ::chmod(QFile::encodeName(folder), 0777) == 0 &&
                ::chmod(QFile::encodeName(m_dir->path()), 0755) == 0);
    if (elsewhereUnwritable)
        QVERIFY(::chmod(QFile::encodeName(path("elsewhere")), 0555) == 0 &&
                ::chmod(QFile::encodeName(path("elsewhere/caption")), 0666) == 0);
    if (how == "read-only name" && asUser) // the saver's own
        QVERIFY(::chown(name, 65534, gid_t(-1)) == 0);
    if (asUser)
        QCOMPARE(::setresuid(65534, 65534, 0), 0);
#endif

    QElapsedTimer timer;
    timer.start();
    const SaveResult r = SlotStore(folder).save(1, QString(length, u'n'), u"new caption");
    const qint64 took = timer.elapsed();
#if GLYPHSMITH_LINUX_TESTS
    if (asUser)
        QCOMPARE(::setresuid(0, 0, 0), 0);
    QVERIFY(how != "unwritable folder" || ::chmod(QFile::encodeName(folder), 0755) == 0);
    QVERIFY(!elsewhereUnwritable || ::chmod(QFile::encodeName(path("elsewhere")), 0755) == 0);
    g_syncFails = g_unlinkFails = false;
    if (std::exchange(g_goneOnLock, {}).size())
        QVERIFY(QDir().rename(folder + ".gone", folder));
    g_renamesLeft = g_folderSyncsLeft = -1;
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
#endif
    QVERIFY2(took < 2000, qPrintable(QString::number(took)));
    QCOMPARE(r.status, status);
    QCOMPARE(r.problem.slot, 1);
    QCOMPARE(r.problem.path, path(file));
    QVERIFY(!r.problem.reason.isEmpty());
    if (error)
        QCOMPARE(r.problem.reason, qt_error_string(error));
    QCOMPARE(r.problem.reason.contains("another user"), how == "another user's name");
    if (how.startsWith("caption link"))
        QVERIFY(r.problem.reason.contains(
            QDir::toNativeSeparators(path("slots/data" + how.right(1) + ".txt"))));
    const bool unfinished = status == SaveResult::Unfinished;
    QCOMPARE(r.moved, moved);
    // Nothing of the save's own is left: by the save itself where it failed,
    // by the start after one unfinished.
    const auto nothingLeft = [this] {
        QDirIterator left(m_dir->path(), QDir::Files | QDir::Hidden | QDir::System,
                          QDirIterator::Subdirectories);
        while (left.hasNext()) {
            const QString entry = left.next();
            QVERIFY2(!entry.contains(".saving") && !entry.contains(".journal"), qPrintable(entry));
        }
    };
    if (!unfinished)
        nothingLeft();
    const QByteArray newName(length, 'n');
    if (how != "data folder")
        QCOMPARE(read("slots/data1.txt"), unfinished && moved > 0 ? newName : "old name");
    if (how != "caption fifo" && !how.startsWith("caption link"))
        QCOMPARE(read("slots/mnuname1.txt"), moved == 2 ? "new caption" : "old caption");
#if GLYPHSMITH_LINUX_TESTS
    struct stat journal = {};
    if (unfinished)
        QVERIFY(::stat(QFile::encodeName(path("slots/.slot1.journal")), &journal) == 0 &&
                (journal.st_mode & 0777) == 0600);
#endif
    // The next start completes an unfinished save, telling where it moved a
    // file; the one after has nothing to tell.
    QCOMPARE(SlotStore(folder).finishInterruptedSaves().size(), unfinished && moved < 2 ? 1 : 0);
    QVERIFY(SlotStore(folder).finishInterruptedSaves().isEmpty());
    if (unfinished)
        QCOMPARE(read("slots/mnuname1.txt"), QByteArray("new caption"));
    nothingLeft();
}

// A slot folder that cannot be made is told at once, naming it, with the
// system's reason where it gave one.
void TestSlotStore::folderIsAFile_data()
{
    QTest::addColumn<QString>("file"); // the file in the way of the folder slots/inner
    QTest::addColumn<int>("error");
    QTest::newRow("the folder itself") << "slots/inner" << 0;
    QTest::newRow("a folder above it") << "slots" << 0;
#if GLYPHSMITH_LINUX_TESTS
    QTest::newRow("a read-only file system") << "slots/inner" << EROFS;
#endif
}

void TestSlotStore::folderIsAFile()
{
    QFETCH(QString, file);
    QFETCH(int, error);
#if GLYPHSMITH_LINUX_TESTS
    private_mounts::Mount mount;
    if (error && QDir().mkpath(path("slots"))) {
        mount = private_mounts::tmpfs(path("slots"), 64);
        if (!mount.isMounted())
            QSKIP(qPrintable("cannot mount a small file system: " + private_mounts::enter()));
        QVERIFY(private_mounts::makeReadOnly(path("slots")));
    }
#endif
    if (!error) {
        write(file, "a file");
        // The start names it as a save does.
        QCOMPARE(SlotStore(path("slots/inner")).readCaptions().problems.value(0).path, path(file));
    }
    const SaveResult r = SlotStore(path("slots/inner")).save(1, u"name", u"caption");
    QCOMPARE(r.status, SaveResult::NotSaved);
    QCOMPARE(r.problem.path, path(file));
    QVERIFY(!r.problem.reason.isEmpty());
    if (error)
        QCOMPARE(r.problem.reason, qt_error_string(error));
    else
        QCOMPARE(read(file), QByteArray("a file"));
}

// What the next start does with a save of slot 2 cut short at each step,
// and with files the program did not write: it tells (outcome), or says
// nothing (-1), and leaves the folder as "after" says ("as laid": untouched).
void TestSlotStore::saveCutShort_data()
{
    QTest::addColumn<QByteArray>("old"); // what the journal says both files held
    // Beside the journal; a word alone marks what is done to it or the folder.
    QTest::addColumn<QStringList>("laid");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("after");
    const QStringList oldPair{"data2.txt=old", "mnuname2.txt=old"};
    const QStringList newPair{"data2.txt=new", "mnuname2.txt=new"};
    const QStringList asLaid{"as laid"};
    const auto row = [](const char *name, const QStringList &laid, int outcome,
                        const QStringList &after, const QByteArray &old = "old") {
        QTest::newRow(name) << old << laid << outcome << after;
    };
    row("writing the temporary files",
        oldPair + QStringList{"no journal", "temporary data2.txt=new", "temporary mnuname2.txt=ne"},
        -1, oldPair);
    row("both temporary files written",
        oldPair + QStringList{"temporary data2.txt=new", "temporary mnuname2.txt=new"},
        FinishedSave::Completed, newPair);
    const QStringList movingIn{"data2.txt=new", "mnuname2.txt=old", "temporary mnuname2.txt=new"};
    row("moving them in", movingIn, FinishedSave::Completed, newPair);
    row("moving them in, the folder moved since", movingIn + QStringList{"moved"},
        FinishedSave::Completed, newPair);
    row("removing the journal", newPair, -1, newPair);
    row("a first save, moving in", {"data2.txt=new", "temporary mnuname2.txt=new"},
        FinishedSave::Completed, newPair, "<none>");
    row("a first save, the name made since",
        {"data2.txt=mine", "temporary data2.txt=new", "temporary mnuname2.txt=new"},
        FinishedSave::LeftAsItIs, {"data2.txt=mine", "mnuname2.txt=new"}, "<none>");
    // The file in the way is named and left; the other gets its new text.
    row("the name changed since",
        {"data2.txt=mine", "mnuname2.txt=old", "temporary mnuname2.txt=new"},
        FinishedSave::LeftAsItIs, {"data2.txt=mine", "mnuname2.txt=new"});
    row("the caption changed since",
        {"data2.txt=new", "mnuname2.txt=mine", "temporary mnuname2.txt=new"},
        FinishedSave::LeftAsItIs, {"data2.txt=new", "mnuname2.txt=mine"});
    row("moving in, the other temporary file not whole",
        {"data2.txt=new", "mnuname2.txt=old", "temporary mnuname2.txt=ne"},
        FinishedSave::LeftAsItIs, {"data2.txt=new", "mnuname2.txt=old"});
    row("the name changed since, the caption's file a folder",
        {"data2.txt=mine", "mnuname2.txt/in=x"}, FinishedSave::LeftAsItIs, {"data2.txt=mine"});
    row("both files folders", {"data2.txt/in=x", "mnuname2.txt/in=x"}, FinishedSave::LeftAsItIs,
        {});
    row("the name's file a folder, the caption changed since",
        {"data2.txt/in=x", "mnuname2.txt=mine"}, FinishedSave::LeftAsItIs, {"mnuname2.txt=mine"});
    row("moving them in, the name's file read-only",
        {"data2.txt=new", "read-only name", "mnuname2.txt=old", "temporary mnuname2.txt=new"},
        FinishedSave::Completed, newPair);
    row("the name changed since and read-only",
        {"data2.txt=mine", "read-only name", "mnuname2.txt=old", "temporary mnuname2.txt=new"},
        FinishedSave::LeftAsItIs, {"data2.txt=mine", "mnuname2.txt=new"});
    // The last three with their checksums made anew.
    for (const char *how :
         {"torn", "changed", "too large", "another slot's", "foreign", "first format", "upper-case",
          "negative", "with a text too long", "a folder"})
        row(qPrintable(QStringLiteral("a journal %1").arg(how)),
            movingIn + QStringList{how, "data2.txt.old=backup"}, FinishedSave::LeftAsItIs, asLaid);
    row("files of the names a user might give",
        oldPair + QStringList{"no journal", "data2.txt.old=backup", "data2.txt.new=x",
                              ".slot2.saving=", ".data2.txt.mine.saving=x",
                              ".data2.txt.AbCdEfGh9.saving=x", ".data2.txt.ÄÖÜäöüße.saving=x",
                              ".slot2.journal.12345678=mine"},
        -1, asLaid);
    row("a journal's own temporary file, cut short",
        oldPair + QStringList{"no journal", "..slot2.journal.AbCdEfGh.saving=Ravenmoor Gly"}, -1,
        oldPair);
#if GLYPHSMITH_LINUX_TESTS
    row("moving them in, the folder spelled through a link", movingIn + QStringList{"spelled"},
        FinishedSave::Completed, newPair);
    // "./": a name with a leading colon would be one of Qt's resources.
    row("moving them in, the name linked into a folder named with a colon",
        {"data2.txt->./:sub/data2.txt", "linked to slots/:sub/data2.txt", "./:sub/data2.txt=new",
         "mnuname2.txt=old", "temporary mnuname2.txt=new"},
        FinishedSave::Completed, newPair);
    // With temporary files beside the link and beside its target, for the next save.
    row("the name's link leads to another file now",
        {"data2.txt->../other", "temporary data2.txt=new", "../.other.AbCd1234.saving=x",
         "mnuname2.txt=old", "temporary mnuname2.txt=new"},
        FinishedSave::LeftAsItIs, asLaid);
    row("the caption's link leads to another file now",
        {"data2.txt=new", "mnuname2.txt->../other", "temporary mnuname2.txt=new",
         "../.other.AbCd1234.saving=x"},
        FinishedSave::LeftAsItIs, asLaid);
    row("the name's link leads nowhere now",
        {"data2.txt->../nothing", "linked to other", "mnuname2.txt=old",
         "temporary mnuname2.txt=new"},
        FinishedSave::LeftAsItIs, asLaid);
    // Named as a save names it, a save refusing it too.
    row("the name's link leads to another slot's file now",
        {"data2.txt->data3.txt", "data3.txt=x", "mnuname2.txt=old", "temporary mnuname2.txt=new"},
        FinishedSave::LeftAsItIs, asLaid);
    row("the name's link leads to a folder now",
        {"data2.txt->dir", "dir/in=x", "mnuname2.txt=old", "temporary mnuname2.txt=new"},
        FinishedSave::LeftAsItIs, asLaid);
    row("the name's link, its file changed since and read-only",
        {"data2.txt->../other", "linked to other", "../other=mine", "read-only name",
         "mnuname2.txt=old", "temporary mnuname2.txt=new"},
        FinishedSave::LeftAsItIs, {"data2.txt=mine", "mnuname2.txt=new"});
    row("the caption's new text a link",
        {"data2.txt=new", "mnuname2.txt=old", "temporary mnuname2.txt->data2.txt"},
        FinishedSave::LeftAsItIs, {"data2.txt=new", "mnuname2.txt=old"});
    row("a journal linked", movingIn + QStringList{"linked", "data2.txt.old=backup"},
        FinishedSave::LeftAsItIs, asLaid);
#endif
}

void TestSlotStore::saveCutShort()
{
    QFETCH(QByteArray, old);
    QFETCH(QStringList, laid);
    QFETCH(int, outcome);
    QFETCH(QStringList, after);
    const QString folder = path("slots");
    const bool spelled = laid.removeAll("spelled");
    const QString laidIn = laid.removeAll("moved") ? path("before") : folder;
    QVERIFY(QDir().mkpath(laidIn));
    write("other", "old");
    const name_slots::SaveJournal journal =
        cut_short_save::journal(laidIn, 2, old == "<none>" ? std::nullopt : std::optional(old));
    name_slots::SaveJournal written = journal;
    if (laid.removeAll("another slot's"))
        written.slot = 3;
    // "linked to FILE": the name's link led to FILE when the save began.
    const QString linkedTo = laid.filter(QRegularExpression("^linked to ")).value(0).mid(10);
    if (laid.removeAll("linked to " + linkedTo)) {
        written.files[0].file = path(linkedTo);
        written.files[0].temporary = name_slots::temporaryFor(path(linkedTo));
    }
    if (laid.removeAll("foreign"))
        written.files[0].temporary = path("slots/data2.txt.old");
    const bool torn = laid.removeAll("torn"), changed = laid.removeAll("changed"),
               upper = laid.removeAll("upper-case"), negative = laid.removeAll("negative"),
               tooLong = laid.removeAll("with a text too long"),
               first = laid.removeAll("first format"), noJournal = laid.removeAll("no journal"),
               linked = laid.removeAll("linked");
    const bool readOnly = laid.removeAll("read-only name");
    cut_short_save::lay(journal, laidIn, laid);
    QByteArray bytes = name_slots::encodeJournal(written, files::resolvedFile(laidIn));
    if (changed || upper) {
        qsizetype at = bytes.indexOf("\"newSha256\":\"") + 13;
        while (!std::isalpha(bytes[at]))
            ++at;
        bytes[at] = char(std::toupper(bytes[at]));
    }
    const QByteArray newSize = negative  ? "-1"
                               : tooLong ? QByteArray::number(unicode_text::kMaxTextFileBytes + 1)
                                         : "3";
    bytes.replace("journal 2\n", first ? "journal 1\n" : "journal 2\n")
        .replace("\"newSize\":3", "\"newSize\":" + newSize);
    if (upper || negative || tooLong || first)
        bytes = cut_short_save::resealed(bytes);
    if (laid.removeAll("too large"))
        bytes = QByteArray(unicode_text::kMaxTextFileBytes + 1, 'x');
    const QString journalFile = name_slots::journalPath(laidIn, 2);
    file_bytes::write(linked ? path("elsewhere.journal") : journalFile,
                      torn ? bytes.chopped(2) : bytes);
    if (noJournal || linked)
        QVERIFY(QFile::remove(journalFile));
    if (linked)
        QVERIFY(QFile::link(path("elsewhere.journal"), journalFile));
    if (laid.removeAll("a folder"))
        QVERIFY(QFile::remove(journalFile) && QDir().mkdir(journalFile));
    if (laidIn != folder)
        QVERIFY(QDir().rename(laidIn, folder));
    if (spelled)
        QVERIFY(QFile::link(folder, path("spelled")));
    if (readOnly)
        QVERIFY(QFile::setPermissions(path("slots/data2.txt"),
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
#if GLYPHSMITH_LINUX_TESTS
    // Root may write any file: the start and the saves run as a user the mode binds.
    const bool asUser = readOnly && ::geteuid() == 0;
    if (asUser)
        QVERIFY(::chmod(QFile::encodeName(folder), 0777) == 0 &&
                ::chmod(QFile::encodeName(m_dir->path()), 0755) == 0 &&
                ::setresuid(65534, 65534, 0) == 0);
    const auto asBefore = qScopeGuard([asUser] { QVERIFY(!asUser || ::setresuid(0, 0, 0) == 0); });
#endif
    const QStringList before = cut_short_save::layout(journal, folder);
    const SlotStore store(spelled ? path("spelled") : folder);

    const QList<FinishedSave> finished = store.finishInterruptedSaves();
    QCOMPARE(finished.size(), outcome < 0 ? 0 : 1);
    if (outcome >= 0) {
        QCOMPARE(finished[0].slot, 2);
        QCOMPARE(int(finished[0].outcome), outcome);
        QVERIFY(finished[0].journalLeft.ok());
        // A journal that cannot be acted on is the file named.
        if (QByteArray(QTest::currentDataTag()).startsWith("a journal "))
            QCOMPARE(finished[0].problem.path, name_slots::journalPath(folder, 2));
        if (linked)
            QCOMPARE(finished[0].problem.reason, files::texts::isALink());
        if (QByteArray(QTest::currentDataTag()).endsWith("a folder now"))
            QCOMPARE(finished[0].problem.path, path("slots/dir")); // where the link leads
    }
    QCOMPARE(cut_short_save::layout(journal, folder),
             after == QStringList{"as laid"} ? before : after);
    if (after != QStringList{"as laid"})
        QVERIFY(store.finishInterruptedSaves().isEmpty());
    // A file the start says to put right first fails a save as well, and
    // for the same reason where both read it.
    if (outcome >= 0 && finished[0].remedy == FinishedSave::PutRightThenSave) {
        const name_slots::FileProblem refused = store.save(2, u"saved", u"saved").problem;
        QCOMPARE(refused.path, finished[0].problem.path);
        QVERIFY(refused.path.endsWith(".journal") || refused.reason == finished[0].problem.reason);
        return;
    }
    if (readOnly) // a save refuses the read-only name, as failedSaves checks
        return;
#if GLYPHSMITH_LINUX_TESTS
    // A save whose journal cannot be moved in leaves all as it was.
    const QStringList left = cut_short_save::layout(journal, folder);
    g_renamesLeft = 0;
    QCOMPARE(store.save(2, u"failed", u"failed").status, SaveResult::NotSaved);
    g_renamesLeft = -1;
    QCOMPARE(cut_short_save::layout(journal, folder), left);
#endif
    // The next save replaces what the journal left, and keeps the user's files.
    QCOMPARE(store.save(2, u"saved", u"saved").status, SaveResult::Saved);
    QStringList kept{"data2.txt=saved", "mnuname2.txt=saved"};
    for (const QString &entry : before)
        if (!entry.contains(QRegularExpression(
                R"(^(journal|temporary |data2\.txt=|mnuname2\.txt=|\.\.slot2\.journal\.\w+\.saving=))")))
            kept << entry;
    kept.sort();
    QCOMPARE(cut_short_save::layout(journal, folder), kept);
    QVERIFY(!QFileInfo::exists(path(".other.AbCd1234.saving")));
}

// Run with HOLD_SLOT_LOCK set to a slot folder, this program is another
// running copy: it holds the folder's lock, says "held", and after HOLD_MS
// finishes the save of slot 2 cut short, as that copy would, and ends.
static int holdLock()
{
    const QString folder = qEnvironmentVariable("HOLD_SLOT_LOCK");
    files::FileLock lock;
    if (lock.tryLock(folder + "/.slots.lock").state != files::FileLock::Taken)
        return 1;
    std::puts("held");
    std::fflush(stdout);
    QThread::msleep(qEnvironmentVariableIntValue("HOLD_MS"));
    return name_slots::finishSave(lock, folder, 2) ? 1 : 0;
}

// Another running copy's save is waited for, three seconds at most; once it
// ends, a save goes on. A start leaves the journal to that copy at once.
void TestSlotStore::waitsForAnotherCopy_data()
{
    QTest::addColumn<bool>("atStart");
    QTest::addColumn<int>("holdMs");
    QTest::newRow("a save, freed during the wait") << false << 500;
    QTest::newRow("a save, never freed") << false << 10000;
    QTest::newRow("a start") << true << 10000;
}

void TestSlotStore::waitsForAnotherCopy()
{
    QFETCH(bool, atStart);
    QFETCH(int, holdMs);
    const SlotStore store(m_dir->path());
    const name_slots::SaveJournal journal = cut_short_save::journal(m_dir->path(), 2, "old");
    cut_short_save::lay(journal, m_dir->path(),
                        {"data2.txt=old", "mnuname2.txt=old", "temporary data2.txt=new",
                         "temporary mnuname2.txt=new"});
    QProcess otherCopy;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOLD_SLOT_LOCK", m_dir->path());
    environment.insert("HOLD_MS", QString::number(holdMs));
    otherCopy.setProcessEnvironment(environment);
    otherCopy.start(QCoreApplication::applicationFilePath(), {});
    const auto end = qScopeGuard([&] {
        otherCopy.kill();
        otherCopy.waitForFinished();
    });
    QVERIFY(otherCopy.waitForReadyRead(60000));
    QCOMPARE(otherCopy.readLine().trimmed(), QByteArray("held"));
    const bool freed = holdMs < 3000;
    QElapsedTimer timer;
    timer.start();
    [[maybe_unused]] const std::clock_t cpu = std::clock(); // on Windows, the wall clock
    if (atStart) {
        QVERIFY(store.finishInterruptedSaves().isEmpty());
        QCOMPARE(read("data2.txt") + read("mnuname2.txt"), QByteArray("oldold"));
    } else {
        const SaveResult r = store.save(2, u"mine", u"mine");
        QCOMPARE(r.status, freed ? SaveResult::Saved : SaveResult::NotSaved);
        QCOMPARE(r.problem.path, freed ? QString() : path(".slots.lock"));
        QCOMPARE(read("mnuname2.txt"), QByteArray(freed ? "mine" : "old"));
    }
    const qint64 waited = timer.elapsed();
    QVERIFY2(atStart ? waited < 2000
             : freed ? waited >= 400 && waited < 3000
                     : waited >= 3000 && waited < 4500,
             qPrintable(QString::number(waited)));
#if GLYPHSMITH_LINUX_TESTS
    // The wait sleeps between its looks.
    QVERIFY2(std::clock() - cpu < CLOCKS_PER_SEC / 4,
             qPrintable(QString::number(std::clock() - cpu)));
#endif
}

// A lock file that no running copy holds is taken, whatever it holds, and
// where the file system gives no locks a save goes on; one that cannot be
// opened is named with the system's reason, or the program's own words (-1).
void TestSlotStore::lockNoCopyHolds_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("error"); // of the reason, or 0 when saved
    QTest::newRow("empty, left by a crash") << "empty" << 0;
    QTest::newRow("an earlier version's, left") << "earlier" << 0;
#if GLYPHSMITH_LINUX_TESTS
    QTest::newRow("a dangling link") << "dangling link" << -1;
    QTest::newRow("it cannot be opened") << "cannot open" << EIO;
    QTest::newRow("read-only, another user's") << "read-only" << 0;
    for (const int error : {ENOLCK, EOPNOTSUPP, ENOSYS})
        QTest::newRow(qPrintable("no locks: " + qt_error_string(error))) << "no locks" << error;
#endif
#ifdef Q_OS_WIN
    // One that only reads it leaves the lock to be taken; one that shares
    // nothing is told at once, as no running copy of the program.
    QTest::newRow("read by another program") << "read elsewhere" << 0;
    QTest::newRow("open in another program") << "open elsewhere" << -1;
#endif
}

void TestSlotStore::lockNoCopyHolds()
{
    QFETCH(QString, kind);
    QFETCH(int, error);
    write("data1.txt", "first");
    if (kind == "empty" || kind == "earlier" || kind == "read-only" || kind == "cannot open")
        write(".slots.lock", kind == "earlier" ? "999999\nhost\napp\n" : "");
#if GLYPHSMITH_LINUX_TESTS
    if (kind == "dangling link")
        make(".slots.lock", "dangling link");
    g_lockOpenFails = kind == "cannot open";
    g_flockError = kind == "no locks" ? std::exchange(error, 0) : 0;
    // Root may open any file: the save runs as a user the mode binds.
    const bool asUser = kind == "read-only" && ::geteuid() == 0;
    if (kind == "read-only")
        QVERIFY(::chmod(QFile::encodeName(path(".slots.lock")), 0444) == 0 &&
                ::chmod(QFile::encodeName(path("data1.txt")), 0666) == 0 &&
                ::chmod(QFile::encodeName(m_dir->path()), 0777) == 0);
    if (asUser)
        QCOMPARE(::setresuid(65534, 65534, 0), 0);
#endif
#ifdef Q_OS_WIN
    const HANDLE held =
        !kind.endsWith("elsewhere")
            ? INVALID_HANDLE_VALUE
            : CreateFileW(QDir::toNativeSeparators(path(".slots.lock")).toStdWString().c_str(),
                          GENERIC_READ, kind == "read elsewhere" ? FILE_SHARE_READ : 0, nullptr,
                          OPEN_ALWAYS, 0, nullptr);
    const auto close = qScopeGuard([&] { CloseHandle(held); });
#endif
    QElapsedTimer timer;
    timer.start();
    const SaveResult r = SlotStore(m_dir->path()).save(1, u"second", u"second");
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    // A start with temporaries alone, nothing changed, says nothing; one with
    // a journal to finish, slot 2's beside slot 1's temporaries, names the
    // lock where the save did, in one message whatever the slots: a torn
    // journal needs a save after, a whole one the next start.
    write(".data1.txt.ABCDEFGH.saving", "half");
    const bool silent = SlotStore(m_dir->path()).finishInterruptedSaves().isEmpty();
    write(".slot2.journal", "torn");
    write(".slot3.journal", "torn");
    const QList<FinishedSave> told = SlotStore(m_dir->path()).finishInterruptedSaves();
    cut_short_save::lay(cut_short_save::journal(m_dir->path(), 2, std::nullopt), m_dir->path(), {});
    const QList<FinishedSave> whole = SlotStore(m_dir->path()).finishInterruptedSaves();
#if GLYPHSMITH_LINUX_TESTS
    if (asUser)
        QCOMPARE(::setresuid(0, 0, 0), 0);
    g_lockOpenFails = false;
    g_flockError = 0;
#endif
    QVERIFY(silent);
    QVERIFY(told.size() == (error ? 1 : 2) && told[0].slot == 2 &&
            told[0].outcome == FinishedSave::LeftAsItIs &&
            told[0].problem.path == path(error ? ".slots.lock" : ".slot2.journal") &&
            told[0].remedy == (error ? FinishedSave::PutRightThenSave : FinishedSave::SaveAgain));
    QVERIFY(whole.size() == (error ? 1 : 2) &&
            whole[0].remedy == (error ? FinishedSave::NextStart : FinishedSave::SaveAgain));
    QCOMPARE(r.status, error ? SaveResult::NotSaved : SaveResult::Saved);
    QCOMPARE(read("data1.txt"), QByteArray(error ? "first" : "second"));
    QCOMPARE(r.problem.path, error ? path(".slots.lock") : QString());
    if (error > 0)
        QVERIFY(r.problem.reason.startsWith(qt_error_string(error)));
    if (kind == "open elsewhere") // the first opening's reason, not the retry's
        QVERIFY2(r.problem.reason.contains("another program"), qPrintable(r.problem.reason));
    // A link is told as a link, not as a loop of links.
    QVERIFY(!r.problem.reason.contains(qt_error_string(ELOOP)));
    QCOMPARE(r.problem.reason.isEmpty(), !error);
}

// Where the folder has no file of a slot yet, the legacy folder's is read;
// saves go to the folder alone.
void TestSlotStore::legacyFolder_data()
{
    QTest::addColumn<QStringList>("files"); // "new/..." or "old/..."; content = folder name
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("nothing anywhere") << QStringList() << QString() << QString();
    QTest::newRow("legacy files only") << QStringList{"old/data1.txt", "old/mnuname1.txt"} << "old"
                                       << "old";
    QTest::newRow("new files only") << QStringList{"new/data1.txt", "new/mnuname1.txt"} << "new"
                                    << "new";
    QTest::newRow("both: the new wins")
        << QStringList{"old/data1.txt", "old/mnuname1.txt", "new/data1.txt", "new/mnuname1.txt"}
        << "new"
        << "new";
    // A slot's two files come from one folder, never a pair made of both.
    QTest::newRow("new name, legacy pair")
        << QStringList{"new/data1.txt", "old/data1.txt", "old/mnuname1.txt"} << "new"
        << "";
    QTest::newRow("new caption, legacy pair")
        << QStringList{"new/mnuname1.txt", "old/data1.txt", "old/mnuname1.txt"} << ""
        << "new";
}

void TestSlotStore::legacyFolder()
{
    QFETCH(QStringList, files);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    for (const QString &file : files)
        write(file, file.section(u'/', 0, 0).toUtf8());
    QVERIFY(QDir().mkpath(path("new")));
    const SlotStore store(path("new"), path("old"));
    QCOMPARE(store.open(1).name, name);
    QCOMPARE(store.readCaptions().captions[0], caption);
    QCOMPARE(store.save(1, u"saved", u"saved").status, SaveResult::Saved);
    QCOMPARE(read("new/data1.txt"), QByteArray("saved"));
    QCOMPARE(read("new/mnuname1.txt"), QByteArray("saved"));
    for (const QString &file : files)
        if (file.startsWith("old"))
            QCOMPARE(read(file), QByteArray("old"));
}

#if GLYPHSMITH_LINUX_TESTS
void TestSlotStore::userFolderIgnoresRelativeDataHome()
{
    QCoreApplication::setOrganizationName("Org");
    QCoreApplication::setApplicationName("App");
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", saved); });
    qputenv("XDG_DATA_HOME", "/data/home");
    QCOMPARE(SlotStore::forUser().folder(), QStringLiteral("/data/home/Org/App"));
    const QString standard = QDir::homePath() + "/.local/share/Org/App";
    for (const char *relative : {"relative/data", "./data", ""}) {
        qputenv("XDG_DATA_HOME", relative);
        QCOMPARE(SlotStore::forUser().folder(), standard);
    }
    // A name the system cannot be given back is refused, not replaced.
    qputenv("XDG_DATA_HOME", QFile::encodeName(path("h")) + "\xff");
    QCOMPARE(SlotStore::forUser().save(1, u"a", u"a").status, SaveResult::NotSaved);
    QCOMPARE(SlotStore::forUser().readCaptions().problems.size(), 1);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

// ".." after a linked folder is taken as the system takes it, from the
// link's target, whether the slot folder is there yet or not; a folder link
// that leads nowhere is named as such at Save (and at the start: tst_slots).
void TestSlotStore::folderSpelledThroughLinks()
{
    for (const bool there : {true, false}) {
        newFolder();
        QVERIFY(QDir().mkpath(path("disk2/deep")) && QFile::link(path("disk2/deep"), path("lnk")));
        QVERIFY(!there || QDir().mkpath(path("disk2/share/S")));
        const SlotStore store(path("lnk/../share/S"));
        // Another setup's slots, where ".." taken as text would lead.
        write("share/S/mnuname1.txt", "other");
        QCOMPARE(store.readCaptions().captions[0], QString());
        QVERIFY(QDir(path("share")).removeRecursively());
        // The caption's move fails: the start finishes from the save's journal.
        g_renamesLeft = 2;
        QCOMPARE(store.save(1, u"new", u"new").status, SaveResult::Unfinished);
        g_renamesLeft = -1;
        QCOMPARE(store.finishInterruptedSaves().size(), 1);
        QCOMPARE(read("disk2/share/S/mnuname1.txt"), QByteArray("new"));
        QCOMPARE(store.open(1).name, QStringLiteral("new"));
        QVERIFY(QDir().mkpath(path("disk2/share/S/mnuname2.txt")));
        QCOMPARE(store.readCaptions().problems.value(0).path, path("disk2/share/S/mnuname2.txt"));
        QVERIFY(!QFileInfo::exists(path("share")));
    }
    QVERIFY(QFile::link(path("unmounted"), path("slots")));
    const SaveResult saved = SlotStore(path("slots")).save(1, u"new", u"new");
    QCOMPARE(saved.status, SaveResult::NotSaved);
    QVERIFY2(saved.problem.path == path("slots") && saved.problem.reason.contains("link"),
             qPrintable(saved.problem.reason));
    QVERIFY(!QFileInfo::exists(path("unmounted")));
}

// The calls of a save, in order: each new text made its owner's alone (or
// left to the umask, where it replaces no file) and given its mode before
// its first byte, then synced; the folder of a linked file synced before the
// journal names its new text in it; the journal synced, moved in, the slot
// folder synced; the moves; their folders synced; the journal removed.
void TestSlotStore::saveCallsInOrder()
{
    write("elsewhere/real1.txt", "old");
    QVERIFY(QDir().mkpath(path("slots")) &&
            QFile::link(path("elsewhere/real1.txt"), path("slots/data1.txt")));
    g_calls.clear();
    g_logUnder = QFile::encodeName(m_dir->path());
    const SaveResult r = SlotStore(path("slots")).save(1, u"new", u"new");
    g_logUnder.clear();
    QCOMPARE(r.status, SaveResult::Saved);
    QCOMPARE(g_calls.filter(QRegularExpression("^(?!open)")),
             QStringList({"make 600 .slots.lock", "make 600 .real1.txt.*.saving",
                          "fchmod .real1.txt.*.saving", "write .real1.txt.*.saving",
                          "fsync .real1.txt.*.saving", "make 666 .mnuname1.txt.*.saving",
                          "write .mnuname1.txt.*.saving", "fsync .mnuname1.txt.*.saving",
                          "fsync elsewhere", "make 600 ..slot1.journal.*.saving",
                          "write ..slot1.journal.*.saving", "fsync ..slot1.journal.*.saving",
                          "rename ..slot1.journal.*.saving .slot1.journal", "fsync slots",
                          "rename .real1.txt.*.saving real1.txt",
                          "rename .mnuname1.txt.*.saving mnuname1.txt", "fsync elsewhere",
                          "fsync slots", "unlink .slot1.journal"}));
    // The start's, finishing a save of slot 2 whose linked caption did not
    // move: the move, both files' folders synced, then the journal removed.
    write("elsewhere/caption2.txt", "old");
    QVERIFY(QFile::link(path("elsewhere/caption2.txt"), path("slots/mnuname2.txt")));
    g_renamesLeft = 2; // the journal's and the name's
    QCOMPARE(SlotStore(path("slots")).save(2, u"new", u"new").moved, 1);
    g_renamesLeft = -1;
    g_calls.clear();
    g_logUnder = QFile::encodeName(m_dir->path());
    QCOMPARE(SlotStore(path("slots")).finishInterruptedSaves().size(), 1);
    g_logUnder.clear();
    QCOMPARE(g_calls.filter(QRegularExpression("^(?!open)")),
             QStringList({"make 600 .slots.lock", "rename .caption2.txt.*.saving caption2.txt",
                          "fsync slots", "fsync elsewhere", "unlink .slot2.journal"}));
}

// Whether run, in a process of its own, was ended at the n-th call on the
// test's files.
static bool endedAt(int n, const QString &folder, const std::function<void()> &run)
{
    const pid_t child = fork();
    if (child == 0) {
        g_logUnder = QFile::encodeName(folder);
        g_killAt = n;
        run();
        _exit(0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 9;
}

// Ended at each call of a save, its caption empty (a new text of no
// bytes), then at each call of the next start's finishing: two starts
// later the slot holds one whole pair, each start told of a completed save
// exactly where it changed the pair, and nothing of the save's is left.
void TestSlotStore::endedAtEveryCall()
{
    const QString folder = path("slots");
    const auto pair = [&] { return read("slots/data3.txt") + '|' + read("slots/mnuname3.txt"); };
    int ends = 0;
    for (int atSave = 1;; ++atSave) {
        for (int atStart = 0;; ++atStart) { // 0: the start runs whole
            QVERIFY(QDir(folder).removeRecursively());
            write("slots/data3.txt", "old");
            write("slots/mnuname3.txt", "old");
            if (!endedAt(atSave, folder, [&] { (void)SlotStore(folder).save(3, u"new", u""); })) {
                qInfo("%d ends, each followed by two starts", ends);
                return;
            }
            const bool startEnded = atStart > 0 && endedAt(atStart, folder, [&] {
                                        (void)SlotStore(folder).finishInterruptedSaves();
                                    });
            ends += 1 + startEnded;
            for (int start = 0; start < 2; ++start) {
                const QByteArray before = pair();
                const QList<FinishedSave> told = SlotStore(folder).finishInterruptedSaves();
                QVERIFY2(pair() == "old|old" || pair() == "new|", pair().constData());
                QCOMPARE(told.size(), before == pair() ? 0 : 1);
                QVERIFY(told.isEmpty() || told[0].outcome == FinishedSave::Completed);
            }
            QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
            left.removeAll(".slots.lock");
            QCOMPARE(left, QStringList({"data3.txt", "mnuname3.txt"}));
            if (atStart > 0 && !startEnded)
                break;
        }
    }
}
#endif

#if GLYPHSMITH_LINUX_TESTS
// A saved file keeps the permission bits and group of the file it replaces
// (its set-ID bits go, for root as for a user), or takes the saver's group
// where the saver is no member of it; a new one takes the system's default
// mode; the umask stays as it was.
void TestSlotStore::saveKeepsPermissions_data()
{
    QTest::addColumn<bool>("asUser"); // of a group other than the file's
    QTest::newRow("the saver's group") << false;
    QTest::newRow("a group the saver is no member of") << true;
}

void TestSlotStore::saveKeepsPermissions()
{
    QFETCH(bool, asUser);
    if (asUser && ::geteuid() != 0)
        QSKIP("saving as another user needs root");
    write("data1.txt", "old");
    const QByteArray data = QFile::encodeName(path("data1.txt"));
    const gid_t group = asUser ? 0 : ::geteuid() == 0 ? 65534 : ::getegid(); // root gives any
    QVERIFY(::chown(data.constData(), uid_t(-1), group) == 0 &&
            ::chmod(data.constData(), 02616) == 0 &&
            ::chmod(QFile::encodeName(m_dir->path()), 0777) == 0);
    const mode_t umask = ::umask(027);
    if (asUser)
        QVERIFY(::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 0) == 0 &&
                ::setresuid(65534, 65534, 0) == 0);
    const SaveResult::Status saved = SlotStore(m_dir->path()).save(1, u"new", u"new").status;
    if (asUser)
        QVERIFY(::setresuid(0, 0, 0) == 0 && ::setresgid(0, 0, 0) == 0);
    QCOMPARE(saved, SaveResult::Saved);
    QCOMPARE(::umask(umask), mode_t(027));
    QCOMPARE(read("data1.txt"), QByteArray("new"));
    for (const auto &[file, mode] :
         {std::pair{"data1.txt", 0616}, {"mnuname1.txt", 0640}, {".slots.lock", 0600}}) {
        struct stat status = {};
        QCOMPARE(::stat(QFile::encodeName(path(file)).constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, mode_t(mode));
        if (mode == 0616)
            QCOMPARE(status.st_gid, asUser ? gid_t(65534) : group);
    }
}

// A save goes through a link to a regular file and keeps the link; whatever
// is no regular file is neither read nor replaced, wherever a link leads.
void TestSlotStore::linksAndSpecialFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("usable");
    QTest::newRow("link to a regular file") << "link to file" << true;
    QTest::newRow("FIFO") << "fifo" << false;
    QTest::newRow("link to a FIFO") << "link to fifo" << false;
    QTest::newRow("link to a character device") << "link to device" << false;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("dangling link") << "dangling" << false;
    QTest::newRow("link loop") << "loop" << false;
}

void TestSlotStore::linksAndSpecialFiles()
{
    QFETCH(QString, kind);
    QFETCH(bool, usable);
    const QString slotFile = path("data1.txt");
    const QString target = path("elsewhere");
    const QByteArray targetName = QFile::encodeName(target);
    if (kind == "link to file")
        write("elsewhere", "old");
    else if (kind == "fifo" || kind == "link to fifo")
        QCOMPARE(::mkfifo(kind == "fifo" ? QFile::encodeName(slotFile).constData()
                                         : targetName.constData(),
                          0600),
                 0);
    else if (kind == "link to device" &&
             ::mknod(targetName.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
        QSKIP("cannot make a device node (needs root)");
    else if (kind == "folder")
        make("data1.txt", "folder");
    if (kind.startsWith("link") || kind == "dangling")
        QVERIFY(QFile::link(target, slotFile));
    else if (kind == "loop")
        QVERIFY(QFile::link(target, slotFile) && QFile::link(slotFile, target));
    struct stat before = {};
    const bool targetThere = ::lstat(targetName.constData(), &before) == 0;

    const SlotStore store(m_dir->path());
    const SaveResult saved = store.save(1, u"new", u"caption");
    const OpenResult opened = store.open(1);
    QCOMPARE(saved.status, usable ? SaveResult::Saved : SaveResult::NameNotSaved);
    QCOMPARE(opened.status, usable ? OpenResult::Opened : OpenResult::Unreadable);
    // The file in the way is named: the slot's own, or the one its link reaches.
    QVERIFY(usable || saved.problem.path == slotFile || saved.problem.path == target);
    if (kind == "dangling" || kind == "loop")
        QVERIFY2(saved.problem.reason.contains("link"), qPrintable(saved.problem.reason));
    if (usable) {
        QCOMPARE(opened.name, QStringLiteral("new"));
        QVERIFY(QFileInfo(slotFile).isSymLink());
        QCOMPARE(read("elsewhere"), QByteArray("new"));
    } else if (targetThere) {
        struct stat after = {};
        QCOMPARE(::lstat(targetName.constData(), &after), 0);
        QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        QCOMPARE(after.st_ino, before.st_ino);
    }
    QCOMPARE(QDir(m_dir->path())
                 .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                 .size(),
             (targetThere ? 2 : 1) + (usable ? 1 : 0) + 1); // and the folder's lock
}
#endif

#if GLYPHSMITH_LINUX_TESTS
// A save replaces the file the system reaches through the slot's links, and
// leaves the links, and a file that the links' text alone would name.
void TestSlotStore::linksResolvedAsTheSystemDoes_data()
{
    QTest::addColumn<QStringList>("links"); // "LINK->TARGET", made in this order
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("reached");
    QTest::newRow("a chain of links")
        << QStringList{"slots/data1.txt->hop", "slots/hop->real"} << "slots"
        << "slots/real";
    QTest::newRow("a relative link after a linked folder")
        << QStringList{"share/R->../disk2/R", "disk2/R/S/data1.txt->../../names/real1.txt"}
        << "share/R/S"
        << "disk2/names/real1.txt";
}

void TestSlotStore::linksResolvedAsTheSystemDoes()
{
    QFETCH(QStringList, links);
    QFETCH(QString, folder);
    QFETCH(QString, reached);
    write("share/names/real1.txt", "unrelated");
    write(reached, "old");
    QVERIFY(QDir().mkpath(path("slots")) && QDir().mkpath(path("disk2/R/S")));
    for (const QString &link : links)
        QVERIFY(QFile::link(link.section("->", 1), path(link.section("->", 0, 0))));
    QCOMPARE(SlotStore(path(folder)).save(1, u"new", u"new").status, SaveResult::Saved);
    QCOMPARE(read(reached), QByteArray("new"));
    QCOMPARE(read("share/names/real1.txt"), QByteArray("unrelated"));
    for (const QString &link : links)
        QVERIFY(QFileInfo(path(link.section("->", 0, 0))).isSymLink());
}
#endif

// A folder whose path holds letters of several scripts keeps names and
// captions as any other, its lock included.
void TestSlotStore::folderWithNonAsciiLetters()
{
    const QString folder =
        path(QString::fromUtf16(u"Sl\u00f6ts \u03a8 \u041f\u0440\u0438\u0432\u0435\u0442"));
    const SlotStore store(folder);
    QCOMPARE(store.save(2, u"name", u"caption").status, SaveResult::Saved);
    QCOMPARE(store.open(2).name, QStringLiteral("name"));
    QCOMPARE(store.readCaptions().captions[1], QStringLiteral("caption"));
    QCOMPARE(file_bytes::read(folder + "/mnuname2.txt"), QByteArray("caption"));
}

#ifdef Q_OS_WIN
// The store's own Windows choice: the per-user application data folder,
// with the root of drive C: read where that folder has no file yet.
void TestSlotStore::windowsUserFolderAndLegacyDrive()
{
    QCoreApplication::setOrganizationName("Ravenmoor");
    QCoreApplication::setApplicationName("Ravenmoor Glyphsmith");
    const SlotStore store = SlotStore::forUser();
    const QString appData = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    QCOMPARE(store.folder(), appData + "/Ravenmoor/Ravenmoor Glyphsmith");
    const auto cleanUp = qScopeGuard([&] {
        QDir(store.folder()).removeRecursively();
        QFile::remove("C:/data3.txt");
        QFile::remove("C:/mnuname3.txt");
    });
    file_bytes::write("C:/data3.txt", "legacy name");
    file_bytes::write("C:/mnuname3.txt", "legacy caption");
    QCOMPARE(store.readCaptions().captions[2], QStringLiteral("legacy caption"));
    QCOMPARE(store.open(3).name, QStringLiteral("legacy name"));
    QCOMPARE(store.save(3, u"new name", u"new caption").status, SaveResult::Saved);
    QCOMPARE(file_bytes::read(store.folder() + "/data3.txt"), QByteArray("new name"));
    // The program's own files are hidden in Explorer; the slot's are not.
    for (const auto &[file, hidden] : {std::pair{"/.slots.lock", true}, {"/data3.txt", false}}) {
        const DWORD attributes = GetFileAttributesW(
            QDir::toNativeSeparators(store.folder() + file).toStdWString().c_str());
        QVERIFY(attributes != INVALID_FILE_ATTRIBUTES);
        QCOMPARE(bool(attributes & FILE_ATTRIBUTE_HIDDEN), hidden);
    }
    QCOMPARE(store.readCaptions().captions[2], QStringLiteral("new caption"));
    QCOMPARE(file_bytes::read("C:/mnuname3.txt"), QByteArray("legacy caption"));
}

// Windows refuses to replace a file that is open without delete sharing
// or marked read-only: the save says so, naming the data file, and both
// old files stay whole with nothing left beside them.
void TestSlotStore::windowsRefusesReplacement_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("held open without delete sharing") << false;
    QTest::newRow("read-only") << true;
}

void TestSlotStore::windowsRefusesReplacement()
{
    QFETCH(bool, readOnly);
    write("data1.txt", "old name");
    write("mnuname1.txt", "old caption");
    const std::wstring data = QDir::toNativeSeparators(path("data1.txt")).toStdWString();
    HANDLE held = INVALID_HANDLE_VALUE;
    if (readOnly)
        QVERIFY(SetFileAttributesW(data.c_str(), FILE_ATTRIBUTE_READONLY));
    else
        held = CreateFileW(data.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const auto release = qScopeGuard([&] {
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        SetFileAttributesW(data.c_str(), FILE_ATTRIBUTE_NORMAL);
    });
    QVERIFY(readOnly || held != INVALID_HANDLE_VALUE);

    const SaveResult r = SlotStore(m_dir->path()).save(1, u"new name", u"new caption");
    QCOMPARE(r.status, SaveResult::NameNotSaved);
    QCOMPARE(r.problem.path, path("data1.txt"));
    QVERIFY(!r.problem.reason.isEmpty());
    QCOMPARE(read("data1.txt"), QByteArray("old name"));
    QCOMPARE(read("mnuname1.txt"), QByteArray("old caption"));
    QStringList left = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    left.removeAll(".slots.lock");
    left.sort();
    QCOMPARE(left, QStringList({"data1.txt", "mnuname1.txt"}));
}
#endif

// The folder a path is in, as spelled: a ".." is the system's to take.
void TestSlotStore::folderOfAPath()
{
    for (const auto &[file, folder] :
         {std::pair{"/a", "/"}, {"a", "."}, {"/a/b", "/a"}, {"l/../b", "l/.."}})
        QCOMPARE(files::folderOf(file), QString::fromLatin1(folder));
}

#ifdef Q_OS_WIN
// A slot file the user hid stays hidden once saved; one not hidden stays so.
void TestSlotStore::windowsKeepsWhatTheUserSet()
{
    write("data1.txt", "old");
    write("mnuname1.txt", "old");
    const std::wstring data = QDir::toNativeSeparators(path("data1.txt")).toStdWString();
    QVERIFY(SetFileAttributesW(data.c_str(), FILE_ATTRIBUTE_HIDDEN));
    QCOMPARE(SlotStore(m_dir->path()).save(1, u"new", u"new").status, SaveResult::Saved);
    QCOMPARE(read("data1.txt"), QByteArray("new"));
    for (const auto &[file, hidden] : {std::pair{"data1.txt", true}, {"mnuname1.txt", false}}) {
        const DWORD attributes =
            GetFileAttributesW(QDir::toNativeSeparators(path(file)).toStdWString().c_str());
        QCOMPARE(bool(attributes & FILE_ATTRIBUTE_HIDDEN), hidden);
    }
}
#endif

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("HOLD_SLOT_LOCK"))
        return holdLock();
    QCoreApplication application(argc, argv);
    TestSlotStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_slotstore.moc"
