#include <gtest/gtest.h>

#include "document/busy.h"
#include "document/sound_document.h"
#include "document/texts.h"
#include "document/undo.h"
#include "files/texts.h"
#include "shell/commands.h"
#include "shell/layout.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/sine_table.h"
#include "shell/texts.h"
#include "test_support.h"
#include "views/view_state.h"

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
  // Commands pressed while the operation pumps events: Ctrl+Z, Ctrl+V,
  // select all from the menu, and every toolbar button.
  for (int id : {40013, 40016, 40020, 40007, 40008, 40009, 40011, 40057, 40058, 40012})
    f.ui().pendingEvents.push_back([id] {
      EXPECT_FALSE(CommandAllowed(id, kCodeMenu)) << id;
      EXPECT_FALSE(DispatchCommand(id, kCodeMenu)) << id;
      EXPECT_FALSE(DispatchCommand(id, kCodeAccelerator)) << id;
    });
  f.ui().pendingEvents.push_back([] {
    EXPECT_TRUE(CommandAllowed(kCmdStop, kCodeMenu));
    EXPECT_TRUE(CommandAllowed(kCmdStop, kCodeAccelerator));
    EXPECT_FALSE(CommandAllowed(kCmdStop, 2));
  });
  for (int i = 0; i < 200 * 11; ++i) ShowProgress("エコー", i, 2200);
  EXPECT_TRUE(f.ui().pendingEvents.empty());
  EXPECT_EQ(Doc().length, 50);  // undo did not run
  EXPECT_FALSE(Doc().HasSelection());
  EXPECT_FALSE(f.ui().closed);
  EndBusy();
  EXPECT_TRUE(DispatchCommand(kCmdUndo, kCodeAccelerator));
  EXPECT_EQ(Doc().length, 200);
}

TEST(CommandFilter, CodesOtherThanMenuAndAcceleratorAreIgnoredEvenWhenIdle) {
  EngineFixture f;
  SetUpEditedSound();
  EXPECT_FALSE(DispatchCommand(kCmdSelectAll, 2));
  EXPECT_FALSE(DispatchCommand(kCmdSelectAll, 0x300));
  EXPECT_FALSE(Doc().HasSelection());
  EXPECT_FALSE(DispatchCommand(12345, kCodeMenu));
  EXPECT_FALSE(DispatchCommand(kCmdBusyItem, kCodeMenu));
  EXPECT_TRUE(DispatchCommand(kCmdSelectAll, kCodeMenu));
  EXPECT_TRUE(Doc().HasSelection());
}

TEST(SaveChanges, UnmodifiedSoundNeverAsks) {
  EngineFixture f;
  EXPECT_EQ(ConfirmSaveChanges(), 1);
  EXPECT_TRUE(f.ui().messages.empty());
  EXPECT_TRUE(DispatchCommand(kCmdExit, kCodeMenu));
  EXPECT_TRUE(f.ui().closed);
}

struct AnswerCase {
  int answer;
  int result;
  bool closes;
};
class SaveChangesTest : public ::testing::TestWithParam<AnswerCase> {};

// Yes runs the save, whose result decides (a save that fails keeps the
// window); No goes on without saving; Cancel stops.
TEST_P(SaveChangesTest, AnswerDecidesWhetherTheWindowCloses) {
  EngineFixture f;
  Doc().modified = true;
  Doc().path = "/snd/声.wav";
  Doc().fileKind = kFileKindNone;  // nothing can write it: the save fails
  f.ui().answers.push_back(GetParam().answer);
  EXPECT_EQ(CloseMainWindow(), GetParam().closes ? 1 : 0);
  EXPECT_EQ(f.ui().closed, GetParam().closes);
  ASSERT_FALSE(f.ui().messages.empty());
  const ShownMessage& m = f.ui().messages.front();
  EXPECT_EQ(m.caption, "Kelvora");
  EXPECT_EQ(m.text, "[/snd/声.wav]は変更されています\n保存しますか?");
  EXPECT_EQ(m.icon, MsgIcon::kQuestion);
  EXPECT_EQ(m.buttons, MsgButtons::kYesNoCancel);
  f.ui().answers.push_back(GetParam().answer);
  EXPECT_EQ(ConfirmSaveChanges(), GetParam().result);
  EXPECT_TRUE(Doc().modified);
}

INSTANTIATE_TEST_SUITE_P(Answers, SaveChangesTest,
                         ::testing::Values(AnswerCase{kIdYes, 0, false}, AnswerCase{kIdNo, 1, true},
                                           AnswerCase{kIdCancel, 0, false}));

TEST(CloseWhileBusy, WaitsForTheOperationToEndThenAsks) {
  EngineFixture f;
  Doc().modified = true;
  BeginBusy();
  EXPECT_EQ(CloseMainWindow(), 0);
  EXPECT_FALSE(f.ui().closed);
  EXPECT_TRUE(f.ui().messages.empty());  // nothing asked in the middle of the pass
  f.ui().answers.push_back(kIdNo);
  EndBusy();
  EXPECT_EQ(f.ui().messages.size(), 1u);
  EXPECT_TRUE(f.ui().closed);
}

TEST(CloseWhileBusy, CancelAtTheEndKeepsTheWindow) {
  EngineFixture f;
  Doc().modified = true;
  BeginBusy();
  CloseMainWindow();
  f.ui().answers.push_back(kIdCancel);
  EndBusy();
  EXPECT_FALSE(f.ui().closed);
  f.ui().messages.clear();
  BeginBusy();
  EndBusy();  // the refused close is not asked again
  EXPECT_TRUE(f.ui().messages.empty());
}

TEST(NewWindow, StartFailuresAreReportedUnderTheirCaption) {
  EngineFixture f;
  const struct {
    StartResult result;
    const char* text;
  } cases[] = {{StartResult::kOk, nullptr},
               {StartResult::kOutOfMemory, "メモリーが足りません"},
               {StartResult::kFailed, "ウィンドウが開けません"}};
  for (const auto& c : cases) {
    f.ui().messages.clear();
    f.platform.processes.startResult = c.result;
    EXPECT_TRUE(DispatchCommand(kCmdNewWindow, kCodeMenu));
    if (c.text == nullptr) {
      EXPECT_TRUE(f.ui().messages.empty());
      continue;
    }
    ASSERT_EQ(f.ui().messages.size(), 1u);
    EXPECT_EQ(f.ui().messages[0].caption, "新規ウィンドウ");
    EXPECT_EQ(f.ui().messages[0].text, c.text);
    EXPECT_EQ(f.ui().messages[0].icon, MsgIcon::kWarning);
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
  EXPECT_TRUE(f.ui().messages.empty());
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
  EXPECT_EQ(f.platform.dialogs.shown, (std::vector<int>{104, 104}));
  Profile& p = f.platform.memoryProfile;
  EXPECT_EQ(p.GetString("Options", "density", ""), "32");
  EXPECT_EQ(p.GetString("Options", "dispmode", ""), "0");
  EXPECT_EQ(p.GetString("Options", "trackmode", ""), "1");
  EXPECT_EQ(f.ui().status[0], "22050Hz 16Bits Mono");
  EXPECT_GT(f.ui().invalidations, invalidations);
}

TEST(DroppedFile, IsRefusedWhileAnOperationRuns) {
  EngineFixture f;
  BeginBusy();
  EXPECT_EQ(OpenDroppedFile("/snd/x.mp3"), 0);
  EndBusy();
  EXPECT_EQ(Doc().path, "無題");
  EXPECT_TRUE(f.ui().messages.empty());
}

TEST(DroppedFile, AsksBeforeReplacingAModifiedSound) {
  EngineFixture f;
  Doc().modified = true;
  f.ui().answers.push_back(kIdCancel);
  EXPECT_EQ(OpenDroppedFile("/snd/x.mp3"), 0);
  EXPECT_EQ(Shell().lastDirectory, "");
  // Without changes the file goes straight to the open flow (which refuses
  // this extension with its own message).
  Doc().modified = false;
  f.ui().messages.clear();
  EXPECT_EQ(OpenDroppedFile("/snd/x.mp3"), 0);
  EXPECT_EQ(Shell().lastDirectory, "/snd");
  ASSERT_EQ(f.ui().messages.size(), 1u);
  EXPECT_EQ(f.ui().messages[0].text, texts::kUnsupportedExtension);
}

TEST(Layout, ViewsShareTheRoomBetweenToolbarAndStatusBar) {
  MainLayout l = ComputeMainLayout(640, 400, 26, 20);
  EXPECT_EQ(l.wave.top, 26);
  EXPECT_EQ(l.wave.height, 309);
  EXPECT_EQ(l.overview.top, 335);
  EXPECT_EQ(l.overview.height, 44);
  EXPECT_EQ(l.wave.width, 640);
  EXPECT_EQ(l.overview.width, 640);
  // Too small for the bars: no negative sizes.
  l = ComputeMainLayout(100, 30, 26, 20);
  EXPECT_EQ(l.wave.height, 0);
  EXPECT_EQ(l.overview.height, 0);
  EXPECT_EQ(l.overview.top, 26);
}

TEST(SineTable, UsesTheShortStepAndTruncates) {
  const auto& t = SineTable();
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[1], 61);       // 61.33
  EXPECT_EQ(t[256], 9999);   // sin(1.57) = 0.99999968
  EXPECT_EQ(t[512], 15);     // sin(3.14) = 0.0015927
  EXPECT_EQ(t[768], -9999);  // sin(4.71) = -0.99999715
  EXPECT_EQ(t[1023], -93);   // truncated toward zero, not down
}

}  // namespace
}  // namespace kelvora
