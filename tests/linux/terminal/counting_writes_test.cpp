#include "platform/linux/terminal/counting_writes.h"

#include <gtest/gtest.h>

#include <sstream>

#include "fat32/clear_leading_sectors.h"
#include "platform/linux/terminal/progress_line.h"
#include "platform/linux/volume/linux_page_allocator.h"
#include "platform/linux/volume/linux_volume.h"
#include "tests/linux/volume/disk_image.h"

namespace tolven::linux_host {
namespace {

constexpr uint64_t kClearedBytes = 32ull << 20;

// The bytes from the image's start that read as zeros: the clearing's zeros that reached it (the
// old content is 0xFF, so the zeros form one run from byte 0).
uint64_t ZerosThatReachedTheImage(const std::string& image) {
    uint64_t zeroed = 0;  // sectors known zero
    uint64_t unknown = kClearedBytes / 512;
    while (unknown > 0) {
        const uint64_t half = (unknown + 1) / 2;
        if (testing::ReadBytes(image, (zeroed + half - 1) * 512, 1)[0] == std::byte{0}) {
            zeroed += half;
            unknown -= half;
        } else {
            unknown = half - 1;
        }
    }
    return zeroed * 512;
}

// A slow disk (7 MiB/s) modelled by a clock that moves with the zeros that reached the image: the
// progress line must move through the clearing, not stand still until its last write is done.
TEST(CountingWritesTest, TheProgressLineMovesWhileASlowDiskIsCleared) {
    testing::TempDir dir;
    const std::string image = dir.File("player.img");
    testing::CreateSparseFile(image, 2 * kClearedBytes);
    testing::WriteBytes(image, 0, std::vector<std::byte>(kClearedBytes, std::byte{0xFF}));
    DriveTable drives;
    drives.Add(testing::ImageTarget(image));
    LinuxVolumeSystem linuxVolumes(drives);

    const auto start = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    auto now = start;
    std::ostringstream shown;
    ProgressLine progress(shown, kClearedBytes, [&] { return now; });
    uint64_t mostAhead = 0;  // of the count over the zeros on the image
    WriteCount written([&](uint64_t total) {
        const uint64_t reached = ZerosThatReachedTheImage(image);
        mostAhead = std::max(mostAhead, total - std::min(total, reached));
        now = start + std::chrono::microseconds(reached / 7);  // 7 bytes a microsecond
        progress.Update(total);
    });
    CountingVolumeSystem volumes(linuxVolumes, written);
    LinuxPageAllocator pages;
    auto volume = volumes.CreateFileW(u"\\\\.\\D:", kGenericRead | kGenericWrite, 0, kFileFlagNoBuffering);
    ASSERT_NE(volume, nullptr);
    ASSERT_TRUE(ClearLeadingSectors(*volume, pages, kClearedBytes / 512, 512));
    volume->CloseHandle();

    EXPECT_LE(mostAhead, kMostGatheredZeroBytes);
    const std::string text = shown.str();
    EXPECT_GE(std::count(text.begin(), text.end(), '%'), 20)
        << "4.6 s of clearing: a draw every 0.15 s or more often";
    EXPECT_EQ(ZerosThatReachedTheImage(image), kClearedBytes);
}

}  // namespace
}  // namespace tolven::linux_host
