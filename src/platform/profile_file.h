// A settings file of "[section]" headers and "key=value" lines, read and
// written the way the classic profile functions do: names compare without
// regard to ASCII case, a missing file or key gives the caller's default,
// and a write changes one line and keeps every other byte of the file.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kelvora {

class ProfileFile : public Profile {
public:
  explicit ProfileFile(std::string path) : path_(std::move(path)) {}

  // The leading decimal integer of the value (sign allowed, blanks before it
  // skipped; no digits read as 0). A missing key or an empty value gives `def`.
  int GetInt(const std::string& section, const std::string& key, int def) override;
  // The value with blanks around it removed, and one pair of matching quotes
  // around the whole value. A missing key gives `def`.
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& def) override;
  // Replaces the key's value in place, or appends the key to its section, or
  // appends the section. The file is replaced atomically (a sibling temporary
  // file renamed over it) and created on the first write. A name or value
  // that would break the line structure (line breaks, "=" or "]" in names)
  // is refused and the file left untouched.
  bool WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override;

  const std::string& path() const { return path_; }

private:
  std::string path_;
};

}  // namespace kelvora
