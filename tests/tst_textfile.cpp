#include "glyphs/glyphs.h"
#include "unicode_text/codepage.h"
#include "unicode_text/richtextbuffer.h"
#include "unicode_text/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace unicode_text;

namespace {

QString windows1252Repertoire()
{
    QByteArray bytes;
    for (int b = 1; b < 256; ++b)
        bytes.append(char(b));
    return decodeWindows1252(bytes);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
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
    void failedWriteKeepsOldContent();
    void bufferKeepsTextOnFailedLoad();
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
    QCOMPARE(readBytes(path), QByteArray("a\xC4\x83"));
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
    writeBytes(big, QByteArray(kMaxTextFileBytes + 1, 'a'));
    QTest::newRow("over 1 MiB") << big;

    const QString fifo = m_dir.filePath("fifo");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QTest::newRow("FIFO, without blocking") << fifo;
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
    writeBytes(regular, "x");
    QTest::newRow("path below a regular file") << regular + "/name.txt";
}

void TestTextFile::failedSaves()
{
    QFETCH(QString, path);
    const TextFileResult r = saveTextFile(path, u"abc");
    QVERIFY(!r.ok());
    QVERIFY(!r.error.isEmpty());
}

// A write that fails part-way (here: the file size limit) leaves the old
// file whole and no temporary file beside it.
void TestTextFile::failedWriteKeepsOldContent()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data1.txt");
    QVERIFY(saveTextFile(path, u"old name").ok());

    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const TextFileResult r = saveTextFile(path, QString(200000, QChar(u'n')));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!r.ok());
    QCOMPARE(readBytes(path), QByteArray("old name"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"data1.txt"});
}

void TestTextFile::bufferKeepsTextOnFailedLoad()
{
    RichTextBuffer buffer(QStringLiteral("UniBox1"));
    buffer.setWholeText(QStringLiteral("kept"));
    QVERIFY(!buffer.loadTextFile(m_dir.path()).ok());
    QCOMPARE(buffer.wholeText(), QStringLiteral("kept"));
    QVERIFY(buffer.loadTextFile(m_dir.filePath("never-written.txt")).ok());
    QCOMPARE(buffer.wholeText(), QString());
}

void TestTextFile::toCodePage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("held");
    QTest::newRow("Windows-1252 repertoire") << windows1252Repertoire() << windows1252Repertoire();
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
