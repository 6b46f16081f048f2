#!/bin/sh
# Sets up a fresh Debian 12 machine and runs every test:
#   1. installs the Debian packages it needs (only the missing ones);
#   2. builds the program with GCC (release, warnings as errors);
#   3. builds the test configuration with clang, AddressSanitizer and UndefinedBehaviorSanitizer
#      (and the libFuzzer targets), and runs every test with CTest.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc 2>/dev/null || echo 2)

sh scripts/install-packages.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVEN_BUILD_TESTS=OFF
cmake --build build/release -j "$jobs"

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTOLVEN_SANITIZE=ON
cmake --build build/test -j "$jobs"
cd build/test
ctest --output-on-failure -j "$jobs"
