#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ctime>

#include "platform/linux/volume/linux_clock.h"
#include "platform/linux/volume/linux_page_allocator.h"

namespace tolven::linux_host {
namespace {

TEST(LinuxPageAllocatorTest, GivesPageAlignedZeroFilledWritableMemory) {
    LinuxPageAllocator allocator;
    for (const std::size_t size : {std::size_t{512}, std::size_t{65536}, std::size_t{3 * 4096 + 1}}) {
        SCOPED_TRACE(size);
        std::byte* pages = allocator.AllocatePages(size);
        ASSERT_NE(pages, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(pages) % 4096, 0u);
        for (std::size_t i = 0; i < size; ++i) {
            ASSERT_EQ(pages[i], std::byte{0}) << "byte " << i;
        }
        pages[size - 1] = std::byte{1};
        allocator.FreePages(pages, size);
    }
}

TEST(LinuxPageAllocatorTest, RefusesNothingAndImpossibleSizes) {
    LinuxPageAllocator allocator;
    EXPECT_EQ(allocator.AllocatePages(0), nullptr);
    EXPECT_EQ(allocator.AllocatePages(SIZE_MAX - 4095), nullptr);
    allocator.FreePages(nullptr, 512);  // harmless
}

TEST(LinuxClockTest, LocalTimeMatchesTheSystemsCalendar) {
    LinuxClock clock;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::time_t before = std::time(nullptr);
        const SystemTime now = clock.GetLocalTime();
        const std::time_t after = std::time(nullptr);
        if (before != after) {
            continue;  // a second boundary passed in between; look again
        }
        std::tm local{};
        ::localtime_r(&before, &local);
        EXPECT_EQ(now.wYear, local.tm_year + 1900);
        EXPECT_EQ(now.wMonth, local.tm_mon + 1);
        EXPECT_EQ(now.wDay, local.tm_mday);
        EXPECT_EQ(now.wDayOfWeek, local.tm_wday);
        EXPECT_EQ(now.wHour, local.tm_hour);
        EXPECT_EQ(now.wMinute, local.tm_min);
        EXPECT_EQ(now.wSecond, local.tm_sec);
        EXPECT_LT(now.wMilliseconds, 1000);
        return;
    }
    FAIL() << "the clock never stood still for a moment";
}

TEST(LinuxClockTest, SleepsAtLeastTheTimeAsked) {
    LinuxClock clock;
    const auto start = std::chrono::steady_clock::now();
    clock.Sleep(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

}  // namespace
}  // namespace tolven::linux_host
