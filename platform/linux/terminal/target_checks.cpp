// Linux host, terminal: the checks before the question.
#include "platform/linux/terminal/target_checks.h"

#include "content/system_file_table.h"
#include "platform/linux/terminal/progress_line.h"
#include "platform/linux/volume/access_refusal.h"
#include "platform/linux/volume/target_facts.h"
#include "platform/linux/volume/volume_placement.h"

namespace tolven::linux_host {

Status SizeRefusal(const std::string& path, uint64_t volumeLength, uint32_t bytesPerSector) {
    if (bytesPerSector != 512) {
        return Status::Refusal("cannot format '" + path + "': its sectors are " +
                               std::to_string(bytesPerSector) +
                               " bytes; only 512-byte sectors are supported");
    }
    const uint64_t sectors = volumeLength / bytesPerSector;
    const std::string size = HumanBytes(volumeLength) + ", " + std::to_string(sectors) + " sectors";
    if (sectors < kSmallestVolumeSectors) {
        return Status::Refusal("'" + path + "' is too small for FAT32: its volume has " + size +
                               "; at least " + std::to_string(kSmallestVolumeSectors) +
                               " sectors (32 MiB) are needed");
    }
    if (sectors > kLargestVolumeSectors) {
        return Status::Refusal("'" + path + "' is too large for FAT32: its volume has " + size +
                               "; at most " + std::to_string(kLargestVolumeSectors) +
                               " sectors are possible");
    }
    return {};
}

TargetCheck CheckTargetBeforeAsking(TargetTable& targets, const DriveTarget& target) {
    TargetCheck check;
    if (!target.refusal.ok()) {
        check.refusal = target.refusal;
        return check;
    }
    const std::vector<MountedFileSystem> mounts = MountsOfTarget(target.path);
    if (!mounts.empty()) {
        check.refusal = Status::Refusal("'" + target.path + "' contains a mounted file system (" +
                                        mounts[0].source + " on " + mounts[0].target + "); unmount it first");
        return check;
    }
    TargetOpen opened = targets.Open(target.letter);
    if (!opened.target) {
        check.refusal = std::move(opened.status);
        return check;
    }
    OpenTarget& open = *opened.target;
    if (const int error = open.WriteError()) {
        check.refusal = AccessRefusal(target.path, error);
        return check;
    }
    // Claimed from here to the end of the run (the table keeps the target open): no other
    // formatter gets the target between the checks, the format, the label and the files.
    if (const int error = open.AcquireClaim()) {
        check.refusal = AccessRefusal(target.path, error, open.Fd());
        return check;
    }
    VolumePlacement volume;
    if (const int error = ReadVolumePlacement(open, kSysfsRoot, volume)) {
        check.refusal = AccessRefusal(target.path, error, open.Fd());
        return check;
    }
    check.volumeLength = volume.volumeLength;
    check.bytesPerSector = volume.sectorSize;
    check.refusal = SizeRefusal(target.path, check.volumeLength, check.bytesPerSector);
    if (!check.refusal.ok()) {
        return check;
    }
    const auto length = static_cast<int64_t>(check.volumeLength);
    const SizeAdmission admission = AdmitVolumeSize(length, check.bytesPerSector);
    check.layout =
        ComputeFat32Layout(length, check.bytesPerSector, admission.totalSectors, kFormatSectorsPerCluster);
    if (CheckClusterLimits(check.layout) != nullptr) {
        check.refusal = Status::Refusal("'" + target.path + "' cannot hold a FAT32 volume with " +
                                        std::to_string(check.bytesPerSector * kFormatSectorsPerCluster) +
                                        "-byte clusters: too many or too few clusters");
    }
    return check;
}

// The bytes a format of `player` is expected to write: the cleared system area and the system files.
uint64_t ExpectedFormatBytes(const TargetCheck& check, const CPlayerDriveInfo& player,
                             const IContentStore& content) {
    const uint64_t sector = check.bytesPerSector;
    uint64_t bytes = check.layout.ClearCount() * sector;
    // Each folder takes a cleared cluster; each folder and file an entry and a FAT sector.
    const std::vector<std::string> folders = PlayerFolderPaths(player.m_nDrive, player.m_strModel);
    bytes += folders.size() * (check.layout.sectorsPerCluster + 2) * sector;
    for (const SystemFileEntry& file : BuildSystemFileList(player.m_nDrive, player.m_strModel)) {
        if (const auto block = content.FindContentResource(file.resourceId)) {
            bytes += block->size() + 2 * sector;
        }
    }
    return bytes;
}

Status TargetLengthChange(TargetTable& targets, const DriveTarget& target) {
    const TargetOpen opened = targets.Open(target.letter);
    return opened.target ? opened.target->LengthChange() : Status();
}

}  // namespace tolven::linux_host
