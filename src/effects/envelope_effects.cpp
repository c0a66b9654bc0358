// Volume, pan and pitch along the selection, following the curves drawn in
// the envelope editor.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "document/busy.h"
#include "document/operation.h"
#include "document/params.h"
#include "effects/effect_runner.h"
#include "effects/envelope.h"
#include "effects/texts.h"
#include "platform/platform.h"
#include "resources/dialogs.h"

namespace kelvora {
namespace {

// The display density the editor draws the waveform at, for the dialog
// hooks of the recipes below.
int32_t g_density = 8;

int VolumeEditor() {
  return RunEnvelopeEditor(kDialogVolumeEnvelope, Params<VolumeEnvelopeParams>().curve, g_density);
}
int PanEditor() {
  return RunEnvelopeEditor(kDialogPanEnvelope, Params<PanEnvelopeParams>().curve, g_density);
}
int PitchEditor() {
  return RunEnvelopeEditor(kDialogPitchEnvelope, Params<PitchEnvelopeParams>().curve, g_density);
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
void ScaleAlongCurve(const SoundView& v, const Envelope& curve, int channels, bool pan) {
  const std::array<int32_t, 256> values = EnvelopeValues(curve);
  const std::array<int64_t, 257> first = FirstFrameAtPos(v.Length(), v.Align());
  v.WithFormat([&](auto fmt) {
    using Fmt = decltype(fmt);
    const int count = std::min(channels, fmt.Count());
    const ProgressPlan plan = v.Plan(0, v.Align(), v.Length());
    int pos = 0;
    ForEachChunk(v.frames, &plan, [&](int64_t from, int64_t n) {
      for (int64_t i = from, end = from + n; i < end;) {
        while (first[pos + 1] <= i) ++pos;
        const int64_t stop = std::min(end, first[pos + 1]);
        const int32_t g0 = values[pos], g1 = pan ? 256 - g0 : g0;
        uint8_t* p = v.out + i * fmt.Align();
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

void VolumeEnvelopePass(const VolumeEnvelopeParams& p, const SoundView& v) {
  ScaleAlongCurve(v, p.curve, v.Channels() == 1 ? 1 : 2, false);
}

void PanEnvelopePass(const PanEnvelopeParams& p, const SoundView& v) {
  ScaleAlongCurve(v, p.curve, 2, true);
}

void VolumeEnvelope(int32_t density) {
  g_density = density;
  static const EffectRecipe kRecipe{.name = texts::kNameVolumeEnvelope,
                                    .dialogId = kDialogVolumeEnvelope,
                                    .dialog = VolumeEditor};
  RunEffect(kRecipe, [](EffectRun& run) {
    VolumeEnvelopePass(Params<VolumeEnvelopeParams>(), run.view);
    return 1;
  });
}

void PanEnvelope(int32_t density) {
  if (Doc().format.nChannels == 1) {
    ShowMessage(texts::kNamePanEnvelope, texts::kStereoOnly, MsgIcon::kInformation);
    return;
  }
  g_density = density;
  static const EffectRecipe kRecipe{
      .name = texts::kNamePanEnvelope, .dialogId = kDialogPanEnvelope, .dialog = PanEditor};
  RunEffect(kRecipe, [](EffectRun& run) {
    PanEnvelopePass(Params<PanEnvelopeParams>(), run.view);
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

// The walk along the selection, one output frame a step: the source
// position counts hundredths of a frame as a frame f and a remainder r, in
// 64 bits (a selection of more than 21,474,836 frames would carry it past
// 2^31), at curve position pos. The count and the pass walk alike.
struct PitchWalk {
  std::array<int32_t, 256> values;
  std::array<int64_t, 257> first;
  int64_t f = 0;
  int32_t r = 0;
  int pos = 0;

  PitchWalk(const Envelope& curve, const SoundView& v)
      : values(EnvelopeValues(curve)), first(FirstFrameAtPos(v.Length(), v.Align())) {}
  void Seek() {
    while (first[pos + 1] <= f) ++pos;
  }
  void Step() {
    static const std::array<int32_t, 257> kSteps = PitchSteps();
    r += kSteps[values[pos]];
    while (r >= 100) {
      r -= 100;
      ++f;
    }
  }
};

// The resampling pass into `out`. Frames after the view's are the sound's
// own, 0 past its end.
template <class Fmt>
void PitchFlow(Fmt fmt, const Envelope& curve, const SoundView& v, uint8_t* out) {
  PitchWalk walk(curve, v);
  const int32_t align = fmt.Align();
  const uint8_t* selection = v.SourceRange();
  // Below this frame, the frame after it lies inside the sound too.
  const int64_t inside = v.sourceLength / align - v.first - 1;
  uint8_t* o = out;
  while (walk.f < v.frames) {
    walk.Seek();
    const int64_t f = walk.f;
    const uint8_t* a = selection + f * align;
    for (int ch = 0; ch < fmt.Count(); ++ch) {
      const int32_t x0 = fmt.Read(a, ch);
      const int32_t x1 = f < inside
                             ? fmt.Read(a + align, ch)
                             : ReadFrameOrZero(fmt, v.source, v.sourceLength, v.first + f + 1, ch);
      fmt.Write(o, x0 + (x1 - x0) * walk.r / 100, ch);
    }
    o += align;
    if (v.progress != nullptr)
      ShowProgress(v.progress, static_cast<int32_t>(f * align), static_cast<int32_t>(v.Length()));
    walk.Step();
  }
}

}  // namespace

int PitchEnveloper::Start(const SoundView& v, const Scratch&) {
  PitchWalk walk(params.curve, v);
  frames = 0;
  while (walk.f < v.frames) {
    walk.Seek();
    walk.Step();
    ++frames;
  }
  return 1;
}

void PitchEnveloper::Render(const SoundView& v, uint8_t* out) {
  v.WithFormat([&](auto fmt) { PitchFlow(fmt, params.curve, v, out); });
}

void PitchEnvelope(int32_t density) {
  g_density = density;
  static const EffectRecipe kRecipe{
      .name = texts::kNamePitchEnvelope, .dialogId = kDialogPitchEnvelope, .dialog = PitchEditor};
  RunEffect(kRecipe, [](EffectRun& run) {
    return RunProcessor(run, PitchEnveloper{Params<PitchEnvelopeParams>()});
  });
}

}  // namespace kelvora
