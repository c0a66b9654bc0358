// The engine's platform services on Qt: message boxes and the main
// window's status bar, title, menus and views; the system clipboard;
// processes, the help page and the about sound; the clock.
#pragma once

#include <QPointer>
#include <chrono>
#include <memory>

#include "platform/platform.h"

namespace kelvora {

class HelpWindow;
class QtMainWindow;

class QtUserInterface : public UserInterface {
public:
  // Until a window is set, boxes have no owner and window calls do nothing.
  void SetWindow(QtMainWindow* window) { window_ = window; }

  int MessageBox(const std::string& caption, const std::string& text, MsgIcon icon,
                 MsgButtons buttons, bool owned) override;
  void SetStatusText(int part, const std::string& text) override;
  void SetTitle(const std::string& title) override;
  void SetMenuMode(MenuMode mode) override;
  void SetZoomChecks(int level) override;
  void SetMenuCheck(int id, bool checked) override;
  void InvalidateViews() override;
  void SelectionChanged() override;
  void ViewFrameChanged() override;
  void SetScrollPosition(int position) override;
  void RepaintWaveView() override;
  void ScrollWaveView(int columns) override;
  void DrawPlayPosition(double fraction) override;
  void ClearPlayBand() override;
  void DrawPlayhead(int x) override;
  void SetTransportButtons(bool on) override;
  // Handles what is waiting in the event queue (input, painting, timers),
  // so that Stop and the close box work during a long operation.
  bool DispatchOnePendingEvent() override;
  void CloseWindow() override;

private:
  QPointer<QtMainWindow> window_;
  std::chrono::steady_clock::time_point lastEventPass_{};
};

// Sound goes on the clipboard as the block under our own type, and as a
// plain WAV file under the two common WAV types for other programs, held
// once. Paste reads our type first, else a plain PCM WAV that another
// program put there.
class QtClipboard : public Clipboard {
public:
  void HandWave(std::shared_ptr<const uint8_t> block, size_t size) override;
  ClipboardRead ViewWave(std::shared_ptr<const uint8_t>* block, size_t* size) override;
  void Clear() override;
};

class QtProcesses : public Processes {
public:
  QtProcesses();
  ~QtProcesses() override;
  StartResult StartSelf() override;
  // An HTML page (the manual) opens in the program's own help window;
  // anything else in the desktop's viewer.
  bool OpenDocument(const std::string& path) override;
  // Through the sound devices, like every sound the program plays.
  void PlaySoundFile(const std::string& path) override;
  void SetSoundDevices(WaveDevices* devices) { sounds_ = devices; }
  HelpWindow* Help() const { return help_.get(); }

private:
  WaveDevices* sounds_ = nullptr;
  std::unique_ptr<HelpWindow> help_;
};

class QtClock : public Clock {
public:
  int64_t NowMs() override;
};

}  // namespace kelvora
