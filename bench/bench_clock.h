// The Windows benchmarks' clock and the figures they print of repeated rounds.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

// Milliseconds of the performance counter.
inline double NowMilliseconds() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double Best(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }
