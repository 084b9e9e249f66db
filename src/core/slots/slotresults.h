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

// A slot file, or the slot folder (slot 0 where it concerns every slot),
// that could not be read or written, and why.
struct FileProblem
{
    int slot = 0;
    QString path;
    QString reason;
    bool ok() const { return reason.isNull(); }
};

struct CaptionsRead
{
    // Each slot's caption text; empty where the file is missing or refused.
    std::array<QString, 3> captions;
    QList<FileProblem> problems;
};

// A save stores both files of the slot, or, failing before its journal
// decides it, neither; once decided, the next start finishes it.
struct SaveResult
{
    enum Status {
        Saved,
        NameNotSaved,    // nothing changed; the problem is with the name's file
        CaptionNotSaved, // nothing changed; the problem is with the caption's file
        NotSaved,        // nothing changed; the problem is with the folder, its lock or the journal
        Unfinished,      // decided, not done: the next start finishes it
    };
    Status status = Saved;
    FileProblem problem;
    int moved = 0; // when unfinished: 0 both files hold the old texts, 1 the name is
                   // new, 2 both are new but may not be on the disk yet
};

// What the start did with a save cut short (the program killed, the power
// lost): completed, where it moved a new text in; left as it is, naming the
// file in the way, where it could not make the slot's files a pair.
struct FinishedSave
{
    enum Outcome { Completed, LeftAsItIs };
    // What clears a save left as it is.
    enum Remedy {
        SaveAgain,        // saving the slot again
        PutRightThenSave, // what a save would refuse in the file put right, then a save
        NextStart,        // the problem put right: the next start finishes the save
    };
    int slot = 0;
    Outcome outcome = Completed;
    FileProblem problem; // the file in the way, when left as it is
    Remedy remedy = SaveAgain;
    FileProblem journalLeft;     // the journal, when it could not be removed yet
    bool folderReadOnly = false; // the slot folder, which every remedy needs written to
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
