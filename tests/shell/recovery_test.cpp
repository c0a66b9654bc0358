// Recovery copies on the headless platform. A crash is the folder renamed to
// a process that does not run and a fresh engine.
#include "shell/recovery.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <functional>

#include "audio/audio.h"
#include "document/busy.h"
#include "document/undo.h"
#include "files/file_test_support.h"
#include "files/load_support.h"
#include "files/open_save.h"
#include "files/recovery_folder.h"
#include "files/wav.h"
#include "platform/process_start.h"
#include "shell/main_window.h"
#include "shell/recovery_internal.h"
#include "shell/texts.h"
#include "test_support.h"

namespace kelvora {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kSavedAt = 1700000000;  // 2023/11/14 22:13:20 UTC
constexpr const char* kDeadFolder = "999999999-7";
// The rest after which a copy is due, and a turn of the event loop to make it.
constexpr int64_t kRest = 5010;

// A WAV file holding `bytes` bytes of silence (128) in format f.
std::string WavBytes(const SoundFormat& f, uint32_t bytes) {
  uint8_t header[kWavHeaderBytes];
  BuildWavHeader(header, f, bytes);
  return std::string(reinterpret_cast<char*>(header), sizeof header) + std::string(bytes, '\x80');
}

struct RecoveryTest : EngineFixture, ::testing::Test {
  RecoveryTest() {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    platform.system.stateFolder = tmp + "/state";
    platform.system.wallSeconds = kSavedAt;
    StartRecovery();
  }
  ~RecoveryTest() override { ResetRecoveryState(); }
  std::string Root() const { return tmp + "/state/kelvora/recovery"; }
  std::string Folder() const { return RecoveryPlaceOf().folder; }
  bool HasCopy() const { return fs::exists(Folder() + "/" + kRecoveryInfoName); }
  // The event loop running for `ms`, calling the tick at once and then
  // whenever it asked to be.
  void Pass(int64_t ms) {
    const int64_t end = platform.clock.now + ms;
    dueAt = platform.clock.now;
    while (dueAt <= end) {
      platform.clock.now = std::max(platform.clock.now, dueAt);
      dueAt = platform.clock.now + RecoveryTick(false);
    }
    platform.clock.now = end;
  }
  // The sound of the copy that document.txt names.
  std::vector<uint8_t> CopyOnDisk() {
    RecoveryInfo info;
    FileReader file;
    LoadedSound sound;
    if (!ParseRecoveryInfo(ReadText(Folder() + "/" + kRecoveryInfoName), &info) ||
        !file.Open(Folder() + "/" + info.sound) || !ReadSound(kWavReader, file, sound))
      return {};
    return std::vector<uint8_t>(sound.data.data(), sound.data.data() + sound.bytes);
  }
  // A stereo sound at `path` that Invert has changed in [400, 3600).
  std::vector<uint8_t> EditedSound(size_t bytes = 40000, const char* path = "/snd/voice.aiff") {
    SetDocument(MakeFormat(22050, 16, 2), Ramp(bytes));
    Doc().path = path;
    Doc().fileKind = kFileKindAiff;
    Doc().selStart = Doc().anchor = 400;
    Doc().selEnd = Doc().movingEnd = 3600;
    DispatchCommand(kCmdInvertPhase, kCodeMenu);
    return DocumentBytes();
  }
  // The process dies; the next one starts and is asked.
  void CrashAndRestart() {
    fs::rename(Folder(), Root() + "/" + kDeadFolder);
    ResetRecoveryState();
    StartEngine();
    ui().messages.clear();
    StartRecovery();
  }
  void Answer(int answer) {
    ui().answers.push_back(answer);
    OfferRecoveryAtStart();
  }
  TempDir dir;
  std::string tmp = dir.path();
  int64_t dueAt = 0;
};

TEST_F(RecoveryTest, CopyAfterRestRestoresPathKindSelectionWithEmptyUndo) {
  const std::vector<uint8_t> edited = EditedSound();
  Pass(4750);
  EXPECT_FALSE(fs::exists(Folder()));
  Pass(500);
  ASSERT_TRUE(HasCopy());
  for (const auto& [name, mode] :
       {std::pair{"", 0700u}, {"/document.txt", 0600u}, {"/copy-a.wav", 0600u}}) {
    struct stat st;
    ASSERT_EQ(::stat((Folder() + name).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, mode) << name;
  }

  CrashAndRestart();
  Answer(kIdYes);
  ASSERT_EQ(ui().messages.size(), 1u);
  EXPECT_EQ(ui().messages[0].text,
            "[/snd/voice.aiff]の復旧用コピー(2023/11/14 22:13:20)があります\n復元しますか?");
  EXPECT_EQ(std::tie(ui().messages[0].icon, ui().messages[0].buttons),
            std::make_tuple(MsgIcon::kQuestion, MsgButtons::kYesNoCancel));
  EXPECT_EQ(DocumentBytes(), edited);
  EXPECT_EQ(Doc().format, MakeFormat(22050, 16, 2));
  EXPECT_EQ(std::tie(Doc().path, Doc().fileKind, Doc().modified, Doc().selStart, Doc().selEnd,
                     Doc().anchor, Doc().movingEnd),
            std::make_tuple("/snd/voice.aiff", kFileKindAiff, true, 400, 3600, 400, 3600));
  EXPECT_EQ(Undo().length, 0);
  // A file named on the command line does not replace it unasked.
  ui().answers = {kIdCancel};
  EXPECT_EQ(OpenCommandLineFile(tmp + "/other.wav"), 0);
  EXPECT_EQ(DocumentBytes(), edited);
  // The copy is this process's own now, current as it is.
  EXPECT_TRUE(HasCopy());
  EXPECT_FALSE(fs::exists(Root() + "/" + kDeadFolder));
  // Not copied again while nothing changes; a new selection, even one
  // whose anchor alone moved, is described.
  for (auto [selStart, anchor, line] :
       {std::tuple{400, 3600, "selection=400 3600 3600 3600"}, {0, 0, "selection=0 3600 0 3600"}}) {
    Doc().selStart = selStart;
    Doc().anchor = anchor;
    Pass(10000);
    EXPECT_NE(ReadText(Folder() + "/" + kRecoveryInfoName).find(line), std::string::npos) << line;
  }
  EXPECT_FALSE(fs::exists(Folder() + "/" + kCopyNames[1]));
  EXPECT_EQ(CopyOnDisk(), edited);
  platform.background.runAtOnce = false;  // unchanged: not even described again
  Pass(10000);
  EXPECT_TRUE(platform.background.tasks.empty());
}

TEST_F(RecoveryTest, CopiesWaitForRestOrTheLongestWaitNeverWhileBusyOrUnmodified) {
  SetDocument(MakeFormat(8000, 8, 1), Ramp(8000));
  Pass(70000);
  EXPECT_FALSE(fs::exists(Folder()));  // nothing modified
  // Changes every two seconds: a copy after sixty seconds all the same.
  for (int i = 0; i < 29; ++i) {
    DispatchCommand(kCmdReverse, kCodeMenu);
    Pass(2000);
  }
  EXPECT_FALSE(HasCopy());
  DispatchCommand(kCmdReverse, kCodeMenu);
  Pass(2010);
  ASSERT_TRUE(HasCopy());
  const std::string first = ReadText(Folder() + "/" + kCopyNames[0]);
  // An operation that runs (and pumps events) holds every copy back.
  BeginBusy();
  DispatchCommand(kCmdReverse, kCodeAccelerator);  // dropped while busy
  Pass(70000);
  EXPECT_EQ(ReadText(Folder() + "/" + kCopyNames[0]), first);
  EXPECT_FALSE(fs::exists(Folder() + "/" + kCopyNames[1]));
  EndBusy();
  Pass(kRest);
  EXPECT_TRUE(fs::exists(Folder() + "/" + kCopyNames[1]));  // the next copy, in turn
  EXPECT_FALSE(fs::exists(Folder() + "/" + kCopyNames[0]));
}

TEST_F(RecoveryTest, SaveNewAndOpenRemoveTheCopyACleanEndRemovesTheFolder) {
  const std::string saved = tmp + "/voice.wav";
  // Each way the sound stops being modified, after an edit and its copy.
  const std::function<void()> ends[] = {
      [&] { ASSERT_EQ(SaveSoundFile(kFileKindWavPcm), 1); },
      [&] { DispatchCommand(kCmdNew, kCodeMenu); },   // not saved; the dialog's defaults
      [&] { EXPECT_EQ(OpenDroppedFile(saved), 1); },  // not saved
  };
  for (const auto& end : ends) {
    EditedSound(4000, saved.c_str());
    Doc().fileKind = kFileKindWavPcm;
    Pass(kRest);
    ASSERT_TRUE(HasCopy());
    ui().answers = {kIdNo};
    end();
    Pass(250);
    EXPECT_FALSE(fs::exists(Folder()));
  }
  DispatchCommand(kCmdReverse, kCodeMenu);
  Pass(kRest);
  ASSERT_TRUE(HasCopy());
  EndRecovery();
  EXPECT_FALSE(fs::exists(Folder()));
  EXPECT_TRUE(fs::exists(Root()));
}

// A change while the slices are handed over makes the copy stale: it is
// thrown away, and the next one holds the sound as it is, not a mix.
TEST_F(RecoveryTest, AStaleCopyIsAbandonedAndMadeAgain) {
  platform.background.runAtOnce = false;
  EditedSound(12 << 20);  // twelve slices, eight handed over at a time
  Pass(kRest);
  ASSERT_EQ(platform.background.tasks.size(), 9u);
  DispatchCommand(kCmdReverse, kCodeMenu);
  Pass(250);
  platform.background.RunPending();
  EXPECT_FALSE(fs::exists(Folder()));
  Pass(kRest);
  while (!platform.background.tasks.empty()) {
    platform.background.RunPending();
    Pass(10);
  }
  EXPECT_EQ(CopyOnDisk(), DocumentBytes());
}

// A copy that could not be described is said once and never replaces the good one.
TEST_F(RecoveryTest, AFailedCopyIsNotedAndNeverTakesThePlaceOfTheGoodOne) {
  const std::vector<uint8_t> first = EditedSound(4000);
  Pass(kRest);
  ASSERT_TRUE(HasCopy());
  const std::string info = Folder() + "/" + kRecoveryInfoName;
  platform.background.runAtOnce = false;
  for (int copy = 2; copy <= 3; ++copy) {
    DispatchCommand(copy == 2 ? kCmdReverse : kCmdInvertPhase, kCodeMenu);
    Pass(kRest);  // begin, one slice, in place, described
    ASSERT_EQ(platform.background.tasks.size(), 4u);
    platform.background.RunPending(3);
    if (copy == 3) break;
    fs::rename(info, info + ".kept");
    fs::create_directory(info);  // document.txt cannot be written
    platform.background.RunPending();
    fs::remove(info);
    fs::rename(info + ".kept", info);
    Pass(kRest);
    EXPECT_EQ(ui().status[3], texts::kRecoveryWriteFailed);
    EXPECT_TRUE(platform.background.tasks.empty());  // not again at once
  }
  platform.background.DropPending();
  CrashAndRestart();
  Answer(kIdYes);
  EXPECT_EQ(DocumentBytes(), first);
}

TEST_F(RecoveryTest, ARecordingIsKeptAsItComesInAndReplacedByACopyAtItsEnd) {
  SetDocument(MakeFormat(22050, 16, 2), Ramp(4000));
  platform.waveDevices.inputSource = {1, 2, 3, 4, 5};
  platform.dialogs.QueueFields(
      {{"rate", "8000"}, {"bits", "8"}, {"channels", "1"}, {"time", "10"}});
  DispatchCommand(kCmdRecord, kCodeMenu);
  ASSERT_TRUE(Recording().recording);
  const std::string wav = Folder() + "/" + kRecordingName;
  for (uint32_t counted : {5600u, 11200u}) {  // 700 ms at 8000 bytes a second
    platform.waveDevices.Advance(700);
    Pass(250);
    const std::string head = ReadText(wav) + std::string(kWavHeaderBytes, '\0');
    EXPECT_EQ(GetLe32(reinterpret_cast<const uint8_t*>(head.data()) + 40), counted);
  }
  EXPECT_NE(ReadText(Folder() + "/" + kRecoveryInfoName).find("sound=recording.wav"),
            std::string::npos);

  // Ends: copied at once, and the copy takes the recording's place.
  StopAudio();
  platform.waveDevices.Deliver();
  Pass(250);
  EXPECT_TRUE(fs::exists(Folder() + "/" + kCopyNames[0]));
  EXPECT_FALSE(fs::exists(wav));

  // Crashed while recording: all that had come in comes back, untitled.
  platform.dialogs.QueueFields(
      {{"rate", "8000"}, {"bits", "8"}, {"channels", "1"}, {"time", "10"}});
  ui().answers = {kIdNo};
  DispatchCommand(kCmdRecord, kCodeMenu);
  platform.waveDevices.Advance(1000);
  Pass(250);
  CrashAndRestart();
  Answer(kIdYes);
  EXPECT_EQ(Doc().length, 8000);
  EXPECT_EQ(Doc().format, MakeFormat(8000, 8, 1));
  EXPECT_EQ(Doc().bytes()[7999], 5);
  EXPECT_EQ(Doc().path, kUntitledPath);
  EXPECT_TRUE(Doc().modified);
}

TEST_F(RecoveryTest, NoRoomSkipsTheCopySaysSoOnceAndCopiesWhenRoomReturns) {
  EditedSound(4000);
  platform.system.freeBytes = 2 * (44 + 4000) - 1;
  Pass(kRest);
  EXPECT_FALSE(fs::exists(Folder()));
  EXPECT_EQ(ui().status[3], texts::kRecoveryNoSpace);
  ui().status[3].clear();
  Pass(70000);
  EXPECT_EQ(ui().status[3], "");
  EXPECT_FALSE(fs::exists(Folder()));
  platform.system.freeBytes = 2 * (44 + 4000);
  Pass(60000);
  EXPECT_TRUE(HasCopy());
  EXPECT_EQ(ui().messages.size(), 0u);  // never a box
}

TEST_F(RecoveryTest, SettingsSwitchCopiesOffAndSetTheRest) {
  platform.memoryProfile.WriteString("Options", "recovery", "0");
  StartRecovery();
  EditedSound(4000);
  Pass(70000);
  EXPECT_FALSE(fs::exists(Root()));
  platform.memoryProfile.WriteString("Options", "recovery", "1");
  platform.memoryProfile.WriteString("Options", "recoveryidle", "2");
  StartRecovery();
  DispatchCommand(kCmdReverse, kCodeMenu);
  Pass(1750);
  EXPECT_FALSE(HasCopy());
  Pass(260);
  EXPECT_TRUE(HasCopy());
}

// Broken copies are named and may be thrown away, and the start goes on:
// each row is one folder left by a crash, and the answers given.
TEST_F(RecoveryTest, UnreadableCopiesOfferDiscardAndNeverBlockTheStart) {
  const std::string good =
      FormatRecoveryInfo(RecoveryInfo{"copy-a.wav", "/snd/a.wav", kFileKindWavPcm,
                                      MakeFormat(8000, 8, 1), 100, 0, 0, 0, 0, kSavedAt});
  const std::string wav = WavBytes(MakeFormat(8000, 8, 1), 100);
  const std::string wrongFormat = WavBytes(MakeFormat(8000, 16, 1), 100);
  const std::string halfGood = good.substr(0, good.size() / 2);
  struct Row {
    const char* info;
    std::string sound;
    std::vector<int> answers;
    int boxes;
    bool kept;
  } rows[] = {
      {"garbage\n", wav, {kIdYes}, 1, false},
      {good.c_str(), wav.substr(0, 100), {kIdNo}, 1, true},   // truncated
      {good.c_str(), "", {kIdYes}, 1, false},                 // the WAV is missing
      {good.c_str(), wrongFormat, {kIdYes, kIdNo}, 2, true},  // found out on reading
      {halfGood.c_str(), wav, {kIdYes}, 1, false},
      {nullptr, "", {}, 0, false},  // nothing in it: removed unasked
  };
  for (const Row& row : rows) {
    const std::string dead = Root() + "/" + kDeadFolder;
    fs::create_directories(dead);
    if (row.info != nullptr) WriteText(dead + "/" + kRecoveryInfoName, row.info);
    if (!row.sound.empty()) WriteText(dead + "/copy-a.wav", row.sound);
    ui().messages.clear();
    ui().answers.assign(row.answers.begin(), row.answers.end());
    OfferRecoveryAtStart();
    EXPECT_EQ(static_cast<int>(ui().messages.size()), row.boxes) << row.info;
    if (row.boxes > 0) {
      EXPECT_EQ(ui().messages.back().text,
                "復旧用コピーを読み込めません\n" + dead + "\n破棄しますか?");
      EXPECT_EQ(ui().messages.back().icon, MsgIcon::kWarning);
    }
    EXPECT_EQ(fs::exists(dead), row.kept);
    EXPECT_EQ(Doc().length, 0);  // the start goes on with the empty sound
    fs::remove_all(Root());
  }
}

TEST_F(RecoveryTest, OfSeveralTheNewestIsOfferedTheOthersAndRunningOnesStay) {
  auto leave = [&](const std::string& folder, const char* path, int64_t savedAt) {
    fs::create_directories(folder);
    WriteText(folder + "/" + kRecoveryInfoName,
              FormatRecoveryInfo(RecoveryInfo{"copy-b.wav", path, 1, MakeFormat(8000, 8, 1), 0, 0,
                                              0, 0, 0, savedAt}));
    WriteText(folder + "/copy-b.wav", WavBytes(MakeFormat(8000, 8, 1), 0));
  };
  leave(Root() + "/999999991-1", "/old.wav", kSavedAt - 100);
  leave(Root() + "/999999992-1", "/new.wav", kSavedAt);
  leave(Folder(), "/running.wav", kSavedAt + 10);  // this process's own
  for (int answer : {kIdCancel, kIdNo}) {
    ui().messages.clear();
    Answer(answer);
    ASSERT_EQ(ui().messages.size(), 1u);
    EXPECT_NE(ui().messages[0].text.find("[/new.wav]"), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(Root() + "/999999992-1"));
  EXPECT_TRUE(fs::exists(Root() + "/999999991-1"));
  EXPECT_TRUE(fs::exists(Folder()));
  EXPECT_FALSE(Doc().modified);
}

TEST(RecoveryInfo, RoundTripsAnyPathAndRefusesWhatIsNotWhole) {
  RecoveryInfo info{
      "copy-b.wav", "/a\\b\nc\rd.wav", 0x101, MakeFormat(44100, 16, 2), 176400, 4, 8, 8, 4,
      1700000000};
  RecoveryInfo back;
  ASSERT_TRUE(ParseRecoveryInfo(FormatRecoveryInfo(info), &back));
  EXPECT_EQ(FormatRecoveryInfo(back), FormatRecoveryInfo(info));
  EXPECT_EQ(back.path, info.path);
  const std::string text = FormatRecoveryInfo(info);
  const std::pair<const char*, const char*> broken[] = {
      {"sound=copy-b.wav", "sound=../x.wav"},
      {"sound=copy-b.wav", "sound=.hidden"},
      {"kind=257", "kind=x"},
      {"bytes=176400", "bytes=-2"},
      {"format=1 2 44100", "format=1 0 44100"},
      {"selection=4 8 8 4", "selection=4 8 8"},
      {"kelvora recovery 1", "kelvora recovery 2"},
      {"saved=1700000000", "saved=1e9"},
      {"path=/a", "path=\\q"},
  };
  for (const auto& [from, to] : broken) {
    std::string bad = text;
    ASSERT_NE(bad.find(from), std::string::npos) << from;
    bad.replace(bad.find(from), std::strlen(from), to);
    EXPECT_FALSE(ParseRecoveryInfo(bad, &back)) << to;
  }
  EXPECT_FALSE(ParseRecoveryInfo(text.substr(0, text.find("saved=")), &back));
}

TEST(RecoveryFolders, ProcessNamesAndStartTimes) {
  int64_t pid = 0;
  uint64_t start = 0;
  EXPECT_TRUE(ParseProcessFolderName("123-0", &pid, &start));
  EXPECT_EQ(std::make_pair(pid, start), std::make_pair(int64_t{123}, uint64_t{0}));
  for (const char* bad : {"0-5", "12-", "-5", "12-05", "12-5x", "x"})
    EXPECT_FALSE(ParseProcessFolderName(bad, &pid, &start)) << bad;
  // The command name may hold blanks and parentheses; field 22 follows it.
  EXPECT_EQ(ParseProcessStart("42 (a) b (c) S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 777 19"),
            777u);
  EXPECT_EQ(ParseProcessStart("42 (a) S 1 2"), 0u);
  // Killed, not yet collected: its folder is left over, not in use.
  EXPECT_EQ(ParseProcessStart("42 (a) Z 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 777 19"), 0u);
  // A process id in use by a process that started at another time.
  const uint64_t mine = ParseProcessStart(ReadProcessStat(::getpid()));
  EXPECT_TRUE(ProcessStillRunning(::getpid(), mine, mine));
  EXPECT_FALSE(ProcessStillRunning(::getpid(), mine + 1, mine));
}

}  // namespace
}  // namespace kelvora
