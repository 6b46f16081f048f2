// Linux host: what a disk or image holds, as the Linux disk tools see it: its partition table with
// the partitions, and every file-system signature found at its start. A thin layer over libblkid,
// so that the decision "volume or table" is the one the rest of the system makes too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolven::linux_host {

struct ProbedPartition {
    int number = 0;        // as the kernel would name it (1..4 primary, 5.. logical)
    uint64_t start = 0;    // first sector, in 512-byte units from the start of the disk
    uint64_t size = 0;     // in 512-byte units
    unsigned type = 0;     // the MBR type byte; 0 for a GUID table
    std::string typeName;  // the GUID of a GUID table's partition type; empty for an MBR
    bool extended = false;
    bool logical = false;
};

struct ProbedSignature {
    std::string type;  // "vfat", "ntfs", "exfat", "ext4", ...
    std::string label;
    std::string uuid;
    uint64_t offset = 0;  // bytes from the start of what was probed, when the prober tells it
};

struct DiskProbe {
    std::string tableType;  // "dos", "gpt", ...; empty when there is no partition table
    std::vector<ProbedPartition> partitions;
    std::vector<ProbedSignature> signatures;
};

// Probes the open descriptor (read only; its file offset is left alone) over its whole length. A
// descriptor opened with O_DIRECT is probed with O_DIRECT switched off for the while. Returns 0,
// or an errno (ENOMEM, EIO) when the probe itself could not run.
int ProbeDisk(int fd, DiskProbe& probe);

// Switches O_DIRECT off on a descriptor for its lifetime: the probe reads at any alignment.
class ScopedBufferedIo {
  public:
    explicit ScopedBufferedIo(int fd);
    ~ScopedBufferedIo();
    ScopedBufferedIo(const ScopedBufferedIo&) = delete;
    ScopedBufferedIo& operator=(const ScopedBufferedIo&) = delete;

  private:
    int fd_;
    int flags_;
};

// The probe's text for messages: "an MBR (DOS) partition table", "a GUID (GPT) partition table".
std::string DescribeTableType(const std::string& tableType);

}  // namespace tolven::linux_host
