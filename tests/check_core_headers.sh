#!/bin/sh
# Fails when a file of the portable core includes an operating-system header, or when an include
# points up the core's one-way dependencies: app -> fat32, device, content -> ui -> base, and
# the FAT32 file layer (fatfs) -> fat32, base, which the platform layer alone includes.
cd "$1" || exit 2
status=0
report() {
    if [ -n "$2" ]; then
        echo "$1"
        echo "$2"
        status=1
    fi
}
report "operating-system headers in the portable core:" \
    "$(grep -rnE '#[[:space:]]*include[[:space:]]*[<"](windows\.h|winioctl\.h|winbase\.h|unistd\.h|fcntl\.h|dirent\.h|sys/[^>"]*|linux/[^>"]*)[>"]' \
        app device fat32 fatfs content ui base 2>/dev/null)"
report "the formatter, the drive scan or the content installer includes the application or the file layer:" \
    "$(grep -rnE '#[[:space:]]*include[[:space:]]*"(app|fatfs)/' fat32 device content 2>/dev/null)"
report "the FAT32 file layer includes the application or a platform:" \
    "$(grep -rnE '#[[:space:]]*include[[:space:]]*"(app|platform)/' fatfs 2>/dev/null)"
report "the status log room includes a room above it:" \
    "$(grep -rnE '#[[:space:]]*include[[:space:]]*"(app|fat32|fatfs|device|content|platform)/' ui 2>/dev/null)"
report "the shared helpers include another room:" \
    "$(grep -rnE '#[[:space:]]*include[[:space:]]*"(app|fat32|fatfs|device|content|ui|platform)/' base 2>/dev/null)"
[ "$status" -eq 0 ] && echo "core is free of operating-system headers and upward includes"
exit "$status"
