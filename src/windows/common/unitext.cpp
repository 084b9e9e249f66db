#include "unitext.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextOption>

namespace common {

UniText::UniText(QWidget *parent) : QPlainTextEdit(parent)
{
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft);
    option.setWrapMode(QTextOption::NoWrap);
    document()->setDefaultTextOption(option);
    document()->setDocumentMargin(2);
    setLineWrapMode(NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

QString UniText::wholeText() const
{
    return document()->toRawText();
}

void UniText::setWholeText(const QString &text)
{
    setPlainText(text);
}

void UniText::insertAtCaret(const QString &text)
{
    insertPlainText(text);
}

void UniText::keyPressEvent(QKeyEvent *event)
{
    // One line only: Enter starts no new paragraph.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void UniText::focusInEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusInEvent(event);
    // Tabbing in selects the whole name, ready to copy, as in a line edit;
    // a click still places the caret.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        selectAll();
}

QMimeData *UniText::createMimeDataFromSelection() const
{
    // The selection as stored: a plain-text copy would turn no-break spaces
    // into spaces.
    auto *data = new QMimeData;
    data->setText(textCursor().selectedText());
    return data;
}

void UniText::insertFromMimeData(const QMimeData *source)
{
    QString text = source->text();
    for (QChar &c : text)
        if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u' ';
    insertAtCaret(text);
}

} // namespace common
