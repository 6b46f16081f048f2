/* Test-only LD_PRELOAD library: makes the N-th write, fsync or fallocate on one file fail, or
 * kills the process at the N-th write. Only calls on the file named by FAULT_TARGET count (same
 * device and inode), so the program's own output and logs never shift the numbering.
 *   FAULT_TARGET  the image file
 *   FAULT_OP      write | fsync | fallocate | kill | signal (raises FAULT_SIGNAL, FAULT_REPEAT
 *                 times, at the N-th write and lets the write through)
 *   FAULT_AT      N (1-based); 0 only counts
 *   FAULT_ERRNO   the error to inject (default EIO)
 *   FAULT_REPORT  file rewritten after every counted call: "writes W fsyncs F fallocates A fired X"
 * FAULT_OP=truncate cuts the file to FAULT_LENGTH bytes at the N-th write and lets the write through.
 * FAULT_LOCK_GAP names a file that gets a line whenever the program drops its exclusive flock on
 * the target while another open of it could then take one (another formatter's chance).
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#include "shim_target.h"

enum { kWrite, kFsync, kFallocate, kKinds };

static long g_count[kKinds];
static int g_fired;

/* Written with the raw system call: the wrapped write must not count itself. */
static void Report(void) {
    const char* path = getenv("FAULT_REPORT");
    if (path == NULL) {
        return;
    }
    char line[160];
    const int length = snprintf(line, sizeof line, "writes %ld fsyncs %ld fallocates %ld fired %d\n",
                                g_count[kWrite], g_count[kFsync], g_count[kFallocate], g_fired);
    const int fd = (int)syscall(SYS_openat, AT_FDCWD, path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        syscall(SYS_write, fd, line, (size_t)length);
        syscall(SYS_close, fd);
    }
}

/* Counts a call on the target; returns the errno to fail it with, or 0 to let it through. */
static int Inject(int fd, int kind) {
    if (!IsShimTarget(fd, "FAULT_TARGET")) {
        return 0;
    }
    const long n = ++g_count[kind];
    const char* op = getenv("FAULT_OP");
    const char* at = getenv("FAULT_AT");
    const long wanted = at != NULL ? atol(at) : 0;
    int error = 0;
    if (op != NULL && wanted == n) {
        const int signals = strcmp(op, "signal") == 0;
        const int matches = (kind == kWrite && (strcmp(op, "write") == 0 || strcmp(op, "kill") == 0 ||
                                                signals || strcmp(op, "truncate") == 0)) ||
                            (kind == kFsync && strcmp(op, "fsync") == 0) ||
                            (kind == kFallocate && strcmp(op, "fallocate") == 0);
        if (matches) {
            g_fired = 1;
            Report();
            if (strcmp(op, "truncate") == 0) {
                const char* length = getenv("FAULT_LENGTH");
                syscall(SYS_ftruncate, fd, (off_t)(length != NULL ? atoll(length) : 0));
                Report();
                return 0;
            }
            if (strcmp(op, "kill") == 0) {
                kill(getpid(), SIGKILL);
            }
            if (signals) {
                const char* repeat = getenv("FAULT_REPEAT");
                for (int i = repeat != NULL ? atoi(repeat) : 1; i > 0; --i) {
                    raise(atoi(getenv("FAULT_SIGNAL")));
                }
                Report();
                return 0;
            }
            const char* code = getenv("FAULT_ERRNO");
            error = code != NULL ? atoi(code) : EIO;
        }
    }
    Report();
    return error;
}

// dlsym hands back an object pointer; POSIX lets it be a function (__extension__: ISO C does not).
#define REAL(name, type) (__extension__(type) dlsym(RTLD_NEXT, name))

ssize_t write(int fd, const void* data, size_t count) {
    const int error = Inject(fd, kWrite);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return REAL("write", ssize_t(*)(int, const void*, size_t))(fd, data, count);
}

ssize_t pwrite(int fd, const void* data, size_t count, off_t offset) {
    const int error = Inject(fd, kWrite);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return REAL("pwrite", ssize_t(*)(int, const void*, size_t, off_t))(fd, data, count, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t count, off_t offset) {
    const int error = Inject(fd, kWrite);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return REAL("pwrite64", ssize_t(*)(int, const void*, size_t, off_t))(fd, data, count, offset);
}

ssize_t pwritev(int fd, const struct iovec* vectors, int count, off_t offset) {
    const int error = Inject(fd, kWrite);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return REAL("pwritev", ssize_t(*)(int, const struct iovec*, int, off_t))(fd, vectors, count, offset);
}

ssize_t writev(int fd, const struct iovec* vectors, int count) {
    const int error = Inject(fd, kWrite);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return REAL("writev", ssize_t(*)(int, const struct iovec*, int))(fd, vectors, count);
}

int fsync(int fd) {
    const int error = Inject(fd, kFsync);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return REAL("fsync", int (*)(int))(fd);
}

int fdatasync(int fd) {
    const int error = Inject(fd, kFsync);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return REAL("fdatasync", int (*)(int))(fd);
}

int fallocate(int fd, int mode, off_t offset, off_t length) {
    const int error = Inject(fd, kFallocate);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return REAL("fallocate", int (*)(int, int, off_t, off_t))(fd, mode, offset, length);
}

int posix_fallocate(int fd, off_t offset, off_t length) {
    const int error = Inject(fd, kFallocate);
    if (error != 0) {
        return error;
    }
    return REAL("posix_fallocate", int (*)(int, off_t, off_t))(fd, offset, length);
}

int flock(int fd, int operation) {
    const int result = REAL("flock", int (*)(int, int))(fd, operation);
    const char* gap = getenv("FAULT_LOCK_GAP");
    if (gap == NULL || (operation & (LOCK_UN | LOCK_SH)) == 0 || !IsShimTarget(fd, "FAULT_TARGET")) {
        return result;
    }
    const int other = (int)syscall(SYS_openat, AT_FDCWD, getenv("FAULT_TARGET"), O_RDONLY | O_CLOEXEC);
    if (other >= 0 && REAL("flock", int (*)(int, int))(other, LOCK_EX | LOCK_NB) == 0) {
        const int log =
            (int)syscall(SYS_openat, AT_FDCWD, gap, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (log >= 0) {
            syscall(SYS_write, log, "another open took the lock\n", (size_t)27);
            syscall(SYS_close, log);
        }
    }
    if (other >= 0) {
        syscall(SYS_close, other); /* drops the other open's lock */
    }
    return result;
}
