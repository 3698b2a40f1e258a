// The line builder runs on the main thread on every change of the band; these measure one
// build of the default quotes line, a long watch list and a full news line, per font style.

#include "GuiBenchmarkMain.h"
#include "line/LedBuilder.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

Quote quote(const char *name, const char *price, std::optional<double> change,
            std::optional<WeatherIcon> icon = std::nullopt)
{
    Quote q;
    q.id = QUuid::createUuid();
    q.name = QString::fromUtf8(name);
    q.price = QString::fromUtf8(price);
    q.change = change;
    q.icon = icon;
    return q;
}

QList<Quote> defaultQuotes()
{
    return {
        quote("AAPL", "189.84", 0.62),
        quote("S&P500", "5 304.72", -0.21),
        quote("CAC40", "8 094.97", 0.48),
        quote("BTC", "67 512", -1.93),
        quote("CW8", "512.36", 0.17),
        quote("OR", "2 334.10", 0.05),
        quote("PARIS", "18°", std::nullopt, WeatherIcon::partly),
    };
}

QList<Quote> manyQuotes()
{
    const QList<Quote> base = defaultQuotes();
    QList<Quote> quotes;
    for (int i = 0; i < 60; ++i)
        quotes.append(base[i % base.size()]);
    return quotes;
}

QList<Headline> headlines()
{
    QList<Headline> list;
    for (int i = 0; i < 32; ++i) {
        list.append({QString::fromUtf8(i % 2 ? "Le Monde" : "France Info"),
                     QString::fromUtf8("Réforme des retraites : l’Assemblée adopte le texte en première lecture — "
                                       "les syndicats appellent à une nouvelle journée n°%1…")
                         .arg(i)});
    }
    return list;
}

void BM_BuildDefault(benchmark::State &state)
{
    const auto style = static_cast<FontStyle>(state.range(0));
    const QList<Quote> quotes = defaultQuotes();
    for (auto _ : state)
        benchmark::DoNotOptimize(LedBuilder::build(quotes, style, BarVariant::thin));
}

void BM_Build60(benchmark::State &state)
{
    const auto style = static_cast<FontStyle>(state.range(0));
    const QList<Quote> quotes = manyQuotes();
    for (auto _ : state)
        benchmark::DoNotOptimize(LedBuilder::build(quotes, style, BarVariant::thin));
}

void BM_BuildNews32(benchmark::State &state)
{
    const auto style = static_cast<FontStyle>(state.range(0));
    const QList<Headline> list = headlines();
    for (auto _ : state)
        benchmark::DoNotOptimize(LedBuilder::buildNews(list, QString(), style));
}

void styles(benchmark::internal::Benchmark *b)
{
    b->ArgName("style");
    b->Arg(static_cast<int>(FontStyle::pixelBold));
    b->Arg(static_cast<int>(FontStyle::pixel));
    b->Arg(static_cast<int>(FontStyle::hd));
    b->Unit(benchmark::kMicrosecond);
}

} // namespace

// style: 0 pixelBold, 1 pixel, 2 hd
BENCHMARK(BM_BuildDefault)->Apply(styles);
BENCHMARK(BM_Build60)->Apply(styles);
BENCHMARK(BM_BuildNews32)->Apply(styles);

int main(int argc, char **argv)
{
    return runGuiBenchmarks(argc, argv);
}
