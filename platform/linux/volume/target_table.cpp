// Linux host: opening the run's targets once, without blocking, and sharing their descriptors
// (claims, handles, direct I/O and hole punching on the one descriptor).
#include "platform/linux/volume/target_table.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/volume/lock_holders.h"

namespace tolven::linux_host {

namespace {

constexpr int kProbeFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
constexpr std::size_t kZeroChunkBytes = 64 * 1024;

TargetIdentity IdentityOf(const struct stat& st) {
    TargetIdentity identity;
    identity.kind = TargetKindOf(st.st_mode);
    identity.device = st.st_dev;
    identity.inode = st.st_ino;
    identity.rdev = st.st_rdev;
    return identity;
}

bool Takeable(TargetKind kind) {
    return kind == TargetKind::kRegularFile || kind == TargetKind::kBlockDevice;
}

TargetOpen Opened(std::shared_ptr<OpenTarget> target) {
    return {std::move(target), {}};
}

TargetOpen Failed(Status status) {
    return {nullptr, std::move(status)};
}

TargetOpen Refused(const std::string& path, TargetKind kind) {
    return Failed(
        {ENODEV, "'" + path + "' is " + TargetKindName(kind) + ", not a disk image or a block device"});
}

TargetOpen Failed(const std::string& path, int error) {
    return Failed(Status::FromErrno(error, "cannot open '" + path + "'"));
}

// A target on descriptor 0, 1 or 2 would receive whatever is printed: one of them was closed
// when the program started. Never used; the program opens them on /dev/null at its start.
bool OnStandardDescriptor(int fd) {
    return fd >= 0 && fd <= STDERR_FILENO;
}

// Back to blocking transfers once the kind is known.
int ClearNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return errno;
    }
    return 0;
}

int PunchHole(int fd, uint64_t offset, uint64_t length) {
    while (::fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset),
                       static_cast<off_t>(length)) != 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

}  // namespace

const char* TargetKindName(TargetKind kind) {
    switch (kind) {
        case TargetKind::kRegularFile:
            return "a regular file";
        case TargetKind::kBlockDevice:
            return "a block device";
        case TargetKind::kCharacterDevice:
            return "a character device";
        case TargetKind::kFifo:
            return "a FIFO";
        case TargetKind::kSocket:
            return "a socket";
        case TargetKind::kDirectory:
            return "a directory";
        case TargetKind::kOther:
            break;
    }
    return "neither a file nor a device";
}

TargetKind TargetKindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return TargetKind::kRegularFile;
    }
    if (S_ISBLK(mode)) {
        return TargetKind::kBlockDevice;
    }
    if (S_ISCHR(mode)) {
        return TargetKind::kCharacterDevice;
    }
    if (S_ISFIFO(mode)) {
        return TargetKind::kFifo;
    }
    if (S_ISSOCK(mode)) {
        return TargetKind::kSocket;
    }
    if (S_ISDIR(mode)) {
        return TargetKind::kDirectory;
    }
    return TargetKind::kOther;
}

bool TargetIdentity::SameTarget(const TargetIdentity& other) const {
    if (kind != other.kind) {
        return false;
    }
    if (kind == TargetKind::kBlockDevice) {
        return rdev == other.rdev;  // the device itself, whichever node names it
    }
    return device == other.device && inode == other.inode;
}

// ---- one target ---------------------------------------------------------------------------------

OpenTarget::OpenTarget(std::string path, UniqueFd fd, const TargetIdentity& identity, int writeError)
    : path_(std::move(path)), fd_(std::move(fd)), identity_(identity), writeError_(writeError) {
    DescriptorLength(fd_.Get(), openedLength_);
    if (identity_.kind == TargetKind::kBlockDevice) {
        loop_ = ReadLoopBacking(fd_.Get());
    }
}

namespace {

// A loop device whose file no longer holds all of the device's bytes.
std::optional<uint64_t> ShortBacking(const std::optional<LoopBacking>& loop, uint64_t length) {
    if (!loop) {
        return std::nullopt;
    }
    const std::optional<uint64_t> held = LoopBackingLength(*loop);
    return held && *held < length ? held : std::nullopt;
}

}  // namespace

OpenTarget::~OpenTarget() = default;

int OpenTarget::CheckRange(uint64_t offset, uint64_t byteCount) const {
    uint64_t length = 0;
    if (const int error = DescriptorLength(fd_.Get(), length)) {
        return error;
    }
    if (length != openedLength_ || ShortBacking(loop_, length)) {
        return ESTALE;
    }
    return offset > length || byteCount > length - offset ? EIO : 0;
}

Status OpenTarget::LengthChange() const {
    uint64_t length = 0;
    if (const int error = DescriptorLength(fd_.Get(), length)) {
        return Status::FromErrno(error, "cannot read the length of '" + path_ + "'");
    }
    if (length == openedLength_) {
        if (const std::optional<uint64_t> held = ShortBacking(loop_, length)) {
            return {ESTALE, "'" + path_ + "' lost part of its file during the run: '" + loop_->path +
                                "' holds " + std::to_string(*held) + " of the device's " +
                                std::to_string(length) + " bytes"};
        }
        return {};
    }
    return {ESTALE, "'" + path_ + "' changed its length during the run: " + std::to_string(openedLength_) +
                        " bytes when opened, " + std::to_string(length) + " bytes now"};
}

int OpenTarget::Read(uint64_t offset, std::byte* data, std::size_t byteCount) {
    if (const int error = CheckRange(offset, byteCount)) {
        return error;
    }
    std::size_t got = 0;
    if (const int error = ReadFully(fd_.Get(), data, byteCount, offset, got)) {
        return error;
    }
    return got == byteCount ? 0 : EIO;
}

int OpenTarget::Note(int error, const char* operation, uint64_t offset) {
    if (error != 0 && firstFailure_.error == 0) {
        firstFailure_ = TransferFailure{operation, offset, error};
    }
    return error;
}

int OpenTarget::Write(uint64_t offset, const std::byte* data, std::size_t byteCount) {
    if (const int error = CheckRange(offset, byteCount)) {
        return Note(error, "write", offset);
    }
    return Note(WriteRange(offset, data, byteCount), "write", offset);
}

int OpenTarget::WriteRange(uint64_t offset, const std::byte* data, std::size_t byteCount) {
    if (IsImage() && punchHoles_ && AllZero(data, byteCount)) {
        return WriteZeroRange(offset, byteCount);
    }
    if (writeError_ != 0) {
        return writeError_;
    }
    unsynced_ = true;
    return WriteFully(fd_.Get(), data, byteCount, offset);
}

int OpenTarget::WriteZeros(uint64_t offset, uint64_t byteCount) {
    if (const int error = CheckRange(offset, byteCount)) {
        return Note(error, "write", offset);
    }
    return Note(WriteZeroRange(offset, byteCount), "write", offset);
}

int OpenTarget::WriteZeroRange(uint64_t offset, uint64_t byteCount) {
    if (writeError_ != 0) {
        return writeError_;
    }
    unsynced_ = true;
    if (IsImage() && punchHoles_) {
        const int error = PunchHole(fd_.Get(), offset, byteCount);
        if (error != EOPNOTSUPP && error != ENOSYS) {
            return error;
        }
        punchHoles_ = false;  // a file system without holes: plain writes for the rest of the run
    }
    const AlignedBuffer zeros = MakeAlignedBuffer(kZeroChunkBytes);
    while (byteCount > 0) {
        const std::size_t chunk =
            byteCount < kZeroChunkBytes ? static_cast<std::size_t>(byteCount) : kZeroChunkBytes;
        if (const int error = WriteFully(fd_.Get(), zeros.get(), chunk, offset)) {
            return error;
        }
        offset += chunk;
        byteCount -= chunk;
    }
    return 0;
}

int OpenTarget::Sync() {
    // A flush with nothing written since the last one costs a device cache flush all the same.
    if (!unsynced_) {
        return 0;
    }
    if (::fsync(fd_.Get()) != 0) {
        return Note(errno, "flush", 0);
    }
    unsynced_ = false;
    return 0;
}

int OpenTarget::ReopenSame(int flags, UniqueFd& out) const {
    const int raw = ::open(path_.c_str(), flags | kProbeFlags);
    if (raw < 0) {
        return errno;
    }
    UniqueFd fd(raw);
    if (OnStandardDescriptor(raw)) {
        return EBADF;
    }
    struct stat st {};
    if (::fstat(raw, &st) != 0) {
        return errno;
    }
    if (!identity_.SameTarget(IdentityOf(st))) {
        return ESTALE;  // the path names another file or device than the one this run opened
    }
    if (const int error = ClearNonBlocking(raw)) {
        return error;
    }
    out = std::move(fd);
    return 0;
}

int OpenTarget::UpdateImageLock() {
    const int operation = claims_ > 0 ? LOCK_EX : sharedHandles_ > 0 ? LOCK_SH : LOCK_UN;
    while (::flock(fd_.Get(), operation | LOCK_NB) != 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

int OpenTarget::AcquireClaim() {
    if (claims_ == 0) {
        // A record lock (a virtual machine's on its disk) is no claim of ours to take over.
        if (RecordLockHeldElsewhere(fd_.Get())) {
            return Refusal();
        }
        if (IsImage()) {
            claims_ = 1;
            if (const int error = UpdateImageLock()) {
                claims_ = 0;
                UpdateImageLock();  // a refused conversion may have dropped the shared lock
                return error;
            }
            return 0;
        }
        UniqueFd claim;
        if (const int error = ReopenSame(O_RDONLY | O_EXCL, claim)) {
            return error;
        }
        claimFd_ = std::move(claim);
    }
    ++claims_;
    return 0;
}

void OpenTarget::ReleaseClaim() {
    if (claims_ == 0 || --claims_ > 0) {
        return;
    }
    if (IsImage()) {
        UpdateImageLock();
    } else {
        claimFd_.Reset();
    }
}

int OpenTarget::Refusal() const {
    return IsImage() ? EWOULDBLOCK : EBUSY;
}

int OpenTarget::OpenHandle(bool exclusive) {
    if (exclusive ? handles_ > 0 : exclusiveHandle_ || lockedHandle_) {
        return Refusal();
    }
    if (exclusive) {
        if (const int error = AcquireClaim()) {
            return error;
        }
        exclusiveHandle_ = true;
    } else if (IsImage()) {
        ++sharedHandles_;
        if (const int error = UpdateImageLock()) {
            --sharedHandles_;
            return error;
        }
    }
    ++handles_;
    return 0;
}

void OpenTarget::CloseHandle(bool exclusive) {
    if (handles_ == 0) {
        return;
    }
    --handles_;
    if (exclusive) {
        exclusiveHandle_ = false;
        ReleaseClaim();
    } else if (IsImage()) {
        --sharedHandles_;
        UpdateImageLock();
    }
}

int OpenTarget::LockHandle() {
    if (handles_ > 1) {
        return Refusal();
    }
    if (const int error = AcquireClaim()) {
        return error;
    }
    lockedHandle_ = true;
    return 0;
}

void OpenTarget::UnlockHandle() {
    if (lockedHandle_) {
        lockedHandle_ = false;
        ReleaseClaim();
    }
}

int OpenTarget::SetDirect(bool on) {
    const int flags = ::fcntl(fd_.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd_.Get(), F_SETFL, on ? flags | O_DIRECT : flags & ~O_DIRECT) != 0) {
        return errno;
    }
    if (on) {
        // Some file systems take the flag and refuse the transfer itself: try one.
        const AlignedBuffer probe = MakeAlignedBuffer(kDirectIoAlignment);
        if (::pread(fd_.Get(), probe.get(), kDirectIoAlignment, 0) < 0 && errno == EINVAL) {
            ::fcntl(fd_.Get(), F_SETFL, flags);
            return EINVAL;
        }
    }
    return 0;
}

bool OpenTarget::BeginDirectIo() {
    if (directFailed_) {
        return false;
    }
    if (directUsers_ == 0 && SetDirect(true) != 0) {
        directFailed_ = true;
        return false;
    }
    ++directUsers_;
    return true;
}

void OpenTarget::EndDirectIo() {
    if (directUsers_ > 0 && --directUsers_ == 0) {
        SetDirect(false);
    }
}

// ---- opening ------------------------------------------------------------------------------------

TargetOpen OpenTargetPath(const std::string& path) {
    int writeError = 0;
    int raw = ::open(path.c_str(), O_RDWR | kProbeFlags);
    if (raw < 0) {
        writeError = errno;
        if (writeError == EACCES || writeError == EROFS || writeError == EPERM || writeError == EISDIR ||
            writeError == ETXTBSY) {
            raw = ::open(path.c_str(), O_RDONLY | kProbeFlags);
        }
    }
    if (raw < 0) {
        const int error = errno;
        // A socket cannot be opened at all (ENXIO): say what is there instead.
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && !Takeable(TargetKindOf(st.st_mode))) {
            return Refused(path, TargetKindOf(st.st_mode));
        }
        return Failed(path, error);
    }
    UniqueFd fd(raw);
    if (OnStandardDescriptor(raw)) {
        return Failed({EBADF, "cannot open '" + path + "': it would be descriptor " + std::to_string(raw) +
                                  ", where standard input, output or error belongs"});
    }
    struct stat st {};
    if (::fstat(raw, &st) != 0) {
        return Failed(path, errno);
    }
    const TargetIdentity identity = IdentityOf(st);
    if (!Takeable(identity.kind)) {
        return Refused(path, identity.kind);
    }
    if (const int error = ClearNonBlocking(raw)) {
        return Failed(path, error);
    }
    return Opened(std::make_shared<OpenTarget>(path, std::move(fd), identity, writeError));
}

TargetOpen TargetTable::Open(char letter) {
    const DriveTarget* drive = drives_.Find(letter);
    if (drive == nullptr) {
        return Failed({ENOENT, std::string("no drive ") + letter + ":"});
    }
    return OpenPath(drive->path);
}

TargetOpen TargetTable::OpenPath(const std::string& path) {
    if (const auto found = opened_.find(path); found != opened_.end()) {
        return Opened(found->second);
    }
    TargetOpen opened = OpenTargetPath(path);
    if (opened.target == nullptr) {
        return opened;
    }
    // Another name of a target opened already (a link, another spelling): its descriptor.
    for (const auto& [name, target] : opened_) {
        if (target->Identity().SameTarget(opened.target->Identity())) {
            opened.target = target;
            break;
        }
    }
    opened_[path] = opened.target;
    return opened;
}

}  // namespace tolven::linux_host
