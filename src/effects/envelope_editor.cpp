// The curve itself and the editor that draws it over the selection's
// waveform and lets the mouse add, drag and delete its points.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "document/frame_format.h"
#include "document/sound_document.h"
#include "effects/envelope.h"
#include "effects/texts.h"
#include "platform/dialog_window.h"
#include "platform/param_dialog.h"
#include "platform/pixel_canvas.h"
#include "platform/platform.h"

namespace kelvora {

Envelope FlatEnvelope(int32_t y) {
  Envelope e{};
  e[0] = 0;
  e[1] = y;
  e[2] = 256;
  e[3] = y;
  e[4] = e[5] = kCurveEnd;
  return e;
}

int EnvelopePoints(const Envelope& e) {
  int n = 0;
  while (n <= kCurveMaxPoints && e[2 * n] != kCurveEnd) ++n;
  return n;
}

namespace {

// y0 + (y1 - y0) * (x - x0) / (x1 - x0) on segment i (points i and i + 1).
int32_t SegmentHeight(const Envelope& e, int i, int32_t x) {
  const int32_t x0 = e[2 * i], y0 = e[2 * i + 1], x1 = e[2 * i + 2], y1 = e[2 * i + 3];
  return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

}  // namespace

int32_t EnvelopeValue(const Envelope& e, int32_t pos) {
  const int last = EnvelopePoints(e) - 1;
  int i = 0;
  while (i + 1 < last && pos >= e[2 * i + 2]) ++i;
  return SegmentHeight(e, i, pos);
}

std::array<int32_t, 256> EnvelopeValues(const Envelope& e) {
  std::array<int32_t, 256> values{};
  const int last = EnvelopePoints(e) - 1;
  int i = 0;
  for (int32_t pos = 0; pos < 256; ++pos) {
    while (i + 1 < last && pos >= e[2 * i + 2]) ++i;
    values[pos] = SegmentHeight(e, i, pos);
  }
  return values;
}

// ----- Mouse rules -----------------------------------------------------------

void PressEnvelope(EnvelopeEditorState& s, int32_t x, int32_t y) {
  Envelope& e = *s.envelope;
  const int n = EnvelopePoints(e);
  for (int i = 0; i < n; ++i)
    if (std::abs(e[2 * i] - x) <= 5 && std::abs(e[2 * i + 1] - y) <= 5) {
      s.dragged = i;
      return;
    }
  // The array holds 39 points and the marker: a 40th would not fit.
  if (n >= kCurveMaxPoints) return;
  for (int i = 0; i + 1 < n; ++i) {
    if (!(e[2 * i] < x && x < e[2 * i + 2])) continue;
    const int32_t height = SegmentHeight(e, i, x);
    if (std::abs(height - y) >= 12) continue;
    // Later points and the marker move up one place.
    std::copy_backward(e.begin() + 2 * i + 2, e.begin() + 2 * n + 2, e.begin() + 2 * n + 4);
    e[2 * i + 2] = x;
    e[2 * i + 3] = height;
    s.dragged = i + 1;
    return;
  }
}

void MoveEnvelope(EnvelopeEditorState& s, int32_t x, int32_t y) {
  if (s.dragged < 0) return;
  Envelope& e = *s.envelope;
  const int n = EnvelopePoints(e);
  const int i = s.dragged;
  if (i == 0 || i == n - 1) {
    e[2 * i + 1] = std::clamp(y, 0, 256);
  } else if (x < 0 || x >= 256 || y < 0 || y >= 256) {
    // Later points and the marker move down one place.
    std::copy(e.begin() + 2 * i + 2, e.begin() + 2 * n + 2, e.begin() + 2 * i);
    s.dragged = -1;
  } else {
    e[2 * i] = std::clamp(x, e[2 * i - 2] + 1, e[2 * i + 2] - 1);
    e[2 * i + 1] = y;
  }
}

void ReleaseEnvelope(EnvelopeEditorState& s) { s.dragged = -1; }

// ----- Drawing -----------------------------------------------------------------

void InvertEnvelopeCurve(PixelCanvas& canvas, const Envelope& e) {
  const int64_t w = canvas.width(), h = canvas.height();
  auto px = [&](int i) { return static_cast<int>(w * e[2 * i] / 256); };
  auto py = [&](int i) { return static_cast<int>(h - h * e[2 * i + 1] / 256); };
  const int n = EnvelopePoints(e);
  for (int i = 0; i + 1 < n; ++i) canvas.InvertLine(px(i), py(i), px(i + 1), py(i + 1));
  for (int i = 0; i < n; ++i) canvas.InvertRect(px(i) - 3, py(i) - 3, px(i) + 4, py(i) + 4);
}

namespace {

// The dots of the waveform as rows hit per column (h + 1 rows: a sample of
// -32768 lands one below the frame): channel 0 of every `every`-th frame of
// the selection, at px = o * w / L and py = h/2 - v * (h/2) / 32767 for the
// frame at byte offset o.
std::vector<uint8_t> WaveformDots(int w, int h, int32_t every) {
  std::vector<uint8_t> hit(static_cast<size_t>(w) * (h + 1), 0);
  SoundDocument& doc = Doc();
  const int64_t length = int64_t{doc.selEnd} - doc.selStart;
  const int32_t align = doc.format.nBlockAlign;
  if (length <= 0 || align <= 0 || w <= 0 || h <= 0) return hit;
  const uint8_t* selection = doc.bytes() + doc.selStart;
  const int64_t step = int64_t{align} * std::max(every, 1);
  const int32_t half = h / 2;
  WithFrameFormat([&](auto fmt) {
    // px carried from dot to dot without a division.
    const int64_t advance = step * w;
    const int64_t whole = advance / length, part = advance % length;
    int64_t px = 0, remainder = 0;
    for (int64_t o = 0; o < length; o += step) {
      const int32_t py = half - fmt.Read(selection + o, 0) * half / 32767;
      hit[static_cast<size_t>(px) * (h + 1) + static_cast<size_t>(py)] = 1;
      px += whole;
      remainder += part;
      if (remainder >= length) {
        remainder -= length;
        ++px;
      }
    }
  });
  return hit;
}

}  // namespace

void PaintEnvelopeFrame(PixelCanvas& canvas, const EnvelopeEditorState& s) {
  const int w = canvas.width(), h = canvas.height();
  canvas.FillRect(0, 0, w, h, kBlack);
  const std::vector<uint8_t> hit = WaveformDots(w, h, s.dotEvery);
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y)
      if (hit[static_cast<size_t>(x) * (h + 1) + y]) canvas.SetPixel(x, y, kGreen);
  canvas.Line(0, h / 2, w, h / 2, kBlue);
  if (s.envelope != nullptr) InvertEnvelopeCurve(canvas, *s.envelope);
}

// ----- The dialog ----------------------------------------------------------------

namespace {

constexpr int kFrameId = 110;

}  // namespace

EnvelopeEditor::EnvelopeEditor(Envelope& e, int32_t density, int dialogId) : dialogId_(dialogId) {
  state_.envelope = &e;
  state_.dotEvery = 128 / std::clamp(density, 1, 128);
}

void EnvelopeEditor::Opened(DialogWindow& dlg) {
  state_.dragged = -1;
  const PixelCanvas* canvas = dlg.Canvas(kFrameId);
  state_.width = canvas != nullptr ? canvas->width() : 0;
  state_.height = canvas != nullptr ? canvas->height() : 0;
}

void EnvelopeEditor::Paint(DialogWindow& dlg, int id) {
  if (id == kFrameId && dlg.Canvas(kFrameId) != nullptr)
    PaintEnvelopeFrame(*dlg.Canvas(kFrameId), state_);
}

void EnvelopeEditor::Mouse(DialogWindow& dlg, int id, MouseAction action, int px, int py) {
  PixelCanvas* canvas = dlg.Canvas(kFrameId);
  if (id != kFrameId || canvas == nullptr || state_.width <= 0 || state_.height <= 0) return;
  const int32_t x = px * 256 / state_.width;
  const int32_t y = 256 - py * 256 / state_.height;
  const Envelope before = *state_.envelope;
  if (action == MouseAction::kPress)
    PressEnvelope(state_, x, y);
  else if (action == MouseAction::kMove)
    MoveEnvelope(state_, x, y);
  else
    ReleaseEnvelope(state_);
  // The old curve off, the new one on.
  if (before != *state_.envelope) {
    InvertEnvelopeCurve(*canvas, before);
    InvertEnvelopeCurve(*canvas, *state_.envelope);
  }
}

void EnvelopeEditor::Clicked(DialogWindow& dlg, int id) {
  if (id != 1 && id != 2) return;
  state_.dragged = -1;
  dlg.EndDialog(id == 1 ? 1 : 0);
}

int EnvelopeEditor::Accept(const std::vector<DialogField>& fields) {
  for (const DialogField& f : fields) {
    std::vector<CurvePoint> points;
    std::string error;
    if (f.name != "points" || !ParseCurvePoints(f.value, &points, &error)) continue;
    Envelope& e = *state_.envelope;
    size_t i = 0;
    for (const CurvePoint& p : points) e[i++] = p.x, e[i++] = p.y;
    e[i++] = kCurveEnd;
    e[i] = kCurveEnd;
  }
  return 1;
}

std::string EnvelopeEditor::ValueTip(DialogWindow&, int id, int px, int py) {
  if (id != kFrameId || state_.width <= 0 || state_.height <= 0) return {};
  const Envelope& e = *state_.envelope;
  int point = state_.dragged;
  const int32_t x = px * 256 / state_.width;
  const int32_t y = 256 - py * 256 / state_.height;
  // The point a press would grab.
  for (int i = 0; point < 0 && i < EnvelopePoints(e); ++i)
    if (std::abs(e[2 * i] - x) <= 5 && std::abs(e[2 * i + 1] - y) <= 5) point = i;
  if (point < 0 || point >= EnvelopePoints(e)) return {};
  const SoundDocument& doc = Doc();
  const double frames =
      doc.format.nBlockAlign != 0
          ? static_cast<double>(doc.selEnd - doc.selStart) / doc.format.nBlockAlign
          : 0;
  const double rate = std::max<double>(doc.format.nSamplesPerSec, 1);
  const double seconds = frames * e[2 * point] / 256 / rate;
  const int32_t level = e[2 * point + 1];
  char text[64];
  if (dialogId_ == kDialogPanEnvelope)
    std::snprintf(text, sizeof text, texts::kPanEnvelopeTipFormat, seconds, level * 100 / 128,
                  (256 - level) * 100 / 128);
  else if (dialogId_ == kDialogPitchEnvelope)  // the speed the resampling steps at
    std::snprintf(text, sizeof text, texts::kEnvelopeTipFormat, seconds,
                  static_cast<int>(std::pow(2.0, level / 128.0) * 50));
  else
    std::snprintf(text, sizeof text, texts::kEnvelopeTipFormat, seconds, level * 100 / 128);
  return text;
}

int RunEnvelopeEditor(int dialog_id, Envelope& e, int32_t density) {
  EnvelopeEditor dialog(e, density, dialog_id);
  return Services().dialogs->RunDialog(dialog_id, dialog) == 1 ? 1 : 0;
}

}  // namespace kelvora
