// Linux host, terminal: what a run cost, for --stats: wall time, peak memory, and the bytes the
// process wrote (from /proc/self/io).
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tolven::linux_host {

struct RunStatistics {
    double seconds = 0;
    uint64_t peakResidentKiB = 0;  // getrusage's maximum resident set size
    uint64_t bytesWritten = 0;     // wchar: bytes handed to write calls (the terminal's output too)
    uint64_t bytesToStorage = 0;   // write_bytes: bytes sent towards the storage layer
};

RunStatistics MeasureRun(std::chrono::steady_clock::time_point start);
std::string FormatRunStatistics(const RunStatistics& statistics);

}  // namespace tolven::linux_host
