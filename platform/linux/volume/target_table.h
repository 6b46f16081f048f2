// Linux host: the targets of one run, each opened once. A target is what a drive letter names: a
// disk image file or a block device.
//
// The first use of a target opens it without blocking (O_NONBLOCK | O_NOCTTY) and asks fstat what
// it is. Only a regular file or a block device is taken; a FIFO, a socket, a character device or a
// directory is refused with its kind named, so that nothing ever waits on a pipe or a terminal.
// The descriptor is kept for the rest of the run: the drive scan, the formatter's volume handle
// and the FAT32 file layer all use it and never the path again. A path renamed or replaced after
// the first open therefore changes nothing for the run. The one exception is the exclusive claim
// of a block device (O_EXCL needs an open of its own); that open is checked against the identity
// recorded at the first open (st_rdev), and a different device is refused with ESTALE. A target
// is never held on descriptor 0, 1 or 2 (EBADF): what is printed would be written into it.
//
//     TargetTable targets(drives);              // one per run, once the drive table is filled
//     const TargetOpen opened = targets.Open('D');
//     if (opened.target == nullptr) { /* opened.status: errno and English */ }
//     ::pread(opened.target->Fd(), ...);        // the run's descriptor: use it, never close it
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/linux/host/drive_table.h"
#include "platform/linux/host/status.h"
#include "platform/linux/volume/loop_backing.h"
#include "platform/linux/volume/posix_file.h"

namespace tolven::linux_host {

enum class TargetKind {
    kRegularFile,  // a disk image
    kBlockDevice,
    kCharacterDevice,
    kFifo,
    kSocket,
    kDirectory,
    kOther,
};

// "a regular file", "a FIFO", ... for messages.
const char* TargetKindName(TargetKind kind);
TargetKind TargetKindOf(mode_t mode);

// Who the target is: the file (st_dev, st_ino) of an image, the device (st_rdev) of a block device.
struct TargetIdentity {
    TargetKind kind = TargetKind::kOther;
    uint64_t device = 0;  // st_dev
    uint64_t inode = 0;   // st_ino
    uint64_t rdev = 0;    // st_rdev, for a block device
    bool SameTarget(const TargetIdentity& other) const;
};

// The first write or flush of a run that failed: what the terminal names as the reason.
struct TransferFailure {
    const char* operation = "";  // "write", "flush" or "partition type"
    uint64_t offset = 0;         // bytes from the target's start, for a write
    int error = 0;               // errno; 0 while nothing failed
};

class OpenTarget {
  public:
    OpenTarget(std::string path, UniqueFd fd, const TargetIdentity& identity, int writeError);
    OpenTarget(const OpenTarget&) = delete;
    OpenTarget& operator=(const OpenTarget&) = delete;
    ~OpenTarget();

    int Fd() const { return fd_.Get(); }
    const std::string& Path() const { return path_; }
    const TargetIdentity& Identity() const { return identity_; }
    bool IsImage() const { return identity_.kind == TargetKind::kRegularFile; }
    // 0 when the descriptor was opened for writing; otherwise errno of the refused read-write open.
    int WriteError() const { return writeError_; }

    // Positioned transfers that finish the whole range or return errno. A write whose bytes are
    // all zero becomes a punched hole on an image (it reads back as zeros and stays sparse); a
    // file system without holes gets plain writes instead, from its first refusal on.
    int Read(uint64_t offset, std::byte* data, std::size_t byteCount);
    int Write(uint64_t offset, const std::byte* data, std::size_t byteCount);
    int WriteZeros(uint64_t offset, uint64_t byteCount);
    // fsync, when anything was written through Write or WriteZeros since the last Sync.
    int Sync();
    const TransferFailure& FirstFailure() const { return firstFailure_; }
    // A failure of a transfer made beside Write and Sync (the partition table's type byte).
    void NoteFailure(const char* operation, int error) { Note(error, operation, 0); }

    // The length read at the first open holds for the whole run: a target that shrank or grew
    // under it (a loop device's file cut short too) fails every transfer from then on (ESTALE),
    // and one past that length fails (EIO).
    uint64_t OpenedLength() const { return openedLength_; }
    // Names the path and both lengths; ok while the length holds.
    Status LengthChange() const;

    // Opens the path again (O_NONBLOCK | O_CLOEXEC | O_NOCTTY added) and checks that it still
    // names this target: ESTALE when another file or device took its place.
    int ReopenSame(int flags, UniqueFd& out) const;

    // The run's exclusive claim against other programs, counted: an image is flock()ed LOCK_EX on
    // the run's descriptor, a block device is opened O_EXCL (refused while mounted or claimed).
    // Returns 0, EWOULDBLOCK (image locked elsewhere), EBUSY (device claimed) or ESTALE.
    int AcquireClaim();
    void ReleaseClaim();

    // Handles of the formatter's volume system (CreateFileW), with Windows' sharing rules among
    // them: an exclusive handle is alone, a locked one too. A refusal is EWOULDBLOCK for an image
    // and EBUSY for a block device, as another program's claim would give.
    int OpenHandle(bool exclusive);
    void CloseHandle(bool exclusive);
    int LockHandle();  // a shared handle taking the lock: it must be the only one
    void UnlockHandle();

    // O_DIRECT on the run's descriptor while at least one user asks for it. False when the file
    // system has no direct I/O; the descriptor then stays buffered.
    bool BeginDirectIo();
    void EndDirectIo();

    // Counts the rewrites of the volume below the file layer (a format): a mount made before a
    // change is stale.
    uint64_t ChangeCount() const { return changeCount_; }
    void NoteRewritten() { ++changeCount_; }

  private:
    int Note(int error, const char* operation, uint64_t offset);
    int CheckRange(uint64_t offset, uint64_t byteCount) const;
    int WriteRange(uint64_t offset, const std::byte* data, std::size_t byteCount);
    int WriteZeroRange(uint64_t offset, uint64_t byteCount);
    int Refusal() const;
    int UpdateImageLock();
    int SetDirect(bool on);

    std::string path_;
    UniqueFd fd_;
    TargetIdentity identity_;
    int writeError_ = 0;
    uint64_t openedLength_ = 0;
    std::optional<LoopBacking> loop_;
    bool punchHoles_ = true;  // images: until the file system refuses
    bool unsynced_ = false;
    int claims_ = 0;
    UniqueFd claimFd_;  // block device: the O_EXCL descriptor while claimed
    int handles_ = 0;
    int sharedHandles_ = 0;
    bool exclusiveHandle_ = false;
    bool lockedHandle_ = false;
    int directUsers_ = 0;
    bool directFailed_ = false;
    uint64_t changeCount_ = 0;
    TransferFailure firstFailure_;
};

// The target, or why it could not be opened.
struct TargetOpen {
    std::shared_ptr<OpenTarget> target;  // null on failure
    // errno (ENODEV for a target of the wrong kind) and a message naming the path ("'x' is a
    // FIFO, ...").
    Status status;
};

// Opens one target, on its own (outside any table).
TargetOpen OpenTargetPath(const std::string& path);

class TargetTable {
  public:
    // `drives` must outlive the table.
    explicit TargetTable(const DriveTable& drives) : drives_(drives) {}
    TargetTable(const TargetTable&) = delete;
    TargetTable& operator=(const TargetTable&) = delete;

    const DriveTable& Drives() const { return drives_; }

    // The target of drive `letter`: opened at the first call for its path, the same target
    // afterwards. A failed open is tried again at the next call (nothing was recorded).
    TargetOpen Open(char letter);
    TargetOpen OpenPath(const std::string& path);

  private:
    const DriveTable& drives_;
    std::map<std::string, std::shared_ptr<OpenTarget>> opened_;
};

}  // namespace tolven::linux_host
