#!/bin/sh
# The main job, on a fresh Debian 12 machine:
#   1. installs the Debian packages it needs (only the missing ones);
#   2. builds the release program with GCC;
#   3. creates a sparse player image of 40,007,729,664 bytes (a VQ10 player's disk) when it is
#      missing, and formats it end to end with the terminal program: the panel before, the
#      confirmation (answered yes), the status log as it is written, the panel after.
# The image is out/player-vq10.img, or the file named by TOLVEN_DEMO_IMAGE.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc 2>/dev/null || echo 2)

sh scripts/install-packages.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVEN_BUILD_TESTS=OFF
cmake --build build/release -j "$jobs" --target tolvenformat

image=${TOLVEN_DEMO_IMAGE:-$top/out/player-vq10.img}
mkdir -p "$(dirname "$image")"
echo
echo "== tolvenformat --image $image"
./build/release/platform/linux/terminal/tolvenformat \
    --image "$image" --size 40007729664 --vendor TOLVEN --product VQ10 --yes
echo
echo "Formatted $image. Look inside with mtools, for example:"
echo "  mdir -i $image ::SYSTEM"
