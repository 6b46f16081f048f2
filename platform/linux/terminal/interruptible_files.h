// Linux host, terminal: the installer's file calls, stopped between two files once a signal asked
// the run to end, and remembered, so that a failure can be reported with the file it hit.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "content/player_file_system.h"
#include "platform/linux/host/status.h"

namespace tolven::linux_host {

class InterruptibleFiles final : public IPlayerFileSystem {
  public:
    // `stopRequested` is asked before every folder and file; `lastError` tells why the last call
    // of `files` failed (EEXIST: the name exists already, for a folder as good as a new one).
    InterruptibleFiles(IPlayerFileSystem& files, std::function<bool()> stopRequested,
                       std::function<Status()> lastError);

    bool CreateDirectoryA(std::string_view path) override;
    std::unique_ptr<IWritableFile> CreateFileW(std::u16string_view path, uint32_t desiredAccess,
                                               uint32_t shareMode, uint32_t creationDisposition,
                                               uint32_t flagsAndAttributes) override;
    bool DeleteFileW(std::u16string_view path) override;

    // "cannot write 'E:\SYSTEM\INTRO.JPG': <reason>" for the first failure; ok when none. A
    // folder that could not be made counts, though the installer carries on without it.
    const Status& Failure() const { return failure_; }

  private:
    void Failed(const std::string& path, const Status& reason);

    IPlayerFileSystem& files_;
    std::function<bool()> stopRequested_;
    std::function<Status()> lastError_;
    Status failure_;
};

}  // namespace tolven::linux_host
