// A save of slot N, step by step, and what the next start does when the
// program stops after the step (killed, or the power lost):
//
//   step of the save                                   the next start
//   1. take the folder's lock                          nothing
//   2. write the journal (.slotN.journal): the two     removes the journal's own
//      files, their old bytes, the new texts' size     temporary file, if the
//      and SHA-256, and the temporary files' unique    program stopped before
//      names; synced, moved into place, the folder     the move
//      synced
//   3. write both temporary files, synced              undoes: removes them
//   4. move each temporary file over its file          completes: moves the rest in
//   5. sync the folders, remove the journal            removes the journal, silently
//
// A save that fails at step 3 or 4 undoes itself as the start would, and
// tells the user only once the old pair is back in place. A temporary file
// that cannot be removed yet is kept in a journal marked ended, which the
// next save or start removes without a word.
//
// The start trusts a journal only while it is whole (its own checksum
// holds), the lock is not held by a running copy, and each file it names is
// still the slot's file and holds the old text or the new one. Otherwise it
// leaves everything as it is and says which file is in the way.
//
// Finishing is safe to repeat: it changes the files only from one state the
// journal describes to another, and the journal goes last.

#include "savejournal.h"

#include "slottable.h"
#include "unicode_text/textfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <algorithm>

namespace name_slots {
namespace {

using unicode_text::FileBytes;
using unicode_text::TextFileResult;

constexpr QByteArrayView kMagic("Ravenmoor Glyphsmith save journal 1\n");
constexpr int kRandomLetters = 8;
const QLatin1StringView kTemporarySuffix(".saving");

QByteArray sha256(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QString randomLetters()
{
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString letters;
    for (int i = 0; i < kRandomLetters; ++i)
        letters += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
    return letters;
}

// The name, without its random letters, that every temporary file of file
// has; a user's own file never ends so.
QString temporaryPrefix(const QString &file)
{
    const QFileInfo info(file);
    return info.dir().filePath(QLatin1Char('.') + info.fileName() + QLatin1Char('.'));
}

bool isTemporaryOf(const QString &temporary, const QString &file)
{
    const QString prefix = temporaryPrefix(file);
    return temporary.startsWith(prefix) && temporary.endsWith(kTemporarySuffix) &&
           temporary.size() == prefix.size() + kRandomLetters + kTemporarySuffix.size();
}

bool isThere(const QString &path)
{
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

// Removes a file the program made, if it is there; never a link, a folder or
// anything else put in its place.
bool removeOwn(const QString &path)
{
    const QFileInfo info(path);
    if (!isThere(path))
        return true;
    return !info.isSymLink() && info.isFile() && QFile::remove(path);
}

SaveResult failed(int slot, int file, const QString &path, const QString &reason)
{
    return {file == 0 ? SaveResult::NameNotSaved : SaveResult::CaptionNotSaved,
            {slot, path, reason}};
}

std::array<QString, 2> slotFiles(const QString &folder, int slot)
{
    const NameSlot &s = slotNumbered(slot);
    const QDir dir(folder);
    return {dir.filePath(QString::fromLatin1(s.dataFile)),
            dir.filePath(QString::fromLatin1(s.captionFile))};
}

// Writes the journal whole beside its place, then moves it in: a journal
// is either there whole or not at all.
TextFileResult writeJournal(const QString &folder, const SaveJournal &journal)
{
    const QString path = journalPath(folder, journal.slot);
    const QString written = path + QLatin1Char('.') + randomLetters();
    if (TextFileResult r =
            unicode_text::writeNewFile(written, encodeJournal(journal), std::nullopt);
        !r.ok())
        return r;
    if (TextFileResult r = unicode_text::moveFile(written, path); !r.ok()) {
        QFile::remove(written);
        return r;
    }
    return unicode_text::syncFolder(folder);
}

// Removes the journal's own temporary files, left where the program stopped
// before a journal was moved into place: whole or cut-short journals.
void removeJournalTemporaries(const QString &folder, int slot)
{
    const QString prefix = QFileInfo(journalPath(folder, slot)).fileName() + QLatin1Char('.');
    const QDir dir(folder);
    for (const QString &name :
         dir.entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.size() != prefix.size() + kRandomLetters)
            continue;
        const FileBytes read = unicode_text::loadFileBytes(dir.filePath(name));
        const QByteArrayView start =
            QByteArrayView(read.bytes).first(qMin(read.bytes.size(), qsizetype(kMagic.size())));
        if (read.ok() && !QFileInfo(dir.filePath(name)).isSymLink() && kMagic.startsWith(start))
            QFile::remove(dir.filePath(name));
    }
}

enum class Holds { New, Old, Neither };

struct FileState
{
    Holds holds = Holds::Neither;
    bool newTextReady = false; // the temporary file holds the whole new text
    QString problem;           // why the file is in the way
};

bool holdsNew(const FileBytes &read, const JournalFile &f)
{
    return read.exists && read.bytes.size() == f.newSize && sha256(read.bytes) == f.newSha256;
}

FileState stateOf(const JournalFile &f, const QString &slotFile)
{
    if (unicode_text::replacedFile(slotFile) != f.file)
        return {Holds::Neither, false, SlotStore::tr("The slot's link leads to another file now.")};
    if (QFileInfo(f.file).isSymLink())
        return {Holds::Neither, false, SlotStore::tr("It is a link, not the file that was saved.")};
    const FileBytes read = unicode_text::loadFileBytes(f.file);
    if (!read.ok())
        return {Holds::Neither, false, read.error};
    const FileBytes temporary =
        QFileInfo(f.temporary).isSymLink() ? FileBytes{} : unicode_text::loadFileBytes(f.temporary);
    const bool ready = temporary.ok() && holdsNew(temporary, f);
    if (holdsNew(read, f))
        return {Holds::New, ready, QString()};
    if (f.old ? read.exists && read.bytes == *f.old : !read.exists)
        return {Holds::Old, ready, QString()};
    return {Holds::Neither, ready, SlotStore::tr("It was changed after the save began.")};
}

// Puts the old text back in a file that holds the new one, through its
// temporary file, or removes it where there was none.
TextFileResult putBack(const JournalFile &f)
{
    if (!f.old) {
        QFile file(f.file);
        return file.remove() ? TextFileResult{} : TextFileResult{QString(), file.errorString()};
    }
    if (!removeOwn(f.temporary))
        return {QString(), SlotStore::tr("Its temporary file %1 is in the way.")
                               .arg(QDir::toNativeSeparators(f.temporary))};
    if (TextFileResult r =
            unicode_text::writeNewFile(f.temporary, *f.old, QFileInfo(f.file).permissions());
        !r.ok())
        return r;
    return unicode_text::moveFile(f.temporary, f.file);
}

// Gives each file that holds the new text its old one again.
FileProblem rollBack(const SaveJournal &journal)
{
    for (const JournalFile &f : journal.files) {
        const FileBytes read = unicode_text::loadFileBytes(f.file);
        if (!holdsNew(read, f))
            continue;
        if (const TextFileResult r = putBack(f); !r.ok())
            return {journal.slot, f.file, r.error};
    }
    return {};
}

// Moves in the new text of each file that does not hold it yet; false if a
// move failed, with the files as they then are.
bool rollForward(const SaveJournal &journal, const std::array<FileState, 2> &states, bool *moved)
{
    for (int i = 0; i < 2; ++i) {
        if (states[i].holds == Holds::New)
            continue;
        if (!unicode_text::moveFile(journal.files[i].temporary, journal.files[i].file).ok())
            return false;
        *moved = true;
    }
    return true;
}

TextFileResult syncFolders(const SaveJournal &journal)
{
    for (const JournalFile &f : journal.files)
        if (TextFileResult r = unicode_text::syncFolder(QFileInfo(f.file).absolutePath()); !r.ok())
            return r;
    return {};
}

// Removes the temporary files, then the journal. A temporary file that
// cannot be removed yet stays recorded in the journal, marked ended; a
// journal that cannot be removed is the problem returned.
FileProblem cleanUp(const QString &folder, SaveJournal journal)
{
    bool left = false;
    for (const JournalFile &f : journal.files)
        left = !removeOwn(f.temporary) || left;
    if (left) {
        journal.state = SaveJournal::Ended;
        if (writeJournal(folder, journal).ok())
            return {};
    }
    QFile file(journalPath(folder, journal.slot));
    if (!file.exists() || file.remove())
        return {};
    return {journal.slot, file.fileName(), file.errorString()};
}

// The journal's verdict on the files as they are: completed, undone, or
// left as they are.
FinishedSave settle(const QString &folder, const SaveJournal &journal, bool *changed)
{
    const std::array<QString, 2> files = slotFiles(folder, journal.slot);
    const std::array<FileState, 2> states{stateOf(journal.files[0], files[0]),
                                          stateOf(journal.files[1], files[1])};
    for (int i = 0; i < 2; ++i)
        if (!states[i].problem.isEmpty())
            return {journal.slot,
                    FinishedSave::LeftAsItIs,
                    {journal.slot, journal.files[i].file, states[i].problem},
                    {}};
    const bool completable = std::all_of(states.begin(), states.end(), [](const FileState &s) {
        return s.holds == Holds::New || s.newTextReady;
    });
    if (completable && rollForward(journal, states, changed) && syncFolders(journal).ok())
        return {journal.slot, FinishedSave::Completed, {}, {}};
    if (FileProblem p = rollBack(journal); !p.ok())
        return {journal.slot, FinishedSave::LeftAsItIs, p, {}};
    *changed = true;
    return {journal.slot, FinishedSave::Undone, {}, {}};
}

} // namespace

QByteArray encodeJournal(const SaveJournal &journal)
{
    QJsonArray files;
    for (const JournalFile &f : journal.files)
        files.append(QJsonObject{
            {QStringLiteral("file"), f.file},
            {QStringLiteral("temporary"), f.temporary},
            {QStringLiteral("old"),
             f.old ? QJsonValue(QString::fromLatin1(f.old->toBase64())) : QJsonValue()},
            {QStringLiteral("newSize"), double(f.newSize)},
            {QStringLiteral("newSha256"), QString::fromLatin1(f.newSha256.toHex())},
        });
    const QJsonObject object{
        {QStringLiteral("slot"), journal.slot},
        {QStringLiteral("state"),
         journal.state == SaveJournal::Saving ? QStringLiteral("saving") : QStringLiteral("ended")},
        {QStringLiteral("files"), files},
    };
    const QByteArray body =
        kMagic.toByteArray() + QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    return body + sha256(body).toHex() + '\n';
}

std::optional<SaveJournal> decodeJournal(QByteArrayView bytes)
{
    constexpr qsizetype kCheckSize = 64 + 1;
    if (!bytes.startsWith(kMagic) || bytes.size() < kMagic.size() + kCheckSize ||
        !bytes.endsWith('\n'))
        return std::nullopt;
    const QByteArrayView body = bytes.first(bytes.size() - kCheckSize);
    if (bytes.sliced(body.size(), 64).toByteArray() != sha256(body).toHex())
        return std::nullopt;
    const QJsonObject object =
        QJsonDocument::fromJson(body.sliced(kMagic.size()).toByteArray()).object();
    const QJsonArray files = object.value(QStringLiteral("files")).toArray();
    const QString state = object.value(QStringLiteral("state")).toString();
    SaveJournal journal{object.value(QStringLiteral("slot")).toInt(),
                        state == QStringLiteral("ended") ? SaveJournal::Ended : SaveJournal::Saving,
                        {}};
    if (files.size() != 2 || journal.slot < 1 || journal.slot > int(kSlots.size()) ||
        (state != QStringLiteral("saving") && state != QStringLiteral("ended")))
        return std::nullopt;
    for (int i = 0; i < 2; ++i) {
        const QJsonObject f = files[i].toObject();
        const QJsonValue old = f.value(QStringLiteral("old"));
        journal.files[i] = {
            f.value(QStringLiteral("file")).toString(),
            f.value(QStringLiteral("temporary")).toString(),
            old.isString() ? std::optional(QByteArray::fromBase64(old.toString().toLatin1()))
                           : std::nullopt,
            qint64(f.value(QStringLiteral("newSize")).toDouble(-1)),
            QByteArray::fromHex(f.value(QStringLiteral("newSha256")).toString().toLatin1()),
        };
        // A journal names only the program's own temporary files.
        if (!isTemporaryOf(journal.files[i].temporary, journal.files[i].file) ||
            journal.files[i].newSha256.size() != 32)
            return std::nullopt;
    }
    return journal;
}

QString journalPath(const QString &folder, int slot)
{
    return QDir(folder).filePath(QStringLiteral(".slot%1.journal").arg(slot));
}

QString temporaryFor(const QString &file)
{
    return temporaryPrefix(file) + randomLetters() + kTemporarySuffix;
}

QList<int> slotsWithJournals(const QString &folder)
{
    QList<int> found;
    const QStringList names = QDir(folder).entryList(
        {QStringLiteral(".slot?.journal*")}, QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const NameSlot &slot : kSlots) {
        const QString name = QFileInfo(journalPath(folder, slot.number)).fileName();
        if (std::any_of(names.begin(), names.end(),
                        [&](const QString &n) { return n.startsWith(name); }))
            found << slot.number;
    }
    return found;
}

SaveResult saveWithJournal(const QString &folder, int slot, const std::array<QStringView, 2> &texts)
{
    const std::array<QString, 2> paths = slotFiles(folder, slot);
    SaveJournal journal{slot, SaveJournal::Saving, {}};
    std::array<QByteArray, 2> bytes;
    std::array<std::optional<QFileDevice::Permissions>, 2> permissions;
    for (int i = 0; i < 2; ++i) {
        if (const QString why = unicode_text::whyNotReplaceable(paths[i]); !why.isEmpty())
            return failed(slot, i, paths[i], why);
        const QString file = unicode_text::replacedFile(paths[i]);
        FileBytes old = unicode_text::loadFileBytes(file);
        if (!old.ok())
            return failed(slot, i, file, old.error);
        bytes[i] = unicode_text::encodeText(texts[i]);
        // The new file takes the permissions of the one it replaces.
        if (old.exists)
            permissions[i] = QFileInfo(file).permissions();
        journal.files[i] = {file, temporaryFor(file),
                            old.exists ? std::optional(std::move(old.bytes)) : std::nullopt,
                            bytes[i].size(), sha256(bytes[i])};
    }
    if (const TextFileResult r = writeJournal(folder, journal); !r.ok())
        return {SaveResult::NotSaved, {slot, journalPath(folder, slot), r.error}};

    for (int i = 0; i < 2; ++i) {
        const JournalFile &f = journal.files[i];
        if (const TextFileResult r =
                unicode_text::writeNewFile(f.temporary, bytes[i], permissions[i]);
            !r.ok()) {
            cleanUp(folder, journal);
            return failed(slot, i, f.temporary, r.error);
        }
    }
    for (int i = 0; i < 2; ++i) {
        const JournalFile &f = journal.files[i];
        TextFileResult r = unicode_text::moveFile(f.temporary, f.file);
        if (r.ok() && i == 1)
            r = syncFolders(journal);
        if (!r.ok()) {
            // Told only once the old pair is back; should that fail too,
            // the journal stays for the next start to finish.
            if (rollBack(journal).ok())
                cleanUp(folder, journal);
            return failed(slot, i, f.file, r.error);
        }
    }
    // The save is whole; a journal that cannot be removed yet goes at the
    // next save or start.
    cleanUp(folder, journal);
    return {};
}

std::optional<FinishedSave> finishSave(const QString &folder, int slot, bool savingNext)
{
    removeJournalTemporaries(folder, slot);
    const QString path = journalPath(folder, slot);
    if (!isThere(path))
        return std::nullopt;
    // A journal that is not whole, or not this slot's, is no journal of a
    // save: the next save replaces it.
    const FileBytes read = unicode_text::loadFileBytes(path);
    const std::optional<SaveJournal> journal = decodeJournal(read.bytes);
    if (!read.ok() || !journal || journal->slot != slot)
        return std::nullopt;
    if (journal->state == SaveJournal::Ended) {
        cleanUp(folder, *journal);
        return std::nullopt;
    }
    bool changed = false;
    FinishedSave finished = settle(folder, *journal, &changed);
    if (finished.outcome == FinishedSave::LeftAsItIs && !savingNext)
        return finished;
    finished.journalLeft = cleanUp(folder, *journal);
    // Files already as the journal left them are no news: a save that was
    // whole but for its journal, or a journal that could not be removed.
    if (!changed)
        return std::nullopt;
    return finished;
}

} // namespace name_slots
