// Volume with pan and an optional limiter.
#include <algorithm>
#include <array>

#include "document/operation.h"
#include "effects/amplitude.h"
#include "effects/param_dialog.h"
#include "effects/sample_pass.h"
#include "effects/texts.h"
#include "platform/platform.h"

namespace kelvora {

VolumeParams& VolumeParameters() {
  static VolumeParams params;
  return params;
}

void ResetAmplitudeParameters() { VolumeParameters() = VolumeParams{}; }

namespace {

constexpr int kVolumeDialog = 119;

std::array<ParamEntry, 6> VolumeTable(VolumeParams& p) {
  return {{
      {.id = 200, .kind = kParamSlider, .value = &p.volume, .min = 0, .max = 200, .buddy = 201},
      {.id = 201, .kind = kParamNumber, .value = &p.volume, .min = 0, .max = 200, .buddy = 200},
      {.id = 202, .kind = kParamSlider, .value = &p.pan, .min = 0, .max = 100, .buddy = 203},
      {.id = 203, .kind = kParamNumber, .value = &p.pan, .min = 0, .max = 100, .buddy = 202},
      {.id = 204, .kind = kParamCheck, .value = &p.limiter},
      {},
  }};
}

bool GoOnAfter(const char* text) {
  return ShowMessage(texts::kNameVolume, text, MsgIcon::kInformation, MsgButtons::kOkCancel) ==
         kIdOk;
}

// x * gain / divisor per channel: mono volume / 100; stereo channel 0
// volume * L / 5000 and channel 1 volume * R / 5000, where the side the pan
// points to keeps 50 and the other falls toward 0.
struct VolumeGain {
  int32_t gain[2];
  int32_t divisor;
  int32_t operator()(int ch, int32_t x) const { return x * gain[ch] / divisor; }
};

VolumeGain GainFor(bool mono, int32_t volume, int32_t pan) {
  if (mono) return {{volume, 0}, 100};
  const int32_t right = std::min(pan, 50);
  const int32_t left = std::min(100 - pan, 50);
  return {{volume * left, volume * right}, 5000};
}

}  // namespace

void Volume() {
  SoundDocument& doc = Doc();
  VolumeParams& params = VolumeParameters();
  SelectAllIfEmpty();
  auto table = VolumeTable(params);
  if (!RunParamDialog(kVolumeDialog, table.data())) return;
  // The dialog keeps the values in range; holding to it here keeps every
  // product below 2^31 and the gain monotonic, which the peak scan relies on.
  const int32_t volume = std::clamp(params.volume, 0, 200);
  int32_t pan = std::clamp(params.pan, 0, 100);
  const bool mono = doc.format.nChannels == 1;
  if (pan != 50 && mono) {
    if (!GoOnAfter(texts::kMonoPanIgnored)) return;
  } else if (pan != 50 && doc.channelMask != 3) {
    if (!GoOnAfter(texts::kOneChannelPanIgnored)) return;
    pan = 50;
  }
  if (!BeginUndoableOperation(texts::kNameVolume)) return;
  BusyScope busy;

  const VolumeGain gain = GainFor(mono, volume, pan);
  const int32_t start = doc.selStart;
  const int32_t length = doc.selEnd - doc.selStart;
  const int64_t frames = SelectionFrames();
  const int computed = mono ? 1 : 2;  // the stereo rules use channels 0 and 1
  const ChannelSet written{false, mono ? 1u : doc.channelMask & 3u};
  const bool limiter = params.limiter != 0;
  const int64_t total = limiter ? 2 * int64_t{length} : length;

  WithFrameFormat([&](auto fmt) {
    const int32_t align = fmt.Align();
    const int channels = std::min(computed, fmt.Count());
    if (limiter) {
      // First pass: the peak of every value, written or not. The gain is
      // monotonic, so each channel's extremes give its largest magnitude.
      ProgressPlan plan{texts::kNameVolume, 0, align, total};
      ForEachChunk(frames, &plan, [&](int64_t first, int64_t n) {
        ForEachChannelRange(fmt, Doc().bytes() + start + first * align, n, channels,
                            [&](int ch, int32_t min, int32_t max) {
                              RaisePeakScale(gain(ch, min));
                              RaisePeakScale(gain(ch, max));
                            });
      });
    }
    // Writing pass: WriteSample scales everything down by 32767 / peak when
    // the first pass found a peak above 32767.
    ProgressPlan plan{texts::kNameVolume, limiter ? length : 0, align, total};
    MapSamples(fmt, start, frames, written, plan, gain);
  });
  ResetPeakScale();
  doc.modified = true;
}

}  // namespace kelvora
