#include "fat32/format_volume.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "fat32/fat32_structures.h"
#include "fat32/format_messages.h"
#include "tests/support/fake_controls.h"
#include "tests/support/fake_volume.h"

namespace tolven {
namespace {

namespace msg = format_messages;
using testing::FakeClock;
using testing::FakeLogControl;
using testing::FakePageAllocator;
using testing::FakeProgressControl;
using testing::FakeVolumeSystem;
using testing::SectorMap;
using testing::VolumeCall;
using testing::VolumeCallKind;
using Kind = VolumeCallKind;

constexpr uint64_t k40GBSectors = 78'140'097;
constexpr uint32_t k40GBFatSize = 9'537;
constexpr std::byte kOldContent{0xA5};

const std::vector<std::u16string> kLayout40GB = {
    u"Size : 40GB   78140097 sectors", u"512 Bytes Per Sector, Cluster size 32768 bytes",
    u"Volume ID is 1606:3052",         u"32 Reserved Sectors, 9537 Sectors per FAT, 2 fats",
    u"1220640 Total clusters",         u"1220639 Free Clusters",
};

// One format of drive E on a fake volume, with everything it touched kept for inspection.
struct FormatRun {
    explicit FormatRun(uint64_t sectors, uint32_t bytesPerSector = 512) : volumes(sectors, bytesPerSector) {}

    bool Format(uint32_t sectorsPerCluster = 64) {
        const FormatRequest request{&log, &progress, 'E', sectorsPerCluster};
        return FormatVolumeFat32(request, FormatPlatform{volumes, clock, pages});
    }
    // Old content in the sectors that a format clears, and just behind them.
    void FillOldContent(const std::vector<uint64_t>& sectors) {
        for (uint64_t sector : sectors) {
            volumes.FillSector(sector, kOldContent);
        }
    }
    std::vector<Kind> CallKinds() const {
        std::vector<Kind> kinds;
        for (const VolumeCall& call : volumes.calls) {
            kinds.push_back(call.kind);
        }
        return kinds;
    }
    std::vector<uint32_t> StructureWriteSectors(std::size_t clearingWrites) const {
        const auto writes = volumes.CallsOf(Kind::kWrite);
        std::vector<uint32_t> sectors;
        for (std::size_t i = clearingWrites; i < writes.size(); ++i) {
            EXPECT_EQ(writes[i].size, 512u);
            sectors.push_back(static_cast<uint32_t>(writes[i].offset / 512));
        }
        return sectors;
    }

    FakeVolumeSystem volumes;
    FakeClock clock{&volumes.calls};
    FakePageAllocator pages;
    FakeLogControl log;
    FakeProgressControl progress;
};

// The parts one after the other: log lines or call kinds.
template <typename T>
std::vector<T> Concat(std::initializer_list<std::vector<T>> parts) {
    std::vector<T> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const std::vector<std::u16string> kWritingLines40GB = {
    u"Formatting drive E:...",
    u"Clearing out 19170 sectors for Reserved sectors, fats and root cluster...",
};

using Messages = std::vector<FakeProgressControl::Message>;
const Messages kFullProgress = {
    {kPbmSetRange, 0, 0x40000}, {kPbmSetPos, 0, 0}, {kPbmSetStep, 1, 0}, {kPbmStepIt, 0, 0},
    {kPbmStepIt, 0, 0},         {kPbmStepIt, 0, 0}, {kPbmStepIt, 0, 0},
};

std::vector<Kind> Repeat(Kind kind, std::size_t count) {
    return std::vector<Kind>(count, kind);
}

const std::vector<Kind> kAccess = {Kind::kOpen, Kind::kLock, Kind::kGetGeometry, Kind::kGetPartitionInfo};

TEST(FormatVolumeTest, Formats40GBVolumeInOrder) {
    FormatRun run(k40GBSectors);
    run.log.text = u"intro\r\n";
    run.FillOldContent({2, 8, 33, 9'570, 19'106, 19'169, 19'170});

    ASSERT_TRUE(run.Format());

    EXPECT_EQ(run.log.Lines(),
              Concat<std::u16string>({{u"intro"},
                                      kLayout40GB,
                                      kWritingLines40GB,
                                      {u"Initialising reserved sectors and FATs...", msg::kFormatDone}}));
    EXPECT_EQ(run.CallKinds(),
              Concat<Kind>({kAccess,
                            Repeat(Kind::kWrite, 150 + 6),
                            {Kind::kSetPartitionType, Kind::kDismount, Kind::kUnlock, Kind::kClose}}));
    const VolumeCall& open = run.volumes.calls.front();
    EXPECT_EQ(open.path, u"\\\\.\\E:");
    EXPECT_EQ(open.access, kGenericRead | kGenericWrite);
    EXPECT_EQ(open.share, kFileShareRead | kFileShareWrite);
    EXPECT_EQ(open.flags, kFileFlagNoBuffering);
    EXPECT_EQ(run.volumes.CallsOf(Kind::kSetPartitionType)[0].partitionType, 0x0C);

    // 19,170 sectors cleared from sector 0 on: 149 writes of 128 sectors, then one of 98.
    const auto writes = run.volumes.CallsOf(Kind::kWrite);
    for (std::size_t i = 0; i < 150; ++i) {
        ASSERT_EQ(writes[i].offset, i * 65'536) << "clearing write " << i;
        ASSERT_EQ(writes[i].size, i < 149 ? 65'536u : 98u * 512) << "clearing write " << i;
    }
    EXPECT_EQ(run.StructureWriteSectors(150), (std::vector<uint32_t>{0, 1, 6, 7, 32, 32 + k40GBFatSize}));
    EXPECT_EQ(run.progress.messages, kFullProgress);

    // Only the structures remain in the cleared area; the data area behind it is left alone.
    std::vector<uint64_t> stored;
    for (const auto& [sector, bytes] : run.volumes.sectors()) {
        stored.push_back(sector);
    }
    EXPECT_EQ(stored, (std::vector<uint64_t>{0, 1, 6, 7, 32, 32 + k40GBFatSize, 19'170}));
    EXPECT_EQ(run.volumes.ReadSector(0), run.volumes.ReadSector(6));
    EXPECT_EQ(run.volumes.ReadSector(1), run.volumes.ReadSector(7));
    EXPECT_EQ(run.volumes.ReadSector(32), run.volumes.ReadSector(32 + k40GBFatSize));
    EXPECT_EQ(run.volumes.ReadSector(0)[67], std::byte{0x52});  // the clock's volume id
    EXPECT_EQ(run.volumes.partition.PartitionType, 0x0C);
    EXPECT_EQ(run.clock.timeReads, 1);
    EXPECT_TRUE(run.clock.sleeps.empty());
    EXPECT_EQ(run.pages.requests, (std::vector<std::size_t>{512, 512, 512, 65'536}));
    EXPECT_EQ(run.pages.liveBlocks(), 0u);
}

TEST(FormatVolumeTest, SmallestVolumeIsClearedInOneWrite) {
    FormatRun run(65'536);
    ASSERT_TRUE(run.Format());
    const auto writes = run.volumes.CallsOf(Kind::kWrite);
    ASSERT_EQ(writes.size(), 7u);
    EXPECT_EQ(writes[0].size, 114u * 512);
    EXPECT_EQ(run.StructureWriteSectors(1), (std::vector<uint32_t>{0, 1, 6, 7, 32, 41}));
}

TEST(FormatVolumeTest, OpenIsTriedSixTimesOneSecondApart) {
    FormatRun run(k40GBSectors);
    run.volumes.faults.openSucceedsAtAttempt = 0;
    run.volumes.faults.openErrors = {32, 32, 32, 32, 32, -5};
    EXPECT_FALSE(run.Format());
    EXPECT_EQ(run.log.Lines(),
              (std::vector<std::u16string>{
                  u"장치 사용에 실패했습니다. -error=<-5>다른 프로그램이 장치를 사용 중인지 확인해 "
                  u"주십시요.",
                  msg::kFormatFailed}));
    std::vector<Kind> expected;
    for (int i = 0; i < 6; ++i) {
        expected.insert(expected.end(), {Kind::kOpen, Kind::kSleep});
    }
    EXPECT_EQ(run.CallKinds(), expected);
    EXPECT_EQ(run.clock.sleeps, std::vector<uint32_t>(6, 1'000));
    EXPECT_TRUE(run.progress.messages.empty());
    EXPECT_TRUE(run.pages.requests.empty());
}

TEST(FormatVolumeTest, OpenThatSucceedsAtTheThirdAttemptLeavesNoTrace) {
    FormatRun run(k40GBSectors);
    run.volumes.faults.openSucceedsAtAttempt = 3;
    EXPECT_TRUE(run.Format());
    EXPECT_EQ(run.clock.sleeps, (std::vector<uint32_t>{1'000, 1'000}));
    EXPECT_EQ(run.log.Lines().front(), kLayout40GB[0]);
    EXPECT_EQ(run.volumes.CallsOf(Kind::kOpen).size(), 3u);
}

TEST(FormatVolumeTest, LockThatSucceedsAtTheThirdAttemptLeavesNoTrace) {
    FormatRun run(k40GBSectors);
    run.volumes.faults.lockSucceedsAtAttempt = 3;
    EXPECT_TRUE(run.Format());
    EXPECT_EQ(run.log.Lines().front(), kLayout40GB[0]);
    EXPECT_EQ(run.clock.sleeps, (std::vector<uint32_t>{1'000, 1'000}));
    const std::vector<Kind> kinds = run.CallKinds();
    EXPECT_EQ(std::vector<Kind>(kinds.begin(), kinds.begin() + 7),
              (std::vector<Kind>{Kind::kOpen, Kind::kLock, Kind::kSleep, Kind::kLock, Kind::kSleep,
                                 Kind::kLock, Kind::kGetGeometry}));
}

// A volume that fills its disk from the first sector has no partition table: the partition type
// is not set, and the volume is handed back and the format ends as usual.
TEST(FormatVolumeTest, VolumeWithoutPartitionTableKeepsItsType) {
    FormatRun run(k40GBSectors);
    run.volumes.partition.HiddenSectors = 0;
    run.volumes.partition.StartingOffset = 0;
    run.volumes.faults.refuseSetPartitionType = true;  // would end the format if it were asked
    EXPECT_TRUE(run.Format());
    EXPECT_EQ(run.log.Lines().back(), msg::kFormatDone);
    EXPECT_EQ(
        run.CallKinds(),
        Concat<Kind>({kAccess, Repeat(Kind::kWrite, 156), {Kind::kDismount, Kind::kUnlock, Kind::kClose}}));
    EXPECT_EQ(LoadLe32(&run.volumes.ReadSector(0)[boot_sector::kHiddenSectors]), 0u);
}

// Refusals before anything is written: the volume is left byte for byte as it was.
TEST(FormatVolumeTest, RefusedVolumeIsLeftUnchanged) {
    struct Case {
        const char* name;
        uint64_t sectors;
        uint32_t bytesPerSector;
        uint32_t sectorsPerCluster;
        std::function<void(FakeVolumeSystem&)> arrange;
        std::vector<std::u16string> lines;
        std::vector<Kind> calls;
    };
    const auto none = [](FakeVolumeSystem&) {};
    const std::vector<Kind> accessed = Concat<Kind>({kAccess, {Kind::kClose}});
    const Case cases[] = {
        {"lock refused six times, one second apart",
         k40GBSectors,
         512,
         64,
         [](FakeVolumeSystem& v) { v.faults.lockSucceedsAtAttempt = 0; },
         {msg::kLockFailed, msg::kFormatFailed},
         {Kind::kOpen, Kind::kLock, Kind::kSleep, Kind::kLock, Kind::kSleep, Kind::kLock, Kind::kSleep,
          Kind::kLock, Kind::kSleep, Kind::kLock, Kind::kSleep, Kind::kLock, Kind::kClose}},
        {"geometry unreadable",
         k40GBSectors,
         512,
         64,
         [](FakeVolumeSystem& v) { v.faults.refuseGeometry = true; },
         {msg::kGeometryUnreadable, msg::kFormatFailed},
         {Kind::kOpen, Kind::kLock, Kind::kGetGeometry, Kind::kClose}},
        {"partition unreadable",
         k40GBSectors,
         512,
         64,
         [](FakeVolumeSystem& v) { v.faults.refusePartitionInfo = true; },
         {msg::kPartitionUnreadable, msg::kFormatFailed},
         accessed},
        {"4,096-byte sectors",
         k40GBSectors / 8,
         4'096,
         64,
         none,
         {u"섹터당 512 바이트 포맷만 지원합니다.", u"", msg::kFormatFailed},
         accessed},
        {"too small",
         65'535,
         512,
         64,
         none,
         {u"FAT32로 포맷하기엔 너무 작은 용량의 디스크입니다 - 적어도 64K 클러스터가 있어야 합니다.", u"",
          msg::kFormatFailed},
         accessed},
        {"too large",
         65'536,
         512,
         64,
         [](FakeVolumeSystem& v) { v.partition.PartitionLength = int64_t{1} << 41; },
         {u"FAT32로 포맷하기엔 너무 큰 용량의 디스크입니다 - 최대 2TB 까지만 지원합니다.", u"",
          msg::kFormatFailed},
         accessed},
        {"2^28 clusters or more (after the six layout lines)",
         300'000'000,
         512,
         1,
         none,
         {u"Size : 153GB   300000000 sectors", u"512 Bytes Per Sector, Cluster size 512 bytes",
          u"Volume ID is 1606:3052", u"32 Reserved Sectors, 2307693 Sectors per FAT, 2 fats",
          u"295384582 Total clusters", u"295384581 Free Clusters",
          u"이 디스크는 2^28 이상의 클러스터가 있습니다, 더 큰 클러스터 사이즈로 포맷하세요.", u"",
          msg::kFormatFailed},
         accessed},
        {"one cluster more than FAT32 can number",
         272'629'782,
         512,
         1,
         none,
         {u"Size : 139GB   272629782 sectors", u"512 Bytes Per Sector, Cluster size 512 bytes",
          u"Volume ID is 1606:3052", u"32 Reserved Sectors, 2097152 Sectors per FAT, 2 fats",
          u"268435446 Total clusters", u"268435445 Free Clusters",
          u"이 디스크는 2^28 이상의 클러스터가 있습니다, 더 큰 클러스터 사이즈로 포맷하세요.", u"",
          msg::kFormatFailed},
         accessed},
        {"255 sectors per cluster",
         k40GBSectors,
         512,
         255,
         none,
         {u"Size : 40GB   78140097 sectors", u"512 Bytes Per Sector, Cluster size 130560 bytes",
          u"Volume ID is 1606:3052", u"32 Reserved Sectors, 2394 Sectors per FAT, 2 fats",
          u"306412 Total clusters", u"306411 Free Clusters",
          u"이 디스크는 2^28 이상의 클러스터가 있습니다, 더 큰 클러스터 사이즈로 포맷하세요.", u"",
          msg::kFormatFailed},
         accessed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FormatRun run(c.sectors, c.bytesPerSector);
        c.arrange(run.volumes);
        run.FillOldContent({0, 1, 6, 7, 32, 100});
        const SectorMap before = run.volumes.sectors();
        const uint8_t typeBefore = run.volumes.partition.PartitionType;

        EXPECT_FALSE(run.Format(c.sectorsPerCluster));

        EXPECT_EQ(run.log.Lines(), c.lines);
        EXPECT_EQ(run.CallKinds(), c.calls);
        EXPECT_TRUE(run.volumes.sectors() == before) << "the volume's content changed";
        EXPECT_EQ(run.volumes.partition.PartitionType, typeBefore);
        EXPECT_TRUE(run.progress.messages.empty());
        EXPECT_EQ(run.pages.liveBlocks(), 0u);
    }
}

TEST(FormatVolumeTest, SectorBufferThatCannotBeHadEndsTheFormatUntouched) {
    for (int failing = 1; failing <= 3; ++failing) {
        SCOPED_TRACE("allocation " + std::to_string(failing) + " fails");
        FormatRun run(k40GBSectors);
        run.pages.failAllocationNumber = failing;
        EXPECT_FALSE(run.Format());
        EXPECT_EQ(run.log.Lines(), (std::vector<std::u16string>{msg::kAllocationFailed, msg::kFormatFailed}));
        EXPECT_EQ(run.CallKinds(), Concat<Kind>({kAccess, {Kind::kClose}}));
        EXPECT_EQ(run.pages.liveBlocks(), 0u);
    }
}

// After the structures are written, a refused device control ends the format at once.
TEST(FormatVolumeTest, RefusedHandBackEndsTheFormatWithItsMessage) {
    struct Case {
        const char* name;
        std::function<void(FakeVolumeSystem&)> arrange;
        const char16_t* message;
        std::vector<Kind> tail;
    };
    const Case cases[] = {
        {"partition type refused",
         [](FakeVolumeSystem& v) { v.faults.refuseSetPartitionType = true; },
         msg::kSetPartitionFailed,
         {Kind::kSetPartitionType, Kind::kClose}},
        {"dismount refused",
         [](FakeVolumeSystem& v) { v.faults.refuseDismount = true; },
         msg::kDismountFailed,
         {Kind::kSetPartitionType, Kind::kDismount, Kind::kClose}},
        {"unlock refused",
         [](FakeVolumeSystem& v) { v.faults.refuseUnlock = true; },
         msg::kUnlockFailed,
         {Kind::kSetPartitionType, Kind::kDismount, Kind::kUnlock, Kind::kClose}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FormatRun run(k40GBSectors);
        c.arrange(run.volumes);
        EXPECT_FALSE(run.Format());
        EXPECT_EQ(run.log.Lines(), Concat<std::u16string>({kLayout40GB,
                                                           kWritingLines40GB,
                                                           {u"Initialising reserved sectors and FATs...",
                                                            c.message, msg::kFormatFailed}}));
        EXPECT_EQ(run.CallKinds(), Concat<Kind>({kAccess, Repeat(Kind::kWrite, 156), c.tail}));
        EXPECT_EQ(run.progress.messages, kFullProgress);
        EXPECT_EQ(run.volumes.sectors().size(), 6u);  // the structures are in place
    }
}

// A failed write is logged where it happens, the sequence still runs to its end (every structure
// write tried, the volume handed back), and the format reports the failure.
TEST(FormatVolumeTest, FailedWriteIsReportedAsAFailedFormat) {
    struct Case {
        const char* name;
        int failWriteNumber;
        bool fromThenOn;
        int failAllocationNumber;
        std::vector<std::u16string> afterClearing;  // log lines after "Clearing out ..."
        std::size_t writes;
        bool fallsShort = false;  // the failing writes report success with nothing written
    };
    const std::u16string init = u"Initialising reserved sectors and FATs...";
    const std::u16string failed = msg::kWriteFailed;
    const Case cases[] = {
        {"third clearing write fails", 3, false, 0, {failed, init}, 3 + 6},
        {"clearing write fails, and everything after",
         3,
         true,
         0,
         {failed, init, failed, failed, failed, failed, failed, failed},
         3 + 6},
        {"zero buffer cannot be had", 0, false, 4, {failed, init}, 6},
        {"FSInfo write fails", 152, false, 0, {init, failed}, 156},
        {"second FAT head fails", 156, false, 0, {init, failed}, 156},
        {"clearing writes fall short from the third on",
         3,
         true,
         0,
         {failed, init, failed, failed, failed, failed, failed, failed},
         3 + 6,
         true},
        {"backup boot sector falls short", 153, false, 0, {init, failed}, 156, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FormatRun run(k40GBSectors);
        run.volumes.faults.failWriteNumber = c.failWriteNumber;
        run.volumes.faults.writesFailFromThenOn = c.fromThenOn;
        run.volumes.faults.failedWritesFallShort = c.fallsShort;
        run.pages.failAllocationNumber = c.failAllocationNumber;
        EXPECT_FALSE(run.Format());
        EXPECT_EQ(
            run.log.Lines(),
            Concat<std::u16string>({kLayout40GB, kWritingLines40GB, c.afterClearing, {msg::kFormatFailed}}));
        EXPECT_EQ(run.CallKinds(),
                  Concat<Kind>({kAccess,
                                Repeat(Kind::kWrite, c.writes),
                                {Kind::kSetPartitionType, Kind::kDismount, Kind::kUnlock, Kind::kClose}}));
        EXPECT_EQ(run.StructureWriteSectors(c.writes - 6), (std::vector<uint32_t>{0, 1, 6, 7, 32, 9'569}));
        EXPECT_EQ(run.progress.messages, kFullProgress);
        EXPECT_EQ(run.pages.liveBlocks(), 0u);
    }
}

// With the clock fixed, a format is byte-for-byte reproducible; the time shows only in the id.
TEST(FormatVolumeTest, FixedClockGivesAByteForByteReproducibleVolume) {
    FormatRun first(k40GBSectors);
    FormatRun second(k40GBSectors);
    FormatRun later(k40GBSectors);
    later.clock.now.wMinute += 1;
    ASSERT_TRUE(first.Format());
    ASSERT_TRUE(second.Format());
    ASSERT_TRUE(later.Format());
    EXPECT_TRUE(first.volumes.sectors() == second.volumes.sectors());

    SectorMap differences = later.volumes.sectors();
    for (uint64_t sector : {kBootSector, kBackupBootSector}) {
        EXPECT_EQ(LoadLe32(&differences[sector][boot_sector::kVolumeId]), 0x16073052u);
        differences[sector] = first.volumes.ReadSector(sector);
    }
    EXPECT_TRUE(differences == first.volumes.sectors());
}

}  // namespace
}  // namespace tolven
