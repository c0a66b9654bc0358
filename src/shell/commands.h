// Every command of the menus, accelerators and toolbar, and the one entry
// point they all go through.
#pragma once

#include <cstdint>

namespace kelvora {

enum CommandId : int {
  kCmdNewWindow = 40001,
  kCmdNew = 40002,
  kCmdOpen = 40003,
  kCmdSave = 40004,
  kCmdSaveAs = 40005,
  kCmdConvertFormat = 40006,
  kCmdPlay = 40007,
  kCmdPlayFromCursor = 40008,
  kCmdLoopPlay = 40009,
  kCmdStop = 40010,
  kCmdRecord = 40011,
  kCmdExit = 40012,
  kCmdUndo = 40013,
  kCmdCut = 40014,
  kCmdCopy = 40015,
  kCmdPaste = 40016,
  kCmdDelete = 40017,
  kCmdCrop = 40018,
  kCmdMix = 40019,
  kCmdSelectAll = 40020,
  kCmdNoiseRemoval = 40021,
  kCmdRemoveDc = 40022,
  kCmdNormalize = 40023,
  kCmdInvertPhase = 40024,
  kCmdSilenceSelection = 40025,
  kCmdFadeIn = 40026,
  kCmdFadeOut = 40027,
  kCmdVolume = 40028,
  kCmdTremolo = 40029,
  kCmdVolumeEnvelope = 40030,
  kCmdPanEnvelope = 40031,
  kCmdNoiseGate = 40032,
  kCmdCompressor = 40033,
  kCmdEcho = 40034,
  kCmdReverb = 40035,
  kCmdPitch = 40036,
  kCmdPitchEnvelope = 40037,
  kCmdVibrato = 40038,
  kCmdTimeStretch = 40039,
  kCmdTranspose = 40040,
  kCmdReverse = 40041,
  kCmdDistortion = 40042,
  kCmdFlanger = 40043,
  kCmdGraphicEq = 40044,
  kCmdParametricEq = 40045,
  kCmdWhiteNoise = 40046,
  kCmdTone = 40047,
  kCmdInsertSilence = 40049,
  kCmdMelodyPaste = 40050,
  kCmdZoom1024 = 40051,
  kCmdZoom256 = 40052,
  kCmdZoom64 = 40053,
  kCmdZoom16 = 40054,
  kCmdZoom4 = 40055,
  kCmdZoom1 = 40056,
  kCmdZoomIn = 40057,
  kCmdZoomOut = 40058,
  kCmdDevices = 40059,
  kCmdDisplaySettings = 40060,
  kCmdHelp = 40061,
  kCmdAbout = 40062,
  kCmdBusyItem = 40063,
  kCmdZoom4096 = 40072,
  kCmdRecentFirst = 4097,  // 4096 + n for recent file n = 1..6
  kCmdRecentLast = 4102,
};

// Command codes: 0 from a menu or the toolbar, 1 from an accelerator.
inline constexpr int kCodeMenu = 0;
inline constexpr int kCodeAccelerator = 1;

struct CommandEntry {
  int id;
  void (*action)();     // null: not available in this build yet
  const char* cliVerb;  // the batch tool's name for it, or null
  int dialogId;         // the parameter dialog it opens, 0 for none
};

// The whole table, in CommandId order.
const CommandEntry* CommandTable(int* count);
const CommandEntry* FindCommand(int id);
const CommandEntry* FindCliVerb(const char* verb);

// The busy filter alone: whether a command with this id and code may run now.
bool CommandAllowed(int id, int code);
// The busy filter and the dispatch: only Stop passes while busy; codes
// other than menu and accelerator are ignored; unknown ids do nothing.
// Returns whether an action ran.
bool DispatchCommand(int id, int code);

// Every process-wide state of the engine back to its start-up value.
void ResetProcessState();
// ResetProcessState, then what creating the main window does to the
// document: an empty sound and a first undo snapshot of it.
void StartEngine();

}  // namespace kelvora
