// Win32 platform layer, test build only: the entry point of the program the Wine tests run. With
// the environment variable TOLVEN_TEST_DEVICE set, its drive letter answers the storage and disk
// queries from that configuration (see test_device_config.h); without it the program is the
// shipped one. A malformed configuration ends the program at once with exit code 3.
#include <windows.h>

#include <string>

#include "platform/win32/testing/test_device_config.h"
#include "platform/win32/win32_program.h"
#include "platform/win32/win32_storage_identification.h"
#include "platform/win32/win32_volume_access.h"

namespace {

std::string ReadConfiguration() {
    wchar_t buffer[1024] = {};
    const DWORD length = GetEnvironmentVariableW(L"TOLVEN_TEST_DEVICE", buffer, 1024);
    if (length == 0 || length >= 1024) {
        return {};
    }
    std::string text;
    for (DWORD i = 0; i < length; ++i) {
        text += buffer[i] < 0x80 ? static_cast<char>(buffer[i]) : '?';
    }
    return text;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
    using namespace tolven::win32;
    Win32StorageIdentification systemStorage;
    Win32VolumeSystem systemVolumes;
    const std::string text = ReadConfiguration();
    if (text.empty()) {
        return RunTolvenFormat(instance, systemStorage, systemVolumes);
    }
    const auto parsed = testing::ParseTestDeviceConfig(text);
    if (!parsed.config) {
        OutputDebugStringA(("TOLVEN_TEST_DEVICE: " + parsed.error).c_str());
        return 3;
    }
    testing::ConfiguredStorageIdentification storage(*parsed.config, systemStorage);
    testing::ConfiguredVolumeSystem volumes(*parsed.config, systemVolumes);
    return RunTolvenFormat(instance, storage, volumes);
}
