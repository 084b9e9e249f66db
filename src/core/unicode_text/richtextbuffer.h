#pragma once

// A hidden holder of one Unicode text. The main window owns four of them:
// UniBox1, which carries the name between Convert, Open and Save, and
// name1..name3, the slot captions.

#include <QObject>
#include <QString>

namespace unicode_text {

class RichTextBuffer : public QObject
{
    Q_OBJECT
public:
    explicit RichTextBuffer(const QString &objectName, QObject *parent = nullptr);

    const QString &wholeText() const { return m_text; }
    void setWholeText(const QString &text) { m_text = text; }

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }

private:
    QString m_text;
    bool m_visible = true;
};

} // namespace unicode_text
