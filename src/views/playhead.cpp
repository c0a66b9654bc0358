#include "views/playhead.h"

#include <algorithm>

#include "document/sound_document.h"
#include "platform/platform.h"
#include "views/view_logic.h"
#include "views/view_state.h"
#include "views/wave_input.h"

namespace kelvora {

void ShowPlayhead(int64_t offset) {
  UserInterface* ui = Services().ui;
  SoundDocument& doc = Doc();
  const int64_t align = doc.format.nBlockAlign;
  const int64_t column = int64_t{View().framesPerPixel} * align;
  if (offset < 0 || column <= 0) return ui->DrawPlayhead(-1);
  const int64_t page = int64_t{std::max(DrawingWidth(), 1)} * column;
  const int64_t old = doc.viewStart;
  if (!View().dragging && !View().pressing && offset < doc.length &&
      (offset < old || offset >= old + page)) {
    const int64_t start = offset >= old + page && offset < old + 2 * page ? old + page : offset;
    doc.viewStart = static_cast<int32_t>(start - start % align);
    ScrollBy(doc.viewStart - old);
  }
  const int64_t x = OffsetToPixel(offset) + kPlotLeft;
  const WaveGeometry g = CurrentWaveGeometry();
  ui->DrawPlayhead(x >= kPlotLeft && x < g.plotRight ? static_cast<int>(x) : -1);
}

}  // namespace kelvora
