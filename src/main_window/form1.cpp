#include "form1.h"

#include "dialogs/form2.h"
#include "dialogs/form21.h"
#include "glyphs/glyphs.h"
#include "slots/slottable.h"
#include "ui_form1.h"
#include "unicode_text/codepage.h"
#include "unicode_text/richtextbuffer.h"
#include "windowconventions.h"

#include <QMenuBar>
#include <QMessageBox>

using unicode_text::RichTextBuffer;

Form1::Form1(const QString &slotFolder, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Form1>()),
      m_uniBox1(new RichTextBuffer(QStringLiteral("UniBox1"), this)), m_slotFolder(slotFolder),
      m_warn([this](const QString &message) { QMessageBox::warning(this, windowTitle(), message); })
{
    ui->setupUi(this);
    for (const name_slots::NameSlot &slot : name_slots::kSlots)
        m_captions[slot.number - 1] =
            new RichTextBuffer(QString::fromLatin1(slot.captionBuffer), this);
    main_window::applyWindowConventions(this);
    ui->Text1->setFont(main_window::designFont(QStringLiteral("Arial"), 8.25));
    ui->Text1->setValidator(new unicode_text::CodePageValidator(ui->Text1));
    ui->UniText1->setFont(main_window::designFont(QStringLiteral("Arial"), 14.25));
    ui->Label8->setFont(
        main_window::designFont(QStringLiteral("MS Sans Serif"), 8.25, QFont::Bold));
    setLineColor(QPalette::WindowText);
    // The .ui gives the client area; the menu bar sits above it.
    resize(width(), height() + menuBar()->sizeHint().height());

    connect(ui->Command1, &QPushButton::clicked, this, &Form1::convert);
    connect(ui->Command2, &QPushButton::clicked, this, &Form1::clear);
    connect(ui->mnuabout, &QAction::triggered, this, &Form1::showAbout);
    connect(ui->mnuhelppage, &QAction::triggered, this, &Form1::showHelp);
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
    ui->Label7->setText(QStringLiteral("Hello"));
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

namespace {

// Shows the run's one instance of a secondary window, creating it on first
// use: modeless and without an owner, so it outlives a closed main window.
template <typename Window> void showSecondary(std::unique_ptr<Window> &window)
{
    if (!window)
        window = std::make_unique<Window>();
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void Form1::showAbout()
{
    showSecondary(m_about);
}

void Form1::showHelp()
{
    showSecondary(m_help);
}

void Form1::warn(const QString &message)
{
    m_warn(message);
}

void Form1::setLineColor(QPalette::ColorRole role)
{
    ui->Line1->setForegroundRole(role);
    ui->Line1->update();
}
