#!/bin/sh
# Fails when a file of the portable core includes an operating-system header.
cd "$1" || exit 2
hits=$(grep -rnE '#[[:space:]]*include[[:space:]]*[<"](windows\.h|winioctl\.h|winbase\.h|unistd\.h|fcntl\.h|dirent\.h|sys/[^>"]*|linux/[^>"]*)[>"]' \
    app device fat32 content 2>/dev/null)
if [ -n "$hits" ]; then
    echo "operating-system headers in the portable core:"
    echo "$hits"
    exit 1
fi
echo "core is free of operating-system headers"
