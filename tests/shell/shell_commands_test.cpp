#include <gtest/gtest.h>

#include "document/busy.h"
#include "document/sine_table.h"
#include "document/undo.h"
#include "files/open_save.h"
#include "files/texts.h"
#include "shell/commands.h"
#include "shell/layout.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "test_support.h"
#include "views/view_state.h"
#include "views/wave_input.h"

namespace kelvora {
namespace {

// A 100-frame mono sound with the cursor at 0, and an undo copy that
// differs from it, so that a command that slips through shows.
void SetUpEditedSound() {
  SetDocument(MakeFormat(8000, 16, 1), Pcm16(std::vector<int16_t>(100, 1000)));
  TakeUndoSnapshot();
  Doc().length = 50;
}

TEST(CommandFilter, WhileAnOperationRunsOnlyStopGetsThrough) {
  EngineFixture f;
  SetUpEditedSound();
  BeginBusy();
  // Pressed while the operation pumps events: Ctrl+Z, Ctrl+V, select all,
  // every toolbar button and exit.
  f.ui().pendingEvents.push_back([] {
    for (int id : {40013, 40016, 40020, 40007, 40008, 40009, 40011, 40057, 40058, 40012})
      for (int code : {kCodeMenu, kCodeAccelerator}) EXPECT_FALSE(DispatchCommand(id, code)) << id;
    EXPECT_TRUE(CommandAllowed(kCmdStop, kCodeMenu));
    EXPECT_TRUE(CommandAllowed(kCmdStop, kCodeAccelerator));
    EXPECT_FALSE(CommandAllowed(kCmdStop, 2));
  });
  for (int i = 0; i < 200; ++i) ShowProgress("エコー", i, 200);
  EXPECT_TRUE(f.ui().pendingEvents.empty());
  EXPECT_EQ(Doc().length, 50);  // undo did not run
  EXPECT_FALSE(Doc().HasSelection());
  EXPECT_FALSE(f.ui().closed);
  EndBusy();
  // Idle, other codes and unknown ids are still ignored.
  const std::pair<int, int> ignored[] = {
      {kCmdSelectAll, 2}, {kCmdSelectAll, 0x300}, {12345, kCodeMenu}, {kCmdBusyItem, kCodeMenu}};
  for (auto [id, code] : ignored) EXPECT_FALSE(DispatchCommand(id, code)) << id << " " << code;
  EXPECT_FALSE(Doc().HasSelection());
  EXPECT_TRUE(DispatchCommand(kCmdUndo, kCodeAccelerator));
  EXPECT_EQ(Doc().length, 200);
}

TEST(SaveChanges, UnmodifiedSoundNeverAsks) {
  EngineFixture f;
  EXPECT_TRUE(DispatchCommand(kCmdExit, kCodeMenu));
  EXPECT_TRUE(f.ui().messages.empty());
  EXPECT_TRUE(f.ui().closed);
}

// Yes runs the save, whose result decides (a save that fails keeps the
// window); No goes on without saving; Cancel stops.
TEST(SaveChanges, AnswerDecidesWhetherTheWindowCloses) {
  for (auto [answer, result, closes] : {std::tuple{kIdYes, 0, false}, std::tuple{kIdNo, 1, true},
                                        std::tuple{kIdCancel, 0, false}}) {
    EngineFixture f;
    Doc().modified = true;
    Doc().path = "/snd/声.wav";
    Doc().fileKind = kFileKindNone;  // nothing can write it: the save fails
    f.ui().answers = {answer, answer};
    EXPECT_EQ(CloseMainWindow(), closes ? 1 : 0) << answer;
    EXPECT_EQ(f.ui().closed, closes);
    EXPECT_EQ(ConfirmSaveChanges(), result);
    ASSERT_FALSE(f.ui().messages.empty());
    const ShownMessage& m = f.ui().messages[0];
    EXPECT_EQ(std::tie(m.caption, m.text, m.icon, m.buttons),
              std::make_tuple("Kelvora", "[/snd/声.wav]は変更されています\n保存しますか?",
                              MsgIcon::kQuestion, MsgButtons::kYesNoCancel));
    EXPECT_TRUE(Doc().modified);
  }
}

TEST(CloseWhileBusy, WaitsForTheOperationToEndThenAsksOnce) {
  EngineFixture f;
  Doc().modified = true;
  BeginBusy();
  EXPECT_EQ(CloseMainWindow(), 0);
  EXPECT_TRUE(f.ui().messages.empty());  // nothing asked in the middle of the pass
  f.ui().answers.push_back(kIdCancel);
  EndBusy();
  EXPECT_EQ(f.ui().messages.size(), 1u);
  EXPECT_FALSE(f.ui().closed);
  BeginBusy();
  EndBusy();  // the refused close is not asked again
  EXPECT_EQ(f.ui().messages.size(), 1u);
  BeginBusy();
  CloseMainWindow();
  f.ui().answers.push_back(kIdNo);
  EndBusy();
  EXPECT_TRUE(f.ui().closed);
}

TEST(NewWindow, StartFailuresAreReportedUnderTheirCaption) {
  EngineFixture f;
  EXPECT_TRUE(DispatchCommand(kCmdNewWindow, kCodeMenu));
  EXPECT_TRUE(f.ui().messages.empty());
  const std::pair<StartResult, const char*> failures[] = {
      {StartResult::kOutOfMemory, "メモリーが足りません"},
      {StartResult::kFailed, "ウィンドウが開けません"}};
  for (auto [result, text] : failures) {
    f.ui().messages.clear();
    f.platform.processes.startResult = result;
    EXPECT_TRUE(DispatchCommand(kCmdNewWindow, kCodeMenu));
    EXPECT_EQ(ShownMessages(f.ui()), (Shown{{"新規ウィンドウ", text, MsgIcon::kWarning}}));
  }
  EXPECT_EQ(f.platform.processes.started, 3);
}

TEST(HelpAndAbout, HelpOpensThePageAboutPlaysItsSoundAndShowsTheBox) {
  EngineFixture f;
  InitShellPaths("/opt/kelvora/kelvora", true, "", "/home/u", nullptr);
  EXPECT_TRUE(DispatchCommand(kCmdHelp, kCodeMenu));
  EXPECT_EQ(f.platform.processes.opened, std::vector<std::string>{"/opt/kelvora/kelvora.html"});
  EXPECT_TRUE(DispatchCommand(kCmdAbout, kCodeMenu));
  EXPECT_EQ(f.platform.processes.played, std::vector<std::string>{"/opt/kelvora/about.wav"});
  EXPECT_EQ(f.platform.dialogs.shown, std::vector<int>{105});
}

TEST(DisplaySettings, OkStoresTheThreeValuesCancelNothing) {
  EngineFixture f;
  View().density = 32;
  View().displayMode = 0;
  View().trackMode = 1;
  f.platform.dialogs.QueueFields({}, 2);  // Cancel
  EXPECT_TRUE(DispatchCommand(kCmdDisplaySettings, kCodeMenu));
  EXPECT_TRUE(f.platform.memoryProfile.values.empty());
  const int invalidations = f.ui().invalidations;
  EXPECT_TRUE(DispatchCommand(kCmdDisplaySettings, kCodeMenu));
  Profile& p = f.platform.memoryProfile;
  EXPECT_EQ(p.GetString("Options", "density", "") + p.GetString("Options", "dispmode", "") +
                p.GetString("Options", "trackmode", ""),
            "3201");
  EXPECT_GT(f.ui().invalidations, invalidations);
}

TEST(DroppedFile, IsRefusedWhileBusyAndAsksBeforeReplacingAModifiedSound) {
  EngineFixture f;
  Doc().modified = true;
  BeginBusy();
  EXPECT_EQ(OpenDroppedFile("/snd/x.xyz"), 0);
  EndBusy();
  f.ui().answers.push_back(kIdCancel);
  EXPECT_EQ(OpenDroppedFile("/snd/x.xyz"), 0);
  EXPECT_EQ(LastDirectory(), "");
  // Without changes the file goes straight to the open flow (which refuses
  // this extension with its own message).
  Doc().modified = false;
  f.ui().messages.clear();
  EXPECT_EQ(OpenDroppedFile("/snd/x.xyz"), 0);
  EXPECT_EQ(LastDirectory(), "/snd");
  ASSERT_EQ(f.ui().messages.size(), 1u);
  EXPECT_EQ(f.ui().messages[0].text, texts::kUnsupportedExtension);
}

// Status part 2 is rewritten after every change of the selection, not only
// after mouse moves, so it never disagrees with the tint.
TEST(SelectionStatus, FollowsEveryChangeOfTheSelection) {
  EngineFixture f;
  SetDocument(MakeFormat(8000, 16, 1), Pcm16(std::vector<int16_t>(40000, 1000)));  // 5 s
  View().clientWidth = 640;
  SetZoom(6);  // one frame per column
  struct Step {
    const char* what;
    void (*act)();
    const char* status;
  };
  const Step steps[] = {
      {"click without a move", [] { WaveMouseDown(48 + 800, 50); }, "Cur :0.100(Sec) 800(Samples)"},
      {"double click", [] { WaveDoubleClick(); }, "Sel :0.000-5.000(Sec) 0-40000(Samples)"},
      {"an effect", [] { DispatchCommand(kCmdNormalize, kCodeMenu); },
       "Sel :0.000-5.000(Sec) 0-40000(Samples)"},
      {"undo after a click",
       [] {
         WaveMouseDown(48 + 8, 50);
         DispatchCommand(kCmdUndo, kCodeMenu);
       },
       "Sel :0.000-5.000(Sec) 0-40000(Samples)"},
      {"new",
       [] {
         Doc().modified = false;
         DispatchCommand(kCmdNew, kCodeMenu);
       },
       "Cur :0.000(Sec) 0(Samples)"},
  };
  for (const Step& step : steps) {
    f.ui().status[2] = "stale";
    step.act();
    EXPECT_EQ(f.ui().status[2], step.status) << step.what;
  }
}

TEST(Layout, ViewsShareTheRoomBetweenToolbarAndStatusBar) {
  auto rects = [](const MainLayout& l) {
    return std::vector<int>{l.wave.top,     l.wave.height,     l.wave.width,
                            l.overview.top, l.overview.height, l.overview.width};
  };
  EXPECT_EQ(rects(ComputeMainLayout(640, 400, 26, 20)),
            (std::vector<int>{26, 309, 640, 335, 44, 640}));
  // Too small for the bars: no negative sizes.
  EXPECT_EQ(rects(ComputeMainLayout(100, 30, 26, 20)), (std::vector<int>{26, 0, 100, 26, 0, 100}));
}

TEST(SineTable, UsesTheShortStepAndTruncates) {
  const auto& t = SineTable();
  // sin(0.0061) * 10000 = 61.33, sin(1.57) = 0.99999968, sin(3.14) = 0.0015927,
  // sin(4.71) = -0.99999715; the last is truncated toward zero, not down.
  EXPECT_EQ((std::vector<int>{t[0], t[1], t[256], t[512], t[768], t[1023]}),
            (std::vector<int>{0, 61, 9999, 15, -9999, -93}));
}

}  // namespace
}  // namespace kelvora
