#include "shell/qt/qt_main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

#include "audio/audio.h"
#include "document/busy.h"
#include "document/sine_table.h"
#include "resources/menus.h"
#include "shell/commands.h"
#include "shell/layout.h"
#include "shell/main_window.h"
#include "shell/qt/icons.h"
#include "shell/qt/status_bar.h"
#include "shell/settings.h"
#include "views/qt/overview_view.h"
#include "views/qt/wave_view.h"

namespace kelvora {
namespace {

// Zoom level of each item of the zoom popup, coarsest first.
constexpr int kZoomIds[] = {kCmdZoom4096, kCmdZoom1024, kCmdZoom256, kCmdZoom64,
                            kCmdZoom16,   kCmdZoom4,    kCmdZoom1};

// Stored sizes come from a file a user may edit.
constexpr int kMinOuterWidth = 160, kMinOuterHeight = 120;

// The area between toolbar and status bar: the waveform view over seven
// eighths, the overview under it.
class ViewArea : public QWidget {
public:
  explicit ViewArea(QWidget* parent) : QWidget(parent) {}
  QWidget* wave = nullptr;
  QWidget* overview = nullptr;

protected:
  void resizeEvent(QResizeEvent*) override {
    const MainLayout l = ComputeMainLayout(width(), height(), 0, 0);
    if (wave) wave->setGeometry(l.wave.left, l.wave.top, l.wave.width, l.wave.height);
    if (overview)
      overview->setGeometry(l.overview.left, l.overview.top, l.overview.width, l.overview.height);
  }
};

// A menu label without its mnemonic, for the toolbar's tips.
QString PlainLabel(const char* label) {
  QString text = QString::fromUtf8(label);
  const int open = text.indexOf(QStringLiteral("(&"));
  if (open >= 0) text.truncate(open);
  text.remove(QLatin1Char('&'));
  if (text.endsWith(QStringLiteral("..."))) text.chop(3);
  return text;
}

const char* MenuLabel(int id) {
  for (const PopupDesc& popup : MainMenu())
    for (const MenuItemDesc& item : popup.items)
      if (item.id == id) return item.label;
  return "";
}

QString FirstLocalFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls()) return QString();
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return QString();
}

}  // namespace

QtMainWindow::QtMainWindow(QWidget* parent) : QMainWindow(parent) {
  dispatcher_ = [](int id, int code) { DispatchCommand(id, code); };
  setObjectName("Kelvora");
  setWindowTitle(QStringLiteral("Kelvora"));
  setWindowIcon(ProgramIcon());
  setAcceptDrops(true);
  setContextMenuPolicy(Qt::PreventContextMenu);  // no menu that could hide the toolbar

  auto* area = new ViewArea(this);
  wave_ = new kelvora::WaveView(area);
  overview_ = new OverviewView(area);
  area->wave = wave_;
  area->overview = overview_;
  setCentralWidget(area);

  SineTable();  // the oscillators' table is ready before any command runs
  Shell().waveInDevices = 0;
  Shell().waveOutDevices = 0;

  audioTimer_ = new QTimer(this);
  audioTimer_->setInterval(100);
  connect(audioTimer_, &QTimer::timeout, this, [] { ShowRecordingProgress(); });
  BuildMenus();
  BuildAccelerators();
  BuildToolbar();
  status_ = new StatusBar(this);
  setStatusBar(status_);
}

void QtMainWindow::BuildMenus() {
  int popupIndex = 0;
  for (const PopupDesc& popup : MainMenu()) {
    QMenu* menu = new QMenu(QString::fromUtf8(popup.title), this);
    for (const MenuItemDesc& item : popup.items) {
      if (item.id == 0) {
        menu->addSeparator();
        continue;
      }
      QString text = QString::fromUtf8(item.label);
      if (item.keyText != nullptr) text += QLatin1Char('\t') + QString::fromLatin1(item.keyText);
      QAction* action = menu->addAction(text);
      action->setData(item.id);
      const int id = item.id;
      connect(action, &QAction::triggered, this, [this, id] { Post(id, kCodeMenu); });
      if (popupIndex == kZoomPopup) {
        auto level = std::find(std::begin(kZoomIds), std::end(kZoomIds), id) - std::begin(kZoomIds);
        if (level < static_cast<long>(std::size(kZoomIds))) {
          action->setCheckable(true);
          zoomItems_[static_cast<int>(level)] = action;
          // A click toggles the mark by itself; the zoom command sets it.
          connect(action, &QAction::triggered, this, [this] { SetZoomChecks(zoomLevel_); });
        }
      }
    }
    if (popupIndex == kFilePopup)
      connect(menu, &QMenu::aboutToShow, this, &QtMainWindow::RebuildRecentFiles);
    popups_.push_back(menu);
    auto* disabled = new QAction(QString::fromUtf8(popup.title), this);
    disabled->setEnabled(false);
    deviceBar_.push_back(disabled);
    ++popupIndex;
  }
  const MenuItemDesc busy = BusyMenuItem();
  auto* busyItem = new QAction(QString::fromUtf8(busy.label), this);
  busyItem->setData(busy.id);
  busyItem->setEnabled(false);
  busyBar_.push_back(busyItem);
  menuMode_ = MenuMode::kDevice;  // anything else, so that the next call fills the bar
  SetMenuMode(MenuMode::kMain);
}

void QtMainWindow::BuildAccelerators() {
  for (const AcceleratorDesc& acc : Accelerators()) {
    auto* action = new QAction(this);
    action->setShortcut(QKeySequence(QString::fromLatin1(acc.keys), QKeySequence::PortableText));
    action->setShortcutContext(Qt::WindowShortcut);
    action->setData(acc.id);
    const int id = acc.id;
    connect(action, &QAction::triggered, this, [this, id] { Post(id, kCodeAccelerator); });
    addAction(action);
  }
}

void QtMainWindow::BuildToolbar() {
  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName("Toolbar");
  toolbar_->setMovable(false);
  toolbar_->setFloatable(false);
  toolbar_->setIconSize(QSize(16, 15));
  toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  for (const ToolbarEntryDesc& entry : ToolbarEntries()) {
    if (entry.image < 0) {
      toolbar_->addSeparator();
      continue;
    }
    QAction* action =
        toolbar_->addAction(ToolbarIcon(entry.image), PlainLabel(MenuLabel(entry.id)));
    action->setData(entry.id);
    const int id = entry.id;
    connect(action, &QAction::triggered, this, [this, id] { Post(id, kCodeMenu); });
  }
  addToolBar(Qt::TopToolBarArea, toolbar_);
}

void QtMainWindow::Post(int id, int code) {
  QMetaObject::invokeMethod(
      this, [this, id, code] { dispatcher_(id, code); }, Qt::QueuedConnection);
}

void QtMainWindow::SetMenuMode(MenuMode mode) {
  if (mode == menuMode_) return;
  menuMode_ = mode;
  // The recording's time and level while a device runs.
  if (mode == MenuMode::kDevice)
    audioTimer_->start();
  else
    audioTimer_->stop();
  QMenuBar* bar = menuBar();
  for (QAction* action : bar->actions()) bar->removeAction(action);
  switch (mode) {
    case MenuMode::kMain:
      for (QMenu* menu : popups_) bar->addMenu(menu);
      break;
    case MenuMode::kBusy:
      bar->addActions(QList<QAction*>(busyBar_.begin(), busyBar_.end()));
      break;
    case MenuMode::kDevice:
      bar->addActions(QList<QAction*>(deviceBar_.begin(), deviceBar_.end()));
      break;
  }
}

void QtMainWindow::SetZoomChecks(int level) {
  zoomLevel_ = level;
  for (auto& [itemLevel, action] : zoomItems_) action->setChecked(itemLevel == level);
}

void QtMainWindow::SetMenuCheck(int id, bool checked) {
  for (QMenu* menu : popups_)
    for (QAction* action : menu->actions()) {
      if (action->data().toInt() != id) continue;
      if (!action->isCheckable()) {
        action->setCheckable(true);
        connect(action, &QAction::triggered, this,
                [this, action, id] { action->setChecked(menuChecks_[id]); });
      }
      menuChecks_[id] = checked;
      action->setChecked(checked);
    }
}

void QtMainWindow::SetTransportButtons(bool on) {
  for (QAction* action : toolbar_->actions()) {
    const int id = action->data().toInt();
    if (id == kCmdPlay || id == kCmdPlayFromCursor || id == kCmdLoopPlay || id == kCmdRecord)
      action->setEnabled(on);
  }
}

void QtMainWindow::RebuildRecentFiles() {
  QMenu* file = popups_[kFilePopup];
  for (QAction* action : recentItems_) {
    file->removeAction(action);
    action->deleteLater();
  }
  recentItems_.clear();
  for (const RecentMenuItem& item : ReadRecentMenuItems()) {
    QString text = QString::fromUtf8(item.text.c_str());
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));  // a path has no mnemonic
    QAction* action = file->addAction(text);
    action->setData(item.id);
    const int id = item.id;
    connect(action, &QAction::triggered, this, [this, id] { Post(id, kCodeMenu); });
    recentItems_.push_back(action);
  }
}

// A stored size is a wish: the window never outgrows the usable part of the
// screen it is on, where its edges and buttons could not be reached (and
// where its pixels would cost memory for nothing).
QSize QtMainWindow::FitOnScreen(QSize outer) const {
  const QSize room = screen() != nullptr ? screen()->availableGeometry().size() : QSize();
  const int maxWidth = room.isValid() ? std::max(room.width(), kMinOuterWidth) : 16384;
  const int maxHeight = room.isValid() ? std::max(room.height(), kMinOuterHeight) : 16384;
  return QSize(std::clamp(outer.width(), kMinOuterWidth, maxWidth),
               std::clamp(outer.height(), kMinOuterHeight, maxHeight));
}

void QtMainWindow::RequestOuterSize(int width, int height) {
  pendingOuterSize_ = FitOnScreen(QSize(width, height));
  resize(pendingOuterSize_);
  ApplyPendingOuterSize();
}

QSize QtMainWindow::OuterSize() const { return frameGeometry().size(); }

void QtMainWindow::ApplyPendingOuterSize() {
  if (!pendingOuterSize_.isValid() || !isVisible()) return;
  const QSize frame = frameGeometry().size() - geometry().size();
  if (frame.width() <= 0 && frame.height() <= 0) return;  // not framed (yet)
  // The screen it landed on decides, and the whole frame goes inside it.
  const QSize outer = FitOnScreen(pendingOuterSize_);
  pendingOuterSize_ = QSize();
  resize(outer - frame);
  if (screen() == nullptr) return;
  const QRect area = screen()->availableGeometry();
  const QPoint at = frameGeometry().topLeft();
  const QPoint inside(std::clamp(at.x(), area.left(), area.right() + 1 - outer.width()),
                      std::clamp(at.y(), area.top(), area.bottom() + 1 - outer.height()));
  if (inside != at) move(inside);
}

bool QtMainWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
      if (pendingOuterSize_.isValid())
        QTimer::singleShot(0, this, [this] { ApplyPendingOuterSize(); });
      break;
    default:
      break;
  }
  return QMainWindow::event(event);
}

void QtMainWindow::CloseConfirmed() {
  closeConfirmed_ = true;
  if (!insideCloseEvent_) close();
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
  if (!closeConfirmed_) {
    // The engine asks about unsaved changes, or defers the close until a
    // running operation ends; it calls CloseConfirmed when the window goes.
    insideCloseEvent_ = true;
    CloseMainWindow();
    insideCloseEvent_ = false;
  }
  if (!closeConfirmed_) {
    event->ignore();
    return;
  }
  if (!settingsSaved_) {
    settingsSaved_ = true;
    const QSize outer = OuterSize();
    SaveSettingsOnExit(isMinimized(), outer.width(), outer.height());
  }
  event->accept();
}

void QtMainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!Busy().busy && !IsAudioRunning() && !FirstLocalFile(event->mimeData()).isEmpty())
    event->acceptProposedAction();
}

void QtMainWindow::dropEvent(QDropEvent* event) {
  const QString path = FirstLocalFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  raise();
  activateWindow();
  // Opened after the drop has finished, so that the program the file came
  // from is not held while a question or a long load runs here.
  const std::string local = QFile::encodeName(path).toStdString();
  QMetaObject::invokeMethod(
      this, [local] { OpenDroppedFile(local); }, Qt::QueuedConnection);
}

}  // namespace kelvora
