// Linux host, terminal: a one-line progress indicator on standard error while a format writes:
// percent of the expected bytes, the bytes, and the rate once a second has passed. Redrawn at most
// ten times a second and erased when done, so nothing of it stays in the terminal. A terminal that
// takes no control sequences (TERM=dumb) gets a plain line at each tenth instead.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace tolven::linux_host {

// "  42%  120.5 MiB of 286.0 MiB  38.2 MiB/s" (no rate before a second has passed). Percent stops
// at 99 until the end, since the expected total is an estimate.
std::string ProgressText(uint64_t done, uint64_t expected, double seconds);

// "0 B", "512 B", "1.5 KiB", "37.3 GiB".
std::string HumanBytes(uint64_t bytes);

enum class ProgressStyle {
    kRedrawn,     // one line redrawn in place ("\r", ESC [K)
    kPlainLines,  // a new line at 10 %, 20 %, ...: no control sequence at all
};

class ProgressLine {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    ProgressLine(std::ostream& out, uint64_t expectedBytes, Clock clock = std::chrono::steady_clock::now)
        : ProgressLine(out, expectedBytes, ProgressStyle::kRedrawn, std::move(clock)) {}
    ProgressLine(std::ostream& out, uint64_t expectedBytes, ProgressStyle style,
                 Clock clock = std::chrono::steady_clock::now);
    ~ProgressLine() { Erase(); }

    void Update(uint64_t done);
    // Clears the line (before other output, and at the end); the next Update draws it again.
    void Erase();

  private:
    std::ostream& out_;
    uint64_t expected_;
    ProgressStyle style_;
    uint64_t tenthsShown_ = 0;  // kPlainLines: the last tenth printed
    Clock clock_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDrawn_{};
    bool drawnOnce_ = false;
    bool shown_ = false;  // on the screen now
};

}  // namespace tolven::linux_host
