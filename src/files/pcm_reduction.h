// Bringing decoded sound into the document's 16-bit PCM: more than two
// channels mixed down to stereo, and samples finer than 16 bits rounded
// with triangular (TPDF) dither from a seeded generator, so that one file
// and one seed always give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvora {

// Where a channel of the source is meant to sound.
enum class Speaker {
  kUnknown,
  kLeft,
  kRight,
  kCenter,
  kLfe,
  kSideLeft,
  kSideRight,
  kBackLeft,
  kBackRight
};

// Output channel o of a frame is the sum over input channels i of
// gain[o * inChannels + i] times the input sample.
struct Downmix {
  int inChannels = 1;
  int outChannels = 1;
  std::vector<float> gain;
};

// Mono and stereo pass as they are. More channels go to stereo: where every
// position is known, with the standard coefficients (front left and right
// 1, centre and every surround channel -3 dB to its side or both, the LFE
// left out); otherwise an even split, every channel 1/N into both sides.
Downmix MakeDownmix(const std::vector<Speaker>& positions);

// The usual order of 5.1 and 7.1 when the file does not name positions:
// the WAV/FLAC order (L R C LFE ...) or the Vorbis/Opus order (L C R ...).
// Empty for other channel counts.
std::vector<Speaker> ConventionalLayout(int channels, bool vorbisOrder);

// The dither's random source: sample n of a sound gets a hash of n and the
// seed (a counter, not a chain, so that the noise of a block is computed
// in parallel), split into two uniform 16-bit halves whose sum is
// triangular noise in (-1, 1).
class DitherNoise {
public:
  explicit DitherNoise(uint64_t seed);
  // The noise of the next `count` samples.
  void Fill(float* noise, size_t count);

private:
  uint32_t key_;
  uint32_t counter_ = 0;
};

// Turns blocks of float samples (full scale +-1.0) into 16-bit samples.
class Pcm16Reducer {
public:
  Pcm16Reducer(const Downmix& mix, uint64_t seed) : mix_(mix), noise_(seed) {}
  // Mixes `frames` frames at `in` and writes them to `out`. A piece of
  // 4096 results that are all whole 16-bit values is taken as it is (a
  // float file of 16-bit sound, silence); any other is rounded with dither.
  void Reduce(const float* in, size_t frames, int16_t* out);

  bool dithered() const { return dithered_; }
  // Results beyond full scale, clipped. Full scale itself (1.0, the peak
  // of a normalised file) ends one step lower without counting.
  int64_t clipped() const { return clipped_; }

private:
  static constexpr size_t kPieceSamples = 4096;
  void ReducePiece(const float* in, size_t frames, int16_t* out);

  Downmix mix_;
  DitherNoise noise_;
  float scaled_[kPieceSamples];
  float noise_values_[kPieceSamples];
  bool dithered_ = false;
  int64_t clipped_ = 0;
};

}  // namespace kelvora
