// Generates the player's font file from GNU Unifont's glyph source:
//   tolven_font_generator /usr/share/unifont/unifont.hex res/content/block_137.fon
// The output depends only on the input file, so the committed font can be rebuilt byte for byte.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>

#include "tools/font/player_font.h"
#include "tools/font/unifont_hex.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " UNIFONT.hex OUTPUT.fon\n";
        return 2;
    }
    try {
        std::ifstream in(argv[1]);
        if (!in) {
            std::cerr << "cannot read " << argv[1] << "\n";
            return 1;
        }
        const tolven::font::UnifontGlyphs glyphs = tolven::font::ReadUnifontHex(in);
        tolven::font::PlayerFontStats stats;
        const auto font = tolven::font::BuildPlayerFont(glyphs, &stats);
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(font.data()), static_cast<std::streamsize>(font.size()));
        out.close();
        if (!out) {
            std::cerr << "cannot write " << argv[2] << "\n";
            return 1;
        }
        std::cerr << argv[2] << ": " << font.size() << " bytes, " << stats.glyphCells
                  << " cells with a glyph, " << stats.boxedDrawingsDropped
                  << " boxed code drawings left empty\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << argv[1] << ": " << error.what() << "\n";
        return 1;
    }
}
