// Linux host, terminal: the English reason behind a format that failed, for standard error beside
// the product's Korean log (which gives only an error number, or nothing).
#pragma once

#include <string>

#include "platform/linux/host/drive_table.h"
#include "platform/linux/host/status.h"
#include "platform/linux/volume/target_table.h"

namespace tolven::linux_host {

// The first write or flush of the target that failed, or else `openRefusal`, why the formatter's
// open was refused. Ok when neither tells anything.
Status FormatFailureReason(TargetTable& targets, const DriveTarget& target, const Status& openRefusal);

// Why a named target was not taken for a player: it cannot be opened (a disk without root, an
// unreadable image) or is not a disk at all, or it reports another device than a Tolven player.
struct NotAPlayer {
    Status reason;
    bool unopened = false;  // it could not be opened, so whether it is a player is unknown
};
NotAPlayer NotAPlayerReason(TargetTable& targets, const DriveTarget& target);

}  // namespace tolven::linux_host
