// Win32 platform layer: the entry point of the shipped program. No command line is read.
#include <windows.h>

#include "platform/win32/win32_program.h"
#include "platform/win32/win32_storage_identification.h"
#include "platform/win32/win32_volume_access.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
    tolven::win32::Win32StorageIdentification storage;
    tolven::win32::Win32VolumeSystem volumes;
    return tolven::win32::RunTolvenFormat(instance, storage, volumes);
}
