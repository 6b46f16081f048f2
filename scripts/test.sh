#!/bin/sh
# Sets up a fresh Debian 12 machine and runs every test:
#   1. installs the Debian packages it needs (only the missing ones);
#   2. builds the program and the unit tests with GCC (release, warnings as errors) and runs the
#      unit tests;
#   3. cross-compiles the Windows programs (64- and 32-bit) with mingw-w64;
#   4. builds the test configuration with clang, AddressSanitizer and UndefinedBehaviorSanitizer
#      (and the libFuzzer targets), and runs every test with CTest.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc 2>/dev/null || echo 2)

sh scripts/install-packages.sh

# GCC sees what clang lets pass (and the reverse): the unit tests run in both configurations.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVEN_BUILD_TESTS=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs" -L unit

# The Windows programs; the test configuration checks them and runs the 64-bit one under Wine.
for target in x86_64:win64 i686:win32; do
    cmake -S . -B "build/${target#*:}" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-${target%:*}.cmake"
    cmake --build "build/${target#*:}" -j "$jobs"
done

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTOLVEN_SANITIZE=ON \
    -DTOLVEN_WIN64_EXE="$top/build/win64/platform/win32/TolvenFormat.exe" \
    -DTOLVEN_WIN32_EXE="$top/build/win32/platform/win32/TolvenFormat.exe"
cmake --build build/test -j "$jobs"
cd build/test
ctest --output-on-failure -j "$jobs"
