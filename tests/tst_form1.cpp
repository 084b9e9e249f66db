#include "common/unitext.h"
#include "find_named.h"
#include "glyphs/glyphs.h"
#include "main_window/form1.h"
#include "test_main.h"
#include "unicode_text/codepage.h"
#include "unicode_text/richtextbuffer.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>

using common::UniText;
using unicode_text::RichTextBuffer;

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void geometry_data();
    void geometry();
    void clientAreaAndTitle();
    void boxesInFrontOfSurfaceControls();
    void tabOrder();
    void menuBar();
    void menusKeepThePlatformFont();
    void convertTyped_data();
    void convertTyped();
    void convertEmptyOnlyClearsOutput();
    void convertTwiceGivesOneName();
    void clearAfterConvert();
    void lineTakesPaletteColours();
    void pasteIntoEitherBox_data();
    void pasteIntoEitherBox();
    void returnTypesNothing_data();
    void returnTypesNothing();
    void separatorTypedStaysOneLine_data();
    void separatorTypedStaysOneLine();
    void pasteOverSelectionInFullBox();
    void percentOrAmpersandIsTold();
    void copyKeepsNoBreakSpace();
    void longPasteIsHeldAndConvertsInFull();
    void labelShowsMarkupAsText();
    void outputIsLeftToRightParagraph();
    void outputFontCoversEveryGlyph();
    void accessibleNames();
    void labelsAreReadAsTheirText();
    void tabIntoOutputSelectsAll_data();
    void tabIntoOutputSelectsAll();
    void altLetterTypesNothing_data();
    void altLetterTypesNothing();
    void f10HighlightsTheMenuBar();
    void bannerShowsFocus();
    void gameCut_data();
    void gameCut();
    void gameCutIsDrawnDimmed_data();
    void gameCutIsDrawnDimmed();

private:
    template <typename T> T *child(const char *name) const
    {
        return findNamed<T>(m_form, QString::fromLatin1(name));
    }
    QLineEdit *text1() const { return child<QLineEdit>("Text1"); }
    UniText *uniText1() const { return child<UniText>("UniText1"); }
    QLabel *label(const char *name) const { return child<QLabel>(name); }
    void typeAndConvert(const QString &name);

    QTemporaryDir m_slots;
    Form1 *m_form = nullptr;
};

void TestForm1::init()
{
    m_form = new Form1(name_slots::SlotStore(m_slots.path()));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    QApplication::setActiveWindow(m_form);
    QVERIFY(QTest::qWaitForWindowActive(m_form));
}

void TestForm1::cleanup()
{
    delete m_form;
    m_form = nullptr;
}

void TestForm1::typeAndConvert(const QString &name)
{
    text1()->clear();
    QTest::keyClicks(text1(), name);
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
}

// Every box is the design's box in twips, at 15 twips to the pixel.
void TestForm1::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    const struct
    {
        const char *name;
        int left, top, width, height;
    } boxes[] = {
        {"Label1", 3000, 120, 975, 255},     {"Text1", 1920, 480, 3255, 615},
        {"Command1", 2280, 1320, 855, 495},  {"Command2", 3960, 1320, 855, 495},
        {"Line1", 3120, 1560, 840, 15},      {"UniText1", 1920, 2160, 3255, 615},
        {"Label7", 120, 3360, 375, 255},     {"Label8", 600, 3360, 1215, 615},
        {"Picture1", -600, 240, 2895, 2895}, {"Shape1", 2520, 3240, 2055, 495},
        {"Label2", 2640, 3240, 1815, 255},   {"Label6", 2640, 3480, 2175, 255},
    };
    for (const auto &b : boxes)
        QTest::newRow(b.name) << QString::fromLatin1(b.name)
                              << QRect(b.left, b.top, b.width, b.height);
}

void TestForm1::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    const QWidget *w = m_form->findChild<QWidget *>(name);
    QVERIFY(w);
    const QRect px(twips.x() / 15, twips.y() / 15, (twips.width() + 14) / 15,
                   (twips.height() + 14) / 15);
    QCOMPARE(w->geometry(), px);
}

void TestForm1::clientAreaAndTitle()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ravenmoor Glyphsmith V2"));
    QCOMPARE(m_form->centralWidget()->size(), QSize(393, 272));
    // The design's 16 x 16 icon, and the scalable one for docks and
    // switchers, handed over once the window has painted.
    QTRY_VERIFY(m_form->windowIcon().availableSizes().size() > 1);
    const QList<QSize> iconSizes = m_form->windowIcon().availableSizes();
    for (const int size : {16, 32, 48, 64, 128, 256})
        QVERIFY2(iconSizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    QCOMPARE(m_form->windowIcon().pixmap(QSize(16, 16)).toImage(),
             QImage(":/images/icon.xpm")
                 .convertToFormat(m_form->windowIcon().pixmap(QSize(16, 16)).toImage().format()));
    QCOMPARE(label("Label1")->text(), QStringLiteral("EnterName"));
    QCOMPARE(child<QPushButton>("Command1")->text(), QStringLiteral("Convert"));
    QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("Clear"));
    QStringList buffers;
    for (const RichTextBuffer *b : m_form->findChildren<RichTextBuffer *>())
        buffers << b->objectName();
    buffers.sort();
    QCOMPARE(buffers, (QStringList{"UniBox1", "name1", "name2", "name3"}));
}

void TestForm1::boxesInFrontOfSurfaceControls()
{
    const QObjectList stack = m_form->centralWidget()->children();
    for (const char *back : {"Label1", "Label2", "Label6", "Label7", "Label8", "Line1", "Shape1"})
        for (const char *front : {"Picture1", "Text1", "Command1", "UniText1", "Command2"})
            QVERIFY2(stack.indexOf(child<QWidget>(back)) < stack.indexOf(child<QWidget>(front)),
                     qPrintable(QStringLiteral("%1 behind %2").arg(back, front)));
}

void TestForm1::tabOrder()
{
    QCOMPARE(QApplication::focusWidget(), text1());
    for (const char *next : {"Command1", "UniText1", "Command2", "Picture1", "Text1"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
    }
    // Neither button is a default button: Enter in the input converts nothing.
    QTest::keyClicks(text1(), "abc");
    QTest::keyClick(text1(), Qt::Key_Return);
    QVERIFY(uniText1()->wholeText().isEmpty());
}

void TestForm1::menuBar()
{
    const QList<QAction *> bar = m_form->menuBar()->actions();
    QStringList titles;
    for (QAction *a : bar)
        titles << a->text();
    QCOMPARE(titles, (QStringList{"File", "Help", "About"}));
    QAction *about = child<QAction>("mnuabout");
    QVERIFY(bar.contains(about));
    QVERIFY(!about->menu());

    QCOMPARE(child<QMenu>("mnufile")->actions(),
             (QList<QAction *>{child<QMenu>("mnuopen")->menuAction(),
                               child<QMenu>("msnusave")->menuAction()}));
    for (const char *menu : {"mnuopen", "msnusave"}) {
        QStringList items;
        for (QAction *a : child<QMenu>(menu)->actions())
            items << a->text();
        QCOMPARE(items, (QStringList{"Name1", "Name2", "Name3"}));
    }
    QCOMPARE(child<QMenu>("mnuhelp")->actions(), QList<QAction *>{child<QAction>("mnuhelppage")});
    QCOMPARE(child<QAction>("mnuhelppage")->text(), QStringLiteral("Help Page"));
    QCOMPARE(child<QAction>("mnuhelppage")->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
    for (QAction *a : m_form->findChildren<QAction *>())
        QVERIFY2(!a->text().contains(u'&'), qPrintable(a->text()));
}

// The window's font is its own: the menus, like message boxes, are drawn in
// the platform's font, the application's.
void TestForm1::menusKeepThePlatformFont()
{
    const QMenu *file = child<QMenu>("mnufile");
    QCOMPARE(file->font(), QApplication::font(file));
    QVERIFY2(file->font().family() != m_form->font().family(), qPrintable(file->font().family()));
}

void TestForm1::convertTyped_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("converted");
    QTest::newRow("abc") << "abc" << QString::fromUtf16(u"\u0103\u0637\u010D");
    QTest::newRow("digits, space, punctuation in place")
        << "a 1_b!" << QString::fromUtf16(u"\u0103 1_\u0637!");
    QTest::newRow("one letter") << "t" << QString::fromUtf16(u"\u0166");
}

void TestForm1::convertTyped()
{
    QFETCH(QString, name);
    QFETCH(QString, converted);
    typeAndConvert(name);
    QCOMPARE(uniText1()->wholeText(), converted);
    QCOMPARE(uniText1()->textCursor().position(), converted.size());
    QCOMPARE(label("Label7")->text(), QStringLiteral("Hello"));
    QCOMPARE(label("Label8")->text(), name);
    QCOMPARE(child<QFrame>("Line1")->foregroundRole(), QPalette::Highlight);
    QCOMPARE(child<RichTextBuffer>("UniBox1")->wholeText(), name);
    QCOMPARE(text1()->selectionStart(), name.size() - 1);
    QCOMPARE(text1()->selectedText(), name.right(1));
}

void TestForm1::convertEmptyOnlyClearsOutput()
{
    typeAndConvert("abc");
    text1()->clear();
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    QVERIFY(uniText1()->wholeText().isEmpty());
    QCOMPARE(label("Label7")->text(), QStringLiteral("Hello"));
    QCOMPARE(label("Label8")->text(), QStringLiteral("abc"));
    QCOMPARE(child<QFrame>("Line1")->foregroundRole(), QPalette::Highlight);
    QCOMPARE(child<RichTextBuffer>("UniBox1")->wholeText(), QStringLiteral("abc"));
}

void TestForm1::convertTwiceGivesOneName()
{
    typeAndConvert("ab");
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(uniText1()->wholeText(), QString::fromUtf16(u"\u0103\u0637"));
}

void TestForm1::clearAfterConvert()
{
    typeAndConvert("abc");
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QVERIFY(text1()->text().isEmpty());
    QVERIFY(uniText1()->wholeText().isEmpty());
    QVERIFY(label("Label7")->text().isEmpty());
    QVERIFY(label("Label8")->text().isEmpty());
    QCOMPARE(child<QFrame>("Line1")->foregroundRole(), QPalette::WindowText);
    QCOMPARE(child<RichTextBuffer>("UniBox1")->wholeText(), QStringLiteral("abc"));
}

// The line is drawn in the palette colour its role names, before and after,
// and in the same colour while the window is inactive.
void TestForm1::lineTakesPaletteColours()
{
    QFrame *line = child<QFrame>("Line1");
    const auto drawn = [line] { return line->grab().toImage().pixelColor(line->width() / 2, 0); };
    QCOMPARE(drawn(), line->palette().color(QPalette::WindowText));
    QPalette inactiveDiffers = m_form->palette();
    inactiveDiffers.setColor(QPalette::Inactive, QPalette::Highlight, Qt::red);
    m_form->setPalette(inactiveDiffers);
    typeAndConvert("a");
    // Active and inactive alike, the window's active colour.
    const QColor active = inactiveDiffers.color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(drawn(), active);
    for (const auto group : {QPalette::Active, QPalette::Inactive})
        QCOMPARE(line->palette().color(group, QPalette::Highlight), active);
}

// What each box keeps of a paste: one line without control characters, at
// most the longest name; the name box also holds to its code page.
void TestForm1::pasteIntoEitherBox_data()
{
    QTest::addColumn<bool>("output");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("held");
    const QString huge(10 * 1000 * 1000, QChar(u'x'));
    const QString longest(unicode_text::kMaxNameLength, QChar(u'x'));
    for (const bool output : {false, true}) {
        const char *box = output ? "output box: " : "name box: ";
        QTest::newRow(qPrintable(QString(box) + "outside the code page"))
            << output << QString::fromUtf16(u"a\u20AC\u0100\u0416b")
            << (output ? QString::fromUtf16(u"a\u20AC\u0100\u0416b")
                       : QString::fromUtf16(u"a\u20AC??b"));
        QTest::newRow(qPrintable(QString(box) + "line breaks and tabs"))
            << output << "Alice\nBob\r\nC\tD"
            << "Alice Bob  C D";
        QTest::newRow(qPrintable(QString(box) + "control characters"))
            << output << QString::fromUtf16(u"a\u001B\u0007\u007F\u0085b") << "a??? b";
        QTest::newRow(qPrintable(QString(box) + "no-break space"))
            << output << QString::fromUtf16(u"a\u00A0b") << QString::fromUtf16(u"a\u00A0b");
        QTest::newRow(qPrintable(QString(box) + "separators and frame marks"))
            << output << QString::fromUtf16(u"a\u2028b\u2029c\uFDD0d\uFDD1") << "a b c?d?";
        QTest::newRow(qPrintable(QString(box) + "10 MB")) << output << huge << longest;
    }
    QTest::newRow("output box: a pair at the limit is not split")
        << true
        << QString(unicode_text::kMaxNameLength - 1, QChar(u'x')) +
               QString::fromUtf16(u"\U0001F600")
        << QString(unicode_text::kMaxNameLength - 1, QChar(u'x'));
}

void TestForm1::pasteIntoEitherBox()
{
    QFETCH(bool, output);
    QFETCH(QString, pasted);
    QFETCH(QString, held);
    QWidget *box = output ? static_cast<QWidget *>(uniText1()) : text1();
    box->setFocus();
    QApplication::clipboard()->setText(pasted);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(output ? uniText1()->wholeText() : text1()->text(), held);
}

// Return and keypad Enter start no second line in either one-line box.
void TestForm1::returnTypesNothing_data()
{
    QTest::addColumn<bool>("output");
    QTest::addColumn<int>("key");
    for (const bool output : {false, true})
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(
                output ? "output box" : "name box", key == Qt::Key_Enter ? "Enter" : "Return")))
                << output << int(key);
}

void TestForm1::returnTypesNothing()
{
    QFETCH(bool, output);
    QFETCH(int, key);
    typeAndConvert("ab");
    QWidget *box = output ? static_cast<QWidget *>(uniText1()) : text1();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(uniText1()->wholeText(), glyphs::convertName(u"ab"));
    QCOMPARE(text1()->text(), QStringLiteral("ab"));
}

// A separator or frame mark typed into the output box (by an input method,
// say) is held as a paste is: the box keeps one line.
void TestForm1::separatorTypedStaysOneLine_data()
{
    QTest::addColumn<QString>("typed");
    for (const char16_t c : {u'\u2028', u'\u2029', u'\uFDD0', u'\uFDD1'})
        QTest::newRow(qPrintable(QStringLiteral("U+%1").arg(int(c), 4, 16, QChar(u'0'))))
            << QString(QChar(c));
}

void TestForm1::separatorTypedStaysOneLine()
{
    QFETCH(QString, typed);
    typeAndConvert("ab");
    uniText1()->setFocus();
    QTest::keyClick(uniText1(), Qt::Key_End);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
    QApplication::sendEvent(uniText1(), &key);
    QInputMethodEvent committed;
    committed.setCommitString(typed);
    QApplication::sendEvent(uniText1(), &committed);
    QCOMPARE(uniText1()->document()->blockCount(), 1);
    QCOMPARE(uniText1()->wholeText().size(), glyphs::convertName(u"ab").size() + 2);
    QVERIFY(!uniText1()->wholeText().contains(typed));
}

// A paste into a full box replaces the selection: what it keeps is counted
// without the part selected.
void TestForm1::pasteOverSelectionInFullBox()
{
    uniText1()->setWholeText(QString(unicode_text::kMaxNameLength, QChar(u'x')));
    uniText1()->setFocus();
    QTextCursor selected = uniText1()->textCursor();
    selected.setPosition(unicode_text::kMaxNameLength - 3);
    selected.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    uniText1()->setTextCursor(selected);
    QApplication::clipboard()->setText(QStringLiteral("abcd"));
    QTest::keyClick(uniText1(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(uniText1()->wholeText(),
             QString(unicode_text::kMaxNameLength - 3, QChar(u'x')) + QStringLiteral("abc"));
}

// The warning about % and & is told for either one alone: the size
// sentences, then more.
void TestForm1::percentOrAmpersandIsTold()
{
    const auto tip = [this](const QString &name) {
        typeAndConvert(name);
        return uniText1()->toolTip();
    };
    // Each beside a name of the same size without them ("?" has no glyph either).
    for (const auto &[name, twin] : {std::pair{"a%", "a?"}, {"a&", "a?"}, {"%&", "??"}}) {
        const QString plain = tip(twin), told = tip(name);
        QVERIFY2(told.startsWith(plain) && told.size() > plain.size(), name);
    }
}

// What the user copies out of the output box is the converted name to the
// byte: a no-break space stays one.
void TestForm1::copyKeepsNoBreakSpace()
{
    typeAndConvert(QString::fromUtf16(u"a\u00A0b"));
    uniText1()->setFocus();
    QTest::keyClick(uniText1(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(uniText1(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().toUtf8(), QByteArray("\xC4\x83\xC2\xA0\xD8\xB7"));
}

void TestForm1::longPasteIsHeldAndConvertsInFull()
{
    QApplication::clipboard()->setText(QString(40000, QChar(u'b')));
    QTest::keyClick(text1(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text1()->text().size(), unicode_text::kMaxNameLength);
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(uniText1()->wholeText(), QString(unicode_text::kMaxNameLength, QChar(0x0637)));
    QCOMPARE(text1()->selectionStart(), unicode_text::kMaxNameLength - 1);
}

void TestForm1::labelShowsMarkupAsText()
{
    const QString markup = QStringLiteral("<b>x</b><img src=y>");
    typeAndConvert(markup);
    QCOMPARE(label("Label8")->text(), markup);
    QCOMPARE(label("Label8")->textFormat(), Qt::PlainText);
}

// "is ab" begins with an Arabic letter; the name still starts at the left
// edge, and the Latin letters that follow stand to the right of the Arabic.
void TestForm1::outputIsLeftToRightParagraph()
{
    typeAndConvert("is ab");
    UniText *box = uniText1();
    QCOMPARE(box->wholeText(), QString::fromUtf16(u"\u0623\u06A9 \u0103\u0637"));
    const auto caretX = [box](int position) {
        QTextCursor cursor(box->document());
        cursor.setPosition(position);
        return box->cursorRect(cursor).center().x();
    };
    QVERIFY2(caretX(0) < box->width() / 8, qPrintable(QString::number(caretX(0))));
    QVERIFY2(caretX(0) < caretX(3),
             qPrintable(QStringLiteral("%1 %2").arg(caretX(0)).arg(caretX(3))));
}

// Every glyph of the table has a real glyph in the output box's font or the
// fonts it falls back to: no missing-glyph boxes.
void TestForm1::outputFontCoversEveryGlyph()
{
    for (const glyphs::GlyphRow &row : glyphs::kTable) {
        QTextLayout layout(QString(QChar(row.glyph)), uniText1()->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        QVERIFY(!runs.isEmpty());
        for (const QGlyphRun &run : runs)
            for (quint32 index : run.glyphIndexes())
                QVERIFY2(index != 0, qPrintable(QStringLiteral("U+%1 in %2")
                                                    .arg(int(row.glyph), 4, 16, QChar(u'0'))
                                                    .arg(run.rawFont().familyName())));
    }
}

// A screen reader announces each control that takes focus or shows the name
// by a name and description of its own, and the window by its title.
void TestForm1::accessibleNames()
{
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(m_form);
    QVERIFY(window);
    QCOMPARE(window->text(QAccessible::Name), m_form->windowTitle());
    QSet<QString> names;
    for (const char *control : {"Text1", "Command1", "UniText1", "Command2", "Picture1"}) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(child<QWidget>(control));
        QVERIFY2(a, control);
        const QString name = a->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty() && !a->text(QAccessible::Description).isEmpty(), control);
        names.insert(name);
    }
    QCOMPARE(names.size(), 5);
    QCOMPARE(QAccessible::queryAccessibleInterface(text1())->text(QAccessible::Name),
             QStringLiteral("Name to convert"));
    QCOMPARE(QAccessible::queryAccessibleInterface(uniText1())->text(QAccessible::Name),
             QStringLiteral("Converted name"));
}

// A label whose text is content is read as that text, whatever it holds
// now; what it is for is its description.
void TestForm1::labelsAreReadAsTheirText()
{
    const auto read = [this](const char *name) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(label(name));
        return a->text(QAccessible::Name);
    };
    for (const char *name : {"Label7", "Label8"}) {
        QVERIFY(read(name).isEmpty());
        QVERIFY(!QAccessible::queryAccessibleInterface(label(name))
                     ->text(QAccessible::Description)
                     .isEmpty());
    }
    typeAndConvert("abc");
    QCOMPARE(read("Label7"), QStringLiteral("Hello"));
    QCOMPARE(read("Label8"), QStringLiteral("abc"));
    // Open leaves the labels as the last Convert left them.
    QFile stored(QDir(m_slots.path()).filePath("data1.txt"));
    QVERIFY(stored.open(QIODevice::WriteOnly) && stored.write("xyz") == 3);
    stored.close();
    child<QAction>("opname1")->trigger();
    QCOMPARE(text1()->text(), QStringLiteral("xyz"));
    QCOMPARE(read("Label8"), QStringLiteral("abc"));
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QVERIFY(read("Label7").isEmpty());
    QVERIFY(read("Label8").isEmpty());
}

// Tab or Shift+Tab into the output box selects the whole name, so Ctrl+C
// alone copies it; a click places the caret.
void TestForm1::tabIntoOutputSelectsAll_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("backwards");
    QTest::newRow("Tab from Convert") << "Command1" << false;
    QTest::newRow("Shift+Tab from Clear") << "Command2" << true;
}

void TestForm1::tabIntoOutputSelectsAll()
{
    QFETCH(QString, from);
    QFETCH(bool, backwards);
    typeAndConvert("abc");
    QWidget *start = child<QWidget>(qPrintable(from));
    start->setFocus();
    QTest::keyClick(start, backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                    backwards ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(QApplication::focusWidget(), uniText1());
    QCOMPARE(uniText1()->textCursor().selectedText(), glyphs::convertName(u"abc"));
    QApplication::clipboard()->clear();
    QTest::keyClick(uniText1(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), glyphs::convertName(u"abc"));

    start->setFocus();
    QTest::mouseClick(uniText1()->viewport(), Qt::LeftButton, {}, QPoint(4, 10));
    QCOMPARE(QApplication::focusWidget(), uniText1());
    QVERIFY(!uniText1()->textCursor().hasSelection());
}

// Alt with a letter types nothing into either box.
void TestForm1::altLetterTypesNothing_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("modifiers");
    for (const char *box : {"Text1", "UniText1"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 Alt+F").arg(box)))
            << box << int(Qt::AltModifier);
        QTest::newRow(qPrintable(QStringLiteral("%1 Alt+Shift+F").arg(box)))
            << box << int(Qt::AltModifier | Qt::ShiftModifier);
    }
}

void TestForm1::altLetterTypesNothing()
{
    QFETCH(QString, box);
    QFETCH(int, modifiers);
    typeAndConvert("abc");
    QWidget *w = child<QWidget>(qPrintable(box));
    w->setFocus();
    text1()->deselect();
    const QString before = box == "Text1" ? text1()->text() : uniText1()->wholeText();
    const QString letter = modifiers & Qt::ShiftModifier ? "F" : "f";
    QTest::keyClick(w, Qt::Key_F, Qt::KeyboardModifiers(modifiers));
    QTest::sendKeyEvent(QTest::KeyAction::Click, w, Qt::Key_F, letter,
                        Qt::KeyboardModifiers(modifiers));
    QCOMPARE(box == "Text1" ? text1()->text() : uniText1()->wholeText(), before);
    QTest::keyClick(w, Qt::Key_G); // and plain letters still type
    QCOMPARE((box == "Text1" ? text1()->text() : uniText1()->wholeText()).size(),
             before.size() + 1);
}

// F10 opens the File menu from anywhere in the window, without typing.
// F10, as Alt, highlights the first menu without opening it; Down opens it.
void TestForm1::f10HighlightsTheMenuBar()
{
    QTest::keyClicks(text1(), "abc");
    QTest::keyClick(text1(), Qt::Key_F10);
    QMenu *file = child<QMenu>("mnufile");
    QTRY_COMPARE(m_form->menuBar()->activeAction(), file->menuAction());
    QVERIFY(!file->isVisible());
    QTest::keyClick(m_form->menuBar(), Qt::Key_Down);
    QTRY_VERIFY(file->isVisible());
    QCOMPARE(text1()->text(), QStringLiteral("abc"));
    file->hide();
}

// The banner, the last tab stop, shows that it has the focus.
void TestForm1::bannerShowsFocus()
{
    QWidget *banner = child<QWidget>("Picture1");
    const QImage unfocused = banner->grab().toImage();
    child<QWidget>("Command2")->setFocus();
    QTest::keyClick(child<QWidget>("Command2"), Qt::Key_Tab);
    QVERIFY(banner->hasFocus());
    QVERIFY(banner->grab().toImage() != unfocused);
    child<QWidget>("Text1")->setFocus();
    QCOMPARE(banner->grab().toImage(), unfocused);
}

// The characters past the game's 31 bytes are drawn dimmed and told in the
// description; the text and what is copied stay as they are.
void TestForm1::gameCut_data()
{
    QTest::addColumn<QString>("how"); // convert, open, edit or clear
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("cut"); // where the dimmed part starts; -1: none
    // What the description tells: characters, bytes, the game's limit, the
    // characters kept where it cuts, and the characters it blanks.
    QTest::addColumn<QStringList>("told");
    const QStringList cutName{"18", "33", "31", "17"};
    QTest::newRow("convert, cut") << "convert"
                                  << "xXx_DarkSniper_xXx" << 17 << cutName;
    QTest::newRow("convert, fits") << "convert"
                                   << "abc" << -1 << QStringList{"3", "6", "31"};
    QTest::newRow("open, cut") << "open"
                               << "xXx_DarkSniper_xXx" << 17 << cutName;
    QTest::newRow("edit to fit") << "edit"
                                 << "xXx_DarkSniper_xXx" << -1 << QStringList{"17", "31"};
    QTest::newRow("edit to one character, one byte") << "edit"
                                                     << "12" << -1 << QStringList{"1", "31"};
    QTest::newRow("convert, % and &") << "convert"
                                      << "a%b&c" << -1 << QStringList{"5", "8", "31", "%", "&"};
    QTest::newRow("clear") << "clear"
                           << "xXx_DarkSniper_xXx" << -1 << QStringList();
}

void TestForm1::gameCut()
{
    QFETCH(QString, how);
    QFETCH(QString, typed);
    QFETCH(int, cut);
    QFETCH(QStringList, told);
    const QString converted = glyphs::convertName(typed);
    if (how == "open") {
        QFile stored(QDir(m_slots.path()).filePath("data2.txt"));
        QVERIFY(stored.open(QIODevice::WriteOnly));
        QVERIFY(stored.write(typed.toUtf8()) == typed.size());
        stored.close();
        child<QAction>("opname2")->trigger();
    } else {
        typeAndConvert(typed);
    }
    QString shown = converted;
    if (how == "edit") { // the last character deleted by hand
        uniText1()->setFocus();
        uniText1()->moveCursor(QTextCursor::End);
        QTest::keyClick(uniText1(), Qt::Key_Backspace);
        QCoreApplication::processEvents(); // shown once the edit is over
        shown.chop(1);
    } else if (how == "clear") {
        QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
        shown.clear();
    }
    QCOMPARE(uniText1()->wholeText(), shown);

    const QList<QTextEdit::ExtraSelection> marks = uniText1()->extraSelections();
    QCOMPARE(marks.size(), cut < 0 ? 0 : 1);
    if (cut >= 0) {
        QCOMPARE(marks[0].cursor.selectionStart(), cut);
        QCOMPARE(marks[0].cursor.selectionEnd(), shown.size());
        QCOMPARE(marks[0].format.foreground().color(),
                 uniText1()->palette().color(QPalette::PlaceholderText));
        QVERIFY(marks[0].format.foreground().color() !=
                uniText1()->palette().color(QPalette::Text));
    }
    // What a screen reader reads, and the tool tip shows: the figures, and
    // the games that keep so much of a name.
    const QString description =
        QAccessible::queryAccessibleInterface(uniText1())->text(QAccessible::Description);
    QVERIFY(!description.isEmpty());
    QCOMPARE(uniText1()->toolTip(), shown.isEmpty() ? QString() : description);
    const QStringList games{"CS 1.6", "Condition Zero", "CS: Source"};
    for (const QString &word : told + (shown.isEmpty() ? QStringList() : games))
        QVERIFY2(description.contains(
                     QRegularExpression(word.front().isDigit() ? "\\b" + word + "\\b" : word)),
                 qPrintable(word + ": " + description));

    // What is copied is the whole text, dimmed part and all.
    if (!shown.isEmpty()) {
        uniText1()->selectAll();
        uniText1()->copy();
        QCOMPARE(QApplication::clipboard()->text(), shown);
    }
    QCOMPARE(child<RichTextBuffer>("UniBox1")->wholeText(), typed);
}

// The dimmed part is drawn in another colour than the part the game keeps.
// In any palette, that of styles whose placeholder colour is the text
// colour (Adwaita) included.
void TestForm1::gameCutIsDrawnDimmed_data()
{
    QTest::addColumn<bool>("placeholderIsText");
    QTest::newRow("the style's own palette") << false;
    QTest::newRow("placeholder colour equal to the text colour") << true;
}

void TestForm1::gameCutIsDrawnDimmed()
{
    QFETCH(bool, placeholderIsText);
    if (placeholderIsText) {
        QPalette palette = uniText1()->palette();
        palette.setColor(QPalette::PlaceholderText, palette.color(QPalette::Text));
        uniText1()->setPalette(palette);
    }
    // Thirty narrow "l" (one byte each), then glyphs of two bytes: the cut
    // falls at 30, well inside the box.
    typeAndConvert(QString(30, QChar(u'l')) + "aaaa");
    const QImage shot = uniText1()->viewport()->grab().toImage();
    const auto inks = [&](int fromX, int toX) {
        QSet<QRgb> colours;
        for (int x = fromX; x < toX; ++x)
            for (int y = 0; y < shot.height(); ++y)
                colours.insert(shot.pixel(x, y));
        return colours;
    };
    const QRgb background = uniText1()->palette().color(QPalette::Base).rgb();
    const QRgb text = uniText1()->palette().color(QPalette::Text).rgb();
    QTextCursor kept(uniText1()->document());
    kept.setPosition(29);
    const int keptX = uniText1()->cursorRect(kept).x();
    kept.setPosition(30);
    const int cutX = uniText1()->cursorRect(kept).x() + 1;
    QSet<QRgb> keptInk = inks(0, keptX);
    QSet<QRgb> cutInk = inks(cutX, shot.width());
    keptInk.remove(background);
    cutInk.remove(background);
    QVERIFY(!cutInk.isEmpty());
    // How near each part's ink comes to the text colour. Font smoothing may
    // leave no pixel in the text colour itself (GDI's does, on a thin stem),
    // so the kept part is held to come clearly nearer than the cut part.
    const auto nearest = [text](const QSet<QRgb> &ink) {
        int best = 3 * 255;
        for (const QRgb c : ink)
            best = qMin(best, qAbs(qRed(c) - qRed(text)) + qAbs(qGreen(c) - qGreen(text)) +
                                  qAbs(qBlue(c) - qBlue(text)));
        return best;
    };
    QVERIFY2(
        nearest(cutInk) - nearest(keptInk) >= 48,
        qPrintable(QStringLiteral("kept %1, cut %2").arg(nearest(keptInk)).arg(nearest(cutInk))));
}

GLYPHSMITH_TEST_MAIN(TestForm1)
#include "tst_form1.moc"
