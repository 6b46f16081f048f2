// Linux host: partition tables and file-system signatures through libblkid.
#include "platform/linux/volume/disk_probe.h"

#include <blkid/blkid.h>
#include <fcntl.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <type_traits>

namespace tolven::linux_host {

namespace {

struct ProbeDeleter {
    void operator()(blkid_probe probe) const { blkid_free_probe(probe); }
};
using ProbePtr = std::unique_ptr<std::remove_pointer_t<blkid_probe>, ProbeDeleter>;

ProbePtr NewProbe(int fd) {
    ProbePtr probe(blkid_new_probe());
    if (probe && blkid_probe_set_device(probe.get(), fd, 0, 0) != 0) {
        probe.reset();
    }
    return probe;
}

std::string Value(blkid_probe probe, const char* name) {
    const char* data = nullptr;
    if (blkid_probe_lookup_value(probe, name, &data, nullptr) != 0 || data == nullptr) {
        return {};
    }
    return data;
}

// Every file-system signature, not only the first: a disk that holds two is ambiguous and
// must be described as such.
int ProbeSignatures(int fd, DiskProbe& result) {
    ProbePtr probe = NewProbe(fd);
    if (!probe) {
        return errno != 0 ? errno : ENOMEM;
    }
    blkid_probe_enable_superblocks(probe.get(), 1);
    blkid_probe_set_superblocks_flags(
        probe.get(), BLKID_SUBLKS_TYPE | BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID | BLKID_SUBLKS_MAGIC);
    blkid_probe_enable_partitions(probe.get(), 0);
    for (;;) {
        const int rc = blkid_do_probe(probe.get());
        if (rc == 1) {
            return 0;
        }
        if (rc < 0) {
            return EIO;
        }
        ProbedSignature signature;
        signature.type = Value(probe.get(), "TYPE");
        if (signature.type.empty()) {
            continue;  // a partition-table hint rather than a file system
        }
        signature.label = Value(probe.get(), "LABEL");
        signature.uuid = Value(probe.get(), "UUID");
        const std::string offset = Value(probe.get(), "SBMAGIC_OFFSET");
        if (!offset.empty()) {
            signature.offset = std::strtoull(offset.c_str(), nullptr, 10);
        }
        result.signatures.push_back(std::move(signature));
    }
}

int ProbePartitions(int fd, DiskProbe& result) {
    ProbePtr probe = NewProbe(fd);
    if (!probe) {
        return errno != 0 ? errno : ENOMEM;
    }
    blkid_probe_enable_superblocks(probe.get(), 0);
    blkid_probe_enable_partitions(probe.get(), 1);
    blkid_probe_set_partitions_flags(probe.get(), BLKID_PARTS_ENTRY_DETAILS);
    blkid_partlist list = blkid_probe_get_partitions(probe.get());
    if (list == nullptr) {
        return 0;  // no table (or nothing readable as one)
    }
    blkid_parttable table = blkid_partlist_get_table(list);
    if (table == nullptr) {
        return 0;
    }
    const char* type = blkid_parttable_get_type(table);
    result.tableType = type != nullptr ? type : "unknown";
    const int count = blkid_partlist_numof_partitions(list);
    for (int i = 0; i < count; ++i) {
        blkid_partition entry = blkid_partlist_get_partition(list, i);
        if (entry == nullptr) {
            continue;
        }
        ProbedPartition partition;
        partition.number = blkid_partition_get_partno(entry);
        partition.start = static_cast<uint64_t>(blkid_partition_get_start(entry));
        partition.size = static_cast<uint64_t>(blkid_partition_get_size(entry));
        partition.type = static_cast<unsigned>(blkid_partition_get_type(entry));
        const char* typeName = blkid_partition_get_type_string(entry);
        partition.typeName = typeName != nullptr ? typeName : "";
        partition.extended = blkid_partition_is_extended(entry) != 0;
        partition.logical = blkid_partition_is_logical(entry) != 0;
        result.partitions.push_back(std::move(partition));
    }
    return 0;
}

}  // namespace

ScopedBufferedIo::ScopedBufferedIo(int fd) : fd_(fd), flags_(::fcntl(fd, F_GETFL)) {
    if (flags_ != -1 && (flags_ & O_DIRECT) != 0) {
        ::fcntl(fd_, F_SETFL, flags_ & ~O_DIRECT);
    }
}

ScopedBufferedIo::~ScopedBufferedIo() {
    if (flags_ != -1 && (flags_ & O_DIRECT) != 0) {
        ::fcntl(fd_, F_SETFL, flags_);
    }
}

int ProbeDisk(int fd, DiskProbe& probe) {
    probe = DiskProbe{};
    const ScopedBufferedIo buffered(fd);
    errno = 0;
    if (const int error = ProbePartitions(fd, probe)) {
        return error;
    }
    return ProbeSignatures(fd, probe);
}

std::string DescribeTableType(const std::string& tableType) {
    if (tableType == "dos") {
        return "an MBR (DOS) partition table";
    }
    if (tableType == "gpt") {
        return "a GUID (GPT) partition table";
    }
    return "a partition table of type '" + tableType + "'";
}

}  // namespace tolven::linux_host
