// Linux host, terminal: standard input, output and error made sure to be open before anything
// else is. A program started with one of them closed (`2>&-`, some daemons and job runners) would
// otherwise get its first open file as descriptor 0, 1 or 2, and its own messages would be
// written into the disk it opened.
#pragma once

namespace tolven::linux_host {

// Opens /dev/null on every closed descriptor 0-2: standard input write-only and standard output
// and error read-only, so that a read or write on them fails (EBADF) instead of reaching a file;
// lost output is then noticed like a full disk's. Returns false when one cannot be opened: the
// program must not go on then.
bool OpenClosedStandardDescriptors();

}  // namespace tolven::linux_host
