#include "effects/sample_pass.h"

namespace kelvora {

uint16_t* SampleMapTable(int slot) {
  // One table per channel of a packed format; 16-bit codes need 65536 each.
  static uint16_t tables[2][65536];
  return tables[slot];
}

#if KELVORA_AVX2_LOOPS
namespace detail {
bool CpuHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
}  // namespace detail
#endif

}  // namespace kelvora
