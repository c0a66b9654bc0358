// The main window's side of the engine: the title, the status texts,
// closing, and the observer through which the engine reports its changes.
#pragma once

#include <string>
#include <vector>

namespace kelvora {

// Status parts 0 and 1: format and length.
void ShowFormatStatus();
// The longest text each of the four status parts can show for the current
// format and length: a selection or position at the end of the sound, the
// wider channel text. The status bar sizes its parts to fit them.
std::vector<std::string> LongestStatusTexts();
// "Kelvora -[path]".
void UpdateTitle();
void RefreshViews();
// Asks, stops audio and tells the platform to close. Returns 1 when closing.
int CloseMainWindow();

// Makes the main window the document's observer (start-up).
void InstallWindowObserver();

// A file dropped on the window. Refused while an operation, playback or
// recording runs (they hold pointers into the sound); asks to save a
// modified sound first. 1 when the file was opened.
int OpenDroppedFile(const std::string& path);
// Start-up: the path named on the command line, as given; nothing if empty.
// Asks to save first when the sound is modified (restored after a crash).
int OpenCommandLineFile(const std::string& path);

}  // namespace kelvora
