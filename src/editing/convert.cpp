#include "editing/convert.h"

#include <cmath>
#include <cstring>
#include <optional>

#include "document/busy.h"
#include "document/frame_format.h"
#include "document/held_samples.h"
#include "document/observer.h"
#include "document/operation.h"
#include "document/undo.h"
#include "editing/texts.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

bool IsAcceptedTarget(const SoundFormat& f) {
  // Whole samples fit in each frame, so no write strays into the next one.
  return (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nChannels >= 1 &&
         f.nBlockAlign >= f.nChannels * (f.wBitsPerSample / 8);
}

// Samples of the widths that nothing else computes on, on the 16-bit scale.
struct HeldReader {
  int bits;
  int32_t bytesPerChannel;
  int32_t Read(const uint8_t* frame, int ch) const {
    return ReadHeldSample(frame, ch, bits, bytesPerChannel);
  }
};

// Calls body with the fastest accessor for format f, the document's own
// dispatch; readers also take the widths the document only holds.
template <bool kReader, class Body>
void WithAccess(const SoundFormat& f, Body&& body) {
  if constexpr (kReader) {
    if (!SamplesEditable(f)) return body(HeldReader{f.wBitsPerSample, BytesPerChannelSample(f)});
  }
  WithFrameFormat(f, BytesPerChannelSample(f), body);
}

struct Plan {
  const uint8_t* src;
  int64_t srcFrames;
  int srcAlign, srcChannels;
  uint8_t* dst;
  int64_t dstFrames;
  int dstAlign, dstChannels;
  double srcRate, dstRate;
};

inline int32_t Interpolate(int32_t a, int32_t b, double d) {
  return static_cast<int32_t>(a + (b - a) * d);
}

template <class Reader, class Writer>
void ConvertFrames(const Plan& p, int64_t first, int64_t count, const Reader& r, const Writer& w) {
  const int32_t total = static_cast<int32_t>(p.dstFrames);
  for (int64_t m = first; m < first + count; ++m) {
    ShowProgress(texts::kProgressConvert, static_cast<int32_t>(m), total);
    const double o = static_cast<double>(m) * p.srcRate / p.dstRate;
    int64_t i = static_cast<int64_t>(std::floor(o));
    const double d = o - static_cast<double>(i);
    if (i > p.srcFrames - 1) i = p.srcFrames - 1;  // never beyond the source
    const uint8_t* rf = p.src + i * p.srcAlign;
    const uint8_t* sf = d != 0 && i + 1 < p.srcFrames ? rf + p.srcAlign : rf;
    uint8_t* out = p.dst + (m - first) * p.dstAlign;
    if (p.srcChannels == 1) {
      const int32_t v = Interpolate(r.Read(rf, 0), r.Read(sf, 0), d);
      for (int c = 0; c < p.dstChannels; ++c) w.Write(out, v, c);
    } else if (p.dstChannels == 1) {
      const int32_t a = (r.Read(rf, 0) + r.Read(rf, 1)) / 2;
      const int32_t b = (r.Read(sf, 0) + r.Read(sf, 1)) / 2;
      w.Write(out, Interpolate(a, b, d), 0);
    } else {
      for (int c = 0; c < 2; ++c) w.Write(out, Interpolate(r.Read(rf, c), r.Read(sf, c), d), c);
      // A target with more channels than two gets silence in the others.
      for (int c = 2; c < p.dstChannels; ++c) w.Write(out, 0, c);
    }
  }
}

}  // namespace

int64_t ConvertedBytes(const SoundFormat& from, int64_t length, const SoundFormat& to) {
  if (!ConvertibleSource(from) || !IsAcceptedTarget(to)) return -1;
  const int64_t frames = length > 0 ? length / from.nBlockAlign : 0;
  // The byte count is an integer and the rate ratio applies in floating
  // point; 64 bits keep long sounds from wrapping.
  const int64_t bytes = static_cast<int64_t>(static_cast<double>(frames * to.nBlockAlign) *
                                             to.nSamplesPerSec / from.nSamplesPerSec);
  return (bytes + to.nBlockAlign - 1) / to.nBlockAlign * to.nBlockAlign;
}

bool ConvertsAsCopy(const SoundFormat& from, const SoundFormat& to) {
  // 8- and 16-bit samples are read and written back unchanged, one or two
  // to a frame with nothing between frames.
  return from.wFormatTag == 1 && SamplesEditable(from) && from.nChannels <= 2 &&
         from.nBlockAlign == from.nChannels * (from.wBitsPerSample / 8) &&
         from.nChannels == to.nChannels && from.wBitsPerSample == to.wBitsPerSample &&
         from.nSamplesPerSec == to.nSamplesPerSec && from.nBlockAlign == to.nBlockAlign;
}

void ConvertFramesInto(const SoundFormat& from, const uint8_t* data, int64_t length,
                       const SoundFormat& to, uint8_t* out, int64_t first, int64_t count) {
  // Bytes that no sample covers (frames wider than their samples) are zero
  // rather than whatever the memory held.
  if (to.nBlockAlign != to.nChannels * (to.wBitsPerSample / 8))
    std::memset(out, 0, static_cast<size_t>(count * to.nBlockAlign));
  const Plan plan{data,
                  length > 0 ? length / from.nBlockAlign : 0,
                  from.nBlockAlign,
                  from.nChannels,
                  out,
                  ConvertedBytes(from, length, to) / to.nBlockAlign,
                  to.nBlockAlign,
                  to.nChannels,
                  static_cast<double>(from.nSamplesPerSec),
                  static_cast<double>(to.nSamplesPerSec)};
  WithAccess<true>(from, [&](const auto& reader) {
    WithAccess<false>(
        to, [&](const auto& writer) { ConvertFrames(plan, first, count, reader, writer); });
  });
}

int ConvertSamples(const SoundFormat& from, const uint8_t* data, int64_t length,
                   const SoundFormat& to, MemoryBlock& out, int32_t* outLength) {
  if (!ConvertibleSource(from) || !IsAcceptedTarget(to)) {
    ShowWarning(texts::kCaptionConvert, texts::kConvertUnsupported);
    return 0;
  }
  const int64_t outBytes = ConvertedBytes(from, length, to);
  MemoryBlock block;
  if (outBytes > kMaxSoundBytes || !block.Resize(static_cast<size_t>(outBytes) + kSpareBytes)) {
    ShowOutOfMemory(texts::kCaptionChangeFormat);
    return 0;
  }
  std::memset(block.data() + outBytes, 0, kSpareBytes);
  {
    // Progress dispatches events; unless the caller already keeps commands
    // out, this does. The document itself is not touched.
    std::optional<BusyScope> busy;
    if (!Busy().busy) busy.emplace();
    ConvertFramesInto(from, data, length, to, block.data(), 0, outBytes / to.nBlockAlign);
  }
  out.Swap(block);
  *outLength = static_cast<int32_t>(outBytes);
  return 1;
}

void FillFormatDialogTable(ParamEntry table[10], int32_t* rate, int32_t* bits, int32_t* channels) {
  const struct {
    int id;
    int32_t* variable;
    int32_t value;
  } rows[9] = {{101, rate, 8000},  {102, rate, 11025}, {103, rate, 22050},
               {104, rate, 44100}, {201, bits, 8},     {202, bits, 16},
               {301, channels, 1}, {302, channels, 2}, {0, nullptr, 0}};
  for (int i = 0; i < 8; ++i) {
    table[i] = ParamEntry{};
    table[i].id = rows[i].id;
    table[i].kind = kParamRadio;
    table[i].value = rows[i].variable;
    table[i].min = rows[i].value;
  }
  table[8] = ParamEntry{};
  table[9] = ParamEntry{};
}

void ConvertFormat() {
  SoundDocument& doc = Doc();
  // Seeded from the document every time.
  int32_t rate = static_cast<int32_t>(doc.format.nSamplesPerSec);
  int32_t bits = doc.format.wBitsPerSample;
  int32_t channels = doc.format.nChannels;
  ParamEntry table[10];
  FillFormatDialogTable(table, &rate, &bits, &channels);
  if (!RunParamDialog(kConvertDialog, table)) return;
  SoundFormat to = doc.format;
  to.nChannels = static_cast<uint16_t>(channels);
  to.nSamplesPerSec = static_cast<uint32_t>(rate);
  to.wBitsPerSample = static_cast<uint16_t>(bits);
  to.nBlockAlign = static_cast<uint16_t>(bits * channels / 8);
  to.nAvgBytesPerSec = to.nBlockAlign * to.nSamplesPerSec;
  BusyScope busy;
  if (!BeginUndoableOperation(texts::kCaptionConvert, texts::kProgressConvert)) return;
  // The sound is converted from the undo copy straight into its own block.
  const UndoSnapshot& undo = Undo();
  if (!ConvertibleSource(undo.format) || !IsAcceptedTarget(to)) {
    ShowWarning(texts::kCaptionConvert, texts::kConvertUnsupported);
    return;
  }
  const int64_t length = ConvertedBytes(undo.format, undo.length, to);
  if (length > kMaxSoundBytes || !doc.data.Resize(static_cast<size_t>(length) + kSpareBytes)) {
    ShowOutOfMemory(texts::kCaptionChangeFormat);
    return;
  }
  // In its new form from the start: a view painted meanwhile reads the new
  // format over the new length.
  SetDocumentFormat(to);
  doc.length = static_cast<int32_t>(length);
  doc.selStart = doc.selEnd = doc.anchor = doc.movingEnd = 0;
  doc.viewStart = 0;
  std::memset(doc.bytes() + length, 0, kSpareBytes);
  ConvertFramesInto(undo.format, undo.data.data(), undo.length, to, doc.bytes(), 0,
                    length / to.nBlockAlign);
  doc.modified = true;
  NotifyFormatChanged();
  NotifyDataChanged();
}

}  // namespace kelvora
