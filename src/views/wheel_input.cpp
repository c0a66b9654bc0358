#include "views/wheel_input.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "document/busy.h"
#include "document/sound_document.h"
#include "platform/platform.h"
#include "resources/command_ids.h"
#include "views/view_logic.h"
#include "views/view_state.h"
#include "views/wave_input.h"

namespace kelvora {
namespace {

constexpr const char* kOptions = "Options";
constexpr int kVerticalZoomIds[] = {kCmdVerticalZoom1, kCmdVerticalZoom2, kCmdVerticalZoom4,
                                    kCmdVerticalZoom8};

int VerticalZoomIndex(int factor) {
  const auto* at = std::find(std::begin(kVerticalZooms), std::end(kVerticalZooms), factor);
  return at == std::end(kVerticalZooms) ? -1 : static_cast<int>(at - std::begin(kVerticalZooms));
}

}  // namespace

int WheelNotches::Take(int delta) {
  rest_ += delta;
  const int whole = rest_ / kWheelNotch;
  rest_ -= whole * kWheelNotch;
  return whole;
}

int WheelScrollColumns() { return std::max(1, DrawingWidth() / kWheelScrollDivisor); }

void WheelScroll(int notches) {
  if (Busy().busy || notches == 0) return;
  SoundDocument& doc = Doc();
  const int64_t column = ColumnBytes();
  if (column <= 0 || doc.length <= 0) return;
  const int64_t old = doc.viewStart;
  int64_t columns = -int64_t{notches} * WheelScrollColumns();
  int64_t start = 0;
  if (columns < 0) {
    start = std::max<int64_t>(old + columns * column, 0);
  } else {
    // The scroll bar never reaches the data length; the wheel stops at the
    // last whole column before it, so that the picture only shifts.
    columns = std::min(columns, (doc.length - 1 - old) / column);
    if (columns <= 0) return;
    start = old + columns * column;
  }
  ScrollViewTo(start);
}

void WheelZoom(int notches, int px) {
  if (Busy().busy || notches == 0) return;
  ViewState& v = View();
  const int level = std::clamp(v.zoomLevel + notches, 0, kZoomLevels - 1);
  if (level == v.zoomLevel) return;
  SoundDocument& doc = Doc();
  const int64_t align = doc.format.nBlockAlign;
  const int64_t length = std::max(doc.length, 0);
  px = std::clamp(px, 0, std::max(0, CurrentWaveGeometry().plotRight - kPlotLeft));
  const int64_t time = std::clamp<int64_t>(PixelToOffset(px), 0, length);
  UseZoomLevel(level);
  int64_t start = std::clamp<int64_t>(time - int64_t{px} * v.framesPerPixel * align, 0, length);
  if (align > 0) start -= start % align;
  ShowViewFrom(start);
}

void WheelZoomAtViewMiddle(int notches) { WheelZoom(notches, DrawingWidth() / 2); }

void SetVerticalZoom(int factor) {
  if (VerticalZoomIndex(factor) < 0) factor = 1;
  View().verticalZoom = factor;
  if (Profile* p = Services().profile) p->WriteString(kOptions, "vzoom", std::to_string(factor));
  ShowVerticalZoomChecks();
  Services().ui->RepaintWaveView();
}

void StepVerticalZoom(int notches) {
  if (Busy().busy || notches == 0) return;
  const int index = std::max(0, VerticalZoomIndex(View().verticalZoom));
  const int last = static_cast<int>(std::size(kVerticalZooms)) - 1;
  const int next = std::clamp(index + notches, 0, last);
  if (next != index) SetVerticalZoom(kVerticalZooms[next]);
}

void LoadVerticalZoomSetting() {
  const int factor = Services().profile ? Services().profile->GetInt(kOptions, "vzoom", 1) : 1;
  View().verticalZoom = VerticalZoomIndex(factor) >= 0 ? factor : 1;
}

void ShowVerticalZoomChecks() {
  for (size_t i = 0; i < std::size(kVerticalZoomIds); ++i)
    Services().ui->SetMenuCheck(kVerticalZoomIds[i], View().verticalZoom == kVerticalZooms[i]);
}

}  // namespace kelvora
