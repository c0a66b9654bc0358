// What the copying side and the start-up question share.
#pragma once

#include <string>

#include "files/recovery_folder.h"

namespace kelvora {

// The settings and this process's folder, as StartRecovery found them.
struct RecoveryPlace {
  bool enabled = false;
  std::string root;    // <state>/kelvora/recovery, empty without one
  std::string folder;  // root/<pid>-<start>
};
const RecoveryPlace& RecoveryPlaceOf();

// The start-up question restored the copy described by `info` and made
// its folder this process's own: it is the current copy of the sound.
void AdoptRecoveredCopy(const RecoveryInfo& info);

}  // namespace kelvora
