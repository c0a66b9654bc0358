#include "platform/process_start.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace kelvora {

uint64_t ParseProcessStart(const std::string& statLine) {
  const size_t close = statLine.rfind(')');
  if (close == std::string::npos) return 0;
  // After the name: state is field 3, start time field 22.
  size_t at = close + 1;
  for (int field = 3; field <= 22; ++field) {
    while (at < statLine.size() && statLine[at] == ' ') ++at;
    if (at >= statLine.size()) return 0;
    // A killed process stays in the table until its parent collects it (for
    // a second or two when that is init): it runs no more.
    if (field == 3 && (statLine[at] == 'Z' || statLine[at] == 'X')) return 0;
    if (field == 22) return std::strtoull(statLine.c_str() + at, nullptr, 10);
    at = statLine.find(' ', at);
    if (at == std::string::npos) return 0;
  }
  return 0;
}

std::string ReadProcessStat(int64_t pid) {
  if (pid <= 0) return "";
  const std::string path = "/proc/" + std::to_string(pid) + "/stat";
  FILE* f = std::fopen(path.c_str(), "re");
  if (f == nullptr) return "";
  char line[1024];
  const size_t n = std::fread(line, 1, sizeof line - 1, f);
  std::fclose(f);
  return std::string(line, n);
}

bool ProcessStillRunning(int64_t pid, uint64_t start, uint64_t startNow) {
  if (pid <= 0) return false;
  if (startNow != 0) return start == 0 || start == startNow;
  // No entry: either the process is gone, or there is no process table to ask.
  if (::access("/proc/self/stat", R_OK) == 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace kelvora
