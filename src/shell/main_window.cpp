#include "shell/main_window.h"

#include <cstdio>

#include "audio/audio.h"
#include "document/busy.h"
#include "document/observer.h"
#include "document/sound_document.h"
#include "files/open_save.h"
#include "platform/platform.h"
#include "shell/texts.h"
#include "views/navigation.h"
#include "views/playhead.h"
#include "views/spectrogram.h"
#include "views/texts.h"
#include "views/view_logic.h"
#include "views/view_state.h"
#include "views/wave_input.h"

namespace kelvora {
namespace {

std::string FormatStatusText(const SoundFormat& f) {
  char channels[16];
  if (f.nChannels == 1)
    std::snprintf(channels, sizeof channels, "%s", texts::kMono);
  else if (f.nChannels == 2)
    std::snprintf(channels, sizeof channels, "%s", texts::kStereo);
  else
    std::snprintf(channels, sizeof channels, texts::kChannelsFormat, int{f.nChannels});
  char text[96];
  std::snprintf(text, sizeof text, texts::kFormatStatus, static_cast<long>(f.nSamplesPerSec),
                int{f.wBitsPerSample}, channels);
  return text;
}

class WindowObserver : public DocumentObserver {
public:
  void DataChanged() override { RefreshViews(); }
  void FormatChanged() override { ShowFormatStatus(); }
  void TitleChanged() override { UpdateTitle(); }
  void SelectionChanged() override { DrawSelection(); }
  void BusyChanged(bool busy) override {
    Services().ui->SetMenuMode(busy ? MenuMode::kBusy : MenuMode::kMain);
    if (!busy) SetZoom(View().zoomLevel);
  }
  void CloseRequested() override { CloseMainWindow(); }
  void PlayPositionChanged(int64_t offset) override { ShowPlayhead(offset); }
  void FileOpened() override { FitOnOpen(); }
};

}  // namespace

void InstallWindowObserver() {
  static WindowObserver observer;
  SetDocumentObserver(&observer);
}

void ShowFormatStatus() {
  UserInterface* ui = Services().ui;
  ui->SetStatusText(0, FormatStatusText(Doc().format));
  char text[48];
  std::snprintf(text, sizeof text, texts::kLengthStatus, static_cast<long>(Doc().length));
  ui->SetStatusText(1, text);
}

std::vector<std::string> LongestStatusTexts() {
  const SoundDocument& doc = Doc();
  SoundFormat stereo = doc.format;
  if (stereo.nChannels < 2) stereo.nChannels = 2;
  std::string format = FormatStatusText(doc.format), wider = FormatStatusText(stereo);
  char length[48];
  std::snprintf(length, sizeof length, texts::kLengthStatus, static_cast<long>(doc.length));
  const std::string end = FormatTime(doc.length);
  const long frames = doc.format.nBlockAlign != 0 ? doc.length / doc.format.nBlockAlign : 0;
  char selection[160];
  std::snprintf(selection, sizeof selection, texts::kSelectionFormat, end.c_str(), end.c_str(),
                frames, frames);
  return {wider.size() > format.size() ? wider : format, length, selection,
          PositionStatusText(doc.length)};
}

void UpdateTitle() {
  std::string title = texts::kProductName;
  title += " -[";
  title += Doc().path;
  title += "]";
  Services().ui->SetTitle(title);
}

void RefreshViews() {
  SpectrogramSoundChanged();
  Services().ui->InvalidateViews();
  // New, Open, Undo and the operations move the selection without drawing it.
  Services().ui->SetStatusText(2, CursorOrSelectionStatusText());
}

int CloseMainWindow() {
  // An operation that pumps events must not have its data freed under it:
  // the close waits for the operation's EndBusy.
  if (Busy().busy && !IsAudioRunning()) {
    Busy().closeRequested = true;
    return 0;
  }
  if (ConfirmSaveChanges() != 1) return 0;
  StopAudio();
  Services().ui->CloseWindow();
  return 1;
}

int OpenDroppedFile(const std::string& path) {
  if (path.empty() || Busy().busy || IsAudioRunning()) return 0;
  if (ConfirmSaveChanges() != 1) return 0;
  return OpenSoundFile(path);
}

int OpenCommandLineFile(const std::string& path) {
  if (path.empty()) return 0;
  // A sound restored from a recovery copy is not discarded unasked.
  if (ConfirmSaveChanges() != 1) return 0;
  Doc().path = path;
  return OpenSoundFile(path);
}

}  // namespace kelvora
