// The six files opened (or saved under a new name) last, newest first, as
// keys "1".."6" of the settings section "RecentFiles".
#pragma once

#include <string>

namespace kelvora {

inline constexpr int kRecentFileCount = 6;

// Entry n (1..6); empty when there is none.
std::string RecentFile(int n);
// Puts `path` at the top: an entry equal to it (exactly, case and all) moves
// up, otherwise the others move down and the sixth is dropped. All six keys
// are written back, empty ones included.
void AddRecentFile(const std::string& path);

}  // namespace kelvora
