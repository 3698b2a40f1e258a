#pragma once

#include "line/ItemPictures.h"
#include "types/Headline.h"
#include "types/LedBitmap.h"
#include "types/LineSpan.h"
#include "types/Quote.h"
#include "types/SettingsEnums.h"

#include <QList>
#include <QString>

#include <cstdint>

/**
 * Turns what the band shows into LED bitmaps: the quotes line and the news line. Each bitmap
 * is one loop of the scrolling text and ends with its own spacing and separator, so the view
 * can repeat it end to end. Stateless; safe on any thread of a QGuiApplication (the HD font
 * draws with Qt's fonts, set up once per thread).
 */
namespace LedBuilder {

/** One line's bitmap and where each of its items lies in it, in order and without overlap. */
struct Line
{
    LedBitmap bitmap;
    QList<LineSpan> spans;
};

/**
 * Most LEDs (columns × rows) of one line. The view renders the whole loop into tiles, and a
 * new line is rendered while the old one still shows, so this bounds their memory whatever
 * the feeds or the record hold: 4 bytes per device pixel, about 26 MB per line at the default
 * LED size. That is some 14,500 columns in the HD font (eleven minutes of scrolling at the
 * default speed) and 23,800 in the pixel fonts.
 */
inline constexpr std::int64_t maxLineCells = 256 * 1024;
/** Most headlines drawn on the news line: the interleaving puts the first of every feed first. */
inline constexpr qsizetype maxNewsHeadlines = 64;
/** Most characters of an item's name on the quotes line. */
inline constexpr qsizetype maxNameLength = 60;
/** Columns at the end of each quote's span: ten blank, the two-column dot, six blank. */
inline constexpr int quoteTrailColumns = 18;

/** LED rows of the whole band: the font's line height, doubled for the thick variant. */
int rows(FontStyle style, BarVariant variant);

/**
 * The quotes line: name, optional weather icon, price and change of every quote, as many as
 * fit in maxLineCells.
 */
LedBitmap build(const QList<Quote> &quotes, FontStyle style, BarVariant variant);
/**
 * The same line with its spans. The quotes whose entry in `stale` is true are drawn in the
 * stale variant of their kinds (see Kind.h); a missing entry counts as false.
 */
Line buildLine(const QList<Quote> &quotes, FontStyle style, const QList<bool> &stale = {});

/**
 * The news line: source and title of the headlines (titles cut to Headline::maxTitleLength,
 * at most maxNewsHeadlines of them and as many as fit in maxLineCells), or `message`
 * when there is none.
 */
LedBitmap buildNews(const QList<Headline> &headlines, const QString &message, FontStyle style);
/** The same line with its spans. */
Line buildNewsLine(const QList<Headline> &headlines, const QString &message, FontStyle style);
/**
 * The same line, drawing only the items `pictures` does not hold from its last build and
 * keeping only this line's pictures there afterwards. Gives the same cells as a fresh build.
 */
Line buildNewsLine(const QList<Headline> &headlines, const QString &message, FontStyle style, ItemPictures &pictures);

/**
 * Replaces typographic characters by plain ones; unless `hd`, also folds accents, upper-cases
 * and drops every character the pixel font cannot show.
 */
QString sanitize(const QString &text, bool hd);

} // namespace LedBuilder
