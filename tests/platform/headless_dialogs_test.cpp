#include "platform/headless/headless_dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

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

// An envelope editor following the mouse rules of the program's editor, so
// the batch tool's curve gestures can be checked before that editor exists.
struct FakeEnvelopeEditor {
  int32_t env[80] = {0, 128, 256, 128, kCurveEnd, kCurveEnd};
  int dragged = -1;
  int width = 1, height = 1;

  void Mouse(int message, int x, int y) {
    std::vector<CurvePoint> p = ReadCurve(env);
    int n = static_cast<int>(p.size());
    if (message == kMsgLButtonDown) {
      for (int i = 0; i < n && dragged < 0; ++i)
        if (std::abs(p[i].x - x) <= 5 && std::abs(p[i].y - y) <= 5) dragged = i;
      for (int i = 0; dragged < 0 && i + 1 < n; ++i) {
        if (x <= p[i].x || x >= p[i + 1].x) continue;
        int h = p[i].y + (x - p[i].x) * (p[i + 1].y - p[i].y) / (p[i + 1].x - p[i].x);
        if (std::abs(h - y) < 12 && n < kCurveMaxPoints) {
          p.insert(p.begin() + i + 1, CurvePoint{x, h});
          dragged = i + 1;
        }
        break;
      }
    } else if (message == kMsgMouseMove && dragged >= 0) {
      if (dragged == 0 || dragged == n - 1) {
        p[dragged].y = std::clamp(y, 0, 256);
      } else if (x < 0 || x >= 256 || y < 0 || y >= 256) {
        p.erase(p.begin() + dragged);  // dragged out: deleted
        dragged = -1;
      } else {
        p[dragged] = {std::clamp(x, p[dragged - 1].x + 1, p[dragged + 1].x - 1), y};
      }
    } else if (message == kMsgLButtonUp) {
      dragged = -1;
    }
    p.push_back({kCurveEnd, kCurveEnd});
    for (size_t i = 0; i < p.size(); ++i) {
      env[2 * i] = p[i].x;
      env[2 * i + 1] = p[i].y;
    }
  }
  static intptr_t Proc(DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam, void* p) {
    auto* e = static_cast<FakeEnvelopeEditor*>(p);
    if (message == kMsgInitDialog) {
      e->width = dlg.Canvas(110)->width();
      e->height = dlg.Canvas(110)->height();
      e->dragged = -1;
    } else if (message >= kMsgMouseMove && message <= kMsgLButtonUp) {
      e->Mouse(message, SignedLowWord(lparam) * 256 / e->width,
               256 - SignedHighWord(lparam) * 256 / e->height);
    } else if (message == kMsgCommand && wparam <= 2) {
      dlg.EndDialog(wparam == 1);
    }
    return 1;
  }
};

std::vector<CurvePoint> Points(const std::string& text) {
  std::vector<CurvePoint> points;
  std::string error;
  EXPECT_TRUE(ParseCurvePoints(text, &points, &error)) << text << ": " << error;
  return points;
}

// Draws `text` over whatever the editor holds; true when it got there.
bool Draw(HeadlessDialogHost& host, int dialog, FakeEnvelopeEditor& editor,
          const std::string& text) {
  host.QueueFields({{"points", text}});
  return Services().dialogs->RunCustomDialog(dialog, FakeEnvelopeEditor::Proc, &editor) == 1 &&
         ReadCurve(editor.env) == Points(text) && host.unapplied.empty();
}

// Points bunched at the ends, at the extremes of height, and as many as fit.
TEST(CurveGestures, DrawTheWantedCurveWhateverWasThere) {
  EngineFixture f;
  FakeEnvelopeEditor editor;
  for (const std::string& text :
       {std::string("0:128/1:128/2:128/3:128/4:128/5:128/256:128"),
        std::string("0:128/250:128/251:128/252:128/253:128/254:128/255:128/256:128"),
        std::string("0:256/1:255/255:0/256:0"), std::string("0:0/3:2/5:4/250:252/253:255/256:256"),
        Crowded(1, 37, 100, 1), Crowded(219, 37, 100, 1), Crowded(5, 37, 200, 6)})
    EXPECT_TRUE(Draw(f.platform.dialogs, 127, editor, text)) << text;
}

// Random curves, points bunched together so that clicks could grab the
// wrong one.
TEST(CurveGestures, ReachRandomCurves) {
  EngineFixture f;
  FakeEnvelopeEditor editor;
  std::srand(12345);
  for (int round = 0; round < 300; ++round) {
    int n = 2 + std::rand() % 38;
    int base = std::rand() % 256;
    auto y = [&](bool inner) {
      return std::clamp(base + std::rand() % 15 - 7, 0, inner ? 255 : 256);
    };
    std::string text = Pt(0, y(false));
    for (int i = 1, x = 0; i < n - 1; ++i) {
      x += 1 + std::rand() % (round % 2 ? 3 : 12);
      if (x > 255 - (n - 2 - i)) break;
      text += '/';
      text += Pt(x, y(true));
    }
    text += '/';
    text += Pt(256, y(false));
    ASSERT_TRUE(Draw(f.platform.dialogs, 125, editor, text)) << text;
  }
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
