// The decoder under the intake: libsndfile for every format it knows, read
// through our own file access (so that a file and bytes in memory are read
// alike), and libmpg123 itself for MPEG audio (libsndfile would stop at
// mpg123's guess of the length, and let it talk on standard error).
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "files/file_io.h"
#include "files/mpeg_decoder.h"
#include "files/pcm_reduction.h"

namespace kelvora {

class IntakeDecoder {
public:
  explicit IntakeDecoder(FileReader& file);
  ~IntakeDecoder();
  IntakeDecoder(const IntakeDecoder&) = delete;
  IntakeDecoder& operator=(const IntakeDecoder&) = delete;

  // Why nothing can be decoded (unknown, broken, or a header beyond
  // belief), or null.
  const char* Refusal() const;

  int channels() const;
  uint32_t rate() const;
  // The length the header claims: a hint, 0 when it gives none.
  int64_t declaredFrames() const;
  // Whether 16-bit reads give the file's samples exactly.
  bool ExactIn16Bits() const;
  bool Lossy() const;
  // "FLAC", "Ogg Vorbis", "WAV", ...
  std::string SourceName() const;
  // The samples when wider than 16 bits ("24ビット"), else "".
  const char* WideSampleText() const;
  // The writer Save uses for a document from this file.
  int32_t SaveKind() const;
  // Where each channel is meant to sound: as the file names it, else the
  // usual order of its channel count, else unknown.
  std::vector<Speaker> Positions() const;

  // Up to `frames` frames; the count, 0 at the end or at a fault.
  int64_t ReadFloats(float* out, int64_t frames);
  int64_t ReadShorts(int16_t* out, int64_t frames);
  // Whether the last read met a fault (what it gave before stands).
  bool Faulted() const;

  struct Source;  // libsndfile's view of the file

private:
  int major() const { return format_ & SF_FORMAT_TYPEMASK; }
  int subtype() const { return format_ & SF_FORMAT_SUBMASK; }

  std::unique_ptr<Source> source_;
  std::unique_ptr<MpegDecoder> mpeg_;
  SNDFILE* handle_ = nullptr;
  SF_INFO info_ = {};
  int format_ = 0;
  int openError_ = SF_ERR_NO_ERROR;
};

}  // namespace kelvora
