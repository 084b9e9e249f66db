#pragma once

// Form1, the main window, owns all of the program's state: the plain input
// box Text1, the Unicode edit box UniText1 that shows the converted name,
// the labels and the line that a Convert marks, and four hidden text
// buffers. UniBox1 carries the name between the commands: Convert mirrors
// the input into it, Open loads a slot's stored name into it, and Save
// writes it to the slot's data file; name1..name3 hold the slot captions.
//
// Each command is one handler that runs to its end on the GUI thread. The
// glyph table converts, the slot store reads and writes the slot files, and
// the window shows what they give back. The About and Help windows belong to
// whoever creates this window: it only says when the user chose them.

#include "slots/slotstore.h"

#include <QMainWindow>
#include <QPalette>
#include <array>
#include <functional>
#include <memory>

class QAction;
namespace Ui {
class Form1;
}
namespace unicode_text {
class RichTextBuffer;
}

class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit Form1(name_slots::SlotStore store, QWidget *parent = nullptr);
    ~Form1() override;

    void convert();
    void clear();
    void saveSlot(int number);
    void openSlot(int number);

    // Where failures are told; by default a warning message box.
    using WarningHandler = std::function<void(const QString &message)>;
    void setWarningHandler(WarningHandler handler) { m_warn = std::move(handler); }

signals:
    void aboutChosen();
    void helpChosen();

private:
    // The two menu items of a slot, under File > Open and File > Save.
    struct SlotItems
    {
        QAction *open;
        QAction *save;
    };

    // Fills UniText1 with the conversion of the name Text1 holds and leaves
    // its last character selected, as walking it character by character would.
    void showConversion(const QString &name);
    void setLineColor(QPalette::ColorRole role);
    int alignedMenuBarHeight();
    void warn(const QString &message);
    void warnAbout(const QString &sentence, const name_slots::FileProblem &problem);

    void connectSlotItems();
    void loadSlotCaptions();
    void setSlotCaption(int number, const QString &caption, const QString &shown);
    QStringList interruptedSavesFinished();
    static QString unfinishedText(int moved);

    std::unique_ptr<Ui::Form1> ui;
    name_slots::SlotStore m_store;
    std::array<SlotItems, 3> m_slotItems{};
    unicode_text::RichTextBuffer *m_uniBox1;
    std::array<unicode_text::RichTextBuffer *, 3> m_captions{}; // name1..name3
    WarningHandler m_warn;
};
