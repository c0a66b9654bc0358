#include "files/recent_files.h"

#include "platform/platform.h"

namespace kelvora {
namespace {

constexpr const char* kSection = "RecentFiles";

}  // namespace

std::string RecentFile(int n) {
  return Services().profile->GetString(kSection, std::to_string(n), "");
}

void AddRecentFile(const std::string& path) {
  std::string entries[kRecentFileCount];
  for (int i = 0; i < kRecentFileCount; ++i) entries[i] = RecentFile(i + 1);
  // The entry that makes room: the path's own place, or the last one.
  int from = kRecentFileCount - 1;
  for (int i = 0; i < kRecentFileCount; ++i)
    if (entries[i] == path) {
      from = i;
      break;
    }
  for (int i = from; i > 0; --i) entries[i] = entries[i - 1];
  entries[0] = path;
  HeldProfileWrites once(Services().profile);
  for (int i = 0; i < kRecentFileCount; ++i)
    Services().profile->WriteString(kSection, std::to_string(i + 1), entries[i]);
}

}  // namespace kelvora
