// Listening before OK: while an effect's dialog is open, its 試聴 toggle
// plays the selection in a loop, processed by the very pass OK runs with
// the values the dialog shows, and 原音 plays the original at the same
// place instead. A changed value renders the selection again and playing
// goes on from where it was. The document, its undo copy and the settings
// are not touched; the sound goes to the output device of the device
// dialog, never while the document plays.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "effects/effect_runner.h"
#include "platform/platform.h"

namespace kelvora {

class PreviewDialogHost;

// Installed by RunEffect around its dialog: the recipe's dialog, when its
// description has the preview controls, opens with a preview. Ends any
// preview when it goes out of scope.
class PreviewScope {
public:
  PreviewScope(const EffectRecipe& recipe, const std::function<int(EffectRun&)>& pass);
  ~PreviewScope();
  PreviewScope(const PreviewScope&) = delete;
  PreviewScope& operator=(const PreviewScope&) = delete;

private:
  DialogHost* outer_ = nullptr;
  std::unique_ptr<PreviewDialogHost> host_;
};

// Each chunk written to the device holds this much sound, and this many
// chunks are written ahead of what is heard: a change reaches the ear
// after at most their sum plus one rendering.
inline constexpr int kPreviewChunkMs = 40;
inline constexpr int kPreviewChunksAhead = 3;

// What the preview does, for tests and the status of the dialog.
struct PreviewState {
  bool playing = false;
  bool bypass = false;
  // The loop being played and the original it stands for; both stay
  // valid while playing.
  const uint8_t* processed = nullptr;
  int64_t processedBytes = 0;
  const uint8_t* original = nullptr;
  int64_t originalBytes = 0;
  // The next byte of the processed loop to be queued, and renderings so far.
  int64_t position = 0;
  int renders = 0;
};
const PreviewState& Preview();

}  // namespace kelvora
