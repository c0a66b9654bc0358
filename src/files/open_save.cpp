#include "files/open_save.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>
#include <vector>

#include "document/held_samples.h"
#include "document/observer.h"
#include "document/operation.h"
#include "document/sound_document.h"
#include "document/texts.h"
#include "document/undo.h"
#include "editing/convert.h"
#include "files/aiff.h"
#include "files/au.h"
#include "files/encoded_writer.h"
#include "files/file_io.h"
#include "files/file_types.h"
#include "files/intake_notes.h"
#include "files/recent_files.h"
#include "files/sound_intake.h"
#include "files/texts.h"
#include "files/wav.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

// The channel choice of the New dialog is remembered from one New to the next.
int32_t g_newChannels = 1;
std::string g_lastDirectory;

// The Save As filters in order, with the kind each stands for.
constexpr int32_t kSaveKinds[] = {kFileKindWavPcm, kFileKindWavMuLaw,  kFileKindAu,   kFileKindAiff,
                                  kFileKindFlac,   kFileKindOggVorbis, kFileKindOpus, kFileKindMp3};
static_assert(std::size(kSaveKinds) == std::size(texts::kSaveFilters));

bool EndsWithNoCase(const std::string& s, const char* ext) {
  const std::string e(ext);
  if (s.size() < e.size()) return false;
  for (size_t i = 0; i < e.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - e.size() + i])) !=
        std::tolower(static_cast<unsigned char>(e[i])))
      return false;
  return true;
}

template <size_t N>
std::vector<FileFilter> Filters(const char* const (&table)[N][2]) {
  std::vector<FileFilter> filters;
  for (const auto& row : table) filters.push_back(FileFilter{row[0], row[1]});
  return filters;
}

// The open dialog's filters: every sound file the program reads, the
// program's own formats, then today's formats, then everything.
std::vector<FileFilter> OpenFilters() {
  std::vector<FileFilter> filters = Filters(texts::kOpenFilters);
  const std::string patterns = ReadablePatterns(true);
  filters.insert(
      filters.end() - 1,
      FileFilter{std::string(texts::kOtherSoundsFilter) + " (" + patterns + ")", patterns});
  std::string all = ReadablePatterns();
  std::string shown = all;
  std::replace(shown.begin(), shown.end(), ';', ' ');
  filters.insert(filters.begin(),
                 FileFilter{std::string(texts::kAllSoundsFilter) + " (" + shown + ")", all});
  return filters;
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}

// The path as Save As writes it: with the extension of its kind appended
// unless it already ends with it.
std::string WithKindExtension(const std::string& path, int32_t kind) {
  switch (kind & 0xff) {
    case kFileKindWavPcm:
      return EndsWithNoCase(path, ".wav") ? path : path + ".wav";
    case kFileKindAu:
      return EndsWithNoCase(path, ".au") ? path : path + ".au";
    case kFileKindAiff:
      return EndsWithNoCase(path, ".aiff") || EndsWithNoCase(path, ".aif") ? path : path + ".aiff";
    default: {
      const WritableKind* w = FindWritableKind(kind);
      return EndsWithNoCase(path, w->extension) ? path : path + w->extension;
    }
  }
}

// Nothing to show and nothing selected: what the document is while a reader
// fills its block, and after any load that failed.
void EmptyDocument() {
  SoundDocument& doc = Doc();
  doc.length = 0;
  doc.selStart = doc.selEnd = doc.anchor = doc.movingEnd = 0;
  doc.viewStart = 0;
}

// Samples of other widths than 8 and 16 bits are kept and saved back
// untouched, but not drawn, and every operation that computes samples
// refuses them; without a word the user would take the flat lines for
// silence.
void NoticeLayoutNotEditable(const SoundFormat& f) {
  if (SamplesEditable(f)) return;
  char text[512];
  std::snprintf(
      text, sizeof text,
      ConvertibleSource(f) ? texts::kLayoutNotEditableFormat : texts::kLayoutNorConvertibleFormat,
      static_cast<unsigned long>(f.nSamplesPerSec), unsigned{f.wBitsPerSample},
      unsigned{f.nChannels});
  ShowMessage(texts::kCaptionOpenFile, text, MsgIcon::kInformation);
}

// The sound is in the document's block: the rest of the document follows.
int FinishLoad(const LoadedSound& sound) {
  SoundDocument& doc = Doc();
  std::memset(doc.data.data() + sound.bytes, 0, kSpareBytes);
  SetDocumentFormat(sound.format);
  doc.length = static_cast<int32_t>(sound.bytes);
  doc.selStart = doc.selEnd = doc.anchor = doc.movingEnd = 0;
  doc.viewStart = 0;
  Services().ui->SetScrollPosition(0);
  doc.modified = false;
  ForgetIntakeLoad();
  NotifyTitleChanged();
  NotifyDataChanged();
  NotifyFormatChanged();
  NoticeLayoutNotEditable(sound.format);
  return 1;
}

// What the intake made of the file goes into the document, with the notice
// of what changed on the way.
int FinishIntakeLoad(LoadedSound& sound) {
  SoundDocument& doc = Doc();
  doc.data.Swap(sound.data);
  doc.fileKind = sound.fileKind;
  FinishLoad(sound);
  NoteIntakeLoad(doc.path, sound.intake);
  return 1;
}

// A file the program's own reader refused may be one of today's (a 24-bit
// or float WAV, an AIFF-C): 1 when the intake made `sound` of it. A
// shortage of memory or a sound too long for the document is final. The
// intake shows progress: commands stay out while it reads.
int ReadRefusedFile(const LoadedSound& refused, FileReader& file, LoadedSound& sound,
                    std::optional<BusyScope>& busy) {
  if (refused.messages[0] == texts::kOutOfMemory || refused.messages[0] == texts::kTooLarge)
    return 0;
  sound.intake.ditherSeed = DitherSeed();
  if (!kIntakeReader.checkSignature(file, sound)) return 0;
  if (!busy) busy.emplace();
  return kIntakeReader.read(file, sound);
}

// Nothing loaded: the messages, and an empty untitled sound, so that Save
// asks for a name rather than emptying the file that was refused. A bad
// signature leaves the format; a file that was bad further in leaves the
// format it had announced.
int FailLoad(const LoadedSound& sound) {
  SoundDocument& doc = Doc();
  for (const char* text : sound.messages)
    if (text != nullptr) ShowWarning(texts::kCaptionOpenFile, text);
  EmptyDocument();
  ForgetIntakeLoad();
  doc.path = kUntitledPath;
  NotifyTitleChanged();
  if (!sound.badSignature) {
    if (sound.hasRecord) SetDocumentFormat(sound.record);
    // The block may have been released for data that never arrived; the
    // rest of the program expects a small zeroed one.
    if (doc.data.size() < kSpareBytes) doc.data.AllocateZeroed(kSpareBytes);
  }
  NotifyDataChanged();
  // The status bar must not go on showing the length of the sound before.
  NotifyFormatChanged();
  return 0;
}

std::string Substitute(const char* format, const std::string& value) {
  const std::string text = format;
  const size_t at = text.find("%s");
  return text.substr(0, at) + value + text.substr(at + 2);
}

// Silence would leave the user wondering whether the click was seen.
void ShowCannotOpen(const std::string& path, const char* reason) {
  const std::string format = texts::kCannotOpenFormat;
  const size_t first = format.find("%s"), second = format.find("%s", first + 2);
  ShowWarning(texts::kCaptionOpenFile, format.substr(0, first) + path +
                                           format.substr(first + 2, second - first - 2) + reason +
                                           format.substr(second + 2));
}

}  // namespace

std::string& LastDirectory() { return g_lastDirectory; }

int ConfirmSaveChanges() {
  SoundDocument& doc = Doc();
  if (!doc.modified) return 1;
  const int answer =
      ShowMessage(texts::kProductName, Substitute(texts::kSaveChangesFormat, doc.path),
                  MsgIcon::kQuestion, MsgButtons::kYesNoCancel);
  if (answer == kIdCancel) return 0;
  if (answer == kIdNo) return 1;
  return SaveSoundFile(doc.fileKind);
}

std::string DialogDirectoryOf(const std::string& path, const std::string& previous) {
  const size_t slash = path.rfind('/');
  std::string dir;
  if (slash == std::string::npos)
    dir = "";
  else if (slash == 0)
    return "/";
  else
    dir = path.substr(0, slash);
  if (!dir.empty() && dir[0] == '/') return dir;
  const std::string cwd = CurrentDirectory();
  if (cwd.empty()) return previous;
  if (dir.empty()) return cwd;
  return (cwd == "/" ? "" : cwd) + "/" + dir;
}

int LoadIntoDocument(const SoundReader& reader, FileReader& file) {
  SoundDocument& doc = Doc();
  LoadedSound sound;
  sound.fileKind = doc.fileKind;
  // Progress dispatches events: commands stay out, and a close that
  // arrives meanwhile waits until the document is whole again.
  std::optional<BusyScope> busy;
  // The intake's notice comes once commands are back.
  LoadedSound intake;
  if (!reader.checkSignature(file, sound)) {
    const int taken = ReadRefusedFile(sound, file, intake, busy);
    busy.reset();
    file.Close();
    return taken ? FinishIntakeLoad(intake) : FailLoad(sound);
  }
  if (reader.showsProgress) busy.emplace();
  // The reader fills the document's own block; until it is back the
  // document shows nothing, so that nothing can reach into it.
  EmptyDocument();
  sound.data.Swap(doc.data);
  const int loaded = reader.read(file, sound);
  doc.data.Swap(sound.data);
  if (!loaded) {
    if (ReadRefusedFile(sound, file, intake, busy)) {
      busy.reset();
      file.Close();
      return FinishIntakeLoad(intake);
    }
  }
  file.Close();
  doc.fileKind = sound.fileKind;
  return loaded ? FinishLoad(sound) : FailLoad(sound);
}

int LoadThroughIntake(FileReader& file) {
  LoadedSound sound;
  sound.intake.ditherSeed = DitherSeed();
  int loaded;
  {
    BusyScope busy;
    loaded = ReadSound(kIntakeReader, file, sound);
  }
  file.Close();
  if (!loaded) {
    for (const char* text : sound.messages)
      if (text != nullptr) ShowWarning(texts::kCaptionOpenFile, text);
    return 0;
  }
  return FinishIntakeLoad(sound);
}

namespace {

int ReadSoundFile(const std::string& path) {
  SoundDocument& doc = Doc();
  const std::string previous = doc.path;
  g_lastDirectory = DialogDirectoryOf(path, g_lastDirectory);
  // Undo brings back the document that was open before, with its own file.
  if (!BeginUndoableOperation(texts::kCaptionOpenFile)) return 0;
  KeepFileInUndo();
  doc.path = path;
  if (doc.path.find('.') == std::string::npos) doc.path += ".";
  int kind = kFileKindNone;
  const SoundReader* reader = nullptr;
  if (HasExtension(path, ".aiff") || HasExtension(path, ".aif")) {
    kind = kFileKindAiff;
    reader = &kAiffReader;
  } else if (HasExtension(path, ".au")) {
    kind = kFileKindAu;
    reader = &kAuReader;
  } else if (HasExtension(path, ".wav")) {
    kind = kFileKindWavPcm;
    reader = &kWavReader;
  } else if (const ReadableExtension* type = FindReadableExtension(path);
             type == nullptr || type->route != ReadRoute::kIntake) {
    ShowMessage(texts::kCaptionDevaZedudo, texts::kUnsupportedExtension, MsgIcon::kInformation);
  }
  const bool intake = reader == nullptr && FindReadableExtension(path) != nullptr;
  // A file that is refused or cannot be read leaves the sound that was open
  // before: a later Save must write it to its own file in its own format,
  // not over the one that failed.
  FileReader file;
  if ((reader == nullptr && !intake) || !file.Open(doc.path)) {
    if (reader != nullptr || intake) ShowCannotOpen(path, file.OpenFailure());
    doc.path = previous;
    return 0;
  }
  if (intake) {
    const int loaded = LoadThroughIntake(file);
    if (!loaded) doc.path = previous;
    return loaded;
  }
  doc.fileKind = kind;
  return LoadIntoDocument(*reader, file);
}

}  // namespace

int OpenSoundFile(const std::string& path) {
  const int loaded = ReadSoundFile(path);
  if (loaded) NotifyFileOpened();
  return loaded;
}

int ShowOpenDialog() {
  if (ConfirmSaveChanges() != 1) return 1;
  // Every sound file shows at once, whatever was open before.
  std::string path;
  if (!Services().fileDialogs->GetOpenPath(g_lastDirectory, OpenFilters(), 0, &path)) return 0;
  AddRecentFile(path);
  return OpenSoundFile(path);
}

int OpenRecentFile(int n) {
  if (ConfirmSaveChanges() != 1) return 1;
  const std::string path = RecentFile(n);
  if (path.empty()) return 0;
  AddRecentFile(path);
  return OpenSoundFile(path);
}

int SaveSoundFile(int kind) {
  SoundDocument& doc = Doc();
  if (doc.length == 0 && ShowMessage(texts::kCaptionSave, texts::kNoDataQuestion, MsgIcon::kWarning,
                                     MsgButtons::kYesNo) != kIdYes)
    return 0;
  if (doc.path == kUntitledPath) return SaveSoundFileAs();
  switch (AskBeforeLossySave(doc.path, kind)) {
    case LossySaveAnswer::kStop:
      return 0;
    case LossySaveAnswer::kSaveAs:
      return SaveSoundFileAs();
    case LossySaveAnswer::kSave:
      break;
  }
  int saved = 0;
  switch (kind & 0xff) {
    case kFileKindWavPcm:
      saved = SaveWav(kind >> 8);
      break;
    case kFileKindAu:
      saved = SaveAu();
      break;
    case kFileKindAiff:
      saved = SaveAiff();
      break;
    default:
      saved = IsEncodedKind(kind) ? SaveEncoded(kind) : 0;
      break;
  }
  if (saved) NoteSaved(doc.path);
  return saved;
}

int SaveSoundFileAs() {
  SoundDocument& doc = Doc();
  const int count = static_cast<int>(std::size(kSaveKinds));
  int filter = 0;
  for (int i = 0; i < count; ++i)
    if (kSaveKinds[i] == doc.fileKind) filter = i;
  std::string chosen;
  int chosenFilter = filter;
  if (!Services().fileDialogs->GetSavePath(doc.path, g_lastDirectory, Filters(texts::kSaveFilters),
                                           filter, true, &chosen, &chosenFilter))
    return 0;
  if (chosenFilter < 0 || chosenFilter >= count) chosenFilter = filter;
  const int32_t kind = kSaveKinds[chosenFilter];
  const std::string path = WithKindExtension(chosen, kind);
  // The dialog asked about the name as typed; the name with its extension
  // may be another file that exists.
  if (path != chosen && PathExists(path) &&
      ShowMessage(texts::kCaptionSave, Substitute(texts::kOverwriteQuestion, path),
                  MsgIcon::kWarning, MsgButtons::kYesNo) != kIdYes)
    return 0;
  doc.path = path;
  doc.fileKind = kind;
  AddRecentFile(path);
  NotifyTitleChanged();
  return SaveSoundFile(kind);
}

void NewSoundDocument() {
  if (ConfirmSaveChanges() != 1) return;
  SoundDocument& doc = Doc();
  int32_t rate = static_cast<int32_t>(doc.format.nSamplesPerSec);
  int32_t bits = doc.format.wBitsPerSample;
  ParamEntry table[10];
  FillFormatDialogTable(table, &rate, &bits, &g_newChannels);
  if (!RunParamDialog(kNewSoundDialog, table)) return;
  if (!BeginUndoableOperation(texts::kCaptionNew)) return;
  KeepFileInUndo();
  SoundFormat f;
  f.wFormatTag = 1;
  f.nChannels = static_cast<uint16_t>(g_newChannels);
  f.nSamplesPerSec = static_cast<uint32_t>(rate);
  f.wBitsPerSample = static_cast<uint16_t>(bits);
  f.nBlockAlign = static_cast<uint16_t>(bits * g_newChannels / 8);
  f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
  f.cbSize = 0;
  SetDocumentFormat(f);
  doc.data.Free();
  doc.data.AllocateZeroed(16);
  doc.length = 0;
  doc.selStart = doc.selEnd = doc.anchor = doc.movingEnd = 0;
  doc.viewStart = 0;
  doc.path = kUntitledPath;
  ForgetIntakeLoad();
  NotifyTitleChanged();
  doc.modified = false;
  NotifyFormatChanged();
  NotifyDataChanged();
}

void OpenCommand() { ShowOpenDialog(); }
void SaveCommand() { SaveSoundFile(Doc().fileKind); }
void SaveAsCommand() { SaveSoundFileAs(); }

void ResetOpenSaveState() {
  g_newChannels = 1;
  g_lastDirectory.clear();
  ResetIntakeNotes();
}

}  // namespace kelvora
