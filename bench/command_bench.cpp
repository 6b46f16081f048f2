// Linux benchmark (run by hand, not a test): the whole Format command of the terminal program
// (format, label, system files) on sparse images of 40 GB and of the largest volume (4,294,967,294
// sectors, 1 KiB short of 2 TiB), beside mkfs.fat
// at the same cluster size and reserved area in the same run. For each tool it prints the median
// wall time of the runs, the peak RSS, the bytes read and written (with the calls that moved
// them) and the bytes the image holds afterwards. When a loop device can be set up, it also
// formats a loop device over an image of the largest size and has dd write the same number of bytes
// to it in 64 KiB direct writes: the device's physical limit.
//
//   tolven_command_bench [--program PATH] [--dir DIR] [--mkfs PATH] [--runs N]
//
// Images are created in a fresh folder under DIR (default $TMPDIR or /tmp) and deleted after.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/loop_device.h"
#include "bench/scratch_files.h"

namespace tolven::bench {
namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    bool ok = false;
    double seconds = 0;
    long peakRssKiB = 0;
    uint64_t bytesRead = 0;
    uint64_t readCalls = 0;
    uint64_t bytesWritten = 0;
    uint64_t writeCalls = 0;
    uint64_t allocated = 0;  // bytes the image holds afterwards
};

// rchar, syscr, wchar and syscw of a finished child, read while it is a zombie (before reaping).
void ReadChildIo(pid_t pid, Run& run) {
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") {
            run.bytesRead = value;
        } else if (key == "syscr:") {
            run.readCalls = value;
        } else if (key == "wchar:") {
            run.bytesWritten = value;
        } else if (key == "syscw:") {
            run.writeCalls = value;
        }
    }
}

uint64_t AllocatedBytes(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_blocks) * 512 : 0;
}

// Runs `argv` with no input and no output; `syncPath`, when given, is fsynced before the clock
// stops (for tools that leave their writes in the page cache).
Run Execute(const std::vector<std::string>& argv, const std::string& syncPath) {
    Run run;
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    if (pid < 0) {
        return run;
    }
    siginfo_t info{};
    ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
    ReadChildIo(pid, run);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    if (!syncPath.empty()) {
        const int fd = ::open(syncPath.c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.peakRssKiB = usage.ru_maxrss;
    return run;
}

std::vector<std::string> TolvenCommand(const std::string& program, const std::string& target) {
    return {program, "--image", target, "--yes"};
}

std::vector<std::string> MkfsCommand(const std::string& mkfs, const std::string& target) {
    return {mkfs, "-a", "-F", "32", "-s", "64", "-R", "32", target};
}

Run Median(std::vector<Run> runs) {
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
    Run median = runs[runs.size() / 2];
    for (const Run& run : runs) {
        median.ok = median.ok && run.ok;
    }
    return median;
}

// The run of median time among `runs` runs of `command` on fresh sparse images.
template <typename Command>
Run MedianRun(int runs, const std::string& image, uint64_t size, Command command, bool syncAfter) {
    std::vector<Run> all;
    for (int i = 0; i < runs; ++i) {
        if (!CreateSparseImage(image, size)) {
            return {};
        }
        Run run = Execute(command(image), syncAfter ? image : std::string());
        run.allocated = AllocatedBytes(image);
        std::filesystem::remove(image);
        all.push_back(run);
    }
    return Median(all);
}

double MiB(uint64_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void PrintRun(const char* tool, const Run& run) {
    std::printf(
        "  %-12s %-4s %8.3f s  peak RSS %7.2f MiB  read %9.2f MiB in %7llu calls  "
        "written %9.2f MiB in %7llu calls  allocated %9.2f MiB\n",
        tool, run.ok ? "ok" : "FAIL", run.seconds, static_cast<double>(run.peakRssKiB) / 1024.0,
        MiB(run.bytesRead), static_cast<unsigned long long>(run.readCalls), MiB(run.bytesWritten),
        static_cast<unsigned long long>(run.writeCalls), MiB(run.allocated));
}

// One run of `command` on a loop device over a fresh sparse image; `ok` false when no loop device
// could be set up.
template <typename Command>
Run OnLoopDevice(const std::string& folder, uint64_t size, Command command, bool& attached) {
    const std::string image = folder + "/loop.img";
    attached = false;
    if (!CreateSparseImage(image, size)) {
        return {};
    }
    const std::string device = AttachLoop(image);
    Run run;
    if (!device.empty()) {
        attached = true;
        run = Execute(command(device), {});
        DetachLoop(device);
    }
    std::filesystem::remove(image);
    return run;
}

// Runs alternate between the two, each on a fresh image, so that both meet the same machine.
int LoopDeviceComparison(const std::string& folder, const std::string& program, uint64_t size, int runs) {
    std::vector<Run> ours;
    std::vector<Run> dd;
    for (int i = 0; i < runs; ++i) {
        bool attached = false;
        const Run run = OnLoopDevice(
            folder, size, [&](const std::string& device) { return TolvenCommand(program, device); },
            attached);
        if (!attached) {
            std::printf(
                "Loop device: not measured (losetup -f --show failed: needs root and loop support)\n");
            return 0;
        }
        ours.push_back(run);
        // dd writes as many bytes as the whole command wrote to the device, in 64 KiB direct writes.
        const uint64_t blocks = (run.bytesWritten + 65535) / 65536;
        dd.push_back(OnLoopDevice(
            folder, size,
            [&](const std::string& device) {
                return std::vector<std::string>{FindTool("dd"),
                                                "if=/dev/zero",
                                                "of=" + device,
                                                "bs=64K",
                                                "count=" + std::to_string(blocks),
                                                "oflag=direct",
                                                "conv=fsync"};
            },
            attached));
    }
    std::printf("Loop device over a sparse image of %llu bytes\n", static_cast<unsigned long long>(size));
    const Run a = Median(ours);
    const Run b = Median(dd);
    PrintRun("tolvenformat", a);
    PrintRun("dd 64K direct", b);
    if (b.seconds > 0) {
        std::printf("  ratio tolvenformat/dd: time %.3f\n", a.seconds / b.seconds);
    }
    return a.ok && b.ok ? 0 : 1;
}

int RunBench(const std::string& parent, const std::string& program, const std::string& mkfs, int runs) {
    struct Size {
        const char* name;
        uint64_t bytes;
    };
    const Size sizes[] = {
        {"40 GB player (VQ10)", 40007729664ull},
        {"largest volume, 4,294,967,294 sectors", 4294967294ull * 512},
    };
    const std::string folder = MakeScratchFolder(parent, "tolven-command-bench");
    if (folder.empty()) {
        return 2;
    }
    std::printf(
        "%s --image IMG --yes, against %s -a -F 32 -s 64 -R 32 IMG (fsynced); median of %d runs;\n"
        "sparse images in %s\n",
        program.c_str(), mkfs.c_str(), runs, folder.c_str());
    int failures = 0;
    for (const Size& size : sizes) {
        const std::string image = folder + "/player.img";
        const Run ours = MedianRun(
            runs, image, size.bytes, [&](const std::string& path) { return TolvenCommand(program, path); },
            false);
        const Run theirs = MedianRun(
            runs, image, size.bytes, [&](const std::string& path) { return MkfsCommand(mkfs, path); }, true);
        std::printf("%s (%llu bytes)\n", size.name, static_cast<unsigned long long>(size.bytes));
        PrintRun("tolvenformat", ours);
        PrintRun("mkfs.fat", theirs);
        if (theirs.seconds > 0) {
            std::printf("  ratio tolvenformat/mkfs.fat: time %.3f\n", ours.seconds / theirs.seconds);
        }
        failures += (ours.ok ? 0 : 1) + (theirs.ok ? 0 : 1);
    }
    failures += LoopDeviceComparison(folder, program, sizes[1].bytes, runs);
    std::filesystem::remove_all(folder);
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tolven::bench

int main(int argc, char** argv) {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    std::string mkfs = tolven::bench::FindTool("mkfs.fat");
    // Beside this program in the build tree: bench/ and platform/linux/terminal/.
    std::string program =
        (std::filesystem::path(argv[0]).parent_path() / "../platform/linux/terminal/tolvenformat").string();
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc) {
            dir = argv[++i];
        } else if (arg == "--mkfs" && i + 1 < argc) {
            mkfs = argv[++i];
        } else if (arg == "--program" && i + 1 < argc) {
            program = argv[++i];
        } else if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--program PATH] [--dir DIR] [--mkfs PATH] [--runs N]\n",
                         argv[0]);
            return 2;
        }
    }
    if (mkfs.empty()) {
        std::fprintf(stderr, "mkfs.fat not found (package dosfstools); name it with --mkfs PATH\n");
        return 2;
    }
    return tolven::bench::RunBench(dir, program, mkfs, runs);
}
