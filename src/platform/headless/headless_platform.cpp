#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <new>

namespace kelvora {

int HeadlessUi::MessageBox(const std::string& caption, const std::string& text, MsgIcon icon,
                           MsgButtons buttons, bool owned) {
  ShownMessage m{caption, text, icon, buttons, owned, kIdOk};
  if (!answers.empty()) {
    m.answer = answers.front();
    answers.pop_front();
  } else {
    switch (buttons) {
      case MsgButtons::kOk:
        m.answer = kIdOk;
        break;
      case MsgButtons::kOkCancel:
        m.answer = answerNegative ? kIdCancel : kIdOk;
        break;
      case MsgButtons::kYesNo:
        m.answer = answerNegative ? kIdNo : kIdYes;
        break;
      case MsgButtons::kYesNoCancel:
        m.answer = answerNegative ? kIdNo : kIdYes;
        break;
    }
  }
  messages.push_back(m);
  if (onMessage) onMessage(m);
  return m.answer;
}

void HeadlessUi::SetStatusText(int part, const std::string& text) {
  if (part < 0 || part > 3) return;
  status[part] = text;
  if (part == 0) statusLog.push_back(text);
}

void HeadlessUi::SetMenuMode(MenuMode mode) {
  menuMode = mode;
  menuModeLog.push_back(mode);
}

bool HeadlessUi::DispatchOnePendingEvent() {
  ++eventsDispatched;
  if (pendingEvents.empty()) return false;
  auto event = std::move(pendingEvents.front());
  pendingEvents.pop_front();
  event();
  return true;
}

ClipboardRead HeadlessClipboard::ViewWave(std::shared_ptr<const uint8_t>* block, size_t* size) {
  if (!hasWave) return ClipboardRead::kNone;
  *block = wave;
  *size = waveSize;
  return ClipboardRead::kRead;
}

bool HeadlessFileDialogs::GetOpenPath(const std::string& directory,
                                      const std::vector<FileFilter>& filters, int filter,
                                      std::string* path) {
  calls.push_back(Call{false, "", directory, filters, filter, false});
  if (answers.empty()) return false;
  Reply r = answers.front();
  answers.pop_front();
  if (r.ok) *path = r.path;
  return r.ok;
}

bool HeadlessFileDialogs::GetSavePath(const std::string& name, const std::string& directory,
                                      const std::vector<FileFilter>& filters, int filter,
                                      bool confirmOverwrite, std::string* path, int* chosenFilter) {
  calls.push_back(Call{true, name, directory, filters, filter, confirmOverwrite});
  if (answers.empty()) return false;
  Reply r = answers.front();
  answers.pop_front();
  if (!r.ok) return false;
  *path = r.path;
  *chosenFilter = r.filter >= 0 ? r.filter : filter;
  return true;
}

namespace {
std::string ProfileKey(const std::string& section, const std::string& key) {
  std::string k = section + "\n" + key;
  std::transform(k.begin(), k.end(), k.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return k;
}
}  // namespace

int MemoryProfile::GetInt(const std::string& section, const std::string& key, int def) {
  auto it = values.find(ProfileKey(section, key));
  if (it == values.end()) return def;
  return std::atoi(it->second.c_str());
}

std::string MemoryProfile::GetString(const std::string& section, const std::string& key,
                                     const std::string& def) {
  auto it = values.find(ProfileKey(section, key));
  return it == values.end() ? def : it->second;
}

bool MemoryProfile::WriteString(const std::string& section, const std::string& key,
                                const std::string& value) {
  values[ProfileKey(section, key)] = value;
  return true;
}

HeadlessPlatform::HeadlessPlatform() = default;

void HeadlessPlatform::Install() {
  Platform& p = Services();
  p.ui = &ui;
  p.dialogs = &dialogs;
  p.clipboard = &clipboard;
  p.fileDialogs = &fileDialogs;
  p.profile = profile;
  p.processes = &processes;
  p.clock = &clock;
  p.waveDevices = &waveDevices;
  p.system = &system;
  p.background = &background;
}

}  // namespace kelvora
