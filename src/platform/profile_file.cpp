#include "platform/profile_file.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace kelvora {
namespace {

namespace fs = std::filesystem;

struct Line {
  std::string text;  // without its line break
  std::string eol;   // "\n", "\r\n" or "" for a last line without one
};

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

// Reads the file into lines. A missing file is empty; false only when the
// file exists and cannot be read (a write must then not replace it).
bool ReadLines(const std::string& path, std::vector<Line>* lines) {
  lines->clear();
  std::error_code ec;
  if (!fs::exists(path, ec)) return !ec;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return false;
  const std::string all = buffer.str();
  size_t pos = 0;
  while (pos < all.size()) {
    size_t nl = all.find('\n', pos);
    size_t end = nl == std::string::npos ? all.size() : nl;
    const bool crlf = nl != std::string::npos && end > pos && all[end - 1] == '\r';
    Line line;
    line.text.assign(all, pos, (crlf ? end - 1 : end) - pos);
    line.eol = nl == std::string::npos ? std::string() : std::string(crlf ? "\r\n" : "\n");
    pos = nl == std::string::npos ? all.size() : nl + 1;
    lines->push_back(std::move(line));
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

std::string TemporarySibling(const std::string& target) {
  static std::atomic<uint64_t> counter{0};
  uint64_t n = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  n ^= reinterpret_cast<uintptr_t>(&counter) * 0x9E3779B97F4A7C15ull;
  n += ++counter * 0xD1B54A32D192ED03ull;
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, ".%016llx", static_cast<unsigned long long>(n));
  return target + suffix + ".tmp";
}

bool WriteAtomically(const std::string& path, const std::string& content) {
  std::error_code ec;
  fs::path target = path;
  // Write through a link to the file it names rather than replacing the link.
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    target = fs::weakly_canonical(target, ec);
    if (ec) return false;
  }
  if (target.has_parent_path() && !fs::exists(target.parent_path(), ec))
    fs::create_directories(target.parent_path(), ec);
  const std::string temp = TemporarySibling(target.string());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      out.close();
      fs::remove(temp, ec);
      return false;
    }
  }
  fs::file_status old = fs::status(target, ec);
  if (!ec && fs::exists(old)) fs::permissions(temp, old.permissions(), ec);
  ec.clear();
  fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return false;
  }
  return true;
}

bool ValidName(const std::string& name, const char* forbidden) {
  if (Trim(name).empty()) return false;
  if (name.find_first_of(forbidden) != std::string::npos) return false;
  return name.find('\0') == std::string::npos;
}

}  // namespace

std::string ProfileFile::GetString(const std::string& section, const std::string& key,
                                   const std::string& def) {
  std::vector<Line> lines;
  if (!ReadLines(path_, &lines)) return def;
  std::string value;
  if (Find(lines, section, key, &value).key < 0) return def;
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

bool ProfileFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
  if (!ValidName(section, "]\r\n") || !ValidName(key, "=\r\n") ||
      value.find_first_of("\r\n") != std::string::npos || value.find('\0') != std::string::npos)
    return false;
  const std::string trimmedKey = Trim(key);
  if (trimmedKey[0] == '[' || trimmedKey[0] == ';') return false;

  std::vector<Line> lines;
  if (!ReadLines(path_, &lines)) return false;
  const std::string eol = !lines.empty() && !lines[0].eol.empty() ? lines[0].eol : "\n";
  Location at = Find(lines, section, key, nullptr);
  if (at.key >= 0) {
    std::string name;
    Classify(lines[at.key].text, at.key == 0, &name, nullptr);
    lines[at.key].text = name + "=" + value;  // keeps the key's spelling in the file
  } else if (at.section >= 0) {
    int insert = at.sectionEnd;  // after the section's last non-blank line
    while (insert > at.section + 1 && Trim(lines[insert - 1].text).empty()) --insert;
    if (lines[insert - 1].eol.empty()) lines[insert - 1].eol = eol;
    lines.insert(lines.begin() + insert, Line{trimmedKey + "=" + value, eol});
  } else {
    if (!lines.empty()) {
      if (lines.back().eol.empty()) lines.back().eol = eol;
      if (!Trim(lines.back().text).empty()) lines.push_back(Line{"", eol});
    }
    std::string header(1, '[');
    header += Trim(section);
    header += ']';
    lines.push_back(Line{header, eol});
    lines.push_back(Line{trimmedKey + "=" + value, eol});
  }
  std::string content;
  for (const Line& line : lines) content += line.text + line.eol;
  return WriteAtomically(path_, content);
}

}  // namespace kelvora
