// Helpers for the effect tests: documents of samples, and the commands.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "document/frame_format.h"
#include "document/sound_document.h"
#include "effects/envelope.h"
#include "platform/param_dialog.h"
#include "resources/dialogs.h"
#include "test_support.h"

namespace kelvora {

// An envelope through these points.
inline Envelope Curve(const std::vector<CurvePoint>& points) {
  Envelope e{};
  size_t i = 0;
  for (const CurvePoint& p : points) e[i++] = p.x, e[i++] = p.y;
  e[i++] = kCurveEnd;
  e[i] = kCurveEnd;
  return e;
}

// Every sample of the document on the 16-bit scale, frame by frame.
inline std::vector<int32_t> Samples16() {
  const SoundDocument& doc = Doc();
  std::vector<int32_t> out;
  for (int32_t off = 0; off < doc.length; off += doc.format.nBlockAlign)
    for (int ch = 0; ch < doc.format.nChannels; ++ch)
      out.push_back(ReadSample(doc.data.data() + off, ch));
  return out;
}

// Random bytes with both widths' extremes sprinkled in (-32768 and 32767
// as 16-bit samples; 0, 128, 255 and 127 as 8-bit ones).
inline std::vector<uint8_t> NoiseBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> b(n);
  for (auto& x : b) x = static_cast<uint8_t>(rng());
  for (size_t i = 0; i + 1 < n; i += 98) b[i] = 0x00, b[i + 1] = 0x80;
  for (size_t i = 50; i + 1 < n; i += 90) b[i] = 0xff, b[i + 1] = 0x7f;
  return b;
}

inline void Select(int32_t first_frame, int32_t end_frame) {
  SoundDocument& doc = Doc();
  doc.selStart = doc.anchor = first_frame * doc.format.nBlockAlign;
  doc.selEnd = doc.movingEnd = end_frame * doc.format.nBlockAlign;
}

inline bool RunCommand(int command) { return DispatchCommand(command, kCodeMenu); }

// A command on a small sound whose result is known by hand: the samples
// after it (16-bit scale), with no message and the sound marked changed
// unless there was nothing to change. The test runs in signal_test.cpp; each
// file instantiates its own rows.
struct Known {
  const char* label;
  int command;
  SoundFormat format;
  std::vector<int32_t> in, out;
  std::function<void()> set = [] {};  // parameters, run after the sound is set
};
class KnownResult : public testing::TestWithParam<Known> {};
inline std::string KnownLabel(const testing::TestParamInfo<Known>& info) {
  return info.param.label;
}

// The formats every golden case runs in; 16-bit with three channels takes
// the general path.
inline const SoundFormat kMatrixFormats[] = {MakeFormat(44100, 16, 2), MakeFormat(22050, 16, 1),
                                             MakeFormat(11025, 8, 2), MakeFormat(8000, 8, 1),
                                             MakeFormat(22050, 16, 3)};

}  // namespace kelvora
