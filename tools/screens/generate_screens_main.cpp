// Paints the player's screen pictures and writes them as block_<id>.jpg into the given folder.
// The output is the same on every run, so the committed pictures can be checked against it.
#include <exception>
#include <filesystem>
#include <iostream>

#include "tools/screens/screen_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTPUT_FOLDER\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        tolven::screens::WriteScreenBlocks(folder);
    } catch (const std::exception& error) {
        std::cerr << "generate_screens: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
