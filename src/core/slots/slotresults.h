#pragma once

// What the slot code gives back to its caller: the file and the reason when
// something failed, never a window's words.

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <array>

namespace name_slots {

// The slot code's texts share one translation context.
class SlotTexts
{
    Q_DECLARE_TR_FUNCTIONS(name_slots::SlotStore)
};

// A slot file that could not be read or written, and why.
struct FileProblem
{
    int slot = 0;
    QString path;
    QString reason;
    bool ok() const { return reason.isEmpty(); }
};

struct CaptionsRead
{
    // Each slot's caption text; empty where the file is missing or refused.
    std::array<QString, 3> captions;
    QList<FileProblem> problems;
};

// A save either stores both files of the slot or changes neither; where a
// failure could not be undone either, the next start finishes it.
struct SaveResult
{
    enum Status {
        Saved,
        NameNotSaved,    // the problem is with the name's file
        CaptionNotSaved, // the problem is with the caption's file
        NotSaved,        // the problem is with the folder, its lock or the save's journal
        Unfinished,      // the name's file holds the new name; the next start finishes the save
    };
    Status status = Saved;
    FileProblem problem;
};

// What the start did with a save that was cut short (the program killed,
// the power lost): completed, if both new texts were whole on the disk, or
// else undone. Either way the slot's two files agree again. Where a file is
// not as the save's journal says, or the journal is not whole, nothing is
// changed.
struct FinishedSave
{
    enum Outcome { Completed, Undone, LeftAsItIs };
    int slot = 0;
    Outcome outcome = Completed;
    FileProblem problem;     // the file in the way, when left as it is
    FileProblem journalLeft; // the journal, when it could not be removed yet
};

struct OpenResult
{
    enum Status { Opened, Unreadable, TooLong };
    Status status = Opened;
    QString stored; // the stored text
    QString name;   // the same, as the name box holds it
    FileProblem problem;
};

} // namespace name_slots
