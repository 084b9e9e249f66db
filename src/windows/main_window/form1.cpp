#include "form1.h"

#include "captionmenus.h"
#include "common/keyboard.h"
#include "common/unitext.h"
#include "common/windowconventions.h"
#include "glyphs/glyphs.h"
#include "slots/slottable.h"
#include "ui_form1.h"
#include "unicode_text/codepage.h"
#include "unicode_text/richtextbuffer.h"

#include <QDir>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QValidator>
#include <cmath>

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
    {
        const common::WidgetsMadeInWindowFont font(this);
        ui->setupUi(this);
    }
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
    resize(width(), height() + alignedMenuBarHeight());

    connect(ui->Command1, &QPushButton::clicked, this, &Form1::convert);
    connect(ui->Command2, &QPushButton::clicked, this, &Form1::clear);
    connect(ui->mnuabout, &QAction::triggered, this, &Form1::aboutChosen);
    connect(ui->mnuhelppage, &QAction::triggered, this, &Form1::helpChosen);
    common::keyboardMenuBar(this);
    elideLongCaptions(ui->mnuopen);
    elideLongCaptions(ui->msnusave);
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
    showConversion(name);
}

void Form1::clear()
{
    ui->Text1->setText(QString());
    ui->UniText1->setWholeText(QString());
    ui->Label7->setText(QString());
    ui->Label8->setText(QString());
    setLineColor(QPalette::WindowText);
}

void Form1::showConversion(const QString &name)
{
    // One insert of the whole conversion gives the text, caret and selection
    // that inserting glyph by glyph would, without laying the box out again
    // for every character.
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

// The slot keeps caption; its two menu items show the text shown.
void Form1::setSlotCaption(int number, const QString &caption, const QString &shown)
{
    m_captions[number - 1]->setWholeText(caption);
    const QString menuText = menuCaption(shown);
    m_slotItems[number - 1].open->setText(menuText);
    m_slotItems[number - 1].save->setText(menuText);
}

// What clears a save left as it is.
static QString remedyText(name_slots::FinishedSave::Remedy remedy)
{
    switch (remedy) {
    case name_slots::FinishedSave::SaveAgain:
        return Form1::tr("Saving the slot again clears this; open it first to see which name "
                         "it holds.");
    case name_slots::FinishedSave::PutRightThenSave:
        return Form1::tr("Once that is put right, saving the slot again clears this.");
    case name_slots::FinishedSave::NextStart:
        break;
    }
    return Form1::tr("Once that is put right, the next start finishes the save.");
}

// Saves cut short the last time are finished before the captions are read;
// says what was done with each.
QStringList Form1::interruptedSavesFinished()
{
    QStringList told;
    for (const name_slots::FinishedSave &f : m_store.finishInterruptedSaves()) {
        if (f.outcome == name_slots::FinishedSave::Completed) {
            told << tr("Saving slot %1 was cut short the last time. The save has now been "
                       "completed: the slot holds the name that was being saved.")
                        .arg(f.slot);
        } else {
            // Nothing clears it while the folder may not be written to.
            QString remedy = remedyText(f.remedy);
            if (f.folderReadOnly)
                remedy.prepend(tr("The slot folder is read-only: nothing in it can change until "
                                  "it may be written to.") +
                               u' ');
            told << tr("Saving slot %1 was cut short the last time, and this file is in the "
                       "way of finishing it:\n%2\n\n%3\n\n%4")
                        .arg(f.slot)
                        .arg(QDir::toNativeSeparators(f.problem.path), f.problem.reason, remedy);
        }
        if (!f.journalLeft.ok())
            told << tr("The save's journal could not be removed yet; a later start or save "
                       "removes it as soon as it can:\n%1\n\n%2")
                        .arg(QDir::toNativeSeparators(f.journalLeft.path), f.journalLeft.reason);
    }
    return told;
}

void Form1::loadSlotCaptions()
{
    QStringList told = interruptedSavesFinished();
    const name_slots::CaptionsRead read = m_store.readCaptions();
    for (int n = 1; n <= int(read.captions.size()); ++n)
        setSlotCaption(n, read.captions[n - 1], shownCaption(n, read.captions[n - 1]));
    for (RichTextBuffer *buffer : m_captions)
        buffer->setVisible(false);
    m_uniBox1->setVisible(false);

    for (const FileProblem &p : read.problems)
        told << (p.slot == 0 ? tr("The slots cannot be kept in the folder\n%1\n\n%2")
                                   .arg(QDir::toNativeSeparators(p.path), p.reason)
                             : tr("Could not read the caption of slot %1 from\n%2\n\n%3")
                                   .arg(p.slot)
                                   .arg(QDir::toNativeSeparators(p.path), p.reason));
    // Told once the window is on the screen, in one message.
    if (!told.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, told] { warn(told.join(QStringLiteral("\n\n"))); }, Qt::QueuedConnection);
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
    // A save may wait for another copy's: the window paints, and says it is busy.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const name_slots::SaveResult r = m_store.save(number, m_uniBox1->wholeText(), caption);
    QGuiApplication::restoreOverrideCursor();
    // Until the next start an emptied name box leaves the items empty, not on
    // the default caption; they show what the caption's file holds.
    if (r.status == name_slots::SaveResult::Saved || r.moved == 2)
        setSlotCaption(number, caption, caption);
    switch (r.status) {
    case name_slots::SaveResult::Saved:
        break;
    case name_slots::SaveResult::NameNotSaved:
        warnAbout(tr("Nothing was saved: the name could not be saved to\n%1\n\n%2"), r.problem);
        break;
    case name_slots::SaveResult::CaptionNotSaved:
        warnAbout(tr("Nothing was saved: the slot's caption could not be saved to\n%1\n\n%2"),
                  r.problem);
        break;
    case name_slots::SaveResult::NotSaved:
        warnAbout(tr("Nothing was saved, because of\n%1\n\n%2"), r.problem);
        break;
    case name_slots::SaveResult::Unfinished:
        warnAbout(unfinishedText(r.moved), r.problem);
        break;
    }
}

// What the slot's files hold after a save that the next start finishes;
// %1 is the file and %2 the reason.
QString Form1::unfinishedText(int moved)
{
    if (moved == 0)
        return tr("The slot still holds its old name and caption, because of\n%1\n\n%2\n\n"
                  "The save is not lost: the program completes it the next time it starts.");
    if (moved == 1)
        return tr("The slot holds the new name, but still the old caption, because of\n%1\n\n"
                  "%2\n\nThe program completes the save the next time it starts.");
    return tr("The slot holds the new name and caption, but they may not be on the disk yet, "
              "because of\n%1\n\n%2\n\nThe program completes the save the next time it "
              "starts.");
}

void Form1::openSlot(int number)
{
    // Read before anything is cleared: a failed read keeps what the window shows.
    const name_slots::OpenResult r = m_store.open(number);
    if (r.status != name_slots::OpenResult::Opened) {
        warnAbout(tr("Could not open the name stored in\n%1\n\n%2"), r.problem);
        return;
    }
    ui->UniText1->setWholeText(QString());
    m_uniBox1->setWholeText(r.stored);
    ui->Text1->setText(r.name);
    showConversion(r.name);
}

void Form1::warn(const QString &message)
{
    m_warn(message);
}

// sentence holds %1 for the file and %2 for the reason.
void Form1::warnAbout(const QString &sentence, const FileProblem &problem)
{
    warn(sentence.arg(QDir::toNativeSeparators(problem.path), problem.reason));
}

// The menu bar's height, made a whole number of device pixels. On a screen
// scaled by a fraction (1.25, 1.75) an uneven menu bar would put the whole
// client area between device pixels, where one-pixel lines (the line between
// the buttons, the output box's top and bottom edges) fall out of the drawing.
int Form1::alignedMenuBarHeight()
{
    const qreal ratio = devicePixelRatioF();
    int height = menuBar()->sizeHint().height();
    for (int tries = 0; tries < 8 && std::abs(height * ratio - std::round(height * ratio)) > 0.01;
         ++tries)
        ++height;
    menuBar()->setFixedHeight(height);
    return height;
}

// The colour a role names is the system's, whether the window is active or
// not: Qt's inactive highlight on Windows is the window's own background,
// which would hide the line while another window is in front.
void Form1::setLineColor(QPalette::ColorRole role)
{
    QPalette palette = ui->Line1->palette();
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    ui->Line1->setPalette(palette);
    ui->Line1->setForegroundRole(role);
    ui->Line1->update();
}
