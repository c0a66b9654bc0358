// Volume, pan and pitch along the selection, following the curves drawn in
// the envelope editor.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "document/busy.h"
#include "document/operation.h"
#include "document/replace_selection.h"
#include "effects/effect_runner.h"
#include "effects/envelope.h"
#include "effects/texts.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

constexpr int kVolumeEnvelopeDialog = 118;
constexpr int kPanEnvelopeDialog = 125;
constexpr int kPitchEnvelopeDialog = 127;

// The display density the editor draws the waveform at, for the dialog
// hooks of the recipes below.
int32_t g_density = 8;

int VolumeEditor() {
  return RunEnvelopeEditor(kVolumeEnvelopeDialog, VolumeEnvelopeCurve(), g_density);
}
int PanEditor() { return RunEnvelopeEditor(kPanEnvelopeDialog, PanEnvelopeCurve(), g_density); }
int PitchEditor() {
  return RunEnvelopeEditor(kPitchEnvelopeDialog, PitchEnvelopeCurve(), g_density);
}

// The position along the curve is pos = off * 256 / L for the byte offset
// off of a frame in a selection of L bytes: computed in 64 bits, so that a
// selection above 8 MiB follows the curve to its end. The first frame at
// each pos, and the end of the selection after the last.
std::array<int64_t, 257> FirstFrameAtPos(int64_t length, int32_t align) {
  std::array<int64_t, 257> first{};
  const int64_t per = 256 * int64_t{align};
  for (int64_t p = 0; p <= 256; ++p) first[p] = (p * length + per - 1) / per;
  return first;
}

// channel 0 gets x * g / 128, channel 1 x * (pan ? 256 - g : g) / 128, for
// the first `channels` (1 or 2) channels of each frame.
void ScaleAlongCurve(const EffectRun& run, int channels, bool pan) {
  const std::array<int32_t, 256> values =
      EnvelopeValues(pan ? PanEnvelopeCurve() : VolumeEnvelopeCurve());
  const std::array<int64_t, 257> first = FirstFrameAtPos(run.length, run.align);
  WithFrameFormat([&](auto fmt) {
    using Fmt = decltype(fmt);
    const int count = std::min(channels, fmt.Count());
    const ProgressPlan plan{run.name, 0, run.align, run.length};
    int pos = 0;
    ForEachChunk(run.frames, &plan, [&](int64_t from, int64_t n) {
      for (int64_t i = from, end = from + n; i < end;) {
        while (first[pos + 1] <= i) ++pos;
        const int64_t stop = std::min(end, first[pos + 1]);
        const int32_t g0 = values[pos], g1 = pan ? 256 - g0 : g0;
        uint8_t* p = run.Selection() + i * fmt.Align();
        if constexpr (Fmt::kPacked) {
          VectorLoop(stop - i, [=](int64_t k) KELVORA_ALWAYS_INLINE {
            uint8_t* frame = p + k * fmt.Align();
            fmt.Write(frame, fmt.Read(frame, 0) * g0 / 128, 0);
            if constexpr (Fmt::kChannels == 2) fmt.Write(frame, fmt.Read(frame, 1) * g1 / 128, 1);
          });
        } else {
          for (int64_t k = 0; k < stop - i; ++k) {
            uint8_t* frame = p + k * fmt.Align();
            for (int ch = 0; ch < count; ++ch)
              fmt.Write(frame, fmt.Read(frame, ch) * (ch == 0 ? g0 : g1) / 128, ch);
          }
        }
        i = stop;
      }
    });
  });
}

}  // namespace

void VolumeEnvelope(int32_t density) {
  g_density = density;
  static const EffectRecipe kRecipe{.name = texts::kNameVolumeEnvelope, .dialog = VolumeEditor};
  RunEffect(kRecipe, [](EffectRun& run) {
    ScaleAlongCurve(run, run.channels == 1 ? 1 : 2, false);
    return 1;
  });
}

void PanEnvelope(int32_t density) {
  if (Doc().format.nChannels == 1) {
    ShowMessage(texts::kNamePanEnvelope, texts::kStereoOnly, MsgIcon::kInformation);
    return;
  }
  g_density = density;
  static const EffectRecipe kRecipe{.name = texts::kNamePanEnvelope, .dialog = PanEditor};
  RunEffect(kRecipe, [](EffectRun& run) {
    ScaleAlongCurve(run, 2, true);
    return 1;
  });
}

// ----- Pitch -------------------------------------------------------------------

namespace {

// Hundredths of a frame consumed per output frame at curve value y:
// trunc(2^(y / 128) * 50), 50 at the bottom, 100 in the middle, 200 at the top.
std::array<int32_t, 257> PitchSteps() {
  std::array<int32_t, 257> steps{};
  for (int y = 0; y <= 256; ++y)
    steps[y] = static_cast<int32_t>(std::pow(2.0, static_cast<double>(y) / 128) * 50);
  return steps;
}

// The resampling pass into `out`; returns the bytes written. The source
// position counts hundredths of a frame as a frame and a remainder, in 64
// bits: a selection of more than 21,474,836 frames would carry it past
// 2^31. Frames after the selection are the sound's own, 0 past its end.
template <class Fmt>
int64_t PitchFlow(Fmt fmt, const EffectRun& run, uint8_t* out) {
  static const std::array<int32_t, 257> kSteps = PitchSteps();
  const std::array<int32_t, 256> values = EnvelopeValues(PitchEnvelopeCurve());
  const std::array<int64_t, 257> first = FirstFrameAtPos(run.length, run.align);
  const int32_t align = fmt.Align();
  const int64_t frames = run.frames;
  const uint8_t* data = Doc().bytes();
  const int64_t data_length = Doc().length;
  const uint8_t* selection = data + run.start;
  // Below this frame, the frame after it lies inside the data too.
  const int64_t inside = (data_length - run.start) / align - 1;
  uint8_t* o = out;
  int64_t f = 0;
  int32_t r = 0;
  int pos = 0;
  while (f < frames) {
    while (first[pos + 1] <= f) ++pos;
    const uint8_t* a = selection + f * align;
    for (int ch = 0; ch < fmt.Count(); ++ch) {
      const int32_t x0 = fmt.Read(a, ch);
      const int32_t x1 = f < inside ? fmt.Read(a + align, ch)
                                    : ReadSampleInBlock(data, data_length, a + align, ch);
      fmt.Write(o, x0 + (x1 - x0) * r / 100, ch);
    }
    o += align;
    ShowProgress(run.name, static_cast<int32_t>(f * align), run.length);
    r += kSteps[values[pos]];
    while (r >= 100) {
      r -= 100;
      ++f;
    }
  }
  return o - out;
}

}  // namespace

void PitchEnvelope(int32_t density) {
  g_density = density;
  static const EffectRecipe kRecipe{.name = texts::kNamePitchEnvelope, .dialog = PitchEditor};
  RunEffect(kRecipe, [](EffectRun& run) {
    // At most two output frames per source frame, and room to spare.
    MemoryBlock out;
    if (!run.Scratch(out, 2 * static_cast<size_t>(run.length) + 100)) return 0;
    int64_t bytes = 0;
    WithFrameFormat([&](auto fmt) {
      // Bytes an odd layout never writes are 0.
      if constexpr (!decltype(fmt)::kPacked) std::memset(out.data(), 0, out.size());
      bytes = PitchFlow(fmt, run, out.data());
    });
    // The block grows before anything moves: if it cannot, the sound stays
    // whole and unchanged, and only the shortage is reported.
    if (bytes > INT32_MAX) {
      ShowOutOfMemory(run.name);
      return 0;
    }
    return ReplaceSelection(out.data(), static_cast<int32_t>(bytes), run.name);
  });
}

}  // namespace kelvora
