#pragma once

#include "led/Grid.h"
#include "types/LedBitmap.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace LedTestUtil {

/** One string per row, one character per cell: '.' for off, else the kind's raw value. */
inline QStringList picture(const std::vector<std::uint8_t> &cells, std::int64_t w, std::int64_t h)
{
    QStringList rows;
    for (std::int64_t y = 0; y < h; ++y) {
        QString row;
        for (std::int64_t x = 0; x < w; ++x) {
            const std::uint8_t v = cells[static_cast<std::size_t>(x + y * w)];
            row.append(v == 0 ? QChar(u'.') : QChar(u'0' + v));
        }
        rows.append(row);
    }
    return rows;
}

inline QStringList picture(const Grid &grid)
{
    return picture(grid.cells(), grid.w(), grid.h());
}

inline QStringList picture(const LedBitmap &bitmap)
{
    return picture(bitmap.cells, bitmap.w, bitmap.h);
}

/** Lit columns of a kind (or of any kind when raw is 0): first and last, -1 when none. */
struct Span
{
    std::int64_t first = -1;
    std::int64_t last = -1;
};

inline Span columnsOf(const std::vector<std::uint8_t> &cells, std::int64_t w, std::int64_t h, std::uint8_t raw)
{
    Span span;
    for (std::int64_t x = 0; x < w; ++x) {
        for (std::int64_t y = 0; y < h; ++y) {
            const std::uint8_t v = cells[static_cast<std::size_t>(x + y * w)];
            if (raw == 0 ? v != 0 : v == raw) {
                if (span.first < 0)
                    span.first = x;
                span.last = x;
                break;
            }
        }
    }
    return span;
}

inline int litCount(const std::vector<std::uint8_t> &cells)
{
    int n = 0;
    for (const std::uint8_t v : cells)
        n += v != 0;
    return n;
}

} // namespace LedTestUtil
