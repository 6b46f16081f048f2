// Linux benchmark (run by hand, not a test): the whole Format command of the terminal program
// (format, label, system files) on sparse images of 40 GB and of the largest volume (4,294,967,294
// sectors, 1 KiB short of 2 TiB), beside mkfs.fat at the same cluster size and reserved area in the
// same run. For each tool it prints the median wall time of the runs, the peak RSS, the bytes read
// and written (with the calls that moved them) and the bytes the image holds afterwards. (The
// command formats only USB players and images, never a loop device: tolven_format_bench compares
// the formatter with dd on one.)
//
//   tolven_command_bench [--program PATH] [--dir DIR] [--mkfs PATH] [--runs N]
//
// Images are created in a fresh folder under DIR (default $TMPDIR or /tmp) and deleted after.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/child_process.h"
#include "bench/scratch_files.h"

namespace tolven::bench {
namespace {

struct Run : ChildRun {
    uint64_t allocated = 0;  // bytes the image holds afterwards
};

uint64_t AllocatedBytes(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_blocks) * 512 : 0;
}

std::vector<std::string> TolvenCommand(const std::string& program, const std::string& target) {
    return {program, "--image", target, "--yes"};
}

std::vector<std::string> MkfsCommand(const std::string& mkfs, const std::string& target) {
    return {mkfs, "-a", "-F", "32", "-s", "64", "-R", "32", target};
}

// The run of median time, failed when any run failed.
template <typename Measured>
Measured Median(std::vector<Measured> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Measured& a, const Measured& b) { return a.seconds < b.seconds; });
    Measured median = runs[runs.size() / 2];
    for (const Measured& run : runs) {
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
        Run run{RunQuietly(command(image), syncAfter ? image : std::string())};
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
    std::filesystem::remove_all(folder);
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tolven::bench

int main(int argc, char** argv) {
    std::string dir = tolven::bench::DefaultScratchParent();
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
