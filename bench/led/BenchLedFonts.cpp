// The building blocks of a line: one text run in each font and one weather icon.

#include "GuiBenchmarkMain.h"
#include "led/Grid.h"
#include "led/HDFont.h"
#include "led/PixelFont.h"
#include "led/WeatherIconArt.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

const QString kAscii = QStringLiteral("S&P500 5 304.72");
const QString kAccented = QString::fromUtf8("Réforme : l'Assemblée adopte le texte");

void BM_PixelDraw(benchmark::State &state)
{
    const PixelFont font(true);
    const QString &text = state.range(0) ? kAccented : kAscii;
    Grid grid(400, 11);
    for (auto _ : state) {
        font.draw(grid, text, 0, 2, Kind::name);
        benchmark::DoNotOptimize(grid.cells().data());
    }
}

void BM_HDDraw(benchmark::State &state)
{
    const HDFont font;
    const QString &text = state.range(0) ? kAccented : kAscii;
    Grid grid(400, 18);
    for (auto _ : state) {
        font.draw(grid, text, 0, 1, Kind::name);
        benchmark::DoNotOptimize(grid.cells().data());
    }
}

void BM_HDWidth(benchmark::State &state)
{
    const HDFont font;
    for (auto _ : state)
        benchmark::DoNotOptimize(font.width(kAscii));
}

void BM_Icon(benchmark::State &state)
{
    const int size = static_cast<int>(state.range(0));
    Grid grid(size, size);
    for (auto _ : state) {
        drawWeatherIcon(WeatherIcon::thunder, grid, 0, 0, size);
        benchmark::DoNotOptimize(grid.cells().data());
    }
}

} // namespace

// accented: 0 ASCII text, 1 text with accents (folding and grapheme analysis)
BENCHMARK(BM_PixelDraw)->ArgName("accented")->Arg(0)->Arg(1);
BENCHMARK(BM_HDDraw)->ArgName("accented")->Arg(0)->Arg(1);
BENCHMARK(BM_HDWidth);
BENCHMARK(BM_Icon)->ArgName("size")->Arg(9)->Arg(16);

int main(int argc, char **argv)
{
    return runGuiBenchmarks(argc, argv);
}
