#include "fat32/volume_access_stage.h"

#include "fat32/format_messages.h"
#include "fat32/log_text.h"

namespace tolven {

std::u16string VolumePath(char driveLetter) {
    std::u16string path = u"\\\\.\\Z:";
    path[4] = static_cast<char16_t>(static_cast<unsigned char>(driveLetter));
    return path;
}

OpenedVolume OpenVolume(IVolumeSystem& volumes, IClock& clock, const std::u16string& path) {
    OpenedVolume opened;
    for (int attempt = 1; attempt <= kOpenAttempts; ++attempt) {
        opened.volume = volumes.CreateFileW(path, kGenericRead | kGenericWrite,
                                            kFileShareRead | kFileShareWrite, kFileFlagNoBuffering);
        if (opened.volume != nullptr) {
            opened.lastError = 0;
            return opened;
        }
        opened.lastError = volumes.LastOpenError();
        clock.Sleep(kRetryWaitMs);
    }
    return opened;
}

std::u16string OpenFailureMessage(int32_t lastError) {
    return format_messages::kOpenFailedBeforeCode + FormatAsciiLine("%d", static_cast<int>(lastError)) +
           format_messages::kOpenFailedAfterCode;
}

namespace {

// Waits only between attempts: after the last refusal there is nothing left to wait for.
bool LockWithRetries(IVolume& volume, IClock& clock) {
    for (int attempt = 1;; ++attempt) {
        if (volume.LockVolume()) {
            return true;
        }
        if (attempt == kLockAttempts) {
            return false;
        }
        clock.Sleep(kRetryWaitMs);
    }
}

}  // namespace

DeviceFactsOutcome LockAndReadDeviceFacts(IVolume& volume, IClock& clock) {
    DeviceFactsOutcome outcome;
    if (!LockWithRetries(volume, clock)) {
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
