// Benchmark helpers: loop devices over image files (losetup), and dd writing zeros to a device,
// for comparing with the physical limit of a block device.
#pragma once

#include <cstdint>
#include <string>

namespace tolven::bench {

// The path of a program in the usual system folders; empty when there is none.
std::string FindTool(const char* name);

// "/dev/loopN" over `image`, or empty when loop devices cannot be set up here (needs root).
std::string AttachLoop(const std::string& image);
void DetachLoop(const std::string& device);

// Seconds dd takes to write `bytes` zeros (rounded up to 64 KiB) to `device` in 64 KiB direct
// writes and flush them; negative when it failed.
double TimeDdZeros(const std::string& device, uint64_t bytes);

}  // namespace tolven::bench
