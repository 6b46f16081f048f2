// Linux host: the one shape of an error inside the host. An errno (0 for a refusal that no system
// call gave) and the English sentence the terminal prints. Made once where the failure is known,
// carried unchanged, and converted only where an interface of the core wants its own form.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace tolven::linux_host {

struct Status {
    int error = 0;        // errno; 0 when nothing failed, or for a refusal without one
    std::string message;  // English; empty when nothing failed

    bool ok() const { return error == 0 && message.empty(); }

    // "<what>: <strerror(error)>", as in "cannot open 'x.img': Permission denied".
    static Status FromErrno(int error, std::string_view what);
    // A refusal that no system call gave (a size, a partition table, a mounted file system).
    static Status Refusal(std::string message) { return {0, std::move(message)}; }
};

}  // namespace tolven::linux_host
