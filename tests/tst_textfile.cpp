#include "file_bytes.h"
#include "glyphs/glyphs.h"
#include "unicode_text/codepage.h"
#include "unicode_text/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#if GLYPHSMITH_LINUX_TESTS
#include "private_mounts.h"

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// The disk's answer to a sync, as this test program sees it: while set, a
// failure (EIO) the way a failing disk gives it.
static bool g_syncFails = false;

extern "C" int fsync(int fd)
{
    if (g_syncFails) {
        errno = EIO;
        return -1;
    }
    return int(syscall(SYS_fsync, fd));
}
#endif

using namespace unicode_text;

namespace {

QString windows1252Repertoire()
{
    QByteArray bytes;
    for (int b = 1; b < 256; ++b)
        bytes.append(char(b));
    return decodeWindows1252(bytes);
}

} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void decode_data();
    void decode();
    void savesUtf8WithoutBom();
    void missingFileLoadsEmpty();
    void refusedFiles_data();
    void refusedFiles();
    void failedSaves_data();
    void failedSaves();
#if GLYPHSMITH_LINUX_TESTS
    void failedSavesKeepOldFile_data();
    void failedSavesKeepOldFile();
    void linksAndSpecialFiles_data();
    void linksAndSpecialFiles();
#endif
    void windows1252HighBytes();
    void toCodePage_data();
    void toCodePage();

private:
    QTemporaryDir m_dir;
};

void TestTextFile::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QString glyphsText;
    for (const glyphs::GlyphRow &row : glyphs::kTable)
        glyphsText.append(QChar(row.glyph));
    QTest::newRow("every glyph") << glyphsText;
    QTest::newRow("Windows-1252 repertoire") << windows1252Repertoire();
    QTest::newRow("empty") << QString();
    QTest::newRow("one space") << " ";
    QTest::newRow("line breaks") << "a\r\nb\nc\r";
    // (QString::fromUtf16 would drop a leading U+FEFF as a byte order mark.)
    const QString bom(QChar::ByteOrderMark);
    QTest::newRow("leading U+FEFF") << bom + QStringLiteral("name");
    QTest::newRow("two leading U+FEFF") << bom + bom + QStringLiteral("name");
    QTest::newRow("outside the BMP") << QString::fromUtf16(u"x\U0001F600y");
    QTest::newRow("NUL inside") << QString::fromUtf16(u"a\u0000b", 3);
    QTest::newRow("longest name") << QString(32766, QChar(0x0637));
    QTest::newRow("exactly the file size limit") << QString(kMaxTextFileBytes, QChar(u'a'));
}

void TestTextFile::roundTrip()
{
    QFETCH(QString, text);
    const QString path = m_dir.filePath("roundtrip.txt");
    QVERIFY(saveTextFile(path, text).ok());
    const TextFileResult loaded = loadTextFile(path);
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.text, text);
}

void TestTextFile::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString ete = QString::fromUtf16(u"\u00E9t\u00E9");
    QTest::newRow("UTF-8") << QByteArray("\xC3\xA9t\xC3\xA9") << ete;
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF\xC3\xA9t\xC3\xA9") << ete;
    QTest::newRow("UTF-16LE with BOM") << QByteArray("\xFF\xFE\xE9\x00t\x00\xE9\x00", 8) << ete;
    QTest::newRow("UTF-16BE with BOM") << QByteArray("\xFE\xFF\x00\xE9\x00t\x00\xE9", 8) << ete;
    QTest::newRow("invalid UTF-8 is Windows-1252") << QByteArray("\xE9t\xE9") << ete;
    QTest::newRow("Windows-1252 euro and quotes")
        << QByteArray("\x80\x93x\x94") << QString::fromUtf16(u"\u20AC\u201Cx\u201D");
    QTest::newRow("undefined Windows-1252 byte")
        << QByteArray("\x81\xFF") << QString::fromUtf16(u"\u0081\u00FF");
    QTest::newRow("UTF-16 lone surrogate becomes U+FFFD")
        << QByteArray("\xFF\xFE\x00\xD8x\x00", 6) << QString::fromUtf16(u"\uFFFDx");
    QTest::newRow("empty") << QByteArray() << QString();
    // Found by fuzzing: a mark after the mark is text, and must survive a save.
    QTest::newRow("UTF-16 mark after the mark")
        << QByteArray("\xFF\xFE\xFF\xFE"
                      "a\x00",
                      6)
        << QChar(QChar::ByteOrderMark) + QStringLiteral("a");
    QTest::newRow("UTF-8 mark after the mark") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                             "a")
                                               << QChar(QChar::ByteOrderMark) + QStringLiteral("a");
}

void TestTextFile::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeText(bytes), text);
}

void TestTextFile::savesUtf8WithoutBom()
{
    const QString path = m_dir.filePath("plain.txt");
    QVERIFY(saveTextFile(path, QString::fromUtf16(u"a\u0103")).ok());
    QCOMPARE(file_bytes::read(path), QByteArray("a\xC4\x83"));
}

void TestTextFile::missingFileLoadsEmpty()
{
    const TextFileResult r = loadTextFile(m_dir.filePath("never-written.txt"));
    QVERIFY(r.ok());
    QVERIFY(r.text.isEmpty());
}

void TestTextFile::refusedFiles_data()
{
    QTest::addColumn<QString>("path");
    const QString folder = m_dir.filePath("a-folder");
    QDir().mkpath(folder);
    QTest::newRow("directory") << folder;

    const QString big = m_dir.filePath("big.txt");
    file_bytes::write(big, QByteArray(kMaxTextFileBytes + 1, 'a'));
    QTest::newRow("over 1 MiB") << big;

#if GLYPHSMITH_LINUX_TESTS
    const QString fifo = m_dir.filePath("fifo");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QTest::newRow("FIFO, without blocking") << fifo;
#endif
}

void TestTextFile::refusedFiles()
{
    QFETCH(QString, path);
    const TextFileResult r = loadTextFile(path);
    QVERIFY(!r.ok());
    QVERIFY(!r.error.isEmpty());
    QVERIFY(r.text.isEmpty());
}

void TestTextFile::failedSaves_data()
{
    QTest::addColumn<QString>("path");
    const QString folder = m_dir.filePath("folder-in-place.txt");
    QDir().mkpath(folder);
    QTest::newRow("directory in place of the file") << folder;
    const QString regular = m_dir.filePath("regular");
    file_bytes::write(regular, "x");
    QTest::newRow("path below a regular file") << regular + "/name.txt";
}

void TestTextFile::failedSaves()
{
    QFETCH(QString, path);
    const TextFileResult r = saveTextFile(path, u"abc");
    QVERIFY(!r.ok());
    QVERIFY(!r.error.isEmpty());
}

#if GLYPHSMITH_LINUX_TESTS
// A save that fails at any step, at sizes that stay in the write buffer
// (which reach the file only on the final flush) and one that does not,
// reports the failure and leaves the old file whole with nothing beside it.
void TestTextFile::failedSavesKeepOldFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("bytes");
    for (const char *how :
         {"full file system", "file size limit", "sync fails", "final rename fails"})
        for (const int bytes : {1, 10, 16383, 100000})
            QTest::newRow(qPrintable(QStringLiteral("%1, %2 bytes").arg(how).arg(bytes)))
                << how << bytes;
}

void TestTextFile::failedSavesKeepOldFile()
{
    QFETCH(QString, how);
    QFETCH(int, bytes);
    QTemporaryDir dir;
    const QString folder = dir.filePath("slots");
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + "/data1.txt";
    QStringList expected{"data1.txt"};
    private_mounts::Mount mount;
    if (how == "full file system") {
        mount = private_mounts::tmpfs(folder, 64);
        if (!mount.isMounted())
            QSKIP(qPrintable("cannot mount a small file system: " + private_mounts::enter()));
        QVERIFY(saveTextFile(path, u"old name").ok());
        QVERIFY(private_mounts::fill(folder));
        expected << "filler";
    } else if (how == "final rename fails") {
        QVERIFY(saveTextFile(path, u"old name").ok());
        // A file mounted over the slot file cannot be replaced: EBUSY.
        file_bytes::write(dir.filePath("mounted"), "old name");
        mount = private_mounts::bind(dir.filePath("mounted"), path);
        if (!mount.isMounted())
            QSKIP(qPrintable("cannot bind-mount a file: " + private_mounts::enter()));
    } else {
        QVERIFY(saveTextFile(path, u"old name").ok());
    }

    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (how == "file size limit") {
        rlimit small = old;
        small.rlim_cur = rlim_t(bytes - 1); // one byte short of the text
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    g_syncFails = how == "sync fails";
    const TextFileResult r = saveTextFile(path, QString(bytes, QChar(u'n')));
    g_syncFails = false;
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY2(!r.ok(), "the save reported success");
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(file_bytes::read(path), QByteArray("old name"));
    QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    entries.sort();
    QCOMPARE(entries, expected);
}

// A save goes through a link to a regular file and keeps the link; whatever
// is no regular file is neither read nor replaced, wherever a link leads.
void TestTextFile::linksAndSpecialFiles_data()
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

void TestTextFile::linksAndSpecialFiles()
{
    QFETCH(QString, kind);
    QFETCH(bool, usable);
    QTemporaryDir dir;
    const QString path = dir.filePath("data1.txt");
    const QString target = dir.filePath("elsewhere");
    const QByteArray targetName = QFile::encodeName(target);
    if (kind == "link to file")
        file_bytes::write(target, "old");
    else if (kind == "fifo" || kind == "link to fifo")
        QCOMPARE(
            ::mkfifo(kind == "fifo" ? QFile::encodeName(path).constData() : targetName.constData(),
                     0600),
            0);
    else if (kind == "link to device" &&
             ::mknod(targetName.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
        QSKIP("cannot make a device node (needs root)");
    else if (kind == "folder")
        QVERIFY(QDir().mkpath(path));
    if (kind.startsWith("link") || kind == "dangling")
        QVERIFY(QFile::link(target, path));
    else if (kind == "loop")
        QVERIFY(QFile::link(target, path) && QFile::link(path, target));
    struct stat before = {};
    const bool targetThere = ::lstat(targetName.constData(), &before) == 0;

    const TextFileResult saved = saveTextFile(path, u"new");
    const TextFileResult loaded = loadTextFile(path);
    QCOMPARE(saved.ok(), usable);
    QCOMPARE(loaded.ok(), usable);
    QVERIFY(saved.ok() || !saved.error.isEmpty());
    QVERIFY(loaded.ok() || !loaded.error.isEmpty());
    if (usable) {
        QCOMPARE(loaded.text, QStringLiteral("new"));
        QVERIFY(QFileInfo(path).isSymLink());
        QCOMPARE(file_bytes::read(target), QByteArray("new"));
    } else if (targetThere) {
        struct stat after = {};
        QCOMPARE(::lstat(targetName.constData(), &after), 0);
        QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        QCOMPARE(after.st_ino, before.st_ino);
    }
    QCOMPARE(QDir(dir.path())
                 .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                 .size(),
             targetThere ? 2 : 1);
}

#endif

// Bytes 0x80..0x9F, written out from the code page's published table: 27
// characters, and the five undefined bytes, which stand for the C1 control
// of the same value.
void TestTextFile::windows1252HighBytes()
{
    const char16_t expected[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
    };
    for (int b = 0x80; b < 0xA0; ++b)
        QCOMPARE(fromWindows1252(uchar(b)), expected[b - 0x80]);
    // The 27 defined ones are the name box's own; the undefined ones are not.
    for (const char16_t c : expected) {
        const bool undefined = c < 0x100;
        QCOMPARE(unicode_text::toCodePage(QString(QChar(c))),
                 undefined ? QStringLiteral("?") : QString(QChar(c)));
    }
}

void TestTextFile::toCodePage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("held");
    QString printable;
    for (const QChar c : windows1252Repertoire())
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F &&
            !(c.unicode() >= 0x80 && c.unicode() < 0xA0))
            printable.append(c);
    QCOMPARE(printable.size(), 27 + 95 + 96); // the high bytes, ASCII, Latin-1
    QTest::newRow("printable Windows-1252") << printable << printable;
    QTest::newRow("tabs and line breaks become spaces")
        << QString::fromUtf16(u"a\tb\nc\r\nd\u2028e\u2029f\u0085g") << "a b c  d e f g";
    QTest::newRow("control characters become ?")
        << QString::fromUtf16(u"a\u0000b\u001B\u0007\u007F\u0081c", 8) << "a?b????c";
    QTest::newRow("euro stays") << QString::fromUtf16(u"\u20AC") << QString::fromUtf16(u"\u20AC");
    QTest::newRow("U+0080 is not the euro byte") << QString::fromUtf16(u"\u0080") << "?";
    QTest::newRow("glyphs become ?") << QString::fromUtf16(u"a\u0103\u0637b") << "a??b";
    QTest::newRow("a surrogate pair is one ?") << QString::fromUtf16(u"a\U0001F600b") << "a?b";
    QTest::newRow("lone surrogate") << QString(u'a') + QChar(0xD800) + u'b' << "a?b";
}

void TestTextFile::toCodePage()
{
    QFETCH(QString, text);
    QFETCH(QString, held);
    QCOMPARE(unicode_text::toCodePage(text), held);
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
