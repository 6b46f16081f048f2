// A sysfs tree in a temporary folder: disks under devices/, reached through block/<name> links,
// with subsystem links marking the USB device and interface on the way, as the kernel lays it out.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_image.h"

namespace tolven::linux_host::testing {

struct FakeDisk {
    std::string name;  // "sdb"
    enum class Bus { kUsb, kSata, kVirtual } bus = Bus::kUsb;
    std::string removable = "1";
    std::string size = "7814037168";
    std::string vendor = "TOLVEN  ";  // written with the kernel's line end
    std::string model = "VQ30            ";
    std::vector<std::string> partitions{};  // names; numbered 1, 2, ... unless given as "sdb5=5"
};

class FakeSysfs {
  public:
    FakeSysfs();
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    void AddDisk(const FakeDisk& disk);
    const std::filesystem::path& Root() const { return folder_.Path(); }

  private:
    tolven::testing::TempDir folder_;
    int usbPort_ = 1;
};

}  // namespace tolven::linux_host::testing
