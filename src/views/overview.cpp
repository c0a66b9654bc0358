#include "views/overview.h"

#include <algorithm>
#include <cmath>

#include "document/busy.h"
#include "document/sound_document.h"
#include "platform/platform.h"
#include "views/view_logic.h"
#include "views/view_state.h"
#include "views/wave_input.h"

namespace kelvora {
namespace {

int DrawingAreaWidth() { return View().overviewWidth - 2 * kOverviewMargin; }

}  // namespace

int64_t OverviewXToOffset(int x) {
  const SoundDocument& doc = Doc();
  const int w = DrawingAreaWidth();
  if (doc.length <= 0 || w <= 0) return 0;
  const double xf = x - kOverviewMargin;
  if (xf < 0) return 0;
  int64_t pos = xf >= w ? doc.length : static_cast<int64_t>(xf / w * doc.length);
  const int align = std::max<int>(doc.format.nBlockAlign, 1);
  pos -= pos % align;
  return std::min<int64_t>(pos, doc.length);
}

ViewFrameRect ComputeViewFrame() {
  ViewFrameRect r;
  const SoundDocument& doc = Doc();
  const int w = DrawingAreaWidth();
  if (doc.length <= 0 || w <= 0) return r;
  // In floating point: the products pass 2^31 on any long sound.
  const double length = doc.length;
  const double start = doc.viewStart;
  const double shown =
      static_cast<double>(DrawingWidth()) * View().framesPerPixel * doc.format.nBlockAlign;
  const double end = std::min(start + shown, length);
  r.x1 = static_cast<int>(std::trunc(start * w / length)) + kOverviewMargin;
  r.x2 = static_cast<int>(std::trunc(end * w / length)) + kOverviewMargin;
  // Even a tiny stretch of a long sound keeps a visible frame.
  if (r.x2 < r.x1 + 4) r.x2 = r.x1 + 4;
  if (r.x2 > View().overviewWidth - kOverviewMargin) r.x2 = View().overviewWidth - kOverviewMargin;
  r.visible = r.x2 > r.x1;
  return r;
}

int PlayPositionX(double fraction) {
  if (!(fraction >= 0)) fraction = 0;
  fraction = std::min(fraction, 1.0);
  return static_cast<int>(std::trunc(DrawingAreaWidth() * fraction)) + kOverviewMargin;
}

void DrawViewFrame() { Services().ui->ViewFrameChanged(); }

void DrawPlayPosition(double fraction) { Services().ui->DrawPlayPosition(fraction); }

void OverviewMouseDown(int x) {
  if (Busy().busy) return;
  View().pressing = true;
  OverviewMouseMove(x);
}

void OverviewMouseMove(int x) {
  if (Busy().busy || View().scrollStep != 0) return;
  SoundDocument& doc = Doc();
  if (View().pressing && doc.length != 0) {
    const auto pos = static_cast<int32_t>(OverviewXToOffset(x));
    doc.movingEnd = doc.anchor = doc.selStart = doc.selEnd = pos;
    // The cursor goes to the middle of the waveform view.
    const int64_t half = (int64_t{DrawingWidth()} * View().framesPerPixel) / 2;
    const int64_t start = pos - half * doc.format.nBlockAlign;
    doc.viewStart = static_cast<int32_t>(std::clamp<int64_t>(start, 0, doc.length));
    doc.channelMask = 3;
    SetScrollPositionFromViewStart();
    Services().ui->RepaintWaveView();
    DrawViewFrame();
  }
  Services().ui->SetStatusText(2, CursorStatusText());
  Services().ui->SetStatusText(3, PositionStatusText(OverviewXToOffset(x)));
}

void OverviewMouseUp() {
  // Cleared even while busy: a press must not outlive its button and move
  // the cursor on the next hover once the operation has ended.
  View().pressing = false;
  if (Busy().busy) return;
  View().scrollStep = 0;
}

void ScrollByButtons(int step) {
  SoundDocument& doc = Doc();
  const int64_t old = doc.viewStart;
  int64_t start = old + int64_t{doc.format.nBlockAlign} * View().framesPerPixel * step;
  if (start < 0) start = 0;
  if (doc.length <= 0)
    start = 0;
  else if (start >= doc.length)
    start = doc.length - doc.format.nBlockAlign;
  start = std::max<int64_t>(start, 0);
  doc.viewStart = static_cast<int32_t>(start);
  ScrollBy(start - old);
}

void ScrollButtonNotify(int id, bool pressed) {
  int step = 0;
  if (pressed && id == kRightScrollButton) step = kScrollButtonColumns;
  if (pressed && id == kLeftScrollButton) step = -kScrollButtonColumns;
  View().scrollStep = step;
  ScrollByButtons(step);
}

void ScrollRepeatTick() {
  if (View().scrollStep != 0) ScrollByButtons(View().scrollStep);
}

}  // namespace kelvora
