#include "content/player_content_installer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/content/fake_player_file_system.h"

namespace tolven {
namespace {

using testing::FakeContentStore;
using testing::FakePlayerFileSystem;
using testing::Narrow;
using testing::StoreWithAllBlocks;
using testing::WriteFault;

constexpr int32_t kDriveE = 'E';

struct ExpectedFile {
    const char16_t* name;
    uint16_t blockId;
};

const std::vector<ExpectedFile> kVq10Files = {
    {u"UNICODEF.FON", 137}, {u"FILEBR_M.JPG", 159}, {u"FILEBROW.JPG", 160},
    {u"HOMEBG.JPG", 161},   {u"HOMEBG_M.JPG", 162}, {u"INTRO.JPG", 163},
    {u"INTRO_M.JPG", 164},  {u"TEXTBG.JPG", 165},   {u"TEXTBG_M.JPG", 166},
};
const std::vector<ExpectedFile> kVq20Files = {
    {u"UNICODEF.FON", 137}, {u"DABBG.JPG", 167}, {u"FILEBROW.JPG", 168},
    {u"HOMEBG.JPG", 169},   {u"INTRO.JPG", 170}, {u"TEXTBG.JPG", 171},
};
const std::vector<ExpectedFile> kVq40Files = {
    {u"UNICODEF.FON", 137}, {u"FILEBROW.JPG", 172}, {u"INTRO.JPG", 173},
    {u"MAINBACK.JPG", 174}, {u"TEXTBG.JPG", 175},
};

const std::vector<std::string> kFourFolders = {"E:\\SYSTEM", "E:\\MOVIE", "E:\\MUSIC", "E:\\PHOTO"};
const std::vector<std::string> kFiveFolders = {"E:\\SYSTEM", "E:\\MOVIE", "E:\\MUSIC", "E:\\PHOTO",
                                               "E:\\TEXT"};

std::u16string SystemPath(const char16_t* name) {
    return std::u16string(u"E:\\SYSTEM\\") + name;
}

// --- Each model column: folders, files in order, bytes, flags, one write straight from the block ---

struct ModelCase {
    const char* label;
    std::u16string model;
    const std::vector<ExpectedFile>* files;
};

TEST(InstallPlayerContent, WritesEachModelsFoldersAndFilesInOrder) {
    const ModelCase cases[] = {
        {"VQ10", u"VQ10", &kVq10Files}, {"VQ20", u"VQ20", &kVq20Files}, {"VQ30", u"VQ30", &kVq20Files},
        {"VQ40", u"VQ40", &kVq40Files}, {"VQ45", u"VQ45", &kVq40Files},
    };
    const FakeContentStore store = StoreWithAllBlocks();
    for (const ModelCase& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlayerFileSystem fs;
        EXPECT_TRUE(InstallPlayerContent(kDriveE, c.model, store, fs));
        EXPECT_EQ(fs.directoriesCreated, kFiveFolders);

        ASSERT_EQ(fs.createFileCalls.size(), c.files->size());
        EXPECT_EQ(fs.files.size(), c.files->size());
        for (size_t i = 0; i < c.files->size(); ++i) {
            const ExpectedFile& want = (*c.files)[i];
            const std::u16string path = SystemPath(want.name);
            SCOPED_TRACE(Narrow(path));
            const auto& call = fs.createFileCalls[i];
            EXPECT_EQ(call.path, path);
            EXPECT_EQ(call.desiredAccess, kFileGenericWrite);
            EXPECT_EQ(call.shareMode, 0u);
            EXPECT_EQ(call.creationDisposition, kCreateNew);
            EXPECT_EQ(call.flagsAndAttributes, kFileAttributeNormal);
            EXPECT_EQ(fs.files[path], store.blocks.at(want.blockId)) << "filled from block " << want.blockId;
            EXPECT_EQ(fs.writeCalls[path], 1);
            EXPECT_EQ(fs.writeSources[path], store.blocks.at(want.blockId).data()) << "bytes were copied";
        }
    }
}

TEST(InstallPlayerContent, ClosesEveryFileBeforeCreatingTheNext) {
    const FakeContentStore store = StoreWithAllBlocks();
    FakePlayerFileSystem fs;
    ASSERT_TRUE(InstallPlayerContent(kDriveE, u"VQ40", store, fs));
    const std::vector<std::string> expected = {
        "create E:\\SYSTEM\\UNICODEF.FON", "write E:\\SYSTEM\\UNICODEF.FON", "close E:\\SYSTEM\\UNICODEF.FON",
        "create E:\\SYSTEM\\FILEBROW.JPG", "write E:\\SYSTEM\\FILEBROW.JPG", "close E:\\SYSTEM\\FILEBROW.JPG",
        "create E:\\SYSTEM\\INTRO.JPG",    "write E:\\SYSTEM\\INTRO.JPG",    "close E:\\SYSTEM\\INTRO.JPG",
        "create E:\\SYSTEM\\MAINBACK.JPG", "write E:\\SYSTEM\\MAINBACK.JPG", "close E:\\SYSTEM\\MAINBACK.JPG",
        "create E:\\SYSTEM\\TEXTBG.JPG",   "write E:\\SYSTEM\\TEXTBG.JPG",   "close E:\\SYSTEM\\TEXTBG.JPG",
    };
    EXPECT_EQ(fs.events, expected);
}

// --- Codes outside the five: the four folders, no TEXT, no file, nothing to fail ---

TEST(InstallPlayerContent, UnknownModelGetsFourFoldersAndNoFiles) {
    const struct {
        const char* label;
        std::u16string model;
    } cases[] = {
        {"empty", u""},
        {"lower case", u"vq10"},
        {"mixed case", u"Vq20"},
        {"trailing space", u"VQ10 "},
        {"prefix only", u"VQ1"},
        {"embedded NUL", std::u16string(u"VQ10\0", 5)},
        {"unknown model", u"VQ50"},
    };
    const FakeContentStore store = StoreWithAllBlocks();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlayerFileSystem fs;
        EXPECT_TRUE(InstallPlayerContent(kDriveE, c.model, store, fs));
        EXPECT_EQ(fs.directoriesCreated, kFourFolders);
        EXPECT_TRUE(fs.createFileCalls.empty());
    }
}

// --- Paths ---

TEST(InstallPlayerContent, AnotherDriveLetterFormsPathsWithOneBackslashBeforeTheName) {
    const FakeContentStore store = StoreWithAllBlocks();
    FakePlayerFileSystem fs;
    ASSERT_TRUE(InstallPlayerContent('Z', u"VQ40", store, fs));
    EXPECT_EQ(fs.directoriesCreated.front(), "Z:\\SYSTEM");
    EXPECT_EQ(fs.directoriesCreated.back(), "Z:\\TEXT");
    EXPECT_EQ(Narrow(fs.createFileCalls.front().path), "Z:\\SYSTEM\\UNICODEF.FON");
    EXPECT_EQ(Narrow(fs.createFileCalls.back().path), "Z:\\SYSTEM\\TEXTBG.JPG");
}

// --- Files that cannot be written: skipped, the rest still written, the result tells ---

TEST(InstallPlayerContent, ExistingFontFileIsLeftUnchangedAndTheOthersWritten) {
    const FakeContentStore store = StoreWithAllBlocks();
    FakePlayerFileSystem fs;
    const std::vector<std::byte> ownersFont(5, std::byte{0x5A});
    fs.files[SystemPath(u"UNICODEF.FON")] = ownersFont;

    EXPECT_FALSE(InstallPlayerContent(kDriveE, u"VQ20", store, fs)) << "the font of the list was not written";
    EXPECT_EQ(fs.files[SystemPath(u"UNICODEF.FON")], ownersFont);
    EXPECT_EQ(fs.writeCalls[SystemPath(u"UNICODEF.FON")], 0);
    for (size_t i = 1; i < kVq20Files.size(); ++i) {
        SCOPED_TRACE(Narrow(kVq20Files[i].name));
        EXPECT_EQ(fs.files[SystemPath(kVq20Files[i].name)], store.blocks.at(kVq20Files[i].blockId));
    }
}

TEST(InstallPlayerContent, MissingBlockLeavesOnlyItsFileOut) {
    FakeContentStore store = StoreWithAllBlocks();
    store.blocks.erase(163);
    FakePlayerFileSystem fs;

    EXPECT_FALSE(InstallPlayerContent(kDriveE, u"VQ10", store, fs));
    EXPECT_FALSE(fs.files.contains(SystemPath(u"INTRO.JPG")));
    EXPECT_EQ(fs.createFileCalls.size(), kVq10Files.size() - 1) << "no file is created for a missing block";
    for (const ExpectedFile& file : kVq10Files) {
        if (file.blockId != 163) {
            SCOPED_TRACE(Narrow(file.name));
            EXPECT_EQ(fs.files[SystemPath(file.name)], store.blocks.at(file.blockId));
        }
    }
}

TEST(InstallPlayerContent, FileThatCouldNotBeWrittenInFullIsRemoved) {
    const struct {
        const char* label;
        WriteFault fault;
    } cases[] = {
        {"write fails", WriteFault::kFails},
        {"write reports success but falls one byte short", WriteFault::kShort},
        {"write fails halfway", WriteFault::kFailsPartway},
        {"whole write refused at the close", WriteFault::kCloseFails},
    };
    const FakeContentStore store = StoreWithAllBlocks();
    const std::u16string intro = SystemPath(u"INTRO.JPG");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlayerFileSystem fs;
        fs.writeFaults[intro] = c.fault;

        EXPECT_FALSE(InstallPlayerContent(kDriveE, u"VQ40", store, fs));
        EXPECT_FALSE(fs.files.contains(intro)) << "a cut-short file stays on the player";
        const std::vector<std::string> introEvents = {
            "write E:\\SYSTEM\\INTRO.JPG", "close E:\\SYSTEM\\INTRO.JPG", "delete E:\\SYSTEM\\INTRO.JPG"};
        const auto write = std::find(fs.events.begin(), fs.events.end(), introEvents[0]);
        ASSERT_GE(std::distance(write, fs.events.end()), 3) << "no write, close and delete of the file";
        EXPECT_EQ(std::vector<std::string>(write, write + 3), introEvents) << "closed before it is deleted";
        EXPECT_EQ(fs.files.size(), kVq40Files.size() - 1) << "the files after it are still written";
        EXPECT_EQ(fs.files[SystemPath(u"TEXTBG.JPG")], store.blocks.at(175));
    }
}

TEST(InstallPlayerContent, ExistingFoldersDoNotStopTheFiles) {
    const FakeContentStore store = StoreWithAllBlocks();
    FakePlayerFileSystem fs;
    fs.existingDirectories = {"E:\\SYSTEM", "E:\\MOVIE", "E:\\MUSIC", "E:\\PHOTO", "E:\\TEXT"};
    EXPECT_TRUE(InstallPlayerContent(kDriveE, u"VQ10", store, fs));
    EXPECT_EQ(fs.directoriesCreated, kFiveFolders);
    EXPECT_EQ(fs.files.size(), kVq10Files.size());
}

}  // namespace
}  // namespace tolven
