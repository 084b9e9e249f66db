#include "keyboard.h"

#include <QKeyEvent>
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

} // namespace

void ignoreAltTyping(QWidget *box)
{
    box->installEventFilter(new AltTypingFilter(box));
}

} // namespace common
