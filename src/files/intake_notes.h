// What the open and save flow remembers about a sound that came in through
// the intake: the notice shown once per load, the question before a save
// over its file would lose something, the source format the batch tool
// reports, and the dither seed of the next load.
#pragma once

#include <cstdint>
#include <string>

#include "files/load_support.h"

namespace kelvora {

void SetDitherSeed(uint64_t seed);
uint64_t DitherSeed();

// The notice for a load: one line naming the source, one per change;
// empty when the sound came in exactly.
std::string IntakeNoticeText(const IntakeReport& report);

// After a load through the intake of the file at `path`: shows the notice
// (when anything changed) and remembers what a save over it would lose.
void NoteIntakeLoad(const std::string& path, const IntakeReport& report);
// After any other load or a new sound: nothing is remembered.
void ForgetIntakeLoad();

// The source format's name when the document came in through the intake,
// else empty.
const std::string& IntakeSourceName();

enum class LossySaveAnswer { kSave, kStop, kSaveAs };
// Before a save of `kind` to `path`: when that is the file the sound came
// from and the save would lose what it held, asks (Yes saves, No goes to
// Save As, Cancel stops); otherwise kSave without a word.
LossySaveAnswer AskBeforeLossySave(const std::string& path, int32_t kind);
// After a save to `path`: that file now holds the sound as it is.
void NoteSaved(const std::string& path);

void ResetIntakeNotes();

}  // namespace kelvora
