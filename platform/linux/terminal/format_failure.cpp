// Linux host, terminal: reasons behind a failed format or a target that is not a player.
#include "platform/linux/terminal/format_failure.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/terminal/player_search.h"
#include "platform/linux/terminal/target_checks.h"

namespace tolven::linux_host {

std::string FormatFailureReason(TargetTable& targets, const DriveTarget& target, int openError) {
    const TargetOpen opened = targets.Open(target.letter);
    if (opened.target) {
        const TransferFailure& failure = opened.target->FirstFailure();
        if (failure.error != 0) {
            const std::string reason = std::strerror(failure.error);
            if (std::strcmp(failure.operation, "flush") == 0) {
                return "cannot flush '" + target.path + "' to the device: " + reason;
            }
            if (std::strcmp(failure.operation, "partition type") == 0) {
                return "cannot set the partition type in the table of '" + target.path + "': " + reason;
            }
            return "cannot write to '" + target.path + "' at byte " + std::to_string(failure.offset) + ": " +
                   reason;
        }
    }
    if (openError != 0) {
        return AccessRefusal(target.path, openError, opened.target ? opened.target->Fd() : -1);
    }
    return {};
}

NotAPlayer NotAPlayerReason(TargetTable& targets, const DriveTarget& target) {
    const TargetOpen opened = targets.Open(target.letter);
    if (!opened.target) {
        if (opened.error == ENODEV) {
            return {opened.reason, false};  // the kind of what is there: not a disk
        }
        struct stat status {};
        const bool needsRoot = (opened.error == EACCES || opened.error == EPERM) && ::geteuid() != 0 &&
                               ::stat(target.path.c_str(), &status) == 0 && S_ISBLK(status.st_mode);
        return {needsRoot ? opened.reason + " (opening a disk needs root)" : opened.reason, true};
    }
    // A table that would have been refused is worth knowing about too.
    return {target.refusal.empty() ? WhyNotAPlayer(target) : WhyNotAPlayer(target) + "; " + target.refusal,
            false};
}

}  // namespace tolven::linux_host
