#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/usage.h"
#include "shell/qt/application.h"

int main(int argc, char** argv) {
  // Usage and version go to the terminal before any window or display is
  // needed, as the batch tool's do.
  std::string text;
  if (kelvora::ProgramInfoRequest(std::vector<std::string>(argv + 1, argv + argc), &text)) {
    std::fputs(text.c_str(), stdout);
    return 0;
  }
  QApplication app(argc, argv);
  return kelvora::RunKelvora(app);
}
