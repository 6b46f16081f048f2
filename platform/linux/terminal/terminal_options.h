// Linux host, terminal: the command line of the tolvenformat program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolven::linux_host {

// The most targets one run can name: one per drive letter from D: to Z:.
inline constexpr std::size_t kMostTargets = 23;

struct TerminalOptions {
    std::vector<std::string> targets;   // TARGET arguments and --image FILE, in order
    std::optional<uint64_t> sizeBytes;  // --size BYTES: the size of images (created when missing)
    std::string vendor = "TOLVEN";      // --vendor: the USB vendor identification of the images
    std::string product = "VQ10";       // --product
    bool assumeYes = false;             // -y, --yes
    bool listOnly = false;              // -l, --list (and --json)
    bool json = false;                  // --json
    bool dryRun = false;                // -n, --dry-run
    bool quiet = false;                 // -q, --quiet: no progress line, panel or description
    bool statistics = false;            // --stats
    bool help = false;                  // -h, --help
    bool version = false;               // -V, --version
};

// Parses the arguments after the program name. On a usage error returns nothing and sets error
// to a one-line English message.
std::optional<TerminalOptions> ParseTerminalOptions(const std::vector<std::string_view>& arguments,
                                                    std::string& error);

// "40007729664", "512M", "2G", "1T", "64K" (powers of 1024; the suffix in either case).
// Nothing for an empty, negative, malformed or overflowing size, or 0.
std::optional<uint64_t> ParseByteSize(std::string_view text);

// The text of --help.
std::string TerminalUsage();

}  // namespace tolven::linux_host
