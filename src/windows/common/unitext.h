#pragma once

// The Unicode edit box: a single-line field that shows a converted name and
// from which the user selects and copies it. It keeps every code unit as
// given (a copy gives exactly the stored text), and always lays the name out
// as a left-to-right paragraph, so a name that begins with an Arabic letter
// still starts at the left edge while Arabic runs inside it read
// right-to-left. A line edit takes its paragraph direction from its text,
// so this box is a one-line plain text edit instead.

#include <QPlainTextEdit>

namespace common {

class UniText : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit UniText(QWidget *parent = nullptr);

    QString wholeText() const;
    // Replaces the whole text; the caret ends at the start.
    void setWholeText(const QString &text);
    // Inserts at the caret, which ends after the inserted text.
    void insertAtCaret(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
};

} // namespace common
