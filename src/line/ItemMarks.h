#pragma once

#include "types/LedBitmap.h"
#include "types/LineSpan.h"
#include "types/Quote.h"

#include <QList>
#include <QUuid>

/**
 * Marks single items of a built quotes line, in its cells, so every surface shows the marks
 * with the tiles it already draws and no frame does any work for them: an item whose alert
 * fired is drawn inverted (its lit LEDs dark on a lit block) until the user has seen it, and a
 * value that just changed is drawn in the bright variants of its kinds.
 */
namespace ItemMarks {

/** Inverts columns [span.start, span.end) of `bitmap`: lit cells go dark, dark ones take the name's kind. */
void invert(LedBitmap &bitmap, const LineSpan &span);
/** Draws the live cells of columns [span.start, span.end) of `bitmap` in their bright variants. */
void brighten(LedBitmap &bitmap, const LineSpan &span);

/**
 * Marks each quote span of `spans` (indices into `quotes`) whose quote's id is in `alerting`
 * (inverted) or in `flashing` (bright), or both. Spans outside the bitmap are clipped.
 */
void mark(LedBitmap &bitmap, const QList<LineSpan> &spans, const QList<Quote> &quotes, const QList<QUuid> &alerting,
          const QList<QUuid> &flashing);

} // namespace ItemMarks
