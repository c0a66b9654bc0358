#include "files/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <ctime>
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

class SafeWriterTest : public testing::Test {
protected:
  EngineFixture engine;
  TempDir dir;
  const std::vector<uint8_t> old_ = Noise(10, 2), new_ = Noise(3000, 3);

  SafeWriterTest() {
    // Children that run as nobody work in this folder.
    if (geteuid() == 0) {
      EXPECT_EQ(chown(dir.path().c_str(), kNobodyUid, kNobodyGid), 0);
    }
  }
  ~SafeWriterTest() override { SafeFileWriter::SetTestNamedTemporary(false); }

  int Save(const std::string& path) {
    SafeFileWriter w;
    if (!w.Open(path)) return 0;
    w.Write(new_.data(), 1000);
    w.Write(new_.data() + 1000, 2000);
    return w.Commit();
  }
  // The one message a failed save shows: the file, and why.
  std::string Failure(const std::string& path, const std::string& reason) {
    return "ファイルに書き込めませんでした\n" + path + "\n" + reason;
  }
  std::string OnlyMessage() {
    const auto& m = engine.ui().messages;
    std::string text = m.size() == 1 && m[0].caption == texts::kCaptionSave ? m[0].text : "?";
    engine.ui().messages.clear();
    return text;
  }
  static struct stat StatOf(const std::string& path) {
    struct stat st = {};
    lstat(path.c_str(), &st);
    return st;
  }
  static mode_t ModeOf(const std::string& path) { return StatOf(path).st_mode & 07777; }
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> names;
    for (const std::string& n : dir.List())
      if (n.rfind(".kelvora-", 0) == 0) names.push_back(n);
    return names;
  }
};

TEST_F(SafeWriterTest, NewFilesGetTheUmaskModeAndAbandonedOnesVanish) {
  for (bool named : {false, true}) {
    SafeFileWriter::SetTestNamedTemporary(named);
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
    std::remove(path.c_str());
  }
}

// Another user watching the folder must never find the new content in a
// file that is more readable than the one it replaces.
TEST_F(SafeWriterTest, TemporaryFileIsPrivateBeforeItsFirstByte) {
  SafeFileWriter::SetTestNamedTemporary(true);
  const std::string kept = dir / "secret.wav";
  ASSERT_TRUE(WriteBytes(kept, old_));
  chmod(kept.c_str(), 0600);
  for (const std::string& path : {dir / "new.wav", kept}) {
    SafeFileWriter w;
    ASSERT_EQ(w.Open(path), 1);
    const std::vector<std::string> temps = Temporaries();
    ASSERT_EQ(temps.size(), 1u);
    EXPECT_EQ(ModeOf(dir / temps[0]), 0600u) << path;
    ASSERT_EQ(w.Write(new_.data(), new_.size()), 1);
    ASSERT_EQ(w.Commit(), 1);
  }
  EXPECT_EQ(ModeOf(dir / "new.wav"), 0666u & ~0022u);
  EXPECT_EQ(ModeOf(kept), 0600u);
  EXPECT_EQ(ReadBytes(kept), new_);
}

TEST_F(SafeWriterTest, ReplacingKeepsModeAttributesAndFollowsSymbolicLinks) {
  const std::string real = dir / "real.wav";
  ASSERT_TRUE(WriteBytes(real, old_));
  chmod(real.c_str(), 0604);
  const bool xattrs = setxattr(real.c_str(), "user.kelvora", "abc", 3, 0) == 0;
  ASSERT_EQ(symlink("real.wav", (dir / "link.wav").c_str()), 0);
  const ino_t before = StatOf(real).st_ino;
  ASSERT_EQ(Save(dir / "link.wav"), 1);
  EXPECT_EQ(ReadBytes(real), new_);
  EXPECT_NE(StatOf(real).st_ino, before);  // replaced whole, not rewritten
  EXPECT_EQ(ModeOf(real), 0604u);
  EXPECT_TRUE(S_ISLNK(StatOf(dir / "link.wav").st_mode));
  EXPECT_EQ(dir.List().size(), 2u);
  if (!xattrs) GTEST_SKIP() << "this file system keeps no user attributes";
  char value[8] = {};
  EXPECT_EQ(getxattr(real.c_str(), "user.kelvora", value, sizeof value), 3);
  EXPECT_STREQ(value, "abc");
}

TEST_F(SafeWriterTest, HardLinkedFileIsRewrittenForEveryNameAndSurvivesAFullDisk) {
  const std::string a = dir / "a.wav", b = dir / "b.wav";
  ASSERT_TRUE(WriteBytes(a, old_));
  ASSERT_EQ(link(a.c_str(), b.c_str()), 0);
  {
    FileSizeLimit limit(1000);
    EXPECT_EQ(Save(a), 0);
  }
  EXPECT_EQ(OnlyMessage(), Failure(a, std::strerror(EFBIG)));
  EXPECT_EQ(ReadBytes(b), old_);
  ASSERT_EQ(Save(a), 1);
  EXPECT_EQ(ReadBytes(b), new_);
  EXPECT_EQ(StatOf(a).st_ino, StatOf(b).st_ino);
  EXPECT_EQ(dir.List().size(), 2u);
}

TEST_F(SafeWriterTest, KilledSaveLeavesTheOldFileAndNothingElse) {
  const std::string path = dir / "old.wav";
  ASSERT_TRUE(WriteBytes(path, old_));
  EXPECT_EQ(RunInChild([&] {
              SafeFileWriter w;
              w.Open(path);
              w.Write(new_.data(), new_.size());
              raise(SIGKILL);
              return 0;
            }),
            -1);
  EXPECT_EQ(ReadBytes(path), old_);
  EXPECT_EQ(dir.List(), std::vector<std::string>{"old.wav"});
}

TEST_F(SafeWriterTest, StaleTemporariesOfEndedProcessesGoOnTheNextSave) {
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_GT(gone, 0);
  waitpid(gone, nullptr, 0);
  auto temp = [&](long pid, int age) {
    const std::string name = ".kelvora-" + std::to_string(pid) + "-0.tmp";
    EXPECT_TRUE(WriteBytes(dir / name, old_));
    const timespec times[2] = {{time(nullptr) - age, 0}, {time(nullptr) - age, 0}};
    utimensat(AT_FDCWD, (dir / name).c_str(), times, 0);
    return name;
  };
  temp(gone, 3600);
  const std::vector<std::string> kept = {temp(gone, 0), temp(getppid(), 3600), ".kelvora-x.tmp"};
  ASSERT_TRUE(WriteBytes(dir / kept[2], old_));
  ASSERT_EQ(Save(dir / "a.wav"), 1);
  std::vector<std::string> left = Temporaries();
  std::sort(left.begin(), left.end());
  std::vector<std::string> expect = kept;
  std::sort(expect.begin(), expect.end());
  EXPECT_EQ(left, expect);
}

// Each target that is not a writable regular file is refused with its
// reason and left as it was. The checks run as an unprivileged user: as
// root a wrong rename would replace a system device.
TEST_F(SafeWriterTest, TargetsThatCannotBeReplacedAreRefusedWithTheReason) {
  ASSERT_EQ(mkfifo((dir / "fifo.wav").c_str(), 0666), 0);
  ASSERT_EQ(symlink("/dev/null", (dir / "device.wav").c_str()), 0);
  ASSERT_EQ(symlink("nowhere.wav", (dir / "dangling.wav").c_str()), 0);
  ASSERT_EQ(symlink("loop.wav", (dir / "loop.wav").c_str()), 0);
  ASSERT_EQ(mkdir((dir / "d.wav").c_str(), 0777), 0);
  ASSERT_TRUE(WriteBytes(dir / "file", old_));
  ASSERT_TRUE(WriteBytes(dir / "readonly.wav", old_));
  chmod((dir / "readonly.wav").c_str(), 0444);
  for (const std::string name :
       {"fifo.wav", "device.wav", "dangling.wav", "d.wav", "file", "readonly.wav"})
    if (geteuid() == 0) lchown((dir / name).c_str(), kNobodyUid, kNobodyGid);
  const std::pair<std::string, std::string> cases[] = {
      {"fifo.wav", texts::kNotRegularFile},    {"device.wav", texts::kNotRegularFile},
      {"dangling.wav", texts::kDanglingLink},  {"loop.wav", std::strerror(ELOOP)},
      {"d.wav", std::strerror(EISDIR)},        {"file/a.wav", std::strerror(ENOTDIR)},
      {"readonly.wav", std::strerror(EACCES)},
  };
  for (const auto& [name, reason] : cases) {
    const std::string path = dir / name;
    EXPECT_EQ(
        RunInChild([&] { return Save(path) == 0 && OnlyMessage() == Failure(path, reason); }, true),
        1)
        << name;
  }
  EXPECT_TRUE(S_ISFIFO(StatOf(dir / "fifo.wav").st_mode));
  for (const char* link : {"device.wav", "dangling.wav", "loop.wav"})
    EXPECT_TRUE(S_ISLNK(StatOf(dir / link).st_mode)) << link;
  EXPECT_EQ(ReadBytes(dir / "readonly.wav"), old_);
  EXPECT_EQ(access("/dev/null", W_OK), 0);
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(SafeWriterTest, WritableFileInAReadOnlyFolderIsRewrittenInPlace) {
  const std::string path = dir / "old.wav";
  ASSERT_TRUE(WriteBytes(path, old_));
  if (geteuid() == 0) {
    ASSERT_EQ(chown(path.c_str(), kNobodyUid, kNobodyGid), 0);
  }
  chmod(dir.path().c_str(), 0555);
  EXPECT_EQ(RunInChild([&] { return Save(path); }, true), 1);
  EXPECT_EQ(RunInChild([&] { return Save(dir / "new.wav"); }, true), 0);
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(ReadBytes(path), new_);
  EXPECT_EQ(dir.List(), std::vector<std::string>{"old.wav"});
}

TEST_F(SafeWriterTest, OwnerAndGroupSurviveASaveByAnotherUser) {
  if (geteuid() != 0) GTEST_SKIP() << "giving files to other users needs root";
  constexpr gid_t kUsers = 100;
  // Root saves over a user's private file: it stays that user's.
  const std::string mine = dir / "user.wav", shared = dir / "shared.wav";
  ASSERT_TRUE(WriteBytes(mine, old_));
  ASSERT_EQ(chown(mine.c_str(), kNobodyUid, kUsers), 0);
  chmod(mine.c_str(), 0640);
  ASSERT_EQ(Save(mine), 1);
  EXPECT_EQ(StatOf(mine).st_uid, kNobodyUid);
  EXPECT_EQ(StatOf(mine).st_gid, kUsers);
  EXPECT_EQ(ModeOf(mine), 0640u);
  // A member of the group saves over root's group-writable file: root and
  // the group keep it.
  ASSERT_TRUE(WriteBytes(shared, old_));
  ASSERT_EQ(chown(shared.c_str(), 0, kUsers), 0);
  chmod(shared.c_str(), 0664);
  EXPECT_EQ(RunInChild([&] { return Save(shared); }, true, {kUsers}), 1);
  EXPECT_EQ(ReadBytes(shared), new_);
  EXPECT_EQ(StatOf(shared).st_uid, 0u);
  EXPECT_EQ(StatOf(shared).st_gid, kUsers);
  EXPECT_EQ(ModeOf(shared), 0664u);
  EXPECT_TRUE(Temporaries().empty());
}

}  // namespace
}  // namespace kelvora
