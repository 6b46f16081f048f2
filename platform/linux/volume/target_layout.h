// Linux host: where the volume lies on a target, decided from what the disk probe found. A file
// system (or nothing at all) at sector 0 makes the whole target the volume; a sane MBR gives its
// first primary partition; every other partition table is refused, with a reason that names the
// table and says what to do, so that no table is ever formatted over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/linux/volume/disk_probe.h"

namespace tolven::linux_host {

enum class TargetLayoutKind {
    kBareVolume,      // the whole target is the volume
    kFirstPartition,  // the first primary partition of an MBR is the volume
    kRefused,         // a partition table that must not be formatted over
};

struct TargetLayout {
    TargetLayoutKind kind = TargetLayoutKind::kBareVolume;
    ProbedPartition partition;  // for kFirstPartition
    std::string refusal;        // for kRefused: "holds ...: what to do", to follow the target's name
};

// The refusal of a table whose partition 1 is empty while partition `used` holds data.
std::string EmptyFirstPartition(uint64_t used);

// `sector0`: the target's first bytes (up to 512), `diskSectors`: its length in 512-byte units.
TargetLayout DecideTargetLayout(const DiskProbe& probe, std::span<const std::byte> sector0,
                                uint64_t diskSectors);

// Probes the open descriptor of a target of `length` bytes and decides. Returns 0 or errno.
int ProbeTargetLayout(int fd, uint64_t length, TargetLayout& layout);

}  // namespace tolven::linux_host
