#pragma once

// Where the three name slots live, and the rules for reading and writing
// their six files. The store knows nothing of windows: it returns what it
// read, or the file and the reason when something failed, and the window
// decides what to show.

#include "slotresults.h"

#include <QStringView>

namespace name_slots {

struct NameSlot;

class SlotStore
{
    Q_DECLARE_TR_FUNCTIONS(name_slots::SlotStore)

public:
    // Slots are saved in folder. A slot with neither of its files in folder
    // yet is read from legacyFolder, where earlier versions kept the slots.
    // A store whose folder has a problem (a name the system cannot be given)
    // reads nothing from it and saves nothing.
    explicit SlotStore(QString folder, QString legacyFolder = QString(),
                       QString problem = QString());

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

    // Finishes every save that was cut short, before anything is read.
    // Takes the folder's lock only when there is something to do, and leaves
    // all to another running copy that holds it.
    QList<FinishedSave> finishInterruptedSaves() const;

private:
    QString resolvedFolder() const;
    QString readPath(const NameSlot &slot, const char *file) const;

    QString m_folder;
    QString m_legacyFolder;
    QString m_problem;
};

// The text of a slot file as stored: one line break at its very end, which
// an editor may add, is not part of it.
QString withoutFinalLineBreak(QString text);

} // namespace name_slots
