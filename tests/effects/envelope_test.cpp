// The envelope curve, its editor (mouse rules, drawing, Cancel) and the
// three envelope effects on small sounds whose results are known by hand.
#include "effects/envelope.h"

#include <gtest/gtest.h>

#include "document/params.h"
#include "effects/effect_test_util.h"
#include "effects/equalizers.h"
#include "effects/texts.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/param_dialog.h"
#include "platform/pixel_canvas.h"

namespace kelvora {
namespace {

using Points = std::vector<CurvePoint>;

Points Read(const Envelope& e) {
  Points p;
  for (int i = 0; i < EnvelopePoints(e); ++i) p.push_back({e[2 * i], e[2 * i + 1]});
  return p;
}

// 39 points: the ends and 37 at x = 6, 12, ... 222, all at y 100.
Points Full() {
  Points p{{0, 100}};
  for (int i = 1; i <= 37; ++i) p.push_back({6 * i, 100});
  p.push_back({256, 100});
  return p;
}

TEST(EnvelopeValue, SegmentsTruncateTowardZeroAndTheLastReaches255) {
  const struct {
    Points curve;
    int32_t pos, value;
  } rows[] = {
      {{{0, 0}, {256, 256}}, 255, 255},
      {{{0, 128}, {200, 0}, {256, 256}}, 255, 251},  // 256 * 55 / 56
      {{{0, 256}, {256, 0}}, 1, 255},
      {{{0, 10}, {7, 0}, {256, 0}}, 3, 6},  // 10 - 30 / 7, not floor's 5
      {{{0, 10}, {7, 0}, {256, 90}}, 7, 0},
      {{{0, 10}, {7, 0}, {256, 90}}, 255, 89},
  };
  for (const auto& r : rows) {
    const Envelope e = Curve(r.curve);
    EXPECT_EQ(EnvelopeValue(e, r.pos), r.value);
    const std::array<int32_t, 256> all = EnvelopeValues(e);
    for (int32_t pos = 0; pos < 256; ++pos) ASSERT_EQ(all[pos], EnvelopeValue(e, pos));
  }
}

// ----- Mouse rules -----------------------------------------------------------------

enum Op { kPress, kMove, kRelease };
struct Gesture {
  Op op;
  int32_t x = 0, y = 0;
};

struct Rule {
  const char* label;
  Points start;
  std::vector<Gesture> gestures;
  Points end;
  int dragged;  // after the gestures
};

const Points kThree = {{0, 128}, {100, 50}, {256, 128}};
const Points kFive = {{0, 128}, {50, 100}, {60, 100}, {70, 100}, {256, 128}};
const Points kFlat = {{0, 128}, {256, 128}};

Points WithFortieth() {
  Points p = Full();
  p[1].y = 160;
  return p;
}

// clang-format off
const Rule kRules[] = {
    {"OnAPointDrags", kThree, {{kPress, 103, 54}, {kMove, 120, 60}}, {{0, 128}, {120, 60}, {256, 128}}, 1},
    {"TheFirstPointWithin5Wins", {{0, 128}, {4, 128}, {256, 128}}, {{kPress, 3, 130}}, {{0, 128}, {4, 128}, {256, 128}}, 0},
    {"NearTheLineInsertsOnIt", kFlat, {{kPress, 100, 139}}, {{0, 128}, {100, 128}, {256, 128}}, 1},
    {"InsertedPointFollows", kFlat, {{kPress, 100, 117}, {kMove, 90, 200}, {kRelease}}, {{0, 128}, {90, 200}, {256, 128}}, -1},
    {"TwelveAwayDoesNothing", kFlat, {{kPress, 100, 140}, {kMove, 50, 50}}, kFlat, -1},
    {"EndPointsOnlyUpAndDown", kFlat, {{kPress, 2, 126}, {kMove, 40, 300}}, {{0, 256}, {256, 128}}, 0},
    {"EndPointsNeverDeleted", kFlat, {{kPress, 254, 130}, {kMove, 300, -9}, {kMove, -40, 400}}, {{0, 128}, {256, 256}}, 1},
    {"BetweenItsNeighbours", kFive, {{kPress, 60, 100}, {kMove, 10, 30}}, {{0, 128}, {50, 100}, {51, 30}, {70, 100}, {256, 128}}, 2},
    {"ToTheRightNeighbour", kFive, {{kPress, 60, 100}, {kMove, 200, 255}}, {{0, 128}, {50, 100}, {69, 255}, {70, 100}, {256, 128}}, 2},
    {"OutAtTheTopDeleted", kFive, {{kPress, 60, 100}, {kMove, 60, 256}, {kMove, 60, 100}}, {{0, 128}, {50, 100}, {70, 100}, {256, 128}}, -1},
    {"OutAtTheRightDeleted", kThree, {{kPress, 100, 50}, {kMove, 256, 50}}, kFlat, -1},
    {"OutBelowDeleted", kThree, {{kPress, 100, 50}, {kMove, 100, -1}}, kFlat, -1},
    // With 39 points a click off the points adds nothing; the points still drag.
    {"NoFortiethPoint", Full(), {{kPress, 9, 108}, {kMove, 9, 10}}, Full(), -1},
    {"FullCurveStillDrags", Full(), {{kPress, 7, 104}, {kMove, 6, 160}}, WithFortieth(), 1},
};
// clang-format on

class EnvelopeRules : public testing::TestWithParam<Rule> {};

TEST_P(EnvelopeRules, CurveAndDraggedPoint) {
  const Rule& r = GetParam();
  Envelope e = Curve(r.start);
  EnvelopeEditorState s{&e};
  for (const Gesture& g : r.gestures) {
    if (g.op == kPress) PressEnvelope(s, g.x, g.y);
    if (g.op == kMove) MoveEnvelope(s, g.x, g.y);
    if (g.op == kRelease) ReleaseEnvelope(s);
  }
  EXPECT_EQ(Read(e), r.end);
  EXPECT_EQ(s.dragged, r.dragged);
}

INSTANTIATE_TEST_SUITE_P(Cases, EnvelopeRules, testing::ValuesIn(kRules),
                         [](const auto& info) { return info.param.label; });

// ----- The dialog and its picture ------------------------------------------------------

// A stereo sound behind the editor, selected from frame 3 to 997.
struct EditorFixture : testing::Test {
  EngineFixture f;
  std::vector<uint8_t> bytes = NoiseBytes(4 * 1000, 5);
  EditorFixture() {
    SetDocument(MakeFormat(22050, 16, 2), bytes);
    Select(3, 997);
  }
  // The frame as a fresh paint shows `e`.
  static PixelCanvas Fresh(Envelope& e, int32_t every, int w = 400, int h = 256) {
    PixelCanvas c(w, h);
    EnvelopeEditorState s{&e};
    s.dotEvery = every;
    PaintEnvelopeFrame(c, s);
    return c;
  }
};

// Every 42nd frame of channel 0 as a green dot, the blue axis and the
// inverted curve, as recorded when a frame-by-frame drawing agreed.
TEST_F(EditorFixture, WaveformDotsAxisAndCurve) {
  Envelope e = Curve({{0, 128}, {100, 200}, {256, 0}});
  const PixelCanvas c = Fresh(e, 42, 397, 255);
  uint32_t hash = 2166136261u;
  for (Rgb p : c.pixels()) hash = (hash ^ p) * 16777619u;
  EXPECT_EQ(hash, 0x54ccf39fu);
}

TEST_F(EditorFixture, TheCurveDrawnTwiceLeavesThePictureUnchanged) {
  Envelope e = Curve({{0, 256}, {1, 0}, {128, 140}, {255, 3}, {256, 0}});
  PixelCanvas c = Fresh(e, 1);
  const std::vector<Rgb> shown = c.pixels();
  InvertEnvelopeCurve(c, e);
  EXPECT_NE(c.pixels(), shown);
  InvertEnvelopeCurve(c, e);
  EXPECT_EQ(c.pixels(), shown);
}

// Gestures with the mouse, then Cancel: the document is untouched, the curve
// keeps the edit, and the picture is the one a fresh paint of it gives.
TEST_F(EditorFixture, CancelKeepsTheEditedCurve) {
  std::vector<Rgb> shown;
  f.platform.dialogs.QueueActions(
      [&](HeadlessDialogWindow& w) {
        w.MouseDown(110, 156, 120);  // on the line: x 99, y 136
        w.MouseMove(110, 150, 40);   // x 96, y 216
        w.MouseUp(110, 150, 40);
        w.MouseDown(110, 398, 128);  // the last point
        w.MouseMove(110, 500, 300);  // below the frame: y 0
        w.MouseUp(110, 500, 300);
        shown = w.Canvas(110)->pixels();
      },
      2);
  ASSERT_TRUE(RunCommand(kCmdVolumeEnvelope));
  EXPECT_EQ(f.platform.dialogs.shown, std::vector<int>{118});
  EXPECT_EQ(Read(Params<VolumeEnvelopeParams>().curve), (Points{{0, 128}, {96, 216}, {256, 0}}));
  EXPECT_EQ(shown, Fresh(Params<VolumeEnvelopeParams>().curve, 16).pixels());
  EXPECT_EQ(DocumentBytes(), bytes);
  // The next opening starts from it; the other curves are their own.
  f.platform.dialogs.QueueActions([&](HeadlessDialogWindow& w) { shown = w.Canvas(110)->pixels(); },
                                  2);
  ASSERT_TRUE(RunCommand(kCmdVolumeEnvelope));
  EXPECT_EQ(shown, Fresh(Params<VolumeEnvelopeParams>().curve, 16).pixels());
  EXPECT_EQ(Params<PanEnvelopeParams>().curve, FlatEnvelope());
}

// Tips: a point's time into the selection and level as applied; the equalizer's gain.
TEST_F(EditorFixture, TipsShowTheValueOfThePointAndTheSlider) {
  std::vector<std::string> tips;
  f.platform.dialogs.QueueActions(
      [&](HeadlessDialogWindow& w) {
        const int width = w.Canvas(110)->width(), height = w.Canvas(110)->height();
        tips.push_back(w.Tip(110, 1, height / 2));  // the first point
        tips.push_back(w.Tip(110, width / 2, 10));  // no point there
        w.MouseDown(110, width - 1, height / 2);
        w.MouseMove(110, width / 2, height / 4);  // the last point, up to 192
        tips.push_back(w.Tip(110, width / 2, height / 4));
        w.MouseUp(110, width / 2, height / 4);
      },
      2);
  ASSERT_TRUE(RunCommand(kCmdPanEnvelope));
  EXPECT_EQ(tips, (std::vector<std::string>{"0.000秒 L 100% R 100%", "", "0.045秒 L 150% R 50%"}));
  EXPECT_EQ(EqGainTipText(0) + EqGainTipText(50) + EqGainTipText(51), "+18.1 dB+0.0 dB-0.4 dB");
}

// ----- The effects -------------------------------------------------------------------

const SoundFormat kMono = MakeFormat(22050, 16, 1);
const SoundFormat kStereo = MakeFormat(22050, 16, 2);
using V = std::vector<int32_t>;
const V kExtremes = {1000, -7, 32767, -32768};

// Every curve flat at y.
template <int32_t y>
void Flat() {
  Params<VolumeEnvelopeParams>().curve = Params<PanEnvelopeParams>().curve =
      Params<PitchEnvelopeParams>().curve = FlatEnvelope(y);
}

// clang-format off
const Known kKnown[] = {
    {"VolumeNeutral", kCmdVolumeEnvelope, kStereo, kExtremes, kExtremes, Flat<128>},
    {"VolumeDoubles", kCmdVolumeEnvelope, kMono, {1000, -20000, -3}, {2000, -32768, -6}, Flat<256>},
    {"VolumeSilences", kCmdVolumeEnvelope, kStereo, {1000, -7, 5, 9}, {0, 0, 0, 0}, Flat<0>},
    {"PanCentre", kCmdPanEnvelope, kStereo, kExtremes, kExtremes, Flat<128>},
    {"PanLeft", kCmdPanEnvelope, kStereo, {1000, -7, 30000, 9}, {2000, 0, 32767, 0}, Flat<256>},
    {"PitchNeutral", kCmdPitchEnvelope, kStereo, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, Flat<128>},
    {"PitchUp", kCmdPitchEnvelope, kMono, {10, 20, 30, 40, 50}, {10, 30, 50}, Flat<256>},
    // Half-frame steps, the last one toward the 0 past the end.
    {"PitchDown", kCmdPitchEnvelope, kMono, {10, 20, -31}, {10, 15, 20, -5, -31, -16}, Flat<0>},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Envelope, KnownResult, testing::ValuesIn(kKnown), KnownLabel);

TEST(PanEnvelope, MonoIsRefusedBeforeAnythingElse) {
  EngineFixture f;
  SetSamples(kMono, {1, 2, 3});
  ASSERT_TRUE(RunCommand(kCmdPanEnvelope));
  EXPECT_EQ(ShownMessages(f.ui()),
            (Shown{{texts::kNamePanEnvelope, texts::kStereoOnly, MsgIcon::kInformation}}));
  EXPECT_TRUE(f.platform.dialogs.shown.empty());
  EXPECT_EQ(Doc().selEnd, 0);  // not even selected
  EXPECT_FALSE(Doc().modified);
}

}  // namespace
}  // namespace kelvora
