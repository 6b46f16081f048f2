// Linux host: gathering a target's facts (size, contents, mounts) through a read-only descriptor.
#include "platform/linux/volume/target_facts.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>

namespace tolven::linux_host {

namespace {

std::vector<MountedFileSystem> MountsOf(const std::string& path, const struct stat& st) {
    if (S_ISBLK(st.st_mode)) {
        return FindMounts(DevicesOfBlockDevice(BlockNumber{major(st.st_rdev), minor(st.st_rdev)}));
    }
    return FindMounts(DevicesOfImageFile(path));
}

}  // namespace

int GatherTargetFacts(OpenTarget& target, TargetFacts& facts) {
    facts = TargetFacts{};
    facts.path = target.Path();
    struct stat st {};
    if (::fstat(target.Fd(), &st) != 0) {
        return errno;
    }
    facts.isBlockDevice = S_ISBLK(st.st_mode);
    if (const int error = DescriptorLength(target.Fd(), facts.sizeBytes)) {
        return error;
    }
    facts.probeError = ProbeDisk(target.Fd(), facts.probe);
    facts.mounts = MountsOf(facts.path, st);
    return 0;
}

std::vector<MountedFileSystem> MountsOfTarget(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return {};
    }
    return MountsOf(path, st);
}

}  // namespace tolven::linux_host
