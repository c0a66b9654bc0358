// The start-up question about what a crashed process left behind.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "document/observer.h"
#include "document/sound_document.h"
#include "files/load_support.h"
#include "files/recovery_folder.h"
#include "files/wav.h"
#include "platform/platform.h"
#include "shell/recovery.h"
#include "shell/recovery_internal.h"
#include "shell/texts.h"

namespace kelvora {
namespace {

// document.txt is a few lines; anything larger is not ours.
constexpr size_t kInfoLimit = 65536;

struct Found {
  std::string folder;
  RecoveryInfo info;
  bool readable = false;
};

// Whether the folder's description reads and its WAV is there in full; the
// samples themselves are read only when the user wants them back.
Found Examine(const std::string& folder) {
  Found f;
  f.folder = folder;
  std::string text;
  if (!ReadSmallFile(folder + "/" + kRecoveryInfoName, kInfoLimit, &text) ||
      !ParseRecoveryInfo(text, &f.info))
    return f;
  FileReader file;
  LoadedSound probe;
  const uint64_t least =
      kWavHeaderBytes + static_cast<uint64_t>(std::max<int64_t>(f.info.bytes, 0));
  f.readable = file.Open(folder + "/" + f.info.sound) && file.Size() >= least &&
               kWavReader.checkSignature(file, probe);
  return f;
}

// A folder with neither a description nor a sound holds nothing to offer.
bool HoldsNothing(const std::string& folder) {
  for (const std::string& name : FolderNames(folder))
    if (name == kRecoveryInfoName || name.ends_with(".wav")) return false;
  return true;
}

std::string Fill(const char* format, const std::string& a, const std::string& b = "") {
  std::string text = format;
  const size_t first = text.find("%s");
  text.replace(first, 2, a);
  const size_t second = text.find("%s", first + a.size());
  if (second != std::string::npos) text.replace(second, 2, b);
  return text;
}

std::string LocalTime(int64_t seconds) {
  const time_t t = static_cast<time_t>(seconds);
  struct tm parts;
  char text[32] = "";
  if (localtime_r(&t, &parts) != nullptr)
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &parts);
  return text;
}

// Said, and the user decides whether it goes. Never stands in the way.
void OfferDiscard(const std::string& folder) {
  if (ShowMessage(texts::kProductName, Fill(texts::kRecoveryUnreadableFormat, folder),
                  MsgIcon::kWarning, MsgButtons::kYesNo) == kIdYes)
    RemoveFolder(folder);
}

// The record as the document had it; a WAV's 16-byte record leaves out
// cbSize, which the reader then takes from the bytes after it.
bool SameLayout(const SoundFormat& a, const SoundFormat& b) {
  SoundFormat c = b;
  c.cbSize = a.cbSize;
  return a == c;
}

int32_t WithinSound(int32_t offset, int32_t length, int32_t align) {
  offset = std::clamp(offset, 0, length);
  return align > 0 ? offset - offset % align : offset;
}

// The sound comes back as it was: modified, under its own path and kind,
// with its selection; the undo copy stays the empty sound of the start.
void Install(LoadedSound& sound, const RecoveryInfo& info) {
  SoundDocument& doc = Doc();
  doc.data.Swap(sound.data);
  std::memset(doc.data.data() + sound.bytes, 0, kSpareBytes);
  SetDocumentFormat(info.format);
  const int32_t length = static_cast<int32_t>(sound.bytes), align = info.format.nBlockAlign;
  doc.length = length;
  doc.selStart = WithinSound(std::min(info.selStart, info.selEnd), length, align);
  doc.selEnd = WithinSound(std::max(info.selStart, info.selEnd), length, align);
  doc.anchor = WithinSound(info.anchor, length, align);
  doc.movingEnd = WithinSound(info.movingEnd, length, align);
  doc.viewStart = 0;
  Services().ui->SetScrollPosition(0);
  doc.path = info.path;
  doc.fileKind = info.fileKind;
  doc.modified = true;
  NotifyTitleChanged();
  NotifyFormatChanged();
  NotifyDataChanged();
}

// 1 when the copy is in the document.
int Restore(const Found& found) {
  FileReader file;
  LoadedSound sound;
  if (!file.Open(found.folder + "/" + found.info.sound) || !ReadSound(kWavReader, file, sound) ||
      !SameLayout(sound.format, found.info.format) ||
      (found.info.bytes >= 0 && static_cast<int64_t>(sound.bytes) != found.info.bytes) ||
      sound.bytes > static_cast<uint64_t>(kMaxSoundBytes))
    return 0;
  Install(sound, found.info);
  return 1;
}

}  // namespace

void OfferRecoveryAtStart() {
  const RecoveryPlace& place = RecoveryPlaceOf();
  if (place.root.empty()) return;
  std::vector<Found> readable;
  for (const std::string& folder : OrphanFolders(place.root)) {
    if (HoldsNothing(folder)) {
      RemoveFolder(folder);
      continue;
    }
    Found found = Examine(folder);
    if (found.readable)
      readable.push_back(found);
    else
      OfferDiscard(folder);
  }
  if (readable.empty()) return;
  // The newest is offered; the others wait for the next start.
  const Found& newest = *std::max_element(
      readable.begin(), readable.end(),
      [](const Found& a, const Found& b) { return a.info.savedAt < b.info.savedAt; });
  const int answer = ShowMessage(
      texts::kProductName,
      Fill(texts::kRecoveryQuestionFormat, newest.info.path, LocalTime(newest.info.savedAt)),
      MsgIcon::kQuestion, MsgButtons::kYesNoCancel);
  if (answer == kIdNo) {
    RemoveFolder(newest.folder);
  } else if (answer == kIdYes) {
    if (!Restore(newest)) {
      OfferDiscard(newest.folder);
      return;
    }
    // The copy becomes this process's own; it is current as it is.
    if (!place.folder.empty() && std::rename(newest.folder.c_str(), place.folder.c_str()) == 0)
      AdoptRecoveredCopy(newest.info);
  }
}

}  // namespace kelvora
