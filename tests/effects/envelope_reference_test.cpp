// The three envelope effects against a plain frame-by-frame rendering of
// their definitions (positions in 64 bits), over the sample formats, two
// selections and every vector version of the loops: same bytes, same
// selection, same progress texts, same events handled.
#include <gtest/gtest.h>

#include <cmath>

#include "document/busy.h"
#include "document/frame_format.h"
#include "effects/effect_test_util.h"
#include "effects/envelope.h"
#include "effects/texts.h"

namespace kelvora {
namespace {

using Points = std::vector<std::pair<int32_t, int32_t>>;

Envelope Curve(const Points& points) {
  Envelope e{};
  size_t i = 0;
  for (const auto& [x, y] : points) e[i++] = x, e[i++] = y;
  e[i++] = kCurveEnd;
  e[i] = kCurveEnd;
  return e;
}

// The segment x0 <= pos < x1 searched from the first, every time.
int32_t ValueRef(const Points& c, int64_t pos) {
  size_t i = 0;
  while (i + 2 < c.size() && pos >= c[i + 1].first) ++i;
  const auto [x0, y0] = c[i];
  const auto [x1, y1] = c[i + 1];
  return static_cast<int32_t>(y0 + (y1 - y0) * (pos - x0) / (x1 - x0));
}

struct Sel {
  SoundDocument& d = Doc();
  int32_t start = d.selStart, len = d.selEnd - d.selStart, align = d.format.nBlockAlign;
  uint8_t* at(int64_t offset) { return d.bytes() + offset; }
};

void ScaleRef(const char* name, const Points& c, bool pan) {
  Sel s;
  const bool mono = s.d.format.nChannels == 1;
  for (int32_t off = 0; off < s.len; off += s.align) {
    const int32_t g = ValueRef(c, int64_t{off} * 256 / s.len);
    uint8_t* p = s.at(s.start + off);
    WriteSample(p, ReadSample(p, 0) * g / 128, 0);
    if (!mono) WriteSample(p, ReadSample(p, 1) * (pan ? 256 - g : g) / 128, 1);
    ShowProgress(name, off, s.len);
  }
}

void PitchRef(const Points& c) {
  Sel s;
  std::vector<uint8_t> out(2 * size_t(s.len) + 100);
  int64_t t = 0, o = 0;
  while (t / 100 * s.align < s.len) {
    const int64_t e = t / 100 * s.align;
    const int32_t y = ValueRef(c, e * 256 / s.len);
    const auto step = static_cast<int32_t>(std::pow(2.0, y / 128.0) * 50);
    for (int ch = 0; ch < s.d.format.nChannels; ++ch) {
      const int32_t a = ReadSampleInBlock(s.at(0), s.d.length, s.at(s.start + e), ch);
      const int32_t b = ReadSampleInBlock(s.at(0), s.d.length, s.at(s.start + e + s.align), ch);
      WriteSample(out.data() + o, a + (b - a) * static_cast<int32_t>(t % 100) / 100, ch);
    }
    o += s.align;
    ShowProgress(texts::kNamePitchEnvelope, static_cast<int32_t>(e), s.len);
    t += step;
  }
  std::vector<uint8_t> whole(s.at(0), s.at(s.start));
  whole.insert(whole.end(), out.begin(), out.begin() + o);
  whole.insert(whole.end(), s.at(s.start + s.len), s.at(s.d.length));
  SetDocument(s.d.format, whole);
  s.d.selStart = s.start;
  s.d.selEnd = static_cast<int32_t>(s.start + o);
}

struct Case {
  const char* label;
  int command;
  const char* name;
  Points curve;
};

const Case kCases[] = {
    {"Volume",
     kCmdVolumeEnvelope,
     texts::kNameVolumeEnvelope,
     {{0, 40}, {60, 250}, {61, 3}, {200, 128}, {256, 256}}},
    {"Pan", kCmdPanEnvelope, texts::kNamePanEnvelope, {{0, 0}, {100, 200}, {255, 9}, {256, 70}}},
    {"Pitch",
     kCmdPitchEnvelope,
     texts::kNamePitchEnvelope,
     {{0, 0}, {90, 256}, {91, 77}, {180, 30}, {256, 200}}},
};

Envelope& CurveOf(int command) {
  return command == kCmdVolumeEnvelope ? VolumeEnvelopeCurve()
         : command == kCmdPanEnvelope  ? PanEnvelopeCurve()
                                       : PitchEnvelopeCurve();
}

// What a run leaves, and where the selection ends.
using Outcome = std::pair<MatrixOutcome, int32_t>;

Outcome RunCase(const SoundFormat& f, const Case& c, int32_t last, bool reference) {
  EngineFixture fixture;
  SetDocument(f, NoiseBytes(10100 * f.nBlockAlign, f.nBlockAlign * 37 + f.wBitsPerSample));
  Select(7, last);
  Busy().progressCounter = 0;
  if (reference) {
    if (c.command == kCmdPitchEnvelope)
      PitchRef(c.curve);
    else
      ScaleRef(c.name, c.curve, c.command == kCmdPanEnvelope);
  } else {
    CurveOf(c.command) = Curve(c.curve);
    EXPECT_TRUE(RunCommand(c.command));
    EXPECT_EQ(CurveOf(c.command), Curve(c.curve));
  }
  return {OutcomeOf(fixture.ui(), c.name), Doc().selEnd};
}

// Vector level, format, case, selection end (the sound's end, or inside it).
using Param = std::tuple<int, SoundFormat, Case, int32_t>;

class EnvelopeMatchesReference : public testing::TestWithParam<Param> {
protected:
  void TearDown() override { LimitVectorLevel(2); }
};

TEST_P(EnvelopeMatchesReference, SameSamplesProgressAndEvents) {
  const auto& [level, format, c, last] = GetParam();
  LimitVectorLevel(level);
  const Outcome want = RunCase(format, c, last, true);
  EXPECT_EQ(RunCase(format, c, last, false), want);
  EXPECT_GE(std::get<1>(want.first).size(), 20u);
}

// Every combination but the pan envelope on mono sounds, which it refuses.
std::vector<Param> AllParams() {
  std::vector<Param> all;
  for (int level : {0, 1, 2})
    for (const SoundFormat& f : kMatrixFormats)
      for (const Case& c : kCases)
        for (int32_t last : {10007, 10100})
          if (f.nChannels > 1 || c.command != kCmdPanEnvelope) all.emplace_back(level, f, c, last);
  return all;
}

std::string ParamName(const testing::TestParamInfo<Param>& info) {
  return MatrixName()(info) + (std::get<3>(info.param) == 10100 ? "_toEnd" : "_inside");
}

INSTANTIATE_TEST_SUITE_P(AllFormats, EnvelopeMatchesReference, testing::ValuesIn(AllParams()),
                         ParamName);

// Above 8 MiB, off * 256 and e * 256 pass 2^31: in 64 bits the second half
// of a two-step curve still gets its own value, to the last frame.
TEST(EnvelopeLongSelection, PositionsInSixtyFourBits) {
  EngineFixture f;
  const int32_t frames = 5 << 20;  // 10 MiB of 16-bit mono
  SetSamples(MakeFormat(44100, 16, 1), std::vector<int32_t>(frames, 1000));
  VolumeEnvelopeCurve() = Curve({{0, 128}, {128, 128}, {129, 64}, {256, 64}});
  ASSERT_TRUE(RunCommand(kCmdVolumeEnvelope));
  const std::vector<int32_t> got = Samples16();
  // pos 128 starts at frame 128 * frames / 256; pos 129 is the line's 64.
  EXPECT_EQ(got[frames / 2 - 1], 1000);
  EXPECT_EQ(got[frames / 2],
            1000 * ValueRef({{0, 128}, {128, 128}, {129, 64}, {256, 64}}, 128) / 128);
  EXPECT_EQ(got[frames / 2 + frames / 256], 500);
  EXPECT_EQ(got.back(), 500);
  // The pitch envelope: step 100 over the first half, 200 over the second.
  SetSamples(MakeFormat(44100, 16, 1), std::vector<int32_t>(frames, 1000));
  PitchEnvelopeCurve() = Curve({{0, 128}, {128, 128}, {129, 256}, {256, 256}});
  ASSERT_TRUE(RunCommand(kCmdPitchEnvelope));
  EXPECT_EQ(Doc().frames(), frames / 2 + frames / 256 + (frames / 2 - frames / 256) / 2);
}

}  // namespace
}  // namespace kelvora
