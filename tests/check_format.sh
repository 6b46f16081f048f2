#!/bin/sh
# Fails when a C++ source differs from what clang-format makes of it.
clang_format=$1
cd "$2" || exit 2
files=$(git ls-files '*.h' '*.cpp' 2>/dev/null || find app device fat32 content platform tools tests -name '*.h' -o -name '*.cpp')
[ -n "$files" ] || exit 0
"$clang_format" --dry-run -Werror $files
