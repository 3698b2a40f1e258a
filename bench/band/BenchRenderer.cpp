// Renderer::image for one full-width tile against a plain copy of the same bytes.
#include "band/Renderer.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int cell = 10;
constexpr int columns = 2048 / cell; // one tile: 204 columns, 2040 pixels

LedBitmap sampleLine()
{
    // One line of mixed kinds, lit and unlit, like a quotes line.
    LedBitmap bitmap;
    bitmap.w = 1500;
    bitmap.h = 11;
    bitmap.cells.resize(static_cast<std::size_t>(bitmap.w * bitmap.h));
    std::mt19937 random(7);
    std::uniform_int_distribution<int> kind(0, 7);
    for (auto &c : bitmap.cells)
        c = static_cast<std::uint8_t>(random() % 3 == 0 ? kind(random) : 0);
    return bitmap;
}

std::int64_t tileBytes(const LedBitmap &bitmap)
{
    return std::int64_t(columns) * cell * bitmap.h * cell * 4;
}

void BM_RendererImage(benchmark::State &state)
{
    const LedBitmap bitmap = sampleLine();
    const Renderer::Stamps stamps = Renderer::stamps(cell, ColorTheme::greenRed);
    std::int64_t first = 0;
    for (auto _ : state) {
        QImage image = Renderer::image(bitmap, first, columns, cell, stamps);
        benchmark::DoNotOptimize(image.constBits());
        first = (first + columns) % bitmap.w;
    }
    state.SetBytesProcessed(state.iterations() * tileBytes(bitmap));
}
BENCHMARK(BM_RendererImage);

void BM_MemcpySameBytes(benchmark::State &state)
{
    const LedBitmap bitmap = sampleLine();
    const auto bytes = static_cast<std::size_t>(tileBytes(bitmap));
    std::vector<unsigned char> source(bytes, 0x2a);
    for (auto _ : state) {
        // A fresh destination each time, as the renderer allocates each image.
        std::unique_ptr<unsigned char[]> destination(new unsigned char[bytes]);
        std::memcpy(destination.get(), source.data(), bytes);
        benchmark::DoNotOptimize(destination.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_MemcpySameBytes);

void BM_Stamps(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Renderer::stamps(cell, ColorTheme::greenRed));
}
BENCHMARK(BM_Stamps);

} // namespace

BENCHMARK_MAIN();
