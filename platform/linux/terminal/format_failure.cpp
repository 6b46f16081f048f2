// Linux host, terminal: reasons behind a failed format or a target that is not a player.
#include "platform/linux/terminal/format_failure.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/terminal/player_search.h"

namespace tolven::linux_host {

Status FormatFailureReason(TargetTable& targets, const DriveTarget& target, const Status& openRefusal) {
    const TargetOpen opened = targets.Open(target.letter);
    if (opened.target) {
        const TransferFailure& failure = opened.target->FirstFailure();
        if (failure.error != 0) {
            if (std::strcmp(failure.operation, "flush") == 0) {
                return Status::FromErrno(failure.error, "cannot flush '" + target.path + "' to the device");
            }
            if (std::strcmp(failure.operation, "partition type") == 0) {
                return Status::FromErrno(
                    failure.error, "cannot set the partition type in the table of '" + target.path + "'");
            }
            return Status::FromErrno(failure.error, "cannot write to '" + target.path + "' at byte " +
                                                        std::to_string(failure.offset));
        }
    }
    return openRefusal;
}

NotAPlayer NotAPlayerReason(TargetTable& targets, const DriveTarget& target) {
    TargetOpen opened = targets.Open(target.letter);
    if (!opened.target) {
        if (opened.status.error == ENODEV) {
            return {std::move(opened.status), false};  // the kind of what is there: not a disk
        }
        struct stat status {};
        const bool needsRoot = (opened.status.error == EACCES || opened.status.error == EPERM) &&
                               ::geteuid() != 0 && ::stat(target.path.c_str(), &status) == 0 &&
                               S_ISBLK(status.st_mode);
        if (needsRoot) {
            opened.status.message += " (opening a disk needs root)";
        }
        return {std::move(opened.status), true};
    }
    // A table that would have been refused is worth knowing about too.
    Status reason = Status::Refusal(WhyNotAPlayer(target));
    if (!target.refusal.ok()) {
        reason.message += "; " + target.refusal.message;
    }
    return {std::move(reason), false};
}

}  // namespace tolven::linux_host
