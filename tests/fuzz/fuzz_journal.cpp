// Any body of a save journal, sealed with its own checksum so that the
// decoder reads its JSON, decodes without a crash, a hang or a sanitizer
// report; a journal it accepts names a slot and its files in range, and
// encodes back to one it accepts the same.

#include "slots/savejournal.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body = QByteArrayLiteral("Ravenmoor Glyphsmith save journal 2\n") +
                            QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray journal = body + name_slots::sha256(body).toHex() + '\n';
    const QString folder = QStringLiteral("/slots");
    const std::optional<name_slots::SaveJournal> decoded =
        name_slots::decodeJournal(journal, folder);
    if (!decoded)
        return 0;
    if (decoded->slot < 1 || decoded->slot > 3)
        std::abort();
    for (const name_slots::JournalEntry &f : decoded->files)
        if (f.newSize < 0 || f.newSha256.size() != 32 || (f.oldSha256 && f.oldSha256->size() != 32))
            std::abort();
    const std::optional<name_slots::SaveJournal> again =
        name_slots::decodeJournal(name_slots::encodeJournal(*decoded, folder), folder);
    if (!again || again->slot != decoded->slot)
        std::abort();
    for (int i = 0; i < 2; ++i)
        if (again->files[i].file != decoded->files[i].file ||
            again->files[i].temporary != decoded->files[i].temporary)
            std::abort();
    return 0;
}
