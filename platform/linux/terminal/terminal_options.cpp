// Linux host, terminal: parsing the command line.
#include "platform/linux/terminal/terminal_options.h"

#include <limits>

namespace tolven::linux_host {

namespace {

// An option that takes a value: "--image FILE" or "--image=FILE".
bool TakeValue(const std::vector<std::string_view>& arguments, std::size_t& index, std::string_view name,
               std::string_view& value, bool& missing) {
    const std::string_view argument = arguments[index];
    if (argument == name) {
        if (index + 1 >= arguments.size()) {
            missing = true;
            return true;
        }
        value = arguments[++index];
        return true;
    }
    if (argument.size() > name.size() && argument.substr(0, name.size()) == name &&
        argument[name.size()] == '=') {
        value = argument.substr(name.size() + 1);
        return true;
    }
    return false;
}

}  // namespace

std::optional<uint64_t> ParseByteSize(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    uint64_t multiplier = 1;
    switch (text.back()) {
        case 'k':
        case 'K':
            multiplier = uint64_t{1} << 10;
            break;
        case 'm':
        case 'M':
            multiplier = uint64_t{1} << 20;
            break;
        case 'g':
        case 'G':
            multiplier = uint64_t{1} << 30;
            break;
        case 't':
        case 'T':
            multiplier = uint64_t{1} << 40;
            break;
        default:
            break;
    }
    if (multiplier != 1) {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (std::numeric_limits<uint64_t>::max() - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    if (value == 0 || value > std::numeric_limits<uint64_t>::max() / multiplier) {
        return std::nullopt;
    }
    return value * multiplier;
}

namespace {

// The options without a value: a long name, and a letter for those that have a short form ("-y",
// bundled as in "-yl"; 0 for none).
struct Flag {
    char letter;
    std::string_view name;
    bool TerminalOptions::*field;
};
constexpr Flag kFlags[] = {
    {'y', "--yes", &TerminalOptions::assumeYes}, {'l', "--list", &TerminalOptions::listOnly},
    {0, "--json", &TerminalOptions::json},       {'n', "--dry-run", &TerminalOptions::dryRun},
    {'q', "--quiet", &TerminalOptions::quiet},   {0, "--stats", &TerminalOptions::statistics},
    {'h', "--help", &TerminalOptions::help},     {'V', "--version", &TerminalOptions::version},
};

// Sets the flag named by `letter` or by `name`. False for an unknown one.
bool SetFlag(char letter, std::string_view name, TerminalOptions& options) {
    for (const Flag& flag : kFlags) {
        if (letter != 0 ? flag.letter == letter : flag.name == name) {
            options.*flag.field = true;
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<TerminalOptions> ParseTerminalOptions(const std::vector<std::string_view>& arguments,
                                                    std::string& error) {
    TerminalOptions options;
    bool onlyTargets = false;  // after "--"
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        std::string_view value;
        bool missing = false;
        if (onlyTargets || argument.empty() || argument[0] != '-' || argument == "-") {
            if (argument.empty()) {
                error = "an empty target name";
                return std::nullopt;
            }
            options.targets.emplace_back(argument);
        } else if (argument == "--") {
            onlyTargets = true;
        } else if (TakeValue(arguments, i, "--image", value, missing)) {
            if (missing || value.empty()) {
                error = "option '--image' needs a file name";
                return std::nullopt;
            }
            options.targets.emplace_back(value);
        } else if (TakeValue(arguments, i, "--size", value, missing)) {
            const std::optional<uint64_t> size = missing ? std::nullopt : ParseByteSize(value);
            if (!size) {
                error = missing ? "option '--size' needs a size"
                                : "invalid size '" + std::string(value) +
                                      "': give a positive number of bytes, optionally with K, M, G or T";
                return std::nullopt;
            }
            options.sizeBytes = size;
        } else if (TakeValue(arguments, i, "--vendor", value, missing)) {
            if (missing) {
                error = "option '--vendor' needs a text";
                return std::nullopt;
            }
            options.vendor = value;
        } else if (TakeValue(arguments, i, "--product", value, missing)) {
            if (missing) {
                error = "option '--product' needs a text";
                return std::nullopt;
            }
            options.product = value;
        } else if (argument.substr(0, 2) == "--") {
            if (!SetFlag(0, argument, options)) {
                error = "unknown option '" + std::string(argument) + "'";
                return std::nullopt;
            }
        } else {
            for (const char letter : argument.substr(1)) {
                if (!SetFlag(letter, {}, options)) {
                    error = "invalid option -- '" + std::string(1, letter) + "'";
                    return std::nullopt;
                }
            }
        }
    }
    if (options.json) {
        options.listOnly = true;
    }
    if (options.sizeBytes && options.targets.empty()) {
        error = "option '--size' applies to images: name one as TARGET";
        return std::nullopt;
    }
    if ((options.vendor != "TOLVEN" || options.product != "VQ10") && options.targets.empty()) {
        error = "options '--vendor' and '--product' apply to images: name one as TARGET";
        return std::nullopt;
    }
    if (options.listOnly && options.dryRun) {
        error = "options '--list' and '--dry-run' exclude each other";
        return std::nullopt;
    }
    // Each target takes a drive letter, D: to Z:.
    if (options.targets.size() > kMostTargets) {
        error = "too many targets: at most " + std::to_string(kMostTargets) + " can be named";
        return std::nullopt;
    }
    return options;
}

std::string TerminalUsage() {
    return "Usage: tolvenformat [OPTION]... [TARGET]...\n"
           "Find a Tolven player among the USB disks, or among the TARGETs (block devices or disk\n"
           "image files), describe it, and on confirmation format it as FAT32, label it PMP and\n"
           "write the player's system files.\n"
           "\n"
           "      --image FILE  the same as naming FILE as a TARGET (may be repeated)\n"
           "      --size BYTES  the size of the image TARGETs: a missing one is created as a sparse\n"
           "                    file; an existing one must have exactly this size\n"
           "                    (suffixes K, M, G, T: powers of 1024)\n"
           "      --vendor TEXT the USB vendor identification the images report (default TOLVEN)\n"
           "      --product TEXT\n"
           "                    the USB product identification the images report (default VQ10)\n"
           "  -y, --yes         answer yes to the confirmation\n"
           "  -l, --list        list every player found and change nothing\n"
           "      --json        list every player found as JSON and change nothing\n"
           "  -n, --dry-run     run every check, print the layout a format would write, write\n"
           "                    nothing\n"
           "  -q, --quiet       no progress line, panel or target description\n"
           "      --stats       at the end, print the time, peak memory and bytes written on\n"
           "                    standard error\n"
           "  -h, --help        show this help and exit\n"
           "  -V, --version     show the version and exit\n"
           "\n"
           "Without a TARGET the machine's USB disks are searched; when several players are found,\n"
           "they are listed and one must be named. The question is asked on the terminal, even\n"
           "when standard output is redirected; only y or yes confirms.\n"
           "\n"
           "Exit status: 0 formatted and the system files written (or listed, or dry run);\n"
           "1 a check refused the target, or the format or the file copy failed; 2 usage error,\n"
           "or several players found and none named; 3 no player found; 4 the confirmation was\n"
           "answered no (without a terminal and without --yes the answer is no); 5 formatted\n"
           "completely, but standard output could not be written (the log was lost); 128+n\n"
           "stopped by signal n.\n";
}

}  // namespace tolven::linux_host
