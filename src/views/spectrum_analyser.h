// The spectrogram's arithmetic: the spectrum of one pixel column of the
// waveform view, as levels 0..255 per frequency bin.
//
// A column stands for `fpp` frames from `start`. When a window holds more
// frames than that, one Hann-windowed FFT is taken centred on the column;
// frames outside the sound count as zeros. When the column is longer, the
// windows follow each other at half a window (Hann windows at that hop add
// up to a constant, so every frame weighs the same) and their powers are
// averaged, so that a long zoom-out shows the energy of every frame, not a
// sample of them. Levels span the 80 dB below full scale: a full-scale sine
// gives 255 in its bin, anything 80 dB down or quieter 0.
#pragma once

#include <fftw3.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "document/sound_document.h"

namespace kelvora {

inline constexpr int kMinSpectrumWindow = 256;
inline constexpr int kMaxSpectrumWindow = 8192;
inline constexpr int kDefaultSpectrumWindow = 2048;
inline constexpr double kSpectrumRangeDb = 80;

// Frames [first, end) of the sound.
struct FrameRange {
  int64_t first = 0, end = 0;
};

// The frames a column's windows read, before clipping to the sound.
FrameRange ColumnReach(int64_t start, int64_t fpp, int window);

// A stretch of a sound's bytes: `bytes` holds frames [frames.first,
// frames.end), read through `access`. Frames outside it are zeros.
struct SampleSpan {
  const uint8_t* bytes = nullptr;
  FrameRange frames;
  SampleAccess access;
};

class SpectrumAnalyser {
public:
  // A power of two from kMinSpectrumWindow to kMaxSpectrumWindow. Plans the
  // transform, which FFTW allows on one thread at a time only; Column may
  // then run on any number of threads at once, each with its own Scratch.
  explicit SpectrumAnalyser(int window);
  ~SpectrumAnalyser();
  SpectrumAnalyser(const SpectrumAnalyser&) = delete;
  SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

  int Window() const { return window_; }
  int Bins() const { return window_ / 2 + 1; }

  // Buffers of one thread's transforms.
  class Scratch {
  public:
    explicit Scratch(int window);
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

  private:
    friend class SpectrumAnalyser;
    float* samples_;
    fftwf_complex* spectrum_;
    std::vector<float> power_;
  };

  // The levels of the column of `fpp` frames from `start`, channel after
  // channel, Bins() bytes each (bin k stands for k * rate / window Hz).
  void Column(const SampleSpan& span, int64_t start, int64_t fpp, uint8_t* levels,
              Scratch& scratch) const;

private:
  int window_;
  std::vector<float> hann_;
  fftwf_plan plan_ = nullptr;
};

// A 64-bit digest of bytes: a cached column stays valid while the digest of
// the bytes it was computed from is unchanged.
uint64_t Fingerprint(const uint8_t* bytes, size_t size, uint64_t seed);

}  // namespace kelvora
