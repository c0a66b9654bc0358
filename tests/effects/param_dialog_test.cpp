#include "effects/param_dialog.h"

#include <gtest/gtest.h>

#include <cstring>

#include "test_support.h"

namespace kelvora {
namespace {

// A slider/edit pair as the operations build them.
void Pair(std::vector<ParamEntry>& t, int slider, int32_t* v, int32_t min, int32_t max,
          int32_t scale = 0) {
  t.push_back({slider, kParamSlider, v, nullptr, nullptr, min, max, slider + 1, scale});
  t.push_back({slider + 1, kParamNumber, v, nullptr, nullptr, min, max, slider, scale});
}

struct ParamDialogTest : ::testing::Test {
  EngineFixture f;
  HeadlessDialogHost& host() { return f.platform.dialogs; }
  int Run(int dialog, std::vector<ParamEntry>& table, HeadlessDialogHost::Actions actions,
          int button = 1) {
    table.push_back(ParamEntry{});
    host().QueueActions(std::move(actions), button);
    return RunParamDialog(dialog, table.data());
  }
};

TEST_F(ParamDialogTest, TypingAboveMaxClampsTheValueButNotTheText) {
  int32_t volume = 100;
  std::vector<ParamEntry> t;
  Pair(t, 200, &volume, 0, 200);
  int result = Run(119, t, [&](HeadlessDialogWindow& w) {
    EXPECT_EQ(w.GetItemText(201), "100");
    w.Type(201, "500");
    EXPECT_EQ(volume, 200);
    EXPECT_EQ(w.GetSliderPos(200), 200);
    EXPECT_EQ(w.GetItemText(201), "500");
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(volume, 200);
  EXPECT_TRUE(host().lastUnknownIds.empty());
}

TEST_F(ParamDialogTest, DraggedValuesAreStoredAtOnceAndSurviveCancel) {
  int32_t volume = 100;
  std::vector<ParamEntry> t;
  Pair(t, 200, &volume, 0, 200);
  int result = Run(
      119, t,
      [&](HeadlessDialogWindow& w) {
        w.Scroll(200, kScrollThumbTrack, 77);
        EXPECT_EQ(w.GetItemText(201), "77");
        EXPECT_EQ(volume, 77);
        w.Scroll(200, kScrollThumbTrack, 150);
        w.Scroll(200, kScrollThumbPosition, 150);
        w.Scroll(200, kScrollEnd);
        EXPECT_EQ(volume, 150);
      },
      2);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(volume, 150);
}

TEST_F(ParamDialogTest, OpeningClampsNumberRowsAndMovesTheirSliders) {
  int32_t volume = 500, pan = -3;
  std::vector<ParamEntry> t;
  Pair(t, 200, &volume, 0, 200);
  Pair(t, 202, &pan, 0, 100);
  Run(
      119, t,
      [&](HeadlessDialogWindow& w) {
        EXPECT_EQ(volume, 200);
        EXPECT_EQ(pan, 0);
        EXPECT_EQ(w.GetSliderPos(200), 200);
        EXPECT_EQ(w.GetItemText(201), "500");  // as written; only the variable is clamped
      },
      2);
  EXPECT_EQ(volume, 200);
}

TEST_F(ParamDialogTest, ScaledPairShowsOneDecimal) {
  int32_t rate = 100, delay = 5;
  std::vector<ParamEntry> t;
  Pair(t, 202, &rate, 1, 200, 10);
  Pair(t, 204, &delay, 0, 100, 10);
  Run(132, t, [&](HeadlessDialogWindow& w) {
    EXPECT_EQ(w.GetItemText(203), "10.0");
    EXPECT_EQ(w.GetItemText(205), "0.5");
    w.Scroll(202, kScrollLineUp);
    EXPECT_EQ(w.GetItemText(203), "9.9");
    EXPECT_EQ(rate, 99);
  });
  EXPECT_EQ(rate, 99);
}

// "9.9" read in single precision times 10 is 98: the box's own display must
// not be read back that way, or opening and OK, or a slider resting on 99,
// would store 98. Typed text is still read as typed.
TEST_F(ParamDialogTest, ScaledBoxesKeepTheValuesTheyShow) {
  int32_t rate = 99;
  std::vector<ParamEntry> t;
  Pair(t, 202, &rate, 1, 200, 10);
  Run(132, t, [&](HeadlessDialogWindow& w) {
    EXPECT_EQ(w.GetItemText(203), "9.9");
    EXPECT_EQ(rate, 99);
  });
  EXPECT_EQ(rate, 99);
  t.pop_back();
  Run(132, t, [&](HeadlessDialogWindow& w) {
    w.Type(203, "5");
    w.Scroll(202, kScrollThumbTrack, 23);
    EXPECT_EQ(rate, 23);
    EXPECT_EQ(w.GetSliderPos(202), 23);
  });
  EXPECT_EQ(rate, 23);
  t.pop_back();
  Run(132, t, [&](HeadlessDialogWindow& w) {
    w.Type(203, "9.");
    w.Type(203, "9.9");
    EXPECT_EQ(rate, 98);
    EXPECT_EQ(w.GetSliderPos(202), 98);
  });
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
  std::vector<ParamEntry> t;
  Pair(t, 200, &value, -100, 1000, c.scale);
  Run(119, t, [&](HeadlessDialogWindow& w) {
    w.Type(201, c.text);
    EXPECT_EQ(value, c.whileTyping);
  });
  EXPECT_EQ(value, c.afterOk);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedNumber,
    ::testing::Values(
        // Integers: a number at the start of the text; anything else is
        // ignored while typing and reads as 0 on OK.
        TypedCase{0, "42", 42, 42}, TypedCase{0, "  -42", -42, -42}, TypedCase{0, "+42", 42, 42},
        TypedCase{0, "42abc", 42, 42}, TypedCase{0, "1.9", 1, 1}, TypedCase{0, "abc", 7, 0},
        TypedCase{0, "", 7, 0}, TypedCase{0, "-", 7, 0}, TypedCase{0, "-500", -100, -100},
        // A number too long for 32 bits is above max, not garbage.
        TypedCase{0, "99999999999999999999", 1000, 1000},
        TypedCase{0, "-99999999999999999999", -100, -100},
        // Scaled by 10: single precision, truncated after a double product.
        TypedCase{10, "12.5", 125, 125}, TypedCase{10, "2.3", 22, 22},
        TypedCase{10, "-2.3", -22, -22}, TypedCase{10, ".5", 5, 5}, TypedCase{10, "3abc", 30, 30},
        TypedCase{10, "1e1", 100, 100}, TypedCase{10, "1e30", 1000, 1000},
        TypedCase{10, "-1e30", -100, -100}, TypedCase{10, "1e-30", 0, 0},
        TypedCase{10, "inf", 7, 0},
        // Only the first 15 characters count.
        TypedCase{10, "000000000000001.5", 10, 10},
        // Not a number: left alone while typing, 0 on OK, as for integers.
        TypedCase{10, "abc", 7, 0}, TypedCase{10, "", 7, 0}, TypedCase{10, ".", 7, 0}));

TEST_F(ParamDialogTest, ThirdStateCannotBeClickedAndIsWrittenBackAsOff) {
  int32_t stereo = 1;
  std::vector<ParamEntry> t{{204, kParamCheck, &stereo, nullptr, nullptr, 1, 0, 0, 0}};
  Run(113, t, [&](HeadlessDialogWindow& w) {
    EXPECT_EQ(w.GetCheck(204), kIndeterminate);
    w.Click(204);
    w.Click(204);
    EXPECT_EQ(w.GetCheck(204), kIndeterminate);
  });
  EXPECT_EQ(stereo, 0);
}

TEST_F(ParamDialogTest, CheckBoxesToggleOnClickAndAreStoredOnlyByOk) {
  int32_t limiter = 1;
  std::vector<ParamEntry> t{{204, kParamCheck, &limiter, nullptr, nullptr, 0, 0, 0, 0}};
  Run(
      119, t,
      [&](HeadlessDialogWindow& w) {
        EXPECT_EQ(w.GetCheck(204), kChecked);
        w.Click(204);
        EXPECT_EQ(w.GetCheck(204), kUnchecked);
      },
      2);
  EXPECT_EQ(limiter, 1);
  t.pop_back();
  Run(119, t, [&](HeadlessDialogWindow& w) {
    w.Click(204);
    w.Click(204);
    w.Click(204);
  });
  EXPECT_EQ(limiter, 0);
}

TEST_F(ParamDialogTest, RadioRowsStoreTheirOwnValueOnOk) {
  int32_t mode = 1;
  std::vector<ParamEntry> t{{202, kParamRadio, &mode, nullptr, nullptr, 0, 0, 0, 0},
                            {203, kParamRadio, &mode, nullptr, nullptr, 1, 0, 0, 0}};
  Run(
      107, t,
      [&](HeadlessDialogWindow& w) {
        EXPECT_EQ(w.GetCheck(202), kUnchecked);
        EXPECT_EQ(w.GetCheck(203), kChecked);
        w.Click(202);
        EXPECT_EQ(w.GetCheck(203), kUnchecked);
      },
      2);
  EXPECT_EQ(mode, 1);
  t.pop_back();
  Run(107, t, [&](HeadlessDialogWindow& w) { w.Click(202); });
  EXPECT_EQ(mode, 0);
  // A value no button stands for: none is checked and OK leaves it.
  mode = 5;
  t.pop_back();
  Run(107, t, [&](HeadlessDialogWindow& w) {
    EXPECT_EQ(w.GetCheck(202), kUnchecked);
    EXPECT_EQ(w.GetCheck(203), kUnchecked);
  });
  EXPECT_EQ(mode, 5);
}

TEST_F(ParamDialogTest, OnOkTheEditBoxHasTheLastWord) {
  // A slider that does not show in the box, and a box that moves it.
  int32_t value = 10;
  std::vector<ParamEntry> t{{200, kParamSlider, &value, nullptr, nullptr, 0, 100, 0, 0},
                            {201, kParamNumber, &value, nullptr, nullptr, 0, 100, 200, 0}};
  Run(119, t, [&](HeadlessDialogWindow& w) {
    w.Type(201, "30");
    EXPECT_EQ(w.GetSliderPos(200), 30);
    w.Scroll(200, kScrollPageDown);
    EXPECT_EQ(w.GetSliderPos(200), 36);
    EXPECT_EQ(value, 30);
  });
  EXPECT_EQ(value, 30);
  // Without the box row, OK stores the slider.
  t.erase(t.begin() + 1, t.end());
  Run(119, t, [&](HeadlessDialogWindow& w) { w.Scroll(200, kScrollPageDown); });
  EXPECT_EQ(value, 36);
}

TEST_F(ParamDialogTest, ControlsOutsideTheTableAreIgnored) {
  int32_t volume = 100;
  std::vector<ParamEntry> t;
  Pair(t, 200, &volume, 0, 200);
  Run(119, t, [&](HeadlessDialogWindow& w) {
    w.Type(203, "5");
    w.Scroll(202, kScrollPageDown);
    w.Click(204);
    EXPECT_EQ(w.GetCheck(204), kUnchecked);
    EXPECT_EQ(w.GetItemText(203), "5");
    EXPECT_EQ(w.GetSliderPos(202), 0);
  });
  EXPECT_EQ(volume, 100);
}

int g_hookCalls = 0;
int g_hookFirstMessage = 0;
void CountingHook(DialogWindow& dlg, int message, intptr_t, intptr_t, ParamEntry* table) {
  if (g_hookCalls++ == 0) g_hookFirstMessage = message;
  // Its own row carries a number for it, as the time-stretch hook's does.
  dlg.SetItemText(10000, std::to_string(table[0].min) + "/" + std::to_string(*table[2].value));
}

TEST_F(ParamDialogTest, HookSeesEveryMessageFirstUntilTheDialogEnds) {
  g_hookCalls = 0;
  int32_t speed = 100;
  std::vector<ParamEntry> t{{1, kParamHook, nullptr, nullptr, CountingHook, 4321, 0, 0, 0}};
  Pair(t, 200, &speed, 20, 400);
  Run(130, t, [&](HeadlessDialogWindow& w) {
    EXPECT_EQ(g_hookFirstMessage, kMsgInitDialog);
    // The edit-change of the opening already passed through the hook.
    EXPECT_EQ(w.GetItemText(10000), "4321/100");
    // Typing: the hook runs before the value is stored.
    w.Type(201, "50");
    EXPECT_EQ(w.GetItemText(10000), "4321/100");
    EXPECT_EQ(speed, 50);
    w.Scroll(200, kScrollEnd);
    EXPECT_EQ(w.GetItemText(10000), "4321/50");
  });
  int calls = g_hookCalls;
  std::vector<ParamEntry> plain;
  Pair(plain, 200, &speed, 20, 400);
  Run(130, plain, [&](HeadlessDialogWindow& w) { w.Type(201, "60"); });
  EXPECT_EQ(g_hookCalls, calls);
}

TEST_F(ParamDialogTest, TextRowsCopyBackWithinTheirBuffer) {
  char writable[4] = "ab";
  char fixed[8] = "keep";
  std::vector<ParamEntry> t{{103, kParamText, nullptr, writable, nullptr, 4, 0, 0, 0}};
  Run(112, t, [&](HeadlessDialogWindow& w) {
    EXPECT_EQ(w.GetItemText(103), "ab");
    w.Type(103, "o4cdefg");
  });
  EXPECT_STREQ(writable, "o4c");
  std::vector<ParamEntry> ro{{103, kParamText, nullptr, fixed, nullptr, 0, 0, 0, 0}};
  Run(112, ro, [&](HeadlessDialogWindow& w) { w.Type(103, "changed"); });
  EXPECT_STREQ(fixed, "keep");
}

// Scroll requests: ParamDialog's page is max(1, range / 16), the helpers'
// |range| / 20 with no minimum; Home and End are line steps.
struct ScrollCase {
  int min, max, start, request;
  int paramDialog, helper;
};

class ScrollStep : public ParamDialogTest, public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(ScrollStep, MovesByTheDocumentedStep) {
  const ScrollCase& c = GetParam();
  int32_t value = c.start;
  std::vector<ParamEntry> t;
  Pair(t, 200, &value, c.min, c.max);
  Run(119, t, [&](HeadlessDialogWindow& w) { w.Scroll(200, c.request, 0); });
  EXPECT_EQ(value, c.paramDialog);

  // The same request through HandleSliderScroll in a dialog of its own.
  struct Context {
    const ScrollCase* c;
    int32_t value;
  } ctx{&c, c.start};
  host().QueueActions([&](HeadlessDialogWindow& w) { w.Scroll(101, c.request, 0); });
  Services().dialogs->RunCustomDialog(
      112,
      [](DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam, void* p) -> intptr_t {
        auto* ctx = static_cast<Context*>(p);
        if (message == kMsgInitDialog) {
          dlg.SetSliderRange(101, ctx->c->min, ctx->c->max);
          dlg.SetSliderPos(101, ctx->value);
        }
        if (message == kMsgHScroll && lparam == 101)
          HandleSliderScroll(dlg, 102, wparam, 101, &ctx->value);
        if (message == kMsgCommand && wparam <= 2) dlg.EndDialog(static_cast<int>(wparam));
        return 1;
      },
      &ctx);
  EXPECT_EQ(ctx.value, c.helper);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScrollStep,
                         ::testing::Values(ScrollCase{0, 100, 50, kScrollPageDown, 56, 55},
                                           ScrollCase{0, 100, 50, kScrollPageUp, 44, 45},
                                           ScrollCase{0, 10, 5, kScrollPageDown, 6, 5},
                                           ScrollCase{0, 10, 5, kScrollPageUp, 4, 5},
                                           ScrollCase{0, 100, 50, kScrollLineDown, 51, 51},
                                           ScrollCase{0, 100, 50, kScrollLineUp, 49, 49},
                                           ScrollCase{0, 100, 50, kScrollTop, 49, 50},
                                           ScrollCase{0, 100, 50, kScrollBottom, 51, 50},
                                           ScrollCase{0, 100, 100, kScrollPageDown, 100, 100},
                                           ScrollCase{0, 100, 2, kScrollPageUp, 0, 0},
                                           ScrollCase{60, 240, 120, kScrollPageDown, 131, 129},
                                           ScrollCase{0, 100, 50, kScrollEnd, 50, 50}));

TEST_F(ParamDialogTest, ThumbPositionsAreSigned16Bit) {
  int32_t cents = 0;
  std::vector<ParamEntry> t;
  Pair(t, 200, &cents, -1200, 1200);
  Run(131, t, [&](HeadlessDialogWindow& w) {
    w.Scroll(200, kScrollThumbTrack, -500);
    EXPECT_EQ(w.GetItemText(201), "-500");
  });
  EXPECT_EQ(cents, -500);
}

// An empty table: a button ends the dialog with its id (Cancel with 0); ids
// above 10 do nothing.
class EmptyTable : public ParamDialogTest, public ::testing::WithParamInterface<int> {};

TEST_P(EmptyTable, EndsWithTheButtonsId) {
  int id = GetParam();
  std::vector<ParamEntry> t;
  bool ended = true;
  int result = Run(
      105, t,
      [&](HeadlessDialogWindow& w) {
        w.Send(kMsgCommand, MakeCommand(id, kNotifyClicked), id);
        ended = w.ended();
        if (!ended) w.Click(1);
      },
      0);
  if (id <= 10) {
    EXPECT_TRUE(ended);
    EXPECT_EQ(result, id == 2 ? 0 : id);
  } else {
    EXPECT_FALSE(ended);
    EXPECT_EQ(result, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Ids, EmptyTable, ::testing::Range(1, 13));

TEST_F(ParamDialogTest, PresetRegistrationButtonsEndWithFiveToTen) {
  for (int button = 5; button <= 10; ++button) {
    std::vector<ParamEntry> t;
    EXPECT_EQ(Run(121, t, nullptr, button), button);
  }
  std::vector<ParamEntry> t;
  EXPECT_EQ(Run(121, t, nullptr, 2), 0);
  // The close box counts as Cancel.
  EXPECT_EQ(Run(121, t, nullptr, 0), 0);
}

// The helpers of the dialogs with procedures of their own.
struct SliderHelpers : ParamDialogTest {
  int32_t tempo = 120;
  void RunTempo(HeadlessDialogHost::Actions actions, int min = 60, int max = 240) {
    host().QueueActions(std::move(actions));
    struct Ctx {
      int32_t* tempo;
      int min, max;
    } ctx{&tempo, min, max};
    Services().dialogs->RunCustomDialog(
        112,
        [](DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam, void* p) -> intptr_t {
          auto* c = static_cast<Ctx*>(p);
          if (message == kMsgInitDialog) {
            dlg.SetSliderRange(101, c->min, c->max);
            SetSliderValue(*c->tempo, c->tempo, 101, dlg, 102);
          } else if (message == kMsgHScroll && lparam == 101) {
            HandleSliderScroll(dlg, 102, wparam, 101, c->tempo);
          } else if (message == kMsgCommand && LowWord(wparam) == 102) {
            HandleSliderEdit(c->tempo, dlg, wparam);
          } else if (message == kMsgCommand && wparam <= 2) {
            dlg.EndDialog(static_cast<int>(wparam));
          }
          return 1;
        },
        &ctx);
  }
};

TEST_F(SliderHelpers, EditBoxAndSliderFollowEachOther) {
  RunTempo([&](HeadlessDialogWindow& w) {
    EXPECT_EQ(w.GetItemText(102), "120");
    w.Type(102, "300");
    EXPECT_EQ(tempo, 240);
    EXPECT_EQ(w.GetSliderPos(101), 240);
    w.Type(102, "abc");  // reads as 0, clamped
    EXPECT_EQ(tempo, 60);
    w.Type(102, "-90");
    EXPECT_EQ(tempo, 60);
    w.Type(102, "99999999999");
    EXPECT_EQ(tempo, 240);
    w.Scroll(101, kScrollThumbTrack, 100);
    EXPECT_EQ(tempo, 100);
    EXPECT_EQ(w.GetItemText(102), "100");
    w.Scroll(101, kScrollThumbPosition, 200);  // only tracking moves it
    EXPECT_EQ(tempo, 100);
  });
  EXPECT_EQ(tempo, 100);
}

TEST_F(SliderHelpers, ARangeGivenBackwardsStillClampsToItsLowerEnd) {
  tempo = 10;
  RunTempo(
      [&](HeadlessDialogWindow& w) {
        EXPECT_EQ(tempo, 60);
        EXPECT_EQ(w.GetItemText(102), "60");
        w.Scroll(101, kScrollPageDown);
        EXPECT_EQ(tempo, 69);
      },
      240, 60);
}

TEST(DialogNumbers, FormatIsIndependentOfTheLocale) {
  EXPECT_EQ(FormatDialogValue(125, 10), "12.5");
  EXPECT_EQ(FormatDialogValue(-1, 10), "-0.1");
  EXPECT_EQ(FormatDialogValue(0, 10), "0.0");
  EXPECT_EQ(FormatDialogValue(-1200, 0), "-1200");
  EXPECT_EQ(FormatDialogValue(1, 3), "0.3");
}

}  // namespace
}  // namespace kelvora
