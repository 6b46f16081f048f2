// Linux host, terminal: the disk image files named on the command line.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/host/status.h"

namespace tolven::linux_host {

// Whether an image named on the command line can be used as it is, or must be created first.
struct ImageFilePlan {
    Status problem;       // why it cannot be used; ok when it can
    bool create = false;  // missing, with a size to create it with
};

// Looks at the image without changing anything: an existing file is used exactly as it is (and must
// have sizeBytes, when given); a missing one is to be created when a size is given and `mayCreate`.
ImageFilePlan PlanImageFile(const std::string& path, std::optional<uint64_t> sizeBytes, bool mayCreate);

// The images this run created. Unless Keep() is called, the destructor removes them again, each
// only while its path still names the file created, so that a run that ends before the format
// started leaves no file behind; a signal that ends the run before then removes them as well.
class CreatedImages {
  public:
    CreatedImages() = default;
    CreatedImages(const CreatedImages&) = delete;
    CreatedImages& operator=(const CreatedImages&) = delete;
    ~CreatedImages();

    // Creates `path` as a sparse file of sizeBytes (no block is written). Returns ok, or why not
    // ("cannot create 'x.img': No space left on device").
    Status Create(const std::string& path, uint64_t sizeBytes);
    void Keep();

  private:
    struct Created {
        std::string path;
        dev_t device;
        ino_t inode;
    };
    std::vector<Created> created_;
};

// Whether standard input is a terminal that questions can be asked on.
bool StandardInputIsTerminal();

}  // namespace tolven::linux_host
