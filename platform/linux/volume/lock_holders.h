// Linux host: the locks other processes hold on a target. flock() is the run's own claim on an
// image; record locks (POSIX and open-file-description locks, which virtual machines hold on their
// disk images) are only seen through fcntl, and /proc/locks tells who holds which.
#pragma once

#include <string>

namespace tolven::linux_host {

// True when a write lock over the whole file would conflict with a record lock held elsewhere.
bool RecordLockHeldElsewhere(int fd);

// "process 1234 (qemu-system-x86)" for the first lock of another process on the file of `fd`
// that /proc/locks lists (an OFD lock's process found among the processes' open files, else
// "an open file description lock"); empty when it lists none.
std::string LockHolderOf(int fd, const std::string& procRoot = "/proc");

}  // namespace tolven::linux_host
