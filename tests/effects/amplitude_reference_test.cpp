// Every amplitude effect against a plain frame-by-frame rendering of its
// definition (ReadSample, WriteSample and one ShowProgress per frame), over
// the sample formats and every vector version of the loops: same bytes,
// same progress texts, same events handled.
#include <gtest/gtest.h>

#include <algorithm>

#include "document/busy.h"
#include "effects/amplitude.h"
#include "effects/effect_test_util.h"
#include "document/frame_format.h"
#include "effects/texts.h"

namespace kelvora {
namespace {

struct Case {
  const char* label;
  int command;
  const char* name;  // progress name; null: no progress
  VolumeParams volume;
  uint32_t mask;
  void (*reference)(const Case&);
};

struct Pass {
  SoundDocument& d = Doc();
  int32_t start = d.selStart, end = d.selEnd, align = d.format.nBlockAlign;
  int32_t len = end - start, frames = len / align;
  int channels = d.format.nChannels;
  uint8_t* at(int32_t offset) { return d.bytes() + offset; }
};

void VolumeRef(const Case& c) {
  Pass s;
  const bool mono = s.channels == 1;
  const int pan = mono || c.mask == 3 ? c.volume.pan : 50;
  const int gain[2] = {c.volume.volume * std::min(100 - pan, 50),
                       c.volume.volume * std::min(pan, 50)};
  auto value = [&](int32_t p, int ch) {
    const int32_t x = ReadSample(s.at(p), ch);
    return mono ? x * c.volume.volume / 100 : x * gain[ch] / 5000;
  };
  const int32_t total = c.volume.limiter ? 2 * s.len : s.len;
  ResetPeakScale();
  if (c.volume.limiter)
    for (int32_t p = s.start; p < s.end; p += s.align) {
      for (int ch = 0; ch < (mono ? 1 : 2); ++ch) RaisePeakScale(value(p, ch));
      ShowProgress(c.name, p - s.start, total);
    }
  for (int32_t p = s.start; p < s.end; p += s.align) {
    for (int ch = 0; ch < (mono ? 1 : 2); ++ch)
      if (mono || (c.mask >> ch & 1)) WriteSample(s.at(p), value(p, ch), ch);
    ShowProgress(c.name, (c.volume.limiter ? s.len : 0) + p - s.start, total);
  }
  ResetPeakScale();
}

// Each sample through fn(sample, frame, frames), one progress call a frame.
template <class Fn>
void EachFrame(const Case& c, Fn fn) {
  Pass s;
  for (int32_t i = 0; i < s.frames; ++i) {
    uint8_t* p = s.at(s.start + i * s.align);
    for (int ch = 0; ch < s.channels; ++ch) WriteSample(p, fn(ReadSample(p, ch), i, s.frames), ch);
    ShowProgress(c.name, i, s.frames);
  }
}

void FadeRef(const Case& c) {
  EachFrame(c, [&](int32_t x, int32_t i, int32_t n) {
    return static_cast<int32_t>(x * (double(c.command == kCmdFadeIn ? i : n - i) / n));
  });
}

void InvertRef(const Case& c) {
  EachFrame(c, [](int32_t x, int32_t, int32_t) { return -x; });
}

void NormalizeRef(const Case& c) {
  Pass s;
  ResetPeakScale();
  for (int32_t p = s.start; p < s.end; p += s.align) {
    for (int ch = 0; ch < s.channels; ++ch) RaisePeakScale(ReadSample(s.at(p), ch));
    ShowProgress(c.name, p - s.start, 2 * s.len);
  }
  const int32_t peak = Peak().peakScale;
  for (int32_t p = s.start; p < s.end; p += s.align) {
    for (int ch = 0; ch < s.channels; ++ch)
      WriteSample(s.at(p), ReadSample(s.at(p), ch) * 32767 / peak, ch);
    ShowProgress(c.name, s.len + p - s.start, 2 * s.len);
  }
  ResetPeakScale();
}

void ReverseRef(const Case& c) {
  Pass s;
  int32_t i = 0;
  for (int32_t front = s.start, back = s.end - s.align; front < back;
       front += s.align, back -= s.align) {
    for (int ch = 0; ch < s.channels; ++ch) {
      const int32_t a = ReadSample(s.at(front), ch), b = ReadSample(s.at(back), ch);
      WriteSample(s.at(front), b, ch);
      WriteSample(s.at(back), a, ch);
    }
    ShowProgress(c.name, i++, s.frames);
  }
}

void RemoveDcRef(const Case& c) {
  Pass s;
  std::vector<uint8_t> out(s.len);
  std::vector<double> m(s.channels, 0.0);
  for (int32_t p = s.start; p < s.end; p += s.align) {
    for (int ch = 0; ch < s.channels; ++ch) {
      const int32_t x = ReadSampleInBlock(s.at(0), s.d.length, s.at(p), ch);
      m[ch] = (m[ch] * 127 + x) / 128;
      WriteSample(out.data() + (p - s.start), static_cast<int32_t>(x - m[ch]), ch);
    }
    ShowProgress(c.name, p - s.start, s.len);
  }
  std::copy(out.begin(), out.end(), s.at(s.start));
}

void SilenceRef(const Case& c) {
  Pass s;
  for (int32_t p = s.start; p < s.end; p += s.align)
    for (int ch = 0; ch < s.channels; ++ch)
      if (s.channels == 1 ? ch == 0 : (c.mask >> ch & 1)) WriteSample(s.at(p), 0, ch);
}

const Case kCases[] = {
    {"VolumeLimited", kCmdVolume, texts::kNameVolume, {200, 30, 1}, 3, VolumeRef},
    {"VolumeClipped", kCmdVolume, texts::kNameVolume, {150, 50, 0}, 3, VolumeRef},
    {"VolumeLeftOnly", kCmdVolume, texts::kNameVolume, {60, 0, 1}, 1, VolumeRef},
    {"FadeIn", kCmdFadeIn, texts::kNameFadeIn, {}, 3, FadeRef},
    {"FadeOut", kCmdFadeOut, texts::kNameFadeOut, {}, 3, FadeRef},
    {"Normalize", kCmdNormalize, texts::kNameNormalize, {}, 3, NormalizeRef},
    {"Reverse", kCmdReverse, texts::kNameReverse, {}, 3, ReverseRef},
    {"Invert", kCmdInvertPhase, texts::kNameInvertPhase, {}, 3, InvertRef},
    {"RemoveDc", kCmdRemoveDc, texts::kNameRemoveDc, {}, 3, RemoveDcRef},
    {"SilenceSecond", kCmdSilenceSelection, nullptr, {}, 2, SilenceRef},
};

// 16-bit with three channels takes the general path.
const SoundFormat kFormats[] = {MakeFormat(44100, 16, 2), MakeFormat(22050, 16, 1),
                                MakeFormat(11025, 8, 2), MakeFormat(8000, 8, 1),
                                MakeFormat(22050, 16, 3)};

// The bytes, the progress texts and the number of events handled.
using Outcome = std::tuple<std::vector<uint8_t>, std::vector<std::string>, int>;

Outcome RunCase(const SoundFormat& f, const Case& c, bool reference) {
  EngineFixture fixture;
  SetDocument(f, NoiseBytes(10100 * f.nBlockAlign, f.nBlockAlign * 31 + f.wBitsPerSample));
  // Three chunks, away from both ends. With 10000 frames and the counter at
  // 0, every update falls where one frame more would change the percent.
  Select(7, 10007);
  Doc().channelMask = c.mask;
  VolumeParameters() = c.volume;
  Busy().progressCounter = 0;
  if (reference)
    c.reference(c);
  else
    EXPECT_TRUE(RunCommand(c.command));
  std::vector<std::string> progress;
  for (const std::string& s : fixture.ui().statusLog)
    if (c.name != nullptr && s.rfind(std::string(c.name) + ":", 0) == 0) progress.push_back(s);
  return {DocumentBytes(), progress, fixture.ui().eventsDispatched};
}

using Param = std::tuple<int, SoundFormat, Case>;

class AmplitudeMatchesReference : public testing::TestWithParam<Param> {
protected:
  void TearDown() override { LimitVectorLevel(2); }
};

TEST_P(AmplitudeMatchesReference, SameSamplesProgressAndEvents) {
  const auto& [level, format, c] = GetParam();
  LimitVectorLevel(level);
  const Outcome want = RunCase(format, c, true);
  EXPECT_EQ(RunCase(format, c, false), want);
  EXPECT_GE(std::get<1>(want).size(), c.name != nullptr ? 20u : 0u);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, AmplitudeMatchesReference,
                         testing::Combine(testing::Values(0, 1, 2), testing::ValuesIn(kFormats),
                                          testing::ValuesIn(kCases)),
                         [](const auto& info) {
                           const SoundFormat& f = std::get<1>(info.param);
                           return std::string(std::get<2>(info.param).label) + "_" +
                                  std::to_string(f.wBitsPerSample) + "bit" +
                                  std::to_string(f.nChannels) + "ch_level" +
                                  std::to_string(std::get<0>(info.param));
                         });

}  // namespace
}  // namespace kelvora
