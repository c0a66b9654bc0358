// The spectrogram's colours: one 32-bit pixel (0xffRRGGBB) for each of the
// 256 levels, level 0 being 80 dB below full scale or quieter and level 255
// full scale.
#pragma once

#include <array>
#include <cstdint>

namespace kelvora {

using LevelColours = std::array<uint32_t, 256>;

// Perceptually uniform: from black through violet, red and orange to pale
// yellow, lightness rising throughout and every step the same distance in
// CIELAB, so that equal differences in level look equally different.
const LevelColours& PerceptualColours();
// Black to white, even steps of CIELAB lightness.
const LevelColours& GreyColours();

}  // namespace kelvora
