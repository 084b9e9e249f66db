// The save journal's file: its format, its name, and the names of the
// program's temporary files.

#include "files/systemfile.h"
#include "savejournal.h"
#include "slottable.h"
#include "unicode_text/textfile.h"

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

// Journals of the first format held the old texts; they are no whole
// journal now.
constexpr QByteArrayView kMagic("Ravenmoor Glyphsmith save journal 2\n");
constexpr qsizetype kCheckSize = 64 + 1; // the body's SHA-256 in hex, and a line break
constexpr int kRandomLetters = 8;
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
const QLatin1StringView kTemporarySuffix(".saving");

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

QJsonValue hex(const std::optional<QByteArray> &hash)
{
    return hash ? QJsonValue(QString::fromLatin1(hash->toHex())) : QJsonValue();
}

// A SHA-256 in lower-case hex, and nothing else.
std::optional<QByteArray> fromHex(const QJsonValue &value)
{
    const QByteArray text = value.toString().toLatin1();
    const QByteArray hash = QByteArray::fromHex(text);
    if (text.size() != 64 || hash.toHex() != text)
        return std::nullopt;
    return hash;
}

QJsonObject encodeEntry(const JournalEntry &f, const QDir &folder)
{
    // A file in a folder named ":x" is kept as "./:x/...", which reads back as
    // that file and not as one of Qt's resources.
    QString relative = folder.relativeFilePath(f.file);
    if (relative.startsWith(u':'))
        relative.prepend(QStringLiteral("./"));
    return {
        {QStringLiteral("file"), relative},
        {QStringLiteral("temporary"), QFileInfo(f.temporary).fileName()},
        {QStringLiteral("oldSha256"), hex(f.oldSha256)},
        {QStringLiteral("newSize"), f.newSize},
        {QStringLiteral("newSha256"), hex(f.newSha256)},
    };
}

// A file the journal names, placed from the resolved folder, where every
// field is in range and its temporary file has the program's own name.
std::optional<JournalEntry> decodeEntry(const QJsonObject &f, const QDir &folder)
{
    const QString relative = f.value(QStringLiteral("file")).toString();
    const QString file = QDir::cleanPath(folder.filePath(relative));
    const QString temporary = f.value(QStringLiteral("temporary")).toString();
    const QJsonValue old = f.value(QStringLiteral("oldSha256"));
    const std::optional<QByteArray> oldSha256 = fromHex(old);
    const std::optional<QByteArray> newSha256 = fromHex(f.value(QStringLiteral("newSha256")));
    const qint64 newSize = f.value(QStringLiteral("newSize")).toInteger(-1);
    // A name with a leading ":" would be one of Qt's resources.
    if (relative.isEmpty() || relative.startsWith(u':') || !isTemporaryName(temporary, file) ||
        !newSha256 || (!old.isNull() && !oldSha256) || newSize < 0 ||
        newSize > unicode_text::kMaxTextFileBytes)
        return std::nullopt;
    return JournalEntry{file, QDir(files::folderOf(file)).filePath(temporary), oldSha256, newSize,
                        *newSha256};
}

} // namespace

QByteArray sha256(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QByteArray encodeJournal(const SaveJournal &journal, const QString &folder)
{
    const QDir dir(folder);
    const QJsonObject object{
        {QStringLiteral("slot"), journal.slot},
        {QStringLiteral("files"),
         QJsonArray{encodeEntry(journal.files[0], dir), encodeEntry(journal.files[1], dir)}},
    };
    const QByteArray body =
        kMagic.toByteArray() + QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    return body + sha256(body).toHex() + '\n';
}

std::optional<SaveJournal> decodeJournal(QByteArrayView bytes, const QString &folder)
{
    // The final line break carries nothing: the checksum before it is whole.
    if (!bytes.startsWith(kMagic) || bytes.size() < kMagic.size() + kCheckSize)
        return std::nullopt;
    const QByteArrayView body = bytes.first(bytes.size() - kCheckSize);
    if (bytes.sliced(body.size(), 64) != sha256(body).toHex())
        return std::nullopt;
    const QJsonObject object =
        QJsonDocument::fromJson(body.sliced(kMagic.size()).toByteArray()).object();
    const QJsonArray list = object.value(QStringLiteral("files")).toArray();
    SaveJournal journal{object.value(QStringLiteral("slot")).toInt(), {}};
    if (list.size() != 2 || journal.slot < 1 || journal.slot > int(kSlots.size()))
        return std::nullopt;
    for (int i = 0; i < 2; ++i) {
        const std::optional<JournalEntry> f = decodeEntry(list[i].toObject(), QDir(folder));
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
    return QDir(files::folderOf(file))
        .filePath(temporaryPrefix(file) + randomLetters() + kTemporarySuffix);
}

bool isTemporaryName(const QString &name, const QString &file)
{
    const QString prefix = temporaryPrefix(file);
    const QStringView letters = QStringView(name).mid(prefix.size(), kRandomLetters);
    return name.startsWith(prefix) && name.endsWith(kTemporarySuffix) &&
           name.size() == prefix.size() + kRandomLetters + kTemporarySuffix.size() &&
           std::all_of(letters.begin(), letters.end(),
                       [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 128; });
}

files::FileResult writeJournal(const QString &folder, const SaveJournal &journal)
{
    const QString path = journalPath(folder, journal.slot), written = temporaryFor(path);
    if (files::FileResult r = files::writeNewFile(written, encodeJournal(journal, folder)); !r.ok())
        return r;
    files::FileResult r = files::moveFile(written, path);
    if (!r.ok())
        (void)files::removeFile(written); // or at the next save or start
    return r;
}

void removeLeftovers(const QString &folder, int slot)
{
    QStringList places{journalPath(folder, slot)};
    for (const QString &file : {slotFile(folder, slot, 0), slotFile(folder, slot, 1)})
        places << file << files::resolvedFile(file);
    places.removeDuplicates(); // a slot file that is no link is listed once
    for (const QString &file : std::as_const(places)) {
        if (file.isNull())
            continue;
        const QDir beside(files::folderOf(file));
        for (const QString &name : beside.entryList({temporaryPrefix(file) + u'*'},
                                                    QDir::Files | QDir::Hidden | QDir::System))
            if (isTemporaryName(name, file))
                (void)files::removeFile(beside.filePath(name));
    }
}

QList<int> slotsToFinish(const QString &folder)
{
    QList<int> found;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral(".*")}, QDir::AllEntries | QDir::Hidden |
                                                           QDir::System | QDir::NoDotAndDotDot);
    for (const NameSlot &slot : kSlots) {
        const QString journal = QFileInfo(journalPath(folder, slot.number)).fileName();
        if (std::any_of(names.begin(), names.end(), [&](const QString &n) {
                return n == journal || isTemporaryName(n, journal) ||
                       isTemporaryName(n, QString::fromLatin1(slot.dataFile)) ||
                       isTemporaryName(n, QString::fromLatin1(slot.captionFile));
            }))
            found << slot.number;
    }
    return found;
}

} // namespace name_slots
