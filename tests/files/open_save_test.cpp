#include "files/open_save.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "document/undo.h"
#include "files/file_test_support.h"
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
                                         Route{"d.mp3", 0}, Route{"sound", 0}));

TEST_F(OpenSaveTest, AFileThatCannotBeReadLeavesPathAndKindOfTheOpenSound) {
  SetDocument(MakeFormat(22050, 8, 2), {1, 2, 3, 4});
  Doc().path = "/before.wav";
  Doc().fileKind = kFileKindWavMuLaw;
  EXPECT_EQ(OpenSoundFile(dir / "missing.aiff"), 0);
  EXPECT_TRUE(engine.ui().messages.empty());
  // Save must still write this sound to its own file, as mu-law WAV.
  EXPECT_EQ(Doc().path, "/before.wav");
  EXPECT_EQ(Doc().fileKind, kFileKindWavMuLaw);
  EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{1, 2, 3, 4}));
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
  EXPECT_EQ(c.filter, 2);
  std::vector<std::string> labels;
  for (const FileFilter& f : c.filters) labels.push_back(f.label + "|" + f.patterns);
  EXPECT_EQ(labels,
            (std::vector<std::string>{".WAV File (*.wav)|*.wav", ".AU File (*.au)|*.au",
                                      "AIF File (*.aif;*.aiff)|*.aif;*.aiff", "ALL (*.*)|*.*"}));
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
  engine.platform.dialogs.QueueFields({{"rate", "8000"}}, 2);
  NewSoundDocument();
  EXPECT_EQ(Doc().format, MakeFormat(11025, 16, 2));
  SwapUndo();
  EXPECT_EQ(Doc().format, MakeFormat(11025, 8, 2));
}

}  // namespace
}  // namespace kelvora
