// The commands the application shell carries out itself: another window,
// exit, the help page and the about box.
#pragma once

#include "resources/dialogs.h"

namespace kelvora {

// 40001: starts the program again as a separate process.
void NewWindow();
// 40012: the same way out as the close box.
void ExitProgram();
// 40061: the help page in the desktop's viewer; silently nothing if missing.
void ShowHelp();
// 40062: starts the about sound without waiting, then the about box.
void ShowAbout();

inline constexpr int kAboutDialog = kDialogAbout;

}  // namespace kelvora
