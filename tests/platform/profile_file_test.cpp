#include "platform/profile_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "files/file_test_support.h"
#include "test_support.h"

namespace kelvora {
namespace {

namespace fs = std::filesystem;

class ProfileFileTest : public ::testing::Test {
protected:
  void Put(const std::string& content) { WriteText(path_, content); }
  std::string Content() const { return ReadText(path_); }

  TempDir dir_;
  std::string path_ = dir_ / "kelvora.ini";
};

TEST_F(ProfileFileTest, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
  ProfileFile p(path_);
  EXPECT_EQ(p.GetInt("Options", "density", 8), 8);
  EXPECT_EQ(p.GetString("Options", "directory", "/home/u"), "/home/u");
  EXPECT_FALSE(fs::exists(path_));
  ASSERT_TRUE(p.WriteString("Options", "density", "8"));
  EXPECT_EQ(Content(), "[Options]\ndensity=8\n");
  EXPECT_EQ(p.GetInt("Options", "density", 0), 8);
  ProfileFile nested(dir_ / "config/kelvora/kelvora.ini");
  EXPECT_TRUE(nested.WriteString("Position", "width", "640"));
}

TEST_F(ProfileFileTest, NamesIgnoreCaseAndBlanksAndOnlyTheFirstOfANameCounts) {
  const std::string rest =
      "density=5\n[RecentFiles]\n1= \"/snd/a b.wav\" \n[options]\ndispmode=0\n";
  Put("[ OPTIONS ]\n  Density = 12 \n" + rest);
  ProfileFile p(path_);
  EXPECT_EQ(p.GetInt("options", "DENSITY", 0), 12);
  EXPECT_EQ(p.GetString("recentfiles", "1", ""), "/snd/a b.wav");
  EXPECT_EQ(p.GetString("Options", "1", "none"), "none");  // keys belong to their section
  EXPECT_EQ(p.GetInt("Options", "dispmode", 1), 1);        // in a later [options]
  ASSERT_TRUE(p.WriteString("Options", "density", "9"));
  EXPECT_EQ(Content(), "[ OPTIONS ]\nDensity=9\n" + rest);
}

TEST_F(ProfileFileTest, IntegersAreTheLeadingDecimalNumber) {
  const std::pair<const char*, int> cases[] = {{"  42", 42},      {"-7", -7},
                                               {"+5", 5},         {"12abc", 12},
                                               {"abc", 0},        {"", -99},
                                               {"\"33\"", 33},    {"0x10", 0},
                                               {"4294967297", 1}, {"-2147483648", -2147483647 - 1}};
  for (auto [stored, expected] : cases) {
    Put(std::string("[S]\nk=") + stored + "\n");
    EXPECT_EQ(ProfileFile(path_).GetInt("S", "k", -99), expected) << stored;
  }
}

TEST_F(ProfileFileTest, WritesKeepEveryOtherLineAndTheLineBreaks) {
  Put("; settings\r\n[Eq]\r\nPreset1=1,2,3\r\n\r\n[Options]\r\nDensity=4\r\ntempo=120\r\n\r\n"
      "[Other]\r\nx=y");
  ProfileFile p(path_);
  ASSERT_TRUE(p.WriteString("options", "density", "9"));
  ASSERT_TRUE(p.WriteString("Options", "dispmode", "1"));
  ASSERT_TRUE(p.WriteString("Position", "width", "640"));
  EXPECT_EQ(Content(),
            "; settings\r\n[Eq]\r\nPreset1=1,2,3\r\n\r\n[Options]\r\nDensity=9\r\ntempo=120\r\n"
            "dispmode=1\r\n\r\n[Other]\r\nx=y\r\n\r\n[Position]\r\nwidth=640\r\n");
}

// A byte order mark does not hide the first section; a key goes after a
// last line without a line break.
TEST_F(ProfileFileTest, ByteOrderMarkAndAMissingLastLineBreak) {
  Put("\xEF\xBB\xBF[Options]\ndensity=16");
  ProfileFile p(path_);
  EXPECT_EQ(p.GetInt("Options", "density", 8), 16);
  ASSERT_TRUE(p.WriteString("Options", "trackmode", "0"));
  ASSERT_TRUE(p.WriteString("Options", "density", "32"));
  EXPECT_EQ(Content(), "\xEF\xBB\xBF[Options]\ndensity=32\ntrackmode=0\n");
}

TEST_F(ProfileFileTest, RefusesWhatWouldBreakTheFileAndLeavesItAlone) {
  const std::string before = "[RecentFiles]\n1=/a.wav\n";
  Put(before);
  ProfileFile p(path_);
  EXPECT_FALSE(p.WriteString("RecentFiles", "2", "/evil\n[Options]\ndensity=0"));
  EXPECT_FALSE(p.WriteString("RecentFiles", "a=b", "x"));
  EXPECT_FALSE(p.WriteString("Recent]Files", "1", "x"));
  EXPECT_FALSE(p.WriteString("RecentFiles", "", "x"));
  EXPECT_FALSE(p.WriteString("RecentFiles", ";1", "x"));
  EXPECT_EQ(Content(), before);
}

TEST_F(ProfileFileTest, ReplacesTheFileWholeAndKeepsItsPermissions) {
  Put("[Options]\ndensity=4\n");
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ProfileFile p(path_);
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(p.WriteString("Options", "density", std::to_string(i)));
  EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir_.path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);  // no temporary file left behind
  EXPECT_EQ(p.GetInt("Options", "density", 0), 19);
}

TEST_F(ProfileFileTest, WritesThroughALinkToTheFileItNames) {
  const std::string real = dir_ / "real.ini";
  std::ofstream(real) << "[Options]\ndensity=4\n";
  fs::create_symlink(real, path_);
  ASSERT_TRUE(ProfileFile(path_).WriteString("Options", "density", "5"));
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_EQ(ProfileFile(real).GetInt("Options", "density", 0), 5);
}

// Whatever is at the path, the program starts at once with the defaults
// and leaves it as it is: a pipe nobody writes to, an endless device, a
// file too large to be settings; and an ordinary user's read-only file is
// read but never replaced.
TEST_F(ProfileFileTest, OnlyARegularFileOfSaneSizeIsReadAndOnlyAWritableOneReplaced) {
  alarm(20);  // a read that waits or never ends fails here instead of hanging
  ASSERT_EQ(mkfifo((dir_ / "fifo.ini").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", dir_ / "zero.ini");
  std::ofstream(dir_ / "big.ini") << "[Options]\ndensity=4\n";
  fs::resize_file(dir_ / "big.ini", ProfileFile::kMaxBytes + 1);
  for (const char* name : {"fifo.ini", "zero.ini", "big.ini"}) {
    ProfileFile p(dir_ / name);
    EXPECT_EQ(p.GetInt("Options", "density", 8), 8) << name;
    EXPECT_FALSE(p.WriteString("Options", "density", "9")) << name;
  }
  alarm(0);
  EXPECT_TRUE(fs::is_fifo(dir_ / "fifo.ini") && fs::is_symlink(dir_ / "zero.ini"));
  EXPECT_EQ(fs::file_size(dir_ / "big.ini"), ProfileFile::kMaxBytes + 1);
  Put("[Options]\ndensity=4\n");
  chmod(path_.c_str(), 0444);
  if (geteuid() == 0) {  // as nobody, in a folder nobody may write
    ASSERT_EQ(chown(dir_.path().c_str(), kNobodyUid, kNobodyGid), 0);
    ASSERT_EQ(chown(path_.c_str(), kNobodyUid, kNobodyGid), 0);
  }
  auto readThenWrite = [&] {
    ProfileFile p(path_);
    return p.GetInt("Options", "density", 8) * 10 + p.WriteString("Options", "density", "9");
  };
  EXPECT_EQ(RunInChild(readThenWrite, true), 40);
  EXPECT_EQ(Content(), "[Options]\ndensity=4\n");
}

// Held writes go to the file once, on top of what another instance wrote
// meanwhile; a temporary file the older writer left long ago goes.
TEST_F(ProfileFileTest, HeldWritesGoOutTogetherOverAnotherInstancesKeys) {
  const std::string stale = dir_ / "kelvora.ini.0123456789abcdef.tmp";
  std::ofstream(stale) << "x";
  const timespec old[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
  utimensat(AT_FDCWD, stale.c_str(), old, 0);
  Put("[Options]\ndensity=4\n");
  ProfileFile p(path_), other(path_);
  p.Hold();
  ASSERT_TRUE(p.WriteString("Position", "width", "800"));
  ASSERT_TRUE(p.WriteString("Options", "density", "7"));
  EXPECT_EQ(Content(), "[Options]\ndensity=4\n");
  ASSERT_TRUE(other.WriteString("RecentFiles", "1", "/a.wav"));
  ASSERT_TRUE(p.Release());
  EXPECT_EQ(Content(),
            "[Options]\ndensity=7\n\n[RecentFiles]\n1=/a.wav\n\n[Position]\nwidth=800\n");
  EXPECT_EQ(other.GetInt("Position", "width", 0), 800);
  EXPECT_FALSE(fs::exists(stale));
}

}  // namespace
}  // namespace kelvora
