// Pitch, time stretch and transpose against the plain rendering of their
// definition (pitch_time_reference.h), over the sample formats and every
// vector version of the loops: same bytes, same selection, same progress
// texts, same events handled.
#include "effects/pitch_time_reference.h"

#include <gtest/gtest.h>

#include <cmath>

#include "document/frame_format.h"
#include "effects/effect_test_util.h"
#include "effects/pitch_time.h"
#include "effects/texts.h"

namespace kelvora {
namespace {

struct Case {
  const char* label;
  int command;
  const char* name;
  int32_t value;  // pitch, speed or cents
  TransposeParams transpose;
};

// The selection's bytes become `result` (M frames), as ReplaceSelection does.
void PutInPlaceOfSelection(const std::vector<uint8_t>& result, int64_t bytes) {
  SoundDocument& d = Doc();
  std::vector<uint8_t> all(d.bytes(), d.bytes() + d.selStart);
  all.insert(all.end(), result.begin(), result.begin() + bytes);
  all.insert(all.end(), d.bytes() + d.selEnd, d.bytes() + d.length);
  const int32_t start = d.selStart;
  SetDocument(d.format, all);
  d.selStart = d.anchor = start;
  d.selEnd = d.movingEnd = start + static_cast<int32_t>(bytes);
}

void Reference(const Case& c) {
  SoundDocument& d = Doc();
  const int align = d.format.nBlockAlign;
  const int64_t len = d.selEnd - d.selStart, n = len / align;
  // The selection is the source block: frames beyond it read as 0.
  const std::vector<uint8_t> src(d.bytes() + d.selStart, d.bytes() + d.selEnd);
  if (c.command == kCmdPitch || c.command == kCmdTimeStretch) {
    const int64_t bytes = n * 100 / c.value * align;
    std::vector<uint8_t> out(bytes + 320, 0);
    if (c.command == kCmdPitch)
      reference::Resample(c.name, 0, 100, c.value, src.data(), len, out.data(), bytes);
    else
      reference::Stretch(c.name, 0, 100, src.data(), len, out.data(), bytes);
    PutInPlaceOfSelection(out, bytes);
    return;
  }
  const double x = std::pow(1.00057778951, c.value);
  const int64_t bytes = static_cast<int64_t>(n / x) * align;
  std::vector<uint8_t> scratch(bytes + 320, 0), z(len, 0);
  reference::Resample(c.name, 0, 50, static_cast<int32_t>(x * 100), src.data(), len, scratch.data(),
                      bytes);
  uint8_t* sel = d.bytes() + d.selStart;
  reference::Stretch(c.name, 50, 100, scratch.data(), bytes, c.transpose.harmonize ? z.data() : sel,
                     len);
  if (!c.transpose.harmonize) return;
  const int32_t mix = c.transpose.mix;
  for (int64_t p = 0; p < len; p += align)
    for (int ch = 0; ch < d.format.nChannels; ++ch)
      WriteSample(sel + p,
                  (ReadSample(sel + p, ch) * (100 - mix) + ReadSample(&z[p], ch) * mix) / 100, ch);
}

const Case kCases[] = {
    {"PitchUp", kCmdPitch, texts::kNamePitch, 137, {}},
    {"PitchDown", kCmdPitch, texts::kNamePitch, 50, {}},
    {"Faster", kCmdTimeStretch, texts::kNameTimeStretch, 150, {}},
    {"Slower", kCmdTimeStretch, texts::kNameTimeStretch, 70, {}},
    {"TransposeUp", kCmdTranspose, texts::kNameTranspose, 350, {}},
    {"HarmonizeDown", kCmdTranspose, texts::kNameTranspose, -500, {-500, 1, 30}},
};

// A tone, so that the overlap search has a best match to find, with noise
// and both extremes sprinkled in.
std::vector<int32_t> Tone(int64_t frames, int channels) {
  std::vector<int32_t> v;
  std::mt19937 rng(5);
  for (int64_t i = 0; i < frames; ++i)
    for (int ch = 0; ch < channels; ++ch)
      v.push_back(static_cast<int32_t>(14000 * std::sin(i * 0.17 + ch)) +
                  static_cast<int32_t>(rng() % 6001) - 3000);
  for (size_t i = 3; i < v.size(); i += 101) v[i] = -32768;
  for (size_t i = 7; i < v.size(); i += 89) v[i] = 32767;
  return v;
}

// What the matrix compares, and where the selection ends.
using Outcome = std::pair<MatrixOutcome, int32_t>;

Outcome RunCase(const SoundFormat& f, const Case& c, bool reference) {
  EngineFixture fixture;
  SetSamples(f, Tone(6100, f.nChannels));
  Select(7, 6007);
  PitchParameters().pitch = TimeStretchParameters().speed = c.value;
  TransposeParameters() = c.transpose;
  TransposeParameters().cents = c.value;
  Busy().progressCounter = 0;
  if (reference)
    Reference(c);
  else
    EXPECT_TRUE(RunCommand(c.command));
  return {OutcomeOf(fixture.ui(), c.name), Doc().selEnd};
}

class PitchTimeMatchesReference
    : public testing::TestWithParam<std::tuple<int, SoundFormat, Case>> {
protected:
  void TearDown() override { LimitVectorLevel(2); }
};

TEST_P(PitchTimeMatchesReference, SameSamplesProgressAndEvents) {
  const auto& [level, format, c] = GetParam();
  LimitVectorLevel(level);
  const Outcome want = RunCase(format, c, true);
  EXPECT_EQ(RunCase(format, c, false), want);
  EXPECT_GE(std::get<1>(want.first).size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, PitchTimeMatchesReference,
                         testing::Combine(testing::Values(0, 1, 2),
                                          testing::ValuesIn(kMatrixFormats),
                                          testing::ValuesIn(kCases)),
                         MatrixName());

}  // namespace
}  // namespace kelvora
