#include "common/windowconventions.h"
#include "dialogs/form2.h"
#include "dialogs/form21.h"
#include "program.h"
#include "test_main.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QResource>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QToolTip>
#include <QtMath>

namespace {

// The colours of the window's pixels that overlap the logical pixel p, on a
// screen of any scale.
QList<QColor> coloursAt(const QImage &shot, QPoint p)
{
    const qreal scale = shot.devicePixelRatio();
    QList<QColor> colours;
    for (int y = qFloor(p.y() * scale); y < qCeil((p.y() + 1) * scale); ++y)
        for (int x = qFloor(p.x() * scale); x < qCeil((p.x() + 1) * scale); ++x)
            colours << shot.pixelColor(x, y);
    return colours;
}

template <typename Window> QList<Window *> windowsOf()
{
    QList<Window *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<Window *>(w))
            found << window;
    return found;
}

template <typename Window> int visibleCount()
{
    int n = 0;
    for (Window *w : windowsOf<Window>())
        n += w->isVisible();
    return n;
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void layout_data();
    void layout();
    void labelsKeepTheirLines_data();
    void labelsKeepTheirLines();
    void linesAndBordersDrawn_data();
    void linesAndBordersDrawn();
    void bannerAtScreenResolution();
    void announcedAsWindows();
    void choosingTwiceKeepsOneWindow();
    void reopenAfterCloseIsTheSameWindow();
    void bothOpenAndCloseIndependently();
    void ctrlHOpensHelp();
    void keyboardChoosesAbout_data();
    void keyboardChoosesAbout();
    void toolTipIsReadable_data();
    void toolTipIsReadable();
#if GLYPHSMITH_DESKTOP_SESSION_TESTS
    void keysCloseOnlyTheirWindow_data();
    void keysCloseOnlyTheirWindow();
#endif
    void resizeMovesNothing();
    void closingMainLeavesHelpRunning(); // runs the event loop: keep last

private:
    void choose(const char *item)
    {
        m_form->findChild<QAction *>(item)->trigger();
    }
    std::unique_ptr<ProgramWindows> m_program;
    // Opens the program afresh in the style; the application's own comes
    // back when what this returns goes.
    [[nodiscard]] auto openInStyle(const QString &style)
    {
        const QString before = QApplication::style()->name();
        m_program.reset();
        QApplication::setStyle(style);
        init();
        return qScopeGuard([before] { QApplication::setStyle(before); });
    }
    Form2 *about()
    {
        return windowsOf<Form2>().value(0);
    }
    Form21 *help()
    {
        return windowsOf<Form21>().value(0);
    }

    QTemporaryDir m_slots;
    Form1 *m_form = nullptr;
};

void TestDialogs::init()
{
    m_program = std::make_unique<ProgramWindows>(name_slots::SlotStore(m_slots.path()));
    m_form = &m_program->main();
    m_form->show();
    QApplication::setActiveWindow(m_form);
    QVERIFY(QTest::qWaitForWindowActive(m_form));
}

void TestDialogs::cleanup()
{
    m_program.reset(); // takes the About and Help windows with it
    m_form = nullptr;
    QVERIFY(windowsOf<Form2>().isEmpty() && windowsOf<Form21>().isEmpty());
}

// The line between the buttons, Help's line, and every box's four edges are
// drawn at every scale: on a fractional one, a row can fall between pixels,
// or be painted over by the box's inside.
void TestDialogs::linesAndBordersDrawn_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    for (const char *control : {"Line1", "Text1", "UniText1", "Shape1"})
        QTest::newRow(control) << "Form1" << control;
    QTest::newRow("Help Line1") << "Help"
                                << "Line1";
}

void TestDialogs::linesAndBordersDrawn()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QWidget *w = m_form;
    if (window == "Help") {
        choose("mnuhelppage");
        w = help();
    }
    auto *box = w->findChild<QWidget *>(control);
    QVERIFY(box);
#ifdef Q_OS_WIN
    QTest::qWait(500); // the Vista style fades the focused box's frame in
#endif
    const QImage shot = w->grab().toImage();
    const QRect r(box->mapTo(w, QPoint(0, 0)), box->size());
    if (auto *line = qobject_cast<QFrame *>(box); line && line->frameShape() == QFrame::HLine) {
        QVERIFY(coloursAt(shot, QPoint(r.center().x(), r.top()))
                    .contains(line->palette().color(line->foregroundRole())));
        return;
    }
    // Each edge's middle, within the two outermost pixels that frames of
    // every style draw on (a sunken frame's outer bottom row may be the
    // inside's white), holds a colour unlike the box's inside and unlike the
    // window around it.
    const QColor inside = coloursAt(shot, QPoint(r.left() + 4, r.top() + 4)).constFirst();
    const QColor around = coloursAt(shot, QPoint(r.center().x(), r.top() - 2)).constFirst();
    const struct
    {
        const char *edge;
        QPoint at, inward;
    } edges[] = {{"top", QPoint(r.center().x(), r.top()), QPoint(0, 1)},
                 {"bottom", QPoint(r.center().x(), r.bottom()), QPoint(0, -1)},
                 {"left", QPoint(r.left(), r.center().y()), QPoint(1, 0)},
                 {"right", QPoint(r.right(), r.center().y()), QPoint(-1, 0)}};
    for (const auto &e : edges) {
        const QList<QColor> drawn = coloursAt(shot, e.at) + coloursAt(shot, e.at + e.inward);
#ifdef Q_OS_WIN
        // Qt 6.4's Windows Vista style draws the themed frame of a focused
        // line edit short of its bottom and right edges at these two scales.
        // Known here, not drawn around; it passes once the style is fixed.
        const bool farEdge = !qstrcmp(e.edge, "bottom") || !qstrcmp(e.edge, "right");
        if (control == "Text1" && farEdge &&
            (shot.devicePixelRatio() == 1.5 || shot.devicePixelRatio() == 1.75))
            QEXPECT_FAIL("Text1", "the Vista style's line edit frame at 1.5 and 1.75", Continue);
#endif
        QVERIFY2(std::any_of(drawn.begin(), drawn.end(),
                             [&](const QColor &c) { return c != inside && c != around; }),
                 e.edge);
    }
}

// Each window's title, client area, and every control's box in twips and text.
void TestDialogs::layout_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("text");
    const struct
    {
        const char *window, *control;
        int left, top, width, height;
        const char *text;
    } rows[] = {
        {"About", "", 0, 0, 3480, 2055, "About"},
        {"About", "Label1", 600, 240, 2175, 255, "This Program Was Created By "},
        {"About", "Label2", 1080, 600, 1095, 495, "Ravenmoor (Glyphsmith)"},
        {"About", "Label3", 840, 1320, 1695, 255, "Made in C++ with Qt 6"},
        {"About", "Label4", 720, 1680, 1935, 255, "\u00A9 2026 Ravenmoor"},
        {"Help", "", 0, 0, 4680, 3090, "Form3"},
        {"Help", "Label1", 1920, 120, 600, 345, "Help"},
        {"Help", "Label2", 840, 720, 2895, 255, "-Enter your name Into The First Text Box. "},
        {"Help", "Label3", 840, 1200, 1935, 255, "-Click the Convert Button"},
        {"Help", "Label4", 840, 1680, 3015, 255, "-Then Copy and Paste your Name Into CS"},
        {"Help", "Line1", 0, 2040, 4680, 15, nullptr},
        {"Help", "Label5", 1920, 2160, 495, 255, "Note:"},
        {"Help", "Label6", 960, 2400, 2655, 615,
         "These Special Characters take up more room then regular ones, so very large names "
         "wont fit in CS."},
    };
    for (const auto &r : rows)
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(r.window, r.control)))
            << r.window << r.control << QRect(r.left, r.top, r.width, r.height)
            << (r.text ? QString::fromUtf8(r.text) : QString());
}

void TestDialogs::layout()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    choose(window == "About" ? "mnuabout" : "mnuhelppage");
    QWidget *w = window == "About" ? static_cast<QWidget *>(about()) : help();
    QVERIFY(w);
    const QSize px(twips.width() / 15, twips.height() / 15);
    if (control.isEmpty()) {
        QCOMPARE(w->windowTitle(), text);
        QCOMPARE(w->size(), px);
        QVERIFY(!w->windowIcon().isNull());
        return;
    }
    QWidget *c = w->findChild<QWidget *>(control);
    QVERIFY(c);
    QCOMPARE(c->geometry(), QRect(QPoint(twips.x() / 15, twips.y() / 15), px));
    if (auto *label = qobject_cast<QLabel *>(c); label && !text.isNull())
        QCOMPARE(label->text(), text);
}

// The lines a text takes when wrapped at word breaks in a box of that
// width, and the widest of them.
struct Wrapped
{
    QStringList lines;
    qreal widest = 0;
};

Wrapped wrap(const QString &text, const QFont &font, int width)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    Wrapped wrapped;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        wrapped.lines << text.mid(line.textStart(), line.textLength()).trimmed();
        wrapped.widest = std::max(wrapped.widest, line.naturalTextWidth());
    }
    layout.endLayout();
    return wrapped;
}

// Every caption shows the words on the lines MS Sans Serif gives them at
// 1x, with no line wider than its box and no more lines than the box holds:
// with MS Sans Serif itself, and with its stand-in at any scale.
void TestDialogs::labelsKeepTheirLines_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("lines");
    const struct
    {
        const char *window, *label;
        QStringList lines;
    } rows[] = {
        {"About", "Label1", {"This Program Was Created By"}},
        {"About", "Label2", {"Ravenmoor", "(Glyphsmith)"}},
        {"About", "Label3", {"Made in C++ with Qt 6"}},
        {"About", "Label4", {"\u00A9 2026 Ravenmoor"}},
        {"Help", "Label1", {"Help"}},
        {"Help", "Label2", {"-Enter your name Into The First Text Box."}},
        {"Help", "Label3", {"-Click the Convert Button"}},
        {"Help", "Label4", {"-Then Copy and Paste your Name Into CS"}},
        {"Help", "Label5", {"Note:"}},
        {"Help",
         "Label6",
         {"These Special Characters take up", "more room then regular ones, so very",
          "large names wont fit in CS."}},
        {"Main", "Label1", {"EnterName"}},
        {"Main", "Label2", {"www.ravenmoor.example"}},
        {"Main", "Label6", {"mail@ravenmoor.example"}},
    };
    for (const auto &r : rows)
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(r.window, r.label)))
            << r.window << r.label << r.lines;
}

void TestDialogs::labelsKeepTheirLines()
{
    QFETCH(QString, window);
    QFETCH(QString, label);
    QFETCH(QStringList, lines);
    choose("mnuabout");
    choose("mnuhelppage");
    QWidget *w = window == "About"  ? static_cast<QWidget *>(about())
                 : window == "Help" ? static_cast<QWidget *>(help())
                                    : m_form;
    const QLabel *l = w->findChild<QLabel *>(label);
    QVERIFY(l);
    const auto check = [&](const QFont &font) {
        const Wrapped wrapped = wrap(l->text(), font, l->width());
        QCOMPARE(wrapped.lines, lines);
        QVERIFY2(wrapped.widest <= l->width(), qPrintable(QString::number(wrapped.widest)));
        QVERIFY(lines.size() * QFontMetricsF(font).lineSpacing() <= l->height() + 2);
    };
    // The face itself: fonts-wine's MS Sans Serif, a bitmap face, at 1x on
    // Linux; the stand-in on scaled screens, and under Windows, whose Qt
    // lists no bitmap face.
    const bool designFace = l->devicePixelRatio() == 1 && QSysInfo::productType() != "windows";
    const QString face = QFontInfo(l->font()).family();
    if (l->font().weight() == QFont::Normal)
        QCOMPARE(face, designFace ? "MS Sans Serif" : "Liberation Sans");
    else if (l->font().weight() == QFont::Black) // Arial Black's stand-in
        QVERIFY2(face.startsWith("Lato"), qPrintable(face));
    check(l->font());
    // Where fonts-wine is missing, the stand-in draws these labels at 1x.
    if (l->font().family() == "MS Sans Serif" && l->font().weight() == QFont::Normal) {
        QFont standIn(QStringLiteral("Liberation Sans"));
        standIn.setPointSizeF(l->font().pointSizeF());
        standIn.setStretch(common::kStandInStretch);
        check(standIn);
    }
}

// Screen readers present both as windows with their titles; they keep the
// sizable border with its buttons and have no owner.
// The banner is 193 points square, in as many pixels as the screen has there,
// in the picture's own colours (its off-white ground at a corner).
void TestDialogs::bannerAtScreenResolution()
{
    const QPixmap banner = m_form->findChild<QLabel *>("Picture1")->pixmap();
    QCOMPARE(banner.deviceIndependentSize(), QSizeF(193, 193));
    QCOMPARE(banner.width(), qRound(193 * m_form->devicePixelRatio()));
    QCOMPARE(banner.toImage().pixelColor(2, 2), QColor(0xf3, 0xef, 0xe4));
    // Between 1x and 2x, the 2x picture made smaller, not the 1x one larger.
    if (m_form->devicePixelRatio() > 1) {
        const QByteArray bytes = QResource(":/images/banner@2x.rgb32").uncompressedData();
        const QImage large(reinterpret_cast<const uchar *>(bytes.constData()), 386, 386, 386 * 4,
                           QImage::Format_RGB32);
        QImage expected =
            large.scaled(banner.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        expected.setDevicePixelRatio(banner.devicePixelRatio());
        QCOMPARE(banner.toImage().convertToFormat(QImage::Format_RGB32), expected);
    }
}

void TestDialogs::announcedAsWindows()
{
    choose("mnuabout");
    choose("mnuhelppage");
    for (QWidget *w : {static_cast<QWidget *>(about()), static_cast<QWidget *>(help())}) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::Window);
        QCOMPARE(a->text(QAccessible::Name), w->windowTitle());
        QVERIFY(w->isWindow() && !w->parentWidget() && !w->isModal());
        // A plain window, its decorations not customized: title bar, window
        // menu, minimize, maximize and close buttons.
        QCOMPARE(w->windowFlags() & Qt::WindowType_Mask, Qt::Window);
        QVERIFY(!w->windowFlags().testFlag(Qt::CustomizeWindowHint));
    }
}

void TestDialogs::choosingTwiceKeepsOneWindow()
{
    choose("mnuabout");
    choose("mnuhelppage");
    // The very same windows, not new ones (which could even reuse the
    // addresses of deleted ones): a deleted window clears its QPointer.
    const QPointer<Form2> firstAbout = about();
    const QPointer<Form21> firstHelp = help();
    choose("mnuabout");
    choose("mnuhelppage");
    QVERIFY(firstAbout && firstHelp);
    QCOMPARE(about(), firstAbout.data());
    QCOMPARE(help(), firstHelp.data());
    QCOMPARE(windowsOf<Form2>().size(), 1);
    QCOMPARE(windowsOf<Form21>().size(), 1);
    QCOMPARE(visibleCount<Form2>(), 1);
    QCOMPARE(visibleCount<Form21>(), 1);
    QVERIFY(about()->parentWidget() == nullptr); // no owner window
    QVERIFY(m_form->isVisible());
}

void TestDialogs::reopenAfterCloseIsTheSameWindow()
{
    choose("mnuabout");
    const QPointer<Form2> first = about();
    const QString credit = first->findChild<QLabel *>("Label2")->text();
    first->close();
    QCOMPARE(visibleCount<Form2>(), 0);
    choose("mnuabout");
    QVERIFY(first);
    QCOMPARE(about(), first.data());
    QVERIFY(first->isVisible());
    QCOMPARE(first->findChild<QLabel *>("Label2")->text(), credit);
}

void TestDialogs::bothOpenAndCloseIndependently()
{
    choose("mnuhelppage");
    choose("mnuabout");
    QVERIFY(about()->isVisible() && help()->isVisible());
    about()->close();
    QVERIFY(help()->isVisible());
    QVERIFY(m_form->isVisible());
    help()->close();
    QVERIFY(m_form->isVisible());
}

// F10 puts the menu bar in the keyboard mode Alt does, in every style:
// Right, Right reaches "About", and Return or Space chooses it without
// typing into the name box.
void TestDialogs::keyboardChoosesAbout_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("key");
    for (const QString &style : QStyleFactory::keys())
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space})
            QTest::newRow(qPrintable(style + (key == Qt::Key_Space ? " Space" : " Return")))
                << style << int(key);
}

void TestDialogs::keyboardChoosesAbout()
{
    QFETCH(QString, style);
    QFETCH(int, key);
    const auto restore = openInStyle(style);
    for (const int k : {int(Qt::Key_F10), int(Qt::Key_Right), int(Qt::Key_Right), key})
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k));
    QTRY_VERIFY(about() && about()->isVisible());
    QCOMPARE(m_form->findChild<QLineEdit *>("Text1")->text(), QString());
}

// The output box's tool tip, as each style draws it, sets its text off its
// ground by at least 4.5:1 (WCAG's contrast ratio).
void TestDialogs::toolTipIsReadable_data()
{
    QTest::addColumn<QString>("style");
    for (const QString &style : QStyleFactory::keys())
        QTest::newRow(qPrintable(style)) << style;
}

void TestDialogs::toolTipIsReadable()
{
    QFETCH(QString, style);
    const auto restore = openInStyle(style);
    auto *output = m_form->findChild<QWidget *>("UniText1");
    QToolTip::showText(output->mapToGlobal(QPoint(4, 4)), QStringLiteral("Ag Ag Ag"), output);
    const auto restoreTip = qScopeGuard([] { QToolTip::hideText(); });
    QTRY_VERIFY(QToolTip::isVisible());
    const auto tips = QApplication::topLevelWidgets();
    QWidget *tip = *std::find_if(tips.begin(), tips.end(), [](QWidget *w) {
        return w->inherits("QTipLabel") && w->isVisible();
    });
    // A tip that its style polished in colours of its own gets Qt's tool-tip
    // colours back as it is shown.
    QPalette own = tip->palette();
    own.setColor(QPalette::ToolTipText, Qt::magenta);
    tip->setPalette(own);
    QShowEvent shown;
    QCoreApplication::sendEvent(tip, &shown);
    QWidget given; // Qt's tool-tip palette, as a widget given it resolves it
    given.setPalette(QToolTip::palette());
    QCOMPARE(tip->palette().color(QPalette::ToolTipText),
             given.palette().color(QPalette::ToolTipText));
    const QImage drawn = tip->grab().toImage();
    const auto luminance = [](QRgb rgb) {
        const auto linear = [](int c) {
            const qreal v = c / 255.0;
            return v <= 0.04045 ? v / 12.92 : qPow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) +
               0.0722 * linear(qBlue(rgb));
    };
    qreal darkest = 1, lightest = 0;
    for (int y = 2; y < drawn.height() - 2; ++y)
        for (int x = 2; x < drawn.width() - 2; ++x) {
            darkest = qMin(darkest, luminance(drawn.pixel(x, y)));
            lightest = qMax(lightest, luminance(drawn.pixel(x, y)));
        }
    const qreal ratio = (lightest + 0.05) / (darkest + 0.05);
    QVERIFY2(ratio >= 4.5, qPrintable(QString::number(ratio)));
}

#if GLYPHSMITH_DESKTOP_SESSION_TESTS
// Esc and Ctrl+W close the window they are pressed in, and only that one.
void TestDialogs::keysCloseOnlyTheirWindow_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QKeySequence>("key");
    for (const char *window : {"About", "Help"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 Esc").arg(window)))
            << window << QKeySequence(Qt::Key_Escape);
        QTest::newRow(qPrintable(QStringLiteral("%1 Ctrl+W").arg(window)))
            << window << QKeySequence(Qt::CTRL | Qt::Key_W);
    }
}

void TestDialogs::keysCloseOnlyTheirWindow()
{
    QFETCH(QString, window);
    QFETCH(QKeySequence, key);
    choose("mnuabout");
    choose("mnuhelppage");
    QWidget *target = window == "About" ? static_cast<QWidget *>(about()) : help();
    QWidget *other = window == "About" ? static_cast<QWidget *>(help()) : about();
    target->activateWindow();
    QTRY_VERIFY(target->isActiveWindow());
    QTest::keySequence(target, key);
    QTRY_VERIFY(!target->isVisible());
    QVERIFY(other->isVisible());
    QVERIFY(m_form->isVisible());
}
#endif

void TestDialogs::ctrlHOpensHelp()
{
    QCOMPARE(visibleCount<Form21>(), 0);
    QTest::keyClick(m_form, Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(visibleCount<Form21>(), 1);
}

// The program ends when its last window closes, not when the main one does:
// run the application's own event loop and close the windows from it.
void TestDialogs::closingMainLeavesHelpRunning()
{
    QVERIFY(QApplication::quitOnLastWindowClosed());
    choose("mnuhelppage");
    bool helpOpenAfterMainClosed = false;
    bool timedOut = false;
    QTimer::singleShot(0, m_form, [&] {
        m_form->close();
        QTimer::singleShot(100, help(), [&] {
            helpOpenAfterMainClosed = help()->isVisible();
            help()->close();
        });
    });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, [&] {
        timedOut = true;
        QCoreApplication::quit();
    });
    guard.start(5000);
    QApplication::exec();
    QVERIFY(helpOpenAfterMainClosed); // the loop was still running
    QVERIFY(!timedOut);               // closing Help ended it
}

void TestDialogs::resizeMovesNothing()
{
    choose("mnuhelppage");
    const QRect note = help()->findChild<QLabel *>("Label6")->geometry();
    help()->resize(640, 480);
    QCoreApplication::processEvents();
    QCOMPARE(help()->findChild<QLabel *>("Label6")->geometry(), note);
    QCOMPARE(help()->findChild<QFrame *>("Line1")->width(), 312);
}

GLYPHSMITH_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
