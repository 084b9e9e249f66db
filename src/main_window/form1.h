#pragma once

// Form1, the main window, owns all of the program's state: the plain input
// box Text1, the Unicode edit box UniText1 that shows the converted name,
// the labels and the line that a Convert marks, and four hidden text
// buffers. UniBox1 carries the name between the commands: Convert mirrors
// the input into it, Open loads a slot's stored name into it, and Save
// writes it to the slot's data file; name1..name3 hold the slot captions.
//
// Each command is one handler that runs to its end on the GUI thread. The
// glyph table (glyphs/) does the conversion, the text buffers and the edit
// box (unicode_text/) hold the Unicode text and move it to and from files,
// and the slot commands (slots/) act on the three name slots kept in the
// slot folder that the creator of the window passes in. The About and Help
// windows (dialogs/) are independent top-level windows without an owner.

#include <QMainWindow>
#include <QPalette>
#include <array>
#include <functional>
#include <memory>

class Form2;
class Form21;
namespace Ui {
class Form1;
}
namespace unicode_text {
class RichTextBuffer;
}
namespace name_slots {
struct NameSlot;
}

class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    // The plain input box holds at most this many characters, so every
    // name it holds converts in full.
    static constexpr int kMaxNameLength = 32766;

    // The six slot files live in slotFolder.
    explicit Form1(const QString &slotFolder, QWidget *parent = nullptr);
    ~Form1() override;

    void convert();
    void clear();
    void saveSlot(int number);
    void openSlot(int number);
    void showAbout();
    void showHelp();

    // Where failures are told; by default a warning message box.
    using WarningHandler = std::function<void(const QString &message)>;
    void setWarningHandler(WarningHandler handler) { m_warn = std::move(handler); }

private:
    // Fills UniText1 with the conversion of the name Text1 holds and leaves
    // its last character selected, as walking it character by character would.
    void showConversion();
    void setLineColor(QPalette::ColorRole role);
    void warn(const QString &message);

    // The name slots (slots/slotcommands.cpp).
    void connectSlotItems();
    void loadSlotCaptions();
    void setSlotItems(const name_slots::NameSlot &slot, const QString &caption);
    QString slotPath(const char *fileName) const;
    static QString fileProblem(const QString &what, const QString &path, const QString &reason);

    std::unique_ptr<Ui::Form1> ui;
    unicode_text::RichTextBuffer *m_uniBox1;
    std::array<unicode_text::RichTextBuffer *, 3> m_captions{}; // name1..name3
    QString m_slotFolder;
    WarningHandler m_warn;
    // The About and Help windows: created on first use, kept for the run.
    std::unique_ptr<Form2> m_about;
    std::unique_ptr<Form21> m_help;
};
