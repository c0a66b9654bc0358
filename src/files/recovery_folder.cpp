#include "files/recovery_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "platform/platform.h"

namespace kelvora {
namespace {

constexpr const char* kFirstLine = "kelvora recovery 1";

// A path may hold any byte but NUL, line breaks included.
std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

bool Unescape(const std::string& s, std::string* out) {
  out->clear();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      *out += s[i];
      continue;
    }
    if (++i == s.size()) return false;
    if (s[i] == '\\')
      *out += '\\';
    else if (s[i] == 'n')
      *out += '\n';
    else if (s[i] == 'r')
      *out += '\r';
    else
      return false;
  }
  return true;
}

// Whitespace-separated integers, all within [min, max], exactly `count` of them.
bool ParseNumbers(const std::string& s, size_t count, int64_t min, int64_t max,
                  std::vector<int64_t>* out) {
  out->clear();
  const char* p = s.c_str();
  while (*p != '\0') {
    while (*p == ' ') ++p;
    if (*p == '\0') break;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(p, &end, 10);
    if (end == p || errno != 0 || v < min || v > max || (*end != ' ' && *end != '\0')) return false;
    out->push_back(v);
    p = end;
  }
  return out->size() == count;
}

// A plain name of a file in the folder, never a way out of it.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name[0] != '.' && name.find('/') == std::string::npos;
}

}  // namespace

std::string FormatRecoveryInfo(const RecoveryInfo& i) {
  const SoundFormat& f = i.format;
  std::ostringstream out;
  out << kFirstLine << "\nsound=" << i.sound << "\npath=" << Escape(i.path)
      << "\nkind=" << i.fileKind << "\nformat=" << f.wFormatTag << ' ' << f.nChannels << ' '
      << f.nSamplesPerSec << ' ' << f.nAvgBytesPerSec << ' ' << f.nBlockAlign << ' '
      << f.wBitsPerSample << ' ' << f.cbSize << "\nbytes=" << i.bytes
      << "\nselection=" << i.selStart << ' ' << i.selEnd << ' ' << i.anchor << ' ' << i.movingEnd
      << "\nsaved=" << i.savedAt << "\n";
  return out.str();
}

bool ParseRecoveryInfo(const std::string& text, RecoveryInfo* info) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kFirstLine) return false;
  RecoveryInfo r;
  unsigned seen = 0;
  std::vector<int64_t> n;
  while (std::getline(in, line)) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "sound") {
      if (!IsPlainName(value)) return false;
      r.sound = value;
      seen |= 1;
    } else if (key == "path") {
      if (!Unescape(value, &r.path) || r.path.empty()) return false;
      seen |= 2;
    } else if (key == "kind") {
      if (!ParseNumbers(value, 1, 0, 0xffff, &n)) return false;
      r.fileKind = static_cast<int32_t>(n[0]);
      seen |= 4;
    } else if (key == "format") {
      if (!ParseNumbers(value, 7, 0, 0xffffffffLL, &n) || n[1] == 0 || n[1] > 0xffff || n[4] == 0 ||
          n[4] > 0xffff || n[0] > 0xffff || n[5] > 0xffff || n[6] > 0xffff)
        return false;
      r.format = SoundFormat{static_cast<uint16_t>(n[0]), static_cast<uint16_t>(n[1]),
                             static_cast<uint32_t>(n[2]), static_cast<uint32_t>(n[3]),
                             static_cast<uint16_t>(n[4]), static_cast<uint16_t>(n[5]),
                             static_cast<uint16_t>(n[6])};
      seen |= 8;
    } else if (key == "bytes") {
      if (!ParseNumbers(value, 1, -1, kMaxSoundBytes, &n)) return false;
      r.bytes = n[0];
      seen |= 16;
    } else if (key == "selection") {
      if (!ParseNumbers(value, 4, 0, kMaxSoundBytes, &n)) return false;
      r.selStart = static_cast<int32_t>(n[0]);
      r.selEnd = static_cast<int32_t>(n[1]);
      r.anchor = static_cast<int32_t>(n[2]);
      r.movingEnd = static_cast<int32_t>(n[3]);
      seen |= 32;
    } else if (key == "saved") {
      if (!ParseNumbers(value, 1, 0, INT64_MAX, &n)) return false;
      r.savedAt = n[0];
      seen |= 64;
    }
  }
  if (seen != 127) return false;
  *info = r;
  return true;
}

std::string RecoveryRoot(const std::string& stateFolder) {
  return stateFolder.empty() ? "" : stateFolder + "/kelvora/recovery";
}

std::string ProcessFolderName(int64_t pid, uint64_t start) {
  return std::to_string(pid) + "-" + std::to_string(start);
}

bool ParseProcessFolderName(const std::string& name, int64_t* pid, uint64_t* start) {
  std::vector<int64_t> n;
  const size_t dash = name.find('-');
  // The start is 0 where the system could not tell it.
  if (dash == std::string::npos ||
      !ParseNumbers(name.substr(0, dash) + " " + name.substr(dash + 1), 2, 0, INT64_MAX, &n) ||
      n[0] == 0 || ProcessFolderName(n[0], static_cast<uint64_t>(n[1])) != name)
    return false;
  *pid = n[0];
  *start = static_cast<uint64_t>(n[1]);
  return true;
}

std::vector<std::string> OrphanFolders(const std::string& root) {
  std::vector<std::string> found;
  System* system = Services().system;
  for (const std::string& name : FolderNames(root)) {
    int64_t pid = 0;
    uint64_t start = 0;
    struct stat st;
    const std::string path = root + "/" + name;
    if (!ParseProcessFolderName(name, &pid, &start) || ::lstat(path.c_str(), &st) != 0 ||
        !S_ISDIR(st.st_mode) || system->ProcessRunning(pid, start))
      continue;
    found.push_back(path);
  }
  return found;
}

int MakeFolders(const std::string& path) {
  if (path.empty()) return 0;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 1 : 0;
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) return 0;
  return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST ? 1 : 0;
}

std::vector<std::string> FolderNames(const std::string& path) {
  std::vector<std::string> names;
  DIR* d = ::opendir(path.c_str());
  if (d == nullptr) return names;
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(d);
  return names;
}

void RemoveFolder(const std::string& path) {
  for (const std::string& name : FolderNames(path)) ::unlink((path + "/" + name).c_str());
  ::rmdir(path.c_str());
}

bool ReadSmallFile(const std::string& path, size_t limit, std::string* text) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
  if (fd < 0) return false;
  struct stat st;
  bool ok =
      ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) <= limit;
  text->clear();
  char buffer[4096];
  while (ok) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    text->append(buffer, static_cast<size_t>(n));
    ok = text->size() <= limit;
  }
  ::close(fd);
  return ok;
}

}  // namespace kelvora
