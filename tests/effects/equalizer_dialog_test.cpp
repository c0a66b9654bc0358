// The equalizers' dialogs: the graphic one's sliders, reset, presets read
// from the settings file at every opening, registration, and Cancel.
#include <gtest/gtest.h>

#include "document/params.h"
#include "document/undo.h"
#include "effects/effect_test_util.h"
#include "effects/equalizers.h"
#include "files/file_test_support.h"
#include "platform/profile_file.h"

namespace kelvora {
namespace {

class GraphicEqDialog : public testing::Test {
protected:
  // What the dialog does with `actions`, closed with `button`.
  void Open(HeadlessDialogHost::Actions actions, int button) {
    f.platform.dialogs.QueueActions(std::move(actions), button);
    ASSERT_TRUE(RunCommand(kCmdGraphicEq));
  }
  static EqPositions Sliders(HeadlessDialogWindow& w) {
    EqPositions p;
    for (int b = 0; b < kEqBands; ++b) p[b] = w.GetSliderPos(200 + b);
    return p;
  }
  static const EqPositions& Positions() { return Params<GraphicEqParams>().positions; }
  EngineFixture f;
};

TEST_F(GraphicEqDialog, PresetsAreReadFromTheSettingsAtEveryOpening) {
  Profile& ini = *f.platform.profile;
  ini.WriteString("Eq", "Preset2", "10,20,x,40");  // read up to the x; the rest 0 dB
  ini.WriteString("Eq", "Preset5", "200,-5,+50, 60,50,50,50,50,50,77");  // held to 0..100
  ini.WriteString("Eq", "Preset6", "");
  Open(
      [&](HeadlessDialogWindow& w) {
        const std::pair<int, EqPositions> presses[] = {
            {302, {90, 80, 50, 50, 50, 50, 50, 50, 50}},
            {303, {100, 100, 100, 50, 50, 50, 100, 100, 100}},  // the default
            {305, {0, 100, 50, 40, 50, 50, 50, 50, 50}},
            {306, {50, 50, 50, 50, 50, 50, 50, 50, 50}},
            {301, {100, 100, 100, 80, 60, 50, 50, 50, 50}},
        };
        for (const auto& [button, want] : presses) {
          ASSERT_TRUE(w.Click(button));
          EXPECT_EQ(Positions(), want) << button;
          EXPECT_EQ(Sliders(w), want) << button;
        }
      },
      2);
  // Cancel keeps what the dialog changed; the next opening reads again.
  EXPECT_EQ(Positions(), (EqPositions{100, 100, 100, 80, 60, 50, 50, 50, 50}));
  ini.WriteString("Eq", "Preset2", "100,100,100,100,100,100,100,100,100");
  Open(
      [&](HeadlessDialogWindow& w) {
        EXPECT_EQ(Sliders(w), Positions());
        w.Click(302);
        EXPECT_EQ(Positions(), (EqPositions{0, 0, 0, 0, 0, 0, 0, 0, 0}));
        w.Click(300);
        EXPECT_EQ(Sliders(w), (EqPositions{50, 50, 50, 50, 50, 50, 50, 50, 50}));
      },
      2);
}

TEST_F(GraphicEqDialog, RegistrationStoresLevelsAndOnlyThePresetButtonsRegister) {
  TempDir dir;
  ProfileFile file(dir / "kelvora.ini");
  f.platform.profile = &file;
  f.platform.Install();
  const EqPositions mine{10, 50, 50, 50, 50, 50, 50, 50, 51};
  f.platform.dialogs.QueueActions(
      [&](HeadlessDialogWindow& w) {
        w.Scroll(200, kScrollThumbTrack, 10);
        w.Scroll(208, kScrollLineDown);
        w.Scroll(207, kScrollPageUp);  // a twentieth of the range
        w.Scroll(207, kScrollPageDown);
        ASSERT_EQ(Positions(), mine);
        w.Click(310);  // answered "4"
        EXPECT_EQ(EqPresets()[3], mine);
        w.Click(300);
        w.Click(304);
        EXPECT_EQ(Sliders(w), mine);
        w.Click(310);  // answered Cancel
        w.Click(310);  // ended by Enter, which names no preset
      },
      2);
  // The registration dialog's three answers, in the order it opens.
  f.platform.dialogs.QueueFields({}, 8);
  f.platform.dialogs.QueueFields({}, 2);
  f.platform.dialogs.QueueFields({}, 1);
  ASSERT_TRUE(RunCommand(kCmdGraphicEq));
  EXPECT_EQ(f.platform.dialogs.shown, (std::vector<int>{109, 121, 121, 121}));
  EXPECT_EQ(file.GetString("Eq", "Preset4", "none"), "90,50,50,50,50,50,50,50,49");
  for (const char* other : {"Preset1", "Preset2", "Preset3", "Preset5", "Preset6"})
    EXPECT_EQ(file.GetString("Eq", other, "none"), "none");
  // The next opening reads it back.
  f.platform.dialogs.QueueActions([&](HeadlessDialogWindow& w) { w.Click(304); }, 2);
  Params<GraphicEqParams>() = {};
  ASSERT_TRUE(RunCommand(kCmdGraphicEq));
  EXPECT_EQ(Positions(), mine);
}

// Cancel leaves the sound, its modified flag and the undo copy alone; the
// values dragged or typed before it stay for the next opening.
TEST_F(GraphicEqDialog, CancelInEitherDialogChangesNothingButTheValues) {
  const std::vector<uint8_t> bytes = NoiseBytes(4 * 2000, 3);
  SetDocument(MakeFormat(44100, 16, 2), bytes);
  Open([](HeadlessDialogWindow& w) { w.Scroll(203, kScrollThumbTrack, 0); }, 2);
  f.platform.dialogs.QueueActions(
      [](HeadlessDialogWindow& w) {
        w.Type(114, "7");
        w.Click(120);
      },
      2);
  ASSERT_TRUE(RunCommand(kCmdParametricEq));
  EXPECT_EQ(DocumentBytes(), bytes);
  EXPECT_FALSE(Doc().modified);
  EXPECT_EQ(Undo().length, 0);
  EXPECT_EQ(Positions()[3], 0);
  EXPECT_EQ(Params<ParametricEqParams>().modules[1].level, 7);
  EXPECT_EQ(Params<ParametricEqParams>().modules[2].use, 1);  // a check box is stored by OK only
}

}  // namespace
}  // namespace kelvora
