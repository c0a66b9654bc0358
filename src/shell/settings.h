// Where the program keeps its settings and help page, what it reads from
// the settings file at start-up and writes back when the window goes.
#pragma once

#include <string>
#include <vector>

namespace kelvora {

struct ShellState {
  std::string programPath;
  std::string settingsPath;
  std::string helpPath;
  std::string aboutSoundPath;
  // Outer size of the main window as stored, in pixels.
  int windowWidth = 640;
  int windowHeight = 400;
  // Sound devices found when the main window was made.
  int waveInDevices = 0;
  int waveOutDevices = 0;
};

ShellState& Shell();
void ResetShellState();

// The program's path with the extension of its file name replaced by `ext`
// (".ini"), or `ext` appended when the file name has none. Dots in folder
// names never count, so the result always stays beside the program.
std::string SiblingPath(const std::string& program, const std::string& ext);

// Where the settings file goes: beside the program when its folder can be
// written, else "kelvora/kelvora.ini" under the user's configuration folder
// (`xdgConfigHome`, or `home` + "/.config" when that is empty).
std::string SettingsFilePath(const std::string& program, bool programFolderWritable,
                             const std::string& xdgConfigHome, const std::string& home);

// The help page beside the program: the ".chm" sibling when it exists,
// else the ".html" one.
std::string HelpFilePath(const std::string& program, bool (*exists)(const std::string&));

// Fills the paths of Shell() for a program at `program`. An installed copy
// (PREFIX/bin/kelvora with PREFIX/share/kelvora/kelvora.html and no help
// page beside it) finds its help page and about sound in share/kelvora and
// keeps its settings in the user's configuration folder.
void InitShellPaths(const std::string& program, bool programFolderWritable,
                    const std::string& xdgConfigHome, const std::string& home,
                    bool (*exists)(const std::string&));

// Reads "directory", "density", "dispmode", "trackmode", "vzoom", "fitonopen",
// "width" and "height" through Services().profile into Shell() and View(), and the
// spectrogram's settings. A density outside 1..128 is brought into it,
// since drawing divides by it.
void LoadStartupSettings(const std::string& defaultDirectory);

// The shutdown writes: the outer size unless the window is minimised, then
// "density" and "directory".
void SaveSettingsOnExit(bool minimised, int outerWidth, int outerHeight);

// The whole command line as one path: the arguments joined by blanks, one
// pair of quotes around the whole removed. Empty when there is none.
std::string CommandLinePath(const std::vector<std::string>& args);

// Entries "1".."6" of "RecentFiles" as File-menu items; empty ones skipped,
// the others keep their numbers.
struct RecentMenuItem {
  int id;            // 4096 + n
  std::string text;  // "%d:%s"
};
std::vector<RecentMenuItem> ReadRecentMenuItems();

}  // namespace kelvora
