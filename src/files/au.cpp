#include "files/au.h"

#include <cstring>

#include "document/observer.h"
#include "document/sound_document.h"
#include "document/texts.h"
#include "files/byte_order.h"
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

}  // namespace

int LoadAu(const std::string& path) {
  FileReader file;
  if (!file.Open(path)) return 0;
  // A header cut short reads its missing fields as 0, which the checks
  // below refuse.
  uint8_t h[24] = {};
  const size_t got = file.Read(h, sizeof h);
  if (got < 4 || !IsTag(h, ".snd")) return FailLoadHeader(file, texts::kBadRiff);
  const uint32_t offset = GetBe32(h + 4);
  const uint32_t size = GetBe32(h + 8);
  const uint32_t encoding = GetBe32(h + 12);
  const uint32_t rate = GetBe32(h + 16);
  const uint32_t channels = GetBe32(h + 20);
  if (encoding != kMuLawEncoding) return FailLoadHeader(file, texts::kAuUnsupported);
  if (channels == 0 || channels > kMaxChannels) return FailLoadHeader(file, texts::kBadData);

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
  if (2 * codes > kMaxLoadBytes) return FailLoad(file, texts::kTooLarge, &f);
  if (!PrepareLoadBlock(2 * codes)) return FailLoad(file, texts::kOutOfMemory, &f);
  // The codes go into the upper half and are widened in place from the
  // start: sample i never overwrites a code that is still to be read.
  uint8_t* block = Doc().data.data();
  file.Seek(offset);
  uint64_t read = file.Read(block + codes, static_cast<size_t>(codes));
  read -= read % channels;
  MuLawDecodeToPcm16(block + codes, static_cast<size_t>(read), block);
  file.Close();
  return FinishLoad(f, 2 * read);
}

int SaveAu() {
  SoundDocument& doc = Doc();
  const SoundFormat& f = doc.format;
  if (f.nSamplesPerSec != 8000 && ShowMessage(texts::kCaptionDevaZedudo, texts::kAuRateQuestion,
                                              MsgIcon::kQuestion, MsgButtons::kOkCancel) != kIdOk)
    return 0;
  if (f.nChannels == 0 || f.nBlockAlign == 0) {
    ShowWarning(texts::kCaptionSave, texts::kCannotSaveFormat);
    return 0;
  }
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
  out.Write(h, sizeof h);
  WriteMuLawFrames(out, frames);
  if (!out.Commit()) return 0;
  doc.modified = false;
  NotifyDataChanged();
  return 1;
}

}  // namespace kelvora
