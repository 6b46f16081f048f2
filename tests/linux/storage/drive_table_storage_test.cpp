#include "platform/linux/storage/drive_table_storage.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "device/device_identification.h"
#include "device/player_drive_info.h"
#include "device/storage_descriptor.h"
#include "platform/linux/storage/usb_disk_discovery.h"
#include "tests/linux/storage/fake_sysfs.h"
#include "tests/support/device_fakes.h"

namespace tolven::linux_host {
namespace {

namespace fs = std::filesystem;

// Two small image files in the sysfs fixture's temporary folder.
class DriveTableStorageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"a.img", "b.img"}) {
            std::ofstream(folder_.Root() / name) << std::string(4096, '\0');
        }
    }
    std::string ImagePath(const char* name) const { return (folder_.Root() / name).string(); }

    testing::FakeSysfs folder_;
    DriveTable table_;
};

TEST_F(DriveTableStorageTest, AnswersTheDriveTypeOfEveryLetter) {
    AddDiskImage(table_, ImagePath("a.img"), {"TOLVEN", "VQ30", kDriveRemovable});
    AddDiskImage(table_, ImagePath("b.img"), {"WD", "Passport", kDriveFixed});
    DriveTableStorage storage(table_);
    struct TypeCase {
        std::u16string rootPath;
        uint32_t type;
    };
    const TypeCase cases[] = {
        {u"D:\\", kDriveRemovable},      {u"E:\\", kDriveFixed},      {u"e:\\", kDriveFixed},
        {u"C:\\", kDriveNoRootDir},      {u"F:\\", kDriveNoRootDir},  {u"Z:\\", kDriveNoRootDir},
        {u"D:", kDriveNoRootDir},        {u"D:\\x", kDriveNoRootDir}, {u"", kDriveNoRootDir},
        {u"\\\\?\\D:", kDriveNoRootDir},
    };
    for (const TypeCase& c : cases) {
        EXPECT_EQ(storage.GetDriveTypeW(c.rootPath), c.type)
            << "path of " << c.rootPath.size() << " characters";
    }
}

TEST_F(DriveTableStorageTest, AnOpenedTargetReportsItsIdentificationOverUsb) {
    AddDiskImage(table_, ImagePath("a.img"), {"MAXTOR S", "TM40215A  ", kDriveFixed});
    DriveTableStorage storage(table_);
    std::unique_ptr<IStorageDevice> device = storage.OpenStorageDevice(u"\\\\?\\D:");
    ASSERT_NE(device, nullptr);
    std::array<std::byte, kStorageDescriptorBufferSize> buffer{};
    uint32_t returned = 0;
    ASSERT_TRUE(device->QueryStorageDeviceDescriptor(buffer.data(), buffer.size(), returned));
    const std::span<const std::byte> bytes(buffer.data(), returned);
    EXPECT_EQ(ReadDescriptorField(bytes, kDescriptorSizeAt), returned);
    EXPECT_EQ(ReadDescriptorField(bytes, kDescriptorBusTypeAt), kBusTypeUsb);
    EXPECT_EQ(ReadDescriptorString(bytes, ReadDescriptorField(bytes, kDescriptorVendorIdOffsetAt), 512),
              "MAXTOR S");
    EXPECT_EQ(ReadDescriptorString(bytes, ReadDescriptorField(bytes, kDescriptorProductIdOffsetAt), 512),
              "TM40215A  ");

    // A buffer shorter than the descriptor gets its first bytes.
    std::array<std::byte, 16> small{};
    ASSERT_TRUE(device->QueryStorageDeviceDescriptor(small.data(), small.size(), returned));
    EXPECT_EQ(returned, 16u);
    EXPECT_EQ(small[12], buffer[12]);
}

TEST_F(DriveTableStorageTest, OpensOnlyExistingTargetsThroughTheVolumePath) {
    AddDiskImage(table_, ImagePath("a.img"), {"TOLVEN", "VQ30", kDriveRemovable});
    AddDiskImage(table_, ImagePath("gone.img"), {"TOLVEN", "VQ30", kDriveRemovable});
    DriveTableStorage storage(table_);
    struct OpenCase {
        const char* name;
        std::u16string volumePath;
        bool opens;
    };
    const OpenCase cases[] = {
        {"image", u"\\\\?\\D:", true},
        {"lower-case letter", u"\\\\?\\d:", true},
        {"image file missing", u"\\\\?\\E:", false},
        {"letter without target", u"\\\\?\\F:", false},
        {"root path instead of volume path", u"D:\\", false},
        {"trailing backslash", u"\\\\?\\D:\\", false},
        {"device namespace", u"\\\\.\\D:", false},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(storage.OpenStorageDevice(c.volumePath) != nullptr, c.opens);
    }
}

TEST_F(DriveTableStorageTest, TargetsThatAreNoImageOrDiskAreRefusedWithoutWaiting) {
    const std::string fifo = ImagePath("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = ImagePath("socket");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    struct Case {
        std::string path;
        const char* kind;
    };
    const Case cases[] = {
        {fifo, "a FIFO"},
        {socketPath, "a socket"},
        {"/dev/null", "a character device"},
        {folder_.Root().string(), "a directory"},
    };
    for (const Case& c : cases) {
        AddDiskImage(table_, c.path, {"TOLVEN", "VQ30", kDriveRemovable});
    }
    TargetTable targets(table_);
    DriveTableStorage storage(targets);
    ::alarm(20);  // a scan that waits on the FIFO ends the test here
    char letter = 'D';
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const std::u16string volume = {u'\\', u'\\', u'?', u'\\', static_cast<char16_t>(letter), u':'};
        EXPECT_EQ(storage.OpenStorageDevice(volume), nullptr);
        const TargetOpen opened = targets.Open(letter++);
        EXPECT_EQ(opened.status.error, ENODEV);
        EXPECT_NE(opened.status.message.find(c.kind), std::string::npos) << opened.status.message;
    }
    ::alarm(0);
    ::close(listener);
}

TEST_F(DriveTableStorageTest, TheScanFindsThePlayerAmongTheHostsTargets) {
    // A USB disk from sysfs whose node cannot be opened, a stick of another maker, then a disk of
    // the model table: the scan walks D, E, F and finds F.
    folder_.AddDisk({.name = "sdb"});
    AddUsbDisks(table_, folder_.Root(), folder_.Root() / "no-such-dev");
    AddDiskImage(table_, ImagePath("a.img"), {"Generic ", "Flash Disk", kDriveRemovable});
    AddDiskImage(table_, ImagePath("b.img"), {"TOSHIBA ", "MK2006GAL       ", kDriveFixed});
    DriveTableStorage storage(table_);
    CPlayerDriveInfo record;
    tolven::testing::FakeEnableableButton button;
    EXPECT_EQ(record.ScanForPlayer(storage, button), 'F');
    EXPECT_EQ(record.m_strRoot, u"F:\\");
    EXPECT_EQ(record.m_strVendor, u"TOLVEN");
    EXPECT_EQ(record.m_strModel, u"VQ20");
    EXPECT_EQ(button.states, std::vector<bool>{true});
}

// Linux has no code page of the thread: bytes above 0x7F read as Latin-1 in every locale.
TEST_F(DriveTableStorageTest, WidensIdentificationsByteForByte) {
    DriveTableStorage storage(table_);
    EXPECT_EQ(storage.WidenIdentification("VQ\xB0\xA1"), u"VQ\u00B0\u00A1");
}

}  // namespace
}  // namespace tolven::linux_host
