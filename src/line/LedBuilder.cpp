#include "line/LedBuilder.h"

#include "led/Grid.h"
#include "led/HDFont.h"
#include "led/PixelFont.h"
#include "led/TextFold.h"
#include "led/WeatherIconArt.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The fonts are small stateless values: make the one the style asks for and hand it on.
template<typename F> decltype(auto) withFont(FontStyle style, F &&f)
{
    switch (style) {
    case FontStyle::hd: {
        const HDFont font;
        return f(static_cast<const LedFont &>(font));
    }
    case FontStyle::pixel: {
        const PixelFont font(false);
        return f(static_cast<const LedFont &>(font));
    }
    case FontStyle::pixelBold:
        break;
    }
    const PixelFont font(true);
    return f(static_cast<const LedFont &>(font));
}

// Columns after each quote: ten blank, the two-column dot, six blank before the next name.
constexpr int kItemTrail = LedBuilder::quoteTrailColumns;
// After a title: twelve blank, the dot, ten blank. After the placeholder: sixty blank.
constexpr int kTitleTrail = 24;
constexpr int kMessageTrail = 60;

struct Item
{
    const Quote *q = nullptr;
    QString name;
    QString price;
    QString pc;
    Kind kind = Kind::name;
    int mn = 0;
    int mp = 0;
    int mc = 0;
    std::int64_t w = 0;
};

struct Seg
{
    QString text;
    Kind kind = Kind::name;
    std::int64_t w = 0;
    int trail = 0;
    LineSpan::Part part = LineSpan::Part::message;
    int index = 0;
};

void changeText(const Quote &quote, QString &pc, Kind &kind)
{
    // A change that is not a number has nothing meaningful to show: treat it as absent.
    if (!quote.change || !std::isfinite(*quote.change)) {
        pc.clear();
        kind = Kind::name;
        return;
    }
    const double change = *quote.change;
    const bool down = change < 0;
    kind = down ? Kind::down : Kind::up;
    pc = (down ? QStringLiteral("\u25BC") : QStringLiteral("\u25B2")) + QString::asprintf("%.2f%%", std::abs(change));
}

void drawDot(Grid &grid, std::int64_t column, int hThin)
{
    const int row = hThin / 2;
    for (int dy = 0; dy < 2; ++dy) {
        grid.set(column, row + dy, Kind::dim);
        grid.set(column + 1, row + dy, Kind::dim);
    }
}

// Turns the lit cells of columns [from, to) into their stale variants.
void markStale(Grid &grid, std::int64_t from, std::int64_t to)
{
    for (std::int64_t y = 0; y < grid.h(); ++y) {
        for (std::int64_t x = std::max<std::int64_t>(from, 0); x < std::min(to, grid.w()); ++x)
            grid.set(x, y, static_cast<Kind>(staleRaw(grid.at(x, y))));
    }
}

LedBuilder::Line buildQuotes(const QList<Quote> &quotes, const LedFont &font, const QList<bool> &stale)
{
    const int gap = font.gap();
    const int hThin = font.hThin();
    const int iconSize = hThin - 2;
    const std::int64_t maxColumns = LedBuilder::maxLineCells / hThin;

    QList<Item> items;
    items.reserve(quotes.size());
    std::int64_t total = 0;
    for (const Quote &quote : quotes) {
        Item item;
        item.q = &quote;
        item.name = Headline::shortened(quote.name, LedBuilder::maxNameLength);
        item.price = Headline::shortened(quote.price, LedBuilder::maxNameLength);
        changeText(quote, item.pc, item.kind);
        item.mn = font.width(item.name, false);
        item.mp = font.width(item.price, false);
        item.mc = item.pc.isEmpty() ? 0 : font.width(item.pc, false);
        item.w = std::int64_t(item.mn) + gap;
        if (quote.icon)
            item.w += iconSize + gap;
        item.w += item.mp;
        if (item.mc > 0)
            item.w += gap + item.mc;
        item.w += kItemTrail;
        // The items that would make the line too long are left out, whole.
        if (total + item.w > maxColumns)
            break;
        total += item.w;
        items.append(std::move(item));
    }

    LedBuilder::Line line;
    line.spans.reserve(items.size());
    Grid grid(std::max<std::int64_t>(total, 1), hThin);
    const int y = font.yThin();
    std::int64_t x = 0;
    for (const Item &item : std::as_const(items)) {
        const Quote &quote = *item.q;
        const auto index = static_cast<int>(line.spans.size());
        line.spans.append(LineSpan{x, x + item.w, LineSpan::Part::quote, index});
        font.draw(grid, item.name, static_cast<int>(x), y, Kind::name, false);
        std::int64_t p = x + item.mn + gap;
        if (quote.icon) {
            drawWeatherIcon(*quote.icon, grid, static_cast<int>(p), 1, iconSize);
            p += iconSize + gap;
        }
        font.draw(grid, item.price, static_cast<int>(p), y, Kind::name, false);
        if (!item.pc.isEmpty())
            font.draw(grid, item.pc, static_cast<int>(p + item.mp + gap), y, item.kind, false);
        x += item.w;
        drawDot(grid, x - 8, hThin);
        if (stale.value(index))
            markStale(grid, x - item.w, x);
    }
    line.bitmap = grid.takeBitmap();
    return line;
}

// Copies `picture`'s first `columns` columns into `cells` (a line `lineW` wide, as many rows as
// the picture) from column `x` on.
void paste(std::vector<std::uint8_t> &cells, std::int64_t lineW, std::int64_t x, const LedBitmap &picture,
           std::int64_t columns)
{
    const std::int64_t n = std::min({columns, picture.w, lineW - x});
    if (n <= 0)
        return;
    for (std::int64_t y = 0; y < picture.h; ++y) {
        const auto from = picture.cells.begin() + static_cast<std::ptrdiff_t>(y * picture.w);
        std::copy(from, from + static_cast<std::ptrdiff_t>(n),
                  cells.begin() + static_cast<std::ptrdiff_t>(x + y * lineW));
    }
}

LedBuilder::Line buildNews(const QList<Headline> &headlines, const QString &message, const LedFont &font, bool hd,
                           FontStyle style, ItemPictures &pictures)
{
    const int gap = font.gap();
    const int hThin = font.hThin();
    const std::int64_t maxColumns = LedBuilder::maxLineCells / hThin;

    QList<Seg> segs;
    std::int64_t total = 0;
    const auto seg = [&](const QString &raw, Kind kind, int trail, LineSpan::Part part, int index) {
        Seg seg;
        seg.text = LedBuilder::sanitize(raw, hd);
        seg.kind = kind;
        seg.w = std::int64_t(font.width(seg.text, false)) + trail;
        seg.trail = trail;
        seg.part = part;
        seg.index = index;
        return seg;
    };
    // Titles are cut here too, before they are measured: callers need not have done it.
    const qsizetype count = std::min(headlines.size(), LedBuilder::maxNewsHeadlines);
    segs.reserve(count * 2);
    for (qsizetype i = 0; i < count; ++i) {
        const Headline &headline = headlines.at(i);
        const auto index = static_cast<int>(i);
        Seg source = seg(Headline::shortened(headline.source, Headline::maxSourceLength), Kind::sun, 2 * gap,
                         LineSpan::Part::source, index);
        Seg title = seg(Headline::shortened(headline.title, Headline::maxTitleLength), Kind::name, kTitleTrail,
                        LineSpan::Part::title, index);
        // A headline that would make the line too long is left out, with all that follow.
        if (total + source.w + title.w > maxColumns)
            break;
        total += source.w + title.w;
        segs.append(std::move(source));
        segs.append(std::move(title));
    }
    if (segs.isEmpty()) {
        segs.append(seg(message, Kind::dim, kMessageTrail, LineSpan::Part::message, 0));
        total = segs.first().w;
    }

    // Each item is drawn on its own and its cells copied into place: the fonts never draw
    // outside an item's measured width, so the line is the same as one drawn in one piece,
    // and an item shown by the last build is copied from its kept picture, not drawn again.
    LedBuilder::Line line;
    line.spans.reserve(segs.size());
    const std::int64_t lineW = std::max<std::int64_t>(total, 1);
    std::vector<std::uint8_t> cells(static_cast<std::size_t>(lineW * hThin), 0);
    const int y = font.yThin();
    std::int64_t x = 0;
    pictures.begin();
    for (const Seg &seg : std::as_const(segs)) {
        const ItemPictures::Key key{seg.text, seg.kind, style, seg.trail};
        const LedBitmap &picture = pictures.picture(key, hThin, [&] {
            Grid grid(seg.w, hThin);
            font.draw(grid, seg.text, 0, y, seg.kind, false);
            if (seg.kind == Kind::name)
                drawDot(grid, seg.w - 12, hThin);
            return grid.takeBitmap();
        });
        paste(cells, lineW, x, picture, seg.w);
        const std::int64_t e = x + seg.w;
        line.spans.append(LineSpan{x, e, seg.part, seg.index});
        x = e;
    }
    pictures.end();
    line.bitmap = LedBitmap{lineW, hThin, std::move(cells)};
    return line;
}

} // namespace

namespace LedBuilder {

int rows(FontStyle style, BarVariant variant)
{
    const int hThin = withFont(style, [](const LedFont &font) { return font.hThin(); });
    return variant == BarVariant::thick ? 2 * hThin : hThin;
}

LedBitmap build(const QList<Quote> &quotes, FontStyle style, BarVariant)
{
    // The variant only decides whether a news line follows; the quotes line is always one line.
    return buildLine(quotes, style).bitmap;
}

Line buildLine(const QList<Quote> &quotes, FontStyle style, const QList<bool> &stale)
{
    return withFont(style, [&](const LedFont &font) { return buildQuotes(quotes, font, stale); });
}

LedBitmap buildNews(const QList<Headline> &headlines, const QString &message, FontStyle style)
{
    return buildNewsLine(headlines, message, style).bitmap;
}

Line buildNewsLine(const QList<Headline> &headlines, const QString &message, FontStyle style)
{
    ItemPictures pictures;
    return buildNewsLine(headlines, message, style, pictures);
}

Line buildNewsLine(const QList<Headline> &headlines, const QString &message, FontStyle style, ItemPictures &pictures)
{
    const bool hd = style == FontStyle::hd;
    return withFont(style,
                    [&](const LedFont &font) { return ::buildNews(headlines, message, font, hd, style, pictures); });
}

QString sanitize(const QString &text, bool hd)
{
    QString s = text;
    s.replace(u'\u0153', QLatin1String("oe"));
    s.replace(u'\u0152', QLatin1String("OE"));
    s.replace(u'\u00E6', QLatin1String("ae"));
    s.replace(u'\u2019', u'\'');
    s.replace(u'\u2018', u'\'');
    s.replace(u'\u201C', u'"');
    s.replace(u'\u201D', u'"');
    s.replace(u'\u00AB', u'"');
    s.replace(u'\u00BB', u'"');
    s.replace(u'\u2013', u'-');
    s.replace(u'\u2014', u'-');
    s.replace(u'\u2026', QLatin1String("..."));
    s.replace(u'\u00A0', u' ');
    s.replace(u'\u202F', u' ');
    if (hd)
        return s;

    QString kept;
    const QString prepared = TextFold::foldUpper(s);
    kept.reserve(prepared.size());
    TextFold::forEachGrapheme(prepared, [&](QStringView character) {
        if (PixelFont::glyph(character))
            kept.append(character);
    });
    return kept;
}

} // namespace LedBuilder
