#include "unitext.h"

#include "glyphs/gamename.h"
#include "unicode_text/codepage.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextOption>
#include <algorithm>
#include <cstdlib>
#include <utility>

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
    // A hand edit is shown once the edit is over: while the document is
    // still inside it, no cursor may be made on it.
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (std::exchange(m_gameCutPending, true))
            return;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_gameCutPending)
                    showGameCut();
            },
            Qt::QueuedConnection);
    });
    showGameCut();
}

void UniText::setGameCutShown(bool shown)
{
    m_gameCutShown = shown;
    showGameCut();
}

namespace {

// The name's size in words, for the tooltip and screen readers. The cut is
// that of GoldSrc (CS 1.6, Condition Zero) and Source (CS: Source); CS:GO
// and CS2 show the player's Steam name instead.
QString sizeInWords(const glyphs::GameFit &fit, const QString &text)
{
    QString words =
        UniText::tr("The name has %n character(s).", nullptr, int(fit.characters)) + u' ' +
        (fit.fits()
             ? UniText::tr("It is %n byte(s) in UTF-8: CS 1.6, Condition Zero and CS: Source keep "
                           "all of it (%1 bytes at most).",
                           nullptr, int(fit.bytes))
                   .arg(glyphs::kGameNameBytes)
             : UniText::tr("It is %1 bytes in UTF-8; CS 1.6, Condition Zero and CS: Source keep "
                           "%2 bytes: the first %n character(s).",
                           nullptr, int(fit.keptCharacters))
                   .arg(fit.bytes)
                   .arg(glyphs::kGameNameBytes));
    // GoldSrc servers blank these out of every player's user info.
    if (text.contains(u'%') || text.contains(u'&'))
        words += u' ' + UniText::tr("CS 1.6 servers show %1 and %2 as spaces.")
                            .arg(QStringLiteral("%"), QStringLiteral("&"));
    return words;
}

// The colour of a over b, as drawn.
QColor over(const QColor &a, const QColor &b, qreal alpha)
{
    const auto mix = [alpha](int x, int y) { return int(x * alpha + y * (1 - alpha)); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

// The placeholder colour, unless a style draws it (nearly) as the text
// colour: then the text colour half-way to the background, so that the cut
// part always stands apart.
QColor dimmedColor(const QPalette &palette)
{
    const QColor text = palette.color(QPalette::Text);
    const QColor base = palette.color(QPalette::Base);
    const QColor placeholder = palette.color(QPalette::PlaceholderText);
    const QColor drawn = over(placeholder, base, placeholder.alphaF());
    if (std::abs(drawn.lightness() - text.lightness()) >= 64)
        return placeholder;
    return over(text, base, 0.5);
}

} // namespace

void UniText::showGameCut()
{
    m_gameCutPending = false;
    const QString text = m_gameCutShown ? wholeText() : QString();
    const glyphs::GameFit fit = glyphs::gameFit(text);
    QList<QTextEdit::ExtraSelection> cut;
    if (!fit.fits()) {
        // One format over the whole cut part, not one per character.
        QTextEdit::ExtraSelection dimmed{QTextCursor(document()), QTextCharFormat()};
        dimmed.cursor.setPosition(int(fit.keptUnits));
        dimmed.cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        dimmed.format.setForeground(dimmedColor(palette()));
        cut << dimmed;
    }
    setExtraSelections(cut);
    // The tool tip and screen readers tell the text's size against the
    // game's cut, or, while it is empty, what the box is for.
    const QString size = text.isEmpty() ? QString() : sizeInWords(fit, text);
    setToolTip(size);
    setAccessibleDescription(
        text.isEmpty() ? tr("The converted name: select it and copy it into the game.") : size);
}

void UniText::changeEvent(QEvent *event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        showGameCut();
}

QString UniText::wholeText() const
{
    return document()->toRawText();
}

void UniText::setWholeText(const QString &text)
{
    setPlainText(text);
    showGameCut();
}

void UniText::insertAtCaret(const QString &text)
{
    insertPlainText(text);
    showGameCut();
}

namespace {

// Characters the text cursor would take for a break: a line or paragraph
// separator, or the marks of a frame's start and end.
bool breaksTheLine(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c == QChar::LineSeparator || c == QChar::ParagraphSeparator ||
               unicode_text::isFrameMark(c.unicode());
    });
}

} // namespace

void UniText::keyPressEvent(QKeyEvent *event)
{
    // One line only: Enter starts no new paragraph, and a separator typed
    // is held as a paste is.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    if (breaksTheLine(event->text())) {
        insertHeld(event->text());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void UniText::inputMethodEvent(QInputMethodEvent *event)
{
    if (!breaksTheLine(event->commitString())) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent held(event->preeditString(), event->attributes());
    held.setCommitString(unicode_text::withoutControls(event->commitString()),
                         event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&held);
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
    insertHeld(source->text());
}

void UniText::insertHeld(const QString &typed)
{
    // As in the name box: one line, no control characters, and no more than
    // the longest name, which keeps every edit quick.
    const qsizetype kept = wholeText().size() - textCursor().selectedText().size();
    QString text = unicode_text::withoutControls(typed);
    text.truncate(std::max<qsizetype>(0, unicode_text::kMaxNameLength - kept));
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    insertAtCaret(text);
}

} // namespace common
