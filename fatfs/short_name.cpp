// FAT32 file layer: short-name and label checks.
#include "fatfs/short_name.h"

namespace tolven {

namespace {

// Besides A-Z and 0-9, the characters a short name may hold.
constexpr std::string_view kShortNameSpecials = "!#$%&'()-@^_`{}~";
// Characters a label may not hold (besides control characters and lower case, which is raised).
constexpr std::string_view kLabelForbidden = "*?.,;:/\\|+=<>[]\"";

bool IsShortNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           kShortNameSpecials.find(c) != std::string_view::npos;
}

FatStatus BadName(std::string_view name, const char* why) {
    return FatStatus::Fail(FatError::kInvalidName, "invalid name \"" + std::string(name) + "\": " + why);
}

}  // namespace

FatStatus MakeShortName(std::string_view name, ShortName& out) {
    const std::size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
    if (base.empty()) {
        return BadName(name, "the name part is empty");
    }
    if (base.size() > 8) {
        return BadName(name, "more than 8 characters before the dot");
    }
    if (dot != std::string_view::npos && extension.empty()) {
        return BadName(name, "nothing after the dot");
    }
    if (extension.size() > 3 || extension.find('.') != std::string_view::npos) {
        return BadName(name, "more than 3 characters after the dot, or a second dot");
    }
    for (const char c : name) {
        if (c != '.' && !IsShortNameChar(c)) {
            return BadName(name, "only upper-case letters, digits and !#$%&'()-@^_`{}~ are allowed");
        }
    }
    out.fill(' ');
    base.copy(out.data(), base.size());
    extension.copy(out.data() + 8, extension.size());
    return FatStatus::Ok();
}

FatStatus MakeVolumeLabel(std::string_view label, ShortName& out) {
    if (label.size() > out.size()) {
        return FatStatus::Fail(FatError::kInvalidName,
                               "invalid label \"" + std::string(label) + "\": more than 11 characters");
    }
    out.fill(' ');
    for (std::size_t i = 0; i < label.size(); ++i) {
        char c = label[i];
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || kLabelForbidden.find(c) != std::string_view::npos) {
            return FatStatus::Fail(FatError::kInvalidName, "invalid label \"" + std::string(label) +
                                                               "\": character '" + std::string(1, c) +
                                                               "' is not allowed");
        }
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        out[i] = c;
    }
    return FatStatus::Ok();
}

std::string LabelText(const ShortName& field) {
    std::string text(field.begin(), field.end());
    const std::size_t last = text.find_last_not_of(' ');
    text.resize(last == std::string::npos ? 0 : last + 1);
    return text;
}

}  // namespace tolven
