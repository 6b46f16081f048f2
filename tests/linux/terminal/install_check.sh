#!/bin/sh
# The pieces a Linux user expects beside the program.
#   install_check.sh man MAN_PAGE           the manual page renders without a warning
#   install_check.sh package BUILD_DIR WORK the Debian package installs the program, the manual
#                                           page, the completion, the copyright and changelog,
#                                           with its libraries declared, one version throughout,
#                                           and lintian reports no error or warning
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
        doc=usr/share/doc/tolvenformat
        for file in usr/bin/tolvenformat usr/share/man/man1/tolvenformat.1.gz \
            usr/share/bash-completion/completions/tolvenformat $doc/copyright $doc/changelog.gz; do
            [ -f "$work/root/$file" ] || { echo "FAIL: $file is not in the package"; exit 1; }
        done
        grep -q 'GNU Unifont' "$work/root/$doc/copyright" || { echo "FAIL: copyright lacks the font's notice"; exit 1; }
        version=$(dpkg-deb -f "$deb" Version)
        for shown in "$("$work/root/usr/bin/tolvenformat" --version)" \
            "$(zcat "$work/root/$doc/changelog.gz" | sed -n '1s/^tolvenformat (\(.*\)).*/tolvenformat \1/p')" \
            "$(zcat "$work/root/usr/share/man/man1/tolvenformat.1.gz" | sed -n 's/^\.TH .*"TolvenFormat \([^"]*\)".*/tolvenformat \1/p')"; do
            [ "$shown" = "tolvenformat $version" ] || { echo "FAIL: '$shown' is not version $version"; exit 1; }
        done
        depends=$(dpkg-deb -f "$deb" Depends)
        for library in libblkid1 libmount1 libc6; do
            echo "$depends" | grep -q "$library" || { echo "FAIL: Depends lacks $library: $depends"; exit 1; }
        done
        # Every lintian finding of severity error or warning fails (informational ones are shown).
        command -v lintian >/dev/null || { echo "FAIL: lintian is not installed"; exit 1; }
        lintian --display-info --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
        cat "$work/lintian.log"
        if grep -q '^[EW]: ' "$work/lintian.log"; then
            echo "FAIL: lintian reports errors or warnings"
            exit 1
        fi
        rm -rf "$work"
        ;;
esac
echo "PASS [$1]"
