#!/bin/sh
# Builds the libFuzzer targets with clang in build-fuzz, writes the seed
# corpora and runs every fuzz_* target for SECONDS (default 60). Exits 1 when
# any target found a crash, a leak, undefined behaviour or a hang.
#
#   fuzz/run.sh [SECONDS]
set -eu

seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKELVORA_FUZZ=ON -DKELVORA_GUI=OFF -DKELVORA_TESTS=OFF -DKELVORA_BENCH=OFF >/dev/null
ninja -C "$build" -j2

seeds="$build/seeds"
rm -rf "$seeds"
mkdir -p "$seeds"
"$build/fuzz/make_seeds" "$seeds"

# Leaks the codec libraries under libsndfile leave are theirs, not ours.
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

status=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  # fuzz_load_wav takes its seeds from seeds/wav, and so on.
  format=${name##*_}
  corpus="$build/corpus/$name"
  artifacts="$build/artifacts/$name"
  mkdir -p "$corpus" "$artifacts" "$seeds/$format"
  echo "== $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$corpus" "$seeds/$format"; then
    echo "$name: FAILED, reproducer in $artifacts" >&2
    status=1
  fi
done
exit $status
