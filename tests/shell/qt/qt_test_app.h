// One QApplication for every Qt test in the process (offscreen platform),
// and the main window on a fresh headless engine.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <memory>

#include "platform/qt/qt_platform.h"
#include "shell/qt/qt_main_window.h"
#include "test_support.h"

namespace kelvora {

inline void EnsureQtApplication() {
  if (QApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "kelvora_qt_tests";
  static char* argv[] = {name, nullptr};
  auto* app = new QApplication(argc, argv);  // lives until the process ends
  app->setQuitOnLastWindowClosed(false);
}

inline void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
  QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

// A left-button drag on w from `from` to `to`, released there.
inline void Drag(QWidget* w, QPoint from, QPoint to) {
  SendMouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  SendMouse(w, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  SendMouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// The engine's window calls reach the real window once UseQtUi() is called.
struct QtWindowFixture : EngineFixture {
  QtWindowFixture() {
    EnsureQtApplication();
    window = std::make_unique<QtMainWindow>();
    qtUi.SetWindow(window.get());
  }
  ~QtWindowFixture() {
    qtUi.SetWindow(nullptr);
    platform.Install();  // the engine must not call the window while it goes
  }
  void UseQtUi() { Services().ui = &qtUi; }
  static void Flush() { QCoreApplication::processEvents(); }

  QtUserInterface qtUi;
  std::unique_ptr<QtMainWindow> window;
};

}  // namespace kelvora
