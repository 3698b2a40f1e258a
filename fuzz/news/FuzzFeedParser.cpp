// Feeds arbitrary bytes to the feed parser. Whatever it returns must be titles in their
// normalised form: never empty, no white space but single inner spaces.
#include "news/FeedParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QStringList titles = FeedParser::parse(bytes);
    for (const QString &title : titles) {
        if (title.isEmpty() || FeedParser::normalise(title) != title)
            std::abort();
    }
    return 0;
}
