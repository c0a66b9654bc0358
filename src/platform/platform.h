// The engine's only way out: every service it needs from a desktop (message
// boxes, status bar, menus, dialogs, clipboard, settings, sound devices,
// processes, the clock) goes through these interfaces. The Qt program and
// the headless host (tests, kelvora-cli) each implement all of them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvora {

class DialogHandler;

enum class MsgIcon { kNone, kWarning, kInformation, kQuestion };
enum class MsgButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
// The answers keep the numbers callers have always compared against.
enum MsgResult : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

enum class MenuMode { kMain, kBusy, kDevice };

class UserInterface {
public:
  virtual ~UserInterface() = default;
  // `owned` false is a box without owner window.
  virtual int MessageBox(const std::string& caption, const std::string& text, MsgIcon icon,
                         MsgButtons buttons, bool owned = true) = 0;
  virtual void SetStatusText(int part, const std::string& text) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void SetMenuMode(MenuMode mode) = 0;
  // The check mark of the zoom items follows the level (0..6).
  virtual void SetZoomChecks(int level) = 0;
  // The check mark of a menu item that is switched on and off.
  virtual void SetMenuCheck(int /*id*/, bool /*checked*/) {}
  // Invalidate the waveform view (no erase) and the overview (erase).
  virtual void InvalidateViews() = 0;
  // Redraw the selection tint only.
  virtual void SelectionChanged() = 0;
  // The view start moved: redraw the overview's frame of the visible stretch.
  virtual void ViewFrameChanged() = 0;
  virtual void SetScrollPosition(int position) = 0;
  // The view start or zoom changed: repaint the waveform view only.
  virtual void RepaintWaveView() = 0;
  // The view start moved by `columns` whole pixel columns (positive: to the
  // right, the picture moves left): shift the picture, draw what is uncovered.
  virtual void ScrollWaveView(int columns) = 0;
  // Playback reached `fraction` of the sound: the overview shows it.
  virtual void DrawPlayPosition(double fraction) = 0;
  // Playback ended: clear the band between plot and time axis.
  virtual void ClearPlayBand() = 0;
  // The playhead: a line on client column `x` of the waveform view, -1 for
  // none. Only the old and the new column are drawn again.
  virtual void DrawPlayhead(int /*x*/) {}
  // The toolbar's play, play-from-cursor, loop and record buttons.
  virtual void SetTransportButtons(bool /*on*/) {}
  // Dispatches at most one pending event; returns whether one was handled.
  virtual bool DispatchOnePendingEvent() = 0;
  // Destroys the main window; the program then saves its settings and ends.
  virtual void CloseWindow() = 0;
};

// Runs one modal dialog built from the resource description `dialog_id`,
// telling `handler` what the user does. Returns the dialog result.
class DialogHost {
public:
  virtual ~DialogHost() = default;
  virtual int RunDialog(int dialog_id, DialogHandler& handler) = 0;
};

// What reading the clipboard's sound gave: none, the block, no memory for
// it, or sound in a form this program cannot take (another program's WAV
// that is not whole PCM).
enum class ClipboardRead { kNone, kRead, kOutOfMemory, kUnusable };

// The system clipboard as it carries sound: one wave block, in the layout
// that Copy writes (a 44-byte-header WAV image). Sound can be as large as
// the memory left, so neither direction may fail by throwing, and the bytes
// are held once: the clipboard keeps the block it is handed, and readers
// see it where it is.
class Clipboard {
public:
  virtual ~Clipboard() = default;
  // Puts the block on the clipboard as it is; `block` keeps it alive for as
  // long as the clipboard or a reader needs it.
  virtual void HandWave(std::shared_ptr<const uint8_t> block, size_t size) = 0;
  // The clipboard's sound as a block, where it is (another program's WAV
  // that has no block's header is given one in a block of its own). `block`
  // keeps it alive even when the clipboard changes meanwhile.
  virtual ClipboardRead ViewWave(std::shared_ptr<const uint8_t>* block, size_t* size) = 0;
  virtual void Clear() = 0;

  // Puts a copy of the block on the clipboard. False when memory for the
  // copy ran out (the clipboard is then empty).
  bool SetWave(const uint8_t* block, size_t size);
  // Copies the clipboard's sound into the memory that `allocate` gives for
  // its size (null when it cannot).
  ClipboardRead GetWave(const std::function<uint8_t*(size_t)>& allocate);
};

// One filter of a file dialog: the text shown ("AIF File (*.aif;*.aiff)")
// and the name patterns it stands for, separated by ';' ("*.aif;*.aiff").
struct FileFilter {
  std::string label;
  std::string patterns;
};

// The desktop's file dialogs. Filters are chosen by index into `filters`.
class FileDialogs {
public:
  virtual ~FileDialogs() = default;
  // Asks for an existing file, starting in `directory` with filter
  // `filter` selected. False when cancelled.
  virtual bool GetOpenPath(const std::string& directory, const std::vector<FileFilter>& filters,
                           int filter, std::string* path) = 0;
  // Asks for a file to write, proposing `name` (a bare name or a full path)
  // in `directory`. With `confirmOverwrite` the dialog asks before it accepts
  // an existing file. Gives the path and the index of the filter in force.
  // False when cancelled.
  virtual bool GetSavePath(const std::string& name, const std::string& directory,
                           const std::vector<FileFilter>& filters, int filter,
                           bool confirmOverwrite, std::string* path, int* chosenFilter) = 0;
};

// Windows-style profile (ini) file access.
class Profile {
public:
  virtual ~Profile() = default;
  virtual int GetInt(const std::string& section, const std::string& key, int def) = 0;
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& def) = 0;
  virtual bool WriteString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
  // Writes between Hold and Release may reach the file together, in one
  // write at Release, which returns whether they did. Holds nest.
  virtual void Hold() {}
  virtual bool Release() { return true; }
};

// Holds a profile's writes for a scope: several keys, one write.
class HeldProfileWrites {
public:
  explicit HeldProfileWrites(Profile* profile) : profile_(profile) { profile_->Hold(); }
  ~HeldProfileWrites() { profile_->Release(); }
  HeldProfileWrites(const HeldProfileWrites&) = delete;
  HeldProfileWrites& operator=(const HeldProfileWrites&) = delete;

private:
  Profile* profile_;
};

enum class StartResult { kOk, kOutOfMemory, kFailed };

class Processes {
public:
  virtual ~Processes() = default;
  virtual StartResult StartSelf() = 0;
  // Opens a document (the help file) with the desktop's viewer.
  virtual bool OpenDocument(const std::string& path) = 0;
  // Plays a sound file without waiting; silently nothing when it is missing.
  virtual void PlaySoundFile(const std::string& path) = 0;
};

class Clock {
public:
  virtual ~Clock() = default;
  virtual int64_t NowMs() = 0;
};

// What the recovery copies need to know of the system.
class System {
public:
  virtual ~System() = default;
  virtual int64_t ProcessId() = 0;
  // When process `pid` started, in the system's own unit (0: unknown). A
  // process id is reused; the pair of both is not.
  virtual uint64_t ProcessStart(int64_t pid) = 0;
  // Whether the process that had `pid` and started at `start` still runs.
  virtual bool ProcessRunning(int64_t pid, uint64_t start) = 0;
  // Bytes this user may still write on the file system that holds `path`
  // (or its nearest existing parent); -1 when that cannot be known.
  virtual int64_t FreeBytes(const std::string& path) = 0;
  // Seconds since 1970, for the times a user reads.
  virtual int64_t WallSeconds() = 0;
  // Where programs keep state between runs ($XDG_STATE_HOME, else
  // ~/.local/state); empty when there is no home.
  virtual std::string StateFolder() = 0;
};

// Work done away from the user-interface thread, one task at a time, in
// the order posted. A task touches only what it owns and what was made to
// be shared between threads.
class Background {
public:
  virtual ~Background() = default;
  virtual void Post(std::function<void()> task) = 0;
  // Returns once every task posted so far has run.
  virtual void Drain() = 0;
};

// ----- Wave devices ---------------------------------------------------------

// The twelve format bits of a device: rate 11025, 22050 or 44100 (1, 2, 4),
// mono or stereo (M, S), 8 or 16 bits.
enum WaveFormatBit : uint32_t {
  kWaveFormat1M08 = 0x1,
  kWaveFormat1S08 = 0x2,
  kWaveFormat1M16 = 0x4,
  kWaveFormat1S16 = 0x8,
  kWaveFormat2M08 = 0x10,
  kWaveFormat2S08 = 0x20,
  kWaveFormat2M16 = 0x40,
  kWaveFormat2S16 = 0x80,
  kWaveFormat4M08 = 0x100,
  kWaveFormat4S08 = 0x200,
  kWaveFormat4M16 = 0x400,
  kWaveFormat4S16 = 0x800,
};

// What an output device supports besides playing.
enum WaveSupportBit : uint32_t {
  kWaveCapsPitch = 0x1,
  kWaveCapsPlaybackRate = 0x2,
  kWaveCapsVolume = 0x4,
  kWaveCapsLrVolume = 0x8,
  kWaveCapsSync = 0x10,
};

struct WaveDeviceCaps {
  std::string name;
  uint16_t manufacturerId = 0;
  uint16_t productId = 0;
  uint32_t driverVersion = 0;  // major in bits 8..15, minor in bits 0..7
  uint16_t channels = 0;
  uint32_t formats = 0;  // WaveFormatBit
  uint32_t support = 0;  // WaveSupportBit
};

struct WaveStreamFormat {
  uint32_t samplesPerSec = 0;
  uint16_t bitsPerSample = 0;
  uint16_t channels = 0;
  // Output: the sound the device holds ahead of what is heard, in ms; 0
  // for its own generous default. A preview keeps it short, so that a
  // change is heard soon.
  int32_t leadMs = 0;
};

// Results of opening a stream; the numbers are the codes the user's
// messages are chosen by.
enum WaveResult : int {
  kWaveOk = 0,
  kWaveError = 1,
  kWaveBadDeviceId = 2,
  kWaveAllocated = 4,
  kWaveNoMemory = 7,
  kWaveBadFormat = 32,
  kWaveSync = 35,
};

// Where the streams report. Calls come from the event loop on the UI
// thread, never from inside a call into WaveDevices.
class WaveListener {
public:
  virtual ~WaveListener() = default;
  // An output chunk has been played, or given back by ResetOutput.
  virtual void OutputDone(int tag, int bytes) = 0;
  // The input block is full, or the input was stopped: `bytes` recorded.
  virtual void InputDone(int bytes) = 0;
};

// The sound devices. Device -1 is the desktop's default device, 0 .. count-1
// the devices of the lists as last read by Refresh.
class WaveDevices {
public:
  virtual ~WaveDevices() = default;
  // Reads the device lists again: devices come and go while the program runs.
  virtual void Refresh() = 0;
  virtual int OutputCount() = 0;
  virtual int InputCount() = 0;
  // False (and `caps` untouched) when there is no such device.
  virtual bool OutputCaps(int device, WaveDeviceCaps* caps) = 0;
  virtual bool InputCaps(int device, WaveDeviceCaps* caps) = 0;

  // One output stream at a time. Each written chunk is copied at once and
  // comes back through OutputDone(tag, bytes) when it has been played.
  virtual WaveResult OpenOutput(int device, const WaveStreamFormat& format,
                                WaveListener* listener) = 0;
  virtual bool WriteOutput(int tag, const uint8_t* data, int bytes) = 0;
  // Stops at once; every chunk not yet reported comes back through OutputDone.
  virtual void ResetOutput() = 0;
  virtual void CloseOutput() = 0;

  // One input stream at a time, recording into one block of the caller's,
  // which must stay valid until InputDone.
  virtual WaveResult OpenInput(int device, const WaveStreamFormat& format,
                               WaveListener* listener) = 0;
  virtual bool PrepareInput(uint8_t* block, int bytes) = 0;
  virtual bool AddInput() = 0;
  virtual void StartInput() = 0;
  // Stops recording; an added block comes back through InputDone.
  virtual void StopInput() = 0;
  // Bytes of the prepared block filled so far: what has been recorded can
  // be kept while the recording still runs.
  virtual int InputRecorded() { return 0; }
  virtual void CloseInput() = 0;

  // Plays a sound file on the default device without waiting; nothing when
  // it is missing or unreadable.
  virtual void PlaySoundFile(const std::string& path) = 0;
};

// What the engine reaches the outside world through. Every pointer is set
// before the engine is used; InstallHeadlessPlatform() gives a complete set.
struct Platform {
  UserInterface* ui = nullptr;
  DialogHost* dialogs = nullptr;
  Clipboard* clipboard = nullptr;
  FileDialogs* fileDialogs = nullptr;
  Profile* profile = nullptr;
  Processes* processes = nullptr;
  Clock* clock = nullptr;
  WaveDevices* waveDevices = nullptr;
  System* system = nullptr;
  Background* background = nullptr;
};

Platform& Services();

// Shorthands for the calls every operation makes.
int ShowMessage(const std::string& caption, const std::string& text, MsgIcon icon,
                MsgButtons buttons = MsgButtons::kOk);
inline int ShowWarning(const std::string& caption, const std::string& text) {
  return ShowMessage(caption, text, MsgIcon::kWarning);
}

}  // namespace kelvora
