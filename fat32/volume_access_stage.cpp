#include "fat32/volume_access_stage.h"

#include "fat32/format_messages.h"
#include "fat32/log_text.h"

namespace tolven {

std::u16string VolumePath(char driveLetter) {
    std::u16string path = u"\\\\.\\Z:";
    path[4] = static_cast<char16_t>(static_cast<unsigned char>(driveLetter));
    return path;
}

OpenedVolume OpenVolumeExclusively(IVolumeSystem& volumes, IClock& clock, const std::u16string& path) {
    OpenedVolume opened;
    for (int attempt = 1; attempt <= kOpenAttempts; ++attempt) {
        opened.volume = volumes.CreateFileW(path, kGenericRead | kGenericWrite, 0, kFileFlagNoBuffering);
        if (opened.volume != nullptr) {
            opened.lastError = 0;
            return opened;
        }
        opened.lastError = volumes.LastOpenError();
        clock.Sleep(kOpenRetryWaitMs);
    }
    return opened;
}

std::u16string OpenFailureMessage(int32_t lastError) {
    return format_messages::kOpenFailedBeforeCode + FormatAsciiLine("%d", static_cast<int>(lastError)) +
           format_messages::kOpenFailedAfterCode;
}

DeviceFactsOutcome LockAndReadDeviceFacts(IVolume& volume) {
    DeviceFactsOutcome outcome;
    if (!volume.LockVolume()) {
        outcome.refusal = format_messages::kLockFailed;
        return outcome;
    }
    DiskGeometry geometry;
    if (!volume.GetDriveGeometry(geometry)) {
        outcome.refusal = format_messages::kGeometryUnreadable;
        return outcome;
    }
    PartitionInformation partition;
    if (!volume.GetPartitionInfo(partition)) {
        outcome.refusal = format_messages::kPartitionUnreadable;
        return outcome;
    }
    outcome.facts.bytesPerSector = geometry.BytesPerSector;
    outcome.facts.sectorsPerTrack = geometry.SectorsPerTrack;
    outcome.facts.tracksPerCylinder = geometry.TracksPerCylinder;
    outcome.facts.partitionLength = partition.PartitionLength;
    outcome.facts.hiddenSectors = partition.HiddenSectors;
    if (geometry.BytesPerSector != kRequiredBytesPerSector) {
        outcome.refusal = format_messages::kOnly512ByteSectors;
    }
    return outcome;
}

}  // namespace tolven
