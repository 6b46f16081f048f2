#!/bin/sh
# Checks a built Windows program without running it: its decompiled dialogs, string table and
# version information against the expected text, its icon, its manifest (common controls 6, the
# administrator execution level), the language of its resources, and that it imports nothing but
# system libraries.
#   check_resources.sh EXE WINDRES OBJDUMP EXPECTED_RC MACHINE
# MACHINE is the objdump file format, "pei-x86-64" or "pei-i386".
set -u
exe=$1 windres=$2 objdump=$3 expected=$4 machine=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

"$windres" -J coff -O rc -i "$exe" -o "$work/all.rc" || { echo "FAIL: windres cannot read $exe"; exit 1; }
# windres escapes non-ASCII characters as \xNNNN inside L"..." strings: turn them into UTF-8.
perl -CS -pe 's/\\x([0-9a-f]{4})/chr(hex($1))/ge' "$work/all.rc" > "$work/decoded.rc"

# The dialogs, the string table and the version information, without comments and blank lines.
awk '
    /^(100|102) DIALOGEX / || /^STRINGTABLE/ { keep = 1; depth = 0 }
    /^1 VERSIONINFO/ { keep = 1; depth = 0 }
    keep { print }
    keep && /^ *BEGIN/ { depth++ }
    keep && /^ *END/ { depth--; if (depth == 0) keep = 0 }
' "$work/decoded.rc" > "$work/actual.rc"
if ! diff -u "$expected" "$work/actual.rc"; then
    fail "dialogs, strings or version information differ from $expected"
fi

# Every resource of the program is Korean (LANGUAGE 18, 1 is LANG_KOREAN, SUBLANG_DEFAULT).
if grep '^LANGUAGE' "$work/all.rc" | grep -qv '^LANGUAGE 18, 1$'; then
    fail "a resource is not Korean: $(grep '^LANGUAGE' "$work/all.rc" | sort -u | tr '\n' ' ')"
fi
# One icon image, 64 x 64 pixels (the first two bytes, octal 100), 32 bits per pixel.
if ! grep -q '"\\100\\100\\000\\000", 1, 32,' "$work/all.rc"; then
    fail "icon 128 is not one 64 x 64 image of 32 bits per pixel"
fi
if [ "$(grep -c 'Element no' "$work/all.rc")" != 1 ]; then
    fail "icon 128 does not hold exactly one image"
fi
# The manifest selects the version 6 common controls for any processor.
if ! grep -q 'name=""Microsoft.Windows.Common-Controls"" version=""6.0.0.0""' "$work/all.rc" ||
    ! grep -q 'processorArchitecture=""\*"" publicKeyToken=""6595b64144ccf1df""' "$work/all.rc"; then
    fail "the manifest does not depend on common controls 6.0.0.0"
fi
# Raw volume access needs administrator rights: the program asks for them when it starts.
if ! grep -q 'xmlns=""urn:schemas-microsoft-com:asm.v3""' "$work/all.rc" ||
    ! grep -q 'requestedExecutionLevel level=""requireAdministrator"" uiAccess=""false""' "$work/all.rc"; then
    fail "the manifest does not request the requireAdministrator execution level"
fi
if [ "$(grep -c 'RT_MANIFEST' "$work/all.rc")" != 1 ]; then
    fail "the program carries not exactly one manifest"
fi

# The right machine, a window program, and only system libraries imported.
"$objdump" -p "$exe" > "$work/headers.txt"
grep -q "file format $machine" "$work/headers.txt" || fail "$exe is not $machine"
grep -q '^Subsystem[[:space:]]*00000002' "$work/headers.txt" || fail "$exe is not a window (GUI) program"
imports=$(grep 'DLL Name' "$work/headers.txt" | sed 's/.*DLL Name: //' | tr 'a-z' 'A-Z' | sort -u)
echo "imports: $(echo "$imports" | tr '\n' ' ')"
for dll in $imports; do
    case $dll in
        KERNEL32.DLL | USER32.DLL | GDI32.DLL | COMCTL32.DLL | MSVCRT.DLL | ADVAPI32.DLL | SHELL32.DLL | \
            OLE32.DLL | OLEAUT32.DLL | UXTHEME.DLL | API-MS-WIN-CRT-*.DLL) ;;
        *) fail "imports a non-system library: $dll" ;;
    esac
done
echo "$imports" | grep -q '^COMCTL32.DLL$' || fail "does not import COMCTL32.DLL (InitCommonControlsEx)"

exit $failed
