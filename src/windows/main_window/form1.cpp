#include "form1.h"

#include "common/keyboard.h"
#include "common/unitext.h"
#include "common/windowconventions.h"
#include "glyphs/glyphs.h"
#include "slots/slottable.h"
#include "ui_form1.h"
#include "unicode_text/codepage.h"
#include "unicode_text/richtextbuffer.h"

#include <QDir>
#include <QMenuBar>
#include <QMessageBox>
#include <QValidator>

using name_slots::FileProblem;
using unicode_text::RichTextBuffer;

namespace {

// Holds the name box to its code page: whatever is typed or pasted passes
// through toCodePage, and the caret stays after the same character.
class CodePageValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        QString held = unicode_text::toCodePage(input);
        if (held.size() != input.size())
            pos = int(unicode_text::toCodePage(QStringView(input).first(pos)).size());
        input = std::move(held);
        return Acceptable;
    }
};

// A caption text as the start-up shows it: the default caption while empty.
QString shownCaption(int number, const QString &caption)
{
    return caption.isEmpty() ? QString::fromLatin1(name_slots::slotNumbered(number).defaultCaption)
                             : caption;
}

} // namespace

Form1::Form1(name_slots::SlotStore store, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Form1>()), m_store(std::move(store)),
      m_uniBox1(new RichTextBuffer(QStringLiteral("UniBox1"), this)),
      m_warn([this](const QString &message) { QMessageBox::warning(this, windowTitle(), message); })
{
    ui->setupUi(this);
    m_slotItems = {
        {{ui->opname1, ui->savname1}, {ui->opname2, ui->savname2}, {ui->opname3, ui->savname3}}};
    for (const name_slots::NameSlot &slot : name_slots::kSlots)
        m_captions[slot.number - 1] =
            new RichTextBuffer(QStringLiteral("name%1").arg(slot.number), this);
    common::applyWindowConventions(this);
    ui->Text1->setFont(common::designFont(QStringLiteral("Arial"), 8.25));
    ui->Text1->setMaxLength(unicode_text::kMaxNameLength);
    ui->Text1->setValidator(new CodePageValidator(ui->Text1));
    common::ignoreAltTyping(ui->Text1);
    common::ignoreAltTyping(ui->UniText1);
    ui->UniText1->setFont(common::designFont(QStringLiteral("Arial"), 14.25));
    ui->Label8->setFont(common::designFont(QStringLiteral("MS Sans Serif"), 8.25, QFont::Bold));
    setLineColor(QPalette::WindowText);
    // The .ui gives the client area; the menu bar sits above it.
    resize(width(), height() + menuBar()->sizeHint().height());

    connect(ui->Command1, &QPushButton::clicked, this, &Form1::convert);
    connect(ui->Command2, &QPushButton::clicked, this, &Form1::clear);
    connect(ui->mnuabout, &QAction::triggered, this, &Form1::aboutChosen);
    connect(ui->mnuhelppage, &QAction::triggered, this, &Form1::helpChosen);
    common::keyboardMenuBar(this);
    connectSlotItems();
    loadSlotCaptions();
    ui->Text1->setFocus();
}

Form1::~Form1() = default;

void Form1::convert()
{
    ui->UniText1->setWholeText(QString());
    const QString name = ui->Text1->text();
    if (name.isEmpty())
        return;
    ui->Label7->setText(tr("Hello"));
    ui->Label8->setText(name);
    setLineColor(QPalette::Highlight);
    m_uniBox1->setWholeText(name);
    showConversion();
}

void Form1::clear()
{
    ui->Text1->setText(QString());
    ui->UniText1->setWholeText(QString());
    ui->Label7->setText(QString());
    ui->Label8->setText(QString());
    setLineColor(QPalette::WindowText);
}

void Form1::showConversion()
{
    // One insert of the whole conversion gives the text, caret and selection
    // that inserting glyph by glyph would, without laying the box out again
    // for every character.
    const QString name = ui->Text1->text();
    ui->UniText1->insertAtCaret(glyphs::convertName(name));
    if (!name.isEmpty())
        ui->Text1->setSelection(name.size() - 1, 1);
}

void Form1::connectSlotItems()
{
    for (int n = 1; n <= int(m_slotItems.size()); ++n) {
        connect(m_slotItems[n - 1].open, &QAction::triggered, this, [this, n] { openSlot(n); });
        connect(m_slotItems[n - 1].save, &QAction::triggered, this, [this, n] { saveSlot(n); });
    }
}

void Form1::setSlotItems(int number, const QString &caption)
{
    const QString shown = name_slots::menuCaption(caption);
    m_slotItems[number - 1].open->setText(shown);
    m_slotItems[number - 1].save->setText(shown);
}

void Form1::loadSlotCaptions()
{
    const name_slots::CaptionsRead read = m_store.readCaptions();
    for (int n = 1; n <= int(read.captions.size()); ++n) {
        m_captions[n - 1]->setWholeText(read.captions[n - 1]);
        setSlotItems(n, shownCaption(n, read.captions[n - 1]));
    }
    for (RichTextBuffer *buffer : m_captions)
        buffer->setVisible(false);
    m_uniBox1->setVisible(false);

    // Told once the window is on the screen, in one message.
    QStringList problems;
    for (const FileProblem &p : read.problems)
        problems << tr("Could not read the caption of slot %1 from\n%2\n\n%3")
                        .arg(p.slot)
                        .arg(QDir::toNativeSeparators(p.path), p.reason);
    if (!problems.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, problems] { warn(problems.join(QStringLiteral("\n\n"))); },
            Qt::QueuedConnection);
}

void Form1::saveSlot(int number)
{
    // Before any Convert or Open there is no name to store: saving the empty
    // text would destroy the name the slot holds.
    if (m_uniBox1->wholeText().isEmpty()) {
        warn(tr("There is no converted name to save yet.\n\n"
                "Type the name, press Convert, then save it."));
        return;
    }
    const QString caption = ui->Text1->text();
    const name_slots::SaveResult r = m_store.save(number, m_uniBox1->wholeText(), caption);
    switch (r.status) {
    case name_slots::SaveResult::Saved:
        m_captions[number - 1]->setWholeText(caption);
        setSlotItems(number, caption);
        break;
    case name_slots::SaveResult::NameNotSaved:
        warnAbout(tr("Could not save the name to"), r.problem);
        break;
    case name_slots::SaveResult::CaptionNotWritten:
        warnAbout(tr("Nothing was saved: the slot's caption could not be written to"), r.problem);
        break;
    case name_slots::SaveResult::CaptionNotReplaced:
        // The menu shows what the caption file holds now.
        if (r.captionNow) {
            m_captions[number - 1]->setWholeText(*r.captionNow);
            setSlotItems(number, shownCaption(number, *r.captionNow));
        }
        warnAbout(tr("The name was saved, but not the slot's caption, to"), r.problem);
        break;
    }
}

void Form1::openSlot(int number)
{
    // Read before anything is cleared: a failed read keeps what the window shows.
    const name_slots::OpenResult r = m_store.open(number);
    if (r.status != name_slots::OpenResult::Opened) {
        warnAbout(r.status == name_slots::OpenResult::TooLong
                      ? tr("The name stored in")
                      : tr("Could not open the name stored in"),
                  r.problem);
        return;
    }
    ui->Text1->setText(QString());
    ui->UniText1->setWholeText(QString());
    m_uniBox1->setWholeText(r.stored);
    ui->Text1->setText(r.name);
    showConversion();
}

void Form1::warn(const QString &message)
{
    m_warn(message);
}

void Form1::warnAbout(const QString &what, const FileProblem &problem)
{
    warn(QStringLiteral("%1\n%2\n\n%3")
             .arg(what, QDir::toNativeSeparators(problem.path), problem.reason));
}

void Form1::setLineColor(QPalette::ColorRole role)
{
    ui->Line1->setForegroundRole(role);
    ui->Line1->update();
}
