// End to end on Linux: the formatter over the Linux volume access on sparse disk images (bare
// volumes, an MBR disk, and the same disk's partition as a loop block device when root), checked with
// fsck.fat and sleuthkit's fsstat, and sector by sector against a pattern laid down before the format.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "fat32/format_volume.h"
#include "platform/linux/volume/linux_page_allocator.h"
#include "platform/linux/volume/linux_volume.h"
#include "tests/linux/volume/disk_image.h"
#include "tests/linux/volume/loop_device.h"
#include "tests/support/external_tools.h"
#include "tests/support/fake_controls.h"
#include "tests/support/little_endian.h"

namespace tolven::linux_host {
namespace {

using testing::CreateSparseFile;
using testing::MbrSector;
using testing::PatternSector;
using testing::ReadBytes;
using testing::WriteBytes;
using tolven::testing::Le16;
using tolven::testing::Le32;
using tolven::testing::RunCommand;
using tolven::testing::ShellQuote;

constexpr uint64_t kSector = 512;
constexpr uint64_t kBlockSectors = 8;  // probes cover whole 4 KiB file-system blocks

// 2024-03-15 14:30:45.678 makes the volume serial number 0x16063052.
class FixedClock final : public IClock {
  public:
    SystemTime GetLocalTime() override { return {2024, 3, 5, 15, 14, 30, 45, 678}; }
    void Sleep(uint32_t milliseconds) override { sleeps.push_back(milliseconds); }
    std::vector<uint32_t> sleeps;
};

struct FormatOutcome {
    bool result = false;
    std::vector<std::u16string> lines;
    std::vector<uint32_t> sleeps;
};

FormatOutcome Format(const DriveTarget& target) {
    DriveTable drives;
    const char letter = drives.Add(target);
    LinuxVolumeSystem volumes(drives);
    FixedClock clock;
    LinuxPageAllocator pages;
    tolven::testing::FakeLogControl log;
    tolven::testing::FakeProgressControl progress;
    const FormatRequest request{&log, &progress, letter, 64};
    FormatOutcome outcome;
    outcome.result = FormatVolumeFat32(request, FormatPlatform{volumes, clock, pages});
    outcome.lines = log.Lines();
    outcome.sleeps = clock.sleeps;
    return outcome;
}

// Pattern blocks spread over a disk image; each sector names its own number.
class Probes {
  public:
    Probes(std::string image, uint64_t diskSectors) : image_(std::move(image)), diskSectors_(diskSectors) {}

    // Lays the pattern on the 4 KiB block around `sector` (clipped to the disk).
    void Add(uint64_t sector) {
        const uint64_t first = sector / kBlockSectors * kBlockSectors;
        for (uint64_t s = first; s < std::min(first + kBlockSectors, diskSectors_); ++s) {
            if (sectors_.insert(s).second && s != 0) {
                WriteBytes(image_, s * kSector, PatternSector(s));
            }
        }
    }
    const std::set<uint64_t>& Sectors() const { return sectors_; }

    // Every probe sector outside [clearedFirst, clearedEnd) still holds its pattern, and the
    // image holds data nowhere but in the probes, the cleared range and sector 0.
    void ExpectUnchangedOutside(uint64_t clearedFirst, uint64_t clearedEnd) const {
        for (const uint64_t s : sectors_) {
            if ((s < clearedFirst || s >= clearedEnd) && s != 0) {
                ASSERT_EQ(ReadBytes(image_, s * kSector, kSector), PatternSector(s))
                    << "sector " << s << " changed";
            }
        }
        for (const auto& [first, last] : testing::DataExtents(image_)) {
            for (uint64_t s = first / kSector; s < (last + kSector - 1) / kSector; ++s) {
                const bool inCleared = s >= clearedFirst / kBlockSectors * kBlockSectors &&
                                       s < (clearedEnd + kBlockSectors - 1) / kBlockSectors * kBlockSectors;
                ASSERT_TRUE(inCleared || s < kBlockSectors || sectors_.count(s) != 0)
                    << "data written at sector " << s << ", outside the cleared area and the probes";
            }
        }
    }

  private:
    std::string image_;
    uint64_t diskSectors_;
    std::set<uint64_t> sectors_;
};

std::string ToolPath(const char* configured, const char* name, const char* package) {
    const std::string path = configured;
    if (path.empty() || path.find("NOTFOUND") != std::string::npos) {
        ADD_FAILURE() << name << " is missing: install the Debian package " << package;
        return {};
    }
    return path;
}

// fsck.fat -n must find nothing but the label that only the boot sector carries until the
// Format command sets it: its version line, that one finding with its remedy, and the summary.
void ExpectFsckFindsOnlyTheMissingLabelEntry(const std::string& image, uint32_t clusterCount) {
    const std::string fsck = ToolPath(TOLVEN_FSCK_FAT, "fsck.fat", "dosfstools");
    if (fsck.empty()) {
        return;
    }
    const auto run = RunCommand(fsck + " -n " + ShellQuote(image));
    const std::set<std::string> expected = {
        "Label in boot sector is 'PMP', but there is no volume label in root directory.",
        "  Auto-removing label from boot sector.",
        "Leaving filesystem unchanged.",
        image + ": 0 files, 1/" + std::to_string(clusterCount) + " clusters",
    };
    std::set<std::string> seen;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line.rfind("fsck.fat ", 0) == 0) {
            continue;
        }
        EXPECT_EQ(expected.count(line), 1u) << "fsck.fat found more: " << line << "\nwhole output:\n"
                                            << run.output;
        seen.insert(line);
    }
    EXPECT_EQ(seen, expected) << run.output;
    EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << "exit " << run.exitCode << "\n" << run.output;
}

// The "Key: value" lines of fsstat, and its "* FAT 0: a - b" layout lines.
std::map<std::string, std::string> Fsstat(const std::string& image, uint64_t sectorOffset) {
    std::map<std::string, std::string> facts;
    const std::string fsstat = ToolPath(TOLVEN_FSSTAT, "fsstat", "sleuthkit");
    if (fsstat.empty()) {
        return facts;
    }
    const auto run = RunCommand(fsstat + " -o " + std::to_string(sectorOffset) + " " + ShellQuote(image));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t colon = line.find(": ");
        if (colon == std::string::npos) {
            continue;
        }
        std::string key = line.substr(0, colon);
        key.erase(0, key.find_first_not_of("* "));
        std::string value = line.substr(colon + 2);
        value.erase(value.find_last_not_of(' ') + 1);
        facts.emplace(key, value);
    }
    return facts;
}

std::string Range(uint64_t first, uint64_t last) {
    return std::to_string(first) + " - " + std::to_string(last);
}

struct FormatCase {
    const char* name;
    uint64_t diskSectors;
    uint32_t volumeStart;  // 0: a bare volume; else an MBR disk with this first partition
    uint32_t volumeSectors;
    uint32_t fatSize;  // the layout these sizes must get
    uint32_t clusterCount;
    bool throughLoopDevice = false;  // format the loop device's partition rather than the image file
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

class FormatEndToEndTest : public ::testing::TestWithParam<FormatCase> {
  protected:
    testing::TempDir dir_;
};

TEST_P(FormatEndToEndTest, WritesAVolumeTheToolsAcceptAndNothingElse) {
    const FormatCase& c = GetParam();
    const std::string image = dir_.File("disk.img");
    CreateSparseFile(image, c.diskSectors * kSector);
    std::vector<std::byte> mbr;
    if (c.volumeStart != 0) {
        const uint32_t after = c.volumeStart + c.volumeSectors;
        mbr = MbrSector({{0x06, c.volumeStart, c.volumeSectors}, {0x83, after, 8}});
        WriteBytes(image, 0, mbr);
    }
    const uint64_t start = c.volumeStart;
    const uint64_t cleared = 32 + 2ull * c.fatSize + 64;
    Probes probes(image, c.diskSectors);
    for (const uint64_t s :
         {uint64_t{0}, uint64_t{32}, uint64_t{c.fatSize} + 32, cleared - 1, cleared, cleared + 8,
          cleared + 128, uint64_t{c.volumeSectors} / 2, uint64_t{c.volumeSectors} - 1}) {
        probes.Add(start + s);
    }
    if (c.volumeStart != 0) {
        for (const uint64_t s : {uint64_t{1}, uint64_t{63}, start - 1, start + c.volumeSectors,
                                 start + c.volumeSectors + 8, c.diskSectors - 1}) {
            probes.Add(s);
        }
    }

    FormatOutcome outcome;
    if (c.throughLoopDevice) {
        testing::LoopDevice loop(image);
        if (!loop.Attached() || loop.FirstPartition().empty()) {
            GTEST_SKIP() << "no loop device with its partition here: " << loop.Why();
        }
        outcome = Format(testing::DeviceTarget(loop.FirstPartition()));
    } else {
        outcome = Format(testing::ImageTarget(image));
    }
    ASSERT_TRUE(outcome.result);
    ASSERT_FALSE(outcome.lines.empty());
    EXPECT_EQ(outcome.lines.back(), u"포맷작업 완료");
    EXPECT_TRUE(outcome.sleeps.empty()) << "the open succeeded at once";
    EXPECT_EQ(std::filesystem::file_size(image), c.diskSectors * kSector) << "the image did not grow";

    // The platform's answers, as they landed in the boot sector and its copy.
    const auto boot = ReadBytes(image, start * kSector, kSector);
    EXPECT_EQ(ReadBytes(image, (start + 6) * kSector, kSector), boot);
    EXPECT_EQ(ReadBytes(image, (start + 7) * kSector, kSector),
              ReadBytes(image, (start + 1) * kSector, kSector));
    EXPECT_EQ(Le16(boot, 24), 63) << "sectors per track";
    EXPECT_EQ(Le16(boot, 26), 255) << "heads";
    EXPECT_EQ(Le32(boot, 28), c.volumeStart) << "hidden sectors";
    EXPECT_EQ(Le32(boot, 32), c.volumeSectors) << "total sectors";
    EXPECT_EQ(Le32(boot, 36), c.fatSize) << "sectors per FAT";
    EXPECT_EQ(Le32(boot, 67), 0x16063052u) << "volume serial number from the fixed clock";

    // Inside the cleared area the probes are zero, except the structures.
    const std::set<uint64_t> structures = {0, 1, 6, 7, 32, 32ull + c.fatSize};
    for (const uint64_t s : probes.Sectors()) {
        if (s >= start && s < start + cleared && structures.count(s - start) == 0) {
            ASSERT_EQ(ReadBytes(image, s * kSector, kSector), std::vector<std::byte>(kSector))
                << "sector " << s - start << " of the volume was not cleared";
        }
    }
    probes.ExpectUnchangedOutside(start, start + cleared);
    if (c.volumeStart != 0) {
        auto expected = mbr;
        expected[446 + 4] = std::byte{0x0C};
        EXPECT_EQ(ReadBytes(image, 0, kSector), expected) << "only the first entry's type changed";
    }

    const auto facts = Fsstat(image, c.volumeStart);
    const uint64_t dataStart = 32 + 2ull * c.fatSize;
    EXPECT_EQ(facts.count("File System Type") ? facts.at("File System Type") : "", "FAT32");
    const std::pair<const char*, std::string> expectations[] = {
        {"Volume ID", "0x16063052"},
        {"Sectors before file system", std::to_string(c.volumeStart)},
        {"FAT 0", Range(32, 31 + c.fatSize)},
        {"FAT 1", Range(32 + c.fatSize, 31 + 2ull * c.fatSize)},
        {"Cluster Area", Range(dataStart, dataStart + 64ull * c.clusterCount - 1)},
        {"Root Directory", Range(dataStart, dataStart + 63)},
        {"Total Cluster Range", Range(2, c.clusterCount + 1)},
        {"Free Sector Count (FS Info)", std::to_string(64ull * (c.clusterCount - 1))},
    };
    for (const auto& [key, value] : expectations) {
        const auto found = facts.find(key);
        EXPECT_TRUE(found != facts.end() && found->second == value)
            << key << ": fsstat says '" << (found == facts.end() ? "(nothing)" : found->second)
            << "', expected '" << value << "'";
    }

    if (c.volumeStart == 0) {
        ExpectFsckFindsOnlyTheMissingLabelEntry(image, c.clusterCount);
    } else {
        const std::string volume = dir_.File("volume.img");
        testing::CopySparseRange(image, start * kSector, uint64_t{c.volumeSectors} * kSector, volume);
        ExpectFsckFindsOnlyTheMissingLabelEntry(volume, c.clusterCount);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Images, FormatEndToEndTest,
    ::testing::Values(FormatCase{"bare_smallest_FAT32_for_other_tools", 4194656, 0, 4194656, 512, 65525},
                      FormatCase{"bare_40_GB", 78140097, 0, 78140097, 9537, 1220640},
                      FormatCase{"MBR_disk_partition_at_2048", 4200448, 2048, 4196352, 513, 65551},
                      FormatCase{"block_device_partition_at_2048", 4200448, 2048, 4196352, 513, 65551, true}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

// A second format of the same image sees the volume the first one made (a FAT32 boot sector also
// ends in 0x55AA, yet it is no partition table) and, with the same clock, writes the same bytes.
TEST(ReformatTest, FormattingAgainGivesTheSameVolume) {
    struct Case {
        const char* name;
        uint64_t diskSectors;
        uint32_t volumeStart;
        uint32_t volumeSectors;
    };
    const Case cases[] = {
        {"bare volume", 4194656, 0, 4194656},
        {"MBR disk", 4200448, 2048, 4196352},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        const std::string image = dir.File("disk.img");
        CreateSparseFile(image, c.diskSectors * kSector);
        if (c.volumeStart != 0) {
            WriteBytes(image, 0, MbrSector({{0x06, c.volumeStart, c.volumeSectors}}));
        }
        const uint64_t written = (c.volumeStart + 2048) * kSector;  // past every structure
        ASSERT_TRUE(Format(testing::ImageTarget(image)).result);
        const auto first = ReadBytes(image, 0, written);
        ASSERT_TRUE(Format(testing::ImageTarget(image)).result);
        EXPECT_TRUE(ReadBytes(image, 0, written) == first)
            << "the second format wrote elsewhere or otherwise";
    }
}

// A volume too small is refused and the image is left byte for byte as it was.
TEST(FormatRefusalTest, ARefusedVolumeIsLeftUnchanged) {
    struct Case {
        const char* name;
        uint64_t diskSectors;
        uint32_t volumeStart;
        uint32_t volumeSectors;
    };
    const Case cases[] = {
        {"bare volume of 65,535 sectors", 65535, 0, 65535},
        {"MBR partition of 65,535 sectors", 70000, 2048, 65535},
    };
    const std::u16string tooSmall =
        u"FAT32로 포맷하기엔 너무 작은 용량의 디스크입니다 - 적어도 64K 클러스터가 있어야 합니다.";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        const std::string image = dir.File("disk.img");
        CreateSparseFile(image, c.diskSectors * kSector);
        // A busy pattern in which every sector carries its own number.
        std::vector<std::byte> before(c.diskSectors * kSector);
        const auto pattern = PatternSector(0xA5A5);
        for (uint64_t sector = 0; sector < c.diskSectors; ++sector) {
            std::byte* at = before.data() + sector * kSector;
            std::memcpy(at, pattern.data(), kSector);
            std::memcpy(at, &sector, sizeof sector);
        }
        if (c.volumeStart != 0) {
            const auto mbr = MbrSector({{0x06, c.volumeStart, c.volumeSectors}});
            std::copy(mbr.begin(), mbr.end(), before.begin());
        }
        WriteBytes(image, 0, before);

        const FormatOutcome outcome = Format(testing::ImageTarget(image));
        EXPECT_FALSE(outcome.result);
        ASSERT_GE(outcome.lines.size(), 2u);
        EXPECT_EQ(outcome.lines.back(), u"포맷작업 중 에러발생");
        EXPECT_NE(std::find(outcome.lines.begin(), outcome.lines.end(), tooSmall), outcome.lines.end());
        const auto after = ReadBytes(image, 0, c.diskSectors * kSector);
        EXPECT_TRUE(after.size() == before.size() &&
                    std::memcmp(after.data(), before.data(), before.size()) == 0)
            << "the image changed";
    }
}

TEST(FormatRefusalTest, AVolumeTooLargeIsLeftUnchanged) {
    testing::TempDir dir;
    const std::string image = dir.File("huge.img");
    const uint64_t sectors = 4294967295ull;  // one more than FAT32 takes here
    CreateSparseFile(image, sectors * kSector);
    Probes probes(image, sectors);
    for (const uint64_t s : {uint64_t{0}, uint64_t{8}, uint64_t{32}, uint64_t{1 << 20}, sectors - 1}) {
        probes.Add(s);
    }
    const auto sector0 = ReadBytes(image, 0, kSector);
    const FormatOutcome outcome = Format(testing::ImageTarget(image));
    EXPECT_FALSE(outcome.result);
    probes.ExpectUnchangedOutside(0, 0);
    EXPECT_EQ(ReadBytes(image, 0, kSector), sector0);
}

TEST(FormatRefusalTest, AnImageInUseIsRefusedAfterSixAttemptsWithItsErrno) {
    testing::TempDir dir;
    const std::string image = dir.File("busy.img");
    CreateSparseFile(image, 4194656 * kSector);
    Probes probes(image, 4194656);
    probes.Add(0);
    probes.Add(32);
    DriveTable drives;
    drives.Add(testing::ImageTarget(image));
    LinuxVolumeSystem other(drives);
    auto holder = other.CreateFileW(u"\\\\.\\D:", kGenericRead | kGenericWrite, 0, kFileFlagNoBuffering);
    ASSERT_NE(holder, nullptr);

    const FormatOutcome outcome = Format(testing::ImageTarget(image));
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.sleeps, std::vector<uint32_t>(6, 1000));
    ASSERT_GE(outcome.lines.size(), 2u);
    std::u16string errorText = u"-error=<";
    for (const char ch : std::to_string(EWOULDBLOCK)) {
        errorText += static_cast<char16_t>(ch);
    }
    EXPECT_NE(outcome.lines[outcome.lines.size() - 2].find(errorText + u">"), std::u16string::npos)
        << "the open failure reports errno";
    EXPECT_EQ(outcome.lines.back(), u"포맷작업 중 에러발생");
    probes.ExpectUnchangedOutside(0, 0);
}

}  // namespace
}  // namespace tolven::linux_host
