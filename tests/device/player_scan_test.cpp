#include <gtest/gtest.h>

#include "base/widen_text.h"
#include "device/player_drive_info.h"
#include "device/storage_descriptor.h"
#include "tests/support/device_fakes.h"
#include "tests/support/little_endian.h"

namespace tolven {
namespace {

using testing::DescriptorWith;
using testing::FakeDrive;
using testing::FakeEnableableButton;
using testing::FakeStorageIdentification;
using testing::PutLe32;

// A USB descriptor whose vendor and product strings are laid out by hand.
std::vector<std::byte> HandMadeDescriptor(uint32_t vendorOffset, uint32_t productOffset,
                                          const std::string& tail, uint32_t tailAt = 40) {
    std::vector<std::byte> bytes(tailAt, std::byte{0});
    PutLe32(bytes, 12, vendorOffset);
    PutLe32(bytes, 16, productOffset);
    PutLe32(bytes, 28, kBusTypeUsb);
    for (char c : tail) {
        bytes.push_back(std::byte{static_cast<uint8_t>(c)});
    }
    return bytes;
}

// One USB drive at E: with the given identification.
struct IdentificationCase {
    const char* name;
    std::string vendorId;
    std::string productId;
    bool found;
    std::u16string vendorText;
    std::u16string modelText;
};

TEST(ScanForPlayerTest, TurnsTheReportedIdentificationIntoVendorAndModelTexts) {
    const IdentificationCase cases[] = {
        {"the player itself", "TOLVEN", "VQ30", true, u"TOLVEN", u"VQ30"},
        {"vendor padded with blanks", "TOLVEN  ", "VQ30            ", true, u"TOLVEN", u"VQ30"},
        {"vendor padded with underscores", "TOLVEN__", "VQ40", true, u"TOLVEN", u"VQ40"},
        {"vendor with blanks and underscores mixed", "TOLVEN _ ", "VQ45", true, u"TOLVEN", u"VQ45"},
        {"vendor in lower case", "tolven", "VQ20", true, u"TOLVEN", u"VQ20"},
        {"vendor in mixed case", "Tolven", "VQ20", true, u"TOLVEN", u"VQ20"},
        {"two-word vendor", "TOLVEN X", "VQ30", false, u"TOLVEN_X", u"VQ30"},
        {"vendor with a leading blank", " TOLVEN", "VQ30", false, u"_TOLVEN", u"VQ30"},
        {"two-word product keeps the first", "TOLVEN", "VQ30 PLAYER", true, u"TOLVEN", u"VQ30"},
        {"product in lower case stays as reported", "TOLVEN", "vq30", true, u"TOLVEN", u"vq30"},
        {"product starting with a blank is empty", "TOLVEN", " VQ30", true, u"TOLVEN", u""},
        {"disk of the model table", "MAXTOR S", "TM40215A", true, u"TOLVEN", u"VQ10"},
        {"disk of the model table, padded", "TOSHIBA ", "MK2006GAL       ", true, u"TOLVEN", u"VQ20"},
        {"table disk in mixed case is no player", "Samsung", "MP0402H", false, u"SAMSUNG", u"MP0402H"},
        {"other USB disk", "Generic", "Flash Disk", false, u"GENERIC", u"Flash"},
        {"8-bit bytes widen one to one", "TOLV\xC9N", "VQ\xB2", false, u"TOLV\u00C9N", u"VQ\u00B2"},
    };
    for (const IdentificationCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStorageIdentification storage;
        storage.AddUsbDrive('E', c.vendorId, c.productId);
        CPlayerDriveInfo record;
        FakeEnableableButton button;
        const int32_t drive = record.ScanForPlayer(storage, button);
        EXPECT_EQ(drive, c.found ? 'E' : kDriveNoPlayer);
        EXPECT_EQ(record.m_strVendor, c.vendorText);
        EXPECT_EQ(record.m_strModel, c.modelText);
        EXPECT_EQ(record.m_strRoot, c.found ? u"E:\\" : u"");
        EXPECT_EQ(button.states, std::vector<bool>{c.found});
        EXPECT_EQ(storage.openDevices, 0) << "every opened device is closed";
    }
}

// The host widens the 8-bit texts by its own rule: after the vendor's blanks became '_' and the
// product was cut to its first word, before the upper-casing. Here bytes B0 A1 read as u"가", as
// in code page 949.
TEST(ScanForPlayerTest, IdentificationTextsAreWidenedByTheHost) {
    FakeStorageIdentification storage;
    std::vector<std::string> widened;
    storage.widen = [&widened](std::string_view text) {
        widened.emplace_back(text);
        return text == "\xB0\xA1" ? std::u16string(u"가") : WidenByteForByte(text);
    };
    storage.AddUsbDrive('E', "tolven ", "\xB0\xA1 X");
    CPlayerDriveInfo record;
    FakeEnableableButton button;
    EXPECT_EQ(record.ScanForPlayer(storage, button), 'E');
    EXPECT_EQ(widened, (std::vector<std::string>{"tolven", "\xB0\xA1"}));
    EXPECT_EQ(record.m_strVendor, u"TOLVEN");
    EXPECT_EQ(record.m_strModel, u"가");
}

TEST(ScanForPlayerTest, WithNoUsbDriveFindsNothingAndDisablesFormat) {
    FakeStorageIdentification storage;
    storage.SetDrive('C', {kDriveFixed, false, false, DescriptorWith("ATA", "SSD", 11), std::nullopt});
    CPlayerDriveInfo record;
    record.m_strRoot = u"Q:\\";
    record.m_strVendor = u"old vendor";
    record.m_strModel = u"old model";
    FakeEnableableButton button;
    EXPECT_EQ(record.ScanForPlayer(storage, button), kDriveNoPlayer);
    EXPECT_EQ(button.states, std::vector<bool>{false});
    // Nothing was examined over USB, so every text keeps its earlier value.
    EXPECT_EQ(record.m_strRoot, u"Q:\\");
    EXPECT_EQ(record.m_strVendor, u"old vendor");
    EXPECT_EQ(record.m_strModel, u"old model");
    // Every letter was asked for its type, in order.
    ASSERT_EQ(storage.Of("type").size(), 26u);
    EXPECT_EQ(storage.Of("type").front(), "type A:\\");
    EXPECT_EQ(storage.Of("type").back(), "type Z:\\");
}

TEST(ScanForPlayerTest, TheLowerOfTwoPlayersIsFoundAndLaterLettersAreNotExamined) {
    FakeStorageIdentification storage;
    storage.AddUsbDrive('F', "TOLVEN", "VQ20");
    storage.AddUsbDrive('H', "TOLVEN", "VQ30");
    CPlayerDriveInfo record;
    FakeEnableableButton button;
    EXPECT_EQ(record.ScanForPlayer(storage, button), 'F');
    EXPECT_EQ(record.m_strModel, u"VQ20");
    EXPECT_EQ(record.m_strRoot, u"F:\\");
    EXPECT_EQ(storage.calls.back(), "close F") << "the walk ends with the player's letter";
    EXPECT_TRUE(storage.CallsFor('G').empty());
    EXPECT_TRUE(storage.CallsFor('H').empty());
}

TEST(ScanForPlayerTest, PerLetterCallsComeInPlatformOrderAndEachDeviceClosesBeforeTheNext) {
    FakeStorageIdentification storage;
    storage.AddUsbDrive('D', "Generic", "Disk");
    storage.AddUsbDrive('E', "TOLVEN", "VQ30");
    CPlayerDriveInfo record;
    FakeEnableableButton button;
    record.ScanForPlayer(storage, button);
    const std::vector<std::string> expected = {
        "type A:\\", "type B:\\", "type C:\\",      "type D:\\", "open \\\\?\\D:", "query D",
        "close D",   "type E:\\", "open \\\\?\\E:", "query E",   "close E",
    };
    EXPECT_EQ(storage.calls, expected);
}

TEST(ScanForPlayerTest, OnlyLocalRemovableAndFixedDrivesAreOpened) {
    struct TypeCase {
        const char* name;
        uint32_t driveType;
        bool opened;
    };
    const TypeCase cases[] = {
        {"unknown", kDriveUnknown, false},    {"no root directory", kDriveNoRootDir, false},
        {"removable", kDriveRemovable, true}, {"fixed", kDriveFixed, true},
        {"network", kDriveRemote, false},     {"CD-ROM", kDriveCdrom, false},
        {"RAM disk", kDriveRamdisk, false},
    };
    for (const TypeCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStorageIdentification storage;
        storage.SetDrive('E', {c.driveType, false, false, DescriptorWith("TOLVEN", "VQ30"), std::nullopt});
        CPlayerDriveInfo record;
        FakeEnableableButton button;
        EXPECT_EQ(record.ScanForPlayer(storage, button), c.opened ? 'E' : kDriveNoPlayer);
        EXPECT_EQ(storage.Of("open").size(), c.opened ? 1u : 0u);
    }
}

TEST(ScanForPlayerTest, DrivesThatFailAStepAreSkippedAndTheWalkGoesOn) {
    struct FailCase {
        const char* name;
        FakeDrive failing;
    };
    const FailCase cases[] = {
        {"open refused", {kDriveRemovable, true, false, DescriptorWith("TOLVEN", "VQ10"), std::nullopt}},
        {"query fails", {kDriveRemovable, false, true, DescriptorWith("TOLVEN", "VQ10"), std::nullopt}},
        {"SATA disk of the model table",
         {kDriveFixed, false, false, DescriptorWith("SAMSUNG", "MP0402H", 11), std::nullopt}},
        {"player name over another bus",
         {kDriveFixed, false, false, DescriptorWith("TOLVEN", "VQ10", 3), std::nullopt}},
        {"descriptor too short for the bus type",
         {kDriveRemovable, false, false, DescriptorWith("TOLVEN", "VQ10"), 28u}},
        {"USB drive of another maker",
         {kDriveRemovable, false, false, DescriptorWith("KINGMAX", "U3"), std::nullopt}},
    };
    for (const FailCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStorageIdentification storage;
        storage.SetDrive('D', c.failing);
        storage.AddUsbDrive('G', "TOLVEN", "VQ45");
        CPlayerDriveInfo record;
        FakeEnableableButton button;
        EXPECT_EQ(record.ScanForPlayer(storage, button), 'G');
        EXPECT_EQ(record.m_strModel, u"VQ45");
        EXPECT_EQ(storage.openDevices, 0);
    }
}

TEST(ScanForPlayerTest, TextsHoldTheLastUsbDriveExaminedWhenNoPlayerIsFound) {
    FakeStorageIdentification storage;
    storage.AddUsbDrive('D', "KINGMAX", "U3 Drive");
    storage.AddUsbDrive('E', "SANDISK ", "Cruzer Blade");
    storage.SetDrive('F', {kDriveFixed, false, false, DescriptorWith("WDC", "WD10", 11), std::nullopt});
    CPlayerDriveInfo record;
    record.m_strRoot = u"K:\\";
    FakeEnableableButton button;
    EXPECT_EQ(record.ScanForPlayer(storage, button), kDriveNoPlayer);
    EXPECT_EQ(record.m_strVendor, u"SANDISK");
    EXPECT_EQ(record.m_strModel, u"Cruzer");
    EXPECT_EQ(record.m_strRoot, u"K:\\") << "the root path is written only for a player";
}

TEST(ScanForPlayerTest, ARescanStartsFromNothingAndFollowsTheDrivesNow) {
    FakeStorageIdentification withPlayer;
    withPlayer.AddUsbDrive('E', "TOLVEN", "VQ30");
    FakeStorageIdentification without;
    CPlayerDriveInfo record;
    FakeEnableableButton button;
    record.m_nDrive = record.ScanForPlayer(withPlayer, button);
    record.m_nDrive = record.ScanForPlayer(without, button);
    record.m_nDrive = record.ScanForPlayer(withPlayer, button);
    EXPECT_EQ(record.m_nDrive, 'E');
    EXPECT_EQ(button.states, (std::vector<bool>{true, false, true}));
}

// Descriptors that are damaged or that return fewer bytes than their offsets point to.
struct DescriptorCase {
    const char* name;
    std::vector<std::byte> descriptor;
    std::optional<uint32_t> bytesReturned;
    std::u16string vendorText;
    std::u16string modelText;
};

TEST(ScanForPlayerTest, ReadsIdentificationStringsOnlyWithinTheReturnedBytes) {
    const DescriptorCase cases[] = {
        {"absent vendor string", HandMadeDescriptor(0, 40, std::string("VQ30\0", 5)), std::nullopt, u"",
         u"VQ30"},
        {"absent product string", HandMadeDescriptor(40, 0, std::string("TOLVEN\0", 7)), std::nullopt,
         u"TOLVEN", u""},
        {"vendor offset past the returned bytes", HandMadeDescriptor(60, 40, std::string("VQ30\0", 5)),
         std::nullopt, u"", u"VQ30"},
        {"vendor offset exactly at the returned count",
         HandMadeDescriptor(47, 40, std::string("TOLVEN\0", 7)), std::nullopt, u"", u"TOLVEN"},
        {"vendor offset past the buffer", HandMadeDescriptor(1000, 0, ""), std::nullopt, u"", u""},
        {"vendor offset huge", HandMadeDescriptor(0xFFFFFFFF, 0xFFFFFFF0, ""), std::nullopt, u"", u""},
        {"vendor without NUL ends at the last returned byte", HandMadeDescriptor(40, 0, "TOLVEN"),
         std::nullopt, u"TOLVEN", u""},
        {"string cut by a short returned count", HandMadeDescriptor(40, 0, std::string("TOLVENXYZ\0", 10)),
         46u, u"TOLVEN", u""},
        {"bytes written past the returned count are not read",
         HandMadeDescriptor(40, 47, std::string("TOLVEN\0VQ30\0", 12)), 47u, u"TOLVEN", u""},
        {"a count above the buffer size is held to the buffer",
         HandMadeDescriptor(40, 0, std::string("TOLVEN\0", 7)), 100000u, u"TOLVEN", u""},
        {"string reaching the buffer's end", HandMadeDescriptor(545, 0, "TOLVEN", 545), std::nullopt,
         u"TOLVEN", u""},
        {"offset inside the header reads the header's bytes", HandMadeDescriptor(28, 0, ""), std::nullopt,
         u"\u0007", u""},
    };
    for (const DescriptorCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeStorageIdentification storage;
        storage.SetDrive('E', {kDriveRemovable, false, false, c.descriptor, c.bytesReturned});
        CPlayerDriveInfo record;
        FakeEnableableButton button;
        record.ScanForPlayer(storage, button);
        EXPECT_EQ(record.m_strVendor, c.vendorText);
        EXPECT_EQ(record.m_strModel, c.modelText);
    }
}

TEST(ScanForPlayerTest, IdentificationStringsAreCutAt512Bytes) {
    // Offset 36 leaves 515 bytes up to the buffer's end, none of them NUL.
    const std::vector<std::byte> descriptor = HandMadeDescriptor(0, 36, std::string(551 - 36, 'V'), 36);
    FakeStorageIdentification storage;
    storage.SetDrive('E', {kDriveRemovable, false, false, descriptor, std::nullopt});
    CPlayerDriveInfo record;
    FakeEnableableButton button;
    record.ScanForPlayer(storage, button);
    EXPECT_EQ(record.m_strModel, std::u16string(512, u'V'));
}

}  // namespace
}  // namespace tolven
