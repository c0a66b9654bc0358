#include "files/open_save.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>

#include "document/busy.h"
#include "document/undo.h"
#include "files/aiff.h"
#include "files/au.h"
#include "files/reader_test_support.h"
#include "files/recent_files.h"
#include "files/wav.h"
#include "shell/settings.h"

namespace kelvora {
namespace {

class OpenSaveTest : public ReaderTest {
protected:
  HeadlessFileDialogs& dialogs() { return engine.platform.fileDialogs; }

  // Writes a short 8000 Hz mono sound as a file of the given kind.
  void MakeFile(const std::string& path, int kind) {
    SetDocument(MakeFormat(8000, 16, 1), Pcm16({100, -100, 200}));
    Doc().path = path;
    if (kind == kFileKindAiff)
      ASSERT_EQ(SaveAiff(), 1);
    else if (kind == kFileKindAu)
      ASSERT_EQ(SaveAu(), 1);
    else
      ASSERT_EQ(SaveWav(kind >> 8), 1);
  }
  std::vector<std::string> Recent() {
    std::vector<std::string> r;
    for (int n = 1; n <= kRecentFileCount; ++n) r.push_back(RecentFile(n));
    return r;
  }
  std::string Cwd() {
    char b[PATH_MAX];
    return getcwd(b, sizeof b) ? b : "";
  }
};

// ----- Opening by extension --------------------------------------------------

struct Route {
  const char* name;  // file name in the test folder
  int content;       // kind of file written there
  int kind;          // kind after opening, 0 when refused
};

class OpenRoute : public OpenSaveTest, public testing::WithParamInterface<Route> {};

TEST_P(OpenRoute, ExtensionPicksTheReader) {
  const Route& r = GetParam();
  const std::string path = dir / r.name;
  MakeFile(path, r.content);
  // The sound open before, which undo brings back.
  SetDocument(MakeFormat(22050, 8, 2), {1, 2, 3, 4});
  Doc().path = "/before.wav";
  Doc().fileKind = kFileKindWavMuLaw;
  engine.ui().messages.clear();
  EXPECT_EQ(OpenSoundFile(path), r.kind ? 1 : 0);
  EXPECT_EQ(Shell().lastDirectory, dir.path());
  if (r.kind) {
    EXPECT_EQ(Doc().fileKind, r.kind);
    EXPECT_EQ(Doc().path, path);
    EXPECT_EQ(Doc().format.nSamplesPerSec, 8000u);
    EXPECT_EQ(Doc().length, 6);
    EXPECT_TRUE(engine.ui().messages.empty());
    SwapUndo();
    EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{1, 2, 3, 4}));
  } else {
    ASSERT_EQ(engine.ui().messages.size(), 1u);
    EXPECT_EQ(engine.ui().messages[0].caption, "DevaZedudo");
    EXPECT_EQ(engine.ui().messages[0].text, texts::kUnsupportedExtension);
    EXPECT_EQ(engine.ui().messages[0].icon, MsgIcon::kInformation);
    // The sound is still the one from before, and so is its file: a Save
    // now must not write it over the file that was refused.
    EXPECT_EQ(Doc().path, "/before.wav");
    EXPECT_EQ(DocumentBytes(), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(Doc().fileKind, kFileKindWavMuLaw);
  }
}

INSTANTIATE_TEST_SUITE_P(Names, OpenRoute,
                         testing::Values(Route{"a.WAV", kFileKindWavPcm, kFileKindWavPcm},
                                         Route{"a.wav", kFileKindWavMuLaw, kFileKindWavMuLaw},
                                         Route{"b.aif", kFileKindAiff, kFileKindAiff},
                                         Route{"b.AIFF", kFileKindAiff, kFileKindAiff},
                                         Route{"c.Au", kFileKindAu, kFileKindAu},
                                         Route{"d.mp3", kFileKindWavPcm, 0},
                                         Route{"sound", kFileKindWavPcm, 0},
                                         Route{"e.aiff.txt", kFileKindAiff, 0}));

TEST_F(OpenSaveTest, ANameThatIsOnlyTheExtensionIsRefused) {
  EXPECT_EQ(OpenSoundFile(".au"), 0);
  ASSERT_EQ(engine.ui().messages.size(), 1u);
  EXPECT_EQ(engine.ui().messages[0].text, texts::kUnsupportedExtension);
}

TEST_F(OpenSaveTest, DialogsStartInTheFolderOfTheFileOpenedLast) {
  EXPECT_EQ(DialogDirectoryOf("/snd/x.wav", "old"), "/snd");
  EXPECT_EQ(DialogDirectoryOf("/x.wav", "old"), "/");
  // Relative names are taken from the current folder, which the settings
  // file must not depend on.
  EXPECT_EQ(DialogDirectoryOf("x.wav", "old"), Cwd());
  EXPECT_EQ(DialogDirectoryOf("sub dir/x.wav", "old"), Cwd() + "/sub dir");
}

// ----- Recent files ----------------------------------------------------------

TEST_F(OpenSaveTest, RecentListMovesToTheFrontAndDropsTheSeventh) {
  AddRecentFile("/a.wav");
  // All six keys are written, the empty ones too.
  EXPECT_EQ(engine.platform.memoryProfile.values.count("recentfiles\n6"), 1u);
  for (const char* p : {"/b.wav", "/c.wav", "/d.wav", "/e.wav", "/f.wav"}) AddRecentFile(p);
  EXPECT_EQ(Recent(),
            (std::vector<std::string>{"/f.wav", "/e.wav", "/d.wav", "/c.wav", "/b.wav", "/a.wav"}));
  AddRecentFile("/c.wav");
  EXPECT_EQ(Recent(),
            (std::vector<std::string>{"/c.wav", "/f.wav", "/e.wav", "/d.wav", "/b.wav", "/a.wav"}));
  AddRecentFile("/A.wav");  // another file: names differ in case
  EXPECT_EQ(Recent(),
            (std::vector<std::string>{"/A.wav", "/c.wav", "/f.wav", "/e.wav", "/d.wav", "/b.wav"}));
}

TEST_F(OpenSaveTest, RecentItemsOpenThroughTheCommandDispatch) {
  const std::string second = dir / "two.aiff";
  MakeFile(second, kFileKindAiff);
  AddRecentFile(second);
  AddRecentFile("/first.wav");
  StartEngine();
  EXPECT_TRUE(DispatchCommand(kCmdRecentFirst + 1, kCodeMenu));
  EXPECT_EQ(Doc().path, second);
  EXPECT_EQ(Doc().fileKind, kFileKindAiff);
  EXPECT_EQ(Recent()[0], second);
  // A modified sound is asked about first; Cancel opens nothing.
  Doc().modified = true;
  engine.ui().answers.push_back(kIdCancel);
  EXPECT_EQ(OpenRecentFile(2), 1);
  EXPECT_EQ(Recent()[0], second);
  // Not while an operation runs.
  BeginBusy();
  EXPECT_FALSE(DispatchCommand(kCmdRecentLast, kCodeMenu));
  EndBusy();
}

// ----- The open dialog -------------------------------------------------------

TEST_F(OpenSaveTest, OpenDialogOffersItsFiltersAndRecordsTheChoice) {
  const std::string path = dir / "o.au";
  MakeFile(path, kFileKindAu);
  StartEngine();
  Shell().lastDirectory = "/start";
  Doc().fileKind = kFileKindAiff;
  dialogs().Cancel();
  EXPECT_EQ(ShowOpenDialog(), 0);
  ASSERT_EQ(dialogs().calls.size(), 1u);
  const HeadlessFileDialogs::Call& c = dialogs().calls[0];
  EXPECT_FALSE(c.save);
  EXPECT_EQ(c.directory, "/start");
  EXPECT_EQ(c.filter, 2);
  ASSERT_EQ(c.filters.size(), 4u);
  EXPECT_EQ(c.filters[0].label, ".WAV File (*.wav)");
  EXPECT_EQ(c.filters[1].label, ".AU File (*.au)");
  EXPECT_EQ(c.filters[2].label, "AIF File (*.aif;*.aiff)");
  EXPECT_EQ(c.filters[2].patterns, "*.aif;*.aiff");
  EXPECT_EQ(c.filters[3].label, "ALL (*.*)");
  EXPECT_EQ(Recent()[0], "");

  Doc().fileKind = kFileKindWavMuLaw;  // the low byte picks the filter
  dialogs().Answer(path);
  EXPECT_EQ(ShowOpenDialog(), 1);
  EXPECT_EQ(dialogs().calls[1].filter, 0);
  EXPECT_EQ(Recent()[0], path);
  EXPECT_EQ(Doc().fileKind, kFileKindAu);
  EXPECT_EQ(Shell().lastDirectory, dir.path());

  // A file that fails to load is still at the top of the list.
  dialogs().Answer(dir / "missing.wav");
  EXPECT_EQ(ShowOpenDialog(), 0);
  EXPECT_EQ(Recent()[0], dir / "missing.wav");
}

// ----- Save and Save As ------------------------------------------------------

struct Typed {
  int filter;
  const char* typed;
  const char* written;
  int kind;
};

class SaveAsName : public OpenSaveTest, public testing::WithParamInterface<Typed> {};

TEST_P(SaveAsName, ExtensionOfTheFilterIsAppended) {
  const Typed& t = GetParam();
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({5, 6, 7, 8}));
  Doc().modified = true;
  Doc().path = "/snd/current.wav";
  Doc().fileKind = kFileKindAu;
  Shell().lastDirectory = dir.path();
  dialogs().Answer(dir / t.typed, t.filter);
  ASSERT_EQ(SaveSoundFileAs(), 1);
  const HeadlessFileDialogs::Call& c = dialogs().calls.at(0);
  EXPECT_TRUE(c.save);
  EXPECT_TRUE(c.confirmOverwrite);
  EXPECT_EQ(c.name, "/snd/current.wav");
  EXPECT_EQ(c.directory, dir.path());
  EXPECT_EQ(c.filter, 2);  // preselected by the kind
  EXPECT_EQ(c.filters.at(1).label, "WAVE (ulaw) Format (*.wav)");
  EXPECT_EQ(c.filters.at(3).label, "AIFF Format (*.aiff)");
  EXPECT_EQ(c.filters.at(3).patterns, "*.aif;*.aiff");
  const std::string written = dir / t.written;
  EXPECT_EQ(dir.List(), std::vector<std::string>{t.written});
  EXPECT_EQ(Doc().path, written);
  EXPECT_EQ(Doc().fileKind, t.kind);
  EXPECT_FALSE(Doc().modified);
  EXPECT_EQ(Recent()[0], written);
  EXPECT_EQ(engine.ui().title, "Kelvora -[" + written + "]");
  // The file is of the kind chosen, and so are later plain saves.
  const std::vector<uint8_t> file = ReadBytes(written);
  ASSERT_GE(file.size(), 24u);
  const std::string magic(file.begin(), file.begin() + 4);
  const char* expected_magic = t.kind == kFileKindAu     ? ".snd"
                               : t.kind == kFileKindAiff ? "FORM"
                                                         : "RIFF";
  EXPECT_EQ(magic, expected_magic);
  EXPECT_EQ(file[20] == 7, t.kind == kFileKindWavMuLaw);
  Doc().modified = true;
  EXPECT_TRUE(DispatchCommand(kCmdSave, kCodeAccelerator));
  EXPECT_EQ(ReadBytes(written), file);
  EXPECT_FALSE(Doc().modified);
}

INSTANTIATE_TEST_SUITE_P(Names, SaveAsName,
                         testing::Values(Typed{1, "voice", "voice.wav", kFileKindWavMuLaw},
                                         Typed{0, "pcm.WAV", "pcm.WAV", kFileKindWavPcm},
                                         Typed{2, "x", "x.au", kFileKindAu},
                                         Typed{3, "keep.aif", "keep.aif", kFileKindAiff},
                                         Typed{3, "keep.AIFF", "keep.AIFF", kFileKindAiff},
                                         Typed{3, "was.wav", "was.wav.aiff", kFileKindAiff},
                                         Typed{-1, "same", "same.au", kFileKindAu}));

TEST_F(OpenSaveTest, AnAppendedExtensionThatNamesAnExistingFileIsAskedAbout) {
  const std::string existing = dir / "take.wav";
  ASSERT_TRUE(WriteBytes(existing, {1, 2, 3}));
  SetDocument(MakeFormat(8000, 8, 1), {9, 9});
  Doc().path = "/old.wav";
  dialogs().Answer(dir / "take", 0);
  engine.ui().answers.push_back(kIdNo);
  EXPECT_EQ(SaveSoundFileAs(), 0);
  ASSERT_EQ(engine.ui().messages.size(), 1u);
  EXPECT_EQ(engine.ui().messages[0].text, existing + " は既に存在します。\n上書きしますか?");
  EXPECT_EQ(ReadBytes(existing), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(Doc().path, "/old.wav");
  EXPECT_EQ(Recent()[0], "");
  dialogs().Answer(dir / "take", 0);
  EXPECT_EQ(SaveSoundFileAs(), 1);  // Yes when nothing is queued
  EXPECT_EQ(ReadBytes(existing).size(), 46u);
}

TEST_F(OpenSaveTest, SaveAsksAboutAnEmptySoundAndSendsUntitledToSaveAs) {
  Doc().path = dir / "empty.wav";
  Doc().fileKind = kFileKindWavPcm;
  engine.ui().answers.push_back(kIdNo);
  EXPECT_EQ(SaveSoundFile(kFileKindWavPcm), 0);
  ASSERT_EQ(engine.ui().messages.size(), 1u);
  EXPECT_EQ(engine.ui().messages[0].caption, "保存");
  EXPECT_EQ(engine.ui().messages[0].text, "データがありませんが、保存してよろしいですか");
  EXPECT_EQ(engine.ui().messages[0].buttons, MsgButtons::kYesNo);
  EXPECT_TRUE(dir.List().empty());
  EXPECT_EQ(SaveSoundFile(kFileKindWavPcm), 1);
  EXPECT_EQ(ReadBytes(dir / "empty.wav").size(), 44u);
  EXPECT_EQ(SaveSoundFile(kFileKindNone), 0);

  SetDocument(MakeFormat(8000, 8, 1), {1});
  Doc().path = "無題";
  dialogs().Cancel();
  EXPECT_EQ(SaveSoundFile(kFileKindWavPcm), 0);
  EXPECT_EQ(dialogs().calls.size(), 1u);
  EXPECT_EQ(dialogs().calls[0].name, "無題");
}

// ----- New -------------------------------------------------------------------

TEST_F(OpenSaveTest, NewMakesAnEmptySoundInTheChosenFormat) {
  SetDocument(MakeFormat(44100, 8, 2), {1, 2, 3, 4});
  Doc().path = "/kept/kind.au";
  Doc().fileKind = kFileKindAu;
  Doc().selEnd = Doc().movingEnd = Doc().viewStart = 2;
  engine.platform.dialogs.QueueFields({{"rate", "11025"}, {"channels", "2"}});
  EXPECT_TRUE(DispatchCommand(kCmdNew, kCodeAccelerator));
  EXPECT_EQ(engine.platform.dialogs.shown.back(), 122);
  // Bits come from the sound that was open; the rest was chosen.
  EXPECT_EQ(Doc().format, MakeFormat(11025, 8, 2));
  EXPECT_EQ(Doc().bytesPerChannelSample, 1);
  EXPECT_EQ(Doc().length, 0);
  EXPECT_EQ(Doc().selEnd + Doc().movingEnd + Doc().viewStart, 0);
  EXPECT_EQ(Doc().path, "無題");
  EXPECT_EQ(Doc().fileKind, kFileKindAu);
  EXPECT_FALSE(Doc().modified);
  EXPECT_EQ(engine.ui().title, "Kelvora -[無題]");
  EXPECT_EQ(engine.ui().status[0], "11025Hz 8Bits Stereo");
  // The channel choice is remembered; rate and bits follow the sound.
  engine.platform.dialogs.QueueFields({{"bits", "16"}});
  NewSoundDocument();
  EXPECT_EQ(Doc().format, MakeFormat(11025, 16, 2));
  // Undo brings back the sound before.
  SwapUndo();
  EXPECT_EQ(Doc().format, MakeFormat(11025, 8, 2));
  // Cancel in the dialog, or at the save question, changes nothing.
  SetDocument(MakeFormat(8000, 16, 1), Pcm16({3}));
  engine.platform.dialogs.QueueFields({{"rate", "44100"}}, 2);
  NewSoundDocument();
  Doc().modified = true;
  engine.ui().answers.push_back(kIdCancel);
  NewSoundDocument();
  EXPECT_EQ(DocumentBytes(), Pcm16({3}));
  EXPECT_EQ(Doc().format, MakeFormat(8000, 16, 1));
}

// ----- Names with spaces and Japanese ---------------------------------------

TEST_F(OpenSaveTest, NonAsciiNamesSaveOpenAndListIntact) {
  const std::string folder = dir / "音声 ファイル";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const std::string path = folder + "/テスト ①.aiff";
  SetDocument(MakeFormat(22050, 16, 2), Pcm16({1, -1, 2, -2}));
  dialogs().Answer(folder + "/テスト ①", 3);
  ASSERT_EQ(SaveSoundFileAs(), 1);
  EXPECT_EQ(ReadBytes(path).size(), 54u + 8u);
  StartEngine();
  AddRecentFile(path);
  EXPECT_TRUE(DispatchCommand(kCmdRecentFirst, kCodeMenu));
  EXPECT_EQ(DocumentBytes(), Pcm16({1, -1, 2, -2}));
  EXPECT_EQ(engine.ui().title, "Kelvora -[" + path + "]");
  EXPECT_EQ(Shell().lastDirectory, folder);
  EXPECT_EQ(Recent()[0], path);
}

}  // namespace
}  // namespace kelvora
