// Melody paste: the clipboard's sound as an instrument, one note after
// another at the insertion point, with the dialog that writes the melody.
#include "generators/melody.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "document/frame_format.h"
#include "document/operation.h"
#include "document/params.h"
#include "editing/clipboard_commands.h"
#include "editing/texts.h"
#include "effects/effect_runner.h"
#include "generators/generators.h"
#include "generators/texts.h"
#include "platform/param_dialog.h"
#include "platform/pixel_canvas.h"
#include "platform/platform.h"
#include "resources/dialogs.h"

namespace kelvora {

namespace {

constexpr int kTempoSlider = 101;
constexpr int kTempoEdit = 102;
constexpr int kMelodyEdit = 103;
constexpr int kKeyboard = 110;
constexpr int kFirstLength = 120;
constexpr int kRestButton = 130;
constexpr int kBackButton = 131;
constexpr int kClearButton = 132;
constexpr size_t kMaxMelody = 127;
constexpr int32_t kMinTempo = 60, kMaxTempo = 240;

void DrawKeyboard(PixelCanvas& c) {
  const int w = c.width(), h = c.height();
  for (int k = 0; k < 24; ++k) {
    const int left = w * k / 24, right = w * (k + 1) / 24 + 1;
    c.FillRect(left, 0, right, h, kWhite);
    c.FrameRect(left, 0, right, h, kBlack);
  }
  for (int k = 1; k < 24; ++k) {
    if (k % 7 == 0 || k % 7 == 3) continue;
    const int left = w * k / 24 - w / 64;
    c.FillRect(left, 0, left + w / 32, h * 3 / 5, kBlack);
  }
}

void InsertAtCaret(DialogWindow& dlg, const std::string& name) {
  if (name.empty()) return;
  dlg.ReplaceEditSelection(kMelodyEdit, name + LengthSuffix(Params<MelodyParams>().lengthIndex));
}

class MelodyDialog : public DialogHandler {
public:
  void Opened(DialogWindow& dlg) override {
    MelodyParams& p = Params<MelodyParams>();
    dlg.SetCheck(kFirstLength + std::clamp(p.lengthIndex, 0, 7), kChecked);
    dlg.SetSliderRange(kTempoSlider, kMinTempo, kMaxTempo);
    if (p.tempo == -1) p.tempo = Services().profile->GetInt("Options", "tempo", 120);
    dlg.SetSliderPos(kTempoSlider, p.tempo);
    // Through the edit box's own handling: a stored tempo out of range is
    // clamped here.
    dlg.SetItemText(kTempoEdit, TempoText(p.tempo));
    dlg.SetItemText(kMelodyEdit, p.melody);
  }
  void Scrolled(DialogWindow& dlg, int id, int request, int position) override {
    if (id == kTempoSlider)
      HandleSliderScroll(dlg, kTempoEdit, request, position, kTempoSlider,
                         &Params<MelodyParams>().tempo);
  }
  void Edited(DialogWindow& dlg, int id) override {
    if (id == kTempoEdit) HandleSliderEdit(&Params<MelodyParams>().tempo, dlg, kTempoEdit);
  }
  void Paint(DialogWindow& dlg, int id) override {
    if (id == kKeyboard && dlg.Canvas(kKeyboard) != nullptr) DrawKeyboard(*dlg.Canvas(kKeyboard));
  }
  void Mouse(DialogWindow& dlg, int id, MouseAction action, int x, int y) override {
    if (action != MouseAction::kRelease || id != kKeyboard || dlg.Canvas(kKeyboard) == nullptr)
      return;
    const PixelCanvas& c = *dlg.Canvas(kKeyboard);
    InsertAtCaret(dlg, KeyboardNoteAt(x, y, c.width(), c.height()));
  }
  void Clicked(DialogWindow& dlg, int id) override {
    MelodyParams& p = Params<MelodyParams>();
    if (id >= kFirstLength && id < kFirstLength + 8) {
      p.lengthIndex = id - kFirstLength;
    } else if (id == kRestButton) {
      InsertAtCaret(dlg, "r");
    } else if (id == kBackButton) {
      dlg.SetItemText(kMelodyEdit, WithoutLastNote(dlg.GetItemText(kMelodyEdit)));
    } else if (id == kClearButton) {
      dlg.SetItemText(kMelodyEdit, "");
    } else if (id == 1) {
      p.melody = dlg.GetItemText(kMelodyEdit).substr(0, kMaxMelody);
      dlg.EndDialog(1);
    } else if (id == 2) {
      dlg.EndDialog(0);
    }
  }
  // The tempo as its box takes it, the melody as written.
  int Accept(const std::vector<DialogField>& fields) override {
    MelodyParams& p = Params<MelodyParams>();
    if (p.tempo == -1) p.tempo = Services().profile->GetInt("Options", "tempo", 120);
    ParseClampedNumber(TempoText(p.tempo), 0, kMinTempo, kMaxTempo, &p.tempo);
    for (const DialogField& f : fields) {
      if (f.name == "tempo" && !ParseClampedNumber(f.value, 0, kMinTempo, kMaxTempo, &p.tempo))
        p.tempo = kMinTempo;
      if (f.name == "melody") p.melody = f.value.substr(0, kMaxMelody);
    }
    return 1;
  }

private:
  static std::string TempoText(int32_t tempo) { return std::to_string(static_cast<uint32_t>(tempo)); }
};

// Before the snapshot: a clip to play, the dialog, and the tempo saved.
bool AskForMelody() {
  if (!ClipboardHasWave()) {
    ShowMessage(texts::kCaptionMelody, texts::kMelodyNeedsClip, MsgIcon::kInformation);
    return false;
  }
  MelodyDialog dialog;
  if (Services().dialogs->RunDialog(kDialogMelody, dialog) != 1) return false;
  char tempo[16];
  std::snprintf(tempo, sizeof tempo, "%d", Params<MelodyParams>().tempo);
  Services().profile->WriteString("Options", "tempo", tempo);
  return true;
}

// Each note filled with the clip read every step / 10000 frames (a rest:
// silence), one after another from the view's first frame.
template <class Fmt>
void WriteNotes(Fmt fmt, const std::vector<PlacedNote>& notes, const uint8_t* clip,
                int32_t clipBytes, int32_t total, const SoundView& v) {
  const int32_t align = fmt.Align();
  const int64_t clipFrames = clipBytes / align;
  uint8_t* at = v.out;
  for (const PlacedNote& n : notes) {
    const MelodyNote& note = n.note;
    const ProgressPlan plan{v.progress, n.progress, 0, total};
    int64_t t = 0;  // 64 bits: a long note of a high octave passes 2^31
    ForEachChunk(note.bytes / align, &plan, [&](int64_t first, int64_t count) {
      uint8_t* out = at + first * align;
      for (int64_t i = 0; i < count; ++i, out += align, t += note.step) {
        const int64_t source = t / 10000;
        const uint8_t* in = clip + source * align;
        for (int ch = 0; ch < fmt.Count(); ++ch)
          fmt.Write(out, note.step != 0 && source < clipFrames ? fmt.Read(in, ch) : 0, ch);
      }
    });
    at += note.bytes;
  }
}

int RenderMelody(EffectRun&) {
  MelodyParams& p = Params<MelodyParams>();
  std::string& text = p.melody;
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  SoundDocument& doc = Doc();
  const SoundFormat& f = doc.format;
  if (text.empty() || f.nBlockAlign <= 0) return 0;
  // The clip is the same for every note: fetched and converted once.
  MemoryBlock clip;
  int32_t clipBytes = 0;
  if (!ReadConvertedClip(texts::kCaptionPasteFormat, texts::kCaptionMelodyShortage, 0, clip,
                         &clipBytes))
    return 0;
  bool malformed = false;
  const std::vector<PlacedNote> notes = ParseMelody(text, p.tempo, f, &malformed);
  if (!notes.empty()) {
    // Room for every note at the insertion point, made once (each note
    // pushes the data after it back, so together they push it back by their
    // sum); the last note is left selected.
    int64_t bytes = 0;
    for (const PlacedNote& n : notes) bytes += n.note.bytes;
    const int64_t room = OpenRoomAtInsertionPoint(bytes, texts::kCaptionMelodyShortage);
    if (room < 0) return 0;
    SoundView v;
    v.format = f;
    v.bytesPerChannel = doc.bytesPerChannelSample;
    v.source = doc.bytes();
    v.sourceLength = doc.length;
    v.first = room / f.nBlockAlign;
    v.frames = bytes / f.nBlockAlign;
    v.out = doc.bytes() + room;
    v.progress = texts::kProgressMelody;
    MelodyPass(notes, clip.data(), clipBytes, static_cast<int32_t>(text.size()), v);
    doc.selEnd = doc.movingEnd = static_cast<int32_t>(room + bytes);
    doc.selStart = doc.selEnd - static_cast<int32_t>(notes.back().note.bytes);
    doc.modified = true;
  }
  // Notes before a malformed one stay.
  if (malformed) ShowWarning(texts::kCaptionMelody, texts::kMelodyMalformed);
  return notes.empty() ? 0 : 1;
}

}  // namespace

std::vector<PlacedNote> ParseMelody(const std::string& text, int32_t tempo, const SoundFormat& f,
                                    bool* malformed) {
  const int32_t align = f.nBlockAlign;
  const int64_t beat = tempo > 0 ? int64_t{align} * f.nSamplesPerSec * 60 / tempo : 0;
  std::vector<PlacedNote> notes;
  int octave = 4;
  int32_t progress = 0;
  *malformed = false;
  for (size_t at = 0; at < text.size();) {
    MelodyNote note;
    if (!ReadMelodyNote(text, at, beat, align, &octave, &note)) {
      *malformed = true;
      break;
    }
    progress += note.counted;
    notes.push_back({note, progress});
    at = note.next;
  }
  return notes;
}

void MelodyPass(const std::vector<PlacedNote>& notes, const uint8_t* clip, int32_t clipBytes,
                int32_t total, const SoundView& v) {
  v.WithFormat([&](auto fmt) { WriteNotes(fmt, notes, clip, clipBytes, total, v); });
}

void MelodyPaste() {
  // Held busy while it renders, unlike a paste of one clip: progress lets
  // events through, and a command run between two notes would act on a
  // half-written melody.
  static const EffectRecipe kRecipe{
      .name = texts::kCaptionMelodyShortage, .proceed = AskForMelody, .selectAll = false};
  RunEffect(kRecipe, RenderMelody);
}

}  // namespace kelvora
