// The save journal's file: its format, its name, and its temporary files'
// names.

#include "files/systemfile.h"
#include "savejournal.h"
#include "slottable.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <algorithm>

namespace name_slots {
namespace {

constexpr QByteArrayView kMagic("Ravenmoor Glyphsmith save journal 1\n");
constexpr qsizetype kCheckSize = 64 + 1; // the body's SHA-256 in hex, and a line break
constexpr int kRandomLetters = 8;
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
const QLatin1StringView kTemporarySuffix(".saving");

QByteArray sha256(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QString randomLetters()
{
    QString letters;
    for (int i = 0; i < kRandomLetters; ++i)
        letters += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
    return letters;
}

// The name, without its random letters, that every temporary file of file
// has; a user's own file never ends so.
QString temporaryPrefix(const QString &file)
{
    return QLatin1Char('.') + QFileInfo(file).fileName() + QLatin1Char('.');
}

QJsonObject encodeFile(const JournalFile &f, const QDir &folder)
{
    return {
        {QStringLiteral("file"), folder.relativeFilePath(f.file)},
        {QStringLiteral("temporary"), QFileInfo(f.temporary).fileName()},
        {QStringLiteral("old"),
         f.old ? QJsonValue(QString::fromLatin1(f.old->toBase64())) : QJsonValue()},
        {QStringLiteral("newSize"), double(f.newSize)},
        {QStringLiteral("newSha256"), QString::fromLatin1(f.newSha256.toHex())},
    };
}

// A file the journal names, placed from the folder; none unless its
// temporary file has the program's own name, beside it.
std::optional<JournalFile> decodeFile(const QJsonObject &f, const QDir &folder)
{
    const QString file =
        QDir::cleanPath(folder.filePath(f.value(QStringLiteral("file")).toString()));
    // Journals of earlier versions give the temporary file's whole path.
    const QString temporary = QFileInfo(f.value(QStringLiteral("temporary")).toString()).fileName();
    const QJsonValue old = f.value(QStringLiteral("old"));
    JournalFile decoded{
        file,
        QFileInfo(file).dir().filePath(temporary),
        old.isString() ? std::optional(QByteArray::fromBase64(old.toString().toLatin1()))
                       : std::nullopt,
        qint64(f.value(QStringLiteral("newSize")).toDouble(-1)),
        QByteArray::fromHex(f.value(QStringLiteral("newSha256")).toString().toLatin1()),
        {},
    };
    if (!isTemporaryName(temporary, file) || decoded.newSha256.size() != 32)
        return std::nullopt;
    return decoded;
}

} // namespace

QByteArray encodeJournal(const SaveJournal &journal, const QString &folder)
{
    const QDir resolved(files::resolvedFile(folder));
    const QJsonObject object{
        {QStringLiteral("slot"), journal.slot},
        {QStringLiteral("state"),
         journal.state == SaveJournal::Saving ? QStringLiteral("saving") : QStringLiteral("ended")},
        {QStringLiteral("files"), QJsonArray{encodeFile(journal.files[0], resolved),
                                             encodeFile(journal.files[1], resolved)}},
    };
    const QByteArray body =
        kMagic.toByteArray() + QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    return body + sha256(body).toHex() + '\n';
}

std::optional<SaveJournal> decodeJournal(QByteArrayView bytes, const QString &folder)
{
    if (!bytes.startsWith(kMagic) || bytes.size() < kMagic.size() + kCheckSize ||
        !bytes.endsWith('\n'))
        return std::nullopt;
    const QByteArrayView body = bytes.first(bytes.size() - kCheckSize);
    if (bytes.sliced(body.size(), 64) != sha256(body).toHex())
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
    const QDir resolved(files::resolvedFile(folder));
    for (int i = 0; i < 2; ++i) {
        const std::optional<JournalFile> f = decodeFile(files[i].toObject(), resolved);
        if (!f)
            return std::nullopt;
        journal.files[i] = *f;
    }
    return journal;
}

QString journalPath(const QString &folder, int slot)
{
    return QDir(folder).filePath(QStringLiteral(".slot%1.journal").arg(slot));
}

QString temporaryFor(const QString &file)
{
    return QFileInfo(file).dir().filePath(temporaryPrefix(file) + randomLetters() +
                                          kTemporarySuffix);
}

bool isTemporaryName(const QString &name, const QString &file)
{
    const QString prefix = temporaryPrefix(file);
    return name.startsWith(prefix) && name.endsWith(kTemporarySuffix) &&
           name.size() == prefix.size() + kRandomLetters + kTemporarySuffix.size();
}

files::FileResult writeJournal(const QString &folder, const SaveJournal &journal)
{
    files::FileMode mode;
    for (const JournalFile &f : journal.files)
        if (f.mode)
            mode = mode.value_or(07777) & *f.mode;
    const QString path = journalPath(folder, journal.slot);
    const QString written = path + QLatin1Char('.') + randomLetters();
    if (files::FileResult r = files::writeNewFile(written, encodeJournal(journal, folder), mode);
        !r.ok())
        return r;
    files::FileResult r = files::moveFile(written, path);
    if (r.ok())
        r = files::syncFolder(folder);
    // A journal that may not be on the disk is no journal; what cannot be
    // removed now goes at the next save or start.
    if (!r.ok())
        (void)files::removeFile(QFileInfo::exists(path) ? path : written);
    return r;
}

void removeJournalTemporaries(const QString &folder, int slot)
{
    const QString prefix = QFileInfo(journalPath(folder, slot)).fileName() + QLatin1Char('.');
    const QDir dir(folder);
    for (const QString &name :
         dir.entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.size() != prefix.size() + kRandomLetters)
            continue;
        const files::FileBytes read =
            files::loadFileBytes(dir.filePath(name), kMaxJournalBytes, files::Links::Refuse);
        // Only one that begins as a journal does: one cut short may hold
        // any part of one, or nothing.
        if (read.ok() &&
            kMagic.startsWith(read.bytes.first(qMin(read.bytes.size(), kMagic.size()))))
            (void)files::removeFile(dir.filePath(name));
    }
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

} // namespace name_slots
