#pragma once

// Where the three name slots live, and the rules for reading and writing
// their six files. The store knows nothing of windows: it returns what it
// read, or the file and the reason when something failed, and the window
// decides what to show.

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringView>
#include <array>

namespace name_slots {

struct NameSlot;

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

// A save either stores both files of the slot or changes neither.
struct SaveResult
{
    enum Status {
        Saved,
        NameNotSaved,    // the problem is with the name's file
        CaptionNotSaved, // the problem is with the caption's file
        NotSaved,        // the problem is with the folder, its lock or the save's journal
    };
    Status status = Saved;
    FileProblem problem;
};

// What the start did with a save that was cut short (the program killed,
// the power lost): completed, if both new texts were whole on the disk, or
// else undone. Either way the slot's two files agree again. Where a file is
// not as the save's journal says, nothing is changed.
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

class SlotStore
{
    Q_DECLARE_TR_FUNCTIONS(name_slots::SlotStore)

public:
    // Slots are saved in folder. A slot with neither of its files in folder
    // yet is read from legacyFolder, where earlier versions kept the slots.
    explicit SlotStore(QString folder, QString legacyFolder = QString());

    // The per-user store: the application data folder, with the root of
    // drive C: as the legacy folder on Windows.
    static SlotStore forUser();

    const QString &folder() const { return m_folder; }

    // The three caption texts. A caption file that cannot be read, or that
    // holds more than the longest name, counts as empty and is a problem.
    CaptionsRead readCaptions() const;

    // Stores name in the slot's data file and caption in its caption file.
    // Both are written in full before either replaces its old file, and a
    // second running copy of the program never saves at the same time.
    SaveResult save(int slot, QStringView name, QStringView caption) const;

    OpenResult open(int slot) const;

    // Completes or undoes every save that was cut short, before anything is
    // read. Takes the folder's lock only when there is something to do, and
    // waits for another running copy's save to end.
    QList<FinishedSave> finishInterruptedSaves() const;

private:
    QString readPath(const NameSlot &slot, const char *file) const;

    QString m_folder;
    QString m_legacyFolder;
};

// The text of a slot file as stored: one line break at its very end, which
// an editor may add, is not part of it.
QString withoutFinalLineBreak(QString text);

} // namespace name_slots
