#include "common/unitext.h"
#include "cut_short_save.h"
#include "file_bytes.h"
#include "files/systemfile.h"
#include "find_named.h"
#include "glyphs/glyphs.h"
#include "main_window/form1.h"
#include "test_main.h"
#include "unicode_text/codepage.h"
#include "unicode_text/richtextbuffer.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEngine>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#if GLYPHSMITH_LINUX_TESTS
#include "private_mounts.h"
#endif

using common::UniText;
using unicode_text::RichTextBuffer;

namespace {

// One run of the program on a slot folder, with the warnings it told.
struct Run
{
    std::unique_ptr<Form1> form;
    QStringList warnings;

    explicit Run(const QString &folder)
        : form(std::make_unique<Form1>(name_slots::SlotStore(folder)))
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

// A paint device that keeps the texts drawn on it, as they were drawn.
class DrawnTexts : public QPaintDevice, public QPaintEngine
{
public:
    QStringList texts;
    QPaintEngine *paintEngine() const override { return const_cast<DrawnTexts *>(this); }
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &, const QTextItem &item) override { texts << item.text(); }
    Type type() const override { return QPaintEngine::User; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        return metric == PdmWidth || metric == PdmHeight ? 2000
               : metric == PdmDepth                      ? 32
               : metric == PdmDevicePixelRatioScaled     ? int(devicePixelRatioFScale())
               : metric == PdmDpiX || metric == PdmDpiY || metric == PdmPhysicalDpiX ||
                       metric == PdmPhysicalDpiY
                   ? 96
                   : 1;
    }
};

QString converted(const QString &name)
{
    return glyphs::convertName(name);
}

} // namespace

class TestSlots : public QObject, private file_bytes::TestFolder
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
    void openConvertsStoredName();
    // Where a failure would lose data or misreport.
    void saveBeforeConvertChangesNothing();
    void openUnreadableKeepsWindow();
    void openTooLongKeepsWindow();
    void saveDataFileFailureChangesNothing();
    void saveCaptionFileFailureKeepsCaptions();
    void saveFailuresToldApart();
    void startUpWithUnreadableCaptionFiles();
#if GLYPHSMITH_LINUX_TESTS
    void startUpWithAFolderLinkToNowhere();
    void captionNotReplacedKeepsItsCaption();
#endif
    void saveWaitingForAnotherCopy();
    void startTellsOfSavesCutShort_data();
    void startTellsOfSavesCutShort();
    void longestCaptionsKeepMenusQuick();

private:
    void makeFolder(const QString &file)
    {
        QVERIFY(QDir().mkpath(path(file)));
    }
};

void TestSlots::init()
{
    newFolder();
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
    // A start writes nothing: the first save makes the slots' files.
    QVERIFY(QDir(m_dir->path())
                .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
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
    QTest::newRow("line and paragraph separators show as spaces") << "mnuname1.txt"
                                                                  << QByteArray("a\xE2\x80\xA8"
                                                                                "b\xE2\x80\xA9"
                                                                                "c")
                                                                  << 1 << "a b c";
    QTest::newRow("final line break is no part of the caption")
        << "mnuname2.txt" << QByteArray("abc\n") << 2 << "abc";
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
    // The file, then the reason, as the store gives them.
    const name_slots::SaveResult r = name_slots::SlotStore(m_dir->path()).save(1, u"abc", u"abc");
    QVERIFY2(run.warnings[0].endsWith(QDir::toNativeSeparators(r.problem.path) + "\n\n" +
                                      r.problem.reason),
             qPrintable(run.warnings[0]));
    QCOMPARE(run.caption(1), QStringLiteral("Name1"));
}

void TestSlots::saveCaptionFileFailureKeepsCaptions()
{
    write("data1.txt", "old");
    makeFolder("mnuname1.txt");
    Run run(m_dir->path());
    QCOMPARE(run.warnings.size(), 1); // the caption could not be read at start-up
    run.convert("abc");
    run.save(1);
    QCOMPARE(run.warnings.size(), 2);
    QVERIFY(run.warnings[1].contains(QDir::toNativeSeparators(path("mnuname1.txt"))));
    QCOMPARE(run.caption(1), QStringLiteral("Name1"));
    QCOMPARE(run.child<RichTextBuffer>("name1")->wholeText(), QString());
    QCOMPARE(read("data1.txt"), QByteArray("old")); // the name waits for its caption
}

// A failure of the name's file, of the caption's, and of the folder's lock
// are each told in a sentence of their own, before the file and the reason.
void TestSlots::saveFailuresToldApart()
{
    QSet<QString> sentences;
    for (const char *inTheWay : {"data1.txt", "mnuname1.txt", ".slots.lock"}) {
        newFolder();
        makeFolder(inTheWay);
        Run run(m_dir->path());
        run.warnings.clear(); // a caption that cannot be read, at the start
        run.convert("abc");
        run.save(1);
        QCOMPARE(run.warnings.size(), 1);
        sentences << run.warnings[0].section(u'\n', 0, 0);
    }
    QCOMPARE(sentences.size(), 3);
}

// The name box gets the stored name as it can hold it, and converts it.
void TestSlots::openConvertsStoredName()
{
    write("data3.txt", "Alice\nBob\x1B\n");
    Run run(m_dir->path());
    run.type("typed");
    run.open(3);
    QCOMPARE(run.text1()->text(), QStringLiteral("Alice Bob?"));
    QCOMPARE(run.output(), converted("Alice Bob?"));
    QCOMPARE(run.uniBox1(), QStringLiteral("Alice\nBob\x1B"));
    QVERIFY(run.warnings.isEmpty());
}

#if GLYPHSMITH_LINUX_TESTS
// When the name is stored but the caption file cannot be replaced, the
// menu shows what the caption file still holds.
void TestSlots::captionNotReplacedKeepsItsCaption()
{
    write("data1.txt", "old");
    write("mnuname1.txt", "");
    write("mounted", "kept caption");
    const private_mounts::Mount mount = private_mounts::bind(path("mounted"), path("mnuname1.txt"));
    if (!mount.isMounted())
        QSKIP(qPrintable("cannot bind-mount a file: " + private_mounts::enter()));
    Run run(m_dir->path());
    QCOMPARE(run.caption(1), QStringLiteral("kept caption"));
    run.convert("new");
    run.type("other");
    run.save(1);
    QCOMPARE(run.warnings.size(), 1);
    // What the two files hold now, and the file in the way.
    for (const QString &told : {QStringLiteral("new name"), QStringLiteral("old caption"),
                                QDir::toNativeSeparators(path("mnuname1.txt"))})
        QVERIFY2(run.warnings[0].contains(told), qPrintable(told));
    QCOMPARE(run.caption(1), QStringLiteral("kept caption"));
    QCOMPARE(read("data1.txt"), QByteArray("new"));
}
#endif

// While a save waits for another copy's, the window goes on painting and
// shows a busy cursor; the save goes on once that copy is done.
void TestSlots::saveWaitingForAnotherCopy()
{
    auto otherCopy = std::make_unique<files::FileLock>();
    QCOMPARE(otherCopy->tryLock(path(".slots.lock")).state, files::FileLock::Taken);
    Run run(m_dir->path());
    run.convert("new");
    QCursor *cursor = nullptr;
    QTimer::singleShot(300, run.form.get(), [&] {
        cursor = QGuiApplication::overrideCursor();
        QVERIFY(cursor && cursor->shape() == Qt::WaitCursor);
        otherCopy.reset();
    });
    run.save(1);
    QVERIFY(cursor);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QVERIFY(run.warnings.isEmpty());
    QCOMPARE(read("data1.txt"), QByteArray("new"));
}

// The longest captions the program accepts open the menus at once, inside
// the screen, and a screen reader still reads them whole.
void TestSlots::longestCaptionsKeepMenusQuick()
{
    for (const char *file : {"mnuname1.txt", "mnuname2.txt", "mnuname3.txt"})
        write(file, QByteArray(unicode_text::kMaxNameLength, '&'));
    Run run(m_dir->path());
    QCOMPARE(run.caption(2), QString(2 * unicode_text::kMaxNameLength, QChar(u'&')));
    run.form->show();
    QElapsedTimer timer;
    timer.start();
    for (const char *menu : {"mnuopen", "msnusave"}) {
        QMenu *m = run.child<QMenu>(menu);
        m->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(m));
        // Drawn elided, within half the screen; read whole.
        QVERIFY2(m->width() <= m->screen()->availableGeometry().width() / 2,
                 qPrintable(QString::number(m->width())));
        const QAccessibleInterface *item = QAccessible::queryAccessibleInterface(m)->child(0);
        QCOMPARE(item->text(QAccessible::Name).size(), unicode_text::kMaxNameLength);
        DrawnTexts drawn;
        m->render(&drawn);
        QVERIFY(!drawn.texts.isEmpty());
        for (const QString &text : drawn.texts)
            QVERIFY2(text.size() < 200 && text.endsWith(QChar(0x2026)), qPrintable(text.left(80)));
        m->hide();
    }
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
}

#if GLYPHSMITH_LINUX_TESTS
// A slot folder that is a link to a missing folder (a disk not mounted) is
// told at the start, as the folder, not as a slot's caption.
void TestSlots::startUpWithAFolderLinkToNowhere()
{
    QVERIFY(QFile::link(path("unmounted"), path("slots")));
    Run run(path("slots"));
    QCOMPARE(run.warnings.size(), 1);
    QVERIFY(run.warnings[0].contains(QDir::toNativeSeparators(path("slots"))));
    QVERIFY(!run.warnings[0].contains("caption"));
}
#endif

void TestSlots::startUpWithUnreadableCaptionFiles()
{
    makeFolder("mnuname1.txt");
    write("mnuname2.txt", QByteArray(unicode_text::kMaxNameLength + 1, 'x'));
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

// The start tells what it did with a save of slot 1 cut short, in one
// message with a caption it could not read, naming the file in the way with
// what clears it, and shows the caption it left.
void TestSlots::startTellsOfSavesCutShort_data()
{
    QTest::addColumn<QStringList>("laid"); // beside the journal
    QTest::addColumn<QString>("named");    // the file in the way; empty when completed
    QTest::addColumn<QString>("carries");
    QTest::addColumn<bool>("journalStays");
    const QStringList completed{"data1.txt=new", "mnuname1.txt=old", "temporary mnuname1.txt=new"};
    QTest::newRow("completed") << completed << ""
                               << "completed" << false;
    QTest::newRow("the name's file in the way")
        << QStringList{"data1.txt=mine", "mnuname1.txt=old", "temporary mnuname1.txt=new"}
        << "data1.txt"
        << "again" << false;
    QTest::newRow("the name's file a folder")
        << QStringList{"data1.txt/in=x", "mnuname1.txt=old", "temporary mnuname1.txt=new"}
        << "data1.txt"
        << "put right, saving" << false;
#if GLYPHSMITH_LINUX_TESTS
    QTest::newRow("completed, its journal not removed") << completed << ""
                                                        << "completed" << true;
    // Neither a save nor a start can act until the folder may be written to.
    QTest::newRow("the name changed since, in a read-only folder")
        << QStringList{"data1.txt=mine", "mnuname1.txt=new", "read-only folder", ".slots.lock="}
        << "data1.txt"
        << "put right, saving" << true;
    QTest::newRow("the lock a dangling link, in a read-only folder")
        << QStringList{"data1.txt=new", "mnuname1.txt=new", "read-only folder",
                       ".slots.lock->nothing"}
        << ".slots.lock"
        << "next start" << false;
#endif
}

void TestSlots::startTellsOfSavesCutShort()
{
    QFETCH(QStringList, laid);
    QFETCH(QString, named);
    QFETCH(QString, carries);
    QFETCH(bool, journalStays);
    [[maybe_unused]] const bool readOnly = laid.removeAll("read-only folder"); // Linux rows only
    const name_slots::SaveJournal journal = cut_short_save::journal(m_dir->path(), 1, "old");
    const QString journalFile = name_slots::journalPath(m_dir->path(), 1);
#if GLYPHSMITH_LINUX_TESTS
    private_mounts::Mount mount;
    if (readOnly && !(mount = private_mounts::tmpfs(m_dir->path(), 64)).isMounted())
        QSKIP(qPrintable("cannot mount a small file system: " + private_mounts::enter()));
#endif
    cut_short_save::lay(journal, m_dir->path(), laid);
    makeFolder("mnuname2.txt");
#if GLYPHSMITH_LINUX_TESTS
    QVERIFY(!readOnly || private_mounts::makeReadOnly(m_dir->path()));
    // A file mounted over cannot be removed: EBUSY.
    if (journalStays && !readOnly) {
        write("journal copy", read(QFileInfo(journalFile).fileName()));
        mount = private_mounts::bind(path("journal copy"), journalFile);
        if (!mount.isMounted())
            QSKIP(qPrintable("cannot bind-mount a file: " + private_mounts::enter()));
    }
#endif
    Run run(m_dir->path());
    QCOMPARE(run.warnings.size(), 1);
    const QString &message = run.warnings[0];
    QVERIFY2(message.contains(carries), qPrintable(message));
    // A read-only folder is told first, before what clears the rest.
    QCOMPARE(message.contains(QRegularExpression("folder is read-only[^\n]* " + carries)),
             readOnly);
    QCOMPARE(message.contains("completed"), named.isEmpty());
    // The file in the way, then why.
    QVERIFY(named.isEmpty() || message.contains(QDir::toNativeSeparators(path(named)) + "\n\n"));
    QCOMPARE(message.contains(QDir::toNativeSeparators(journalFile)),
             journalStays || named == ".slot1.journal");
    QVERIFY(message.contains(QDir::toNativeSeparators(path("mnuname2.txt"))));
    QCOMPARE(run.caption(1), QStringLiteral("new"));
}

GLYPHSMITH_TEST_MAIN(TestSlots)
#include "tst_slots.moc"
