// A settings file of "[section]" headers and "key=value" lines, read and
// written the way the classic profile functions do: names compare without
// regard to ASCII case, a missing file or key gives the caller's default,
// and a write changes one line and keeps every other byte of the file.
//
// The file is read once and kept; it is read again only when it has been
// replaced or changed since (another instance of the program wrote it), so
// asking for many keys costs one look at the file's status each. Only a
// regular file of at most kMaxBytes is read, without waiting for anyone;
// anything else leaves every default in force and the file untouched (one
// line on standard error says why). Writes go through AtomicFileWriter, so
// the file is whole at every moment and keeps its owner and mode, and a
// file the user may not write is not replaced.
#pragma once

#include <sys/stat.h>

#include <ctime>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kelvora {

class ProfileFile : public Profile {
public:
  static constexpr size_t kMaxBytes = size_t{1} << 20;

  explicit ProfileFile(std::string path) : path_(std::move(path)) {}

  // The leading decimal integer of the value (sign allowed, blanks before it
  // skipped; no digits read as 0). A missing key or an empty value gives `def`.
  int GetInt(const std::string& section, const std::string& key, int def) override;
  // The value with blanks around it removed, and one pair of matching quotes
  // around the whole value. A missing key gives `def`.
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& def) override;
  // Replaces the key's value in place, or appends the key to its section, or
  // appends the section; the file is created (with its folder) on the first
  // write. A name or value that would break the line structure (line
  // breaks, "=" or "]" in names) is refused and the file left untouched, as
  // is a file that could not be read.
  bool WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override;
  void Hold() override { ++held_; }
  bool Release() override;

  const std::string& path() const { return path_; }

  struct Line {
    std::string text;  // without its line break
    std::string eol;   // "\n", "\r\n" or "" for a last line without one
  };

private:
  struct Write {
    std::string section, key, value;
  };
  // Which file the lines came from: a replaced or rewritten one differs.
  struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified = {}, changed = {};
    static Identity Of(const struct stat& st);
    bool operator==(const Identity& o) const;
  };
  enum class State { kUnread, kMissing, kRead, kUnusable };

  // Reads the file again when it is not the one read last. False when the
  // file cannot be used. `reloaded` tells whether the lines were replaced.
  bool Refresh(bool* reloaded = nullptr);
  void Load();
  void Unusable(const std::string& reason);
  void Apply(const Write& w);
  bool Store();

  std::string path_;
  State state_ = State::kUnread;
  Identity identity_;
  std::vector<Line> lines_;
  int held_ = 0;
  std::vector<Write> pending_;  // made while held, not yet in the file
};

}  // namespace kelvora
