// Labels, space, directories and files on an in-memory volume, read back with the independent
// helpers of test_volume.h, and the volume checked for consistency after every change.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fatfs/fat32_volume.h"
#include "tests/fatfs/memory_block_device.h"
#include "tests/fatfs/test_volume.h"
#include "tests/support/little_endian.h"

namespace tolven {
namespace {

using testing::CheckConsistency;
using testing::MemoryBlockDevice;
using testing::PatternBytes;
using testing::ReadDirectory;
using testing::TestEntry;
using testing::TestLayout;

SystemTime FixedTime() {
    SystemTime t;
    t.wYear = 2024;
    t.wMonth = 3;
    t.wDay = 15;
    t.wHour = 14;
    t.wMinute = 30;
    t.wSecond = 45;
    t.wMilliseconds = 678;
    return t;
}
// 2024-03-15 14:30:44 in FAT form.
constexpr uint16_t kFixedDate = ((2024 - 1980) << 9) | (3 << 5) | 15;
constexpr uint16_t kFixedTime = (14 << 11) | (30 << 5) | 22;

class Fat32VolumeTest : public ::testing::Test {
  protected:
    void Make(uint64_t sectors, uint32_t sectorsPerCluster) {
        device_ = std::make_unique<MemoryBlockDevice>(sectors);
        layout_ = testing::FormatTestVolume(*device_, sectorsPerCluster);
        volume_ = std::make_unique<Fat32Volume>(*device_, FixedTime);
        ASSERT_TRUE(volume_->Open().ok());
    }
    void SetUp() override { Make(65536, 8); }

    std::vector<TestEntry> Dir(uint32_t cluster) { return ReadDirectory(*device_, layout_, cluster); }
    const TestEntry* Lookup(uint32_t cluster, const std::string& raw11) {
        entries_ = Dir(cluster);
        for (const TestEntry& e : entries_) {
            if (e.name == raw11) {
                return &e;
            }
        }
        return nullptr;
    }
    uint32_t FreeClusters() {
        uint64_t bytes = 0;
        EXPECT_TRUE(volume_->FreeBytes(bytes).ok());
        return static_cast<uint32_t>(bytes / layout_.ClusterBytes());
    }
    FatStatus CreateFile(std::vector<std::string> path, const std::vector<std::byte>& data) {
        if (FatStatus s = volume_->CreateFile(path); !s.ok()) {
            return s;
        }
        return volume_->WriteContent(path, data.data(), data.size());
    }

    std::unique_ptr<MemoryBlockDevice> device_;
    TestLayout layout_;
    std::unique_ptr<Fat32Volume> volume_;
    std::vector<TestEntry> entries_;
};

// ---- label -------------------------------------------------------------------------------------

TEST_F(Fat32VolumeTest, LabelIsReadFromTheRootEntryNotTheBootSector) {
    // The freshly formatted volume has "PMP" in its boot sector but no label entry.
    std::string label = "x";
    ASSERT_TRUE(volume_->ReadLabel(label).ok());
    EXPECT_EQ(label, "");
}

TEST_F(Fat32VolumeTest, SettingTheLabelWritesRootEntryAndBothBootSectors) {
    ASSERT_TRUE(volume_->SetLabel("PMP").ok());
    const std::vector<TestEntry> root = Dir(2);
    ASSERT_EQ(root.size(), 1u);
    EXPECT_EQ(root[0].name, "PMP        ");
    EXPECT_EQ(root[0].attributes, 0x08);
    EXPECT_EQ(root[0].firstCluster, 0u);
    EXPECT_EQ(root[0].size, 0u);
    EXPECT_EQ(root[0].writeDate, kFixedDate);
    EXPECT_EQ(root[0].writeTime, kFixedTime);
    for (const uint64_t sector : {0u, 6u}) {
        const std::vector<std::byte> field = device_->Bytes(sector * 512 + 71, 11);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(field.data()), 11), "PMP        ")
            << "sector " << sector;
    }
    std::string label;
    ASSERT_TRUE(volume_->ReadLabel(label).ok());
    EXPECT_EQ(label, "PMP");
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
}

TEST_F(Fat32VolumeTest, RelabellingReplacesTheEntryAndEmptyRemovesIt) {
    ASSERT_TRUE(volume_->SetLabel("PMP").ok());
    ASSERT_TRUE(volume_->SetLabel("my player").ok());
    std::vector<TestEntry> root = Dir(2);
    ASSERT_EQ(root.size(), 1u) << "a second label entry was added";
    EXPECT_EQ(root[0].name, "MY PLAYER  ");
    std::string label;
    ASSERT_TRUE(volume_->ReadLabel(label).ok());
    EXPECT_EQ(label, "MY PLAYER");

    ASSERT_TRUE(volume_->SetLabel("").ok());
    EXPECT_TRUE(Dir(2).empty());
    const std::vector<std::byte> field = device_->Bytes(71, 11);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(field.data()), 11), "NO NAME    ");
    ASSERT_TRUE(volume_->ReadLabel(label).ok());
    EXPECT_EQ(label, "");
}

TEST_F(Fat32VolumeTest, InvalidLabelsChangeNothing) {
    for (const char* bad : {"TOOLONGLABEL", "A.B", "A*", "A:B", "A\\B", "A\"B", "\x7F", "\xED\x95\x9C"}) {
        SCOPED_TRACE(bad);
        device_->writeCount = 0;
        const FatStatus status = volume_->SetLabel(bad);
        EXPECT_EQ(status.error, FatError::kInvalidName) << bad;
        EXPECT_EQ(device_->writeCount, 0u) << bad;
    }
}

// ---- space and directories ---------------------------------------------------------------------

TEST_F(Fat32VolumeTest, DirectoryHasDotEntriesAndAZeroedCluster) {
    const std::vector<std::string> system = {"SYSTEM"};
    const std::vector<std::string> fonts = {"SYSTEM", "FONTS"};
    const uint32_t freeBefore = FreeClusters();
    ASSERT_TRUE(volume_->CreateDirectory(system).ok());
    ASSERT_TRUE(volume_->CreateDirectory(fonts).ok());
    EXPECT_EQ(FreeClusters(), freeBefore - 2);

    const TestEntry* dir = Lookup(2, "SYSTEM     ");
    ASSERT_NE(dir, nullptr);
    EXPECT_EQ(dir->attributes, 0x10);
    EXPECT_EQ(dir->firstCluster, 3u) << "the first free cluster after the root";
    EXPECT_EQ(dir->createDate, kFixedDate);
    const uint32_t systemCluster = dir->firstCluster;
    const std::vector<TestEntry> inside = Dir(systemCluster);
    ASSERT_EQ(inside.size(), 3u);
    EXPECT_EQ(inside[0].name, ".          ");
    EXPECT_EQ(inside[0].firstCluster, systemCluster);
    EXPECT_EQ(inside[1].name, "..         ");
    EXPECT_EQ(inside[1].firstCluster, 0u) << "the root is named 0 in ..";
    EXPECT_EQ(inside[2].name, "FONTS      ");
    const std::vector<TestEntry> fontsDir = Dir(inside[2].firstCluster);
    ASSERT_GE(fontsDir.size(), 2u);
    EXPECT_EQ(fontsDir[1].firstCluster, systemCluster) << ".. of a subdirectory names its parent";
    // The rest of the new cluster is zero: the directory ends after its two dot entries.
    const std::vector<std::byte> rest =
        device_->Bytes(layout_.ClusterOffset(inside[2].firstCluster) + 64, layout_.ClusterBytes() - 64);
    EXPECT_EQ(rest, std::vector<std::byte>(rest.size()));
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
}

TEST_F(Fat32VolumeTest, DirectoryCreationRefusals) {
    const std::vector<std::string> system = {"SYSTEM"};
    ASSERT_TRUE(volume_->CreateDirectory(system).ok());
    ASSERT_TRUE(CreateFile({"SYSTEM", "A.TXT"}, PatternBytes(10, 1)).ok());
    struct Case {
        const char* name;
        std::vector<std::string> path;
        FatError expected;
    };
    const Case cases[] = {
        {"existing directory", {"SYSTEM"}, FatError::kAlreadyExists},
        {"existing file", {"SYSTEM", "A.TXT"}, FatError::kAlreadyExists},
        {"missing parent", {"MUSIC", "ROCK"}, FatError::kNotFound},
        {"parent is a file", {"SYSTEM", "A.TXT", "SUB"}, FatError::kNotFound},
        {"lower-case name", {"movie"}, FatError::kInvalidName},
        {"long name", {"PICTURES2024"}, FatError::kInvalidName},
        {"root itself", {}, FatError::kInvalidName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device_->writeCount = 0;
        EXPECT_EQ(volume_->CreateDirectory(c.path).error, c.expected) << c.name;
        EXPECT_EQ(device_->writeCount, 0u) << c.name;
    }
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
}

// ---- files -------------------------------------------------------------------------------------

TEST_F(Fat32VolumeTest, FilesOfEverySizeReadBackIdentical) {
    const uint32_t cluster = layout_.ClusterBytes();
    struct Case {
        const char* name;
        std::size_t size;
    };
    const Case cases[] = {
        {"EMPTY.BIN", 0},
        {"ONE.BIN", 1},
        {"SECTOR.BIN", 512},
        {"CLUSTER.BIN", cluster},
        {"CLUSTER1.BIN", cluster + 1},
        {"ODD.BIN", 3 * cluster + 17},
        {"UNICODEF.FON", 2096640},
    };
    ASSERT_TRUE(volume_->CreateDirectory(std::vector<std::string>{"SYSTEM"}).ok());
    uint32_t seed = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::byte> data = PatternBytes(c.size, ++seed);
        const uint32_t freeBefore = FreeClusters();
        ASSERT_TRUE(CreateFile({"SYSTEM", c.name}, data).ok()) << c.name;
        const uint32_t clusters = static_cast<uint32_t>((c.size + cluster - 1) / cluster);
        EXPECT_EQ(FreeClusters(), freeBefore - clusters) << c.name;

        const TestEntry* dir = Lookup(2, "SYSTEM     ");
        ASSERT_NE(dir, nullptr);
        std::string raw11(11, ' ');
        const std::string name = c.name;
        const std::size_t dot = name.find('.');
        raw11.replace(0, dot, name.substr(0, dot));
        raw11.replace(8, name.size() - dot - 1, name.substr(dot + 1));
        const TestEntry* file = Lookup(dir->firstCluster, raw11);
        ASSERT_NE(file, nullptr) << c.name;
        EXPECT_EQ(file->size, c.size);
        EXPECT_EQ(file->attributes, 0x20);
        EXPECT_EQ(file->writeDate, kFixedDate);
        EXPECT_EQ(file->writeTime, kFixedTime);
        EXPECT_EQ(testing::ReadFileBytes(*device_, layout_, *file), data) << c.name;
        // Contiguous on a fresh volume, ended in both FATs.
        const std::vector<uint32_t> chain = testing::ReadChain(*device_, layout_, file->firstCluster);
        ASSERT_EQ(chain.size(), clusters);
        for (std::size_t i = 1; i < chain.size(); ++i) {
            EXPECT_EQ(chain[i], chain[0] + i) << c.name << " is fragmented";
        }
        if (!chain.empty()) {
            EXPECT_EQ(testing::ReadFatEntry(*device_, layout_, 1, chain.back()), 0x0FFFFFFFu);
        } else {
            EXPECT_EQ(file->firstCluster, 0u);
        }
        EXPECT_EQ(CheckConsistency(*device_, layout_), "") << c.name;
    }
}

TEST_F(Fat32VolumeTest, TheFontIsWrittenInFewLargeWrites) {
    const std::vector<std::byte> font = PatternBytes(2096640, 7);
    const std::vector<std::string> path = {"UNICODEF.FON"};
    ASSERT_TRUE(volume_->CreateFile(path).ok());
    device_->writeSizes.clear();
    ASSERT_TRUE(volume_->WriteContent(path, font.data(), font.size()).ok());
    // The data in one write, then one FAT write per FAT, the entry and FSInfo.
    EXPECT_LE(device_->writeSizes.size(), 6u);
    EXPECT_EQ(device_->writeSizes[0], font.size());
}

TEST_F(Fat32VolumeTest, AnExistingFileIsNeverTruncatedOrOverwritten) {
    const std::vector<std::byte> original = PatternBytes(5000, 3);
    ASSERT_TRUE(CreateFile({"KEEP.BIN"}, original).ok());
    EXPECT_EQ(volume_->CreateFile(std::vector<std::string>{"KEEP.BIN"}).error, FatError::kAlreadyExists);
    const std::vector<std::byte> other = PatternBytes(100, 4);
    EXPECT_EQ(volume_->WriteContent(std::vector<std::string>{"KEEP.BIN"}, other.data(), other.size()).error,
              FatError::kInvalidArgument);
    const TestEntry* file = Lookup(2, "KEEP    BIN");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(testing::ReadFileBytes(*device_, layout_, *file), original);
    EXPECT_EQ(Dir(2).size(), 1u);
}

TEST_F(Fat32VolumeTest, ADirectoryGrowsPastItsFirstCluster) {
    Make(65536, 1);  // 512-byte clusters: 16 entries each
    const std::vector<std::string> dir = {"MANY"};
    ASSERT_TRUE(volume_->CreateDirectory(dir).ok());
    for (int i = 0; i < 40; ++i) {
        const std::string name = "F" + std::to_string(i) + ".TXT";
        ASSERT_TRUE(CreateFile({"MANY", name}, PatternBytes(static_cast<std::size_t>(i), i)).ok()) << name;
    }
    const TestEntry* many = Lookup(2, "MANY       ");
    ASSERT_NE(many, nullptr);
    EXPECT_EQ(testing::ReadChain(*device_, layout_, many->firstCluster).size(), 3u)
        << "42 entries, 16 per cluster";
    EXPECT_EQ(Dir(many->firstCluster).size(), 42u);
    for (int i = 0; i < 40; ++i) {
        const std::string name = "F" + std::to_string(i) + ".TXT";
        EXPECT_EQ(volume_->CreateFile(std::vector<std::string>{"MANY", name}).error, FatError::kAlreadyExists)
            << name << " is not found in a later cluster";
    }
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
}

TEST_F(Fat32VolumeTest, TheRootGrowsForTheLabelWhenItIsFull) {
    Make(65536, 1);
    for (int i = 0; i < 16; ++i) {
        ASSERT_TRUE(volume_->CreateDirectory(std::vector<std::string>{"D" + std::to_string(i)}).ok());
    }
    ASSERT_TRUE(volume_->SetLabel("PMP").ok());
    EXPECT_EQ(testing::ReadChain(*device_, layout_, 2).size(), 2u);
    std::string label;
    ASSERT_TRUE(volume_->ReadLabel(label).ok());
    EXPECT_EQ(label, "PMP");
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
}

// ---- full volume, failures and deletion --------------------------------------------------------

TEST_F(Fat32VolumeTest, AFullVolumeRefusesTheWriteAndStaysConsistent) {
    Make(4096, 8);  // 507 clusters of 4 KiB
    const uint32_t free = FreeClusters();
    const std::vector<std::byte> fits = PatternBytes(std::size_t{free - 10} * 4096, 1);
    ASSERT_TRUE(CreateFile({"BIG.BIN"}, fits).ok());
    const std::vector<std::string> path = {"MORE.BIN"};
    ASSERT_TRUE(volume_->CreateFile(path).ok());
    const std::vector<std::byte> fat = device_->Bytes(layout_.FatOffset(0), 2ull * layout_.fatSize * 512);
    const std::vector<std::byte> fsInfo = device_->Bytes(512, 512);
    const std::vector<std::byte> tooBig = PatternBytes(10 * 4096 + 1, 2);
    const FatStatus status = volume_->WriteContent(path, tooBig.data(), tooBig.size());
    EXPECT_EQ(status.error, FatError::kVolumeFull);
    EXPECT_NE(status.message.find("full"), std::string::npos) << status.message;
    EXPECT_EQ(device_->Bytes(layout_.FatOffset(0), 2ull * layout_.fatSize * 512), fat) << "FATs changed";
    EXPECT_EQ(device_->Bytes(512, 512), fsInfo) << "FSInfo changed";
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
    // What is left still fits exactly, down to the last cluster.
    const std::vector<std::byte> rest = PatternBytes(10 * 4096, 3);
    ASSERT_TRUE(volume_->WriteContent(path, rest.data(), rest.size()).ok());
    EXPECT_EQ(FreeClusters(), 0u);
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
    EXPECT_EQ(volume_->CreateDirectory(std::vector<std::string>{"NOROOM"}).error, FatError::kVolumeFull);
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
}

TEST_F(Fat32VolumeTest, ScatteredFreeClustersAreChainedInOrder) {
    Make(4096, 8);
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(CreateFile({"S" + std::to_string(i)}, PatternBytes(4096, i)).ok());
    }
    const uint32_t free = FreeClusters();
    ASSERT_TRUE(CreateFile({"FILL"}, PatternBytes(std::size_t{free} * 4096, 9)).ok());
    for (int i = 0; i < 6; i += 2) {
        ASSERT_TRUE(volume_->DeleteFile(std::vector<std::string>{"S" + std::to_string(i)}).ok());
    }
    const std::vector<std::byte> data = PatternBytes(3 * 4096 - 5, 11);
    ASSERT_TRUE(CreateFile({"SPREAD"}, data).ok());
    const TestEntry* file = Lookup(2, "SPREAD     ");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(testing::ReadFileBytes(*device_, layout_, *file), data);
    EXPECT_EQ(testing::ReadChain(*device_, layout_, file->firstCluster).size(), 3u);
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
}

TEST_F(Fat32VolumeTest, AFailedWriteLeavesNoHalfAllocatedChain) {
    // The writes of one file's content, in order; each fails in turn. Only a failure between the
    // two FAT copies or of FSInfo itself can leave a trace, and it is the one named.
    struct Case {
        uint32_t failingWrite;
        const char* structure;
        const char* allowedProblem;  // prefix of the one problem that may remain
    };
    const Case cases[] = {
        {1, "data", ""},
        {2, "last data sector", ""},
        {3, "FAT 1", ""},
        {4, "FAT 2", "the two FATs differ"},
        {5, "directory entry (the chain is given back)", ""},
        {6, "FSInfo", "FSInfo counts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.structure);
        Make(65536, 8);
        const std::vector<std::string> path = {"F.BIN"};
        ASSERT_TRUE(volume_->CreateFile(path).ok());
        const std::vector<std::byte> data = PatternBytes(5 * 4096 + 100, c.failingWrite);
        device_->FailWrite(c.failingWrite);
        const FatStatus status = volume_->WriteContent(path, data.data(), data.size());
        EXPECT_EQ(status.error, FatError::kIo) << c.structure;
        const std::string problem = CheckConsistency(*device_, layout_);
        EXPECT_EQ(problem.substr(0, std::string(c.allowedProblem).size()), c.allowedProblem) << problem;
        if (std::string(c.allowedProblem).empty()) {
            EXPECT_EQ(problem, "") << c.structure;
            const TestEntry* file = Lookup(2, "F       BIN");
            ASSERT_NE(file, nullptr);
            EXPECT_EQ(file->size, 0u) << c.structure;
            EXPECT_EQ(file->firstCluster, 0u) << c.structure;
        }
        // Once writes work again, the volume takes new files as before.
        Fat32Volume reopened(*device_, FixedTime);
        ASSERT_TRUE(reopened.Open().ok());
        EXPECT_TRUE(reopened.CreateDirectory(std::vector<std::string>{"AFTER"}).ok()) << c.structure;
    }
}

TEST_F(Fat32VolumeTest, DeletingAFileFreesItsChain) {
    const uint32_t free = FreeClusters();
    ASSERT_TRUE(CreateFile({"GONE.BIN"}, PatternBytes(3 * 4096, 1)).ok());
    ASSERT_TRUE(volume_->CreateDirectory(std::vector<std::string>{"DIR"}).ok());
    ASSERT_TRUE(volume_->DeleteFile(std::vector<std::string>{"GONE.BIN"}).ok());
    EXPECT_EQ(FreeClusters(), free - 1);
    EXPECT_EQ(Lookup(2, "GONE    BIN"), nullptr);
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
    EXPECT_EQ(volume_->DeleteFile(std::vector<std::string>{"GONE.BIN"}).error, FatError::kNotFound);
    EXPECT_EQ(volume_->DeleteFile(std::vector<std::string>{"DIR"}).error, FatError::kAccessDenied);
    // The name can be used again.
    EXPECT_TRUE(CreateFile({"GONE.BIN"}, PatternBytes(10, 2)).ok());
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
}

// ---- order on the disk -------------------------------------------------------------------------

// A device may keep the writes between two flushes in any order: what a new entry points to (data
// or a cleared cluster, and the chain) must be flushed before the entry is written, and a cleared
// cluster before the link that adds it to an existing directory.
TEST_F(Fat32VolumeTest, WhatAnEntryPointsToIsFlushedBeforeTheEntryAndItsChain) {
    struct Case {
        const char* name;
        std::function<FatStatus()> call;
        std::function<std::vector<uint32_t>()> newClusters;  // after the call
        bool linkAfterClearing;  // an existing directory's chain reaches the new cluster
    };
    Make(65536, 2);  // 1,024-byte clusters: a directory of 32 entries grows soon
    ASSERT_TRUE(volume_->CreateDirectory(std::vector<std::string>{"FULL"}).ok());
    const uint32_t full = Lookup(2, "FULL       ")->firstCluster;
    for (int i = 0; i < 30; ++i) {  // with "." and "..": every slot of its cluster taken
        ASSERT_TRUE(volume_->CreateFile(std::vector<std::string>{"FULL", "F" + std::to_string(i)}).ok());
    }
    ASSERT_TRUE(volume_->CreateFile(std::vector<std::string>{"DATA.BIN"}).ok());
    const Case cases[] = {
        {"a new directory's cleared cluster",
         [&] { return volume_->CreateDirectory(std::vector<std::string>{"NEW"}); },
         [&] { return std::vector<uint32_t>{Lookup(2, "NEW        ")->firstCluster}; }, false},
        {"a file's data",
         [&] {
             const std::vector<std::byte> data = PatternBytes(3 * 1024, 5);
             return volume_->WriteContent(std::vector<std::string>{"DATA.BIN"}, data.data(), data.size());
         },
         [&] { return testing::ReadChain(*device_, layout_, Lookup(2, "DATA    BIN")->firstCluster); },
         false},
        {"a directory's added cluster",
         [&] {
             return volume_->CreateFile(std::vector<std::string>{"FULL", "LAST"});
         },
         [&] { return std::vector<uint32_t>{testing::ReadChain(*device_, layout_, full).back()}; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device_->journal.clear();
        ASSERT_TRUE(c.call().ok());
        const std::vector<uint32_t> clusters = c.newClusters();
        ASSERT_FALSE(clusters.empty());
        // Whole clusters written: data or clearing (an entry in a new cluster is one sector).
        auto pointedTo = [&](const MemoryBlockDevice::Access& write) {
            if (write.byteCount < layout_.ClusterBytes()) {
                return false;
            }
            for (const uint32_t cluster : clusters) {
                const uint64_t start = layout_.ClusterOffset(cluster);
                if (write.byteOffset < start + layout_.ClusterBytes() &&
                    start < write.byteOffset + write.byteCount) {
                    return true;
                }
            }
            return false;
        };
        auto inFat = [&](const MemoryBlockDevice::Access& write) {
            return write.byteOffset >= layout_.FatOffset(0) && write.byteOffset < layout_.FatOffset(2);
        };
        int epoch = 0;
        int lastPointedTo = -1;
        int firstFat = -1;
        int lastFat = -1;
        int firstEntry = -1;
        for (const MemoryBlockDevice::Access& access : device_->journal) {
            if (access.flush) {
                ++epoch;
            } else if (pointedTo(access)) {
                lastPointedTo = epoch;
            } else if (inFat(access)) {
                firstFat = firstFat < 0 ? epoch : firstFat;
                lastFat = epoch;
            } else if (firstEntry < 0) {
                firstEntry = epoch;
            }
        }
        EXPECT_GE(lastPointedTo, 0);
        EXPECT_LT(lastPointedTo, firstEntry) << "the data or cleared cluster shares a flush with the entry";
        EXPECT_LT(lastFat, firstEntry) << "the chain shares a flush with the entry";
        if (c.linkAfterClearing) {
            EXPECT_LT(lastPointedTo, firstFat)
                << "the directory's link shares a flush with its cleared cluster";
        }
        EXPECT_TRUE(device_->journal.back().flush) << "the call ends with a flush";
    }
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
}

// ---- what the layer relies on ------------------------------------------------------------------

TEST_F(Fat32VolumeTest, DirectoriesThatLeadBackToTheRootOrLoopAreRefused) {
    // SYSTEM's first cluster (3) is filled with entries, so that a search goes on along its chain.
    struct Case {
        const char* name;
        uint32_t systemCluster;  // in SYSTEM's root entry
        uint32_t nextOfCluster3;
    };
    const Case cases[] = {
        {"entry names the root's cluster", 2, 0x0FFFFFFF},
        {"chain runs into the root", 3, 2},
        {"chain loops", 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Make(65536, 8);
        ASSERT_TRUE(volume_->CreateDirectory(std::vector<std::string>{"SYSTEM"}).ok());
        std::vector<std::byte> full(4096 - 64);
        for (std::size_t at = 0; at < full.size(); at += 32) {
            for (std::size_t i = 0; i < 11; ++i) {
                full[at + i] = std::byte{'F'};
            }
            full[at + 11] = std::byte{0x20};
        }
        device_->Poke(layout_.ClusterOffset(3) + 64, full);
        std::vector<std::byte> next(4);
        testing::PutLe32(next, 0, c.nextOfCluster3);
        device_->Poke(layout_.FatOffset(0) + 12, next);
        device_->Poke(layout_.FatOffset(1) + 12, next);
        const TestEntry* system = Lookup(2, "SYSTEM     ");
        ASSERT_NE(system, nullptr);
        std::vector<std::byte> first(2);
        testing::PutLe16(first, 0, static_cast<uint16_t>(c.systemCluster));
        device_->Poke(system->offset + 26, first);
        const std::vector<std::byte> root = device_->Bytes(layout_.ClusterOffset(2), 4096);
        device_->writeCount = 0;

        Fat32Volume volume(*device_, FixedTime);
        ASSERT_TRUE(volume.Open().ok());
        EXPECT_EQ(volume.CreateFile(std::vector<std::string>{"SYSTEM", "A.BIN"}).error,
                  FatError::kInconsistent)
            << c.name;
        EXPECT_EQ(device_->writeCount, 0u) << c.name;
        EXPECT_EQ(device_->Bytes(layout_.ClusterOffset(2), 4096), root) << c.name;
    }
}

TEST_F(Fat32VolumeTest, AFatLargerThanTheCacheKeepsBothCopiesIdentical) {
    // One-sector clusters: a FAT of 252 KiB, and a cache of 32 KiB (one chunk) for it.
    device_ = std::make_unique<MemoryBlockDevice>(65536);
    layout_ = testing::FormatTestVolume(*device_, 1);
    volume_ = std::make_unique<Fat32Volume>(*device_, FixedTime, 32 * 1024);
    ASSERT_TRUE(volume_->Open().ok());
    ASSERT_TRUE(volume_->CreateDirectory(std::vector<std::string>{"DIR"}).ok());
    // 12,000 clusters: their entries span two chunks, so the first is written back to make room.
    ASSERT_TRUE(CreateFile({"DIR", "LONG.BIN"}, PatternBytes(12000 * 512 - 7, 4)).ok());
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
    const TestEntry* file = Lookup(3, "LONG    BIN");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(testing::ReadChain(*device_, layout_, file->firstCluster).size(), 12000u);
    ASSERT_TRUE(volume_->DeleteFile(std::vector<std::string>{"DIR", "LONG.BIN"}).ok());
    EXPECT_EQ(CheckConsistency(*device_, layout_), "");
}

TEST_F(Fat32VolumeTest, StateSurvivesReopening) {
    ASSERT_TRUE(volume_->SetLabel("PMP").ok());
    ASSERT_TRUE(volume_->CreateDirectory(std::vector<std::string>{"SYSTEM"}).ok());
    const uint32_t free = FreeClusters();
    Fat32Volume reopened(*device_, FixedTime);
    ASSERT_TRUE(reopened.Open().ok());
    EXPECT_EQ(reopened.Geometry().fsInfoFreeCount, free);
    EXPECT_EQ(reopened.Geometry().fsInfoNextFree, 4u);
    std::string label;
    ASSERT_TRUE(reopened.ReadLabel(label).ok());
    EXPECT_EQ(label, "PMP");
    EXPECT_EQ(reopened.CreateDirectory(std::vector<std::string>{"SYSTEM"}).error, FatError::kAlreadyExists);
}

}  // namespace
}  // namespace tolven
