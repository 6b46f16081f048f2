// Windows paths split into the drive letter and the names below the root.
#include "platform/linux/fatfs/drive_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolven::linux_host {
namespace {

TEST(DrivePathTest, SplitsWindowsPaths) {
    struct Case {
        std::u16string path;
        char letter;  // 0: refused
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {u"E:\\", 'E', {}},
        {u"e:", 'E', {}},
        {u"E:\\SYSTEM", 'E', {"SYSTEM"}},
        {u"E:\\SYSTEM\\", 'E', {"SYSTEM"}},
        {u"E:\\SYSTEM\\UNICODEF.FON", 'E', {"SYSTEM", "UNICODEF.FON"}},
        {u"E:/SYSTEM/INTRO.JPG", 'E', {"SYSTEM", "INTRO.JPG"}},
        {u"E:\\\\SYSTEM", 0, {}},
        {u"E:SYSTEM", 0, {}},
        {u"\\SYSTEM", 0, {}},
        {u"1:\\", 0, {}},
        {u"", 0, {}},
        {u"E:\\\u00C4RGER", 0, {}},
        {std::u16string(u"E:\\A\0B", 6), 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        DrivePath out;
        const FatStatus status = ParseDrivePath(c.path, out);
        if (c.letter) {
            ASSERT_TRUE(status.ok()) << status.message;
            EXPECT_EQ(out.letter, c.letter);
            EXPECT_EQ(out.names, c.names);
        } else {
            EXPECT_EQ(status.error, FatError::kInvalidName);
        }
    }
}

}  // namespace
}  // namespace tolven::linux_host
