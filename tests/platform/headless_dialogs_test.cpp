#include "platform/headless/headless_dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "effects/param_dialog.h"
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

struct FieldCheck {
  int dialog;
  const char* name;
  const char* value;
  bool ok;
};

class CheckFields : public ::testing::TestWithParam<FieldCheck> {};

TEST_P(CheckFields, AcceptsWhatAUserCouldEnter) {
  const FieldCheck& c = GetParam();
  std::string error;
  EXPECT_EQ(CheckDialogFields(c.dialog, {{c.name, c.value}}, &error), c.ok)
      << c.name << "=" << c.value << ": " << error;
  if (!c.ok) {
    EXPECT_NE(error.find(c.name), std::string::npos) << error;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckFields,
    ::testing::Values(
        FieldCheck{108, "delay", "250", true}, FieldCheck{108, "delay", "-5", true},
        FieldCheck{108, "delay", "2.5", false}, FieldCheck{108, "delay", "x", false},
        FieldCheck{108, "delay", "", false}, FieldCheck{108, "delay", "+5", false},
        FieldCheck{108, "dely", "250", false}, FieldCheck{132, "rate", "12.5", true},
        FieldCheck{132, "rate", ".5", true}, FieldCheck{132, "rate", "7", true},
        FieldCheck{132, "rate", "1.2.3", false}, FieldCheck{132, "rate", "1e3", false},
        FieldCheck{132, "rate", "5.", false}, FieldCheck{119, "limiter", "on", true},
        FieldCheck{119, "limiter", "off", true}, FieldCheck{119, "limiter", "yes", false},
        FieldCheck{107, "mode", "fuzz", true}, FieldCheck{107, "mode", "overdrive", true},
        FieldCheck{107, "mode", "1", false}, FieldCheck{111, "rate", "11025", true},
        FieldCheck{111, "rate", "48000", false}, FieldCheck{122, "channels", "2", true},
        FieldCheck{116, "wave", "sawtooth", true}, FieldCheck{116, "wave", "triangle", false},
        FieldCheck{109, "bands", "50/50/50/50/50/50/50/50/50", true},
        FieldCheck{109, "bands", "0/10/20/30/40/50/60/70/100", true},
        FieldCheck{109, "bands", "50/50/50", false},
        FieldCheck{109, "bands", "50/50/50/50/x/50/50/50/50", false},
        FieldCheck{109, "preset", "6", true}, FieldCheck{109, "preset", "7", false},
        FieldCheck{118, "points", "0:128/256:128", true},
        FieldCheck{118, "points", "0:0/1:255/255:0/256:256", true},
        FieldCheck{118, "points", "0:128/128:256/256:128", false},
        FieldCheck{118, "points", "1:128/256:128", false},
        FieldCheck{118, "points", "0:128/100:5/100:6/256:128", false},
        FieldCheck{118, "points", "0:128", false}, FieldCheck{118, "points", "0:128/", false},
        FieldCheck{118, "points", "0:-1/256:128", false},
        FieldCheck{112, "melody", "o4c4d4e4f8.g16", true}, FieldCheck{112, "tempo", "90", true},
        FieldCheck{126, "freq3", "5000", true}, FieldCheck{126, "use4", "on", false},
        FieldCheck{105, "anything", "1", false}, FieldCheck{999, "x", "1", false}));

TEST(CheckFields, TooManyCurvePointsAreRefused) {
  std::string points = "0:128";
  for (int x = 1; x <= 37; ++x) {
    points += '/';
    points += Pt(x * 6, 100);
  }
  std::string error;
  EXPECT_TRUE(CheckDialogFields(125, {{"points", points + "/256:128"}}, &error)) << error;
  EXPECT_FALSE(CheckDialogFields(125, {{"points", points + "/250:1/256:128"}}, &error));
}

// Fields go in through the controls, as typed and clicked.
struct FieldsThroughParamDialog : ::testing::Test {
  EngineFixture f;
  HeadlessDialogHost& host() { return f.platform.dialogs; }
};

TEST_F(FieldsThroughParamDialog, NumbersChecksAndRadiosReachTheVariables) {
  int32_t depth = 50, mode = 1, stereo = 0, rate = 100;
  ParamEntry distortion[] = {{200, kParamSlider, &depth, nullptr, nullptr, 0, 100, 201, 0},
                             {201, kParamNumber, &depth, nullptr, nullptr, 0, 100, 200, 0},
                             {202, kParamRadio, &mode, nullptr, nullptr, 0, 0, 0, 0},
                             {203, kParamRadio, &mode, nullptr, nullptr, 1, 0, 0, 0},
                             {}};
  host().QueueFields({{"depth", "150"}, {"mode", "fuzz"}});
  EXPECT_EQ(RunParamDialog(107, distortion), 1);
  EXPECT_EQ(depth, 100);
  EXPECT_EQ(mode, 0);

  ParamEntry flanger[] = {{208, kParamCheck, &stereo, nullptr, nullptr, 0, 0, 0, 0},
                          {202, kParamSlider, &rate, nullptr, nullptr, 1, 200, 203, 10},
                          {203, kParamNumber, &rate, nullptr, nullptr, 1, 200, 202, 10},
                          {}};
  ParamEntry vibrato[] = {flanger[1], flanger[2], {}};
  host().QueueFields({{"stereo", "on"}});
  RunParamDialog(110, flanger);
  EXPECT_EQ(stereo, 1);
  host().QueueFields({{"rate", "2.3"}});
  RunParamDialog(132, vibrato);
  EXPECT_EQ(rate, 22);
  EXPECT_TRUE(host().unapplied.empty());
}

TEST_F(FieldsThroughParamDialog, CancelKeepsTypedNumbersButNotChoices) {
  int32_t level = 20, autopan = 0;
  ParamEntry tremolo[] = {{200, kParamSlider, &level, nullptr, nullptr, 0, 100, 201, 0},
                          {201, kParamNumber, &level, nullptr, nullptr, 0, 100, 200, 0},
                          {204, kParamCheck, &autopan, nullptr, nullptr, 0, 0, 0, 0},
                          {}};
  host().QueueFields({{"level", "33"}, {"autopan", "on"}}, 2);
  EXPECT_EQ(RunParamDialog(117, tremolo), 0);
  EXPECT_EQ(level, 33);
  EXPECT_EQ(autopan, 0);
}

TEST_F(FieldsThroughParamDialog, AGreyCheckBoxDoesNotTakeAValue) {
  int32_t autopan = 1;
  ParamEntry tremolo[] = {{204, kParamCheck, &autopan, nullptr, nullptr, 1, 0, 0, 0}, {}};
  host().QueueFields({{"autopan", "on"}});
  EXPECT_EQ(RunParamDialog(117, tremolo), 1);
  EXPECT_EQ(autopan, 0);
  EXPECT_EQ(host().unapplied, std::vector<std::string>{"autopan"});
}

TEST_F(FieldsThroughParamDialog, NothingQueuedPressesTheDefaultButton) {
  int32_t time = 9000;
  ParamEntry silence[] = {{200, kParamSlider, &time, nullptr, nullptr, 0, 5000, 201, 0},
                          {201, kParamNumber, &time, nullptr, nullptr, 0, 5000, 200, 0},
                          {}};
  EXPECT_EQ(RunParamDialog(115, silence), 1);
  EXPECT_EQ(time, 5000);
  EXPECT_EQ(RunParamDialog(105, nullptr), 1);
  host().defaultButton = 2;
  EXPECT_EQ(RunParamDialog(115, silence), 0);
  EXPECT_EQ(host().shown, (std::vector<int>{115, 105, 115}));
  // A dialog the program does not have does not open.
  EXPECT_EQ(RunParamDialog(4242, silence), 0);
}

TEST_F(FieldsThroughParamDialog, AProcedureIgnoringEveryButtonStillEnds) {
  int result = Services().dialogs->RunCustomDialog(
      119, [](DialogWindow&, int, intptr_t, intptr_t, void*) -> intptr_t { return 0; }, nullptr);
  EXPECT_EQ(result, 0);
}

// A dialog of its own: nine band sliders, preset buttons, the melody box.
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
      int i = static_cast<int>(lparam) - 200;
      HandleSliderScroll(dlg, 0, wparam, static_cast<int>(lparam), &eq->bands[i]);
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
  for (int i = 0; i < 9; ++i) EXPECT_EQ(eq.bands[i], expected[i]) << i;
  host().QueueFields({{"preset", "4"}}, 2);
  EXPECT_EQ(Services().dialogs->RunCustomDialog(109, Equalizer::Proc, &eq), 0);
  EXPECT_EQ(eq.lastButton, 2);
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
    w.SelectText(103, 2, 4);
    w.ReplaceEditSelection(103, "r");
    EXPECT_EQ(w.GetItemText(103), "o4re8");
    w.SelectText(103, 0, 0);
    w.ReplaceEditSelection(103, "o5");
    EXPECT_EQ(w.GetItemText(103), "o5o4re8");
  });
  Services().dialogs->RunCustomDialog(
      112,
      [](DialogWindow& dlg, int message, intptr_t wparam, intptr_t, void*) -> intptr_t {
        if (message == kMsgCommand && wparam <= 2) dlg.EndDialog(static_cast<int>(wparam));
        return 1;
      },
      nullptr);
}

// An envelope editor following the mouse rules of the program's editor, so
// the batch tool's curve gestures can be checked before that editor exists.
struct FakeEnvelopeEditor {
  int32_t env[80] = {0, 128, 256, 128, kCurveEnd, kCurveEnd};
  int dragged = -1;
  int width = 0, height = 0;

  int Count() const {
    int n = 0;
    while (env[2 * n] != kCurveEnd) ++n;
    return n;
  }
  void Insert(int at, int x, int y) {
    for (int i = 2 * Count() + 1; i >= 2 * at; --i) env[i + 2] = env[i];
    env[2 * at] = x;
    env[2 * at + 1] = y;
  }
  void Remove(int at) {
    for (int i = 2 * at; i + 2 < 80; ++i) env[i] = env[i + 2];
  }
  void Down(int x, int y) {
    int n = Count();
    for (int i = 0; i < n; ++i)
      if (std::abs(env[2 * i] - x) <= 5 && std::abs(env[2 * i + 1] - y) <= 5) {
        dragged = i;
        return;
      }
    for (int i = 0; i + 1 < n; ++i) {
      int x0 = env[2 * i], y0 = env[2 * i + 1], x1 = env[2 * i + 2], y1 = env[2 * i + 3];
      if (x0 < x && x < x1) {
        int h = y0 + (x - x0) * (y1 - y0) / (x1 - x0);
        if (std::abs(h - y) < 12 && n < kCurveMaxPoints) {
          Insert(i + 1, x, h);
          dragged = i + 1;
        }
        return;
      }
    }
  }
  void Move(int x, int y) {
    if (dragged < 0) return;
    int n = Count();
    if (dragged == 0 || dragged == n - 1) {
      env[2 * dragged + 1] = std::clamp(y, 0, 256);
    } else if (x < 0 || x >= 256 || y < 0 || y >= 256) {
      Remove(dragged);
      dragged = -1;
    } else {
      env[2 * dragged + 1] = y;
      env[2 * dragged] = std::clamp(x, env[2 * dragged - 2] + 1, env[2 * dragged + 2] - 1);
    }
  }
  static intptr_t Proc(DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam, void* p) {
    auto* e = static_cast<FakeEnvelopeEditor*>(p);
    int x = 0, y = 0;
    if (message >= kMsgMouseMove && message <= kMsgLButtonUp) {
      x = SignedLowWord(lparam) * 256 / e->width;
      y = 256 - SignedHighWord(lparam) * 256 / e->height;
    }
    switch (message) {
      case kMsgInitDialog:
        e->width = dlg.Canvas(110)->width();
        e->height = dlg.Canvas(110)->height();
        e->dragged = -1;
        break;
      case kMsgLButtonDown:
        e->Down(x, y);
        break;
      case kMsgMouseMove:
        e->Move(x, y);
        break;
      case kMsgLButtonUp:
        e->dragged = -1;
        break;
      case kMsgCommand:
        if (wparam == 1 || wparam == 2) dlg.EndDialog(wparam == 1);
        break;
    }
    (void)wparam;
    return 1;
  }
};

std::vector<CurvePoint> Points(const std::string& text) {
  std::vector<CurvePoint> points;
  std::string error;
  EXPECT_TRUE(ParseCurvePoints(text, &points, &error)) << text << ": " << error;
  return points;
}

class CurveGestures : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(CurveGestures, DrawTheWantedCurveWhateverWasThere) {
  EngineFixture f;
  FakeEnvelopeEditor editor;
  f.platform.dialogs.QueueFields({{"points", GetParam().first}});
  ASSERT_EQ(Services().dialogs->RunCustomDialog(118, FakeEnvelopeEditor::Proc, &editor), 1);
  ASSERT_EQ(ReadCurve(editor.env), Points(GetParam().first));
  f.platform.dialogs.QueueFields({{"points", GetParam().second}});
  ASSERT_EQ(Services().dialogs->RunCustomDialog(127, FakeEnvelopeEditor::Proc, &editor), 1);
  EXPECT_EQ(ReadCurve(editor.env), Points(GetParam().second));
  EXPECT_TRUE(f.platform.dialogs.unapplied.empty());
}

// count inner points from x = from, step apart, all at height y.
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

INSTANTIATE_TEST_SUITE_P(
    Cases, CurveGestures,
    ::testing::Values(
        std::make_pair("0:128/256:128", "0:0/256:256"),
        std::make_pair("0:0/64:255/128:0/192:255/256:0", "0:128/256:128"),
        std::make_pair("0:128/1:128/2:128/3:128/4:128/5:128/256:128",
                       "0:128/250:128/251:128/252:128/253:128/254:128/255:128/256:128"),
        std::make_pair("0:256/1:255/255:0/256:0", "0:0/3:2/5:4/250:252/253:255/256:256"),
        std::make_pair(Crowded(1, 37, 100, 1), Crowded(219, 37, 100, 1)),
        std::make_pair(Crowded(5, 37, 200, 6), "0:100/128:100/256:100")));

// Random curves, points bunched together so that clicks could grab the
// wrong one.
TEST(CurveGesturesRandom, ReachEveryCurve) {
  EngineFixture f;
  FakeEnvelopeEditor editor;
  std::srand(12345);
  for (int round = 0; round < 300; ++round) {
    int n = 2 + std::rand() % 38;
    std::vector<int> xs;
    int x = 0;
    for (int i = 1; i < n - 1; ++i) {
      x += 1 + std::rand() % (round % 2 ? 3 : 12);
      if (x > 255 - (n - 2 - i)) break;
      xs.push_back(x);
    }
    int base = std::rand() % 256;
    auto y = [&](bool inner) {
      return std::clamp(base + std::rand() % 15 - 7, 0, inner ? 255 : 256);
    };
    std::string text = Pt(0, y(false));
    for (int xi : xs) {
      text += '/';
      text += Pt(xi, y(true));
    }
    text += '/';
    text += Pt(256, y(false));
    f.platform.dialogs.QueueFields({{"points", text}});
    Services().dialogs->RunCustomDialog(125, FakeEnvelopeEditor::Proc, &editor);
    ASSERT_EQ(ReadCurve(editor.env), Points(text)) << text;
  }
  EXPECT_TRUE(f.platform.dialogs.unapplied.empty());
}

TEST(CurveGesturesWithoutEditor, ReportTheFieldAsNotApplied) {
  EngineFixture f;
  int32_t env[80] = {0, 128, 256, 128, kCurveEnd, kCurveEnd};
  f.platform.dialogs.QueueFields({{"points", "0:10/256:10"}});
  Services().dialogs->RunCustomDialog(
      118,
      [](DialogWindow& dlg, int message, intptr_t wparam, intptr_t, void*) -> intptr_t {
        if (message == kMsgCommand && wparam <= 2) dlg.EndDialog(static_cast<int>(wparam));
        return 1;
      },
      env);
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
  EXPECT_NE(c.pixels(), before);
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
