// The formatter's access stage: build the volume path, open the volume (retrying a busy one),
// lock it (retrying while other holders let go) and read the facts the layout needs. Nothing is
// written here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "fat32/device_facts.h"
#include "fat32/volume_access.h"

namespace tolven {

inline constexpr int kOpenAttempts = 6;
inline constexpr int kLockAttempts = 6;
inline constexpr uint32_t kRetryWaitMs = 1'000;
inline constexpr uint32_t kRequiredBytesPerSector = 512;

// "\\.\X:" for drive letter X.
std::u16string VolumePath(char driveLetter);

struct OpenedVolume {
    std::unique_ptr<IVolume> volume;  // null when every attempt failed
    int32_t lastError = 0;            // the platform error of the last failed attempt
};

// Up to six unbuffered opens for reading and writing, sharing reads and writes with other
// handles: the volume lock, not the open, keeps them out. An open without sharing would be an
// implicit lock that any open handle (a file browser's window on the volume) refuses, without
// the lock's request to let go. Every failed attempt, the last included, is followed by a
// one-second wait. Failed attempts that are followed by a success leave no trace.
OpenedVolume OpenVolume(IVolumeSystem& volumes, IClock& clock, const std::u16string& path);

// The status-log line for a volume that never opened.
std::u16string OpenFailureMessage(int32_t lastError);

struct DeviceFactsOutcome {
    DeviceFacts facts;
    const char16_t* refusal = nullptr;  // null when the volume is locked and usable
};

// Locks the volume, reads its geometry and partition and insists on 512-byte sectors. The lock is
// tried up to six times one second apart: each refusal asks the other holders of the volume to
// close their handles, and they need a moment to do so.
DeviceFactsOutcome LockAndReadDeviceFacts(IVolume& volume, IClock& clock);

}  // namespace tolven
