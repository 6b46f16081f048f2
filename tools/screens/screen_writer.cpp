#include "tools/screens/screen_writer.h"

#include <fstream>
#include <stdexcept>

#include "tools/screens/jfif_encoder.h"
#include "tools/screens/screen_catalog.h"

namespace tolven::screens {

std::map<uint16_t, std::vector<uint8_t>> EncodeScreenBlocks() {
    std::map<uint16_t, std::vector<uint8_t>> encoded;
    for (const ScreenBlock& block : ScreenBlocks()) {
        if (block.copy_of != 0) {
            encoded[block.id] = encoded.at(block.copy_of);  // originals come first in the table
        } else {
            encoded[block.id] = EncodeJfif(block.paint());
        }
    }
    return encoded;
}

void WriteScreenBlocks(const std::filesystem::path& folder) {
    for (const auto& [id, bytes] : EncodeScreenBlocks()) {
        const std::filesystem::path path = folder / BlockFileName(id);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            throw std::runtime_error("cannot write " + path.string());
        }
    }
}

}  // namespace tolven::screens
