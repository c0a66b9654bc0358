#include "effects/preview.h"

#include <algorithm>
#include <cstring>

#include "audio/audio.h"
#include "audio/device_dialog.h"
#include "document/operation.h"
#include "document/sound_document.h"
#include "resources/dialogs.h"

namespace kelvora {
namespace {

// Scratch of a preview: a shortage is reported under the effect's name and
// ends the preview, the dialog staying open.
class PreviewScratch : public Scratch {
public:
  explicit PreviewScratch(const char* name) : name_(name) {}
  int Get(MemoryBlock& block, size_t bytes, bool zero = false) const override {
    if (zero ? block.AllocateZeroed(bytes) : block.Resize(bytes)) return 1;
    ShowOutOfMemory(name_);
    return 0;
  }

private:
  const char* name_;
};

// The one preview there can be: one dialog is open at a time.
class Player : public WaveListener {
public:
  const PreviewState& state() const { return state_; }

  // Renders and starts the loop. False when it could not (reported).
  bool Start(const EffectRecipe& recipe, const std::function<int(EffectRun&)>& pass,
             DialogHandler& handler, DialogWindow& dlg) {
    if (IsAudioRunning()) StopAudio();  // the document's playback gives way
    const SoundDocument& doc = Doc();
    if (IsAudioRunning() || doc.length == 0 || doc.format.nBlockAlign == 0) return false;
    state_ = PreviewState{};
    if (!Render(recipe, pass, handler, dlg)) return false;
    WaveStreamFormat format{doc.format.nSamplesPerSec, doc.format.wBitsPerSample,
                            doc.format.nChannels};
    format.leadMs = kPreviewChunkMs * (kPreviewChunksAhead - 1);
    const WaveResult r = Services().waveDevices->OpenOutput(SelectedOutputDevice - 1, format, this);
    if (r != kWaveOk) {
      ShowOpenError(r);
      Release();
      return false;
    }
    const int64_t frames =
        std::max<int64_t>(1, int64_t{doc.format.nSamplesPerSec} * kPreviewChunkMs / 1000);
    chunkBytes_ = frames * doc.format.nBlockAlign;
    ++stream_;
    state_.playing = true;
    queued_ = 0;
    Fill();
    return true;
  }

  // Renders the loop again with the values shown, going on from the same
  // place. False after a shortage (reported).
  bool Render(const EffectRecipe& recipe, const std::function<int(EffectRun&)>& pass,
              DialogHandler& handler, DialogWindow& dlg) {
    const SoundDocument& doc = Doc();
    const int32_t align = doc.format.nBlockAlign;
    const int64_t length = doc.selEnd - doc.selStart;
    state_.original = doc.data.data() + doc.selStart;
    state_.originalBytes = length;
    const PreviewScratch scratch(recipe.name);
    MemoryBlock work, result;
    int64_t resultBytes = -1;
    if (!scratch.Get(work, static_cast<size_t>(length) + 16)) return false;
    std::memcpy(work.data(), state_.original, static_cast<size_t>(length));
    EffectRun run{recipe.name, {}, scratch, [&](int64_t bytes, int32_t spare, bool) -> uint8_t* {
                    if (!scratch.Get(result, static_cast<size_t>(bytes + spare), true))
                      return nullptr;
                    resultBytes = bytes;
                    return result.data();
                  }};
    SoundView& v = run.view;
    v.format = doc.format;
    v.bytesPerChannel = doc.bytesPerChannelSample;
    v.source = doc.data.data();
    v.sourceLength = doc.length;
    v.first = doc.selStart / align;
    v.frames = length / align;
    v.out = work.data();
    v.channelMask = doc.channelMask;
    v.progress = nullptr;  // no status texts, no events dispatched inside
    int ok = 1;
    handler.WithShownValues(dlg, [&] {
      if (recipe.changes == nullptr || recipe.changes()) ok = pass(run);
    });
    if (!ok) return false;
    const int64_t before = state_.processedBytes;
    if (resultBytes >= 0) {
      loop_ = std::move(result);
      state_.processedBytes = resultBytes;
    } else {
      loop_ = std::move(work);
      state_.processedBytes = length;
    }
    state_.processed = loop_.data();
    // A loop of another length goes on at the same fraction of it.
    if (before > 0 && before != state_.processedBytes)
      state_.position = state_.position * state_.processedBytes / before / align * align;
    if (state_.position >= state_.processedBytes) state_.position = 0;
    ++state_.renders;
    return true;
  }

  void SetBypass(bool on) { state_.bypass = on; }

  void Stop() {
    if (state_.playing) Services().waveDevices->CloseOutput();
    ++stream_;  // reports still on their way are not ours any more
    Release();
  }

  void OutputDone(int tag, int) override {
    if (tag != stream_ || !state_.playing) return;
    --queued_;
    Fill();
  }
  void InputDone(int) override {}

private:
  void Release() {
    state_.playing = false;
    loop_ = MemoryBlock();
    state_.processed = state_.original = nullptr;
  }

  // Keeps kPreviewChunksAhead chunks at the device. Bypassed, the same
  // stretch of the original is played: at the same fraction when the
  // effect changes the length.
  void Fill() {
    const int32_t align = Doc().format.nBlockAlign;
    while (state_.playing && queued_ < kPreviewChunksAhead && state_.processedBytes > 0) {
      const int64_t n = std::min(chunkBytes_, state_.processedBytes - state_.position);
      const uint8_t* from = state_.processed + state_.position;
      int64_t bytes = n;
      if (state_.bypass && state_.originalBytes != state_.processedBytes) {
        const int64_t at = state_.position * state_.originalBytes / state_.processedBytes;
        const int64_t start = at / align * align;
        const int64_t end =
            std::min(state_.originalBytes, (state_.position + n) * state_.originalBytes /
                                               state_.processedBytes / align * align);
        from = state_.original + start;
        bytes = end - start;
      } else if (state_.bypass) {
        from = state_.original + state_.position;
      }
      state_.position += n;
      if (state_.position >= state_.processedBytes) state_.position = 0;
      if (bytes <= 0) continue;
      if (!Services().waveDevices->WriteOutput(stream_, from, static_cast<int>(bytes))) {
        Stop();
        return;
      }
      ++queued_;
    }
  }

  PreviewState state_;
  MemoryBlock loop_;
  int64_t chunkBytes_ = 0;
  int queued_ = 0;
  int stream_ = 0;
};

Player& ThePlayer() {
  static Player player;
  return player;
}

// The recipe's dialog with the preview controls working, everything else
// passed on; a change of value while playing renders again.
class PreviewHandler : public DialogHandler {
public:
  PreviewHandler(DialogHandler& inner, const EffectRecipe& recipe,
                 const std::function<int(EffectRun&)>& pass)
      : inner_(inner), recipe_(recipe), pass_(pass) {}
  ~PreviewHandler() override { ThePlayer().Stop(); }

  void Opened(DialogWindow& dlg) override { inner_.Opened(dlg); }
  void Clicked(DialogWindow& dlg, int id) override {
    if (id == kPreviewToggle) {
      if (ThePlayer().state().playing) {
        ThePlayer().Stop();
      } else if (ThePlayer().Start(recipe_, pass_, inner_, dlg)) {
        ThePlayer().SetBypass(dlg.GetCheck(kBypassCheck) == kChecked);
      }
      dlg.SetCheck(kPreviewToggle, ThePlayer().state().playing ? kChecked : kUnchecked);
      return;
    }
    if (id == kBypassCheck) {
      const bool on = dlg.GetCheck(kBypassCheck) != kChecked;
      dlg.SetCheck(kBypassCheck, on ? kChecked : kUnchecked);
      ThePlayer().SetBypass(on);
      return;
    }
    if (id == 1 || id == 2) ThePlayer().Stop();  // before OK's pass, or Cancel
    Inner([&] { inner_.Clicked(dlg, id); });
    Changed(dlg);
  }
  void Edited(DialogWindow& dlg, int id) override {
    Inner([&] { inner_.Edited(dlg, id); });
    Changed(dlg);
  }
  void Chosen(DialogWindow& dlg, int id) override {
    Inner([&] { inner_.Chosen(dlg, id); });
    Changed(dlg);
  }
  void Scrolled(DialogWindow& dlg, int id, int request, int position) override {
    Inner([&] { inner_.Scrolled(dlg, id, request, position); });
    Changed(dlg);
  }
  void Mouse(DialogWindow& dlg, int id, MouseAction action, int x, int y) override {
    Inner([&] { inner_.Mouse(dlg, id, action, x, y); });
    Changed(dlg);
  }
  void Paint(DialogWindow& dlg, int id) override { inner_.Paint(dlg, id); }
  std::string ValueTip(DialogWindow& dlg, int id, int x, int y) override {
    return inner_.ValueTip(dlg, id, x, y);
  }
  bool Closing(DialogWindow& dlg) override { return inner_.Closing(dlg); }
  int Accept(const std::vector<DialogField>& fields) override { return inner_.Accept(fields); }
  void WithShownValues(DialogWindow& dlg, const std::function<void()>& use) override {
    inner_.WithShownValues(dlg, use);
  }
  const ParamEntry* ParamTable() const override { return inner_.ParamTable(); }

private:
  // The handler's own writes to the dialog come back here (a slider moved
  // shows its number, which reports an edit): one rendering, after the
  // outermost call.
  template <class F>
  void Inner(F f) {
    ++depth_;
    f();
    --depth_;
  }
  void Changed(DialogWindow& dlg) {
    if (depth_ > 0 || !ThePlayer().state().playing) return;
    if (!ThePlayer().Render(recipe_, pass_, inner_, dlg)) {
      ThePlayer().Stop();
      dlg.SetCheck(kPreviewToggle, kUnchecked);
    }
  }

  DialogHandler& inner_;
  const EffectRecipe& recipe_;
  const std::function<int(EffectRun&)>& pass_;
  int depth_ = 0;
};

}  // namespace

// Runs the recipe's dialog with a preview; every other dialog (a preset
// registration opened from inside it) as it comes.
class PreviewDialogHost : public DialogHost {
public:
  PreviewDialogHost(DialogHost& outer, const EffectRecipe& recipe,
                    const std::function<int(EffectRun&)>& pass)
      : outer_(outer), recipe_(recipe), pass_(pass) {}
  int RunDialog(int dialog_id, DialogHandler& handler) override {
    if (dialog_id != recipe_.dialogId) return outer_.RunDialog(dialog_id, handler);
    PreviewHandler preview(handler, recipe_, pass_);
    return outer_.RunDialog(dialog_id, preview);
  }

private:
  DialogHost& outer_;
  const EffectRecipe& recipe_;
  const std::function<int(EffectRun&)>& pass_;
};

PreviewScope::PreviewScope(const EffectRecipe& recipe, const std::function<int(EffectRun&)>& pass) {
  const DialogDesc* desc = FindDialog(recipe.dialogId);
  if (desc == nullptr || FindControl(*desc, kPreviewToggle) == nullptr) return;
  outer_ = Services().dialogs;
  host_ = std::make_unique<PreviewDialogHost>(*outer_, recipe, pass);
  Services().dialogs = host_.get();
}

PreviewScope::~PreviewScope() {
  if (host_ == nullptr) return;
  ThePlayer().Stop();
  Services().dialogs = outer_;
}

const PreviewState& Preview() { return ThePlayer().state(); }

}  // namespace kelvora
