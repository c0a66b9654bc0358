#include "shell/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/profile_file.h"
#include "test_support.h"
#include "views/view_state.h"

namespace kelvora {
namespace {

namespace fs = std::filesystem;

struct PathCase {
  const char* program;
  const char* ini;
};
class SiblingPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(SiblingPathTest, SettingsFileStaysBesideTheProgram) {
  EXPECT_EQ(SiblingPath(GetParam().program, ".ini"), GetParam().ini);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, SiblingPathTest,
    ::testing::Values(PathCase{"/opt/kelvora/bin/kelvora", "/opt/kelvora/bin/kelvora.ini"},
                      PathCase{"/opt/my.apps/kelvora", "/opt/my.apps/kelvora.ini"},
                      PathCase{"/home/u/v1.0/kelvora.exe", "/home/u/v1.0/kelvora.ini"},
                      PathCase{"/usr/local/bin/kelvora.bin.old", "/usr/local/bin/kelvora.bin.ini"},
                      PathCase{"/home/u/.kelvora", "/home/u/.kelvora.ini"},
                      PathCase{"kelvora", "kelvora.ini"}));

TEST(SettingsPaths, UnwritableProgramFolderFallsBackToTheUsersConfiguration) {
  EXPECT_EQ(SettingsFilePath("/usr/bin/kelvora", true, "/cfg", "/home/u"), "/usr/bin/kelvora.ini");
  EXPECT_EQ(SettingsFilePath("/usr/bin/kelvora", false, "/cfg", "/home/u"),
            "/cfg/kelvora/kelvora.ini");
  EXPECT_EQ(SettingsFilePath("/usr/bin/kelvora", false, "", "/home/u"),
            "/home/u/.config/kelvora/kelvora.ini");
  // A relative configuration folder is not usable; it would depend on the
  // folder the program was started from.
  EXPECT_EQ(SettingsFilePath("/usr/bin/kelvora", false, "cfg", "/home/u"),
            "/home/u/.config/kelvora/kelvora.ini");
}

TEST(SettingsPaths, HelpPrefersACompiledHelpFileWhenOneIsThere) {
  auto none = [](const std::string&) { return false; };
  auto chm = [](const std::string& p) { return p == "/opt/k.d/kelvora.chm"; };
  EXPECT_EQ(HelpFilePath("/opt/k.d/kelvora", none), "/opt/k.d/kelvora.html");
  EXPECT_EQ(HelpFilePath("/opt/k.d/kelvora", chm), "/opt/k.d/kelvora.chm");
  EngineFixture f;
  InitShellPaths("/opt/k.d/kelvora", true, "", "/home/u", none);
  EXPECT_EQ(Shell().aboutSoundPath, "/opt/k.d/about.wav");
}

TEST(CommandLine, IsOnePathWithSurroundingQuotesRemoved) {
  EXPECT_EQ(CommandLinePath({}), "");
  EXPECT_EQ(CommandLinePath({"/snd/a.wav"}), "/snd/a.wav");
  EXPECT_EQ(CommandLinePath({"\"/snd/my voice.wav\""}), "/snd/my voice.wav");
  EXPECT_EQ(CommandLinePath({"/snd/my", "voice.wav"}), "/snd/my voice.wav");
  EXPECT_EQ(CommandLinePath({"\""}), "\"");
}

// Start-up and shutdown against a real settings file.
class SettingsFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("kelvora-settings-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    profile_ = std::make_unique<ProfileFile>((dir_ / "kelvora.ini").string());
    engine_.platform.profile = profile_.get();
    engine_.platform.Install();
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Put(const std::string& content) {
    std::ofstream(profile_->path(), std::ios::binary) << content;
  }

  EngineFixture engine_;
  fs::path dir_;
  std::unique_ptr<ProfileFile> profile_;
};

TEST_F(SettingsFileTest, MissingFileGivesTheDefaults) {
  LoadStartupSettings("/home/u");
  EXPECT_EQ(Shell().lastDirectory, "/home/u");
  EXPECT_EQ(Shell().windowWidth, 640);
  EXPECT_EQ(Shell().windowHeight, 400);
  EXPECT_EQ(View().density, 8);
  EXPECT_EQ(View().displayMode, 1);
  EXPECT_EQ(View().trackMode, 0);
}

TEST_F(SettingsFileTest, StoredValuesComeBackAndShutdownWritesItsKeys) {
  Put("[Options]\ndirectory=/snd\ndensity=16\ndispmode=0\ntrackmode=1\n"
      "[Position]\nwidth=1000\nheight=700\n");
  LoadStartupSettings("/home/u");
  EXPECT_EQ(Shell().lastDirectory, "/snd");
  EXPECT_EQ(Shell().windowWidth, 1000);
  EXPECT_EQ(Shell().windowHeight, 700);
  EXPECT_EQ(View().density, 16);
  EXPECT_EQ(View().displayMode, 0);
  EXPECT_EQ(View().trackMode, 1);

  View().density = 32;
  View().displayMode = 1;  // only the display settings dialog writes these two
  View().trackMode = 0;
  Shell().lastDirectory = "/snd/新しい";
  SaveSettingsOnExit(false, 800, 600);
  EXPECT_EQ(profile_->GetInt("Position", "width", 0), 800);
  EXPECT_EQ(profile_->GetInt("Position", "height", 0), 600);
  EXPECT_EQ(profile_->GetInt("Options", "density", 0), 32);
  EXPECT_EQ(profile_->GetString("Options", "directory", ""), "/snd/新しい");
  EXPECT_EQ(profile_->GetInt("Options", "dispmode", 9), 0);
  EXPECT_EQ(profile_->GetInt("Options", "trackmode", 9), 1);
}

TEST_F(SettingsFileTest, ClosingMinimisedLeavesTheStoredSizeAlone) {
  Put("[Position]\nwidth=1000\nheight=700\n");
  LoadStartupSettings("/home/u");
  SaveSettingsOnExit(true, 160, 28);
  EXPECT_EQ(profile_->GetInt("Position", "width", 0), 1000);
  EXPECT_EQ(profile_->GetInt("Position", "height", 0), 700);
  EXPECT_EQ(profile_->GetInt("Options", "density", 0), 8);
}

struct DensityCase {
  const char* stored;
  int read;
};
class DensityTest : public SettingsFileTest, public ::testing::WithParamInterface<DensityCase> {};

TEST_P(DensityTest, StoredDensityIsBroughtIntoRangeBeforeDrawingDividesByIt) {
  Put(std::string("[Options]\ndensity=") + GetParam().stored + "\n");
  LoadStartupSettings("/home/u");
  EXPECT_EQ(View().density, GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Stored, DensityTest,
                         ::testing::Values(DensityCase{"0", 1}, DensityCase{"-5", 1},
                                           DensityCase{"1", 1}, DensityCase{"128", 128},
                                           DensityCase{"129", 128}, DensityCase{"junk", 1},
                                           DensityCase{"64", 64}));

TEST_F(SettingsFileTest, RecentItemsSkipEmptyKeysAndKeepTheirNumbers) {
  EXPECT_TRUE(ReadRecentMenuItems().empty());
  Put("[RecentFiles]\n1=/snd/a.wav\n2=\n3=/snd/c.aiff\n4=\n6=/音/f.au\n");
  std::vector<RecentMenuItem> items = ReadRecentMenuItems();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].id, 4097);
  EXPECT_EQ(items[0].text, "1:/snd/a.wav");
  EXPECT_EQ(items[1].id, 4099);
  EXPECT_EQ(items[1].text, "3:/snd/c.aiff");
  EXPECT_EQ(items[2].id, 4102);
  EXPECT_EQ(items[2].text, "6:/音/f.au");
}

}  // namespace
}  // namespace kelvora
