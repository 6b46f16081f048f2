// Linux host: building a Status from errno.
#include "platform/linux/host/status.h"

#include <cstring>

namespace tolven::linux_host {

Status Status::FromErrno(int error, std::string_view what) {
    std::string message(what);
    message += ": ";
    message += std::strerror(error);
    return {error, std::move(message)};
}

}  // namespace tolven::linux_host
