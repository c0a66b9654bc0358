#!/usr/bin/env bash
# Peak resident memory of kelvora-cli, as a multiple of the sound's file
# size, for every operation on a 10-minute 44.1 kHz 16-bit stereo sound
# (and the reverb on an 8-bit one), printed as a Markdown table beside the
# limit each one should stay within; then, when the build has it, the
# window's time to its first answer on an hour (bench/qt/first_progress),
# as a second table. Needs sox and GNU time.
#   bench/memory_table.sh BUILD_DIR [MINUTES]
set -euo pipefail
BUILD="${1:?usage: $0 BUILD_DIR [MINUTES]}"
MINUTES="${2:-10}"
CLI="$(cd "$BUILD" && pwd)/kelvora-cli"
[ -x "$CLI" ] || { echo "no kelvora-cli in $BUILD" >&2; exit 1; }
WORK="$(mktemp -d "${TMPDIR:-/tmp}/kelvora-memory.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT

FRAMES=$((44100 * 60 * MINUTES))
HALF=$((FRAMES / 2))
QUARTER=$((FRAMES / 4))
# Two tones under a little noise: no effect finds nothing to do.
sox -q -n -r 44100 -b 16 -c 2 "$WORK/sound.wav" synth "$((MINUTES * 60))" \
  sine 440 sine 660 whitenoise vol 0.5 remix 1,3 2,3
sox -q "$WORK/sound.wav" -b 8 -e unsigned "$WORK/sound8.wav"
sox -q "$WORK/sound.wav" "$WORK/half.wav" trim 0 "$((MINUTES * 30))"
sox -q -n -r 44100 -b 16 -c 2 "$WORK/note.wav" synth 0.1 sine 440

echo "| operation | peak / size | limit | ok |"
echo "|---|---|---|---|"
# row NAME LIMIT INPUT [cli arguments...]: one run, peak RSS over INPUT's size.
row() {
  local name="$1" limit="$2" input="$3"
  shift 3
  local size peak ratio ok=""
  size=$(stat -c %s "$input")
  if ! /usr/bin/time -f %M -o "$WORK/peak" "$CLI" "$input" "$@" >/dev/null 2>"$WORK/err"; then
    echo "| $name | failed: $(grep -v '^Command' "$WORK/err" | head -1) | $limit | no |"
    return
  fi
  peak=$(tail -1 "$WORK/peak")
  ratio=$(awk -v p="$peak" -v s="$size" 'BEGIN { printf "%.2f", p * 1024 / s }')
  if [ "$limit" != "-" ]; then
    ok=$(awk -v r="$ratio" -v l="$limit" 'BEGIN { print (r <= l ? "yes" : "no") }')
  fi
  echo "| $name | ${ratio}x | $limit | $ok |"
  rm -f "$WORK/out.wav"
}

S="$WORK/sound.wav"
E=2.15 # every effect and conversion
row "open" - "$S"
row "save" - "$S" -o "$WORK/out.wav"
cp "$S" "$WORK/linked.wav"
ln "$WORK/linked.wav" "$WORK/link2.wav"
row "save over a hard-linked file" - "$S" -o "$WORK/linked.wav"
for effect in remove-dc normalize invert silence fade-in fade-out reverse noise-removal \
  "volume:volume=80" "tremolo:level=50" "volume-envelope:points=0:100/256:200" \
  "pan-envelope:points=0:0/256:256" "noise-gate:level=30" "compressor:ratio=70" \
  echo reverb "pitch:pitch=150" "pitch:pitch=75" "pitch-envelope:points=0:100/256:160" \
  vibrato "time-stretch:speed=150" "transpose:cents=700" "transpose:cents=700,harmonize=on" \
  "distortion:depth=60" flanger "graphic-eq:bands=70/60/50/50/50/50/50/40/30" \
  "parametric-eq:level1=6" "loudness-normalize:target=-20.0"; do
  row "$effect" $E "$S" "$effect"
done
row "reverb, 8-bit" $E "$WORK/sound8.wav" reverb
for to in rate=22050 rate=8000 bits=8 channels=1; do
  row "convert:$to" $E "$S" "convert:$to"
done
row "cut of half" 2.6 "$S" "select=0:$HALF" cut
row "cut of all" 3.1 "$S" select-all cut
row "copy of all" - "$S" select-all copy
row "paste of a half-length clip" 3.1 "$S" --clip "$WORK/half.wav" "cursor=$HALF" paste
row "mix of a half-length clip" 2.6 "$S" --clip "$WORK/half.wav" "cursor=$QUARTER" mix
row "crop of half" - "$S" "select=$QUARTER:$((QUARTER + HALF))" crop
row "delete of half" - "$S" "select=0:$HALF" delete
row "insert-silence" - "$S" "cursor=$HALF" insert-silence
row "noise" - "$S" "cursor=$HALF" noise
row "tone" - "$S" "cursor=$HALF" tone
row "melody" - "$S" --clip "$WORK/note.wav" "cursor=$HALF" "melody:melody=o5cdefgab"

WINDOW="$BUILD/bench/kelvora_bench_first_progress"
[ -x "$WINDOW" ] || exit 0
echo
echo "| on an hour, in the window | first status-bar change | processor time until then | whole command | limit | ok |"
echo "|---|---|---|---|---|---|"
KELVORA_BENCH_DIR="$WORK" "$WINDOW" --benchmark_format=csv 2>/dev/null | awk -F, '
  NR == 1 { for (i = 1; i <= NF; ++i) { gsub(/"/, "", $i); col[$i] = i }; next }
  {
    gsub(/"/, "")
    name = $1 ~ /FirstEffect/ ? "DC成分除去, the first effect after opening" : "全てを選択, then Ctrl+X"
    if ($col["error_occurred"] != "") { printf "| %s | failed: %s | | | 0.25 s | no |\n", name, $col["error_message"]; next }
    first = $col["first_change_ms"] / 1000
    printf "| %s | %.2f s (%s) | %.2f s | %.2f s | 0.25 s | %s |\n", name, first, $col["label"],
      $col["first_change_cpu_ms"] / 1000, $col["command_ms"] / 1000, first <= 0.25 ? "yes" : "no"
  }'
