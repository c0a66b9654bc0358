// The spectrogram in the waveform view's area: per channel lane and pixel
// column, the spectrum of the column's frames (views/spectrum_analyser.h)
// with frequency rising upward (views/frequency_axis.h).
//
// Columns are kept in a cache of about 64 MB, least recently drawn dropped
// first, keyed by zoom and by column of a grid fixed to the sound (column k
// starts at frame k * frames per pixel), so scrolling and returning to a
// zoom reuse them. The view's column x shows grid column
// floor(view start frame / fpp) + x, at most one column's frames left of
// where the waveform's column starts.
//
// Missing columns are computed by worker threads in batches while the view
// shows what is ready: drawing queues what it lacks, and the wake-up
// (called on a worker thread) tells the window to collect the finished
// columns and draw them. Everything here runs on the UI thread.
//
// After a change of the sound a cached column is drawn again only when the
// fingerprint of the bytes it reads still matches, so only the columns that
// changed are computed again.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "views/view_logic.h"
#include "views/wave_render.h"

namespace kelvora {

// Spectrogram on (the setting); the view then draws it instead of the
// waveform, even when there is nothing to draw.
bool SpectrogramShown();

// The spectrogram of the lanes' rows on the columns of `area` (device
// pixels, `scale` per pixel, as for RenderWaveform). Columns not ready are
// left as they are and queued; nothing is drawn for a sound without frames
// or with a rate below 2 Hz.
void RenderSpectrogram(const PixelBuffer& buffer, const WaveGeometry& g, const PixelRect& area,
                       int scale = 1);

// Plot columns [left, right) (from the plot's left edge) whose pictures
// became ready since the last call; queues the next batches.
struct ColumnSpan {
  int left = 0, right = 0;
};
std::vector<ColumnSpan> CollectSpectrogramColumns();
// See above; null for none. Returns once no call is under way.
void SetSpectrogramWakeup(std::function<void()> wakeup);
// Columns queued or being computed.
bool SpectrogramPending();
// Blocks until a batch is finished or nothing is pending (tests,
// benchmarks; the window waits for the wake-up).
void WaitForSpectrogram();

// The sound's samples may have changed: cached columns are checked before
// they are drawn again.
void SpectrogramSoundChanged();

// Label rows (client coordinates) of the frequency ruler, lane by lane, at
// least `spacing` rows apart.
struct RulerMark {
  int y = 0;
  std::string label;
};
std::vector<RulerMark> SpectrogramRuler(const WaveGeometry& g, int spacing);

// "  440 Hz  A4 +0セント" for a pointer at row y over a lane's picture,
// else empty: what follows the position in status part 3.
std::string SpectrogramPointerText(int y);

struct SpectrogramCacheStats {
  size_t columns = 0;
  size_t bytes = 0;
  size_t computed = 0;  // columns received from the workers since the reset
};
SpectrogramCacheStats SpectrogramStats();
// The cache's bound in bytes (tests); 0 restores the default.
void SetSpectrogramCacheLimit(size_t bytes);

// Empties the cache and ends the worker threads.
void ResetSpectrogramState();

}  // namespace kelvora
