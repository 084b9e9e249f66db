// Any bytes in a slot file decode to a text without a crash, a hang or a
// sanitizer report, and that text, saved and read back, is the same text.

#include "unicode_text/textfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = unicode_text::decodeText(bytes);
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A decoded text never holds an unpaired surrogate.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            std::abort();
    }
    if (unicode_text::decodeText(unicode_text::encodeText(text)) != text)
        std::abort();
    return 0;
}
