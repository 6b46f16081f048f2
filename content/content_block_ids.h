// The ids of the eighteen content blocks: the font, then the seventeen screen images. The ids 138
// to 158 are not used.
#pragma once

#include <array>
#include <cstdint>

namespace tolven {

inline constexpr uint16_t kFontBlockId = 137;
inline constexpr uint16_t kFirstScreenBlockId = 159;
inline constexpr uint16_t kLastScreenBlockId = 175;

inline constexpr std::array<uint16_t, 18> kContentBlockIds = {137, 159, 160, 161, 162, 163, 164, 165, 166,
                                                              167, 168, 169, 170, 171, 172, 173, 174, 175};

}  // namespace tolven
