#pragma once

#include <cstddef>

namespace ProcessMemory {

/**
 * Blocks at least this large get pages of their own, returned to the system when freed.
 * The band's tile images (hundreds of kilobytes each, tens of megabytes per line) come and
 * go with every new news line; below this size the allocator's heap serves as usual.
 */
inline constexpr std::size_t largeBlock = 256 * 1024;

/**
 * Makes the C allocator give large blocks back when they are freed. By default glibc raises
 * its threshold for mapping blocks after the first large free, so later tiles come from the
 * heap and a freed line stays resident. Call once, early in main(); does nothing where the
 * C library has no such setting.
 */
void returnLargeBlocks();

} // namespace ProcessMemory
