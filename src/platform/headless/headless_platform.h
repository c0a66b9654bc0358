// A complete platform without a window system: tests and kelvora-cli run
// the engine on it. Questions are answered from a queue (or one default),
// and everything the engine shows is recorded for inspection.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_dialogs.h"
#include "platform/headless/headless_system.h"
#include "platform/headless/headless_wave_devices.h"
#include "platform/platform.h"

namespace kelvora {

struct ShownMessage {
  std::string caption;
  std::string text;
  MsgIcon icon = MsgIcon::kNone;
  MsgButtons buttons = MsgButtons::kOk;
  bool owned = true;
  int answer = kIdOk;
};

class HeadlessUi : public UserInterface {
public:
  int MessageBox(const std::string& caption, const std::string& text, MsgIcon icon,
                 MsgButtons buttons, bool owned) override;
  void SetStatusText(int part, const std::string& text) override;
  void SetTitle(const std::string& title) override { this->title = title; }
  void SetMenuMode(MenuMode mode) override;
  void SetZoomChecks(int level) override { zoomChecked = level; }
  void SetMenuCheck(int id, bool checked) override { menuChecks[id] = checked; }
  void InvalidateViews() override { ++invalidations; }
  void SelectionChanged() override { ++selectionRedraws; }
  void ViewFrameChanged() override { ++viewFrameRedraws; }
  void SetScrollPosition(int position) override { scrollPosition = position; }
  void RepaintWaveView() override { ++waveRepaints; }
  void ScrollWaveView(int columns) override { waveScrolls.push_back(columns); }
  void DrawPlayPosition(double fraction) override { playPositions.push_back(fraction); }
  void ClearPlayBand() override { ++playBandClears; }
  void DrawPlayhead(int x) override { playheads.push_back(x); }
  void SetTransportButtons(bool on) override { transportOn = on; }
  bool DispatchOnePendingEvent() override;
  void CloseWindow() override { closed = true; }

  // Answers for the next questions, in order. When the queue is empty a
  // question gets the positive answer (OK/Yes), or the negative one
  // (Cancel/No) when `answerNegative` is set.
  std::deque<int> answers;
  bool answerNegative = false;
  // Called for every shown box, after it is recorded (the batch tool prints).
  std::function<void(const ShownMessage&)> onMessage;
  // Run by DispatchOnePendingEvent, as if a queued event were handled; a
  // test uses it to press a command in the middle of an operation.
  std::deque<std::function<void()>> pendingEvents;

  std::vector<ShownMessage> messages;
  std::string status[4];
  std::vector<std::string> statusLog;  // every status text written, part 0 only
  std::string title;
  MenuMode menuMode = MenuMode::kMain;
  std::vector<MenuMode> menuModeLog;
  int zoomChecked = -1;
  std::map<int, bool> menuChecks;
  int invalidations = 0;
  int selectionRedraws = 0;
  int viewFrameRedraws = 0;
  int scrollPosition = 0;
  int waveRepaints = 0;
  std::vector<int> waveScrolls;
  std::vector<double> playPositions;
  int playBandClears = 0;
  std::vector<int> playheads;
  bool transportOn = true;
  int eventsDispatched = 0;
  bool closed = false;
};

class HeadlessClipboard : public Clipboard {
public:
  void HandWave(std::shared_ptr<const uint8_t> block, size_t size) override {
    wave = std::move(block);
    waveSize = size;
    hasWave = true;
  }
  ClipboardRead ViewWave(std::shared_ptr<const uint8_t>* block, size_t* size) override;
  // Emptying the clipboard gives its memory back, as the system's does.
  void Clear() override {
    wave.reset();
    waveSize = 0;
    hasWave = false;
  }
  // A copy of the block, for tests to look at.
  std::vector<uint8_t> Bytes() const {
    return wave ? std::vector<uint8_t>(wave.get(), wave.get() + waveSize) : std::vector<uint8_t>();
  }
  std::shared_ptr<const uint8_t> wave;
  size_t waveSize = 0;
  bool hasWave = false;
};

// File dialogs answered from a queue: each answer is a path (and the filter
// the user switched to, or -1 to keep the preselected one); with nothing
// queued the dialog is cancelled. Every call is recorded.
class HeadlessFileDialogs : public FileDialogs {
public:
  struct Call {
    bool save = false;
    std::string name;  // save: the proposed name
    std::string directory;
    std::vector<FileFilter> filters;
    int filter = 0;
    bool confirmOverwrite = false;
  };
  bool GetOpenPath(const std::string& directory, const std::vector<FileFilter>& filters, int filter,
                   std::string* path) override;
  bool GetSavePath(const std::string& name, const std::string& directory,
                   const std::vector<FileFilter>& filters, int filter, bool confirmOverwrite,
                   std::string* path, int* chosenFilter) override;

  void Answer(const std::string& path, int filter = -1) { answers.push_back({true, path, filter}); }
  void Cancel() { answers.push_back({false, "", -1}); }

  struct Reply {
    bool ok;
    std::string path;
    int filter;
  };
  std::deque<Reply> answers;
  std::vector<Call> calls;
};

// Sections and keys case-insensitive, like the profile files it stands for.
class MemoryProfile : public Profile {
public:
  int GetInt(const std::string& section, const std::string& key, int def) override;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& def) override;
  bool WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override;
  std::map<std::string, std::string> values;  // "section\nkey", lower case
};

class HeadlessProcesses : public Processes {
public:
  StartResult StartSelf() override {
    ++started;
    return startResult;
  }
  bool OpenDocument(const std::string& path) override {
    opened.push_back(path);
    return true;
  }
  void PlaySoundFile(const std::string& path) override { played.push_back(path); }
  StartResult startResult = StartResult::kOk;
  int started = 0;
  std::vector<std::string> opened, played;
};

class FakeClock : public Clock {
public:
  int64_t NowMs() override { return now; }
  int64_t now = 0;
};

class HeadlessPlatform {
public:
  HeadlessPlatform();
  // Makes this the platform the engine uses.
  void Install();

  HeadlessUi ui;
  HeadlessDialogHost dialogs;
  HeadlessClipboard clipboard;
  HeadlessFileDialogs fileDialogs;
  MemoryProfile memoryProfile;
  HeadlessProcesses processes;
  FakeClock clock;
  HeadlessWaveDevices waveDevices;
  HeadlessSystem system;
  HeadlessBackground background;
  Profile* profile = &memoryProfile;  // a test may point it at a real file
};

}  // namespace kelvora
