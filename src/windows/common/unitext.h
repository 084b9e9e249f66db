#pragma once

// The Unicode edit box: a single-line field that shows a converted name and
// from which the user selects and copies it. It keeps every code unit as
// given (a copy gives exactly the stored text), and always lays the name out
// as a left-to-right paragraph, so a name that begins with an Arabic letter
// still starts at the left edge while Arabic runs inside it read
// right-to-left. A line edit takes its paragraph direction from its text,
// so this box is a one-line plain text edit instead.
//
// It also shows whether the name fits the game: the characters past the
// game's 31 bytes are drawn dimmed, and the tooltip and the accessible
// description tell the name's size. That is display only: the text, and
// so what is copied, stays as it is.

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

    // Whether the part the game cuts off is shown (on by default; the
    // benchmark compares Convert with and without it).
    void setGameCutShown(bool shown);

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    void showGameCut();
    // Inserts what was typed or pasted as one line of at most the longest name.
    void insertHeld(const QString &typed);

    bool m_gameCutShown = true;
    bool m_gameCutPending = false; // a hand edit not shown yet
};

} // namespace common
