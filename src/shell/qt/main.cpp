#include <QApplication>

#include "shell/qt/application.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return kelvora::RunKelvora(app);
}
