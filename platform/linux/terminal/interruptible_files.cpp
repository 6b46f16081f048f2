// Linux host, terminal: the installer's file calls with a stop between files and the reason kept.
#include "platform/linux/terminal/interruptible_files.h"

#include <cerrno>

#include "platform/linux/terminal/terminal_text.h"

namespace tolven::linux_host {

namespace {

constexpr char kStopped[] = "not written: the run was interrupted";

// A file handle that records the reason when its one write fails.
class ReportingFile final : public IWritableFile {
  public:
    ReportingFile(std::unique_ptr<IWritableFile> file, std::function<void()> failed)
        : file_(std::move(file)), failed_(std::move(failed)) {}
    bool WriteFile(const std::byte* data, uint32_t byteCount, uint32_t& bytesWritten) override {
        const bool written = file_->WriteFile(data, byteCount, bytesWritten);
        if (!written) {
            failed_();
        }
        return written;
    }
    bool CloseHandle() override { return file_->CloseHandle(); }

  private:
    std::unique_ptr<IWritableFile> file_;
    std::function<void()> failed_;
};

}  // namespace

InterruptibleFiles::InterruptibleFiles(IPlayerFileSystem& files, std::function<bool()> stopRequested,
                                       std::function<Status()> lastError)
    : files_(files), stopRequested_(std::move(stopRequested)), lastError_(std::move(lastError)) {}

void InterruptibleFiles::Failed(const std::string& path, const Status& reason) {
    if (failure_.ok()) {
        failure_ = {reason.error, "cannot write '" + path + "': " + reason.message};
    }
}

bool InterruptibleFiles::CreateDirectoryA(std::string_view path) {
    if (stopRequested_()) {
        return false;  // the files that follow report the stop
    }
    if (files_.CreateDirectoryA(path)) {
        return true;
    }
    // A folder that exists already is as good as a new one; any other failure leaves it missing.
    const Status failure = lastError_();
    if (failure.error != EEXIST) {
        Failed(std::string(path), failure);
    }
    return false;
}

std::unique_ptr<IWritableFile> InterruptibleFiles::CreateFileW(std::u16string_view path,
                                                               uint32_t desiredAccess, uint32_t shareMode,
                                                               uint32_t creationDisposition,
                                                               uint32_t flagsAndAttributes) {
    const std::string name = ToUtf8(path);
    if (stopRequested_()) {
        Failed(name, {EINTR, kStopped});
        return nullptr;
    }
    std::unique_ptr<IWritableFile> file =
        files_.CreateFileW(path, desiredAccess, shareMode, creationDisposition, flagsAndAttributes);
    if (!file) {
        Failed(name, lastError_());
        return nullptr;
    }
    return std::make_unique<ReportingFile>(std::move(file), [this, name] { Failed(name, lastError_()); });
}

bool InterruptibleFiles::DeleteFileW(std::u16string_view path) {
    return files_.DeleteFileW(path);
}

}  // namespace tolven::linux_host
