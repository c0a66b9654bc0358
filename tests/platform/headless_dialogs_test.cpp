#include "platform/headless/headless_dialogs.h"

#include <gtest/gtest.h>

#include "platform/param_dialog.h"
#include "test_support.h"

namespace kelvora {
namespace {

// "x:y" (appending piece by piece keeps GCC's -Wrestrict quiet).
std::string Pt(int x, int y) {
  std::string s = std::to_string(x);
  s += ':';
  s += std::to_string(y);
  return s;
}

// A curve at height y with `count` inner points from x = from, step apart.
std::string Crowded(int from, int count, int y, int step) {
  std::string s = Pt(0, y);
  for (int i = 0; i < count; ++i) {
    s += '/';
    s += Pt(from + i * step, y);
  }
  s += '/';
  s += Pt(256, y);
  return s;
}

// A procedure whose only business is OK and Cancel.
intptr_t ButtonsOnly(DialogWindow& dlg, int message, intptr_t wparam, intptr_t, void*) {
  if (message == kMsgCommand && wparam <= 2) dlg.EndDialog(static_cast<int>(wparam));
  return 1;
}

// Syntax only: the accepted values of every batch verb are checked with the
// dialog descriptions.
TEST(CheckFields, AcceptWhatAUserCouldEnter) {
  const struct {
    int dialog;
    const char* name;
    std::vector<const char*> good, bad;
  } cases[] = {
      {108, "delay", {"-5"}, {"2.5", "", "+5"}},
      {132, "rate", {".5", "7"}, {"1.2.3", "1e3", "5."}},
      {119, "limiter", {"off"}, {"yes"}},
      {107, "mode", {"fuzz"}, {"1"}},
      {111, "rate", {"11025"}, {"48000"}},
      {109, "bands", {"0/10/20/30/40/50/60/70/100"}, {"50/50/50", "50/50/50/50/x/50/50/50/50"}},
      {109, "preset", {"6"}, {"7"}},
      {118,
       "points",
       {"0:0/1:255/255:0/256:256"},
       {"0:128/128:256/256:128", "1:128/256:128", "0:128/100:5/100:6/256:128", "0:128", "0:128/",
        "0:-1/256:128"}},
      {108, "dely", {}, {"250"}},
      {126, "use4", {}, {"on"}},
      {105, "anything", {}, {"1"}},
      {999, "x", {}, {"1"}},
  };
  for (const auto& c : cases) {
    std::string error;
    for (const char* value : c.good)
      EXPECT_TRUE(CheckDialogFields(c.dialog, {{c.name, value}}, &error)) << value << ": " << error;
    for (const char* value : c.bad) {
      EXPECT_FALSE(CheckDialogFields(c.dialog, {{c.name, value}}, &error)) << c.name << value;
      EXPECT_NE(error.find(c.name), std::string::npos) << error;
    }
  }
}

TEST(CheckCurveFields, AtMost39Points) {
  std::string error;
  EXPECT_TRUE(CheckDialogFields(125, {{"points", Crowded(6, 37, 100, 6)}}, &error)) << error;
  EXPECT_FALSE(CheckDialogFields(125, {{"points", Crowded(6, 38, 100, 6)}}, &error));
}

// Fields go in through the controls, as typed and clicked.
struct FieldsThroughParamDialog : ::testing::Test {
  EngineFixture f;
  HeadlessDialogHost& host() { return f.platform.dialogs; }
};

TEST_F(FieldsThroughParamDialog, NumbersChecksAndRadiosReachTheVariables) {
  int32_t depth = 50, mode = 1, stereo = 0, rate = 100, autopan = 1;
  ParamEntry distortion[] = {{201, kParamNumber, &depth, nullptr, nullptr, 0, 100},
                             {202, kParamRadio, &mode, nullptr, nullptr, 0},
                             {203, kParamRadio, &mode, nullptr, nullptr, 1},
                             {}};
  host().QueueFields({{"depth", "150"}, {"mode", "fuzz"}});
  EXPECT_EQ(RunParamDialog(107, distortion), 1);
  EXPECT_EQ(depth, 100);
  EXPECT_EQ(mode, 0);
  ParamEntry flanger[] = {{208, kParamCheck, &stereo}, {}};
  host().QueueFields({{"stereo", "on"}});
  RunParamDialog(110, flanger);
  EXPECT_EQ(stereo, 1);
  ParamEntry vibrato[] = {{203, kParamNumber, &rate, nullptr, nullptr, 1, 200, 0, 10}, {}};
  host().QueueFields({{"rate", "2.3"}});
  RunParamDialog(132, vibrato);
  EXPECT_EQ(rate, 22);
  EXPECT_TRUE(host().unapplied.empty());
  // A grey check box does not take a value.
  ParamEntry tremolo[] = {{204, kParamCheck, &autopan, nullptr, nullptr, 1}, {}};
  host().QueueFields({{"autopan", "on"}});
  EXPECT_EQ(RunParamDialog(117, tremolo), 1);
  EXPECT_EQ(autopan, 0);
  EXPECT_EQ(host().unapplied, std::vector<std::string>{"autopan"});
}

TEST_F(FieldsThroughParamDialog, NothingQueuedPressesTheDefaultButton) {
  int32_t time = 9000;
  ParamEntry silence[] = {{201, kParamNumber, &time, nullptr, nullptr, 0, 5000}, {}};
  EXPECT_EQ(RunParamDialog(115, silence), 1);
  EXPECT_EQ(time, 5000);
  EXPECT_EQ(RunParamDialog(105, nullptr), 1);
  host().defaultButton = 2;
  EXPECT_EQ(RunParamDialog(115, silence), 0);
  EXPECT_EQ(host().shown, (std::vector<int>{115, 105, 115}));
  // A dialog the program does not have does not open.
  EXPECT_EQ(RunParamDialog(4242, silence), 0);
  // A procedure deaf to every button still ends.
  EXPECT_EQ(Services().dialogs->RunCustomDialog(
                119, [](DialogWindow&, int, intptr_t, intptr_t, void*) -> intptr_t { return 0; },
                nullptr),
            0);
}

// A dialog of its own: nine band sliders and preset buttons.
struct Equalizer {
  int32_t bands[9] = {50, 50, 50, 50, 50, 50, 50, 50, 50};
  int lastButton = 0;
  static intptr_t Proc(DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam, void* p) {
    auto* eq = static_cast<Equalizer*>(p);
    if (message == kMsgInitDialog) {
      for (int i = 0; i < 9; ++i) {
        dlg.SetSliderRange(200 + i, 0, 100);
        dlg.SetSliderPos(200 + i, eq->bands[i]);
      }
    } else if (message == kMsgVScroll) {
      HandleSliderScroll(dlg, 0, wparam, static_cast<int>(lparam), &eq->bands[lparam - 200]);
    } else if (message == kMsgCommand && HighWord(wparam) == kNotifyClicked) {
      eq->lastButton = LowWord(wparam);
      if (wparam == 1 || wparam == 2) dlg.EndDialog(wparam == 1);
    }
    return 1;
  }
};

TEST_F(FieldsThroughParamDialog, BandsDragTheSlidersAndPresetsPressTheirButton) {
  Equalizer eq;
  host().QueueFields({{"bands", "0/10/20/30/40/60/70/80/120"}});
  EXPECT_EQ(Services().dialogs->RunCustomDialog(109, Equalizer::Proc, &eq), 1);
  const int32_t expected[9] = {0, 10, 20, 30, 40, 60, 70, 80, 100};
  EXPECT_TRUE(std::equal(eq.bands, eq.bands + 9, expected));
  host().QueueActions([&](HeadlessDialogWindow& w) {
    ASSERT_TRUE(ApplyDialogField(w, {"preset", "4"}, nullptr));
    EXPECT_EQ(eq.lastButton, 304);
  });
  Services().dialogs->RunCustomDialog(109, Equalizer::Proc, &eq);
}

TEST_F(FieldsThroughParamDialog, TextBoxesTakeTextAtTheCaret) {
  host().QueueActions([](HeadlessDialogWindow& w) {
    w.Type(103, "o4cd");
    w.ReplaceEditSelection(103, "e8");
    EXPECT_EQ(w.GetItemText(103), "o4cde8");
    w.SelectText(103, 4, 2);
    w.ReplaceEditSelection(103, "r");
    EXPECT_EQ(w.GetItemText(103), "o4re8");
    w.SelectText(103, 0, 0);
    w.ReplaceEditSelection(103, "o5");
    EXPECT_EQ(w.GetItemText(103), "o5o4re8");
  });
  Services().dialogs->RunCustomDialog(112, ButtonsOnly, nullptr);
}

TEST(CurveGestures, WithoutAnEditorTheFieldIsNotApplied) {
  EngineFixture f;
  int32_t env[80] = {0, 128, 256, 128, kCurveEnd, kCurveEnd};
  f.platform.dialogs.QueueFields({{"points", "0:10/256:10"}});
  Services().dialogs->RunCustomDialog(118, ButtonsOnly, env);
  EXPECT_EQ(f.platform.dialogs.unapplied, std::vector<std::string>{"points"});
}

TEST(PixelCanvas, InvertingALineTwiceRestoresThePicture) {
  PixelCanvas c(40, 30);
  c.FillRect(0, 0, 40, 30, kBlack);
  c.Line(0, 15, 40, 15, kBlue);
  std::vector<Rgb> before = c.pixels();
  // A polyline drawn segment by segment touches each pixel once.
  c.InvertLine(2, 2, 20, 25);
  c.InvertLine(20, 25, 38, 1);
  c.InvertRect(17, 22, 24, 29);
  EXPECT_EQ(c.Pixel(2, 2), kWhite);
  EXPECT_EQ(c.Pixel(20, 25), kBlack);  // inside the square: inverted twice
  c.InvertRect(17, 22, 24, 29);
  c.InvertLine(20, 25, 38, 1);
  c.InvertLine(2, 2, 20, 25);
  EXPECT_EQ(c.pixels(), before);
  // Drawing outside is clipped, not a fault.
  c.FillRect(-10, -10, 100, 5, kGreen);
  c.Line(-50, -50, 100, 100, kWhite);
  c.InvertRect(35, 25, 80, 80);
  EXPECT_EQ(c.Pixel(39, 0), kGreen);
}

}  // namespace
}  // namespace kelvora
