// Linux host: the reason behind a refused open, claim or placement of the target.
#include "platform/linux/volume/access_refusal.h"

#include <cerrno>
#include <cstring>

#include "platform/linux/volume/lock_holders.h"
#include "platform/linux/volume/target_check.h"

namespace tolven::linux_host {

Status AccessRefusal(const std::string& path, int error, int fd) {
    if (error == EBUSY || error == EWOULDBLOCK) {
        const std::string holder = fd >= 0 ? LockHolderOf(fd) : "";
        Status status = Status::FromErrno(error, "cannot open '" + path + "' exclusively");
        status.message += " (another program is using it)";
        if (!holder.empty()) {
            status.message += "; " + holder + " holds a lock on it";
        }
        return status;
    }
    if (error == EMEDIUMTYPE) {
        if (const std::string table = fd >= 0 ? TableRefusalOf(fd) : ""; !table.empty()) {
            return {error, "'" + path + "' " + table};
        }
        Status status = Status::FromErrno(error, "cannot format '" + path + "'");
        status.message += " (its first partition is not a plain volume)";
        return status;
    }
    return Status::FromErrno(error, "cannot open '" + path + "' for writing");
}

}  // namespace tolven::linux_host
