// Benchmark helpers: a format on a loop device (losetup) against dd writing the same bytes to one,
// the device's physical limit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bench/child_process.h"

namespace tolven::bench {

// `runs` runs of `format` and as many of dd, alternating so that both meet the same machine, each
// on a loop device over a fresh sparse image of `size` bytes in `folder`. `format` formats the
// device it is given and returns the bytes it wrote; the dd run after it writes as many zeros
// (rounded up to 64 KiB) in 64 KiB direct writes and flushes them. Returns the dd runs; none, after
// saying so on stdout, when a loop device could not be set up (needs root).
std::vector<ChildRun> FormatAgainstDdOnLoopDevices(
    const std::string& folder, uint64_t size, int runs,
    const std::function<uint64_t(const std::string& device)>& format);

}  // namespace tolven::bench
