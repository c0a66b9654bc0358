// One cycle of a sine in 1024 steps, scaled to ±10000: the oscillator of
// tremolo, vibrato, flanger and the tone generator.
#pragma once

#include <array>
#include <cstdint>

namespace kelvora {

inline constexpr int kSineTableSize = 1024;

// Entry i = trunc(sin(i * 6.28 / 1024) * 10000). The step is 6.28, not 2π,
// so the cycle stops just short of a full turn; stored sounds depend on it.
const std::array<int32_t, kSineTableSize>& SineTable();

}  // namespace kelvora
