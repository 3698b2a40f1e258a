#pragma once

#include "data/Quote.h"
#include "led/LedBitmap.h"
#include "line/LineSpan.h"
#include "news/Headline.h"
#include "settings/SettingsEnums.h"

#include <QList>
#include <QString>

/**
 * Turns what the band shows into LED bitmaps: the quotes line and the news line. Each bitmap
 * is one loop of the scrolling text and ends with its own spacing and separator, so the view
 * can repeat it end to end. Stateless; call on the main thread (the HD font draws with Qt).
 */
namespace LedBuilder {

/** One line's bitmap and where each of its items lies in it, in order and without overlap. */
struct Line
{
    LedBitmap bitmap;
    QList<LineSpan> spans;
};

/** LED rows of the whole band: the font's line height, doubled for the thick variant. */
int rows(FontStyle style, BarVariant variant);

/** The quotes line: name, optional weather icon, price and change of every quote. */
LedBitmap build(const QList<Quote> &quotes, FontStyle style, BarVariant variant);
/**
 * The same line with its spans. The quotes whose entry in `stale` is true are drawn in the
 * stale variant of their kinds (see Kind.h); a missing entry counts as false.
 */
Line buildLine(const QList<Quote> &quotes, FontStyle style, const QList<bool> &stale = {});

/** The news line: source and title of every headline, or `message` when there is none. */
LedBitmap buildNews(const QList<Headline> &headlines, const QString &message, FontStyle style);
/** The same line with its spans. */
Line buildNewsLine(const QList<Headline> &headlines, const QString &message, FontStyle style);

/**
 * Replaces typographic characters by plain ones; unless `hd`, also folds accents, upper-cases
 * and drops every character the pixel font cannot show.
 */
QString sanitize(const QString &text, bool hd);

} // namespace LedBuilder
