#include "index_ranges.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "subtree_pool.h"
#include "win32/handles.h"

namespace {

struct Range {
    const IndexRangeWork* work;
    unsigned index;
    DWORD begin, end;
    std::exception_ptr failure;

    void Run() {
        try {
            (*work)(index, begin, end);
        } catch (...) {
            failure = std::current_exception();
        }
    }
};

DWORD WINAPI RangeThread(void* range) {
    static_cast<Range*>(range)->Run();
    return 0;
}

}  // namespace

void RunIndexRanges(DWORD count, unsigned ranges, const IndexRangeWork& work) {
    ranges = std::max(1u, ranges);
    if (count != 0) ranges = static_cast<unsigned>(std::min<DWORD>(ranges, count));
    std::vector<Range> parts(ranges);
    for (unsigned i = 0; i < ranges; ++i) {
        // Even shares, the first ranges one longer when count does not divide.
        const DWORD begin = static_cast<DWORD>(static_cast<unsigned long long>(count) * i / ranges);
        const DWORD end = static_cast<DWORD>(static_cast<unsigned long long>(count) * (i + 1) / ranges);
        parts[i] = Range{&work, i, begin, end, nullptr};
    }
    std::vector<KernelHandle> threads(ranges);
    for (unsigned i = 1; i < ranges; ++i)
        threads[i].Reset(CreateThread(nullptr, 0, RangeThread, &parts[i], 0, nullptr));
    parts[0].Run();
    for (unsigned i = 1; i < ranges; ++i) {
        if (threads[i].IsOpen())
            WaitForSingleObject(threads[i].Get(), INFINITE);
        else
            parts[i].Run();
    }
    for (const Range& part : parts)
        if (part.failure) std::rethrow_exception(part.failure);
}

unsigned IndexRangeCount(DWORD count, DWORD min_per_range) {
    const DWORD most = std::max<DWORD>(1, count / std::max<DWORD>(1, min_per_range));
    // Two threads per processor: a registry or file call waits on the system much of its time,
    // and under Wine on a single server process, so more threads than processors keep it busy.
    return static_cast<unsigned>(std::min<DWORD>(std::min(2 * WalkThreadCount(), 16u), most));
}
