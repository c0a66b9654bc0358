#include "shell/settings.h"

#include <cstdio>

#include "files/open_save.h"
#include "platform/platform.h"
#include "shell/commands.h"
#include "views/spectrogram_settings.h"
#include "views/view_state.h"
#include "views/wheel_input.h"

namespace kelvora {
namespace {

constexpr const char* kOptions = "Options";
constexpr const char* kPosition = "Position";
constexpr const char* kRecentFiles = "RecentFiles";
constexpr int kDensityMin = 1;
constexpr int kDensityMax = 128;

size_t FileNameStart(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string DirectoryOf(const std::string& path) {
  size_t start = FileNameStart(path);
  if (start == 0) return ".";
  return start == 1 ? "/" : path.substr(0, start - 1);
}

// PREFIX/share/kelvora for a program in PREFIX/bin.
std::string InstalledDataFolder(const std::string& program) {
  const std::string prefix = DirectoryOf(DirectoryOf(program));
  return (prefix == "/" ? "" : prefix) + "/share/kelvora";
}

}  // namespace

ShellState& Shell() {
  static ShellState state;
  return state;
}

void ResetShellState() { Shell() = ShellState{}; }

std::string SiblingPath(const std::string& program, const std::string& ext) {
  const size_t name = FileNameStart(program);
  const size_t dot = program.find_last_of('.');
  // A dot that starts the name (".kelvora") marks a hidden file, not an extension.
  if (dot == std::string::npos || dot <= name) return program + ext;
  return program.substr(0, dot) + ext;
}

std::string SettingsFilePath(const std::string& program, bool programFolderWritable,
                             const std::string& xdgConfigHome, const std::string& home) {
  if (programFolderWritable) return SiblingPath(program, ".ini");
  std::string base = xdgConfigHome;
  if (base.empty() || base[0] != '/') base = home + "/.config";
  return base + "/kelvora/kelvora.ini";
}

std::string HelpFilePath(const std::string& program, bool (*exists)(const std::string&)) {
  const std::string chm = SiblingPath(program, ".chm");
  if (exists != nullptr && exists(chm)) return chm;
  return SiblingPath(program, ".html");
}

void InitShellPaths(const std::string& program, bool programFolderWritable,
                    const std::string& xdgConfigHome, const std::string& home,
                    bool (*exists)(const std::string&)) {
  ShellState& s = Shell();
  s.programPath = program;
  // A build tree or an unpacked copy has its files beside the program; an
  // installed one in share/kelvora, and the folder of its program belongs
  // to the system, not to whoever runs it (even as root).
  const std::string data = InstalledDataFolder(program);
  const bool installed =
      exists != nullptr && !exists(SiblingPath(program, ".html")) && exists(data + "/kelvora.html");
  s.settingsPath =
      SettingsFilePath(program, programFolderWritable && !installed, xdgConfigHome, home);
  s.helpPath = installed ? data + "/kelvora.html" : HelpFilePath(program, exists);
  s.aboutSoundPath = (installed ? data : DirectoryOf(program)) + "/about.wav";
}

void LoadStartupSettings(const std::string& defaultDirectory) {
  Profile* p = Services().profile;
  ShellState& s = Shell();
  ViewState& v = View();
  LastDirectory() = p->GetString(kOptions, "directory", defaultDirectory);
  int density = p->GetInt(kOptions, "density", 8);
  v.density = density < kDensityMin ? kDensityMin : (density > kDensityMax ? kDensityMax : density);
  v.displayMode = p->GetInt(kOptions, "dispmode", 1);
  v.trackMode = p->GetInt(kOptions, "trackmode", 0);
  v.fitOnOpen = p->GetInt(kOptions, "fitonopen", 1) != 0;
  LoadSpectrogramSettings();
  LoadVerticalZoomSetting();
  s.windowWidth = p->GetInt(kPosition, "width", 640);
  s.windowHeight = p->GetInt(kPosition, "height", 400);
}

void SaveSettingsOnExit(bool minimised, int outerWidth, int outerHeight) {
  Profile* p = Services().profile;
  HeldProfileWrites once(p);
  if (!minimised) {
    p->WriteString(kPosition, "width", std::to_string(outerWidth));
    p->WriteString(kPosition, "height", std::to_string(outerHeight));
  }
  p->WriteString(kOptions, "density", std::to_string(View().density));
  p->WriteString(kOptions, "directory", LastDirectory());
}

std::string CommandLinePath(const std::vector<std::string>& args) {
  std::string path;
  for (size_t i = 0; i < args.size(); ++i) path += (i ? " " : "") + args[i];
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  return path;
}

std::vector<RecentMenuItem> ReadRecentMenuItems() {
  std::vector<RecentMenuItem> items;
  for (int n = 1; n <= 6; ++n) {
    const std::string path = Services().profile->GetString(kRecentFiles, std::to_string(n), "");
    if (path.empty()) continue;
    items.push_back(RecentMenuItem{kCmdRecentFirst - 1 + n, std::to_string(n) + ":" + path});
  }
  return items;
}

}  // namespace kelvora
