// Linux host: the formatter's clock (local time and sleeping).
#pragma once

#include "fat32/volume_access.h"

namespace tolven::linux_host {

// The host's local time, as GetLocalTime gives it on Windows.
SystemTime HostLocalTime();

class LinuxClock final : public IClock {
  public:
    SystemTime GetLocalTime() override;
    void Sleep(uint32_t milliseconds) override;  // sleeps the whole time, interrupted or not
};

}  // namespace tolven::linux_host
