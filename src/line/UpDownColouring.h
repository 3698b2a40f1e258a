#pragma once

#include "types/LedBitmap.h"
#include "types/UpDownColours.h"

/**
 * Gives a built line the up and down colours the user chose, in its cells: red-up swaps the
 * up and down kinds, blue/orange moves them to BlueOrangeRaw. Live, stale and bright cells
 * keep what they are; green/red leaves the line exactly as built.
 */
namespace UpDownColouring {

void apply(LedBitmap &bitmap, UpDownColours colours);

} // namespace UpDownColouring
