#include "files/file_types.h"

#include <cctype>
#include <cstring>

namespace kelvora {

bool HasExtension(const std::string& path, const char* extension) {
  const size_t n = std::strlen(extension);
  if (path.size() <= n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(path[path.size() - n + i])) !=
        std::tolower(static_cast<unsigned char>(extension[i])))
      return false;
  return true;
}

const ReadableExtension* FindReadableExtension(const std::string& path) {
  for (const ReadableExtension& e : kReadableExtensions)
    if (HasExtension(path, e.extension)) return &e;
  return nullptr;
}

std::string ReadablePatterns(bool intakeOnly) {
  std::string patterns;
  for (const ReadableExtension& e : kReadableExtensions) {
    if (intakeOnly && e.route != ReadRoute::kIntake) continue;
    if (!patterns.empty()) patterns += ';';
    patterns += std::string("*") + e.extension;
  }
  return patterns;
}

const WritableKind* FindWritableKind(int32_t kind) {
  for (const WritableKind& k : kWritableKinds)
    if (k.kind == kind) return &k;
  return nullptr;
}

int32_t KindForOutputName(const std::string& path) {
  if (HasExtension(path, ".aif")) return kFileKindAiff;
  if (HasExtension(path, ".oga")) return kFileKindOggVorbis;
  // The first kind with the extension: PCM before mu-law for .wav.
  for (const WritableKind& k : kWritableKinds)
    if (HasExtension(path, k.extension)) return k.kind;
  return kFileKindNone;
}

}  // namespace kelvora
