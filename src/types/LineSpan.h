#pragma once

#include <QList>

#include <cstdint>

/**
 * The loop columns [start, end) of one line's bitmap that show one item: a quote with its
 * trailing dot, a feed's name, or a title with the gap and dot that follow it.
 */
struct LineSpan
{
    enum class Part { quote, source, title, message };

    std::int64_t start = 0;
    std::int64_t end = 0;
    Part part = Part::quote;
    int index = 0; ///< the quote or headline it shows, in the list the line was built from

    friend bool operator==(const LineSpan &, const LineSpan &) = default;
};
