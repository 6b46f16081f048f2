// Short names, labels, FAT time stamps and directory entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fatfs/dir_entry.h"
#include "fatfs/short_name.h"

namespace tolven {
namespace {

TEST(ShortNameTest, AcceptsUpperCaseEightDotThreeOnly) {
    struct Case {
        const char* name;
        const char* stored;  // null: refused
    };
    const Case cases[] = {
        {"UNICODEF.FON", "UNICODEFFON"},
        {"SYSTEM", "SYSTEM     "},
        {"A", "A          "},
        {"FILEBR_M.JPG", "FILEBR_MJPG"},
        {"X.Y", "X       Y  "},
        {"A~1$!#%&.'()", "A~1$!#%&'()"},
        {"unicodef.fon", nullptr},  // lower case is refused, never silently raised
        {"Intro.JPG", nullptr},
        {"TOOLONGNAME", nullptr},
        {"NAME.JPEG", nullptr},
        {"A.B.C", nullptr},
        {".", nullptr},
        {"..", nullptr},
        {"", nullptr},
        {".HIDDEN", nullptr},
        {"NAME.", nullptr},
        {"SP ACE", nullptr},
        {"A+B", nullptr},
        {"A*", nullptr},
        {"\xC7\xD1", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShortName out;
        const FatStatus status = MakeShortName(c.name, out);
        if (c.stored) {
            ASSERT_TRUE(status.ok()) << c.name << ": " << status.message;
            EXPECT_EQ(std::string(out.begin(), out.end()), c.stored);
        } else {
            EXPECT_EQ(status.error, FatError::kInvalidName) << c.name;
            EXPECT_NE(status.message.find(c.name), std::string::npos) << status.message;
        }
    }
}

TEST(VolumeLabelTest, RaisesCaseAndRefusesWhatFatForbids) {
    struct Case {
        const char* label;
        const char* stored;  // null: refused
        const char* read;    // as GetVolumeInformationW reports it
    };
    const Case cases[] = {
        {"PMP", "PMP        ", "PMP"},
        {"pmp", "PMP        ", "PMP"},
        {"MY PLAYER", "MY PLAYER  ", "MY PLAYER"},
        {"ELEVENCHARS", "ELEVENCHARS", "ELEVENCHARS"},
        {"", "           ", ""},
        {"TWELVECHARSX", nullptr, nullptr},
        {"A.B", nullptr, nullptr},
        {"A?", nullptr, nullptr},
        {"TAB\t", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ShortName out;
        const FatStatus status = MakeVolumeLabel(c.label, out);
        if (c.stored) {
            ASSERT_TRUE(status.ok()) << status.message;
            EXPECT_EQ(std::string(out.begin(), out.end()), c.stored);
            EXPECT_EQ(LabelText(out), c.read);
        } else {
            EXPECT_EQ(status.error, FatError::kInvalidName);
        }
    }
}

TEST(FatTimestampTest, PacksDateTimeAndHundredths) {
    struct Case {
        const char* name;
        SystemTime time;
        uint16_t date;
        uint16_t clock;
        uint8_t hundredths;
    };
    const Case cases[] = {
        {"odd second",
         {2024, 3, 5, 15, 14, 30, 45, 678},
         (44 << 9) | (3 << 5) | 15,
         (14 << 11) | (30 << 5) | 22,
         167},
        {"epoch", {1980, 1, 2, 1, 0, 0, 0, 0}, (1 << 5) | 1, 0, 0},
        {"last day of 2107",
         {2107, 12, 6, 31, 23, 59, 59, 999},
         (127 << 9) | (12 << 5) | 31,
         (23 << 11) | (59 << 5) | 29,
         199},
        {"before 1980 clamps", {1970, 6, 1, 1, 0, 0, 0, 0}, (0 << 9) | (6 << 5) | 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FatTimestamp stamp = MakeFatTimestamp(c.time);
        EXPECT_EQ(stamp.date, c.date) << c.name;
        EXPECT_EQ(stamp.time, c.clock) << c.name;
        EXPECT_EQ(stamp.hundredths, c.hundredths) << c.name;
    }
}

TEST(DirEntryTest, EncodesFieldsAtTheirOffsetsAndEscapesE5) {
    DirEntry entry;
    entry.name = {'\xE5', 'B', 'C', ' ', ' ', ' ', ' ', ' ', 'T', 'X', 'T'};
    entry.attributes = 0x20;
    entry.firstCluster = 0x00123456;
    entry.size = 0x01020304;
    entry.written.date = 0x5858;
    std::byte raw[32];
    EncodeDirEntry(entry, raw);
    EXPECT_EQ(raw[0], std::byte{0x05}) << "a name starting with E5 is stored as 05";
    EXPECT_EQ(raw[11], std::byte{0x20});
    EXPECT_EQ(raw[20], std::byte{0x12});  // high word of the cluster
    EXPECT_EQ(raw[21], std::byte{0x00});
    EXPECT_EQ(raw[26], std::byte{0x56});  // low word of the cluster
    EXPECT_EQ(raw[27], std::byte{0x34});
    EXPECT_EQ(raw[28], std::byte{0x04});
    EXPECT_EQ(raw[31], std::byte{0x01});
    EXPECT_EQ(raw[24], std::byte{0x58});
    const DirEntry back = DecodeDirEntry(raw);
    EXPECT_EQ(back.name, entry.name);
    EXPECT_EQ(back.firstCluster, entry.firstCluster);
    EXPECT_EQ(back.size, entry.size);
}

}  // namespace
}  // namespace tolven
