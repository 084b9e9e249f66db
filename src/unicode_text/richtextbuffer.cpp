#include "richtextbuffer.h"

namespace unicode_text {

RichTextBuffer::RichTextBuffer(const QString &objectName, QObject *parent) : QObject(parent)
{
    setObjectName(objectName);
}

TextFileResult RichTextBuffer::loadTextFile(const QString &path)
{
    TextFileResult result = unicode_text::loadTextFile(path);
    if (result.ok())
        m_text = result.text;
    return result;
}

TextFileResult RichTextBuffer::saveTextFile(const QString &path) const
{
    return unicode_text::saveTextFile(path, m_text);
}

} // namespace unicode_text
