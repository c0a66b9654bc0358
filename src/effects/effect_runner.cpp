#include "effects/effect_runner.h"

#include <cstring>
#include <optional>

#include "document/busy.h"
#include "document/held_samples.h"
#include "document/observer.h"
#include "document/operation.h"
#include "document/replace_selection.h"
#include "document/undo.h"
#include "effects/preview.h"

namespace kelvora {

int DocumentScratch::Get(MemoryBlock& block, size_t bytes, bool zero) const {
  if (!(zero ? block.AllocateZeroed(bytes) : block.Resize(bytes))) {
    RestoreAfterShortage(name_);
    return 0;
  }
  return 1;
}

int RunEffect(const EffectRecipe& recipe, const std::function<int(EffectRun&)>& pass) {
  SoundDocument& doc = Doc();
  if (!RequireEditableSamples(recipe.name)) return 0;
  if (recipe.selectAll) SelectAllIfEmpty();
  {
    // The preview lives as long as the dialog, and has ended before OK's pass.
    PreviewScope preview(recipe, pass);
    if (recipe.dialog != nullptr) {
      if (!recipe.dialog()) return 0;
    } else if (recipe.dialogId != 0) {
      std::vector<ParamEntry> table =
          BuildParamTable(recipe.dialogId, recipe.controls ? recipe.controls() : ParamBindings{});
      if (!RunParamDialog(recipe.dialogId, table.data())) return 0;
    }
  }
  if (recipe.proceed != nullptr && !recipe.proceed()) return 0;
  if (recipe.changes != nullptr && !recipe.changes()) return 0;
  // Busy before the snapshot, so that the copy of a long sound may keep the
  // window alive without letting a command in.
  std::optional<BusyScope> busy;
  if (recipe.busy) busy.emplace();
  const char* progress = recipe.progress != nullptr ? recipe.progress : recipe.name;
  if (!BeginUndoableOperation(recipe.name, progress)) return 0;
  if (!recipe.busy) ResetPeakScale();
  const DocumentScratch scratch(recipe.name);
  const char* name = recipe.name;
  EffectRun run{name, {}, scratch, [name](int64_t bytes, int32_t spare, bool zero) {
                  uint8_t* out = ResizeSelection(bytes, name, spare);
                  if (out != nullptr && zero) std::memset(out, 0, static_cast<size_t>(bytes));
                  return out;
                }};
  SoundView& v = run.view;
  v.format = doc.format;
  v.bytesPerChannel = doc.bytesPerChannelSample;
  v.source = Undo().data.data();
  v.sourceLength = Undo().length;
  v.first = doc.format.nBlockAlign == 0 ? 0 : doc.selStart / doc.format.nBlockAlign;
  v.frames = SelectionFrames();
  v.out = doc.bytes() + doc.selStart;
  v.channelMask = doc.channelMask;
  v.progress = progress;
  if (!pass(run)) return 0;
  doc.modified = true;
  if (!recipe.busy) {
    NotifyFormatChanged();
    NotifyDataChanged();
  }
  return 1;
}

int RunResult(EffectRun& run, int64_t bytes, int32_t spare, bool zero,
              const std::function<void(uint8_t*)>& render) {
  if (bytes < 0 || bytes > kMaxSoundBytes) {
    ShowOutOfMemory(run.name);
    return 0;
  }
  // A shortage here leaves the sound as it was, so there is nothing to mark.
  uint8_t* out = run.result(bytes, spare, zero);
  if (out == nullptr) return 0;
  render(out);
  return 1;
}

uint16_t* SampleMapTable(int slot) {
  // One table per channel of a packed format; 16-bit codes need 65536 each.
  static uint16_t tables[2][65536];
  return tables[slot];
}

}  // namespace kelvora
