#include "files/au.h"

#include <cstring>

#include "document/byte_order.h"
#include "document/held_samples.h"
#include "document/observer.h"
#include "document/sound_document.h"
#include "document/texts.h"
#include "files/file_io.h"
#include "files/load_support.h"
#include "files/mulaw.h"
#include "files/mulaw_frames.h"
#include "files/texts.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

constexpr size_t kHeaderBytes = 32;
constexpr uint32_t kMuLawEncoding = 1;
// The size field's value for "unknown: up to the end of the file".
constexpr uint32_t kUnknownSize = 0xFFFFFFFF;
// Decoded to 16 bits, a frame of 2 x channels bytes must fit its field.
constexpr uint32_t kMaxChannels = 0x7FFF;

struct AuHeader {
  uint32_t offset, size, encoding, rate, channels;
};

// Whether the file starts with ".snd"; an empty file, or one cut before its
// fourth byte, does not. A header cut short later reads its missing fields
// as 0, which CheckAu refuses.
bool ReadHeader(FileReader& file, AuHeader& a) {
  uint8_t h[24] = {};
  file.Seek(0);
  const size_t got = file.Read(h, sizeof h);
  a = {GetBe32(h + 4), GetBe32(h + 8), GetBe32(h + 12), GetBe32(h + 16), GetBe32(h + 20)};
  return got >= 4 && IsTag(h, ".snd");
}

}  // namespace

int CheckAu(FileReader& file, LoadedSound& sound) {
  AuHeader a;
  if (!ReadHeader(file, a)) return RejectSignature(sound, texts::kBadRiff);
  if (a.encoding != kMuLawEncoding) return RejectSignature(sound, texts::kAuUnsupported);
  if (a.channels == 0 || a.channels > kMaxChannels) return RejectSignature(sound, texts::kBadData);
  return 1;
}

int ReadAu(FileReader& file, LoadedSound& sound) {
  AuHeader a;
  ReadHeader(file, a);
  const uint32_t offset = a.offset, size = a.size, rate = a.rate, channels = a.channels;

  SoundFormat f;
  f.wFormatTag = 1;
  f.nChannels = static_cast<uint16_t>(channels);
  f.nSamplesPerSec = rate;
  f.wBitsPerSample = 16;
  f.nBlockAlign = static_cast<uint16_t>(2 * channels);
  f.nAvgBytesPerSec = rate * f.nBlockAlign;
  f.cbSize = 0;

  // Sizes are claims: only the whole frames the file holds are read, and
  // data that would start past the end gives an empty sound.
  const uint64_t present = offset < file.Size() ? file.Size() - offset : 0;
  uint64_t codes = size == kUnknownSize || size > present ? present : size;
  codes -= codes % channels;
  if (2 * codes > kMaxSoundBytes) return RejectLoad(sound, texts::kTooLarge, &f);
  if (!PrepareLoadBlock(sound, 2 * codes)) return RejectLoad(sound, texts::kOutOfMemory, &f);
  // The codes go into the upper half and are widened in place from the
  // start: sample i never overwrites a code that is still to be read.
  uint8_t* block = sound.data.data();
  file.Seek(offset);
  uint64_t read = file.Read(block + codes, static_cast<size_t>(codes));
  read -= read % channels;
  MuLawDecodeToPcm16(block + codes, static_cast<size_t>(read), block);
  return AcceptLoad(sound, f, 2 * read);
}

const SoundReader kAuReader{CheckAu, ReadAu};

int SaveAu() {
  SoundDocument& doc = Doc();
  const SoundFormat& f = doc.format;
  // Samples whose values cannot be read would come out as codes of silence.
  if (!SamplesReadable(f)) {
    ShowWarning(texts::kCaptionSave, texts::kCannotSaveFormat);
    return 0;
  }
  if (f.nSamplesPerSec != 8000 && ShowMessage(texts::kCaptionDevaZedudo, texts::kAuRateQuestion,
                                              MsgIcon::kQuestion, MsgButtons::kOkCancel) != kIdOk)
    return 0;
  // Every channel is written, so that the channel field, the size and the
  // codes that follow all describe the same sound.
  const uint64_t frames = doc.length > 0 ? static_cast<uint64_t>(doc.length) / f.nBlockAlign : 0;
  const uint64_t codes = frames * f.nChannels;
  uint8_t h[kHeaderBytes] = {};
  std::memcpy(h, ".snd", 4);
  PutBe32(h + 4, kHeaderBytes);
  PutBe32(h + 8, static_cast<uint32_t>(codes));
  PutBe32(h + 12, kMuLawEncoding);
  PutBe32(h + 16, f.nSamplesPerSec);
  PutBe32(h + 20, f.nChannels);
  SafeFileWriter out;
  if (!out.Open(doc.path)) return 0;
  out.ShowProgress(texts::kProgressSave, static_cast<int64_t>(sizeof h + codes));
  out.Write(h, sizeof h);
  WriteMuLawFrames(out, frames);
  if (!out.Commit()) return 0;
  doc.modified = false;
  NotifyDataChanged();
  return 1;
}

}  // namespace kelvora
