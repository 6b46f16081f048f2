#!/bin/sh
# The pieces a Linux user expects beside the program.
#   install_check.sh man MAN_PAGE           the manual page renders without a warning
#   install_check.sh package BUILD_DIR WORK the Debian package installs the program, the manual
#                                           page and the completion, with its libraries declared
set -u
case $1 in
    man)
        warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$2" 2>&1 >/dev/null)
        [ -z "$warnings" ] || { echo "FAIL: man page warnings: $warnings"; exit 1; }
        ;;
    package)
        build=$2 work=$3
        rm -rf "$work" && mkdir -p "$work/root"
        cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
            { cat "$work/cpack.log"; exit 1; }
        deb=$(ls "$work"/tolvenformat_*.deb) || exit 1
        dpkg -x "$deb" "$work/root"
        for file in usr/bin/tolvenformat usr/share/man/man1/tolvenformat.1 \
            usr/share/bash-completion/completions/tolvenformat; do
            [ -f "$work/root/$file" ] || { echo "FAIL: $file is not in the package"; exit 1; }
        done
        "$work/root/usr/bin/tolvenformat" --version | grep -q '^tolvenformat ' || { echo "FAIL: no program"; exit 1; }
        depends=$(dpkg-deb -f "$deb" Depends)
        for library in libblkid1 libmount1 libc6; do
            echo "$depends" | grep -q "$library" || { echo "FAIL: Depends lacks $library: $depends"; exit 1; }
        done
        rm -rf "$work"
        ;;
esac
echo "PASS [$1]"
