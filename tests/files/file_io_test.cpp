#include "files/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "files/file_test_support.h"
#include "files/texts.h"
#include "test_support.h"

namespace kelvora {
namespace {

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(i * 7 + (i >> 8));
  return v;
}

TEST(FileReader, RandomSeeksAndReadsMatchTheFile) {
  TempDir dir;
  const std::vector<uint8_t> content = Pattern(200000);
  ASSERT_TRUE(WriteBytes(dir / "f.bin", content));
  FileReader r;
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

  int Save(const std::string& path, const std::vector<uint8_t>& bytes) {
    SafeFileWriter w;
    if (!w.Open(path)) return 0;
    w.Write(bytes.data(), bytes.size() / 2);
    w.Write(bytes.data() + bytes.size() / 2, bytes.size() - bytes.size() / 2);
    return w.Commit();
  }
  void ExpectWriteFailureShown(const std::string& path) {
    ASSERT_EQ(engine.ui().messages.size(), 1u);
    const ShownMessage& m = engine.ui().messages[0];
    EXPECT_EQ(m.caption, texts::kCaptionSave);
    EXPECT_EQ(m.text, "ファイルに書き込めませんでした\n" + path);
    EXPECT_EQ(m.icon, MsgIcon::kWarning);
  }
  static mode_t ModeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
  }
};

TEST_F(SafeWriterTest, NewFileUnderJapaneseNameGetsUmaskMode) {
  mode_t old = umask(027);
  const std::string path = dir / "新しい 音.wav";
  int ok = Save(path, Pattern(1000));
  umask(old);
  ASSERT_EQ(ok, 1);
  EXPECT_EQ(ReadBytes(path), Pattern(1000));
  EXPECT_EQ(ModeOf(path), 0640u);
  EXPECT_EQ(dir.List(), std::vector<std::string>{"新しい 音.wav"});
  EXPECT_TRUE(engine.ui().messages.empty());
}

TEST_F(SafeWriterTest, ReplacingKeepsModeAndFollowsSymbolicLinks) {
  const std::string real = dir / "real.wav";
  ASSERT_TRUE(WriteBytes(real, Pattern(10)));
  chmod(real.c_str(), 0604);
  ASSERT_EQ(symlink("real.wav", (dir / "link.wav").c_str()), 0);
  ASSERT_EQ(Save(dir / "link.wav", Pattern(3000)), 1);
  EXPECT_EQ(ReadBytes(real), Pattern(3000));
  EXPECT_EQ(ModeOf(real), 0604u);
  struct stat st;
  ASSERT_EQ(lstat((dir / "link.wav").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(dir.List().size(), 2u);
}

TEST_F(SafeWriterTest, UnwritablePlacesFailWithMessage) {
  // A directory where the file should go is left alone.
  ASSERT_EQ(mkdir((dir / "d.wav").c_str(), 0755), 0);
  ASSERT_TRUE(WriteBytes(dir / "d.wav/inside", Pattern(5)));
  EXPECT_EQ(Save(dir / "d.wav", Pattern(10)), 0);
  ExpectWriteFailureShown(dir / "d.wav");
  EXPECT_EQ(ReadBytes(dir / "d.wav/inside"), Pattern(5));
  engine.ui().messages.clear();

  // A path below a regular file.
  ASSERT_TRUE(WriteBytes(dir / "plain", Pattern(5)));
  EXPECT_EQ(Save(dir / "plain/a.wav", Pattern(10)), 0);
  ExpectWriteFailureShown(dir / "plain/a.wav");
}

TEST_F(SafeWriterTest, ReadOnlyFolderAndFileStayUntouched) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  const std::string path = dir / "old.wav";
  ASSERT_TRUE(WriteBytes(path, Pattern(10)));
  chmod(path.c_str(), 0444);
  EXPECT_EQ(Save(path, Pattern(20)), 0);  // the folder would allow a rename
  EXPECT_EQ(ReadBytes(path), Pattern(10));
  chmod(path.c_str(), 0644);
  chmod(dir.path().c_str(), 0555);
  engine.ui().messages.clear();
  EXPECT_EQ(Save(path, Pattern(20)), 0);
  ExpectWriteFailureShown(path);
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(ReadBytes(path), Pattern(10));
}

TEST_F(SafeWriterTest, AbandonedWriterRemovesItsTemporary) {
  {
    SafeFileWriter w;
    ASSERT_EQ(w.Open(dir / "x.wav"), 1);
    w.Write("abc", 3);
  }
  EXPECT_TRUE(dir.List().empty());
}

}  // namespace
}  // namespace kelvora
