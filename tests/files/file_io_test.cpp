#include "files/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "files/file_test_support.h"
#include "files/texts.h"
#include "test_support.h"

namespace kelvora {
namespace {

// The same reads from a file and from the same bytes in memory.
class FileReaderSource : public testing::TestWithParam<bool> {};

TEST_P(FileReaderSource, RandomSeeksAndReadsMatchTheBytes) {
  TempDir dir;
  const std::vector<uint8_t> content = Noise(200000, 1);
  ASSERT_TRUE(WriteBytes(dir / "f.bin", content));
  FileReader r;
  if (GetParam())
    r.OpenMemory(content.data(), content.size());
  else
    ASSERT_TRUE(r.Open(dir / "f.bin"));
  EXPECT_EQ(r.Size(), content.size());
  std::mt19937 rng(5);
  for (int i = 0; i < 3000; ++i) {
    // Mostly small reads near each other, some bulk reads, some past the end.
    uint64_t pos = rng() % 3 == 0 ? rng() % 210000 : (r.Position() + rng() % 40);
    size_t n = rng() % 10 == 0 ? rng() % 50000 : rng() % 24;
    r.Seek(pos);
    std::vector<uint8_t> got(n + 1, 0xEE);
    size_t count = r.Read(got.data(), n);
    size_t expect = pos >= content.size() ? 0 : std::min<uint64_t>(n, content.size() - pos);
    ASSERT_EQ(count, expect) << "pos " << pos << " n " << n;
    ASSERT_TRUE(std::equal(got.begin(), got.begin() + count, content.begin() + pos));
    ASSERT_EQ(got[count], 0xEE);
    ASSERT_EQ(r.Position(), pos + count);
  }
}

INSTANTIATE_TEST_SUITE_P(FileAndMemory, FileReaderSource, testing::Bool());

TEST(FileReader, RefusesWhatIsNotARegularFile) {
  TempDir dir;
  FileReader r;
  EXPECT_FALSE(r.Open(dir / "missing"));
  EXPECT_FALSE(r.Open(dir.path()));
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(r.Open(dir / "fifo"));  // and does not hang waiting for a writer
  EXPECT_FALSE(r.IsOpen());
}

class SafeWriterTest : public testing::Test {
protected:
  EngineFixture engine;
  TempDir dir;
  const std::vector<uint8_t> old_ = Noise(10, 2), new_ = Noise(3000, 3);

  int Save(const std::string& path) {
    SafeFileWriter w;
    if (!w.Open(path)) return 0;
    w.Write(new_.data(), 1000);
    w.Write(new_.data() + 1000, 2000);
    return w.Commit();
  }
  // The one message a failed save shows; it names the file.
  void ExpectFailureShown(const std::string& path) {
    ASSERT_EQ(engine.ui().messages.size(), 1u);
    EXPECT_EQ(engine.ui().messages[0].caption, texts::kCaptionSave);
    EXPECT_EQ(engine.ui().messages[0].text, "ファイルに書き込めませんでした\n" + path);
    engine.ui().messages.clear();
  }
  static mode_t ModeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
  }
};

TEST_F(SafeWriterTest, NewFilesGetTheUmaskModeAndAbandonedOnesVanish) {
  mode_t old = umask(027);
  const std::string path = dir / "新しい 音.wav";
  int ok = Save(path);
  umask(old);
  ASSERT_EQ(ok, 1);
  EXPECT_EQ(ReadBytes(path), new_);
  EXPECT_EQ(ModeOf(path), 0640u);
  {
    SafeFileWriter w;
    ASSERT_EQ(w.Open(dir / "x.wav"), 1);
    w.Write("abc", 3);
  }
  EXPECT_EQ(dir.List(), std::vector<std::string>{"新しい 音.wav"});
  EXPECT_TRUE(engine.ui().messages.empty());
}

TEST_F(SafeWriterTest, ReplacingKeepsModeAndFollowsSymbolicLinks) {
  const std::string real = dir / "real.wav";
  ASSERT_TRUE(WriteBytes(real, old_));
  chmod(real.c_str(), 0604);
  ASSERT_EQ(symlink("real.wav", (dir / "link.wav").c_str()), 0);
  ASSERT_EQ(Save(dir / "link.wav"), 1);
  EXPECT_EQ(ReadBytes(real), new_);
  EXPECT_EQ(ModeOf(real), 0604u);
  struct stat st;
  ASSERT_EQ(lstat((dir / "link.wav").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(dir.List().size(), 2u);
}

TEST_F(SafeWriterTest, UnwritablePlacesFailWithTheMessageAndKeepWhatIsThere) {
  // A directory where the file should go, and a path below a regular file.
  ASSERT_EQ(mkdir((dir / "d.wav").c_str(), 0755), 0);
  ASSERT_TRUE(WriteBytes(dir / "d.wav/inside", old_));
  EXPECT_EQ(Save(dir / "d.wav"), 0);
  ExpectFailureShown(dir / "d.wav");
  EXPECT_EQ(ReadBytes(dir / "d.wav/inside"), old_);
  EXPECT_EQ(Save(dir / "d.wav/inside/a.wav"), 0);
  ExpectFailureShown(dir / "d.wav/inside/a.wav");
  if (geteuid() == 0) return;  // permissions do not bind root
  // A read-only file, though the folder would allow a rename, and a
  // read-only folder.
  const std::string path = dir / "old.wav";
  ASSERT_TRUE(WriteBytes(path, old_));
  chmod(path.c_str(), 0444);
  EXPECT_EQ(Save(path), 0);
  chmod(path.c_str(), 0644);
  chmod(dir.path().c_str(), 0555);
  engine.ui().messages.clear();
  EXPECT_EQ(Save(path), 0);
  ExpectFailureShown(path);
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(ReadBytes(path), old_);
}

}  // namespace
}  // namespace kelvora
