#include "shell/settings.h"

#include <gtest/gtest.h>

#include "files/open_save.h"
#include "test_support.h"
#include "views/view_state.h"

namespace kelvora {
namespace {

TEST(SettingsPaths, SettingsFileStaysBesideTheProgram) {
  const std::pair<const char*, const char*> cases[] = {
      {"/opt/kelvora/bin/kelvora", "/opt/kelvora/bin/kelvora.ini"},
      {"/opt/my.apps/kelvora", "/opt/my.apps/kelvora.ini"},
      {"/usr/local/bin/kelvora.bin.old", "/usr/local/bin/kelvora.bin.ini"},
      {"/home/u/.kelvora", "/home/u/.kelvora.ini"},
      {"kelvora", "kelvora.ini"}};
  for (auto [program, ini] : cases) EXPECT_EQ(SiblingPath(program, ".ini"), ini);
}

TEST(SettingsPaths, UnwritableProgramFolderFallsBackToTheUsersConfiguration) {
  EXPECT_EQ(SettingsFilePath("/usr/bin/kelvora", true, "/cfg", "/home/u"), "/usr/bin/kelvora.ini");
  EXPECT_EQ(SettingsFilePath("/usr/bin/kelvora", false, "/cfg", "/home/u"),
            "/cfg/kelvora/kelvora.ini");
  EXPECT_EQ(SettingsFilePath("/usr/bin/kelvora", false, "", "/home/u"),
            "/home/u/.config/kelvora/kelvora.ini");
  // A relative configuration folder would depend on the folder the program
  // was started from.
  EXPECT_EQ(SettingsFilePath("/usr/bin/kelvora", false, "cfg", "/home/u"),
            "/home/u/.config/kelvora/kelvora.ini");
}

TEST(SettingsPaths, InstalledCopyFindsItsDataInShareAndKeepsSettingsWithTheUser) {
  struct Case {
    const char* program;
    const char* present;  // the one help page that exists
    bool writable;
    const char* settings;
    const char* help;
    const char* about;
  };
  const Case cases[] = {
      {"/usr/bin/kelvora", "/usr/share/kelvora/kelvora.html", true,
       "/home/u/.config/kelvora/kelvora.ini", "/usr/share/kelvora/kelvora.html",
       "/usr/share/kelvora/about.wav"},
      {"/bin/kelvora", "/share/kelvora/kelvora.html", false, "/home/u/.config/kelvora/kelvora.ini",
       "/share/kelvora/kelvora.html", "/share/kelvora/about.wav"},
      // A build tree with the page beside the program stays as it is.
      {"/src/build/kelvora", "/src/build/kelvora.html", true, "/src/build/kelvora.ini",
       "/src/build/kelvora.html", "/src/build/about.wav"},
      // A compiled help file, where there is one, is preferred.
      {"/opt/k.d/kelvora", "/opt/k.d/kelvora.chm", true, "/opt/k.d/kelvora.ini",
       "/opt/k.d/kelvora.chm", "/opt/k.d/about.wav"},
  };
  EngineFixture f;
  for (const Case& c : cases) {
    static const char* present;
    present = c.present;
    InitShellPaths(c.program, c.writable, "", "/home/u",
                   [](const std::string& p) { return p == present; });
    EXPECT_EQ(Shell().settingsPath, c.settings) << c.program;
    EXPECT_EQ(Shell().helpPath, c.help) << c.program;
    EXPECT_EQ(Shell().aboutSoundPath, c.about) << c.program;
  }
}

TEST(CommandLine, IsOnePathWithSurroundingQuotesRemoved) {
  EXPECT_EQ(CommandLinePath({}), "");
  EXPECT_EQ(CommandLinePath({"\"/snd/my voice.wav\""}), "/snd/my voice.wav");
  EXPECT_EQ(CommandLinePath({"/snd/my", "voice.wav"}), "/snd/my voice.wav");
  EXPECT_EQ(CommandLinePath({"\""}), "\"");
}

struct SettingsTest : EngineFixture, ::testing::Test {
  MemoryProfile& profile = platform.memoryProfile;
  // What the program reads at start-up, in one line.
  static std::string Loaded() {
    const std::vector<int> values = {Shell().windowWidth, Shell().windowHeight, View().density,
                                     View().displayMode, View().trackMode};
    std::string s = LastDirectory();
    for (int v : values) s += ' ' + std::to_string(v);
    return s;
  }
};

TEST_F(SettingsTest, DefaultsStoredValuesAndWhatShutdownWrites) {
  LoadStartupSettings("/home/u");
  EXPECT_EQ(Loaded(), "/home/u 640 400 8 1 0");
  const char* const stored[][3] = {{"Options", "directory", "/snd"}, {"Options", "density", "16"},
                                   {"Options", "dispmode", "0"},     {"Options", "trackmode", "1"},
                                   {"Position", "width", "1000"},    {"Position", "height", "700"}};
  for (auto [section, key, value] : stored) profile.WriteString(section, key, value);
  LoadStartupSettings("/home/u");
  EXPECT_EQ(Loaded(), "/snd 1000 700 16 0 1");

  View().density = 32;
  View().displayMode = 1;  // only the display settings dialog writes these two
  View().trackMode = 0;
  LastDirectory() = "/snd/新しい";
  SaveSettingsOnExit(false, 800, 600);
  SaveSettingsOnExit(true, 160, 28);  // closed minimised: the stored size stays
  LoadStartupSettings("/home/u");
  EXPECT_EQ(Loaded(), "/snd/新しい 800 600 32 0 1");
}

TEST_F(SettingsTest, TheFileMenuListsSixRecentFilesAndSkipsEmptyOnes) {
  for (const char* n : {"1", "3", "6", "7"}) profile.WriteString("RecentFiles", n, "/a.wav");
  std::vector<int> ids;
  for (const RecentMenuItem& item : ReadRecentMenuItems()) ids.push_back(item.id);
  EXPECT_EQ(ids, (std::vector<int>{kCmdRecentFirst, kCmdRecentFirst + 2, kCmdRecentFirst + 5}));
}

TEST_F(SettingsTest, StoredDensityIsBroughtIntoRangeBeforeDrawingDividesByIt) {
  for (auto [stored, read] :
       {std::pair{"0", 1}, {"-5", 1}, {"junk", 1}, {"1", 1}, {"128", 128}, {"129", 128}}) {
    profile.WriteString("Options", "density", stored);
    LoadStartupSettings("/home/u");
    EXPECT_EQ(View().density, read) << stored;
  }
}

}  // namespace
}  // namespace kelvora
