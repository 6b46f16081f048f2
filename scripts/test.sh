#!/bin/sh
# Sets up a fresh Debian 12 machine and runs every test, in the configurations of
# CMakePresets.json (warnings as errors in each):
#   1. installs the Debian packages it needs (only the missing ones);
#   2. builds the program and the unit tests with GCC (preset "release") and runs the unit tests;
#   3. cross-compiles the Windows programs with mingw-w64 (presets "win64" and "win32");
#   4. builds the test configuration with clang, AddressSanitizer and UndefinedBehaviorSanitizer
#      (and the libFuzzer targets; preset "test"), and runs every test with CTest.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc 2>/dev/null || echo 2)

sh scripts/install-packages.sh

# GCC sees what clang lets pass (and the reverse): the unit tests run in both configurations.
cmake --preset release
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"

# The Windows programs; the test configuration checks them and runs the 64-bit one under Wine.
for preset in win64 win32; do
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
done

cmake --preset test
cmake --build --preset test -j "$jobs"
ctest --preset test -j "$jobs"
