#include "document/params.h"

#include <vector>

namespace kelvora {
namespace {

std::vector<void (*)()>& Resets() {
  static std::vector<void (*)()> resets;
  return resets;
}

}  // namespace

namespace detail {
void RegisterParamsReset(void (*reset)()) { Resets().push_back(reset); }
}  // namespace detail

void ResetParams() {
  for (void (*reset)() : Resets()) reset();
}

}  // namespace kelvora
