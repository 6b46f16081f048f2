// Linux host: letter assignment. Letters are handed out from D upwards in the order targets are
// added (A and B are the floppy letters and C the system disk on a Windows host, so a player never
// sits there); the host adds USB disks in sysfs name order first, then the images in the order
// they were named, which keeps the letters stable from run to run.
#include "platform/linux/host/drive_table.h"

namespace tolven::linux_host {

namespace {
constexpr char kFirstLetter = 'D';
constexpr char kLastLetter = 'Z';
}  // namespace

char DriveLetterOf(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char>(c - u'a' + 'A');
    }
    if (c >= u'A' && c <= u'Z') {
        return static_cast<char>(c);
    }
    return 0;
}

char DriveTable::Add(DriveTarget target) {
    char letter = static_cast<char>(kFirstLetter + static_cast<int>(targets_.size()));
    if (letter > kLastLetter) {
        return 0;
    }
    target.letter = letter;
    targets_.push_back(std::move(target));
    return letter;
}

const DriveTarget* DriveTable::Find(char letter) const {
    const char upper = DriveLetterOf(static_cast<unsigned char>(letter));
    for (const DriveTarget& target : targets_) {
        if (target.letter == upper) {
            return &target;
        }
    }
    return nullptr;
}

}  // namespace tolven::linux_host
