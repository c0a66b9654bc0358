#include "platform/profile_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/atomic_file_writer.h"

namespace kelvora {
namespace {

namespace fs = std::filesystem;

using Line = ProfileFile::Line;

// A temporary file that an older version of this writer left when it was
// killed ("kelvora.ini.<16 hex digits>.tmp") is removed once it has not
// changed for this long.
constexpr time_t kStaleSeconds = 60;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::vector<Line> SplitLines(const std::string& all) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < all.size()) {
    size_t nl = all.find('\n', pos);
    size_t end = nl == std::string::npos ? all.size() : nl;
    const bool crlf = nl != std::string::npos && end > pos && all[end - 1] == '\r';
    Line line;
    line.text.assign(all, pos, (crlf ? end - 1 : end) - pos);
    line.eol = nl == std::string::npos ? std::string() : std::string(crlf ? "\r\n" : "\n");
    pos = nl == std::string::npos ? all.size() : nl + 1;
    lines.push_back(std::move(line));
  }
  return lines;
}

// Reads at most `limit` + 1 bytes, so that a file that grew is noticed.
// False on a read error.
bool ReadUpTo(int fd, size_t limit, std::string* out) {
  out->clear();
  char buffer[65536];
  while (out->size() <= limit) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    out->append(buffer, static_cast<size_t>(got));
  }
  return true;
}

// A line's meaning. Leading blanks and a UTF-8 byte order mark on the first
// line do not count.
enum class Kind { kOther, kSection, kKey };
Kind Classify(const std::string& raw, bool first, std::string* name, std::string* value) {
  std::string text = raw;
  if (first && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text = text.substr(3);
  text = Trim(text);
  if (text.empty() || text[0] == ';') return Kind::kOther;
  if (text[0] == '[') {
    size_t close = text.find(']');
    *name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return Kind::kSection;
  }
  size_t eq = text.find('=');
  if (eq == std::string::npos) return Kind::kOther;
  *name = Trim(text.substr(0, eq));
  if (value) *value = text.substr(eq + 1);
  return Kind::kKey;
}

struct Location {
  int section = -1;     // line of the section header, -1 when missing
  int key = -1;         // line of the key, -1 when missing
  int sectionEnd = -1;  // one past the section's last line
};

Location Find(const std::vector<Line>& lines, const std::string& section, const std::string& key,
              std::string* value) {
  Location at;
  std::string name;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    std::string v;
    Kind kind = Classify(lines[i].text, i == 0, &name, &v);
    if (kind == Kind::kSection) {
      if (at.section >= 0) {  // only the first section of that name counts
        at.sectionEnd = i;
        return at;
      }
      if (SameName(name, section)) at.section = i;
    } else if (kind == Kind::kKey && at.section >= 0 && at.key < 0 && SameName(name, key)) {
      at.key = i;
      if (value) *value = v;
    }
  }
  if (at.section >= 0) at.sectionEnd = static_cast<int>(lines.size());
  return at;
}

bool IsHexName(const char* name, size_t start, size_t count) {
  for (size_t i = start; i < start + count; ++i)
    if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

// The leftovers of the older writer beside `file` in `dir`: only ours,
// only regular files, only old ones.
void RemoveOldWriterTemporaries(const std::string& dir, const std::string& file) {
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return;
  const time_t now = std::time(nullptr);
  while (const dirent* e = ::readdir(d)) {
    const size_t length = std::strlen(e->d_name);
    if (length != file.size() + 1 + 16 + 4 ||
        std::strncmp(e->d_name, file.c_str(), file.size()) != 0 || e->d_name[file.size()] != '.' ||
        !IsHexName(e->d_name, file.size() + 1, 16) ||
        std::strcmp(e->d_name + length - 4, ".tmp") != 0)
      continue;
    struct stat st;
    if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == ::geteuid() && now - st.st_mtime >= kStaleSeconds)
      ::unlinkat(::dirfd(d), e->d_name, 0);
  }
  ::closedir(d);
}

bool ValidName(const std::string& name, const char* forbidden) {
  if (Trim(name).empty()) return false;
  if (name.find_first_of(forbidden) != std::string::npos) return false;
  return name.find('\0') == std::string::npos;
}

}  // namespace

bool ProfileFile::Identity::operator==(const Identity& o) const {
  return device == o.device && inode == o.inode && size == o.size &&
         modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
         changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
}

ProfileFile::Identity ProfileFile::Identity::Of(const struct stat& st) {
  Identity id;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.modified = st.st_mtim;
  id.changed = st.st_ctim;
  return id;
}

void ProfileFile::Unusable(const std::string& reason) {
  state_ = State::kUnusable;
  lines_.clear();
  std::fprintf(stderr, "kelvora: settings file %s not used (%s); defaults are in force\n",
               path_.c_str(), reason.c_str());
}

void ProfileFile::Load() {
  lines_.clear();
  identity_ = Identity{};
  // Without O_NONBLOCK a pipe would wait for a writer that never comes.
  const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    const int error = errno;
    struct stat st;
    if (::stat(path_.c_str(), &st) == 0) identity_ = Identity::Of(st);
    if (error == ENOENT)
      state_ = State::kMissing;
    else
      Unusable(std::strerror(error));
    return;
  }
  struct stat st;
  const bool known = ::fstat(fd, &st) == 0;
  if (known) identity_ = Identity::Of(st);
  std::string content;
  if (!known) {
    Unusable(std::strerror(errno));
  } else if (!S_ISREG(st.st_mode)) {
    Unusable("not a regular file");
  } else if (static_cast<uint64_t>(st.st_size) > kMaxBytes) {
    Unusable("larger than 1 MiB");
  } else if (!ReadUpTo(fd, kMaxBytes, &content)) {
    Unusable(std::strerror(errno));
  } else if (content.size() > kMaxBytes) {
    Unusable("larger than 1 MiB");
  } else {
    lines_ = SplitLines(content);
    state_ = State::kRead;
  }
  ::close(fd);
}

bool ProfileFile::Refresh(bool* reloaded) {
  if (reloaded != nullptr) *reloaded = false;
  struct stat st;
  const int error = ::stat(path_.c_str(), &st) == 0 ? 0 : errno;
  bool same = false;
  if (state_ == State::kMissing)
    same = error == ENOENT;
  else if (state_ != State::kUnread)
    // A path that still cannot be looked at (but is not gone) stays as it was.
    same = error == 0 ? Identity::Of(st) == identity_
                      : error != ENOENT && identity_ == Identity{} && state_ == State::kUnusable;
  if (!same) {
    Load();
    if (reloaded != nullptr) *reloaded = true;
  }
  return state_ == State::kRead || state_ == State::kMissing;
}

std::string ProfileFile::GetString(const std::string& section, const std::string& key,
                                   const std::string& def) {
  // Writes held back are in the lines already; reading the file again
  // would lose them.
  if (pending_.empty() && !Refresh()) return def;
  std::string value;
  if (Find(lines_, section, key, &value).key < 0) return def;
  value = Trim(value);
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  return value;
}

int ProfileFile::GetInt(const std::string& section, const std::string& key, int def) {
  const std::string value = GetString(section, key, std::string());
  if (value.empty()) return def;
  size_t i = 0;
  while (i < value.size() && IsBlank(value[i])) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
  uint32_t n = 0;  // wraps like the 32-bit original instead of overflowing
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
    n = n * 10u + static_cast<uint32_t>(value[i] - '0');
  if (negative) n = 0u - n;
  return static_cast<int>(static_cast<int32_t>(n));
}

void ProfileFile::Apply(const Write& w) {
  const std::string trimmedKey = Trim(w.key);
  const std::string eol = !lines_.empty() && !lines_[0].eol.empty() ? lines_[0].eol : "\n";
  Location at = Find(lines_, w.section, w.key, nullptr);
  if (at.key >= 0) {
    std::string name;
    Classify(lines_[at.key].text, at.key == 0, &name, nullptr);
    lines_[at.key].text = name + "=" + w.value;  // keeps the key's spelling in the file
  } else if (at.section >= 0) {
    int insert = at.sectionEnd;  // after the section's last non-blank line
    while (insert > at.section + 1 && Trim(lines_[insert - 1].text).empty()) --insert;
    if (lines_[insert - 1].eol.empty()) lines_[insert - 1].eol = eol;
    lines_.insert(lines_.begin() + insert, Line{trimmedKey + "=" + w.value, eol});
  } else {
    if (!lines_.empty()) {
      if (lines_.back().eol.empty()) lines_.back().eol = eol;
      if (!Trim(lines_.back().text).empty()) lines_.push_back(Line{"", eol});
    }
    std::string header(1, '[');
    header += Trim(w.section);
    header += ']';
    lines_.push_back(Line{header, eol});
    lines_.push_back(Line{trimmedKey + "=" + w.value, eol});
  }
}

bool ProfileFile::Store() {
  std::string content;
  for (const Line& line : lines_) content += line.text + line.eol;
  std::error_code ec;
  const fs::path target = path_;
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!fs::exists(dir, ec)) fs::create_directories(dir, ec);
  RemoveOldWriterTemporaries(dir.string(), target.filename().string());
  AtomicFileWriter writer;
  if (!writer.Open(path_) || !writer.Write(content.data(), content.size()) || !writer.Commit()) {
    const char* reason =
        writer.refusal() == AtomicFileWriter::Refusal::kNotRegularFile ? "not a regular file"
        : writer.refusal() == AtomicFileWriter::Refusal::kDanglingLink ? "a link to nothing"
        : writer.error() != 0 ? std::strerror(writer.error())
                              : "write failed";
    std::fprintf(stderr, "kelvora: settings not saved to %s (%s)\n", path_.c_str(), reason);
    // What the file holds is what counts from now on.
    state_ = State::kUnread;
    return false;
  }
  struct stat st;
  if (::stat(path_.c_str(), &st) == 0) {
    identity_ = Identity::Of(st);
    state_ = State::kRead;
  } else {
    state_ = State::kUnread;
  }
  return true;
}

bool ProfileFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
  if (!ValidName(section, "]\r\n") || !ValidName(key, "=\r\n") ||
      value.find_first_of("\r\n") != std::string::npos || value.find('\0') != std::string::npos)
    return false;
  const std::string trimmedKey = Trim(key);
  if (trimmedKey[0] == '[' || trimmedKey[0] == ';') return false;
  if (pending_.empty() && !Refresh()) return false;
  const Write write{section, key, value};
  Apply(write);
  if (held_ > 0) {
    pending_.push_back(write);
    return true;
  }
  return Store();
}

bool ProfileFile::Release() {
  if (held_ == 0 || --held_ > 0 || pending_.empty()) return true;
  std::vector<Write> writes;
  writes.swap(pending_);
  // Another instance may have written meanwhile: its keys stay, ours go
  // on top.
  bool reloaded = false;
  if (!Refresh(&reloaded)) return false;
  if (reloaded)
    for (const Write& w : writes) Apply(w);
  return Store();
}

}  // namespace kelvora
