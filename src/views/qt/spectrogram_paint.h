// What the waveform view paints in spectrogram mode over one area of its
// picture: the spectrogram itself, the time grid over it, the selection
// laid over it in translucent red, and the frequency ruler left of it.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>

namespace kelvora {

struct WaveGeometry;

void PaintSpectrogram(QImage& image, const QRect& area, const WaveGeometry& g, const QFont& font);

// The columns [left, right) that carry the selection's red, or an empty
// range; the picture must be painted again where this changes.
struct TintColumns {
  int left = 0, right = 0;
  friend bool operator==(const TintColumns&, const TintColumns&) = default;
};
TintColumns SpectrogramTint(const WaveGeometry& g);

}  // namespace kelvora
