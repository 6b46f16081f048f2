// libjpeg reports an error by calling its error_exit, which by default ends the process. The
// trap jumps back to the caller's setjmp instead and keeps the library's message, so that the
// caller can clean up and report. Only plain C data may live between that setjmp and the jump.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>

// After <cstdio>: the library's header uses FILE and size_t without declaring them.
#include <jpeglib.h>

namespace tolven::screens {

struct JpegErrorTrap {
    jpeg_error_mgr manager;  // first, so that the library's pointer to it is the trap's address
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] inline void JumpOnJpegError(j_common_ptr info) {
    auto* trap = reinterpret_cast<JpegErrorTrap*>(info->err);
    (*info->err->format_message)(info, trap->message);
    std::longjmp(trap->jump, 1);
}

// The error manager to give a compress or decompress object: info.err = ArmJpegErrorTrap(trap).
inline jpeg_error_mgr* ArmJpegErrorTrap(JpegErrorTrap& trap) {
    jpeg_error_mgr* manager = jpeg_std_error(&trap.manager);
    manager->error_exit = JumpOnJpegError;
    return manager;
}

}  // namespace tolven::screens
