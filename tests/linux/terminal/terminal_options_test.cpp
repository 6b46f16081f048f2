#include "platform/linux/terminal/terminal_options.h"

#include "platform/linux/terminal/run_statistics.h"

#include <gtest/gtest.h>

namespace tolven::linux_host {
namespace {

TEST(ParseByteSizeTest, ReadsBytesWithBinarySuffixesAndRefusesTheRest) {
    struct Case {
        const char* text;
        std::optional<uint64_t> bytes;
    };
    const Case cases[] = {
        {"40007729664", 40007729664ull},
        {"512", 512},
        {"64K", 65536},
        {"64k", 65536},
        {"2100M", 2100ull << 20},
        {"2G", 2ull << 30},
        {"1T", 1ull << 40},
        {"18446744073709551615", 18446744073709551615ull},
        {"", std::nullopt},
        {"0", std::nullopt},
        {"0G", std::nullopt},
        {"G", std::nullopt},
        {"-5", std::nullopt},
        {"1.5G", std::nullopt},
        {"12Q", std::nullopt},
        {"1GB", std::nullopt},
        {"18446744073709551616", std::nullopt},  // one past the largest count
        {"16777216T", std::nullopt},             // 2^64 bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseByteSize(c.text), c.bytes);
    }
}

TEST(ParseTerminalOptionsTest, ReadsEveryOption) {
    std::string error;
    const auto options =
        ParseTerminalOptions({"a.img", "--image", "b.img", "--image=c.img", "--size", "2G", "--vendor",
                              "MAXTOR S", "--product=TM40215A", "-yq", "--json", "--stats", "--", "-d.img"},
                             error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->targets, (std::vector<std::string>{"a.img", "b.img", "c.img", "-d.img"}));
    EXPECT_EQ(options->sizeBytes, 2ull << 30);
    EXPECT_EQ(options->vendor, "MAXTOR S");
    EXPECT_EQ(options->product, "TM40215A");
    EXPECT_TRUE(options->assumeYes && options->quiet && options->json && options->statistics);
    EXPECT_TRUE(options->listOnly) << "--json lists";
    EXPECT_FALSE(options->dryRun);
}

TEST(ParseTerminalOptionsTest, BundlesShortOptions) {
    struct Case {
        std::vector<std::string_view> arguments;
        bool yes, list, dryRun, quiet;
    };
    const Case cases[] = {
        {{}, false, false, false, false},
        {{"-yl"}, true, true, false, false},
        {{"-n", "-q"}, false, false, true, true},
        {{"-qny"}, true, false, true, true},
        {{"--yes", "--dry-run", "--quiet"}, true, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "none" : std::string(c.arguments[0]));
        std::string error;
        const auto options = ParseTerminalOptions(c.arguments, error);
        ASSERT_TRUE(options) << error;
        EXPECT_EQ(options->assumeYes, c.yes);
        EXPECT_EQ(options->listOnly, c.list);
        EXPECT_EQ(options->dryRun, c.dryRun);
        EXPECT_EQ(options->quiet, c.quiet);
    }
}

TEST(ParseTerminalOptionsTest, RefusesBadCommandLinesWithAMessageThatNamesTheProblem) {
    struct Case {
        const char* name;
        std::vector<std::string_view> arguments;
        const char* messagePart;
    };
    const Case cases[] = {
        {"unknown option", {"--format-everything"}, "unknown option '--format-everything'"},
        {"unknown bundled letter", {"-yx"}, "invalid option -- 'x'"},
        {"image without a file", {"--image"}, "'--image' needs a file name"},
        {"empty image name", {"--image="}, "'--image' needs a file name"},
        {"malformed size", {"a.img", "--size", "lots"}, "invalid size 'lots'"},
        {"size without a value", {"a.img", "--size"}, "'--size' needs a size"},
        {"size without a target", {"--size", "2G"}, "'--size' applies to images"},
        {"identification without a target", {"--vendor", "X"}, "apply to images"},
        {"list and dry run", {"-ln", "a.img"}, "exclude each other"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(ParseTerminalOptions(c.arguments, error));
        EXPECT_NE(error.find(c.messagePart), std::string::npos) << error;
    }
}

TEST(RunStatisticsTest, GroupsTheFiguresInThousands) {
    RunStatistics statistics;
    statistics.seconds = 0.3416;
    statistics.peakResidentKiB = 10972;
    statistics.bytesWritten = 12264990;
    statistics.bytesToStorage = 999;
    EXPECT_EQ(FormatRunStatistics(statistics),
              "time 0.342 s, peak memory 10,972 KiB, written 12,264,990 bytes (999 bytes to storage)");
}

}  // namespace
}  // namespace tolven::linux_host
