// The 80-bit IEEE 754 extended-precision numbers that AIFF files store their
// sample rate in: sign and 15-bit exponent (bias 16383), then a 64-bit
// mantissa with an explicit integer bit, all big-endian.
#pragma once

#include <cstdint>

namespace kelvora {

// An exponent field of 32767 reads as infinity (of the sign given), whatever
// the mantissa holds; all other patterns give their finite value.
double ExtendedToDouble(const uint8_t bytes[10]);

// Zero gives ten zero bytes; infinities, NaN and values too large for the
// format give the infinity pattern 0x7FFF with a zero mantissa.
void DoubleToExtended(double value, uint8_t bytes[10]);

}  // namespace kelvora
