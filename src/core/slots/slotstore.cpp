#include "slotstore.h"

#include "files/systemfile.h"
#include "folderlock.h"
#include "savejournal.h"
#include "slottable.h"
#include "unicode_text/codepage.h"
#include "unicode_text/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace name_slots {
namespace {

using unicode_text::TextFileResult;

// Makes the slot folder, or says why it cannot be made: a file in the way
// of it or of a folder above it is named.
FileProblem makeFolder(int slot, const QString &folder)
{
    for (QFileInfo above(folder); !above.isRoot(); above.setFile(above.absolutePath())) {
        if (above.isDir())
            break;
        if (files::isThere(above.filePath()))
            return {slot, above.absoluteFilePath(), SlotStore::tr("It is a file, not a folder.")};
    }
    std::error_code error;
    std::filesystem::create_directories(QDir(folder).filesystemAbsolutePath(), error);
    if (error)
        return {slot, folder, QString::fromLocal8Bit(error.message())};
    return {};
}

} // namespace

QString withoutFinalLineBreak(QString text)
{
    if (text.endsWith(u"\r\n"))
        text.chop(2);
    else if (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    return text;
}

SlotStore::SlotStore(QString folder, QString legacyFolder)
    : m_folder(std::move(folder)), m_legacyFolder(std::move(legacyFolder))
{}

SlotStore SlotStore::forUser()
{
    files::UserFolders folders = files::userFolders(QCoreApplication::organizationName(),
                                                    QCoreApplication::applicationName());
    return SlotStore(std::move(folders.folder), std::move(folders.legacyFolder));
}

// A slot's name and caption are read from one folder, so that they stay a
// pair: the legacy folder only for a slot with neither file in the folder.
QString SlotStore::readPath(const NameSlot &slot, const char *file) const
{
    const auto there = [this](const char *name) {
        return files::isThere(QDir(m_folder).filePath(QString::fromLatin1(name)));
    };
    const bool legacy =
        !m_legacyFolder.isEmpty() && !there(slot.dataFile) && !there(slot.captionFile);
    return QDir(legacy ? m_legacyFolder : m_folder).filePath(QString::fromLatin1(file));
}

CaptionsRead SlotStore::readCaptions() const
{
    CaptionsRead read;
    for (const NameSlot &slot : kSlots) {
        const QString path = readPath(slot, slot.captionFile);
        const TextFileResult r = unicode_text::loadTextFile(path);
        const QString caption = withoutFinalLineBreak(r.text);
        // A caption longer than any name would make every opening of the
        // menus slow; it is refused like an unreadable file.
        if (!r.ok())
            read.problems << FileProblem{slot.number, path, r.error};
        else if (caption.size() > unicode_text::kMaxNameLength)
            read.problems << FileProblem{
                slot.number, path,
                tr("It is %n character(s) long; a caption holds at most %1.", nullptr,
                   int(caption.size()))
                    .arg(unicode_text::kMaxNameLength)};
        else
            read.captions[slot.number - 1] = caption;
    }
    return read;
}

SaveResult SlotStore::save(int number, QStringView name, QStringView caption) const
{
    if (FileProblem p = makeFolder(number, m_folder); !p.ok())
        return {SaveResult::NotSaved, std::move(p)};
    FolderLock lock(m_folder);
    if (const auto failure = lock.take(number))
        return {SaveResult::NotSaved, failure->problem};
    // One cut short since the start is finished first, the way the start
    // would, without a word: this save replaces it either way, and its
    // journal replaces one left as it is.
    (void)finishSave(lock, m_folder, number);
    return saveWithJournal(lock, m_folder, number, {name, caption});
}

QList<FinishedSave> SlotStore::finishInterruptedSaves() const
{
    const QList<int> journals = slotsWithJournals(m_folder);
    if (journals.isEmpty())
        return {};
    FolderLock lock(m_folder);
    if (const auto failure = lock.take(journals.first())) {
        // A journal that a running copy holds the lock for is that copy's
        // save in progress, not one cut short.
        if (failure->heldByAnotherCopy)
            return {};
        return {{journals.first(), FinishedSave::LeftAsItIs, failure->problem, {}}};
    }
    QList<FinishedSave> finished;
    for (const int slot : journals)
        if (const std::optional<FinishedSave> f = finishSave(lock, m_folder, slot))
            finished << *f;
    return finished;
}

OpenResult SlotStore::open(int number) const
{
    const QString path = readPath(slotNumbered(number), slotNumbered(number).dataFile);
    const TextFileResult r = unicode_text::loadTextFile(path);
    if (!r.ok())
        return {OpenResult::Unreadable, QString(), QString(), {number, path, r.error}};
    OpenResult opened{OpenResult::Opened, withoutFinalLineBreak(r.text), QString(), {}};
    opened.name = unicode_text::toCodePage(opened.stored);
    if (opened.name.size() > unicode_text::kMaxNameLength)
        return {OpenResult::TooLong,
                QString(),
                QString(),
                {number, path,
                 tr("It is %n character(s) long; a name holds at most %1.", nullptr,
                    int(opened.name.size()))
                     .arg(unicode_text::kMaxNameLength)}};
    return opened;
}

} // namespace name_slots
