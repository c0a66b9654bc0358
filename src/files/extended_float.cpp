#include "files/extended_float.h"

#include <cmath>

#include "document/byte_order.h"

namespace kelvora {

double ExtendedToDouble(const uint8_t bytes[10]) {
  const int exponent = GetBe16(bytes) & 0x7FFF;
  const bool negative = (bytes[0] & 0x80) != 0;
  const uint32_t high = GetBe32(bytes + 2);
  const uint32_t low = GetBe32(bytes + 6);
  double value;
  if (exponent == 0 && high == 0 && low == 0)
    value = 0;
  else if (exponent == 0x7FFF)
    value = HUGE_VAL;
  else
    value = std::ldexp(static_cast<double>(high), exponent - 16383 - 31) +
            std::ldexp(static_cast<double>(low), exponent - 16383 - 63);
  return negative ? -value : value;
}

void DoubleToExtended(double value, uint8_t bytes[10]) {
  uint16_t sign = 0;
  if (std::signbit(value)) {
    sign = 0x8000;
    value = -value;
  }
  uint32_t high = 0, low = 0;
  int stored = 0;
  if (value == 0) {
    sign = 0;
  } else {
    int exponent = 0;
    double mantissa = std::frexp(value, &exponent);  // value = mantissa * 2^exponent
    if (!std::isfinite(value) || exponent > 16384) {
      stored = 0x7FFF;
    } else {
      // Every double's exponent fits: even the smallest gives a positive field.
      stored = exponent + 16382;
      const double top = std::floor(std::ldexp(mantissa, 32));
      high = static_cast<uint32_t>(top);
      low = static_cast<uint32_t>(std::floor(std::ldexp(std::ldexp(mantissa, 32) - top, 32)));
    }
  }
  PutBe16(bytes, static_cast<uint16_t>(sign | stored));
  PutBe32(bytes + 2, high);
  PutBe32(bytes + 6, low);
}

}  // namespace kelvora
