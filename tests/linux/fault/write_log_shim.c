/* Test-only LD_PRELOAD library: logs every write, hole punch and flush the program makes on one
 * file, in order, so that a replay can rebuild what a device may hold after a power cut.
 *   WRITELOG_TARGET  the image file (same device and inode count)
 *   WRITELOG_FILE    the log, appended to; one record per call that reached the file:
 *                    "W OFFSET LENGTH\n" followed by the LENGTH bytes written,
 *                    "Z OFFSET LENGTH\n" for a range that now reads back as zeros,
 *                    "F\n" for fsync or fdatasync.
 * Failed calls are not logged: they changed nothing. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/falloc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#include "shim_target.h"

static int g_log = -1;

/* The log is written with raw system calls: the wrapped write must not log itself. */
static void Put(const void* data, size_t count) {
    if (g_log < 0) {
        const char* path = getenv("WRITELOG_FILE");
        if (path == NULL) {
            return;
        }
        g_log = (int)syscall(SYS_openat, AT_FDCWD, path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (g_log < 0) {
            return;
        }
    }
    const char* bytes = data;
    while (count > 0) {
        const long done = syscall(SYS_write, g_log, bytes, count);
        if (done <= 0) {
            return;
        }
        bytes += done;
        count -= (size_t)done;
    }
}

static void Header(char kind, long long offset, long long length) {
    char line[64];
    const int size = kind == 'F' ? snprintf(line, sizeof line, "F\n")
                                 : snprintf(line, sizeof line, "%c %lld %lld\n", kind, offset, length);
    Put(line, (size_t)size);
}

/* Logs the first `written` bytes of the vectors as one write at `offset`. */
static void LogVectors(int fd, const struct iovec* vectors, int count, off_t offset, ssize_t written) {
    if (written <= 0 || !IsShimTarget(fd, "WRITELOG_TARGET")) {
        return;
    }
    Header('W', offset, written);
    for (int i = 0; i < count && written > 0; ++i) {
        const size_t part = vectors[i].iov_len < (size_t)written ? vectors[i].iov_len : (size_t)written;
        Put(vectors[i].iov_base, part);
        written -= (ssize_t)part;
    }
}

static void LogWrite(int fd, const void* data, off_t offset, ssize_t written) {
    const struct iovec vector = {(void*)data, written > 0 ? (size_t)written : 0};
    LogVectors(fd, &vector, 1, offset, written);
}

static void LogFlush(int fd, int result) {
    if (result == 0 && IsShimTarget(fd, "WRITELOG_TARGET")) {
        Header('F', 0, 0);
    }
}

// dlsym hands back an object pointer; POSIX lets it be a function (__extension__: ISO C does not).
#define REAL(name, type) (__extension__(type) dlsym(RTLD_NEXT, name))

ssize_t write(int fd, const void* data, size_t count) {
    const off_t offset = lseek(fd, 0, SEEK_CUR);
    const ssize_t written = REAL("write", ssize_t(*)(int, const void*, size_t))(fd, data, count);
    LogWrite(fd, data, offset, written);
    return written;
}

ssize_t pwrite(int fd, const void* data, size_t count, off_t offset) {
    const ssize_t written =
        REAL("pwrite", ssize_t(*)(int, const void*, size_t, off_t))(fd, data, count, offset);
    LogWrite(fd, data, offset, written);
    return written;
}

ssize_t pwrite64(int fd, const void* data, size_t count, off_t offset) {
    const ssize_t written =
        REAL("pwrite64", ssize_t(*)(int, const void*, size_t, off_t))(fd, data, count, offset);
    LogWrite(fd, data, offset, written);
    return written;
}

ssize_t writev(int fd, const struct iovec* vectors, int count) {
    const off_t offset = lseek(fd, 0, SEEK_CUR);
    const ssize_t written = REAL("writev", ssize_t(*)(int, const struct iovec*, int))(fd, vectors, count);
    LogVectors(fd, vectors, count, offset, written);
    return written;
}

ssize_t pwritev(int fd, const struct iovec* vectors, int count, off_t offset) {
    const ssize_t written =
        REAL("pwritev", ssize_t(*)(int, const struct iovec*, int, off_t))(fd, vectors, count, offset);
    LogVectors(fd, vectors, count, offset, written);
    return written;
}

ssize_t pwritev64(int fd, const struct iovec* vectors, int count, off_t offset) {
    const ssize_t written =
        REAL("pwritev64", ssize_t(*)(int, const struct iovec*, int, off_t))(fd, vectors, count, offset);
    LogVectors(fd, vectors, count, offset, written);
    return written;
}

int fsync(int fd) {
    const int result = REAL("fsync", int (*)(int))(fd);
    LogFlush(fd, result);
    return result;
}

int fdatasync(int fd) {
    const int result = REAL("fdatasync", int (*)(int))(fd);
    LogFlush(fd, result);
    return result;
}

/* A punched hole or zeroed range reads back as zeros; plain allocation changes no byte. */
int fallocate(int fd, int mode, off_t offset, off_t length) {
    const int result = REAL("fallocate", int (*)(int, int, off_t, off_t))(fd, mode, offset, length);
    if (result == 0 && (mode & (FALLOC_FL_PUNCH_HOLE | FALLOC_FL_ZERO_RANGE)) != 0 &&
        IsShimTarget(fd, "WRITELOG_TARGET")) {
        Header('Z', offset, length);
    }
    return result;
}
