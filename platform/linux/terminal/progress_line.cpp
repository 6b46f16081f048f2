// Linux host, terminal: drawing and erasing the progress line.
#include "platform/linux/terminal/progress_line.h"

#include <algorithm>
#include <cstdio>

namespace tolven::linux_host {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr char kEraseLine[] = "\r\033[K";

uint64_t Percent(uint64_t done, uint64_t expected) {
    return expected == 0 ? 0 : std::min<uint64_t>(99, done / (expected / 100 + 1));
}

}  // namespace

std::string HumanBytes(uint64_t bytes) {
    static constexpr const char* kUnits[] = {"B", "KiB", "MiB", "GiB", "TiB", "PiB"};
    if (bytes < 1024) {
        return std::to_string(bytes) + " B";
    }
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(kUnits)) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string ProgressText(uint64_t done, uint64_t expected, double seconds) {
    const uint64_t percent = Percent(done, expected);
    char head[8];
    std::snprintf(head, sizeof head, "%3u%%", static_cast<unsigned>(percent));
    std::string text = std::string(head) + "  " + HumanBytes(done) + " of " + HumanBytes(expected);
    if (seconds >= 1.0) {
        text += "  " + HumanBytes(static_cast<uint64_t>(static_cast<double>(done) / seconds)) + "/s";
    }
    return text;
}

ProgressLine::ProgressLine(std::ostream& out, uint64_t expectedBytes, ProgressStyle style, Clock clock)
    : out_(out), expected_(expectedBytes), style_(style), clock_(std::move(clock)) {}

void ProgressLine::Update(uint64_t done) {
    const auto now = clock_();
    if (style_ == ProgressStyle::kPlainLines) {
        if (!drawnOnce_) {
            drawnOnce_ = true;
            start_ = now;
        }
        const uint64_t tenths = Percent(done, expected_) / 10;
        if (tenths > tenthsShown_) {
            tenthsShown_ = tenths;
            out_ << ProgressText(done, expected_, std::chrono::duration<double>(now - start_).count())
                 << "\n";
            out_.flush();
        }
        return;
    }
    if (!drawnOnce_) {
        start_ = now;  // the rate counts from the first write, not from the question
    } else if (now - lastDrawn_ < kRedrawInterval) {
        return;
    }
    drawnOnce_ = true;
    lastDrawn_ = now;
    shown_ = true;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    out_ << kEraseLine << ProgressText(done, expected_, seconds);
    out_.flush();
}

void ProgressLine::Erase() {
    if (shown_) {
        out_ << kEraseLine;
        out_.flush();
        shown_ = false;
    }
}

}  // namespace tolven::linux_host
