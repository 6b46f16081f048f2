// Win32 platform layer: the Win32 services handed to the application object.
#include "platform/win32/win32_program.h"

#include "app/platform_services.h"
#include "app/tolven_format_app.h"
#include "platform/win32/win32_content_store.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_player_file_system.h"
#include "platform/win32/win32_volume_access.h"
#include "platform/win32/win32_volume_information.h"
#include "platform/win32/win32_volume_label.h"

namespace tolven::win32 {

int RunTolvenFormat(HINSTANCE instance, IStorageIdentification& storage, IVolumeSystem& volumes) {
    // Before anything touches a drive: an empty card-reader slot met by the drive scan answers
    // with an error instead of the system's blocking "no disk" box.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    Win32DialogHost host(instance);
    Win32VolumeInformation volumeInformation;
    Win32Clock clock;
    Win32PageAllocator pages;
    Win32VolumeLabel labels;
    Win32PlayerFileSystem files;
    Win32ContentStore content(instance);
    const PlatformServices services{
        storage, volumeInformation, FormatPlatform{volumes, clock, pages}, labels, files, content};
    theApp.SetPlatformServices(services);
    return theApp.RunApplication(host);
}

}  // namespace tolven::win32
