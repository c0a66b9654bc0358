// The one place where an effect's standard sequence lives. An effect is a
// recipe (name, dialog, its controls, the checks before the snapshot) plus
// the work itself in one of two shapes:
//
//  - a point map: fn(ch, x) applied to every sample of the selection
//    (MapSelection, from a pass);
//  - a processor: a struct with Start (state and scratch) and Flow (the
//    pass, writing in place or into a result block that then replaces the
//    selection), run by RunProcessor.
//
// RunEffect does, in order: the refusal of samples it cannot compute on
// (RequireEditableSamples); SelectAllIfEmpty; the dialog over the recipe's
// controls, or its own dialog (Cancel ends it); the recipe's `proceed` check (questions, and
// neutral values that would change nothing: false ends it before the
// snapshot); the undo snapshot; the busy state; the pass; the modified flag;
// the end of the busy state, which refreshes the window. A pass that returns
// 0 has already reported (a shortage through EffectRun::Scratch restores the
// document from the snapshot and shows "メモリーが足りません" under the
// effect's name) and the document is as it was.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "document/frame_format.h"
#include "document/memory_block.h"
#include "document/operation.h"
#include "document/sound_document.h"
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
  // Busy state (menus, dispatched events, the final refresh) around the
  // pass; an effect quick enough to need none refreshes the views itself.
  bool busy = true;
  // Work on the whole sound when nothing is selected; generators insert at
  // the insertion point instead.
  bool selectAll = true;
  // A dialog with a procedure of its own, run instead of the parameter
  // dialog over `controls`: returns 1 for OK, 0 for Cancel.
  int (*dialog)() = nullptr;
};

// What a pass sees. The runner keeps the busy state while the pass runs, so
// no command can move the document's block or the undo copy: pointers taken
// at the start stay valid through every dispatched event.
struct EffectRun {
  const char* name;
  int32_t start = 0;   // byte offset of the selection
  int32_t length = 0;  // bytes in the selection (whole frames)
  int64_t frames = 0;
  int32_t align = 0;
  int channels = 0;
  // The whole sound as it was before the effect (the undo copy): reads that
  // must not see the pass's own writes come from here.
  const uint8_t* source = nullptr;
  int64_t sourceLength = 0;

  uint8_t* Data() const { return Doc().bytes(); }
  uint8_t* Selection() const { return Doc().bytes() + start; }
  const uint8_t* SourceSelection() const { return source + start; }
  // Resizes `block` to `bytes` (zero-filled with `zero`). On failure the
  // document comes back from the undo copy, the shortage is shown under the
  // effect's name, and 0 is returned: the pass then returns 0 at once.
  int Scratch(MemoryBlock& block, size_t bytes, bool zero = false) const;
  // Runs `command` whole before the pass goes on (the reverb's DC removal):
  // the busy state ends for it and is taken again after, so it has its own
  // busy state, progress and messages, and its own snapshot of the same
  // unchanged sound, which leaves one Undo taking back both. The run then
  // follows the document and the undo copy as the command left them.
  void RunCommandFirst(void (*command)());

  std::optional<BusyScope>* busy = nullptr;  // the runner's, for RunCommandFirst
};

// The standard sequence around `pass`. Returns 1 when the pass ran and the
// sound is marked modified, 0 otherwise.
int RunEffect(const EffectRecipe& recipe, const std::function<int(EffectRun&)>& pass);

// ----- Sample helpers -------------------------------------------------------

// What a scratch block laid out like the sound holds after WriteSample of v:
// the clipped value at the sound's sample width.
template <class Fmt>
int32_t Held(Fmt fmt, int32_t v) {
  uint8_t frame[2] = {0, 0};  // channel 0 of any readable width fits
  fmt.Write(frame, v, 0);
  return fmt.Read(frame, 0);
}

// ReadSampleInBlock by frame number: channel ch of frame `frame` (counted
// from the start of `base`, `length` bytes), 0 for a frame outside them.
template <class Fmt>
int32_t ReadFrameOrZero(Fmt fmt, const uint8_t* base, int64_t length, int64_t frame, int ch) {
  if (frame < 0 || frame * fmt.Align() >= length) return 0;
  return fmt.Read(base + frame * fmt.Align(), ch);
}

// ----- Point maps ----------------------------------------------------------

// The channels a stereo rule writes: both, or those of the channel mask.
ChannelSet MaskedChannels();

// The table behind MapSamples: for every stored code of a sample, the code
// that WriteSample stores for fn(ch, value). Kept in static storage.
uint16_t* SampleMapTable(int slot);

// Below this many samples a table costs more than it saves.
inline constexpr int64_t kTableMinSamples = 1 << 15;

// Writes fn(ch, x) over every sample x of the channels in `set`, for n frames
// from byte offset `start`, as WriteSample does with PeakScale `peak` (0 for
// plain clipping; above 32767 everything is scaled by 32767 / peak first).
// fn must be a pure function of (ch, x). Long packed runs look the result up
// in a table built through SampleAccess itself, so the result is
// WriteSample's to the bit whatever fn computes, at one load per sample.
template <class Fmt, class Fn>
void MapSamples(Fmt fmt, int32_t start, int64_t n, ChannelSet set, int32_t peak,
                const ProgressPlan& plan, Fn fn) {
  SampleAccess live = Samples();
  live.peakScale = peak;
  const int32_t align = fmt.Align();
  if constexpr (Fmt::kPacked) {
    if (n * fmt.Count() >= kTableMinSamples) {
      using Raw = typename Fmt::Raw;
      constexpr int kBits = Fmt::kBits;
      constexpr int kMask = (1 << kBits) - 1;
      // Channels left alone get the identity, so that one loop does a frame.
      const uint16_t* table[2] = {nullptr, nullptr};
      for (int ch = 0; ch < fmt.Count(); ++ch) {
        uint16_t* t = SampleMapTable(ch);
        for (int code = 0; code <= kMask; ++code) {
          uint8_t in[2] = {static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8)};
          uint8_t out[2] = {in[0], in[1]};
          if (set.Has(ch)) live.Write(out, fn(ch, live.Read(in, 0)), 0);
          t[code] = static_cast<uint16_t>(out[0] | (out[1] << 8));
        }
        table[ch] = t;
      }
      // Channels mapped alike share one table, half the cache to keep warm.
      if (fmt.Count() == 2 && std::memcmp(table[0], table[1], sizeof(uint16_t) << kBits) == 0)
        table[1] = table[0];
      ForEachChunk(n, &plan, [&](int64_t first, int64_t count) {
        uint8_t* p = Doc().bytes() + start + first * align;
        for (int64_t i = 0; i < count; ++i, p += sizeof(Raw)) {
          const Raw in = LoadLittleEndian<Raw>(p);
          Raw out = 0;
          for (int ch = 0; ch < fmt.Count(); ++ch)
            out |=
                static_cast<Raw>(uint32_t{table[ch][(in >> (ch * kBits)) & kMask]} << (ch * kBits));
          StoreLittleEndian(p, out);
        }
      });
      return;
    }
  }
  ForEachChunk(n, &plan, [&](int64_t first, int64_t count) {
    uint8_t* frames = Doc().bytes() + start + first * align;
    for (int64_t i = 0; i < count; ++i, frames += align)
      for (int ch = 0; ch < fmt.Count(); ++ch)
        if (set.Has(ch)) live.Write(frames, fn(ch, live.Read(frames, ch)), ch);
  });
}

// The largest |fn(ch, x)| over the selection's channels 0 .. channels - 1,
// for an fn monotonic in x (each channel's extremes give its peak), as
// RaisePeakScale would leave it starting from 0.
template <class Fmt, class Fn>
int32_t PeakOfMap(Fmt fmt, int32_t start, int64_t n, int channels, const ProgressPlan& plan,
                  Fn fn) {
  int32_t peak = 0;
  auto raise = [&peak](int32_t v) {
    const int64_t a = std::min<int64_t>(v < 0 ? -int64_t{v} : v, INT32_MAX);
    if (a > peak) peak = static_cast<int32_t>(a);
  };
  ForEachChunk(n, &plan, [&](int64_t first, int64_t count) {
    ForEachChannelRange(fmt, Doc().bytes() + start + first * fmt.Align(), count, channels,
                        [&](int ch, int32_t min, int32_t max) {
                          raise(fn(ch, min));
                          raise(fn(ch, max));
                        });
  });
  return peak;
}

// ----- Processors ----------------------------------------------------------

// Result size of a processor that writes over the selection itself.
inline constexpr int64_t kInPlace = -1;

// A processor P provides:
//   int Start(EffectRun& run);
//     state and scratch (through run.Scratch); 0 after a reported shortage.
//   int64_t ResultBytes(const EffectRun& run) const;
//     kInPlace, or the length of the result that replaces the selection.
//   int32_t ResultSpare() const;   bytes kept beyond the data (16 usually)
//   void Flow(EffectRun& run, uint8_t* out);
//     the pass with its own progress; `out` is the selection for kInPlace,
//     else the result block, zero-filled.
// RunProcessor runs it inside RunEffect and puts a result block in place of
// the selection with ReplaceSelection.
int RunResult(EffectRun& run, int64_t bytes, int32_t spare,
              const std::function<void(uint8_t*)>& flow);

template <class P>
int RunProcessor(const EffectRecipe& recipe, P& processor) {
  return RunEffect(recipe, [&processor](EffectRun& run) {
    if (!processor.Start(run)) return 0;
    const int64_t bytes = processor.ResultBytes(run);
    if (bytes == kInPlace) {
      processor.Flow(run, run.Selection());
      return 1;
    }
    return RunResult(run, bytes, processor.ResultSpare(),
                     [&](uint8_t* out) { processor.Flow(run, out); });
  });
}

}  // namespace kelvora
