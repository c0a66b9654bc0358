// Recovery copies, so that a crash loses at most the last few seconds of
// work: while the sound is modified and has not changed for a while, a copy
// goes to this process's recovery folder (see files/recovery_folder.h), and
// a recording goes there as it comes in. Saving, New, or opening another
// file removes it; a clean end removes the folder. The next start offers
// what a crashed process left. The window program only: the batch tool
// never calls any of this.
//
// The copy is made without holding up the window: each turn of the event
// loop copies a few megabytes of the sound into a slice for the background
// worker, which writes it; a change of the sound (its revision) before the
// last slice makes the copy stale, and it is abandoned and made again later.
#pragma once

#include <cstdint>

namespace kelvora {

// Reads the settings ("recovery" on/off, "recoveryidle" seconds, section
// "Options") and names this process's folder. Before the window shows.
void StartRecovery();
// The start-up question about what a crashed process left (before a file
// named on the command line is opened).
void OfferRecoveryAtStart();
// The event loop calls this; `insideDialog`: a modal box or dialog is
// open, so that an operation may be half way. Returns the milliseconds
// after which it wants to be called again.
int RecoveryTick(bool insideDialog);
// The window has closed as the user asked: the folder goes. Waits for the
// background worker.
void EndRecovery();
// Whether copies are made (setting, and a place to put them).
bool RecoveryEnabled();

void ResetRecoveryState();

}  // namespace kelvora
