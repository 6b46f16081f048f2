// The test build's stand-in player: its configuration text, the descriptor it reports and the
// decorators that answer only for the configured drive letter.
#include "platform/win32/testing/test_device_config.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace tolven::win32::testing {
namespace {

uint32_t Le32(const std::vector<std::byte>& bytes, std::size_t offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<uint8_t>(bytes.at(offset + static_cast<std::size_t>(i)));
    }
    return value;
}

std::string CString(const std::vector<std::byte>& bytes, std::size_t offset) {
    std::string text;
    while (offset < bytes.size() && bytes[offset] != std::byte{0}) {
        text += static_cast<char>(bytes[offset++]);
    }
    return text;
}

// ---- Configuration text ----

TEST(ParseTestDeviceConfig, ReadsEveryKey) {
    const auto parsed = ParseTestDeviceConfig(
        "drive=e;vendor=TOLVEN  ;product=VQ30 X;bytesPerSector=4096;sectorsPerTrack=63;"
        "tracksPerCylinder=255;cylinders=17;partitionLength=40007729664;hiddenSectors=63;");
    ASSERT_TRUE(parsed.config) << parsed.error;
    const TestDeviceConfig& config = *parsed.config;
    EXPECT_EQ(config.driveLetter, 'E');
    EXPECT_EQ(config.vendor, "TOLVEN  ");  // blanks are the device's: the scan trims them
    EXPECT_EQ(config.product, "VQ30 X");
    EXPECT_EQ(config.geometry.BytesPerSector, 4096u);
    EXPECT_EQ(config.geometry.SectorsPerTrack, 63u);
    EXPECT_EQ(config.geometry.TracksPerCylinder, 255u);
    EXPECT_EQ(config.geometry.Cylinders, 17);
    EXPECT_EQ(config.partitionLength, 40007729664);
    EXPECT_EQ(config.hiddenSectors, 63u);
}

TEST(ParseTestDeviceConfig, SectorSizeDefaultsTo512) {
    const auto parsed = ParseTestDeviceConfig("drive=F;partitionLength=1024");
    ASSERT_TRUE(parsed.config) << parsed.error;
    EXPECT_EQ(parsed.config->geometry.BytesPerSector, 512u);
    EXPECT_EQ(parsed.config->vendor, "");
}

TEST(ParseTestDeviceConfig, RejectsBadInput) {
    struct Case {
        const char* name;
        const char* text;
        const char* errorPart;
    };
    const Case cases[] = {
        {"empty", "", "drive is required"},
        {"no drive", "partitionLength=1", "drive is required"},
        {"no length", "drive=E", "partitionLength is required"},
        {"two-letter drive", "drive=EF;partitionLength=1", "bad value for drive"},
        {"digit drive", "drive=1;partitionLength=1", "bad value for drive"},
        {"unknown key", "drive=E;partitionLength=1;colour=red", "unknown key: colour"},
        {"no equals", "drive=E;partitionLength", "expected key=value"},
        {"negative length", "drive=E;partitionLength=-5", "bad value for partitionLength"},
        {"trailing junk", "drive=E;partitionLength=12k", "bad value for partitionLength"},
        {"unknown disk query mode", "drive=E;partitionLength=1;diskQueries=fake",
         "bad value for diskQueries"},
        {"sector size too large", "drive=E;partitionLength=1;bytesPerSector=4294967296",
         "bad value for bytesPerSector"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = ParseTestDeviceConfig(c.text);
        EXPECT_FALSE(parsed.config) << c.name;
        EXPECT_NE(parsed.error.find(c.errorPart), std::string::npos) << c.name << ": " << parsed.error;
    }
}

// ---- Descriptor ----

TEST(BuildStorageDeviceDescriptor, PlacesStringsAndBusTypeWhereTheScanReadsThem) {
    const auto descriptor = BuildStorageDeviceDescriptor("TOLVEN", "VQ20", 7, 551);
    EXPECT_EQ(Le32(descriptor, 4), descriptor.size());  // Size
    EXPECT_EQ(CString(descriptor, Le32(descriptor, 12)), "TOLVEN");
    EXPECT_EQ(CString(descriptor, Le32(descriptor, 16)), "VQ20");
    EXPECT_EQ(Le32(descriptor, 20), 0u);  // no revision
    EXPECT_EQ(Le32(descriptor, 24), 0u);  // no serial number
    EXPECT_EQ(Le32(descriptor, 28), 7u);
    EXPECT_EQ(descriptor.back(), std::byte{0});
}

TEST(BuildStorageDeviceDescriptor, NeverLongerThanTheCallersBuffer) {
    const std::string longVendor(600, 'V');
    const auto descriptor = BuildStorageDeviceDescriptor(longVendor, "P", 7, 551);
    EXPECT_EQ(descriptor.size(), 551u);
    EXPECT_EQ(Le32(descriptor, 4), 40u + 601u + 2u);  // the size the whole descriptor would have
}

// ---- Drive letters ----

TEST(DriveLetterOfPath, FindsTheLetterInEveryPathForm) {
    struct Case {
        const char16_t* path;
        char letter;
    };
    const Case cases[] = {{u"E:\\", 'E'}, {u"\\\\?\\e:", 'E'}, {u"\\\\.\\Z:", 'Z'},
                          {u"", 0},       {u":\\", 0},         {u"\\\\.\\1:", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path, c.path + std::char_traits<char16_t>::length(c.path)));
        EXPECT_EQ(DriveLetterOfPath(c.path), c.letter);
    }
}

// ---- Decorators ----

class RecordingStorage final : public IStorageIdentification {
  public:
    uint32_t GetDriveTypeW(std::u16string_view rootPath) override {
        typeQueries.emplace_back(rootPath);
        return kDriveFixed;
    }
    std::unique_ptr<IStorageDevice> OpenStorageDevice(std::u16string_view volumePath) override {
        opens.emplace_back(volumePath);
        return nullptr;
    }
    std::u16string WidenIdentification(std::string_view) override { return u"the system's widening"; }
    std::vector<std::u16string> typeQueries;
    std::vector<std::u16string> opens;
};

TEST(ConfiguredStorageIdentification, AnswersForItsLetterOnly) {
    RecordingStorage system;
    ConfiguredStorageIdentification storage(*ParseTestDeviceConfig("drive=E;vendor=TOLVEN;product=VQ10;"
                                                                   "partitionLength=1")
                                                 .config,
                                            system);
    EXPECT_EQ(storage.GetDriveTypeW(u"E:\\"), kDriveRemovable);
    EXPECT_EQ(storage.GetDriveTypeW(u"C:\\"), kDriveFixed);
    EXPECT_EQ(system.typeQueries, std::vector<std::u16string>{u"C:\\"});

    auto device = storage.OpenStorageDevice(u"\\\\?\\E:");
    ASSERT_NE(device, nullptr);
    std::vector<std::byte> buffer(kStorageDescriptorBufferSize, std::byte{0xCC});
    uint32_t returned = 0;
    ASSERT_TRUE(device->QueryStorageDeviceDescriptor(buffer.data(), kStorageDescriptorBufferSize, returned));
    buffer.resize(returned);
    EXPECT_EQ(Le32(buffer, 28), kBusTypeUsb);
    EXPECT_EQ(CString(buffer, Le32(buffer, 12)), "TOLVEN");
    EXPECT_EQ(CString(buffer, Le32(buffer, 16)), "VQ10");

    EXPECT_EQ(storage.OpenStorageDevice(u"\\\\?\\D:"), nullptr);
    EXPECT_EQ(system.opens, std::vector<std::u16string>{u"\\\\?\\D:"});
    EXPECT_EQ(storage.WidenIdentification("VQ10"), u"the system's widening");
}

class RecordingVolume final : public IVolume {
  public:
    explicit RecordingVolume(std::vector<std::string>& calls) : calls_(calls) {}
    bool LockVolume() override { return Record("lock"); }
    bool GetDriveGeometry(DiskGeometry&) override { return Record("geometry"), false; }
    bool GetPartitionInfo(PartitionInformation&) override { return Record("partition"), false; }
    bool SetPartitionType(uint8_t) override { return Record("set type"), false; }
    bool DismountVolume() override { return Record("dismount"), false; }
    bool UnlockVolume() override { return Record("unlock"); }
    bool WriteAt(uint64_t offset, const std::byte*, uint32_t count) override {
        return Record("write " + std::to_string(offset) + "+" + std::to_string(count));
    }
    void CloseHandle() override { Record("close"); }

  private:
    bool Record(std::string call) {
        calls_.push_back(std::move(call));
        return true;
    }
    std::vector<std::string>& calls_;
};

class RecordingVolumeSystem final : public IVolumeSystem {
  public:
    std::unique_ptr<IVolume> CreateFileW(std::u16string_view path, uint32_t, uint32_t, uint32_t) override {
        if (failOpen) {
            return nullptr;
        }
        calls.push_back("open " +
                        std::string(1, static_cast<char>(path.back() == u':' ? path[path.size() - 2] : 0)));
        return std::make_unique<RecordingVolume>(calls);
    }
    int32_t LastOpenError() const override { return 32; }
    bool failOpen = false;
    std::vector<std::string> calls;
};

TEST(ConfiguredVolumeSystem, AnswersTheDiskQueriesAndPassesTheRestThrough) {
    RecordingVolumeSystem system;
    ConfiguredVolumeSystem volumes(
        *ParseTestDeviceConfig("drive=E;partitionLength=2147483648;hiddenSectors=63;"
                               "sectorsPerTrack=63;tracksPerCylinder=255")
             .config,
        system);
    auto volume = volumes.CreateFileW(u"\\\\.\\E:", kGenericRead | kGenericWrite, 0, kFileFlagNoBuffering);
    ASSERT_NE(volume, nullptr);
    DiskGeometry geometry;
    PartitionInformation partition;
    EXPECT_TRUE(volume->LockVolume());
    EXPECT_TRUE(volume->GetDriveGeometry(geometry));
    EXPECT_TRUE(volume->GetPartitionInfo(partition));
    EXPECT_TRUE(volume->WriteAt(512, nullptr, 512));
    EXPECT_TRUE(volume->SetPartitionType(kPartitionTypeFat32Lba));
    EXPECT_TRUE(volume->DismountVolume());
    EXPECT_TRUE(volume->UnlockVolume());
    volume->CloseHandle();
    EXPECT_EQ(geometry.BytesPerSector, 512u);
    EXPECT_EQ(geometry.SectorsPerTrack, 63u);
    EXPECT_EQ(geometry.TracksPerCylinder, 255u);
    EXPECT_EQ(partition.PartitionLength, 2147483648);
    EXPECT_EQ(partition.HiddenSectors, 63u);
    EXPECT_EQ(partition.StartingOffset, 63 * 512);
    // The image itself sees the open, the lock, the writes, the unlock and the close; never the
    // queries it could not answer.
    EXPECT_EQ(system.calls, (std::vector<std::string>{"open E", "lock", "write 512+512", "unlock", "close"}));
}

TEST(ConfiguredVolumeSystem, CanLeaveTheDiskQueriesToTheSystem) {
    RecordingVolumeSystem system;
    ConfiguredVolumeSystem volumes(
        *ParseTestDeviceConfig("drive=E;partitionLength=1;diskQueries=system").config, system);
    auto volume = volumes.CreateFileW(u"\\\\.\\E:", 0, 0, 0);
    ASSERT_NE(volume, nullptr);
    DiskGeometry geometry;
    PartitionInformation partition;
    EXPECT_FALSE(volume->GetDriveGeometry(geometry));
    EXPECT_FALSE(volume->GetPartitionInfo(partition));
    EXPECT_FALSE(volume->SetPartitionType(kPartitionTypeFat32Lba));
    EXPECT_FALSE(volume->DismountVolume());
    EXPECT_EQ(system.calls,
              (std::vector<std::string>{"open E", "geometry", "partition", "set type", "dismount"}));
}

TEST(ConfiguredVolumeSystem, LeavesOtherLettersAndFailedOpensAlone) {
    RecordingVolumeSystem system;
    ConfiguredVolumeSystem volumes(*ParseTestDeviceConfig("drive=E;partitionLength=1").config, system);
    auto other = volumes.CreateFileW(u"\\\\.\\F:", 0, 0, 0);
    ASSERT_NE(other, nullptr);
    DiskGeometry geometry;
    EXPECT_FALSE(other->GetDriveGeometry(geometry));  // the real answer, not the configured one

    system.failOpen = true;
    EXPECT_EQ(volumes.CreateFileW(u"\\\\.\\E:", 0, 0, 0), nullptr);
    EXPECT_EQ(volumes.LastOpenError(), 32);
}

}  // namespace
}  // namespace tolven::win32::testing
