#include "platform/linux/terminal/target_description.h"

#include <gtest/gtest.h>

namespace tolven::linux_host {
namespace {

TEST(TargetDescriptionTest, NamesTheTableThePartitionsEverySignatureAndTheMounts) {
    DriveTarget target;
    target.path = "/dev/sdb";
    target.vendorId = "TOLVEN  ";
    target.productId = "VQ10            ";
    TargetFacts facts;
    facts.isBlockDevice = true;
    facts.sizeBytes = 40007729664;
    facts.probe.tableType = "dos";
    facts.probe.partitions = {{1, 2048, 78137344, 0x0C, "", false, false},
                              {2, 78139392, 2048, 0x05, "", true, false}};
    facts.probe.signatures = {{"vfat", "PMP", "0E14-430F", 0}, {"ext4", "", "", 1080}};
    facts.mounts = {{"/dev/sdb1", "/media/you/PMP"}};
    EXPECT_EQ(DescribeTarget(target, facts),
              "Target:        /dev/sdb (block device)\n"
              "Size:          40,007,729,664 bytes (37.3 GiB)\n"
              "Vendor/model:  TOLVEN / VQ10\n"
              "Partitions:    " +
                  DescribeTableType("dos") +
                  "\n"
                  "               1: start 2,048, 78,137,344 sectors (37.3 GiB), type 0x0c\n"
                  "               2: start 78,139,392, 2,048 sectors (1.0 MiB), type 0x05 (extended)\n"
                  "File systems:  vfat, label \"PMP\", UUID 0E14-430F\n"
                  "               ext4\n"
                  "Mounted:       /dev/sdb1 on /media/you/PMP\n");
}

TEST(TargetDescriptionTest, SaysWhatWasNotFound) {
    DriveTarget target;
    target.path = "p.img";
    TargetFacts facts;
    facts.sizeBytes = 999;
    const std::string text = DescribeTarget(target, facts);
    for (const char* part : {"p.img (disk image file)", "999 bytes (999 B)", "no partition table",
                             "File systems:  none found", "Mounted:       no"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
    }
    facts.probeError = 5;
    EXPECT_NE(DescribeTarget(target, facts).find("Contents:      unknown"), std::string::npos);
}

}  // namespace
}  // namespace tolven::linux_host
