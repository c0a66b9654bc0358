#include "files/open_save.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "document/undo.h"
#include "files/file_test_support.h"
#include "files/file_types.h"
#include "files/recent_files.h"
#include "files/texts.h"
#include "shell/settings.h"
#include "test_support.h"

namespace kelvora {
namespace {

class OpenSaveTest : public testing::Test {
protected:
  EngineFixture engine;
  TempDir dir;
  HeadlessFileDialogs& dialogs() { return engine.platform.fileDialogs; }
  std::vector<std::string> Recent() {
    std::vector<std::string> r;
    for (int n = 1; n <= kRecentFileCount; ++n) r.push_back(RecentFile(n));
    return r;
  }
};

struct Route {
  const char* name;
  int kind;  // after opening; 0 when the name is refused
};

class OpenRoute : public OpenSaveTest, public testing::WithParamInterface<Route> {};

TEST_P(OpenRoute, ExtensionPicksTheReader) {
  const std::string path = dir / GetParam().name;
  const int kind = GetParam().kind;
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({100, -100}));
  Doc().path = path;
  ASSERT_EQ(SaveSoundFile(kind ? kind : kFileKindWavPcm), 1);
  SetDocument(MakeFormat(22050, 8, 2), {1, 2, 3, 4});  // the sound open before
  Doc().path = "/before.wav";
  Doc().fileKind = kFileKindWavMuLaw;
  EXPECT_EQ(OpenSoundFile(path), kind ? 1 : 0);
  EXPECT_EQ(LastDirectory(), dir.path());
  if (kind) {
    EXPECT_EQ(Doc().fileKind, kind);
    EXPECT_EQ(Doc().path, path);
    EXPECT_EQ(Doc().length, 4);
    SwapUndo();  // undo brings back the sound before
    EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{1, 2, 3, 4}));
  } else {
    EXPECT_EQ(engine.ui().messages.at(0).text, texts::kUnsupportedExtension);
    // Still the sound from before with its own file: a Save now must not
    // write it over the file that was refused.
    EXPECT_EQ(Doc().path, "/before.wav");
    EXPECT_EQ(Doc().fileKind, kFileKindWavMuLaw);
  }
}

INSTANTIATE_TEST_SUITE_P(Names, OpenRoute,
                         testing::Values(Route{"a.WAV", kFileKindWavPcm},
                                         Route{"m.wav", kFileKindWavMuLaw},
                                         Route{"音 声 b.aif", kFileKindAiff},
                                         Route{"b.AIFF", kFileKindAiff}, Route{"c.Au", kFileKindAu},
                                         Route{"d.xyz", 0}, Route{"sound", 0}));

// A file that cannot be opened says so with its name and the reason, and
// leaves the open sound with its own path and kind, so Save still writes it
// to its own file in its own format. Returns the message shown.
std::string OpenUnreadable(const std::string& path) {
  SetDocument(MakeFormat(22050, 8, 2), {1, 2, 3, 4});
  Doc().path = "/before.wav";
  Doc().fileKind = kFileKindWavMuLaw;
  Services().ui->SetStatusText(0, "");
  if (OpenSoundFile(path) != 0) return "opened";
  if (Doc().path != "/before.wav" || Doc().fileKind != kFileKindWavMuLaw ||
      DocumentBytes() != std::vector<uint8_t>{1, 2, 3, 4})
    return "document changed";
  const HeadlessUi& ui = static_cast<HeadlessUi&>(*Services().ui);
  if (ui.messages.size() != 1) return "messages: " + std::to_string(ui.messages.size());
  const ShownMessage& m = ui.messages[0];
  if (m.caption != texts::kCaptionOpenFile || m.icon != MsgIcon::kWarning) return "caption";
  return m.text;
}

TEST_F(OpenSaveTest, AFileThatCannotBeOpenedIsReportedWithItsNameAndReason) {
  std::filesystem::create_directory(dir / "folder.wav");
  ASSERT_EQ(mkfifo((dir / "fifo.wav").c_str(), 0600), 0);
  const std::pair<std::string, const char*> cases[] = {
      {dir / "missing.aiff", texts::kFileNotFound},
      {dir / "folder.wav", texts::kNotARegularFile},
      {dir / "fifo.wav", texts::kNotARegularFile},  // and no wait for a writer
  };
  for (const auto& [path, reason] : cases) {
    engine.ui().messages.clear();
    EXPECT_EQ(OpenUnreadable(path), "[" + path + "]を開けません\n" + reason);
  }
}

TEST_F(OpenSaveTest, AFileWithoutReadPermissionIsReportedAsSuch) {
  const std::string path = dir / "locked.wav";
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({1, 2}));
  Doc().path = path;
  ASSERT_EQ(SaveSoundFile(kFileKindWavPcm), 1);
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  const std::string expected = "[" + path + "]を開けません\n" + texts::kNoReadPermission;
  // Root reads everything: as root, the check runs as the unprivileged user.
  EXPECT_EQ(RunInChild([&] { return OpenUnreadable(path) == expected ? 1 : 0; }, true), 1)
      << "another message than: " << expected;
}

// Layouts the program only holds load and save back unchanged, said once (with
// whether conversion takes them); 8- and 16-bit sounds of any layout say nothing.
TEST_F(OpenSaveTest, LayoutsThatCannotBeShownAreLoadedAsTheyAreWithOneNotice) {
  struct Case {
    uint32_t rate;
    int bits, channels;
    const char* notice;  // null: an ordinary layout, nothing said
  };
  const Case cases[] = {
      {44100, 24, 2,
       "このサンプル形式(44100Hz 24Bits "
       "2ch)は波形の表示も、再生・エフェクト・生成・貼り付け・ミックスも"
       "できません\n[ファイル]-[フォーマット変換]で8ビットか16ビットに形式変換すると編集できます\n"
       "同じ形式で保存すると元のデータのまま書き戻されます"},
      {48000, 32, 1,
       "このサンプル形式(48000Hz 32Bits "
       "1ch)は波形の表示も、再生・エフェクト・生成・貼り付け・ミックスも、"
       "形式変換もできません\n同じ形式で保存すると元のデータのまま書き戻されます"},
      {0, 16, 1, nullptr},
      {8000, 16, 5, nullptr},
      {8000, 8, 2, nullptr},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> data = Noise(size_t(c.bits / 8 * c.channels * 6), 7);
    const std::string in = dir / "in.wav", out = dir / "out.wav";
    ASSERT_TRUE(WriteBytes(in, Image()
                                   .Riff(uint32_t(4 + 24 + 8 + data.size()))
                                   .Pcm(c.rate, c.bits, c.channels)
                                   .Data(data)));
    engine.ui().messages.clear();
    ASSERT_EQ(OpenSoundFile(in), 1) << c.bits;
    std::vector<std::string> said;
    for (const ShownMessage& m : engine.ui().messages) {
      EXPECT_EQ(m.icon, MsgIcon::kInformation);
      said.push_back(m.text);
    }
    EXPECT_EQ(said, c.notice ? std::vector<std::string>{c.notice} : std::vector<std::string>{});
    EXPECT_EQ(DocumentBytes(), data);
    Doc().path = out;
    ASSERT_EQ(SaveSoundFile(kFileKindWavPcm), 1);
    EXPECT_EQ(ReadBytes(out), ReadBytes(in)) << c.bits << " bits, " << c.channels << " channels";
  }
}

TEST_F(OpenSaveTest, RecentListOrderAndTheOpenDialog) {
  for (const char* p :
       {"/a.wav", "/b.wav", "/c.wav", "/d.wav", "/e.wav", "/f.wav", "/c.wav", "/g.wav"})
    AddRecentFile(p);
  EXPECT_EQ(Recent(),
            (std::vector<std::string>{"/g.wav", "/c.wav", "/f.wav", "/e.wav", "/d.wav", "/b.wav"}));
  LastDirectory() = "/start";
  Doc().fileKind = kFileKindAiff;
  dialogs().Cancel();
  EXPECT_EQ(DispatchCommand(kCmdOpen, kCodeAccelerator), true);
  const HeadlessFileDialogs::Call& c = dialogs().calls.at(0);
  EXPECT_EQ(c.directory, "/start");
  EXPECT_EQ(c.filter, 0);  // every sound file, whatever was open before
  std::vector<std::string> labels;
  for (const FileFilter& f : c.filters) labels.push_back(f.label + "|" + f.patterns);
  EXPECT_EQ(
      labels,
      (std::vector<std::string>{
          "サウンドファイル (*.wav *.aif *.aiff *.au *.flac *.ogg *.oga *.opus *.mp3 *.w64 *.rf64 "
          "*.caf *.aifc)|" +
              ReadablePatterns(),
          ".WAV File (*.wav)|*.wav", ".AU File (*.au)|*.au", "AIF File (*.aif;*.aiff)|*.aif;*.aiff",
          "その他のサウンドファイル (" + ReadablePatterns(true) + ")|" + ReadablePatterns(true),
          "ALL (*.*)|*.*"}));
  // A file that then fails to load is listed all the same; recent items
  // open through the command dispatch.
  dialogs().Answer(dir / "missing.wav");
  EXPECT_EQ(ShowOpenDialog(), 0);
  EXPECT_EQ(Recent()[0], dir / "missing.wav");
  DispatchCommand(kCmdRecentFirst + 2, kCodeMenu);
  EXPECT_EQ(Recent()[0], "/c.wav");
  EXPECT_EQ(LastDirectory(), "/");
}

TEST_F(OpenSaveTest, DialogsStartInTheFolderOfTheFileOpenedLast) {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(DialogDirectoryOf("/x.wav", "old"), "/");
  EXPECT_EQ(DialogDirectoryOf("sub dir/x.wav", "old"), std::string(cwd) + "/sub dir");
  EXPECT_EQ(OpenSoundFile(".au"), 0);  // a bare ".au" is no AU file
  EXPECT_EQ(engine.ui().messages.at(0).text, texts::kUnsupportedExtension);
}

struct Typed {
  int filter;
  const char* typed;
  const char* written;
  int kind;
};

class SaveAsName : public OpenSaveTest, public testing::WithParamInterface<Typed> {};

TEST_P(SaveAsName, ExtensionOfTheFilterIsAppended) {
  const Typed& t = GetParam();
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({5, 6}));
  Doc().path = "/snd/current.au";
  Doc().fileKind = kFileKindAu;
  dialogs().Answer(dir / t.typed, t.filter);
  ASSERT_EQ(SaveSoundFileAs(), 1);
  const HeadlessFileDialogs::Call& c = dialogs().calls.at(0);
  EXPECT_EQ(c.name, "/snd/current.au");
  EXPECT_EQ(c.filter, 2);  // preselected by the kind
  EXPECT_EQ(dir.List(), std::vector<std::string>{t.written});
  EXPECT_EQ(Doc().path, dir / t.written);
  EXPECT_EQ(Doc().fileKind, t.kind);
  EXPECT_EQ(Recent()[0], dir / t.written);
  EXPECT_EQ(engine.ui().title, "Kelvora -[" + (dir / t.written) + "]");
  EXPECT_EQ(ReadBytes(dir / t.written).at(20) == 7, t.kind == kFileKindWavMuLaw);
}

INSTANTIATE_TEST_SUITE_P(Names, SaveAsName,
                         testing::Values(Typed{1, "voice", "voice.wav", kFileKindWavMuLaw},
                                         Typed{0, "pcm.WAV", "pcm.WAV", kFileKindWavPcm},
                                         Typed{-1, "x", "x.au", kFileKindAu},
                                         Typed{3, "keep.aif", "keep.aif", kFileKindAiff},
                                         Typed{3, "was.wav", "was.wav.aiff", kFileKindAiff}));

TEST_F(OpenSaveTest, SaveQuestions) {
  // An appended extension that names an existing file is asked about.
  ASSERT_TRUE(WriteBytes(dir / "take.wav", {1, 2, 3}));
  SetDocument(MakeFormat(8000, 8, 1), {9, 9});
  Doc().path = "/old.wav";
  dialogs().Answer(dir / "take", 0);
  engine.ui().answers.push_back(kIdNo);
  EXPECT_EQ(SaveSoundFileAs(), 0);
  EXPECT_EQ(engine.ui().messages.at(0).text,
            (dir / "take.wav") + " は既に存在します。\n上書きしますか?");
  EXPECT_EQ(ReadBytes(dir / "take.wav").size(), 3u);
  EXPECT_EQ(Doc().path, "/old.wav");
  // An empty sound is asked about; an untitled one goes to Save As.
  SetDocument(MakeFormat(8000, 8, 1), {});
  Doc().path = dir / "empty.wav";
  engine.ui().answers.push_back(kIdNo);
  EXPECT_EQ(SaveSoundFile(kFileKindWavPcm), 0);
  EXPECT_EQ(engine.ui().messages.at(1).text, "データがありませんが、保存してよろしいですか");
  EXPECT_EQ(dir.List(), std::vector<std::string>{"take.wav"});
  Doc().path = "無題";
  EXPECT_EQ(SaveSoundFile(kFileKindWavPcm), 0);  // Yes, then the dialog cancelled
  EXPECT_EQ(dialogs().calls.at(1).name, "無題");
}

// Undo across an open brings back path, kind and unsaved edit; Save writes that file.
TEST_F(OpenSaveTest, UndoAcrossAnOpenExchangesPathKindAndModifiedFlag) {
  const std::string a = dir / "a.wav", b = dir / "b.aiff";
  SetDocument(MakeFormat(8000, 16, 2), Pcm16({1, 2, 3, 4}));
  Doc().path = b;
  ASSERT_EQ(SaveSoundFile(kFileKindAiff), 1);
  Doc().path = a;
  ASSERT_EQ(SaveSoundFile(kFileKindWavMuLaw), 1);
  const std::vector<uint8_t> aBefore = ReadBytes(a), bBefore = ReadBytes(b);
  ASSERT_EQ(OpenSoundFile(a), 1);
  Doc().bytes()[1] ^= 0x40;  // an edit not saved yet
  Doc().modified = true;
  ASSERT_EQ(OpenSoundFile(b), 1);
  DispatchCommand(kCmdUndo, kCodeAccelerator);
  EXPECT_EQ(std::tie(Doc().path, Doc().fileKind, Doc().modified),
            std::make_tuple(a, int32_t{kFileKindWavMuLaw}, true));
  EXPECT_EQ(engine.ui().title, "Kelvora -[" + a + "]");
  SaveCommand();
  EXPECT_EQ(ReadBytes(b), bBefore);
  EXPECT_NE(ReadBytes(a), aBefore);                // the edit,
  EXPECT_EQ(ReadBytes(a).size(), aBefore.size());  // in mu-law still
  SwapUndo();                                      // redo
  EXPECT_EQ(std::tie(Doc().path, Doc().fileKind, Doc().modified),
            std::make_tuple(b, int32_t{kFileKindAiff}, false));
  EXPECT_EQ(engine.ui().title, "Kelvora -[" + b + "]");
}

TEST_F(OpenSaveTest, NewMakesAnEmptySoundInTheChosenFormat) {
  SetDocument(MakeFormat(44100, 8, 2), {1, 2, 3, 4});
  Doc().path = "/kept/kind.au";
  Doc().fileKind = kFileKindAu;
  Doc().selEnd = Doc().movingEnd = Doc().viewStart = 2;
  engine.platform.dialogs.QueueFields({{"rate", "11025"}, {"channels", "2"}});
  EXPECT_TRUE(DispatchCommand(kCmdNew, kCodeAccelerator));
  EXPECT_EQ(engine.platform.dialogs.shown.back(), 122);
  EXPECT_EQ(Doc().format, MakeFormat(11025, 8, 2));  // bits from the sound before
  EXPECT_EQ(Doc().path, "無題");
  EXPECT_EQ(Doc().fileKind, kFileKindAu);
  EXPECT_FALSE(Doc().modified);
  // The channel choice is remembered; Cancel changes nothing; undo goes back.
  engine.platform.dialogs.QueueFields({{"bits", "16"}});
  NewSoundDocument();
  EXPECT_EQ(Doc().format, MakeFormat(11025, 16, 2));
  engine.platform.dialogs.QueueActions([](HeadlessDialogWindow& w) { w.Click(101); }, 2);
  NewSoundDocument();
  EXPECT_EQ(Doc().format, MakeFormat(11025, 16, 2));
  SwapUndo();
  EXPECT_EQ(Doc().format, MakeFormat(11025, 8, 2));
}

}  // namespace
}  // namespace kelvora
