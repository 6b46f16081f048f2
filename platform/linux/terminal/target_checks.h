// Linux host, terminal: every check that can be made before the question, so that a yes is never
// followed by "cannot": mounted, busy, permission, sector size, too small or too large. The format
// makes its own checks again when it runs, as the product's code does.
#pragma once

#include <cstdint>
#include <string>

#include "content/content_store.h"
#include "device/player_drive_info.h"
#include "fat32/fat32_layout.h"
#include "fat32/format_request.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/host/status.h"
#include "platform/linux/volume/target_table.h"

namespace tolven::linux_host {

struct TargetCheck {
    Status refusal;  // ok: the format can run
    uint64_t volumeLength = 0;
    uint32_t bytesPerSector = 0;
    Fat32Layout layout;  // the layout the format would write (when not refused)
};

// Checks the target through the run's descriptor, as the format will use it, and takes the
// run's exclusive claim on it, held to the end of the run.
TargetCheck CheckTargetBeforeAsking(TargetTable& targets, const DriveTarget& target);

// The bytes a format of the checked target is expected to write, for the progress line: the
// cleared system area, the folders and the model's system files.
uint64_t ExpectedFormatBytes(const TargetCheck& check, const CPlayerDriveInfo& player,
                             const IContentStore& content);

// Why the target's length is no longer the one of its first open; ok while it holds (or the
// target was never opened).
Status TargetLengthChange(TargetTable& targets, const DriveTarget& target);

// Why a volume of this size cannot be formatted; ok when it can hold FAT32.
Status SizeRefusal(const std::string& path, uint64_t volumeLength, uint32_t bytesPerSector);

}  // namespace tolven::linux_host
