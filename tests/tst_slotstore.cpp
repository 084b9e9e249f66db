// The slot rules, on the store alone: no window, no display.

#include "file_bytes.h"
#include "slots/slotstore.h"
#include "unicode_text/codepage.h"
#include "unicode_text/textfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#ifdef Q_OS_WIN
#include <windows.h>
#endif
#if GLYPHSMITH_LINUX_TESTS
#include "private_mounts.h"

#include <sys/file.h>
#include <sys/stat.h>
#endif

using name_slots::FinishedSave;
using name_slots::OpenResult;
using name_slots::SaveResult;
using name_slots::SlotStore;

Q_DECLARE_METATYPE(SaveResult::Status)
Q_DECLARE_METATYPE(OpenResult::Status)
Q_DECLARE_METATYPE(FinishedSave::Outcome)

class TestSlotStore : public QObject
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
    void folderIsAFile();
    void saveCutShort_data();
    void saveCutShort();
    void secondCopyWaitsForTheLock();
    void lockLeftEmpty_data();
    void lockLeftEmpty();
    void legacyFolder_data();
    void legacyFolder();
    void folderWithNonAsciiLetters();
#if GLYPHSMITH_LINUX_TESTS
    void userFolderIgnoresRelativeDataHome();
#endif
#ifdef Q_OS_WIN
    void windowsUserFolderAndLegacyDrive();
    void windowsRefusesReplacement_data();
    void windowsRefusesReplacement();
#endif

private:
    QString path(const QString &file) const
    {
        return m_dir->filePath(file);
    }
    void write(const QString &file, const QByteArray &bytes)
    {
        file_bytes::write(path(file), bytes);
    }
    QByteArray read(const QString &file) const
    {
        return file_bytes::read(path(file));
    }
    // Puts a thing of the given kind at the file's place.
    void make(const QString &file, const QString &kind);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSlotStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
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

// A caption file's text, or no caption and one problem naming the file.
void TestSlotStore::readCaptions_data()
{
    QTest::addColumn<QString>("kind"); // "bytes", or a kind of thing for make()
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("problem");
    const auto bytes = [](const char *row, const QByteArray &b, const QString &caption) {
        QTest::newRow(row) << "bytes" << b << caption << false;
    };
    bytes("missing file", "<none>", QString());
    bytes("plain", "abc", "abc");
    bytes("one space is kept", " ", " ");
    bytes("empty", "", QString());
    bytes("UTF-16", QByteArray("\xFF\xFEx\x00\xE9\x00", 6), QString::fromUtf16(u"x\u00E9"));
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
        << "bytes" << QByteArray(unicode_text::kMaxNameLength + 1, 'x') << QString() << true;
    QTest::newRow("1 MiB is refused")
        << "bytes" << QByteArray(1024 * 1024, 'x') << QString() << true;
    for (const char *kind : {"folder", "2 GiB sparse file"})
        QTest::newRow(kind) << kind << QByteArray() << QString() << true;
#if GLYPHSMITH_LINUX_TESTS
    for (const char *kind : {"fifo", "dangling link", "link loop"})
        QTest::newRow(kind) << kind << QByteArray() << QString() << true;
#endif
}

void TestSlotStore::readCaptions()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, caption);
    QFETCH(bool, problem);
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
    QCOMPARE(read.problems.size(), problem ? 1 : 0);
    if (problem) {
        QCOMPARE(read.problems[0].slot, 2);
        QCOMPARE(read.problems[0].path, path("mnuname2.txt"));
        QVERIFY(!read.problems[0].reason.isEmpty());
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
    opened("UTF-16 with BOM", QByteArray("\xFE\xFF\x00\x61\x20\xAC", 6),
           QString::fromUtf16(u"a\u20AC"));
    opened("outside the code page becomes ?", "a\xC4\x80\xF0\x9F\x98\x80z", "a??z");
    opened("final line break is no part of the name", "cab\n", "cab");
    opened("final CR LF is no part of the name", "cab\r\n", "cab");
    opened("inner line breaks and tabs become spaces", "Alice\nBob\tC\r\nD", "Alice Bob C  D");
    opened("Unicode line breaks become spaces",
           "a\xE2\x80\xA8"
           "b\xC2\x85"
           "c",
           "a b c");
    opened("control characters become ?",
           QByteArray("a\x00"
                      "b\x1B\x07\x7F"
                      "c",
                      7),
           "a?b???c");
    opened("undefined Windows-1252 byte becomes ?",
           "a\x81"
           "b",
           "a?b");
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
    QCOMPARE(read("not/yet/there/data2.txt").size(), dataBytes);
    QCOMPARE(QString::fromUtf8(read("not/yet/there/mnuname2.txt")), caption);
    const OpenResult opened = SlotStore(folder).open(2);
    QCOMPARE(opened.status, OpenResult::Opened);
    QCOMPARE(opened.stored, name);
    QCOMPARE(opened.name, name);
    QCOMPARE(SlotStore(folder).readCaptions().captions[1], caption);
}

// A save that fails changes neither file and leaves nothing beside them.
void TestSlotStore::failedSaves_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<SaveResult::Status>("status");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("dataAfter");
    QTest::newRow("data file is a folder")
        << "data folder" << SaveResult::NameNotSaved << "data1.txt" << QByteArray("<folder>");
    // The lock fails for a reason of its own: told at once, another copy not blamed.
    QTest::newRow("lock is a folder")
        << "lock folder" << SaveResult::NameNotSaved << ".slots.lock" << QByteArray("old name");
#if GLYPHSMITH_LINUX_TESTS
    QTest::newRow("caption file is a FIFO") << "caption fifo" << SaveResult::CaptionNotSaved
                                            << "mnuname1.txt" << QByteArray("old name");
    QTest::newRow("full file system")
        << "full" << SaveResult::NameNotSaved << "" << QByteArray("old name");
    QTest::newRow("read-only file system")
        << "read-only" << SaveResult::NameNotSaved << "" << QByteArray("old name");
    QTest::newRow("caption file cannot be replaced")
        << "caption busy" << SaveResult::CaptionNotSaved << "mnuname1.txt"
        << QByteArray("old name");
#endif
}

void TestSlotStore::failedSaves()
{
    QFETCH(QString, how);
    QFETCH(SaveResult::Status, status);
    QFETCH(QString, file);
    QFETCH(QByteArray, dataAfter);
    const QString folder = path("slots");
    QVERIFY(QDir().mkpath(folder));
#if GLYPHSMITH_LINUX_TESTS
    private_mounts::Mount mount;
    if (how == "full" || how == "read-only") {
        mount = private_mounts::tmpfs(folder, 64);
        if (!mount.isMounted())
            QSKIP(qPrintable("cannot mount a small file system: " + private_mounts::enter()));
    }
#endif
    if (how == "data folder")
        make("slots/data1.txt", "folder");
    else
        write("slots/data1.txt", "old name");
    if (how == "caption fifo")
        make("slots/mnuname1.txt", "fifo");
    else
        write("slots/mnuname1.txt", "old caption");
#if GLYPHSMITH_LINUX_TESTS
    if (how == "full")
        QVERIFY(private_mounts::fill(folder));
    if (how == "read-only")
        QVERIFY(private_mounts::makeReadOnly(folder));
    if (how == "caption busy") {
        // A file mounted over the caption file cannot be replaced: EBUSY.
        write("mounted", "old caption\n");
        mount = private_mounts::bind(path("mounted"), path("slots/mnuname1.txt"));
        if (!mount.isMounted())
            QSKIP(qPrintable("cannot bind-mount a file: " + private_mounts::enter()));
    }
#endif

    if (how == "lock folder")
        make("slots/.slots.lock", "folder");

    QElapsedTimer timer;
    timer.start();
    const SaveResult r = SlotStore(folder).save(1, u"new name", u"new caption");
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(r.status, status);
    QCOMPARE(r.problem.slot, 1);
    QCOMPARE(r.problem.path, file.isEmpty() ? folder : QDir(folder).filePath(file));
    QVERIFY(!r.problem.reason.isEmpty());
    QVERIFY2(!r.problem.reason.contains("Another copy"), qPrintable(r.problem.reason));
    if (how != "data folder")
        QCOMPARE(read("slots/data1.txt"), dataAfter);
    if (how != "caption fifo")
        QCOMPARE(read("slots/mnuname1.txt"),
                 QByteArray(how == "caption busy" ? "old caption\n" : "old caption"));
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : left)
        QVERIFY2(!entry.contains(".txt.") && !entry.contains(".saving"), qPrintable(entry));
}

// A slot folder that cannot be made is told at once, naming it.
void TestSlotStore::folderIsAFile()
{
    write("slots", "a file");
    const SaveResult r = SlotStore(path("slots/inner")).save(1, u"name", u"caption");
    QCOMPARE(r.status, SaveResult::NameNotSaved);
    QCOMPARE(r.problem.path, path("slots/inner"));
    QVERIFY(!r.problem.reason.isEmpty());
    QVERIFY2(!r.problem.reason.contains("Another copy"), qPrintable(r.problem.reason));
    QCOMPARE(read("slots"), QByteArray("a file"));
}

// What a save cut short at each step leaves ("file=text"), and the pair of
// slot 2 after the next start: rolled forward once the marker is there, and
// back before it, also where the slot had no files yet.
void TestSlotStore::saveCutShort_data()
{
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<FinishedSave::Outcome>("outcome");
    QTest::addColumn<QByteArray>("pair");
    const QStringList written{"data2.txt=old", "mnuname2.txt=old", "data2.txt.new=new",
                              "mnuname2.txt.new=ne"};
    QTest::newRow("while writing") << written << FinishedSave::Undone << QByteArray("old");
    QTest::newRow("moving the old files aside")
        << QStringList{"data2.txt.old=old", "mnuname2.txt=old", "data2.txt.new=new",
                       "mnuname2.txt.new=new"}
        << FinishedSave::Undone << QByteArray("old");
    QTest::newRow("putting the new files in place")
        << QStringList{".slot2.saving=", "data2.txt=new", "data2.txt.old=old",
                       "mnuname2.txt.old=old", "mnuname2.txt.new=new"}
        << FinishedSave::Completed << QByteArray("new");
    QTest::newRow("dropping the old files")
        << QStringList{".slot2.saving=", "data2.txt=new", "mnuname2.txt=new",
                       "mnuname2.txt.old=old"}
        << FinishedSave::Completed << QByteArray("new");
    QTest::newRow("a first save, writing")
        << QStringList{"data2.txt.new=new"} << FinishedSave::Undone << QByteArray("<none>");
}

void TestSlotStore::saveCutShort()
{
    QFETCH(QStringList, left);
    QFETCH(FinishedSave::Outcome, outcome);
    QFETCH(QByteArray, pair);
    for (const QString &file : left)
        write(file.section('=', 0, 0), file.section('=', 1).toUtf8());
    const QList<FinishedSave> finished = SlotStore(m_dir->path()).finishInterruptedSaves();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0].slot, 2);
    QCOMPARE(finished[0].outcome, outcome);
    for (const char *file : {"data2.txt", "mnuname2.txt"})
        QCOMPARE(QFile::exists(path(file)) ? read(file) : QByteArray("<none>"), pair);
    QStringList after = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
    after.removeAll(".slots.lock");
    QCOMPARE(after.size(), pair == "<none>" ? 0 : 2);
    QVERIFY(SlotStore(m_dir->path()).finishInterruptedSaves().isEmpty());
}

// While another copy of the program holds the slot folder's lock, a save
// waits for it and then gives up, changing nothing.
void TestSlotStore::secondCopyWaitsForTheLock()
{
    const SlotStore store(m_dir->path());
    QCOMPARE(store.save(1, u"first", u"first").status, SaveResult::Saved);
    QLockFile other(path(".slots.lock"));
    QVERIFY(other.tryLock(0));
    const SaveResult r = store.save(1, u"second", u"second");
    QCOMPARE(r.status, SaveResult::NameNotSaved);
    QCOMPARE(read("data1.txt"), QByteArray("first"));
    QCOMPARE(read("mnuname1.txt"), QByteArray("first"));
    other.unlock();
    QCOMPARE(store.save(1, u"second", u"second").status, SaveResult::Saved);
    QCOMPARE(read("mnuname1.txt"), QByteArray("second"));
}

// A copy killed between creating the folder's lock and writing it leaves the
// lock empty: the next save takes it over, unless a running copy holds it.
void TestSlotStore::lockLeftEmpty_data()
{
    QTest::addColumn<bool>("stillHeld");
    QTest::addColumn<SaveResult::Status>("status");
    QTest::newRow("left by a crash") << false << SaveResult::Saved;
#if GLYPHSMITH_LINUX_TESTS
    QTest::newRow("held by a running copy") << true << SaveResult::NameNotSaved;
#endif
}

void TestSlotStore::lockLeftEmpty()
{
    QFETCH(bool, stillHeld);
    QFETCH(SaveResult::Status, status);
    write("data1.txt", "first");
    write(".slots.lock", "");
    QFile lock(path(".slots.lock"));
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-10),
                             QFileDevice::FileModificationTime));
    // Windows cannot remove a file that is open, as a crashed copy's is not.
    if (!stillHeld)
        lock.close();
        // A running copy holds its lock file's descriptor locked as well.
#if GLYPHSMITH_LINUX_TESTS
    if (stillHeld)
        QCOMPARE(::flock(lock.handle(), LOCK_EX | LOCK_NB), 0);
#endif

    QCOMPARE(SlotStore(m_dir->path()).save(1, u"second", u"second").status, status);
    QCOMPARE(read("data1.txt"), QByteArray(stillHeld ? "first" : "second"));
    QCOMPARE(QFile::exists(path(".slots.lock")), stillHeld);
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
    QTest::newRow("legacy caption, no new one")
        << QStringList{"new/data1.txt", "old/mnuname1.txt"} << "new"
        << "old";
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

QTEST_GUILESS_MAIN(TestSlotStore)
#include "tst_slotstore.moc"
