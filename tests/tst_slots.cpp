#include "find_named.h"
#include "glyphs/glyphs.h"
#include "main_window/form1.h"
#include "slots/slottable.h"
#include "unicode_text/richtextbuffer.h"
#include "unicode_text/textfile.h"
#include "unicode_text/unitext.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>

using unicode_text::RichTextBuffer;
using unicode_text::UniText;

namespace {

// One run of the program on a slot folder, with the warnings it told.
struct Run
{
    std::unique_ptr<Form1> form;
    QStringList warnings;

    explicit Run(const QString &folder) : form(std::make_unique<Form1>(folder))
    {
        form->setWarningHandler([this](const QString &m) { warnings << m; });
        QCoreApplication::processEvents(); // messages told after start-up
    }
    template <typename T> T *child(const QString &name) const
    {
        return findNamed<T>(form.get(), name);
    }
    QLineEdit *text1() const { return child<QLineEdit>("Text1"); }
    QString output() const { return child<UniText>("UniText1")->wholeText(); }
    QString uniBox1() const { return child<RichTextBuffer>("UniBox1")->wholeText(); }
    QString label(const char *name) const { return child<QLabel>(name)->text(); }
    // Both items of a slot; they must always agree.
    QString caption(int n) const
    {
        const QString open = child<QAction>(QStringLiteral("opname%1").arg(n))->text();
        const QString save = child<QAction>(QStringLiteral("savname%1").arg(n))->text();
        if (open != save)
            return QStringLiteral("<items differ: %1 / %2>").arg(open, save);
        return open;
    }
    void type(const QString &name)
    {
        text1()->clear();
        QTest::keyClicks(text1(), name);
    }
    void convert(const QString &name)
    {
        type(name);
        child<QPushButton>("Command1")->click();
    }
    void clear() { child<QPushButton>("Command2")->click(); }
    void save(int n) { child<QAction>(QStringLiteral("savname%1").arg(n))->trigger(); }
    void open(int n) { child<QAction>(QStringLiteral("opname%1").arg(n))->trigger(); }
};

QString converted(const QString &name)
{
    return glyphs::convertName(name);
}

} // namespace

class TestSlots : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void firstRunShowsDefaults();
    void startUpCaptions_data();
    void startUpCaptions();
    void saveAfterConvertThenRestart();
    void typedAfterConvertSavesBoth();
    void clearThenSave();
    void openKeepsLabelsAndLine();
    void openReplacesOutput();
    void openThenSaveOtherSlot();
    void openStoredFiles_data();
    void openStoredFiles();
    void saveCreatesSlotFolder();
    // Where a failure would lose data or misreport.
    void saveBeforeConvertChangesNothing();
    void openUnreadableKeepsWindow();
    void openTooLongKeepsWindow();
    void saveDataFileFailureChangesNothing();
    void saveCaptionFileFailureKeepsCaptions();
    void startUpWithUnreadableCaptionFiles();
    void startUpSurvivesHostileFiles_data();
    void startUpSurvivesHostileFiles();

private:
    QString path(const QString &file) const { return m_dir->filePath(file); }
    void write(const QString &file, const QByteArray &bytes);
    QByteArray read(const QString &file) const;
    void makeFolder(const QString &file) { QVERIFY(QDir().mkpath(path(file))); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSlots::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSlots::write(const QString &file, const QByteArray &bytes)
{
    QFile f(path(file));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray TestSlots::read(const QString &file) const
{
    QFile f(path(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void TestSlots::firstRunShowsDefaults()
{
    Run run(m_dir->path());
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(run.caption(n), QStringLiteral("Name%1").arg(n));
    for (const RichTextBuffer *b : run.form->findChildren<RichTextBuffer *>()) {
        QVERIFY2(!b->isVisible(), qPrintable(b->objectName()));
        QVERIFY(b->wholeText().isEmpty());
    }
    QVERIFY(run.warnings.isEmpty());
}

void TestSlots::startUpCaptions_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("caption");
    QTest::newRow("only slot 2") << "mnuname2.txt" << QByteArray("abc") << 2 << "abc";
    QTest::newRow("one space is no default") << "mnuname1.txt" << QByteArray(" ") << 1 << " ";
    QTest::newRow("empty file shows default") << "mnuname3.txt" << QByteArray() << 3 << "Name3";
    QTest::newRow("& is shown, not an access key")
        << "mnuname1.txt" << QByteArray("A&B") << 1 << "A&&B";
    QTest::newRow("tab and line break show as spaces")
        << "mnuname2.txt" << QByteArray("a\tb\r\nc") << 2 << "a b  c";
    QTest::newRow("UTF-16 caption") << "mnuname3.txt" << QByteArray("\xFF\xFEx\x00\xE9\x00", 6) << 3
                                    << QString::fromUtf16(u"x\u00E9");
    QTest::newRow("data file alone gives no caption")
        << "data1.txt" << QByteArray("abc") << 1 << "Name1";
}

void TestSlots::startUpCaptions()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(int, slot);
    QFETCH(QString, caption);
    write(file, bytes);
    Run run(m_dir->path());
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(run.caption(n), n == slot ? caption : QStringLiteral("Name%1").arg(n));
    QVERIFY(run.uniBox1().isEmpty()); // no data file is read at start-up
    QVERIFY(run.warnings.isEmpty());
}

void TestSlots::saveAfterConvertThenRestart()
{
    {
        Run run(m_dir->path());
        run.convert("abc");
        run.save(1);
        QCOMPARE(read("data1.txt"), QByteArray("abc"));
        QCOMPARE(read("mnuname1.txt"), QByteArray("abc"));
        QCOMPARE(run.caption(1), QStringLiteral("abc"));
        QCOMPARE(run.caption(2), QStringLiteral("Name2"));
        QCOMPARE(run.caption(3), QStringLiteral("Name3"));
        QCOMPARE(run.child<RichTextBuffer>("name1")->wholeText(), QStringLiteral("abc"));
    }
    Run next(m_dir->path());
    QCOMPARE(next.caption(1), QStringLiteral("abc"));
    next.open(1);
    QCOMPARE(next.text1()->text(), QStringLiteral("abc"));
    QCOMPARE(next.output(), converted("abc"));
    QCOMPARE(next.text1()->selectedText(), QStringLiteral("c"));
    QVERIFY(next.warnings.isEmpty());
}

void TestSlots::typedAfterConvertSavesBoth()
{
    Run run(m_dir->path());
    run.convert("abc");
    run.type("xyz");
    run.save(2);
    QCOMPARE(read("data2.txt"), QByteArray("abc"));
    QCOMPARE(read("mnuname2.txt"), QByteArray("xyz"));
    QCOMPARE(run.caption(2), QStringLiteral("xyz"));
    run.open(2);
    QCOMPARE(run.text1()->text(), QStringLiteral("abc"));
    QCOMPARE(run.output(), converted("abc"));
}

void TestSlots::clearThenSave()
{
    {
        Run run(m_dir->path());
        run.convert("abc");
        run.clear();
        run.save(1);
        QCOMPARE(read("data1.txt"), QByteArray("abc"));
        QCOMPARE(read("mnuname1.txt"), QByteArray());
        QCOMPARE(run.caption(1), QString());
        QVERIFY(run.warnings.isEmpty());
    }
    Run next(m_dir->path());
    QCOMPARE(next.caption(1), QStringLiteral("Name1"));
    next.open(1);
    QCOMPARE(next.output(), converted("abc"));
}

void TestSlots::openKeepsLabelsAndLine()
{
    write("data1.txt", "abc");
    Run run(m_dir->path());
    run.convert("q");
    run.open(1);
    QCOMPARE(run.label("Label7"), QStringLiteral("Hello"));
    QCOMPARE(run.label("Label8"), QStringLiteral("q"));
    QCOMPARE(run.child<QFrame>("Line1")->foregroundRole(), QPalette::Highlight);
    QCOMPARE(run.text1()->text(), QStringLiteral("abc"));
    QCOMPARE(run.uniBox1(), QStringLiteral("abc"));
}

void TestSlots::openReplacesOutput()
{
    write("data2.txt", "xy");
    Run run(m_dir->path());
    run.convert("abc");
    run.open(2);
    QCOMPARE(run.output(), converted("xy"));
}

void TestSlots::openThenSaveOtherSlot()
{
    write("data1.txt", "abc");
    Run run(m_dir->path());
    run.open(1);
    run.save(2);
    QCOMPARE(read("data2.txt"), QByteArray("abc"));
    QCOMPARE(read("mnuname2.txt"), QByteArray("abc"));
    QCOMPARE(run.caption(2), QStringLiteral("abc"));
    QCOMPARE(run.caption(1), QStringLiteral("Name1"));
}

void TestSlots::openStoredFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text1");
    QTest::newRow("missing file opens empty") << QByteArray("<none>") << QString();
    QTest::newRow("Windows-1252 bytes")
        << QByteArray("\xE9t\xE9") << QString::fromUtf16(u"\u00E9t\u00E9");
    QTest::newRow("UTF-16 with BOM")
        << QByteArray("\xFE\xFF\x00\x61\x20\xAC", 6) << QString::fromUtf16(u"a\u20AC");
    QTest::newRow("outside the code page becomes ?")
        << QByteArray("a\xC4\x80\xF0\x9F\x98\x80z") << "a??z";
    QTest::newRow("longest name") << QByteArray(Form1::kMaxNameLength, 'b')
                                  << QString(Form1::kMaxNameLength, QChar(u'b'));
}

void TestSlots::openStoredFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text1);
    if (bytes != "<none>")
        write("data3.txt", bytes);
    Run run(m_dir->path());
    run.type("typed");
    run.open(3);
    QCOMPARE(run.text1()->text(), text1);
    QCOMPARE(run.output(), converted(text1));
    QVERIFY(run.warnings.isEmpty());
}

void TestSlots::saveCreatesSlotFolder()
{
    const QString folder = path("not/yet/there");
    Run run(folder);
    run.convert("abc");
    run.save(3);
    QVERIFY(run.warnings.isEmpty());
    QCOMPARE(read("not/yet/there/data3.txt"), QByteArray("abc"));
    QCOMPARE(read("not/yet/there/mnuname3.txt"), QByteArray("abc"));
}

void TestSlots::saveBeforeConvertChangesNothing()
{
    write("data3.txt", "stored");
    Run run(m_dir->path());
    run.type("abc");
    run.save(3);
    QCOMPARE(run.warnings.size(), 1);
    QVERIFY(run.warnings[0].contains("Convert"));
    QCOMPARE(read("data3.txt"), QByteArray("stored"));
    QVERIFY(!QFile::exists(path("mnuname3.txt")));
    QCOMPARE(run.caption(3), QStringLiteral("Name3"));
}

void TestSlots::openUnreadableKeepsWindow()
{
    makeFolder("data1.txt");
    Run run(m_dir->path());
    run.convert("kept");
    run.open(1);
    QCOMPARE(run.warnings.size(), 1);
    QVERIFY(run.warnings[0].contains(QDir::toNativeSeparators(path("data1.txt"))));
    QCOMPARE(run.text1()->text(), QStringLiteral("kept"));
    QCOMPARE(run.output(), converted("kept"));
    QCOMPARE(run.uniBox1(), QStringLiteral("kept"));
}

void TestSlots::openTooLongKeepsWindow()
{
    write("data2.txt", QByteArray(40000, 'a'));
    Run run(m_dir->path());
    run.convert("kept");
    run.open(2);
    QCOMPARE(run.warnings.size(), 1);
    QVERIFY(run.warnings[0].contains("40000"));
    QCOMPARE(run.text1()->text(), QStringLiteral("kept"));
    QCOMPARE(run.output(), converted("kept"));
    QCOMPARE(run.uniBox1(), QStringLiteral("kept"));
}

void TestSlots::saveDataFileFailureChangesNothing()
{
    makeFolder("data1.txt");
    Run run(m_dir->path());
    run.convert("abc");
    run.save(1);
    QCOMPARE(run.warnings.size(), 1);
    QVERIFY(run.warnings[0].contains(QDir::toNativeSeparators(path("data1.txt"))));
    QCOMPARE(run.caption(1), QStringLiteral("Name1"));
    QVERIFY(!QFile::exists(path("mnuname1.txt")));
}

void TestSlots::saveCaptionFileFailureKeepsCaptions()
{
    makeFolder("mnuname1.txt");
    Run run(m_dir->path());
    QCOMPARE(run.warnings.size(), 1); // the caption could not be read at start-up
    run.convert("abc");
    run.save(1);
    QCOMPARE(run.warnings.size(), 2);
    QVERIFY(run.warnings[1].contains(QDir::toNativeSeparators(path("mnuname1.txt"))));
    QCOMPARE(run.caption(1), QStringLiteral("Name1"));
    QCOMPARE(run.child<RichTextBuffer>("name1")->wholeText(), QString());
    QCOMPARE(read("data1.txt"), QByteArray("abc"));
}

void TestSlots::startUpWithUnreadableCaptionFiles()
{
    makeFolder("mnuname1.txt");
    write("mnuname2.txt", QByteArray(2 * 1024 * 1024, 'x'));
    write("mnuname3.txt", "abc");
    Run run(m_dir->path());
    QCOMPARE(run.caption(1), QStringLiteral("Name1"));
    QCOMPARE(run.caption(2), QStringLiteral("Name2"));
    QCOMPARE(run.caption(3), QStringLiteral("abc"));
    for (const RichTextBuffer *b : run.form->findChildren<RichTextBuffer *>())
        QVERIFY(!b->isVisible());
    QCOMPARE(run.warnings.size(), 1);
    QVERIFY(run.warnings[0].contains(QDir::toNativeSeparators(path("mnuname1.txt"))));
    QVERIFY(run.warnings[0].contains(QDir::toNativeSeparators(path("mnuname2.txt"))));
}

// Whatever stands in place of slot 1's caption file, the program starts at
// once, shows the right captions and stays usable.
void TestSlots::startUpSurvivesHostileFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("warned");
    QTest::newRow("2 GiB sparse file") << "sparse" << true;
    QTest::newRow("directory") << "directory" << true;
    QTest::newRow("FIFO") << "fifo" << true;
    QTest::newRow("symbolic link loop") << "loop" << false;
    QTest::newRow("random bytes") << "random" << false;
    QTest::newRow("32,766 ampersands") << "ampersands" << false;
}

void TestSlots::startUpSurvivesHostileFiles()
{
    QFETCH(QString, kind);
    QFETCH(bool, warned);
    const QString file = path("mnuname1.txt");
    QString caption = QStringLiteral("Name1");
    if (kind == "sparse") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(qint64(2) << 30));
    } else if (kind == "directory") {
        makeFolder("mnuname1.txt");
    } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    } else if (kind == "loop") {
        QVERIFY(QFile::link(path("other"), file) && QFile::link(file, path("other")));
    } else if (kind == "random") {
        QByteArray bytes(4096, Qt::Uninitialized);
        QRandomGenerator rng(7);
        for (char &b : bytes)
            b = char(rng.bounded(256));
        write("mnuname1.txt", bytes);
        caption = name_slots::menuCaption(unicode_text::decodeText(bytes));
    } else if (kind == "ampersands") {
        write("mnuname1.txt", QByteArray(Form1::kMaxNameLength, '&'));
        caption = QString(2 * Form1::kMaxNameLength, QChar(u'&'));
    }
    write("mnuname2.txt", "two");
    QElapsedTimer timer;
    timer.start();
    Run run(m_dir->path());
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(run.caption(1), caption);
    QCOMPARE(run.caption(2), QStringLiteral("two"));
    QCOMPARE(run.caption(3), QStringLiteral("Name3"));
    QCOMPARE(run.warnings.size(), warned ? 1 : 0);
    run.convert("abc");
    QCOMPARE(run.output(), converted("abc"));
    run.form->show();
    QMenu *open = run.child<QMenu>("mnuopen");
    open->popup(QPoint(0, 0));
    QVERIFY(QTest::qWaitForWindowExposed(open));
    open->hide();
}

QTEST_MAIN(TestSlots)
#include "tst_slots.moc"
