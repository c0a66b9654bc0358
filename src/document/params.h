// The parameters of every operation, one value per type for the life of the
// process: what its dialog last confirmed, what the batch tool set, and what
// the next run uses. A pass gets them as a value, never from here.
#pragma once

namespace kelvora {

namespace detail {
void RegisterParamsReset(void (*reset)());
}  // namespace detail

template <class P>
P& Params() {
  static P value;
  // Registered on first use: a type never used has nothing to reset.
  [[maybe_unused]] static const bool registered =
      (detail::RegisterParamsReset([] { Params<P>() = P{}; }), true);
  return value;
}

// Every parameter value back to its start value.
void ResetParams();

}  // namespace kelvora
