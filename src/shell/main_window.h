// Routines of the main window that the rest of the engine calls: the title,
// the status texts, the save prompt and closing.
#pragma once

#include <string>

namespace kelvora {

// Status parts 0 and 1: format and length.
void ShowFormatStatus();
// "Kelvora -[path]".
void UpdateTitle();
void RefreshViews();
// 0 stop, 1 go on, or what the save returned.
int ConfirmSaveChanges();
// Asks, stops audio and tells the platform to close. Returns 1 when closing.
int CloseMainWindow();

// A file dropped on the window. Refused while an operation, playback or
// recording runs (they hold pointers into the sound); asks to save a
// modified sound first. 1 when the file was opened.
int OpenDroppedFile(const std::string& path);
// Start-up: the path named on the command line, as given; nothing if empty.
int OpenCommandLineFile(const std::string& path);

}  // namespace kelvora
