#include "document/sine_table.h"

#include <cmath>

namespace kelvora {

const std::array<int32_t, kSineTableSize>& SineTable() {
  static const std::array<int32_t, kSineTableSize> table = [] {
    std::array<int32_t, kSineTableSize> t{};
    for (int i = 0; i < kSineTableSize; ++i)
      t[i] = static_cast<int32_t>(std::sin(i * 6.28 / kSineTableSize) * 10000);
    return t;
  }();
  return table;
}

}  // namespace kelvora
