// Runs one piece of work over the indexes [0, count) split into contiguous ranges, each range on
// a thread of its own (the calling thread takes the first). The caller keeps each range's
// results apart and reads them in range order, so the outcome is that of one pass in index
// order.
#pragma once

#include <windows.h>

#include <functional>

using IndexRangeWork = std::function<void(unsigned range, DWORD begin, DWORD end)>;

// ranges: how many ranges (at least one; never more than count when count is not 0). Returns
// once every range is done. An exception raised in any range is raised here after all have
// stopped (the first range's first). A thread that cannot be started leaves its range to the
// calling thread.
void RunIndexRanges(DWORD count, unsigned ranges, const IndexRangeWork& work);

// How many ranges a walk over count items gets: two per processor (at most 16), but none with
// fewer than min_per_range items, and at least one.
unsigned IndexRangeCount(DWORD count, DWORD min_per_range);
