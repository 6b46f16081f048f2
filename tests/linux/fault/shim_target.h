/* Shared by the test-only preload libraries: whether a descriptor is the file named by an
 * environment variable. Same device and inode, so a second name or descriptor of the image
 * counts and the program's own output never does. */
#ifndef TOLVEN_TESTS_SHIM_TARGET_H
#define TOLVEN_TESTS_SHIM_TARGET_H

#include <stdlib.h>
#include <sys/stat.h>

static inline int IsShimTarget(int fd, const char* variable) {
    const char* target = getenv(variable);
    struct stat a;
    struct stat b;
    if (target == NULL || fstat(fd, &a) != 0 || stat(target, &b) != 0) {
        return 0;
    }
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

#endif
