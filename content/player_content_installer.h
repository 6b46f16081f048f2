// Gives a freshly formatted player its folders and writes the model's system files from the
// content blocks.
#pragma once

#include <cstdint>
#include <string>

#include "content/content_store.h"
#include "content/player_file_system.h"

namespace tolven {

// Creates SYSTEM, MOVIE, MUSIC, PHOTO (and TEXT for a known model) on the drive, then writes each
// of the model's system files into SYSTEM, in order, each with one write straight from its block.
// Folder failures are ignored; a file that is not written (block missing, name already taken,
// creation or write failed) is skipped and the rest are still written. A file that was created but
// not written in full is deleted again, so no cut-short system file is left on the player.
// Returns true when every file of the model's list was written in full; a model code outside the
// five has no files, which is success.
bool InstallPlayerContent(int32_t drive, std::u16string modelCode, const IContentStore& store,
                          IPlayerFileSystem& fileSystem);

}  // namespace tolven
