// The one sound this process edits, and the routines through which every
// operation reads and writes its samples on the common 16-bit scale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "document/byte_order.h"
#include "document/memory_block.h"

namespace kelvora {

// The WAVEFORMATEX record, field for field; a WAV file's "fmt " chunk holds it.
struct SoundFormat {
  uint16_t wFormatTag = 1;
  uint16_t nChannels = 1;
  uint32_t nSamplesPerSec = 22050;
  uint32_t nAvgBytesPerSec = 44100;
  uint16_t nBlockAlign = 2;
  uint16_t wBitsPerSample = 16;
  uint16_t cbSize = 0;

  friend bool operator==(const SoundFormat&, const SoundFormat&) = default;
};

// Size of the record as a WAV "fmt " chunk or a clipboard block stores it.
constexpr int kSoundFormatBytes = 18;

// The record as WAV files and clipboard blocks store it, little-endian.
inline SoundFormat ReadFormatLe(const uint8_t* p) {
  SoundFormat f;
  f.wFormatTag = GetLe16(p);
  f.nChannels = GetLe16(p + 2);
  f.nSamplesPerSec = GetLe32(p + 4);
  f.nAvgBytesPerSec = GetLe32(p + 8);
  f.nBlockAlign = GetLe16(p + 12);
  f.wBitsPerSample = GetLe16(p + 14);
  f.cbSize = GetLe16(p + 16);
  return f;
}
inline void WriteFormatLe(uint8_t* p, const SoundFormat& f) {
  PutLe16(p, f.wFormatTag);
  PutLe16(p + 2, f.nChannels);
  PutLe32(p + 4, f.nSamplesPerSec);
  PutLe32(p + 8, f.nAvgBytesPerSec);
  PutLe16(p + 12, f.nBlockAlign);
  PutLe16(p + 14, f.wBitsPerSample);
  PutLe16(p + 16, f.cbSize);
}

// Which writer Save uses; the low byte picks it, the high byte is the WAV mode.
enum FileKind : int32_t {
  kFileKindNone = 0,
  kFileKindWavPcm = 1,
  kFileKindWavMuLaw = 0x101,
  kFileKindAu = 2,
  kFileKindAiff = 3,
  // Written through the encoders of today's formats.
  kFileKindFlac = 4,
  kFileKindOggVorbis = 5,
  kFileKindOpus = 6,
  kFileKindMp3 = 7,
  kFileKindW64 = 8,
  kFileKindCaf = 9,
};

extern const char* const kUntitledPath;  // "無題"

// The longest sound in bytes. Lengths are 32-bit signed, and some
// operations add up to 32 spare bytes to one.
inline constexpr int64_t kMaxSoundBytes = 0x7FFFFFFF - 32;
// Document blocks carry this many zeroed bytes beyond the data.
inline constexpr size_t kSpareBytes = 16;

// Byte offsets below are always whole frames (multiples of nBlockAlign).
// Lengths and offsets are 32-bit signed like the rest of the arithmetic; the
// readers refuse anything that would not fit.
struct SoundDocument {
  SoundFormat format;
  int32_t bytesPerChannelSample = 2;  // nBlockAlign / nChannels
  MemoryBlock data;                   // may be larger than `length`
  int32_t length = 0;
  int32_t selStart = 0, selEnd = 0;  // [selStart, selEnd), empty = cursor
  int32_t anchor = 0, movingEnd = 0;
  uint32_t channelMask = 3;  // bit 0 first channel, bit 1 second
  bool modified = false;
  std::string path = kUntitledPath;
  int32_t fileKind = kFileKindNone;
  int32_t viewStart = 0;

  uint8_t* bytes() { return data.data(); }
  int32_t frames() const { return format.nBlockAlign ? length / format.nBlockAlign : 0; }
  bool HasSelection() const { return selStart != selEnd; }
};

extern SoundDocument g_document;
inline SoundDocument& Doc() { return g_document; }

// A number that changes whenever the sound may be about to change: the
// undo snapshot every operation takes first, undo itself, the start of a
// busy pass and a new format each move it on. Selection and view do not.
// What was made of the sound at one revision (a recovery copy) is current
// while the revision stays.
uint64_t DocumentRevision();
void MarkDocumentChanging();

// nBlockAlign / nChannels, 0 for a channel count of 0 (a hostile header).
int32_t BytesPerChannelSample(const SoundFormat& f);
// Sets the format and recomputes bytes per channel sample.
void SetDocumentFormat(const SoundFormat& f);

// ----- Sample access ------------------------------------------------------

struct PeakState {
  int32_t peakScale = 0;
};
extern PeakState g_peak;
inline PeakState& Peak() { return g_peak; }

// Operations on the 16-bit scale take a snapshot of the width they work in,
// so that the hot loops neither reload the global format after every store
// nor branch on it; `Samples()` gives the one for the current format. The
// snapshot holds PeakScale as it was when taken: take a fresh one after
// RaisePeakScale.
inline int32_t ClipSample(int32_t v) { return v < -32768 ? -32768 : (v > 32767 ? 32767 : v); }

// v * 32767 / peak with the product wrapping like 32-bit arithmetic.
inline int32_t ScaleByPeak(int32_t v, int32_t peak) {
  return static_cast<int32_t>(int64_t{v} * 32767) / peak;
}

struct SampleAccess {
  int bits = 16;
  int32_t bytesPerChannel = 2;
  int32_t peakScale = 0;
  int nChannels = 1;
  int nBlockAlign = 2;

  int channels() const { return nChannels; }
  int blockAlign() const { return nBlockAlign; }
  int32_t Read(const uint8_t* frame, int ch) const {
    const uint8_t* p = frame + ch * bytesPerChannel;
    if (bits == 8) return (int32_t{p[0]} - 128) * 256;
    if (bits == 16) return LoadLe16(p);
    return 0;
  }
  void Write(uint8_t* frame, int32_t v, int ch) const {
    uint8_t* p = frame + ch * bytesPerChannel;
    if (peakScale > 32767) v = ScaleByPeak(v, peakScale);
    v = ClipSample(v);
    if (bits == 8)
      p[0] = static_cast<uint8_t>((v >> 8) + 128);
    else if (bits == 16)
      StoreLe16(p, v);
  }
};

inline SampleAccess Samples() {
  const SoundDocument& doc = Doc();
  return SampleAccess{doc.format.wBitsPerSample, doc.bytesPerChannelSample, Peak().peakScale,
                      doc.format.nChannels, doc.format.nBlockAlign};
}

// The plain routines on the document's current format.
inline int32_t ReadSample(const uint8_t* frame, int ch) { return Samples().Read(frame, ch); }
inline void WriteSample(uint8_t* frame, int32_t value, int ch) {
  Samples().Write(frame, value, ch);
}

int32_t ReadSampleInBlock(const uint8_t* base, int64_t length, const uint8_t* frame, int ch);
void ResetPeakScale();
void RaisePeakScale(int32_t value);

// ----- Selection helpers --------------------------------------------------

void SelectAllIfEmpty();
void SelectAll();
bool RequireSelection();

// Puts every process-wide piece of state of the document subsystem back to
// its start-up value (tests, and the batch tool between runs).
void ResetDocumentState();

}  // namespace kelvora
