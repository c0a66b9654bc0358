// The program from start to end: paths and settings, the platform, the
// main window, the file named on the command line, the event loop, and the
// settings written when the window goes.
#pragma once

class QApplication;

namespace kelvora {

int RunKelvora(QApplication& app);

}  // namespace kelvora
