// One QApplication for every Qt test in the process (offscreen platform).
#pragma once

#include <QApplication>

namespace kelvora {

inline void EnsureQtApplication() {
  if (QApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "kelvora_qt_tests";
  static char* argv[] = {name, nullptr};
  auto* app = new QApplication(argc, argv);  // lives until the process ends
  app->setQuitOnLastWindowClosed(false);
}

}  // namespace kelvora
