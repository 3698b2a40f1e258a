#include "app/Snapshots.h"

#include "qtband/LedView.h"
#include "line/LedBuilder.h"

#include <cmath>

namespace Snapshots {

QList<Quote> sampleQuotes()
{
    const QList<WeatherIcon> icons = {WeatherIcon::sun,   WeatherIcon::moon, WeatherIcon::partly,
                                      WeatherIcon::partlyNight, WeatherIcon::cloud, WeatherIcon::rain,
                                      WeatherIcon::snow,  WeatherIcon::thunder, WeatherIcon::fog};
    QList<Quote> quotes;
    for (int n = 1; n <= 9; ++n) {
        Quote quote;
        quote.id = QUuid::createUuid();
        quote.name = QStringLiteral("T%1").arg(n);
        quote.price = QStringLiteral("%1°C").arg(n + 11);
        quote.icon = icons.at(n - 1);
        quotes.append(quote);
    }
    return quotes;
}

QList<BandSample> bandSamples()
{
    return {
        {QStringLiteral("thin"), FontStyle::pixelBold, BarVariant::thin, 6},
        {QStringLiteral("thick"), FontStyle::pixelBold, BarVariant::thick, 5},
        {QStringLiteral("hd"), FontStyle::hd, BarVariant::thick, 4},
    };
}

int writeBandSamples(const QString &prefix)
{
    const QList<Quote> quotes = sampleQuotes();
    int written = 0;
    for (const BandSample &sample : bandSamples()) {
        LedView view;
        const int rows = LedBuilder::rows(sample.style, sample.variant);
        view.resize(bandWidth, int(std::lround(sample.pitch * rows)));
        BandLines &lines = view.lines();
        lines.bitmap = LedBuilder::build(quotes, sample.style, sample.variant);
        lines.newsBitmap.reset();
        lines.pitch = sample.pitch;
        lines.theme = ColorTheme::greenRed;
        lines.speed = 3;
        view.refresh();
        if (view.writePNG(prefix + QStringLiteral("-w-") + sample.suffix + QStringLiteral(".png")))
            ++written;
    }
    return written;
}

} // namespace Snapshots
