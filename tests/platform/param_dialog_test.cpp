#include "platform/param_dialog.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace kelvora {
namespace {

using Window = HeadlessDialogWindow;
using Table = std::vector<ParamEntry>;

// A slider/edit pair as the operations build them.
void Pair(Table& t, int slider, int32_t* v, int32_t min, int32_t max, int32_t scale = 0) {
  t.push_back({slider, kParamSlider, v, nullptr, nullptr, min, max, slider + 1, scale});
  t.push_back({slider + 1, kParamNumber, v, nullptr, nullptr, min, max, slider, scale});
}

struct ParamDialogTest : ::testing::Test {
  EngineFixture f;
  HeadlessDialogHost& host() { return f.platform.dialogs; }
  // Runs dialog `dialog` over `table` (the end row is added here): the
  // actions, then `button`.
  int Run(int dialog, Table table, HeadlessDialogHost::Actions actions, int button = 1) {
    table.push_back(ParamEntry{});
    host().QueueActions(std::move(actions), button);
    return RunParamDialog(dialog, table.data());
  }
  // A dialog with a handler of its own: slider 101 and edit box 102 kept
  // in step by the slider helpers.
  void RunHelpers(int32_t* value, int min, int max, HeadlessDialogHost::Actions actions) {
    struct Helpers : DialogHandler {
      int32_t* value;
      int min, max;
      void Opened(DialogWindow& dlg) override {
        dlg.SetSliderRange(101, min, max);
        SetSliderValue(*value, value, 101, dlg, 102);
      }
      void Scrolled(DialogWindow& dlg, int id, int request, int position) override {
        if (id == 101) HandleSliderScroll(dlg, 102, request, position, 101, value);
      }
      void Edited(DialogWindow& dlg, int id) override {
        if (id == 102) HandleSliderEdit(value, dlg, 102);
      }
      void Clicked(DialogWindow& dlg, int id) override {
        if (id <= 2) dlg.EndDialog(id);
      }
      int Accept(const std::vector<DialogField>&) override { return 1; }
    } helpers;
    helpers.value = value;
    helpers.min = min;
    helpers.max = max;
    host().QueueActions(std::move(actions));
    Services().dialogs->RunDialog(112, helpers);
  }
};

TEST_F(ParamDialogTest, NumberBoxesClampTheVariableAndTheSliderButKeepTheirText) {
  int32_t volume = 500, pan = -3;
  Table t;
  Pair(t, 200, &volume, 0, 200);
  Pair(t, 202, &pan, 0, 100);
  int result = Run(119, t, [&](Window& w) {
    // Clamped on opening.
    EXPECT_EQ(std::make_tuple(volume, pan, w.GetSliderPos(200), w.GetItemText(201)),
              std::make_tuple(200, 0, 200, std::string("500")));
    w.Type(203, "150");
    EXPECT_EQ(std::make_tuple(pan, w.GetSliderPos(202), w.GetItemText(203)),
              std::make_tuple(100, 100, std::string("150")));
    w.Click(204);  // a check box without a row does not toggle
    EXPECT_EQ(w.GetCheck(204), kUnchecked);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(volume, 200);
  EXPECT_EQ(pan, 100);
}

// Thumb positions are signed 16-bit.
TEST_F(ParamDialogTest, DraggedValuesAreStoredAtOnceAndSurviveCancel) {
  int32_t cents = 0;
  Table t;
  Pair(t, 200, &cents, -1200, 1200);
  int result = Run(
      131, t,
      [&](Window& w) {
        w.Scroll(200, kScrollThumbTrack, -500);
        EXPECT_EQ(w.GetItemText(201), "-500");
        EXPECT_EQ(cents, -500);
        w.Scroll(200, kScrollThumbPosition, 150);
        w.Scroll(200, kScrollEnd);
      },
      2);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(cents, 150);
}

// "9.9" read back in single precision times 10 is 98: the box's own display
// must not be read that way, or opening and OK, or a slider resting on 99,
// would store 98. Typed text is still read as typed.
TEST_F(ParamDialogTest, ScaledBoxesShowOneDecimalAndKeepTheValuesTheyShow) {
  int32_t rate = 100;
  Table t;
  Pair(t, 202, &rate, 1, 200, 10);
  Run(132, t, [&](Window& w) {
    EXPECT_EQ(w.GetItemText(203), "10.0");
    w.Scroll(202, kScrollLineUp);
    EXPECT_EQ(w.GetItemText(203), "9.9");
  });
  EXPECT_EQ(rate, 99);
  Run(132, t, nullptr);
  EXPECT_EQ(rate, 99);
  Run(132, t, [&](Window& w) {
    w.Type(203, "5");
    w.Scroll(202, kScrollThumbTrack, 23);
  });
  EXPECT_EQ(rate, 23);
  Run(132, t, [&](Window& w) { w.Type(203, "9.9"); });
  EXPECT_EQ(rate, 98);
}

// What a number box stores while typing and after OK.
struct TypedCase {
  int32_t scale;
  const char* text;
  int32_t whileTyping;  // the variable starts at 7
  int32_t afterOk;
};

class TypedNumber : public ParamDialogTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedNumber, StoresWhatTheBoxReads) {
  const TypedCase& c = GetParam();
  int32_t value = 7;
  Table t;
  Pair(t, 200, &value, -100, 1000, c.scale);
  Run(119, t, [&](Window& w) {
    w.Type(201, c.text);
    EXPECT_EQ(value, c.whileTyping);
  });
  EXPECT_EQ(value, c.afterOk);
}

// Integers: a number at the start of the text; anything else is ignored
// while typing and reads as 0 on OK. A number too long for 32 bits is beyond
// the range, not garbage. Scaled by 10: single precision, truncated after a
// double product; only the first 15 characters count.
const TypedCase kTypedCases[] = {{0, "  -42", -42, -42},   {0, "+42", 42, 42},
                                 {0, "42abc", 42, 42},     {0, "1.9", 1, 1},
                                 {0, "abc", 7, 0},         {0, "-", 7, 0},
                                 {0, "-500", -100, -100},  {10, "2.3", 22, 22},
                                 {10, "-2.3", -22, -22},   {10, ".5", 5, 5},
                                 {10, "3abc", 30, 30},     {10, "1e1", 100, 100},
                                 {10, "1e30", 1000, 1000}, {10, "-1e30", -100, -100},
                                 {10, "1e-30", 0, 0},      {10, "inf", 7, 0},
                                 {10, ".", 7, 0}};
const TypedCase kLongTypedCases[] = {{0, "99999999999999999999", 1000, 1000},
                                     {0, "-99999999999999999999", -100, -100},
                                     {10, "000000000000001.5", 10, 10}};
INSTANTIATE_TEST_SUITE_P(Short, TypedNumber, ::testing::ValuesIn(kTypedCases));
INSTANTIATE_TEST_SUITE_P(Long, TypedNumber, ::testing::ValuesIn(kLongTypedCases));

TEST_F(ParamDialogTest, ChecksAndRadiosAreStoredOnlyByOk) {
  int32_t follow = 1, mode = 1;
  Table t{{400, kParamCheck, &follow},
          {300, kParamRadio, &mode, nullptr, nullptr, 0},
          {301, kParamRadio, &mode, nullptr, nullptr, 1}};
  auto clicks = [](Window& w) {
    EXPECT_EQ(w.GetCheck(301), kChecked);
    for (int i = 0; i < 3; ++i) w.Click(400);
    w.Click(300);
  };
  Run(104, t, clicks, 2);
  EXPECT_EQ(follow, 1);
  EXPECT_EQ(mode, 1);
  Run(104, t, clicks);
  EXPECT_EQ(follow, 0);
  EXPECT_EQ(mode, 0);
  // A value no button stands for: none is checked and OK leaves it.
  mode = 5;
  Run(104, t, [](Window& w) { EXPECT_EQ(w.GetCheck(301), kUnchecked); });
  EXPECT_EQ(mode, 5);
  // The third state cannot be clicked away and is written back as off.
  follow = 1;
  Run(104, {{400, kParamCheck, &follow, nullptr, nullptr, 1}}, [](Window& w) {
    w.Click(400);
    w.Click(400);
    EXPECT_EQ(w.GetCheck(400), kIndeterminate);
  });
  EXPECT_EQ(follow, 0);
}

TEST_F(ParamDialogTest, OnOkTheEditBoxHasTheLastWord) {
  // A slider that does not show in the box, and a box that moves it.
  int32_t value = 10;
  Table t{{200, kParamSlider, &value, nullptr, nullptr, 0, 100},
          {201, kParamNumber, &value, nullptr, nullptr, 0, 100, 200}};
  Run(119, t, [&](Window& w) {
    w.Type(201, "30");
    EXPECT_EQ(w.GetSliderPos(200), 30);
    w.Scroll(200, kScrollPageDown);
    EXPECT_EQ(w.GetSliderPos(200), 36);
    EXPECT_EQ(value, 30);
  });
  EXPECT_EQ(value, 30);
  // Without the box row, OK stores the slider.
  Run(119, {t[0]}, [&](Window& w) { w.Scroll(200, kScrollPageDown); });
  EXPECT_EQ(value, 36);
}

int g_hookCalls = 0;
void CountingHook(DialogWindow& dlg, ParamEntry* table) {
  ++g_hookCalls;
  // Its own row carries a number for it, as the time-stretch hook's does.
  dlg.SetItemText(10000, std::to_string(table[0].min) + "/" + std::to_string(*table[2].value));
}

// Before each action, and after it, so that what it shows follows each
// value as it is stored.
int g_seenBefore = 0;
void SeeingHook(DialogWindow&, ParamEntry* table) {
  if (g_seenBefore == 0) g_seenBefore = *table[2].value;
}

TEST_F(ParamDialogTest, HookSeesEveryActionBeforeAndAfterUntilTheDialogEnds) {
  g_hookCalls = 0;
  int32_t speed = 100;
  Table t{{1, kParamHook, nullptr, nullptr, CountingHook, 4321}};
  Pair(t, 200, &speed, 20, 400);
  Run(130, t, [&](Window& w) {
    EXPECT_GT(g_hookCalls, 0);
    EXPECT_EQ(w.GetItemText(10000), "4321/100");
    w.Type(201, "50");
    EXPECT_EQ(w.GetItemText(10000), "4321/50");
    w.Scroll(200, kScrollLineDown);
    EXPECT_EQ(w.GetItemText(10000), "4321/51");
  });
  g_seenBefore = 0;
  t[0].hook = SeeingHook;
  Run(130, t, [&](Window& w) {
    g_seenBefore = 0;
    w.Scroll(200, kScrollLineDown);
  });
  EXPECT_EQ(g_seenBefore, 51);
  EXPECT_EQ(speed, 52);
  t[0].hook = CountingHook;
  int calls = g_hookCalls;
  t.erase(t.begin());
  Run(130, t, [&](Window& w) { w.Type(201, "60"); });
  EXPECT_EQ(g_hookCalls, calls);
}

TEST_F(ParamDialogTest, TextRowsCopyBackWithinTheirBuffer) {
  char writable[4] = "ab";
  char fixed[8] = "keep";
  Run(112, {{103, kParamText, nullptr, writable, nullptr, 4}}, [&](Window& w) {
    EXPECT_EQ(w.GetItemText(103), "ab");
    w.Type(103, "o4cdefg");
  });
  EXPECT_STREQ(writable, "o4c");
  Run(112, {{103, kParamText, nullptr, fixed}}, [&](Window& w) { w.Type(103, "changed"); });
  EXPECT_STREQ(fixed, "keep");
}

// Scroll requests: ParamDialog's page is max(1, range / 16), the helpers'
// |range| / 20 with no minimum; Home and End are line steps in ParamDialog
// and ignored by the helpers.
struct ScrollCase {
  int min, max, start, request;
  int paramDialog, helper;
};

class ScrollStep : public ParamDialogTest, public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(ScrollStep, MovesByItsStep) {
  const ScrollCase& c = GetParam();
  int32_t value = c.start;
  Table t;
  Pair(t, 200, &value, c.min, c.max);
  Run(119, t, [&](Window& w) { w.Scroll(200, c.request); });
  EXPECT_EQ(value, c.paramDialog);
  value = c.start;
  RunHelpers(&value, c.min, c.max, [&](Window& w) { w.Scroll(101, c.request); });
  EXPECT_EQ(value, c.helper);
}

const ScrollCase kScrollCases[] = {
    {0, 100, 50, kScrollPageDown, 56, 55},     {0, 100, 50, kScrollPageUp, 44, 45},
    {0, 10, 5, kScrollPageDown, 6, 5},         {0, 100, 50, kScrollLineDown, 51, 51},
    {0, 100, 50, kScrollTop, 49, 50},          {0, 100, 50, kScrollBottom, 51, 50},
    {0, 100, 100, kScrollPageDown, 100, 100},  {0, 100, 2, kScrollPageUp, 0, 0},
    {60, 240, 120, kScrollPageDown, 131, 129}, {0, 100, 50, kScrollEnd, 50, 50}};
INSTANTIATE_TEST_SUITE_P(Cases, ScrollStep, ::testing::ValuesIn(kScrollCases));

// Without rows a button 1..10 ends the dialog with its id (Cancel with 0);
// other ids do nothing, and the close box then cancels.
TEST_F(ParamDialogTest, WithoutRowsTheButtonsEndTheDialog) {
  for (int id = 1; id <= 12; ++id) {
    bool ended = false;
    int result = Run(
        121, {},
        [&](Window& w) {
          ParamDialogHandler(121, nullptr).Clicked(w, id);
          ended = w.ended();
        },
        0);
    EXPECT_EQ(ended, id <= 10) << id;
    EXPECT_EQ(result, id == 2 || id > 10 ? 0 : id) << id;
  }
}

TEST_F(ParamDialogTest, SliderHelpersKeepTheEditBoxAndTheSliderInStep) {
  int32_t tempo = 120;
  RunHelpers(&tempo, 60, 240, [&](Window& w) {
    EXPECT_EQ(w.GetItemText(102), "120");
    // Not a number (a sign included) reads as 0; too many digits saturate.
    for (auto [text, want] :
         {std::pair{"300", 240}, {"abc", 60}, {"-90", 60}, {"99999999999", 240}}) {
      w.Type(102, text);
      EXPECT_EQ(tempo, want) << text;
      EXPECT_EQ(w.GetSliderPos(101), want);
    }
    w.Scroll(101, kScrollThumbTrack, 100);
    EXPECT_EQ(tempo, 100);
    EXPECT_EQ(w.GetItemText(102), "100");
    w.Scroll(101, kScrollThumbPosition, 200);  // only tracking moves it
    EXPECT_EQ(tempo, 100);
  });
  EXPECT_EQ(tempo, 100);
  // A range given backwards still clamps to its lower end.
  tempo = 10;
  RunHelpers(&tempo, 240, 60, [&](Window& w) {
    EXPECT_EQ(tempo, 60);
    EXPECT_EQ(w.GetItemText(102), "60");
    w.Scroll(101, kScrollPageDown);
    EXPECT_EQ(tempo, 69);
  });
}

TEST(DialogNumbers, ScaledValuesShowOneDecimal) {
  EXPECT_EQ(FormatDialogValue(-1, 10), "-0.1");
  EXPECT_EQ(FormatDialogValue(1, 3), "0.3");
}

}  // namespace
}  // namespace kelvora
