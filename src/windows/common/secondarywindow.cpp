#include "secondarywindow.h"

#include "keyboard.h"

#include <QAccessibleWidget>

namespace common {
namespace {

QAccessibleInterface *accessibleAsWindow(const QString &, QObject *object)
{
    if (auto *window = qobject_cast<SecondaryWindow *>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

} // namespace

SecondaryWindow::SecondaryWindow()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleAsWindow);
        return true;
    }();
    Q_UNUSED(installed);
    // No buttons: the keyboard closes it as a dialog is closed.
    common::closeByKeyboard(this);
}

} // namespace common
