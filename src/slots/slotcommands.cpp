// The start-up captions and the Save and Open commands of the main window's
// three name slots.

#include "main_window/form1.h"
#include "slottable.h"
#include "ui_form1.h"
#include "unicode_text/codepage.h"
#include "unicode_text/richtextbuffer.h"

#include <QDir>

using name_slots::kSlots;
using name_slots::NameSlot;
using unicode_text::TextFileResult;

namespace name_slots {

QString menuCaption(const QString &caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (const QChar c : caption) {
        if (c == u'&')
            shown.append(QStringLiteral("&&"));
        else if (c == u'\t' || c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
                 c == QChar::ParagraphSeparator)
            shown.append(u' ');
        else
            shown.append(c);
    }
    return shown;
}

} // namespace name_slots

namespace {

const NameSlot &slotNumbered(int number)
{
    Q_ASSERT(number >= 1 && number <= int(kSlots.size()));
    return kSlots[number - 1];
}

} // namespace

QString Form1::slotPath(const char *fileName) const
{
    return QDir(m_slotFolder).filePath(QString::fromLatin1(fileName));
}

QString Form1::fileProblem(const QString &what, const QString &path, const QString &reason)
{
    return QStringLiteral("%1\n%2\n\n%3").arg(what, QDir::toNativeSeparators(path), reason);
}

void Form1::setSlotItems(const NameSlot &slot, const QString &caption)
{
    const QString shown = name_slots::menuCaption(caption);
    findChild<QAction *>(QString::fromLatin1(slot.openItem))->setText(shown);
    findChild<QAction *>(QString::fromLatin1(slot.saveItem))->setText(shown);
}

void Form1::connectSlotItems()
{
    for (const NameSlot &slot : kSlots) {
        const int n = slot.number;
        connect(findChild<QAction *>(QString::fromLatin1(slot.openItem)), &QAction::triggered, this,
                [this, n] { openSlot(n); });
        connect(findChild<QAction *>(QString::fromLatin1(slot.saveItem)), &QAction::triggered, this,
                [this, n] { saveSlot(n); });
    }
}

void Form1::loadSlotCaptions()
{
    QStringList problems;
    for (const NameSlot &slot : kSlots) {
        unicode_text::RichTextBuffer *buffer = m_captions[slot.number - 1];
        const QString path = slotPath(slot.captionFile);
        // A slot whose caption file cannot be read shows its default caption;
        // the other slots still load.
        if (const TextFileResult r = buffer->loadTextFile(path); !r.ok())
            problems << fileProblem(
                QStringLiteral("Could not read the caption of slot %1 from").arg(slot.number), path,
                r.error);
        const QString &caption = buffer->wholeText();
        setSlotItems(slot, caption.isEmpty() ? QString::fromLatin1(slot.defaultCaption) : caption);
    }
    for (unicode_text::RichTextBuffer *buffer : m_captions)
        buffer->setVisible(false);
    m_uniBox1->setVisible(false);

    // Told once the window is on the screen, in one message.
    if (!problems.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, problems] { warn(problems.join(QStringLiteral("\n\n"))); },
            Qt::QueuedConnection);
}

void Form1::saveSlot(int number)
{
    const NameSlot &slot = slotNumbered(number);
    // Before any Convert or Open there is no name to store: saving the empty
    // text would destroy the name the slot holds.
    if (m_uniBox1->wholeText().isEmpty()) {
        warn(QStringLiteral("There is no converted name to save yet.\n\n"
                            "Type the name, press Convert, then save it."));
        return;
    }
    QDir().mkpath(m_slotFolder);
    const QString dataPath = slotPath(slot.dataFile);
    if (const TextFileResult r = m_uniBox1->saveTextFile(dataPath); !r.ok()) {
        warn(fileProblem(QStringLiteral("Could not save the name to"), dataPath, r.error));
        return;
    }
    // The captions change only once the caption file holds the new caption,
    // so the menu never shows a caption that was not stored.
    unicode_text::RichTextBuffer *buffer = m_captions[number - 1];
    const QString caption = ui->Text1->text();
    const QString previous = buffer->wholeText();
    buffer->setWholeText(caption);
    const QString captionPath = slotPath(slot.captionFile);
    if (const TextFileResult r = buffer->saveTextFile(captionPath); !r.ok()) {
        buffer->setWholeText(previous);
        warn(fileProblem(QStringLiteral("The name was saved, but not the slot's caption, to"),
                         captionPath, r.error));
        return;
    }
    setSlotItems(slot, caption);
}

void Form1::openSlot(int number)
{
    const NameSlot &slot = slotNumbered(number);
    const QString path = slotPath(slot.dataFile);
    // Read before anything is cleared: a failed read keeps what the window shows.
    const TextFileResult r = unicode_text::loadTextFile(path);
    if (!r.ok()) {
        warn(fileProblem(QStringLiteral("Could not open the name stored in"), path, r.error));
        return;
    }
    const QString name = unicode_text::toCodePage(r.text);
    if (name.size() > kMaxNameLength) {
        warn(fileProblem(QStringLiteral("The name stored in"), path,
                         QStringLiteral("is %1 characters long; the name box holds at most %2.")
                             .arg(name.size())
                             .arg(kMaxNameLength)));
        return;
    }
    ui->Text1->setText(QString());
    ui->UniText1->setWholeText(QString());
    m_uniBox1->setWholeText(r.text);
    ui->Text1->setText(name);
    showConversion();
}
