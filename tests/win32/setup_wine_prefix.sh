#!/bin/sh
# Prepares the Wine prefix the Wine tests share: created once per build folder, with a Korean
# font standing in for the dialogs' fonts and a virtual desktop, so that screenshots show the
# window frame and title bar.
set -eu
. "$(dirname "$0")/wine_session.sh"
wine_start
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1
fi
# The dialogs ask for "Microsoft Sans Serif" and the Korean name of "MS Shell Dlg"; the panel
# draws with the system font. Hangul shows only through a font that has it.
reg="$WINEPREFIX/tolven-fonts.reg"
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "MS 셸 대화 상자" "Tahoma" "System"; do
        printf '"%s"="NanumGothic"\r\n' "$face"
    done
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n'
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="800x600"\r\n'
} | iconv -f UTF-8 -t UTF-16LE | { printf '\377\376'; cat; } > "$reg"
"$WINE" regedit /S "$(winpath "$reg")"
"$WINESERVER" -w
echo "Wine prefix ready: $WINEPREFIX"
