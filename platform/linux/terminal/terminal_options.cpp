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

std::optional<TerminalOptions> ParseTerminalOptions(const std::vector<std::string_view>& arguments,
                                                    std::string& error) {
    TerminalOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        std::string_view value;
        bool missing = false;
        if (TakeValue(arguments, i, "--image", value, missing)) {
            if (missing || value.empty()) {
                error = "option '--image' needs a file name";
                return std::nullopt;
            }
            options.images.emplace_back(value);
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
        } else if (argument == "--yes" || argument == "-y") {
            options.assumeYes = true;
        } else if (argument == "--list" || argument == "-l") {
            options.listOnly = true;
        } else if (argument == "--stats") {
            options.statistics = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version" || argument == "-V") {
            options.version = true;
        } else if (!argument.empty() && argument[0] == '-') {
            error = "unknown option '" + std::string(argument) + "'";
            return std::nullopt;
        } else {
            error =
                "unexpected argument '" + std::string(argument) + "' (disk images are given with --image)";
            return std::nullopt;
        }
    }
    if (options.sizeBytes && options.images.empty()) {
        error = "option '--size' applies to images: give one with --image";
        return std::nullopt;
    }
    if ((options.vendor != "TOLVEN" || options.product != "VQ10") && options.images.empty()) {
        error = "options '--vendor' and '--product' apply to images: give one with --image";
        return std::nullopt;
    }
    return options;
}

std::string TerminalUsage() {
    return "Usage: tolvenformat [OPTION]...\n"
           "Find a Tolven player among the USB disks (or the given disk images), show it, and on\n"
           "confirmation format it as FAT32, label it PMP and write the player's system files.\n"
           "\n"
           "  --image FILE     use the disk image FILE as a USB drive (may be repeated); without\n"
           "                   it the machine's USB disks are used\n"
           "  --size BYTES     create a missing image FILE as a sparse file of BYTES bytes\n"
           "                   (suffixes K, M, G, T: powers of 1024)\n"
           "  --vendor TEXT    the USB vendor identification the images report (default TOLVEN)\n"
           "  --product TEXT   the USB product identification the images report (default VQ10)\n"
           "  -y, --yes        answer yes to the confirmation\n"
           "  -l, --list       show the player's panel and change nothing\n"
           "      --stats      at the end, print the time, peak memory and bytes written on\n"
           "                   standard error\n"
           "  -h, --help       show this help and exit\n"
           "  -V, --version    show the version and exit\n"
           "\n"
           "Exit status: 0 formatted and the system files written; 1 the format or the file copy\n"
           "failed (or an image could not be created); 2 usage error; 3 no player found; 4 the\n"
           "confirmation was answered no (without a terminal and without --yes the answer is no).\n";
}

}  // namespace tolven::linux_host
