// MPEG audio (MP3, MP2) decoded by libmpg123 itself. libsndfile reads such
// a stream only as far as the length mpg123 estimates, and without a Xing
// header the estimate of a variable-rate stream can be half the sound;
// this decoder runs to the real end.
#pragma once

#include <mpg123.h>

#include <cstddef>
#include <cstdint>

#include "files/file_io.h"

namespace kelvora {

class MpegDecoder {
public:
  // Reads `file`, which must stay open as long as the decoder.
  explicit MpegDecoder(FileReader& file);
  ~MpegDecoder();
  MpegDecoder(const MpegDecoder&) = delete;
  MpegDecoder& operator=(const MpegDecoder&) = delete;

  bool ok() const { return handle_ != nullptr; }
  int channels() const { return channels_; }
  long rate() const { return rate_; }
  // 1, 2 or 3.
  int layer() const { return layer_; }
  // The length the stream's headers suggest; a hint, 0 when none.
  int64_t lengthHint() const { return lengthHint_; }
  // Up to `frames` frames of float samples (full scale +-1); 0 at the end,
  // or at a fault or a change of format part-way (then faulted()).
  size_t Read(float* out, size_t frames);
  bool faulted() const { return faulted_; }

private:
  mpg123_handle* handle_ = nullptr;
  int channels_ = 0;
  long rate_ = 0;
  int layer_ = 3;
  int64_t lengthHint_ = 0;
  bool faulted_ = false;
  bool ended_ = false;
};

}  // namespace kelvora
