#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "audio/audio.h"
#include "audio/audio_internal.h"
#include "audio/device_dialog.h"
#include "audio/texts.h"
#include "document/observer.h"
#include "document/sound_document.h"
#include "document/texts.h"
#include "document/undo.h"
#include "editing/convert.h"
#include "files/open_save.h"
#include "platform/param_dialog.h"

namespace kelvora {
namespace {

RecordingState g_recording;
// The format chosen in the dialog; the document takes it only with the
// recorded data, so that its old data is never labelled with it.
SoundFormat g_recordFormat;

// The seconds as the edit box shows them now: the hook runs before the
// dialog stores a typed value.
int32_t ShownSeconds(DialogWindow& dlg, int32_t stored) {
  int32_t v = 0;
  if (!ParseDialogInt(dlg.GetItemText(402), &v)) return stored;
  return std::clamp(v, 1, 300);
}

void MemoryFigureHook(DialogWindow& dlg, ParamEntry* table) {
  int32_t rate = 44100;
  for (int id = 101; id <= 104; ++id)
    if (dlg.GetCheck(id) == kChecked) rate = table[id - 101].min;
  const int32_t seconds = ShownSeconds(dlg, Recording().maxSeconds);
  const uint32_t kb =
      RecordMemoryKb(seconds, rate, dlg.GetCheck(202) == kChecked, dlg.GetCheck(302) == kChecked);
  dlg.SetItemText(500, std::to_string(kb));
}

void CloseInput() {
  Services().waveDevices->CloseInput();
  Recording().deviceOpen = false;
}

// Within [0, length] and on a frame boundary of the new format.
int32_t WithinData(int32_t offset, int32_t length, int32_t align) {
  offset = std::clamp(offset, 0, length);
  return align > 0 ? offset - offset % align : offset;
}

}  // namespace

RecordingState& Recording() { return g_recording; }
const SoundFormat& RecordingFormat() { return g_recordFormat; }

int32_t PeakOf(const uint8_t* block, int32_t from, int32_t to, const SoundFormat& f) {
  int32_t peak = 0;
  const int width = f.wBitsPerSample == 8 ? 1 : 2;
  for (int32_t i = from; i + width <= to; i += width) {
    const int32_t v = width == 1 ? (int32_t{block[i]} - 128) * 256
                                 : static_cast<int16_t>(block[i] | block[i + 1] << 8);
    peak = std::max(peak, v < 0 ? -v : v);
  }
  return peak;
}

std::string PeakStatusText(int32_t peak) {
  if (peak <= 0) return texts::kPeakSilent;
  char text[48];
  std::snprintf(text, sizeof text, texts::kPeakFormat, 20 * std::log10(peak / 32768.0));
  return text;
}

void ShowRecordingProgress() {
  RecordingState& r = Recording();
  const SoundFormat& f = g_recordFormat;
  if (!r.recording || f.nBlockAlign == 0 || f.nSamplesPerSec == 0) return;
  const int32_t limit = static_cast<int32_t>(r.block.size()) - 16;
  int32_t bytes = std::clamp(Services().waveDevices->InputRecorded(), 0, std::max(limit, 0));
  bytes -= bytes % f.nBlockAlign;
  const int64_t seconds = bytes / f.nBlockAlign / f.nSamplesPerSec;
  char text[48];
  std::snprintf(text, sizeof text, texts::kRecordingTimeFormat, static_cast<int>(seconds / 60),
                static_cast<int>(seconds % 60));
  UserInterface* ui = Services().ui;
  ui->SetStatusText(0, text);
  const int32_t tenth = std::max<int32_t>(f.nSamplesPerSec / 10, 1) * f.nBlockAlign;
  ui->SetStatusText(3,
                    PeakStatusText(PeakOf(r.block.data(), std::max(0, bytes - tenth), bytes, f)));
}

uint32_t RecordMemoryKb(int32_t seconds, int32_t rate, bool sixteenBits, bool stereo) {
  return static_cast<uint32_t>(seconds * rate * (sixteenBits ? 2 : 1) * (stereo ? 2 : 1) / 1024);
}

void StartRecording() {
  RecordingState& r = Recording();
  if (r.recording || Playback().mode != kPlayIdle) return;
  if (ConfirmSaveChanges() != 1) return;
  SoundDocument& doc = Doc();
  int32_t rate = static_cast<int32_t>(doc.format.nSamplesPerSec);
  // Devices record 8 or 16 bits; a document of another width offers 16.
  int32_t bits = doc.format.wBitsPerSample == 8 ? 8 : 16;
  int32_t channels = doc.format.nChannels;
  ParamEntry table[14];
  FillFormatDialogTable(table, &rate, &bits, &channels);
  table[8] = {
      .id = 401, .kind = kParamSlider, .value = &r.maxSeconds, .min = 1, .max = 300, .buddy = 402};
  table[9] = {
      .id = 402, .kind = kParamNumber, .value = &r.maxSeconds, .min = 1, .max = 300, .buddy = 401};
  table[10] = {.id = 500, .kind = kParamHook, .hook = MemoryFigureHook};
  table[11] = {};
  // The seconds are edited in place and kept, as every dialog value is.
  if (!RunParamDialog(kRecordDialog, table)) return;

  SoundFormat f;
  f.nChannels = static_cast<uint16_t>(channels);
  f.nSamplesPerSec = static_cast<uint32_t>(rate);
  f.wBitsPerSample = static_cast<uint16_t>(bits);
  f.nBlockAlign = static_cast<uint16_t>(bits * channels / 8);
  f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
  g_recordFormat = f;

  WaveDevices* devices = Services().waveDevices;
  const WaveStreamFormat format{f.nSamplesPerSec, f.wBitsPerSample, f.nChannels};
  if (devices->OpenInput(SelectedInputDevice - 1, format, &AudioListener()) != kWaveOk) {
    ShowWarning(texts::kAudioCaption, texts::kCannotOpenDevice);
    return;
  }
  r.deviceOpen = true;
  UserInterface* ui = Services().ui;
  ui->SetStatusText(0, texts::kPreparing);
  ui->DispatchOnePendingEvent();  // let the status bar show it before the allocation
  const int32_t bytes = r.maxSeconds * rate * f.nBlockAlign;
  // 16 bytes beyond the recording, as every data block has; shrinking it
  // to the recorded length at the end then cannot fail.
  const bool snapshot = TakeUndoSnapshot();
  // The recording takes the document's place as New does; undo brings the
  // old one back whole.
  if (snapshot) KeepFileInUndo();
  if (!snapshot || !r.block.Resize(static_cast<size_t>(bytes) + 16)) {
    r.block.Free();
    CloseInput();
    ShowWarning(texts::kAudioCaption, texts::kOutOfMemory);
    RestoreMainWindow();
    return;
  }
  if (!devices->PrepareInput(r.block.data(), bytes)) {
    ShowWarning(texts::kAudioCaption, texts::kPrepareError);
    r.block.Free();
    CloseInput();
    RestoreMainWindow();
    return;
  }
  ui->SetStatusText(0, texts::kRecordingStatus);
  r.blockAdded = devices->AddInput();
  if (!r.blockAdded) ShowWarning(texts::kAudioCaption, texts::kAddBufferError);
  r.recording = true;
  devices->StartInput();
  SetTransportButtons(false);
  ui->SetMenuMode(MenuMode::kDevice);
}

void FinishRecording(int32_t bytes) {
  RecordingState& r = Recording();
  if (!r.recording) return;
  CloseInput();
  r.recording = false;
  r.blockAdded = false;

  SoundDocument& doc = Doc();
  const int32_t align = g_recordFormat.nBlockAlign;
  bytes = std::clamp(bytes, 0, static_cast<int32_t>(r.block.size()) - 16);
  bytes -= align > 0 ? bytes % align : 0;
  doc.data.Free();
  doc.data.Swap(r.block);
  doc.data.Resize(static_cast<size_t>(bytes) + 16);  // a shrink: cannot fail
  doc.length = bytes;
  SetDocumentFormat(g_recordFormat);
  // The old positions may lie beyond a shorter recording or between the
  // frames of the new format.
  doc.selStart = WithinData(doc.selStart, bytes, align);
  doc.selEnd = WithinData(doc.selEnd, bytes, align);
  doc.anchor = WithinData(doc.anchor, bytes, align);
  doc.movingEnd = WithinData(doc.movingEnd, bytes, align);
  doc.viewStart = WithinData(doc.viewStart, bytes, align);
  doc.modified = true;
  // A new sound: Save asks for a name instead of writing over the file that
  // was open before.
  doc.path = kUntitledPath;
  NotifyTitleChanged();
  SetTransportButtons(true);
  Services().ui->SetStatusText(3, "");  // the last peak is no longer news
  RestoreMainWindow();
}

}  // namespace kelvora
