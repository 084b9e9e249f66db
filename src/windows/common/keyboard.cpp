#include "keyboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QProxyStyle>
#include <QShortcut>
#include <QWidget>

namespace common {
namespace {

class AltTypingFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        // AltGr arrives as Ctrl+Alt on Windows and types characters there.
        const Qt::KeyboardModifiers mods = key->modifiers();
        return mods.testFlag(Qt::AltModifier) && !mods.testFlag(Qt::ControlModifier) &&
               !key->text().isEmpty() && key->text().front().isPrint();
    }
};

// Some styles (Adwaita among them) turn the menu bar's keyboard navigation
// off, which leaves a keyboard user no way to choose "About".
class KeyboardMenuBarStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *data) const override
    {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// What the menu bar watches for to enter its keyboard mode: Alt pressed and
// released alone. (An Alt key event reports the Alt modifier by itself.)
void pressAndReleaseAlt(QWidget *window)
{
    QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QKeyEvent press(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(focus, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(focus, &release);
}

} // namespace

void keyboardMenuBar(QMainWindow *window)
{
    QMenuBar *bar = window->menuBar();
    auto *style = new KeyboardMenuBarStyle(QApplication::style()->name());
    style->setParent(bar);
    bar->setStyle(style);
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_F10), window), &QShortcut::activated,
                     window, [window] { pressAndReleaseAlt(window); });
}

void closeByKeyboard(QWidget *window)
{
    for (const QKeySequence &key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        QObject::connect(new QShortcut(key, window), &QShortcut::activated, window,
                         &QWidget::close);
}

void ignoreAltTyping(QWidget *box)
{
    box->installEventFilter(new AltTypingFilter(box));
}

} // namespace common
