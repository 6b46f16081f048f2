// Linux host, terminal: from the file layer's FatStatus to the host's Status.
#include "platform/linux/terminal/file_layer_status.h"

#include <cerrno>

namespace tolven::linux_host {

int ErrnoOf(FatError error) {
    switch (error) {
        case FatError::kNone:
            return 0;
        case FatError::kIo:
            return EIO;
        case FatError::kNotFat32:
            return EMEDIUMTYPE;
        case FatError::kTruncated:
        case FatError::kInconsistent:
            return EUCLEAN;
        case FatError::kInvalidName:
        case FatError::kInvalidArgument:
            return EINVAL;
        case FatError::kNotFound:
            return ENOENT;
        case FatError::kAlreadyExists:
            return EEXIST;
        case FatError::kVolumeFull:
        case FatError::kDirectoryFull:
            return ENOSPC;
        case FatError::kAccessDenied:
            return EACCES;
    }
    return EIO;
}

Status StatusOf(const FatStatus& status) {
    return {ErrnoOf(status.error), status.message};
}

}  // namespace tolven::linux_host
