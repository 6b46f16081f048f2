// Test helper: an image file attached to a loop block device (root only), with its partitions
// made visible, detached again at the end.
#pragma once

#include <string>

namespace tolven::linux_host::testing {

class LoopDevice {
  public:
    // Attaches `image`; Attached() tells whether it worked (not root, no loop support, ...).
    explicit LoopDevice(const std::string& image);
    ~LoopDevice();
    LoopDevice(const LoopDevice&) = delete;
    LoopDevice& operator=(const LoopDevice&) = delete;

    bool Attached() const { return !device_.empty(); }
    const std::string& Device() const { return device_; }  // /dev/loopN
    // /dev/loopNp1 once the partition table has been read, or empty.
    std::string FirstPartition() const;
    const std::string& Why() const { return why_; }

  private:
    std::string device_;
    std::string why_;
};

}  // namespace tolven::linux_host::testing
