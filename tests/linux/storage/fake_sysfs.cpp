// Linux test support: builds sysfs-shaped trees under a temporary folder.
#include "tests/linux/storage/fake_sysfs.h"

#include <fstream>

namespace tolven::linux_host::testing {

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& file, const std::string& line) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << line << '\n';
}

}  // namespace

FakeSysfs::FakeSysfs() {
    fs::create_directories(Root() / "block");
    fs::create_directories(Root() / "bus" / "usb");
    fs::create_directories(Root() / "bus" / "scsi");
}

void FakeSysfs::AddDisk(const FakeDisk& disk) {
    const fs::path devices = Root() / "devices";
    fs::path scsiDevice;
    fs::path diskDir;
    if (disk.bus == FakeDisk::Bus::kVirtual) {
        diskDir = devices / "virtual" / "block" / disk.name;
    } else {
        fs::path parent = devices / "pci0000:00";
        if (disk.bus == FakeDisk::Bus::kUsb) {
            const std::string port = "2-" + std::to_string(usbPort_++);
            const fs::path hub = parent / "0000:00:14.0" / "usb2";
            const fs::path device = hub / port;
            const fs::path interface = device / (port + ":1.0");
            for (const fs::path& dir : {hub, device, interface}) {
                fs::create_directories(dir);
                if (fs::is_symlink(dir / "subsystem")) {
                    continue;  // the hub is shared by every disk
                }
                fs::create_directory_symlink(fs::relative(Root() / "bus" / "usb", dir), dir / "subsystem");
            }
            parent = interface / ("host" + disk.name);
        } else {
            parent = parent / "0000:00:1f.2" / ("ata-" + disk.name) / ("host" + disk.name);
        }
        scsiDevice = parent / "target0:0:0" / "0:0:0:0";
        fs::create_directories(scsiDevice);
        fs::create_directory_symlink(fs::relative(Root() / "bus" / "scsi", scsiDevice),
                                     scsiDevice / "subsystem");
        WriteFile(scsiDevice / "vendor", disk.vendor);
        WriteFile(scsiDevice / "model", disk.model);
        diskDir = scsiDevice / "block" / disk.name;
    }
    fs::create_directories(diskDir);
    WriteFile(diskDir / "removable", disk.removable);
    WriteFile(diskDir / "size", disk.size);
    if (!scsiDevice.empty()) {
        fs::create_directory_symlink(fs::relative(scsiDevice, diskDir), diskDir / "device");
    }
    int number = 0;
    for (const std::string& partition : disk.partitions) {
        ++number;
        std::string name = partition;
        std::string given = std::to_string(number);
        if (const auto equals = partition.find('='); equals != std::string::npos) {
            name = partition.substr(0, equals);
            given = partition.substr(equals + 1);
        }
        WriteFile(diskDir / name / "partition", given);
        WriteFile(diskDir / name / "size", "1000");
    }
    fs::create_directory_symlink(fs::relative(diskDir, Root() / "block"), Root() / "block" / disk.name);
}

}  // namespace tolven::linux_host::testing
