// Linux host, FAT32 file layer: opening the volume behind a drive letter; the host clock.
#include "platform/linux/fatfs/fat_drive_access.h"

#include <sys/time.h>
#include <time.h>

#include <string>

namespace tolven::linux_host {

FatStatus OpenDriveVolume(const FatDriveAccess& access, char letter, OpenedFatVolume& out) {
    out = OpenedFatVolume{};
    const DriveTarget* target = access.drives ? access.drives->Find(letter) : nullptr;
    if (!target) {
        return FatStatus::Fail(FatError::kNotFound, std::string("no drive ") + letter + ":");
    }
    if (access.openDevice) {
        out.device = access.openDevice(*target);
    }
    if (!out.device) {
        return FatStatus::Fail(FatError::kIo, "cannot open " + target->path);
    }
    out.volume =
        std::make_unique<Fat32Volume>(*out.device, access.localTime ? access.localTime : HostLocalTime);
    FatStatus status = out.volume->Open();
    if (!status.ok()) {
        status.message = target->path + ": " + status.message;
        out = OpenedFatVolume{};
    }
    return status;
}

SystemTime HostLocalTime() {
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    const time_t seconds = now.tv_sec;
    localtime_r(&seconds, &local);
    SystemTime time;
    time.wYear = static_cast<uint16_t>(local.tm_year + 1900);
    time.wMonth = static_cast<uint16_t>(local.tm_mon + 1);
    time.wDayOfWeek = static_cast<uint16_t>(local.tm_wday);
    time.wDay = static_cast<uint16_t>(local.tm_mday);
    time.wHour = static_cast<uint16_t>(local.tm_hour);
    time.wMinute = static_cast<uint16_t>(local.tm_min);
    time.wSecond = static_cast<uint16_t>(local.tm_sec);
    time.wMilliseconds = static_cast<uint16_t>(now.tv_usec / 1000);
    return time;
}

}  // namespace tolven::linux_host
