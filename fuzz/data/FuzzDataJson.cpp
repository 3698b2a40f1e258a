// Feeds arbitrary bytes to every reader of service answers and stored records. They must
// neither crash nor misbehave, and a stored map that decodes must survive a second
// encode/decode unchanged.
#include "data/JsonMappings.h"
#include "data/Records.h"

#include <QByteArray>
#include <QUuid>

#include <cstdint>
#include <cstdlib>

namespace {

template<typename Decode, typename Encode>
void checkStable(const QByteArray &input, Decode decode, Encode encode)
{
    const auto decoded = decode(input);
    if (!decoded)
        return;
    const QByteArray once = encode(*decoded);
    const auto again = decode(once);
    if (!again || encode(*again) != once)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    static const WatchItem item{QUuid(), ItemKind::quote, QStringLiteral("gold"), QStringLiteral("OR"), std::nullopt};

    if (const auto answer = JsonMappings::parseObject(input)) {
        if (const auto quote = JsonMappings::yahooChart(*answer, item)) {
            if (!quote->series.isEmpty() && quote->series.size() != 18)
                std::abort();
        }
        JsonMappings::twelveQuote(*answer, item);
        if (const auto metals = JsonMappings::metalsLatest(*answer))
            Records::priceText(metals->value(QLatin1String("gold")).toDouble());
        if (const auto current = JsonMappings::forecastCurrent(*answer, QDateTime::fromSecsSinceEpoch(0))) {
            if (!current->icon || !weatherIconFromRaw(*current->icon))
                std::abort();
        }
    }
    JsonMappings::forecastReport(QStringLiteral("Paris"), QStringLiteral("48.85,2.35"), input);

    checkStable(input, Records::decodeScheduled, Records::encodeScheduled);
    checkStable(input, Records::decodeHistory, Records::encodeHistory);
    checkStable(input, Records::decodeFetchTimes, Records::encodeFetchTimes);
    return 0;
}
