// The dynamics, delay and modulation effects against plain renderings of
// their definitions: ReadSample, WriteSample and ReadSampleInBlock frame by
// frame, scratch blocks laid out like the sound, one ShowProgress per frame;
// over the sample formats, selections at either end and inside, and every
// vector version of the loops: same bytes, same progress texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "document/busy.h"
#include "document/frame_format.h"
#include "document/sine_table.h"
#include "effects/amplitude.h"
#include "effects/delay.h"
#include "effects/dynamics.h"
#include "effects/effect_test_util.h"
#include "effects/modulation.h"
#include "effects/texts.h"

namespace kelvora {
namespace {

struct Pass {
  SoundDocument& d = Doc();
  int32_t start = d.selStart, len = d.selEnd - d.selStart, align = d.format.nBlockAlign;
  int32_t frames = len / align;
  int channels = d.format.nChannels;
  uint32_t rate = d.format.nSamplesPerSec;
  uint8_t* sel(int64_t k) { return d.bytes() + start + k * align; }
  int32_t x(int64_t k, int ch) { return ReadSample(sel(k), ch); }
  // Around the selection: the sound's own frames, 0 outside the data.
  int32_t around(int64_t k, int ch) { return ReadSampleInBlock(d.bytes(), d.length, sel(k), ch); }
  std::vector<uint8_t> block() { return std::vector<uint8_t>(static_cast<size_t>(len) + 32); }
  void progress(const char* name, int64_t k) { ShowProgress(name, k * align, len); }
};

void GateRef() {
  Pass s;
  const NoiseGateParams& p = NoiseGateParameters();
  int32_t g = 1000000, peak = 0;
  const uint32_t a = std::max(uint32_t(p.attack) * s.rate / 1000, 1u);
  const uint32_t r = std::max(uint32_t(p.release) * s.rate / 1000, 1u);
  for (int32_t k = 0; k < s.frames; ++k) {
    for (int ch = 0; ch < s.channels; ++ch) {
      const int32_t x = s.x(k, ch);
      if (std::abs(x) > peak) peak = std::abs(x);
      WriteSample(s.sel(k), (g / 10000) * x / 100, ch);
    }
    if (peak < p.level * 32768 / 100) {
      g -= int32_t(1000000u / r);
      if (g < 0) g = 0;
    } else {
      g += int32_t(1000000u / a);
      if (g > 1000000) g = 1000000;
    }
    peak -= 10;
    s.progress(texts::kNameNoiseGate, k);
  }
}

void CompressorRef() {
  Pass s;
  const CompressorParams& p = CompressorParameters();
  std::vector<uint8_t> e = s.block();
  for (int32_t k = 0; k < s.frames; ++k) {
    int32_t sum = 0;
    for (int ch = 0; ch < s.channels; ++ch) sum += std::abs(s.x(k, ch));
    WriteSample(&e[k * s.align], std::min(sum / s.channels, 32767), 0);
  }
  int32_t h = 0;
  for (int32_t k = 0; k < s.frames; ++k) {
    const int32_t v = ReadSample(&e[k * s.align], 0);
    if (v > h) h = v;
    WriteSample(&e[k * s.align], h, 0);
    h -= 10;
  }
  for (int32_t k = 0; k < s.frames; ++k) {
    const int32_t v = ReadSample(&e[k * s.align], 0);
    int32_t gain = 0;
    if (v >= 512) {
      const int32_t g = std::min(p.output * 32767 / v, 100);
      gain = (p.output * (100 - p.ratio) + g * p.ratio) / 100;
    }
    for (int ch = 0; ch < s.channels; ++ch) WriteSample(s.sel(k), s.x(k, ch) * gain / 100, ch);
  }
}

void DistortionRef() {
  Pass s;
  const DistortionParams& p = DistortionParameters();
  for (int32_t k = 0; k < s.frames; ++k) {
    for (int ch = 0; ch < s.channels; ++ch) {
      const int32_t x = s.x(k, ch);
      int32_t d;
      if (p.mode == kOverdrive)
        d = x >= 0 ? int32_t(std::sqrt(x) * 128) : int32_t(-std::sqrt(-x) * 128);
      else
        d = x >= 2500 ? 10000 : x <= -2500 ? -10000 : 4 * x;
      WriteSample(s.sel(k), (d * p.depth + x * (100 - p.depth)) / 100, ch);
    }
    s.progress(texts::kNameDistortion, k);
  }
}

void NoiseRemovalRef() {
  Pass s;
  const NoiseRemovalParams& p = NoiseRemovalParameters();
  const int w = p.impulse;
  const int32_t m = p.random * 3276 / 100;
  std::vector<uint8_t> t = s.block();
  const int32_t total = 2 * s.channels * s.len;
  auto copy_back = [&](int ch) {
    for (int32_t k = 0; k < s.frames; ++k)
      WriteSample(s.sel(k), ReadSample(&t[k * s.align], ch), ch);
  };
  for (int ch = 0; ch < s.channels; ++ch) {
    for (int32_t k = 0; k < s.frames; ++k) {
      const int32_t x = s.x(k, ch);
      int32_t sum = x;
      for (int j = 0; j <= 3; ++j) sum += s.around(k + j, ch) + s.around(k - j, ch);
      int32_t a = sum / 9;
      if (a - x > m)
        a = x + m;
      else if (a - x < -m)
        a = x - m;
      WriteSample(&t[k * s.align], a, ch);
      ShowProgress(texts::kNameNoiseRemoval, 2 * ch * s.len + k * s.align, total);
    }
    copy_back(ch);
    for (int32_t k = 0; k < s.frames; ++k) {
      std::vector<int32_t> v{s.x(k, ch)};
      for (int j = 1; j <= w; ++j) v.push_back(s.around(k + j, ch));
      for (int j = 1; j <= w; ++j) v.push_back(s.around(k - j, ch));
      std::sort(v.begin(), v.end(), [](int32_t a, int32_t b) { return a - b < 0; });
      WriteSample(&t[k * s.align], v[w], ch);
      ShowProgress(texts::kNameNoiseRemoval, (2 * ch + 1) * s.len + k * s.align, total);
    }
    copy_back(ch);
  }
}

void EchoRef() {
  Pass s;
  const EchoParams& p = EchoParameters();
  const uint32_t d = s.rate * uint32_t(p.delay) / 1000;
  std::vector<uint8_t> e(size_t(s.len) + size_t(d) * s.align + 16);
  // Every frame starts at 0, including the one D = 0 reads before writing.
  for (size_t k = 0; k < e.size() / s.align; ++k)
    for (int ch = 0; ch < s.channels; ++ch) WriteSample(&e[k * s.align], 0, ch);
  for (int32_t k = 0; k < s.frames; ++k) {
    for (int ch = 0; ch < s.channels; ++ch)
      WriteSample(&e[(k + d) * s.align],
                  s.x(k, ch) * p.level / 100 + ReadSample(&e[k * s.align], ch) * p.feedback / 100,
                  ch);
    s.progress(texts::kNameEcho, k);
  }
  for (int32_t k = 0; k < s.frames; ++k)
    for (int ch = 0; ch < s.channels; ++ch)
      WriteSample(s.sel(k), s.x(k, ch) + ReadSample(&e[k * s.align], ch), ch);
}

const uint32_t kTaps[28][2] = {{61, 100}, {62, 85},  {88, 64},  {93, 2},  {95, 3},   {96, 1},
                               {102, 73}, {155, 52}, {208, 19}, {212, 3}, {215, 32}, {241, 27},
                               {248, 16}, {259, 2},  {267, 1},  {328, 7}, {357, 2},  {410, 12},
                               {429, 10}, {448, 2},  {452, 4},  {561, 2}, {568, 1},  {617, 3},
                               {656, 1},  {707, 1},  {805, 1},  {978, 3}};

void ReverbRef() {
  RemoveDc();  // the command itself, checked on its own elsewhere
  Pass s;
  const ReverbParams& p = ReverbParameters();
  std::vector<uint8_t> out = s.block();
  for (int32_t k = 0; k < s.frames; ++k) {
    for (int ch = 0; ch < s.channels; ++ch) {
      int32_t acc = 0;
      for (const auto& [t, g] : kTaps) {
        const uint32_t dk = ((s.rate * t) / 1000) * uint32_t(p.time) / 1000;
        acc += s.around(int64_t{k} - dk, ch) * int32_t(g) * p.level / 12800;
      }
      WriteSample(&out[k * s.align], s.x(k, ch) * p.dry / 100 + acc, ch);
    }
    s.progress(texts::kNameReverb, k);
  }
  std::copy(out.begin(), out.begin() + s.len, s.sel(0));
}

// The swept read of flanger and vibrato into W, depth e(k) for frame k.
std::vector<uint8_t> SweptRef(Pass& s, const char* name, int32_t rate,
                              const std::function<int32_t(int64_t)>& e) {
  std::vector<uint8_t> w = s.block();
  int32_t d = 0;
  int64_t p = 0;
  const int64_t period = 10 * int64_t{s.rate};
  for (int32_t k = 0; k < s.frames; ++k) {
    for (int ch = 0; ch < s.channels; ++ch) {
      const int32_t a = s.around(k + d / 10000, ch), b = s.around(k + (d + 10000) / 10000, ch);
      WriteSample(&w[k * s.align], a + (b - a) * (d % 10000) / 10000, ch);
    }
    p += rate;
    if (p >= period) p -= period;
    s.progress(name, k);
    d = SineTable()[size_t(p * 1024 / period)] * e(k);
  }
  return w;
}

void FlangerRef() {
  Pass s;
  const FlangerParams& p = FlangerParameters();
  const std::vector<uint8_t> w =
      SweptRef(s, texts::kNameFlanger, p.rate, [&](int64_t) { return p.depth; });
  const bool stereo = p.stereo != 0 && s.channels != 1;  // cleared on mono
  for (int32_t k = 0; k < s.frames; ++k)
    for (int ch = 0; ch < (stereo ? 1 : s.channels); ++ch) {
      const int32_t x = s.x(k, ch), wet = ReadSample(&w[k * s.align], ch);
      WriteSample(
          s.sel(k),
          stereo ? x * (100 - p.level) / 100 + wet * p.level / 100 : (x + wet * p.level / 100) / 2,
          ch);
    }
}

void VibratoRef() {
  Pass s;
  const VibratoParams& p = VibratoParameters();
  const uint32_t r = uint32_t(p.delay) * s.rate / 10;
  const std::vector<uint8_t> w = SweptRef(s, texts::kNameVibrato, p.rate, [&](int64_t k) {
    return k < r ? int32_t(uint32_t(p.depth) * uint32_t(k) / r) : p.depth;
  });
  std::copy(w.begin(), w.begin() + s.len, s.sel(0));
}

void TremoloRef() {
  Pass s;
  const TremoloParams& p = TremoloParameters();
  for (int32_t n = 0; n < s.frames; ++n) {
    const uint32_t i = ((uint32_t(n) * 102 / s.rate) * uint32_t(p.rate)) % 1024;
    const int32_t g = (SineTable()[i] + 10000) * p.level / 20000;
    for (int ch = 0; ch < s.channels; ++ch) {
      const int32_t x = s.x(n, ch);
      WriteSample(s.sel(n),
                  p.autopan && ch % 2 ? x * (g - p.level + 100) / 100 : x * (100 - g) / 100, ch);
    }
    s.progress(texts::kNameTremolo, n);
  }
}

struct Case {
  const char* label;
  int command;
  const char* name;    // progress name; null: no progress
  int32_t first, end;  // selection in frames, of 10100
  std::function<void()> set;
  void (*reference)();
};

const Case kCases[] = {
    {"GateCloses", kCmdNoiseGate, texts::kNameNoiseGate, 7, 10007,
     [] {
       NoiseGateParameters() = {60, 2, 3};
     },
     GateRef},
    {"GateAtStart", kCmdNoiseGate, texts::kNameNoiseGate, 0, 6000, [] {}, GateRef},
    {"Compressor", kCmdCompressor, nullptr, 7, 10007,
     [] {
       CompressorParameters() = {60, 40};
     },
     CompressorRef},
    {"CompressorAtEnd", kCmdCompressor, nullptr, 4100, 10100,
     [] {
       CompressorParameters() = {100, 1};
     },
     CompressorRef},
    {"Overdrive", kCmdDistortion, texts::kNameDistortion, 7, 10007,
     [] {
       DistortionParameters() = {70, kOverdrive};
     },
     DistortionRef},
    {"FuzzAtEnd", kCmdDistortion, texts::kNameDistortion, 100, 10100,
     [] {
       DistortionParameters() = {100, kFuzz};
     },
     DistortionRef},
    {"NoiseRemovalAtStart", kCmdNoiseRemoval, texts::kNameNoiseRemoval, 0, 9000,
     [] {
       NoiseRemovalParameters() = {40, 3};
     },
     NoiseRemovalRef},
    {"NoiseRemovalAtEnd", kCmdNoiseRemoval, texts::kNameNoiseRemoval, 1000, 10100,
     [] {
       NoiseRemovalParameters() = {100, 10};
     },
     NoiseRemovalRef},
    {"Echo", kCmdEcho, texts::kNameEcho, 7, 10007,
     [] {
       EchoParameters() = {9, 60, 70};
     },
     EchoRef},
    {"EchoNoDelay", kCmdEcho, texts::kNameEcho, 0, 10000,
     [] {
       EchoParameters() = {0, 70, 50};
     },
     EchoRef},
    {"ReverbAtStart", kCmdReverb, texts::kNameReverb, 0, 10000,
     [] {
       ReverbParameters() = {30, 80, 50};
     },
     ReverbRef},
    {"ReverbAtEnd", kCmdReverb, texts::kNameReverb, 700, 10100,
     [] {
       ReverbParameters() = {120, 100, 90};
     },
     ReverbRef},
    {"FlangerAtStart", kCmdFlanger, texts::kNameFlanger, 0, 10000,
     [] {
       FlangerParameters() = {70, 30, 100, 0};
     },
     FlangerRef},
    {"StereoFlangeAtEnd", kCmdFlanger, texts::kNameFlanger, 100, 10100,
     [] {
       FlangerParameters() = {40, 100, 37, 1};
     },
     FlangerRef},
    {"Vibrato", kCmdVibrato, texts::kNameVibrato, 7, 10007,
     [] {
       VibratoParameters() = {50, 200, 1};
     },
     VibratoRef},
    {"VibratoAtEnd", kCmdVibrato, texts::kNameVibrato, 100, 10100,
     [] {
       VibratoParameters() = {100, 3, 0};
     },
     VibratoRef},
    {"AutoPan", kCmdTremolo, texts::kNameTremolo, 7, 10007,
     [] {
       TremoloParameters() = {80, 77, 1};
     },
     TremoloRef},
    {"TremoloAtStart", kCmdTremolo, texts::kNameTremolo, 0, 10000,
     [] {
       TremoloParameters() = {100, 100, 0};
     },
     TremoloRef},
};

// Quiet noise, a loud tone, silence, then full-scale noise with both
// extremes: every branch of the gate and the compressor gets its turn.
std::vector<int32_t> Material(int channels, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<int32_t> v;
  for (int k = 0; k < 10100; ++k)
    for (int ch = 0; ch < channels; ++ch) {
      const int32_t noise = int32_t(rng() % 65536) - 32768;
      if (k < 2000)
        v.push_back(noise / 100);
      else if (k < 5000)
        v.push_back(int32_t(20000 * std::sin(k * 0.05 + ch)) + noise / 20);
      else if (k < 5600)
        v.push_back(0);
      else
        v.push_back(k % 97 == 0 ? (ch ? 32767 : -32768) : noise);
    }
  return v;
}

MatrixOutcome RunCase(const SoundFormat& f, const Case& c, bool reference) {
  EngineFixture fixture;
  SetSamples(f, Material(f.nChannels, f.nBlockAlign * 31 + f.wBitsPerSample));
  Select(c.first, c.end);
  c.set();
  Busy().progressCounter = 0;
  if (reference)
    c.reference();
  else
    EXPECT_TRUE(RunCommand(c.command));
  return OutcomeOf(fixture.ui(), c.name);
}

using SignalMatchesReference = ReferenceMatrix<Case>;

TEST_P(SignalMatchesReference, SameSamplesProgressAndEvents) { ExpectSameAsReference(RunCase); }

INSTANTIATE_TEST_SUITE_P(AllFormats, SignalMatchesReference,
                         testing::Combine(testing::Values(0, 1, 2),
                                          testing::ValuesIn(kMatrixFormats),
                                          testing::ValuesIn(kCases)),
                         MatrixName());

}  // namespace
}  // namespace kelvora
