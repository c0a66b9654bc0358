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
#include "editing/clipboard_commands.h"
#include "editing/texts.h"
#include "effects/effect_runner.h"
#include "generators/generators.h"
#include "generators/texts.h"
#include "platform/param_dialog.h"
#include "platform/pixel_canvas.h"
#include "platform/platform.h"

namespace kelvora {

MelodyParams& MelodyParameters() {
  static MelodyParams params;
  return params;
}

namespace {

constexpr int kMelodyDialog = 112;
constexpr int kTempoSlider = 101;
constexpr int kTempoEdit = 102;
constexpr int kMelodyEdit = 103;
constexpr int kKeyboard = 110;
constexpr int kFirstLength = 120;
constexpr int kRestButton = 130;
constexpr int kBackButton = 131;
constexpr int kClearButton = 132;
constexpr size_t kMaxMelody = 127;

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
  dlg.ReplaceEditSelection(kMelodyEdit, name + LengthSuffix(MelodyParameters().lengthIndex));
}

intptr_t MelodyDialogProc(DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam, void*) {
  MelodyParams& p = MelodyParameters();
  switch (message) {
    case kMsgInitDialog:
      dlg.SetCheck(kFirstLength + std::clamp(p.lengthIndex, 0, 7), kChecked);
      dlg.SetSliderRange(kTempoSlider, 60, 240);
      if (p.tempo == -1) p.tempo = Services().profile->GetInt("Options", "tempo", 120);
      dlg.SetSliderPos(kTempoSlider, p.tempo);
      // Through the edit box's own handling: a stored tempo out of range is
      // clamped here.
      dlg.SetItemText(kTempoEdit, std::to_string(static_cast<uint32_t>(p.tempo)));
      dlg.SetItemText(kMelodyEdit, p.melody);
      return 1;
    case kMsgHScroll:
      if (lparam == kTempoSlider)
        HandleSliderScroll(dlg, kTempoEdit, wparam, kTempoSlider, &p.tempo);
      return 1;
    case kMsgPaint:
      if (wparam == kKeyboard && dlg.Canvas(kKeyboard) != nullptr)
        DrawKeyboard(*dlg.Canvas(kKeyboard));
      return 1;
    case kMsgLButtonUp:
      if (wparam == kKeyboard && dlg.Canvas(kKeyboard) != nullptr) {
        const PixelCanvas& c = *dlg.Canvas(kKeyboard);
        InsertAtCaret(dlg, KeyboardNoteAt(SignedLowWord(lparam), SignedHighWord(lparam), c.width(),
                                          c.height()));
      }
      return 1;
    case kMsgCommand: {
      const int id = LowWord(wparam);
      if (id == kTempoEdit) {
        HandleSliderEdit(&p.tempo, dlg, wparam);
      } else if (id >= kFirstLength && id < kFirstLength + 8) {
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
      return 1;
    }
    default:
      return 0;
  }
}

// Before the snapshot: a clip to play, the dialog, and the tempo saved.
bool AskForMelody() {
  if (!ClipboardHasWave()) {
    ShowMessage(texts::kCaptionMelody, texts::kMelodyNeedsClip, MsgIcon::kInformation);
    return false;
  }
  if (Services().dialogs->RunCustomDialog(kMelodyDialog, MelodyDialogProc, nullptr) != 1)
    return false;
  char tempo[16];
  std::snprintf(tempo, sizeof tempo, "%d", MelodyParameters().tempo);
  Services().profile->WriteString("Options", "tempo", tempo);
  return true;
}

struct ParsedNote {
  MelodyNote note;
  int32_t progress;  // characters read up to and including this note
};

// Room for every note at the insertion point, made once (each note pushes
// the data after it back, so together they push it back by their sum), then
// each note filled with the clip read every step / 10000 frames (a rest:
// silence) and selected in turn. Returns 0 after a shortage.
template <class Fmt>
int WriteNotes(Fmt fmt, const std::vector<ParsedNote>& notes, const MemoryBlock& clip,
               int32_t clipBytes, int32_t total) {
  SoundDocument& doc = Doc();
  int64_t bytes = 0;
  for (const ParsedNote& n : notes) bytes += n.note.bytes;
  const int64_t room = OpenRoomAtInsertionPoint(bytes, texts::kCaptionMelodyShortage);
  if (room < 0) return 0;
  auto at = static_cast<int32_t>(room);
  const int32_t align = fmt.Align();
  const int64_t clipFrames = clipBytes / align;
  for (const ParsedNote& n : notes) {
    const MelodyNote& note = n.note;
    const ProgressPlan plan{texts::kProgressMelody, n.progress, 0, total};
    int64_t t = 0;  // 64 bits: a long note of a high octave passes 2^31
    ForEachChunk(note.bytes / align, &plan, [&](int64_t first, int64_t count) {
      uint8_t* out = Doc().bytes() + at + first * align;
      for (int64_t i = 0; i < count; ++i, out += align, t += note.step) {
        const int64_t source = t / 10000;
        const uint8_t* in = clip.data() + source * align;
        for (int ch = 0; ch < fmt.Count(); ++ch)
          fmt.Write(out, note.step != 0 && source < clipFrames ? fmt.Read(in, ch) : 0, ch);
      }
    });
    doc.selStart = at;
    at += static_cast<int32_t>(note.bytes);
    doc.selEnd = doc.movingEnd = at;
  }
  doc.modified = true;
  return 1;
}

int RenderMelody(EffectRun&) {
  MelodyParams& p = MelodyParameters();
  std::string& text = p.melody;
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const SoundFormat& f = Doc().format;
  const int32_t align = f.nBlockAlign;
  if (text.empty() || align <= 0) return 0;
  // The clip is the same for every note: fetched and converted once.
  MemoryBlock clip;
  int32_t clipBytes = 0;
  if (!ReadConvertedClip(texts::kCaptionPasteFormat, texts::kCaptionMelodyShortage, 0, clip,
                         &clipBytes))
    return 0;
  const int64_t beat = p.tempo > 0 ? int64_t{align} * f.nSamplesPerSec * 60 / p.tempo : 0;
  std::vector<ParsedNote> notes;
  int octave = 4;
  int32_t progress = 0;
  bool malformed = false;
  for (size_t at = 0; at < text.size();) {
    MelodyNote note;
    if (!ReadMelodyNote(text, at, beat, align, &octave, &note)) {
      malformed = true;
      break;
    }
    progress += note.counted;
    notes.push_back({note, progress});
    at = note.next;
  }
  if (!notes.empty()) {
    int ok = 0;
    WithFrameFormat([&](auto fmt) {
      ok = WriteNotes(fmt, notes, clip, clipBytes, static_cast<int32_t>(text.size()));
    });
    if (!ok) return 0;
  }
  // Notes before a malformed one stay.
  if (malformed) ShowWarning(texts::kCaptionMelody, texts::kMelodyMalformed);
  return notes.empty() ? 0 : 1;
}

}  // namespace

void MelodyPaste() {
  // Held busy while it renders, unlike a paste of one clip: progress lets
  // events through, and a command run between two notes would act on a
  // half-written melody.
  static const EffectRecipe kRecipe{
      .name = texts::kCaptionMelodyShortage, .proceed = AskForMelody, .selectAll = false};
  RunEffect(kRecipe, RenderMelody);
}

}  // namespace kelvora
