#include "files/open_save.h"

#include <unistd.h>

#include <cctype>
#include <climits>
#include <vector>

#include "document/operation.h"
#include "document/sound_document.h"
#include "document/undo.h"
#include "editing/convert.h"
#include "files/aiff.h"
#include "files/au.h"
#include "files/file_io.h"
#include "files/recent_files.h"
#include "files/texts.h"
#include "files/wav.h"
#include "platform/platform.h"
#include "shell/main_window.h"
#include "shell/settings.h"

namespace kelvora {
namespace {

// The channel choice of the New dialog is remembered from one New to the next.
int32_t g_newChannels = 1;

// The Save As filters in order, with the kind each stands for.
constexpr int32_t kSaveKinds[4] = {kFileKindWavPcm, kFileKindWavMuLaw, kFileKindAu, kFileKindAiff};

bool EndsWithNoCase(const std::string& s, const char* ext) {
  const std::string e(ext);
  if (s.size() < e.size()) return false;
  for (size_t i = 0; i < e.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[s.size() - e.size() + i])) !=
        std::tolower(static_cast<unsigned char>(e[i])))
      return false;
  return true;
}

// The extension rule of the open flow: the name must be longer than it.
bool HasExtension(const std::string& path, const char* ext) {
  return path.size() > std::string(ext).size() && EndsWithNoCase(path, ext);
}

std::vector<FileFilter> Filters(const char* const (&table)[4][2]) {
  std::vector<FileFilter> filters;
  for (const auto& row : table) filters.push_back(FileFilter{row[0], row[1]});
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
    default:
      return EndsWithNoCase(path, ".aiff") || EndsWithNoCase(path, ".aif") ? path : path + ".aiff";
  }
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

int OpenSoundFile(const std::string& path) {
  SoundDocument& doc = Doc();
  const std::string previous = doc.path;
  Shell().lastDirectory = DialogDirectoryOf(path, Shell().lastDirectory);
  doc.path = path;
  if (doc.path.find('.') == std::string::npos) doc.path += ".";
  // Undo brings back the sound that was open before.
  if (!BeginUndoableOperation(texts::kCaptionOpenFile)) {
    doc.path = previous;
    return 0;
  }
  int kind = kFileKindNone;
  int (*load)(const std::string&) = nullptr;
  if (HasExtension(path, ".aiff") || HasExtension(path, ".aif")) {
    kind = kFileKindAiff;
    load = LoadAiff;
  } else if (HasExtension(path, ".au")) {
    kind = kFileKindAu;
    load = LoadAu;
  } else if (HasExtension(path, ".wav")) {
    kind = kFileKindWavPcm;
    load = LoadWav;
  } else {
    ShowMessage(texts::kCaptionDevaZedudo, texts::kUnsupportedExtension, MsgIcon::kInformation);
  }
  // A file that is refused or cannot be read leaves the sound that was open
  // before: a later Save must write it to its own file in its own format,
  // not over the one that failed.
  FileReader probe;
  if (load == nullptr || !probe.Open(doc.path)) {
    if (load != nullptr) ShowCannotOpen(path, probe.OpenFailure());
    doc.path = previous;
    return 0;
  }
  probe.Close();
  doc.fileKind = kind;
  return load(doc.path);
}

int ShowOpenDialog() {
  if (ConfirmSaveChanges() != 1) return 1;
  const int low = Doc().fileKind & 0xff;
  const int filter = low >= 1 && low <= 3 ? low - 1 : 0;
  std::string path;
  if (!Services().fileDialogs->GetOpenPath(Shell().lastDirectory, Filters(texts::kOpenFilters),
                                           filter, &path))
    return 0;
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
  switch (kind & 0xff) {
    case kFileKindWavPcm:
      return SaveWav(kind >> 8);
    case kFileKindAu:
      return SaveAu();
    case kFileKindAiff:
      return SaveAiff();
    default:
      return 0;
  }
}

int SaveSoundFileAs() {
  SoundDocument& doc = Doc();
  int filter = 0;
  for (int i = 0; i < 4; ++i)
    if (kSaveKinds[i] == doc.fileKind) filter = i;
  std::string chosen;
  int chosenFilter = filter;
  if (!Services().fileDialogs->GetSavePath(doc.path, Shell().lastDirectory,
                                           Filters(texts::kSaveFilters), filter, true, &chosen,
                                           &chosenFilter))
    return 0;
  if (chosenFilter < 0 || chosenFilter > 3) chosenFilter = filter;
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
  UpdateTitle();
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
  UpdateTitle();
  doc.modified = false;
  ShowFormatStatus();
  RefreshViews();
}

void OpenCommand() { ShowOpenDialog(); }
void SaveCommand() { SaveSoundFile(Doc().fileKind); }
void SaveAsCommand() { SaveSoundFileAs(); }

void ResetOpenSaveState() { g_newChannels = 1; }

}  // namespace kelvora
