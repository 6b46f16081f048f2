// Benchmark helpers: finding the other programs a benchmark runs, and running one with what it cost.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolven::bench {

// The path of a program in the usual system folders; empty when there is none.
std::string FindTool(const char* name);

// What one run of a program cost. The byte and call counts are the child's rchar, syscr, wchar
// and syscw (/proc/PID/io): everything it read and wrote, its terminal output included.
struct ChildRun {
    bool ok = false;  // exited with status 0
    double seconds = 0;
    long peakRssKiB = 0;
    uint64_t bytesRead = 0;
    uint64_t readCalls = 0;
    uint64_t bytesWritten = 0;
    uint64_t writeCalls = 0;
};

// Runs `argv` (argv[0] a path) with no input and no output; `syncPath`, when given, is fsynced
// before the clock stops (for tools that leave their writes in the page cache).
ChildRun RunQuietly(const std::vector<std::string>& argv, const std::string& syncPath = {});

}  // namespace tolven::bench
