// The amplitude effects of the effects menu: volume with pan, fades,
// normalize, reverse, phase inversion, DC removal and silence. Each works on
// the selection, or on the whole sound when nothing is selected, and can be
// undone.
//
// How an effect is added (volume.cpp is the model to copy):
//  1. File: one effect family per file in src/effects/, a few hundred lines
//     at most, its declarations in the family's header (like this one).
//  2. Parameters: one struct per effect holding its variables with their
//     start values (VolumeParams), an accessor returning the process-wide
//     copy, and directly above the operation the function that builds the
//     dialog's ParamEntry table over it (a slider row, then its number row,
//     each naming the other as buddy; check and radio rows; an all-zero end
//     row). Add the struct to the family's Reset...Parameters(), which
//     ResetProcessState() in shell/commands.cpp calls.
//  3. Operation: a function without arguments whose body reads as its
//     steps: SelectAllIfEmpty; RunParamDialog (0 ends it); questions;
//     BeginUndoableOperation; AllocateScratch for scratch blocks; a
//     BusyScope around the passes; Doc().modified. Passes go through
//     effects/sample_pass.h so that their loops vectorise and progress still
//     counts one ShowProgress per frame; a result built in scratch goes in
//     with ReplaceSelection. Captions and messages go in effects/texts.h.
//  4. Command: put the operation in its row of shell/commands.cpp. The row's
//     verb makes it a batch-tool step, and its dialog id gives the step the
//     dialog's fields.
//  5. Tests in tests/effects/: the numbers against a plain per-frame
//     reference over the formats, undo, the shortage paths through
//     MemoryBlock::SetTestCap, and busy state and progress.
#pragma once

#include <cstdint>

namespace kelvora {

struct VolumeParams {
  int32_t volume = 100;  // percent, 0..200
  int32_t pan = 50;      // 0 right silent ... 50 centre ... 100 left silent
  int32_t limiter = 1;   // scale the result down instead of clipping it
};
VolumeParams& VolumeParameters();

void Volume();
void FadeIn();
void FadeOut();
void Normalize();
void Reverse();
void InvertPhase();
void RemoveDc();
void SilenceSelection();

// The parameters of this family back to their start values.
void ResetAmplitudeParameters();

}  // namespace kelvora
