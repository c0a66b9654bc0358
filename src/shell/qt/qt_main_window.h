// The main window: menu bar, toolbar, the two views and the status bar.
// Every menu item, accelerator and toolbar button ends in one dispatch
// call with its command id; the window itself decides nothing.
#pragma once

#include <QMainWindow>
#include <QSize>
#include <functional>
#include <map>
#include <vector>

#include "platform/platform.h"
#include "views/qt/overview_view.h"
#include "views/qt/wave_view.h"

class QAction;
class QMenu;
class QTimer;
class QToolBar;

namespace kelvora {

class StatusBar;

class QtMainWindow : public QMainWindow {
  Q_OBJECT

public:
  // Receives (id, code): code 0 from a menu or the toolbar, 1 from an
  // accelerator. The default is DispatchCommand.
  using Dispatcher = std::function<void(int id, int code)>;

  explicit QtMainWindow(QWidget* parent = nullptr);

  StatusBar* Status() const { return status_; }
  QToolBar* Toolbar() const { return toolbar_; }
  kelvora::WaveView* WaveView() const { return wave_; }
  OverviewView* Overview() const { return overview_; }

  void SetDispatcher(Dispatcher dispatcher) { dispatcher_ = std::move(dispatcher); }
  void SetMenuMode(MenuMode mode);
  void SetZoomChecks(int level);
  // Makes the item checkable; only this sets its mark, not a click.
  void SetMenuCheck(int id, bool checked);
  // Play, play from cursor, loop and record on the toolbar.
  void SetTransportButtons(bool on);
  // The recent-file items at the end of the File menu, from the settings.
  void RebuildRecentFiles();

  // Outer size (frame included) as stored in the settings, at most the
  // available area of the screen. The frame is known only once the window
  // manager has framed the window, so the size is corrected then, and the
  // frame moved inside the available area of the screen it landed on.
  void RequestOuterSize(int width, int height);
  QSize OuterSize() const;

  // The engine agreed to close (the save question was answered): the
  // window closes, writes the settings and the program ends.
  void CloseConfirmed();

protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool event(QEvent* event) override;

private:
  void BuildMenus();
  void BuildAccelerators();
  void BuildToolbar();
  // Runs the command from the event loop, after the menu or key that
  // raised it has finished its own handling.
  void Post(int id, int code);
  void ApplyPendingOuterSize();
  QSize FitOnScreen(QSize outer) const;

  Dispatcher dispatcher_;
  StatusBar* status_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  kelvora::WaveView* wave_ = nullptr;
  OverviewView* overview_ = nullptr;
  std::vector<QMenu*> popups_;
  std::vector<QAction*> busyBar_, deviceBar_;
  std::vector<QAction*> recentItems_;
  std::map<int, QAction*> zoomItems_;  // by zoom level
  std::map<int, bool> menuChecks_;     // by command id
  MenuMode menuMode_ = MenuMode::kMain;
  QTimer* audioTimer_ = nullptr;
  int zoomLevel_ = -1;
  QSize pendingOuterSize_;
  bool closeConfirmed_ = false;
  bool insideCloseEvent_ = false;
  bool settingsSaved_ = false;
};

}  // namespace kelvora
