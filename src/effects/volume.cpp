// Volume with pan and an optional limiter.
#include <algorithm>
#include <array>

#include "document/params.h"
#include "effects/amplitude.h"
#include "effects/effect_runner.h"
#include "effects/texts.h"
#include "platform/platform.h"
#include "resources/dialogs.h"

namespace kelvora {
namespace {

// x * gain / divisor per channel: mono volume / 100; stereo channel 0
// volume * L / 5000 and channel 1 volume * R / 5000, where the side the pan
// points to keeps 50 and the other falls toward 0.
struct VolumeGain {
  int32_t gain[2];
  int32_t divisor;
  // Only channels 0 and 1 are ever mapped; the mask keeps the index in range.
  int32_t operator()(int ch, int32_t x) const { return x * gain[ch & 1] / divisor; }
};

VolumeGain GainFor(bool mono, int32_t volume, int32_t pan) {
  if (mono) return {{volume, 0}, 100};
  const int32_t right = std::min(pan, 50);
  const int32_t left = std::min(100 - pan, 50);
  return {{volume * left, volume * right}, 5000};
}

}  // namespace

void VolumePass(const VolumeParams& p, const SoundView& v) {
  // The dialog keeps the values in range; holding to it here keeps every
  // product below 2^31 and the gain monotonic, which the peak scan relies on.
  const bool mono = v.Channels() == 1;
  const VolumeGain gain = GainFor(mono, std::clamp(p.volume, 0, 200), std::clamp(p.pan, 0, 100));
  const int computed = mono ? 1 : 2;  // the stereo rules use channels 0 and 1
  const bool limiter = p.limiter != 0;
  const int64_t total = limiter ? 2 * v.Length() : v.Length();
  v.WithFormat([&](auto fmt) {
    const int channels = std::min(computed, fmt.Count());
    // First pass: the peak of every value, written or not. Above 32767 the
    // writing pass scales everything down by 32767 / peak.
    int32_t peak = 0;
    if (limiter)
      peak = PeakOfMap(fmt, v.out, v.frames, channels, v.Plan(0, v.Align(), total), gain);
    MapSamples(fmt, v.out, v.frames, v.Masked(), peak,
               v.Plan(limiter ? v.Length() : 0, v.Align(), total), gain);
  });
}

namespace {

ParamBindings VolumeControls() {
  VolumeParams& p = Params<VolumeParams>();
  return {{.id = 200, .value = &p.volume, .min = 0, .max = 200},
          {.id = 202, .value = &p.pan, .min = 0, .max = 100},
          {.id = 204, .value = &p.limiter}};
}

bool GoOnAfter(const char* text) {
  return ShowMessage(texts::kNameVolume, text, MsgIcon::kInformation, MsgButtons::kOkCancel) ==
         kIdOk;
}

bool AskAboutPan() {
  const SoundDocument& doc = Doc();
  const int32_t pan = std::clamp(Params<VolumeParams>().pan, 0, 100);
  if (pan != 50 && doc.format.nChannels == 1) return GoOnAfter(texts::kMonoPanIgnored);
  if (pan != 50 && doc.channelMask != 3) return GoOnAfter(texts::kOneChannelPanIgnored);
  return true;
}

// The pan the pass uses: a stereo sound with one channel chosen keeps the
// centre, as the question above says (so a preview hears it too).
int32_t PanFor(const SoundView& v, int32_t pan) {
  return v.Channels() == 2 && (v.channelMask & 3) != 3 ? 50 : pan;
}

}  // namespace

void Volume() {
  static const EffectRecipe kRecipe{texts::kNameVolume, kDialogVolume, VolumeControls, AskAboutPan};
  RunEffect(kRecipe, [](EffectRun& run) {
    VolumeParams p = Params<VolumeParams>();
    p.pan = PanFor(run.view, p.pan);
    VolumePass(p, run.view);
    return 1;
  });
}

}  // namespace kelvora
