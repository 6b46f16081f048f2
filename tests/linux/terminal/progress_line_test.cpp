#include "platform/linux/terminal/progress_line.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/linux/terminal/terminal_screen.h"

namespace tolven::linux_host {
namespace {

TEST(ProgressLineTest, ShowsPercentBytesAndARateOnceASecondHasPassed) {
    struct Case {
        uint64_t done;
        uint64_t expected;
        double seconds;
        const char* text;
    };
    const Case cases[] = {
        {0, 100 << 20, 0.0, "  0%  0 B of 100.0 MiB"},
        {50 << 20, 100 << 20, 0.5, " 49%  50.0 MiB of 100.0 MiB"},
        {50 << 20, 100 << 20, 2.0, " 49%  50.0 MiB of 100.0 MiB  25.0 MiB/s"},
        {120 << 20, 100 << 20, 1.0, " 99%  120.0 MiB of 100.0 MiB  120.0 MiB/s"},  // an estimate overrun
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ProgressText(c.done, c.expected, c.seconds), c.text);
    }
}

TEST(ProgressLineTest, RedrawsAtMostTenTimesASecondAndIsErasedAtTheEnd) {
    std::ostringstream out;
    auto now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    {
        ProgressLine line(out, 1000, [&] { return now; });
        for (int i = 0; i < 100; ++i) {  // a write every 10 ms for one second
            line.Update(static_cast<uint64_t>(i) * 10);
            now += std::chrono::milliseconds(10);
        }
    }
    const std::string shown = out.str();
    std::size_t draws = 0;
    for (std::size_t at = shown.find('%'); at != std::string::npos; at = shown.find('%', at + 1)) {
        ++draws;
    }
    EXPECT_EQ(draws, 10u);
    EXPECT_TRUE(shown.ends_with("\r\033[K")) << "the last draw is erased";
}

TEST(ProgressLineTest, ADumbTerminalGetsAPlainLineAtEachTenthAndNoControlSequence) {
    EXPECT_EQ(ProgressStyleFor(false, "xterm"), std::nullopt);
    EXPECT_EQ(ProgressStyleFor(true, "xterm-256color"), ProgressStyle::kRedrawn);
    for (const char* term : {"dumb", "", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(ProgressStyleFor(true, term), ProgressStyle::kPlainLines);
    }
    std::ostringstream out;
    {
        ProgressLine line(out, 1000, ProgressStyle::kPlainLines);
        for (uint64_t done = 0; done <= 1000; done += 5) {
            line.Update(done);
            line.Erase();  // before every log line: nothing to erase
        }
    }
    const std::string shown = out.str();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 9) << shown;  // 10 % to 90 %
    EXPECT_EQ(shown.find_first_of("\r\033"), std::string::npos);
    EXPECT_EQ(shown.rfind(" 10%  ", 0), 0u) << shown;
}

}  // namespace
}  // namespace tolven::linux_host
