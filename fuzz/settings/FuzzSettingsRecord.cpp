// Feeds arbitrary bytes to the settings record decoder. Whatever decodes must encode, and
// the encoded form must survive another decode and encode unchanged.
#include "settings/SettingsRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<SettingsRecord> record = SettingsRecord::decode(bytes);
    if (!record)
        return 0;
    const std::optional<QByteArray> encoded = record->encode();
    if (!encoded)
        std::abort(); // a decoded record always holds finite numbers and known cases
    const std::optional<SettingsRecord> again = SettingsRecord::decode(*encoded);
    if (!again)
        std::abort();
    const std::optional<QByteArray> reencoded = again->encode();
    if (!reencoded || *reencoded != *encoded)
        std::abort();
    return 0;
}
