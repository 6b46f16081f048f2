// Linux host, terminal: getrusage and /proc/self/io for --stats.
#include "platform/linux/terminal/run_statistics.h"

#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/linux/terminal/terminal_text.h"

namespace tolven::linux_host {

RunStatistics MeasureRun(std::chrono::steady_clock::time_point start) {
    RunStatistics statistics;
    statistics.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    struct rusage usage {};
    if (::getrusage(RUSAGE_SELF, &usage) == 0) {
        statistics.peakResidentKiB = static_cast<uint64_t>(usage.ru_maxrss);  // KiB on Linux
    }
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "wchar:") {
            statistics.bytesWritten = value;
        } else if (key == "write_bytes:") {
            statistics.bytesToStorage = value;
        }
    }
    return statistics;
}

std::string FormatRunStatistics(const RunStatistics& statistics) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", statistics.seconds);
    return std::string("time ") + seconds + " s, peak memory " + GroupedDecimal(statistics.peakResidentKiB) +
           " KiB, written " + GroupedDecimal(statistics.bytesWritten) + " bytes (" +
           GroupedDecimal(statistics.bytesToStorage) + " bytes to storage)";
}

}  // namespace tolven::linux_host
