#include "shell/commands.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "audio/audio.h"
#include "audio/device_dialog.h"
#include "document/busy.h"
#include "document/operation.h"
#include "document/params.h"
#include "document/sound_document.h"
#include "document/undo.h"
#include "editing/clipboard_commands.h"
#include "editing/convert.h"
#include "effects/amplitude.h"
#include "effects/delay.h"
#include "effects/dynamics.h"
#include "effects/envelope.h"
#include "effects/equalizers.h"
#include "effects/loudness.h"
#include "effects/modulation.h"
#include "effects/pitch_time.h"
#include "files/open_save.h"
#include "generators/generators.h"
#include "platform/param_dialog.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/shell_commands.h"
#include "shell/texts.h"
#include "views/display_settings.h"
#include "views/navigation.h"
#include "views/spectrogram_settings.h"
#include "views/view_state.h"
#include "views/wheel_input.h"

namespace kelvora {
namespace {

// Space: plays from the cursor (the selection when there is one), or stops
// what plays or records.
void PlayOrStop() {
  if (IsAudioRunning())
    StopAudio();
  else
    StartPlayback(kPlayFromCursor);
}

// Stop also ends a pass that can end early (the loudness meter).
void StopCommand() {
  Busy().stopRequested = Busy().busy;
  StopAudio();
}

// One row per command; an operation joins the program by filling its row.
const CommandEntry kCommands[] = {
    {kCmdNewWindow, NewWindow, nullptr, 0},
    {kCmdNew, NewSoundDocument, nullptr, kNewSoundDialog},
    {kCmdOpen, OpenCommand, nullptr, 0},
    {kCmdSave, SaveCommand, nullptr, 0},
    {kCmdSaveAs, SaveAsCommand, nullptr, 0},
    {kCmdConvertFormat, ConvertFormat, "convert", kConvertDialog},
    {kCmdPlay, [] { StartPlayback(kPlayAll); }, nullptr, 0},
    {kCmdPlayFromCursor, [] { StartPlayback(kPlayFromCursor); }, nullptr, 0},
    {kCmdLoopPlay, [] { StartPlayback(kPlayLoop); }, nullptr, 0},
    {kCmdStop, StopCommand, nullptr, 0},
    {kCmdRecord, StartRecording, nullptr, kRecordDialog},
    {kCmdExit, ExitProgram, nullptr, 0},
    {kCmdUndo, SwapUndo, "undo", 0},
    {kCmdCut, CutSelection, "cut", 0},
    {kCmdCopy, CopySelection, "copy", 0},
    {kCmdPaste, PasteClip, "paste", 0},
    {kCmdDelete, DeleteSelection, "delete", 0},
    {kCmdCrop, CropToSelection, "crop", 0},
    {kCmdMix, MixClip, "mix", 0},
    {kCmdSelectAll, SelectAll, "select-all", 0},
    {kCmdNoiseRemoval, NoiseRemoval, "noise-removal", kDialogNoiseRemoval},
    {kCmdRemoveDc, RemoveDc, "remove-dc", 0},
    {kCmdNormalize, Normalize, "normalize", 0},
    {kCmdInvertPhase, InvertPhase, "invert", 0},
    {kCmdSilenceSelection, SilenceSelection, "silence", 0},
    {kCmdFadeIn, FadeIn, "fade-in", 0},
    {kCmdFadeOut, FadeOut, "fade-out", 0},
    {kCmdVolume, Volume, "volume", kDialogVolume},
    {kCmdTremolo, Tremolo, "tremolo", kDialogTremolo},
    {kCmdVolumeEnvelope, [] { VolumeEnvelope(EffectiveDensity()); }, "volume-envelope",
     kDialogVolumeEnvelope},
    {kCmdPanEnvelope, [] { PanEnvelope(EffectiveDensity()); }, "pan-envelope", kDialogPanEnvelope},
    {kCmdNoiseGate, NoiseGate, "noise-gate", kDialogNoiseGate},
    {kCmdCompressor, Compressor, "compressor", kDialogCompressor},
    {kCmdEcho, Echo, "echo", kDialogEcho},
    {kCmdReverb, Reverb, "reverb", kDialogReverb},
    {kCmdPitch, Pitch, "pitch", kDialogPitch},
    {kCmdPitchEnvelope, [] { PitchEnvelope(EffectiveDensity()); }, "pitch-envelope",
     kDialogPitchEnvelope},
    {kCmdVibrato, Vibrato, "vibrato", kDialogVibrato},
    {kCmdTimeStretch, TimeStretch, "time-stretch", kDialogTimeStretch},
    {kCmdTranspose, Transpose, "transpose", kDialogTranspose},
    {kCmdReverse, Reverse, "reverse", 0},
    {kCmdDistortion, Distortion, "distortion", kDialogDistortion},
    {kCmdFlanger, Flanger, "flanger", kDialogFlanger},
    {kCmdGraphicEq, GraphicEqualizer, "graphic-eq", kDialogGraphicEq},
    {kCmdParametricEq, ParametricEqualizer, "parametric-eq", kDialogParametricEq},
    {kCmdWhiteNoise, GenerateNoise, "noise", kDialogNoise},
    {kCmdTone, GenerateTone, "tone", kDialogTone},
    {kCmdInsertSilence, InsertSilence, "insert-silence", kDialogInsertSilence},
    {kCmdMelodyPaste, MelodyPaste, "melody", kDialogMelody},
    {kCmdZoom1024, [] { SetZoomLevel(1); }, nullptr, 0},
    {kCmdZoom256, [] { SetZoomLevel(2); }, nullptr, 0},
    {kCmdZoom64, [] { SetZoomLevel(3); }, nullptr, 0},
    {kCmdZoom16, [] { SetZoomLevel(4); }, nullptr, 0},
    {kCmdZoom4, [] { SetZoomLevel(5); }, nullptr, 0},
    {kCmdZoom1, [] { SetZoomLevel(6); }, nullptr, 0},
    {kCmdZoomIn, ZoomIn, nullptr, 0},
    {kCmdZoomOut, ZoomOut, nullptr, 0},
    {kCmdDevices, DeviceCommand, nullptr, kDeviceDialog},
    {kCmdDisplaySettings, DisplaySettings, nullptr, kDisplaySettingsDialog},
    {kCmdHelp, ShowHelp, nullptr, 0},
    {kCmdAbout, ShowAbout, nullptr, kAboutDialog},
    {kCmdBusyItem, nullptr, nullptr, 0},
    {kCmdZoom4096, [] { SetZoomLevel(0); }, nullptr, 0},
    {kCmdSpectrogram, ToggleSpectrogram, nullptr, 0},
    {kCmdSpectrogramSettings, SpectrogramSettingsDialog, nullptr, kSpectrogramDialog},
    {kCmdVerticalZoom1, [] { SetVerticalZoom(1); }, nullptr, 0},
    {kCmdVerticalZoom2, [] { SetVerticalZoom(2); }, nullptr, 0},
    {kCmdVerticalZoom4, [] { SetVerticalZoom(4); }, nullptr, 0},
    {kCmdVerticalZoom8, [] { SetVerticalZoom(8); }, nullptr, 0},
    {kCmdPlayOrStop, PlayOrStop, nullptr, 0},
    {kCmdCursorStart, [] { MoveCursor(CursorStep::kStart, false); }, nullptr, 0},
    {kCmdCursorEnd, [] { MoveCursor(CursorStep::kEnd, false); }, nullptr, 0},
    {kCmdCursorLeft, [] { MoveCursor(CursorStep::kLeft, false); }, nullptr, 0},
    {kCmdCursorRight, [] { MoveCursor(CursorStep::kRight, false); }, nullptr, 0},
    {kCmdCursorLeftTenth, [] { MoveCursor(CursorStep::kLeftTenth, false); }, nullptr, 0},
    {kCmdCursorRightTenth, [] { MoveCursor(CursorStep::kRightTenth, false); }, nullptr, 0},
    {kCmdExtendStart, [] { MoveCursor(CursorStep::kStart, true); }, nullptr, 0},
    {kCmdExtendEnd, [] { MoveCursor(CursorStep::kEnd, true); }, nullptr, 0},
    {kCmdExtendLeft, [] { MoveCursor(CursorStep::kLeft, true); }, nullptr, 0},
    {kCmdExtendRight, [] { MoveCursor(CursorStep::kRight, true); }, nullptr, 0},
    {kCmdExtendLeftTenth, [] { MoveCursor(CursorStep::kLeftTenth, true); }, nullptr, 0},
    {kCmdExtendRightTenth, [] { MoveCursor(CursorStep::kRightTenth, true); }, nullptr, 0},
    {kCmdFitAll, FitAll, nullptr, 0},
    {kCmdFitSelection, FitSelection, nullptr, 0},
    {kCmdLoudnessInfo, LoudnessInfo, nullptr, kDialogLoudnessInfo},
    {kCmdLoudnessNormalize, LoudnessNormalize, "loudness-normalize", kDialogLoudnessNormalize},
};

}  // namespace

const CommandEntry* CommandTable(int* count) {
  *count = static_cast<int>(std::size(kCommands));
  return kCommands;
}

const CommandEntry* FindCommand(int id) {
  for (const CommandEntry& c : kCommands)
    if (c.id == id) return &c;
  return nullptr;
}

const CommandEntry* FindCliVerb(const char* verb) {
  for (const CommandEntry& c : kCommands)
    if (c.cliVerb != nullptr && std::strcmp(c.cliVerb, verb) == 0) return &c;
  return nullptr;
}

bool CommandAllowed(int id, int code) {
  // Space stops playback as Stop does; during an operation it is dropped.
  const bool stops = id == kCmdStop || (id == kCmdPlayOrStop && IsAudioRunning());
  if (Busy().busy && (code == kCodeMenu || code == kCodeAccelerator) && !stops) return false;
  return code == kCodeMenu || code == kCodeAccelerator;
}

bool DispatchCommand(int id, int code) {
  if (!CommandAllowed(id, code)) return false;
  const bool recent = id >= kCmdRecentFirst && id <= kCmdRecentLast;
  const CommandEntry* c = recent ? nullptr : FindCommand(id);
  if (!recent && (c == nullptr || c->action == nullptr)) return false;
  // The last line against a shortage that an operation did not meet itself:
  // the message, and the window stays with the unsaved sound in it (the
  // operation's undo copy, if it made one, still holds what came before).
  try {
    if (recent)
      OpenRecentFile(id - (kCmdRecentFirst - 1));
    else
      c->action();
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory(texts::kProductName);
  } catch (const std::length_error&) {
    ShowOutOfMemory(texts::kProductName);
  }
  return true;
}

void ResetProcessState() {
  ResetDocumentState();
  ResetUndoState();
  ResetBusyState();
  ResetViewState();
  ResetShellState();
  ResetOpenSaveState();
  ResetParams();
  ResetAudioState();
}

void StartEngine() {
  ResetProcessState();
  InstallWindowObserver();
  TakeUndoSnapshot();
}

}  // namespace kelvora
