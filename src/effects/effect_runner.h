// The one place where an effect's standard sequence lives. An effect is a
// recipe (name, dialog, its controls, the checks before the snapshot) and a
// pass over a SoundView (sound_view.h) in one of the shapes that
// src/effects/README.md lists.
//
// RunEffect does, in order: the refusal of samples it cannot compute on
// (RequireEditableSamples); SelectAllIfEmpty; the dialog over the recipe's
// controls, or its own dialog, with its preview (Cancel ends it); the
// recipe's `proceed` and `changes` checks (questions, and neutral values
// that would change nothing: false ends it before the snapshot); the undo
// snapshot; the busy state; the pass; the modified flag; the end of the busy
// state, which refreshes the window. A pass that returns 0 has already
// reported (a shortage through EffectRun::scratch restores the document from
// the snapshot and shows "メモリーが足りません" under the effect's name) and
// the document is as it was.
#pragma once

#include <cstdint>
#include <functional>

#include "document/memory_block.h"
#include "effects/sound_view.h"
#include "platform/param_dialog.h"

namespace kelvora {

struct EffectRecipe {
  const char* name;  // caption of its messages and its progress name
  int dialogId = 0;  // 0: no dialog
  // The variables behind the dialog's controls (see BuildParamTable).
  std::vector<ParamBinding> (*controls)() = nullptr;
  // Between the dialog and the snapshot: questions and neutral values.
  // Returns false to end the effect with the sound untouched.
  bool (*proceed)() = nullptr;
  // False for values that change nothing, checked after `proceed`: the
  // effect ends untouched, and a preview plays the original.
  bool (*changes)() = nullptr;
  // Busy state (menus, dispatched events, the final refresh) around the
  // pass; an effect quick enough to need none refreshes the views itself.
  bool busy = true;
  // Work on the whole sound when nothing is selected; generators insert at
  // the insertion point instead.
  bool selectAll = true;
  // A dialog with a procedure of its own, run instead of the parameter
  // dialog over `controls` (give its `dialogId` too, for the preview):
  // returns 1 for OK, 0 for Cancel.
  int (*dialog)() = nullptr;
  // The progress texts' name where it differs from `name`.
  const char* progress = nullptr;
};

// Scratch for a pass over the document: a shortage restores the document
// from the undo copy and shows the shortage under the effect's name.
class DocumentScratch : public Scratch {
public:
  explicit DocumentScratch(const char* name) : name_(name) {}
  int Get(MemoryBlock& block, size_t bytes, bool zero = false) const override;

private:
  const char* name_;
};

// What a pass gets: over the document, or over a preview's copy of it
// (preview.h). The runner keeps the busy state while the pass runs, so no
// command can move the document's block or the undo copy: the view's
// pointers stay valid through every dispatched event.
struct EffectRun {
  const char* name;
  // The selection: `source` the undo copy, `out` the document's own bytes
  // (for a preview: the sound as it is, and a copy of the selection).
  SoundView view;
  const Scratch& scratch;
  // Where a result of another length goes: room for `bytes` bytes (its block
  // kept `spare` bytes longer) in place of the view's frames, zero-filled
  // with `zero`; null after a reported shortage. Over the document the
  // selection is resized where it is (so the pass reads only
  // `view.source`); a preview gets a block of its own to play.
  std::function<uint8_t*(int64_t bytes, int32_t spare, bool zero)> result;
};

// The standard sequence around `pass`. Returns 1 when the pass ran and the
// sound is marked modified, 0 otherwise.
int RunEffect(const EffectRecipe& recipe, const std::function<int(EffectRun&)>& pass);

// ----- Processors whose result has a length of its own ----------------------

// Result size of a processor that writes over its frames.
inline constexpr int64_t kInPlace = -1;

// A resizing processor P provides:
//   int Start(const SoundView& v, const Scratch& scratch);
//     measures (the result's length among them), state and scratch; 0
//     after a reported shortage.
//   int64_t ResultBytes(const SoundView& v) const;
//     kInPlace, or the length of the result that replaces the frames.
//   int32_t ResultSpare() const;   bytes kept beyond the data (16 usually)
//   void Render(const SoundView& v, uint8_t* out);
//     the pass with its own progress; `out` is v.out for kInPlace, else
//     where run.result put the result. It reads only v.source: over the
//     document, `out` is the selection already resized.
// RunProcessor runs it; a layout with bytes no sample covers gets its
// result zero-filled first.
int RunResult(EffectRun& run, int64_t bytes, int32_t spare, bool zero,
              const std::function<void(uint8_t*)>& render);

template <class P>
int RunProcessor(EffectRun& run, P&& processor) {
  if (!processor.Start(run.view, run.scratch)) return 0;
  const int64_t bytes = processor.ResultBytes(run.view);
  if (bytes == kInPlace) {
    processor.Render(run.view, run.view.out);
    return 1;
  }
  bool packed = true;
  run.view.WithFormat([&](auto fmt) { packed = decltype(fmt)::kPacked; });
  return RunResult(run, bytes, processor.ResultSpare(), !packed,
                   [&](uint8_t* out) { processor.Render(run.view, out); });
}

}  // namespace kelvora
