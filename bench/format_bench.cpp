// Linux benchmark (run by hand, not a test): formats sparse disk images of two sizes with our
// formatter and with mkfs.fat at the same cluster size and reserved area, in one invocation,
// and prints the wall time and the bytes written by each, with their ratios. Where losetup works,
// it also formats a loop device and times dd writing the same bytes to it.
//
//   tolven_format_bench [--dir DIR] [--mkfs PATH]
//
// Images are created in a fresh folder under DIR (default $TMPDIR or /tmp) and deleted after.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/child_process.h"
#include "bench/loop_device.h"
#include "bench/scratch_files.h"
#include "fat32/format_volume.h"
#include "platform/linux/host/drive_table.h"
#include "platform/linux/terminal/counting_writes.h"
#include "platform/linux/terminal/terminal_text.h"
#include "platform/linux/volume/linux_clock.h"
#include "platform/linux/volume/linux_page_allocator.h"
#include "platform/linux/volume/linux_volume.h"

namespace tolven::bench {
namespace {

using Clock = std::chrono::steady_clock;

// The status log and progress bar the formatter drives; nobody looks at them here.
class QuietLog final : public ILogControl {
  public:
    std::u16string GetWindowTextW() const override { return text_; }
    void SetWindowTextW(std::u16string_view text) override { text_ = text; }
    int32_t GetLineCount() const override {
        int32_t lines = 1;
        for (std::size_t at = text_.find(u"\r\n"); at != std::u16string::npos;
             at = text_.find(u"\r\n", at + 2)) {
            ++lines;
        }
        return lines;
    }
    void LineScroll(int32_t, int32_t) override {}

  private:
    std::u16string text_;
};

class QuietProgress final : public IProgressControl {
  public:
    intptr_t SendMessageW(uint32_t, uintptr_t, intptr_t) override { return 0; }
};

struct Measurement {
    bool ok = false;
    double seconds = 0;
    uint64_t bytes = 0;
    uint64_t writes = 0;  // write calls; 0 when not known
};

Measurement FormatWithTolven(const std::string& image, bool isImage = true) {
    linux_host::DriveTable drives;
    linux_host::DriveTarget target;
    target.path = image;
    target.isImage = isImage;
    const char letter = drives.Add(target);
    linux_host::LinuxVolumeSystem volumes(drives);
    linux_host::WriteCount written(nullptr);
    linux_host::CountingVolumeSystem counting(volumes, written);
    linux_host::LinuxClock clock;
    linux_host::LinuxPageAllocator pages;
    QuietLog log;
    QuietProgress progress;
    const FormatRequest request{&log, &progress, letter, 64};

    const auto start = Clock::now();
    const bool ok = FormatVolumeFat32(request, FormatPlatform{counting, clock, pages});
    const auto end = Clock::now();
    return {ok, std::chrono::duration<double>(end - start).count(), written.Total(), written.Writes()};
}

Measurement FormatWithMkfs(const std::string& mkfs, const std::string& image) {
    // Our format ends with its data on the device; so must the other.
    const ChildRun run = RunQuietly({mkfs, "-a", "-F", "32", "-s", "64", "-R", "32", image}, image);
    return {run.ok, run.seconds, run.bytesWritten};
}

void PrintRow(const char* tool, const Measurement& m) {
    std::printf("  %-10s %-4s %10.3f s %16s bytes", tool, m.ok ? "ok" : "FAIL", m.seconds,
                linux_host::GroupedDecimal(m.bytes).c_str());
    if (m.writes != 0) {
        std::printf(" in %s writes", linux_host::GroupedDecimal(m.writes).c_str());
    }
    std::printf("\n");
}

// The format of a loop device over a sparse image of the largest volume, against dd writing the
// bytes the format wrote in 64 KiB direct writes: the device's physical limit. The medians are
// compared.
void CompareWithDdOnLoopDevice(const std::string& folder, uint64_t size) {
    constexpr int kRuns = 5;
    std::vector<double> ours;
    uint64_t bytes = 0;
    const std::vector<ChildRun> ddRuns =
        FormatAgainstDdOnLoopDevices(folder, size, kRuns, [&](const std::string& device) {
            const Measurement m = FormatWithTolven(device, false);
            bytes = m.bytes;
            ours.push_back(m.ok ? m.seconds : -1);
            return m.bytes;
        });
    if (ddRuns.empty()) {
        return;
    }
    std::vector<double> dd;
    for (const ChildRun& run : ddRuns) {
        dd.push_back(run.ok ? run.seconds : -1);
    }
    std::sort(ours.begin(), ours.end());
    std::sort(dd.begin(), dd.end());
    const double a = ours[kRuns / 2];
    const double b = dd[kRuns / 2];
    std::printf("Loop device over a sparse image of %s bytes, %s bytes written, median of %d\n",
                linux_host::GroupedDecimal(size).c_str(), linux_host::GroupedDecimal(bytes).c_str(), kRuns);
    std::printf("  tolven     %10.3f s\n  dd 64K     %10.3f s\n", a, b);
    if (a > 0 && b > 0) {
        std::printf("  ratio tolven/dd: time %.3f\n", a / b);
    }
}

int Run(const std::string& parent, const std::string& mkfs) {
    struct Size {
        const char* name;
        uint64_t bytes;
    };
    const Size sizes[] = {
        {"40 GB partition", 40007729664ull},
        {"largest volume, 4,294,967,294 sectors", 4294967294ull * 512},
    };
    const std::string folder = MakeScratchFolder(parent, "tolven-bench");
    if (folder.empty()) {
        return 2;
    }
    std::printf("Sparse images in %s; mkfs.fat: %s -a -F 32 -s 64 -R 32\n", folder.c_str(), mkfs.c_str());
    int failures = 0;
    for (const Size& size : sizes) {
        const std::string ours = folder + "/tolven.img";
        const std::string theirs = folder + "/mkfs.img";
        Measurement a;
        Measurement b;
        if (CreateSparseImage(ours, size.bytes)) {
            a = FormatWithTolven(ours);
        }
        std::filesystem::remove(ours);
        if (CreateSparseImage(theirs, size.bytes)) {
            b = FormatWithMkfs(mkfs, theirs);
        }
        std::filesystem::remove(theirs);
        std::printf("%s (%s bytes)\n", size.name, linux_host::GroupedDecimal(size.bytes).c_str());
        PrintRow("tolven", a);
        PrintRow("mkfs.fat", b);
        if (b.seconds > 0 && b.bytes > 0) {
            std::printf("  ratio tolven/mkfs.fat: time %.3f, bytes %.3f\n", a.seconds / b.seconds,
                        static_cast<double>(a.bytes) / static_cast<double>(b.bytes));
        }
        failures += (a.ok ? 0 : 1) + (b.ok ? 0 : 1);
    }
    CompareWithDdOnLoopDevice(folder, sizes[1].bytes);
    std::filesystem::remove_all(folder);
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tolven::bench

int main(int argc, char** argv) {
    std::string dir = tolven::bench::DefaultScratchParent();
    std::string mkfs = tolven::bench::FindTool("mkfs.fat");
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc) {
            dir = argv[++i];
        } else if (arg == "--mkfs" && i + 1 < argc) {
            mkfs = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--dir DIR] [--mkfs PATH]\n", argv[0]);
            return 2;
        }
    }
    if (mkfs.empty()) {
        std::fprintf(stderr, "mkfs.fat not found (package dosfstools); name it with --mkfs PATH\n");
        return 2;
    }
    return tolven::bench::Run(dir, mkfs);
}
