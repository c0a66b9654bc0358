#include "document/frame_format.h"

namespace kelvora {

namespace {

int CpuVectorLevel() {
#if KELVORA_VECTOR_CLONES
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq"))
    return 2;
  if (__builtin_cpu_supports("avx2")) return 1;
#endif
  return 0;
}

int g_level_limit = 2;

}  // namespace

int VectorLevel() {
  static const int cpu = CpuVectorLevel();
  return cpu < g_level_limit ? cpu : g_level_limit;
}

void LimitVectorLevel(int level) { g_level_limit = level; }

}  // namespace kelvora
