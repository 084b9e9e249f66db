#include "richtextbuffer.h"

namespace unicode_text {

RichTextBuffer::RichTextBuffer(const QString &objectName, QObject *parent) : QObject(parent)
{
    setObjectName(objectName);
}

} // namespace unicode_text
