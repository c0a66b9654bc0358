#include "platform/headless/headless_system.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "platform/process_start.h"

namespace kelvora {

int64_t HeadlessSystem::ProcessId() { return ::getpid(); }

uint64_t HeadlessSystem::ProcessStart(int64_t pid) {
  return ParseProcessStart(ReadProcessStat(pid));
}

bool HeadlessSystem::ProcessRunning(int64_t pid, uint64_t start) {
  return ProcessStillRunning(pid, start, ProcessStart(pid));
}

int64_t HeadlessSystem::FreeBytes(const std::string& path) {
  if (freeBytes) return *freeBytes;
  std::string at = path.empty() ? "." : path;
  for (;;) {
    struct statvfs st;
    if (::statvfs(at.c_str(), &st) == 0) return static_cast<int64_t>(st.f_bavail) * st.f_frsize;
    const size_t slash = at.rfind('/');
    if (errno != ENOENT || slash == std::string::npos || at == "/") return -1;
    at = slash == 0 ? "/" : at.substr(0, slash);
  }
}

int64_t HeadlessSystem::WallSeconds() {
  return wallSeconds ? *wallSeconds : static_cast<int64_t>(std::time(nullptr));
}

std::string HeadlessSystem::StateFolder() {
  if (stateFolder) return *stateFolder;
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return state;
  const char* home = std::getenv("HOME");
  return home != nullptr && home[0] == '/' ? std::string(home) + "/.local/state" : "";
}

void HeadlessBackground::Post(std::function<void()> task) {
  if (runAtOnce && tasks.empty()) {
    task();
    return;
  }
  tasks.push_back(std::move(task));
}

size_t HeadlessBackground::RunPending(size_t count) {
  size_t ran = 0;
  while (ran < count && !tasks.empty()) {
    std::function<void()> task = std::move(tasks.front());
    tasks.pop_front();
    task();
    ++ran;
  }
  return ran;
}

}  // namespace kelvora
