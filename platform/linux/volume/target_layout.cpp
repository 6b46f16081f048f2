// Linux host: choosing the volume on a target from its partition table, or refusing the target.
#include "platform/linux/volume/target_layout.h"

#include <algorithm>

#include "platform/linux/volume/image_layout.h"
#include "platform/linux/volume/posix_file.h"

namespace tolven::linux_host {

namespace {

constexpr uint8_t kGptProtectiveType = 0xEE;

constexpr char kRepartition[] = "repartition the disk, or name the partition itself";

TargetLayout Refused(std::string reason) {
    TargetLayout layout;
    layout.kind = TargetLayoutKind::kRefused;
    layout.refusal = std::move(reason);
    return layout;
}

// The probe reads a protective MBR whose GUID headers are both damaged as nothing at all; its
// entry still says that the disk is partitioned.
bool HasProtectiveEntry(std::span<const std::byte> sector0) {
    if (sector0.size() < kImageSectorSize || std::to_integer<uint8_t>(sector0[510]) != 0x55 ||
        std::to_integer<uint8_t>(sector0[511]) != 0xAA) {
        return false;
    }
    for (int i = 0; i < kMbrEntryCount; ++i) {
        if (ReadMbrEntry(sector0, i).type == kGptProtectiveType) {
            return true;
        }
    }
    return false;
}

// A volume's boot sector also ends in 0x55AA, and its boot code may look like table entries.
bool HoldsVolume(const DiskProbe& probe) {
    return std::any_of(probe.signatures.begin(), probe.signatures.end(), [](const ProbedSignature& s) {
        return s.type == "vfat" || s.type == "ntfs" || s.type == "exfat";
    });
}

std::string Number(uint64_t value) {
    return std::to_string(value);
}

}  // namespace

std::string EmptyFirstPartition(uint64_t used) {
    return "partition 1 is empty; partition " + Number(used) + " holds data: " + kRepartition;
}

TargetLayout DecideTargetLayout(const DiskProbe& probe, std::span<const std::byte> sector0,
                                uint64_t diskSectors) {
    if (HoldsVolume(probe)) {
        return {};
    }
    if (probe.tableType.empty()) {
        if (probe.signatures.empty() && HasProtectiveEntry(sector0)) {
            return Refused(
                "holds the protective MBR of a GUID (GPT) partition table whose headers are "
                "damaged: repair the table, or " +
                std::string(kRepartition));
        }
        return {};
    }
    const std::string table = "holds " + DescribeTableType(probe.tableType);
    if (probe.tableType != "dos") {
        return Refused(table +
                       ", and only the first partition of an MBR table is formatted: " + kRepartition);
    }
    const auto first = std::find_if(probe.partitions.begin(), probe.partitions.end(),
                                    [](const ProbedPartition& p) { return p.number == 1; });
    if (first == probe.partitions.end()) {
        if (probe.partitions.empty()) {
            // Only the signature and empty entries (a damaged boot sector reads so): nothing on
            // the disk is described, so nothing is formatted over.
            return {};
        }
        return Refused(table + "; " + EmptyFirstPartition(probe.partitions.front().number));
    }
    const ProbedPartition& p = *first;
    const std::string damaged = table + " that is damaged: partition 1 ";
    if (p.extended) {
        return Refused(table + " whose partition 1 is an extended partition: " + std::string(kRepartition));
    }
    if (p.start == 0) {
        return Refused(damaged + "starts at sector 0, over the table itself: " + kRepartition);
    }
    if (p.start >= diskSectors) {
        return Refused(damaged + "starts at sector " + Number(p.start) + ", beyond the end of the disk (" +
                       Number(diskSectors) + " sectors): " + kRepartition);
    }
    if (p.size > diskSectors - p.start) {
        return Refused(damaged + "runs past the end of the disk (to sector " + Number(p.start + p.size) +
                       " of " + Number(diskSectors) + "): " + kRepartition);
    }
    TargetLayout layout;
    layout.kind = TargetLayoutKind::kFirstPartition;
    layout.partition = p;
    return layout;
}

int ProbeTargetLayout(int fd, uint64_t length, TargetLayout& layout) {
    DiskProbe probe;
    if (const int error = ProbeDisk(fd, probe)) {
        return error;
    }
    std::byte sector0[kImageSectorSize] = {};
    std::size_t got = 0;
    const ScopedBufferedIo buffered(fd);
    if (const int error = ReadFully(fd, sector0, sizeof sector0, 0, got)) {
        return error;
    }
    layout = DecideTargetLayout(probe, std::span<const std::byte>(sector0, got), length / kImageSectorSize);
    return 0;
}

}  // namespace tolven::linux_host
