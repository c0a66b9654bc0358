#include "files/aiff.h"

#include <cstring>
#include <utility>

#include "document/busy.h"
#include "document/byte_order.h"
#include "document/observer.h"
#include "document/sound_document.h"
#include "document/texts.h"
#include "files/extended_float.h"
#include "files/file_io.h"
#include "files/load_support.h"
#include "files/texts.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

constexpr size_t kCommBytes = 18;
constexpr size_t kHeaderBytes = 54;
// Samples are read and written in pieces of about this size.
constexpr size_t kPieceBytes = 65536;

// Turns `count` big-endian samples of `width` bytes into the document's
// little-endian layout in place; 8-bit samples go from signed to unsigned.
// The same operation turns them back, so the writer uses it too.
void FlipSamples(uint8_t* p, size_t count, int width) {
  switch (width) {
    case 1:
      for (size_t i = 0; i < count; ++i) p[i] ^= 0x80;
      break;
    case 2:
      for (size_t i = 0; i < count; ++i, p += 2) std::swap(p[0], p[1]);
      break;
    case 3:
      for (size_t i = 0; i < count; ++i, p += 3) std::swap(p[0], p[2]);
      break;
    case 4:
      for (size_t i = 0; i < count; ++i, p += 4) {
        std::swap(p[0], p[3]);
        std::swap(p[1], p[2]);
      }
      break;
    default:
      break;
  }
}

class AiffLoader {
public:
  AiffLoader(FileReader& file, LoadedSound& sound) : file_(file), sound_(sound) {}
  int Run();

private:
  enum class CommResult { kAccepted, kTruncated, kBroken, kBadRate, kUnsupported };
  enum class Step { kOk, kOutOfMemory, kTooLarge };
  CommResult ReadComm();
  Step ReadSsnd(uint64_t chunk, uint32_t size);
  int Fail(const char* text) { return RejectLoad(sound_, text, haveComm_ ? &comm_ : nullptr); }

  FileReader& file_;
  LoadedSound& sound_;
  bool haveComm_ = false;
  SoundFormat comm_;
  uint32_t frames_ = 0;
  // The sound read last, with the format it was read in.
  bool haveData_ = false;
  SoundFormat dataFormat_;
  uint64_t dataBytes_ = 0;
  // Where the sound read last ends in the file.
  uint64_t ssndEnd_ = 0;
};

AiffLoader::CommResult AiffLoader::ReadComm() {
  uint8_t raw[kCommBytes];
  if (file_.Read(raw, sizeof raw) < sizeof raw) return CommResult::kTruncated;
  const uint16_t channels = GetBe16(raw);
  const uint32_t frames = GetBe32(raw + 2);
  const uint16_t size = GetBe16(raw + 6);
  const double rate = ExtendedToDouble(raw + 8);
  if (channels == 0) return CommResult::kBroken;
  // Converting a value outside the 32-bit range (or NaN) to an integer
  // would be undefined; such a rate is no rate at all.
  if (!(rate >= 0 && rate < 4294967296.0)) return CommResult::kBadRate;
  int bits;
  if (size <= 8)
    bits = 8;
  else if (size <= 16)
    bits = 16;
  else if (size <= 24)
    bits = 24;
  else if (size <= 32)
    bits = 32;
  else
    return CommResult::kUnsupported;
  const uint32_t align = uint32_t{channels} * static_cast<uint32_t>(bits / 8);
  if (align > 0xFFFF) return CommResult::kBroken;
  SoundFormat f;
  f.wFormatTag = 1;
  f.nChannels = channels;
  f.nSamplesPerSec = static_cast<uint32_t>(rate);
  f.wBitsPerSample = static_cast<uint16_t>(bits);
  f.nBlockAlign = static_cast<uint16_t>(align);
  f.nAvgBytesPerSec = static_cast<uint32_t>(uint64_t{f.nSamplesPerSec} * align);
  f.cbSize = 0;
  comm_ = f;
  frames_ = frames;
  haveComm_ = true;
  return CommResult::kAccepted;
}

AiffLoader::Step AiffLoader::ReadSsnd(uint64_t chunk, uint32_t size) {
  const SoundFormat f = comm_;
  const int width = f.wBitsPerSample / 8;
  uint8_t fields[8];
  uint64_t bytes = 0;
  uint64_t start = 0;
  // An offset that lies past the chunk or the file leaves nothing to read;
  // it is never wrapped around into the file. A size of 0 is what writers
  // that stream leave: the chunk then runs as far as COMM and the file say.
  if (file_.Read(fields, sizeof fields) == sizeof fields &&
      (size == 0 || (size >= 8 && GetBe32(fields) <= size - 8))) {
    start = chunk + 16 + GetBe32(fields);
    const uint64_t declared = uint64_t{frames_} * f.nBlockAlign;
    const uint64_t present = start < file_.Size() ? file_.Size() - start : 0;
    bytes = declared < present ? declared : present;
    bytes -= bytes % f.nBlockAlign;
  }
  if (bytes > kMaxSoundBytes) return Step::kTooLarge;
  if (!PrepareLoadBlock(sound_, bytes)) return Step::kOutOfMemory;
  uint8_t* out = sound_.data.data();
  // Progress counts the 8- and 16-bit samples, as bytes of the file.
  const bool progress = width <= 2;
  uint64_t total = file_.Size();
  int shift = 0;
  while ((total >> shift) > 0x7FFFFFFF) ++shift;
  uint64_t done = 0;
  file_.Seek(start);
  // Pieces of whole samples, so that only the end of the file reads short.
  const size_t piece = kPieceBytes - kPieceBytes % width;
  while (done < bytes) {
    const size_t want = bytes - done < piece ? static_cast<size_t>(bytes - done) : piece;
    size_t got = file_.Read(out + done, want);
    const bool end = got < want;
    got -= got % width;
    FlipSamples(out + done, got / width, width);
    if (progress)
      ShowProgressSpan(texts::kProgressLoadAiff, static_cast<int64_t>((start + done) >> shift), 0,
                       static_cast<int64_t>(got / width), static_cast<int32_t>(total >> shift));
    done += got;
    if (end) break;
  }
  done -= done % f.nBlockAlign;
  ssndEnd_ = start + done;
  haveData_ = true;
  dataFormat_ = f;
  dataBytes_ = done;
  return Step::kOk;
}

int AiffLoader::Run() {
  // Offsets are 64-bit: no chunk size can wrap the scan back into the file.
  uint64_t pos = 12;
  for (;;) {
    file_.Seek(pos);
    uint8_t head[8];
    if (file_.Read(head, 8) < 8) break;
    const uint32_t size = GetBe32(head + 4);
    if (IsTag(head, "COMM")) {
      const CommResult comm = ReadComm();
      // A COMM chunk cut off by the end of the file ends the scan.
      if (comm == CommResult::kTruncated) break;
      switch (comm) {
        case CommResult::kAccepted:
        case CommResult::kTruncated:
          break;
        case CommResult::kBroken:
          return Fail(texts::kBadComm);
        case CommResult::kBadRate:
          return Fail(texts::kBadRate);
        case CommResult::kUnsupported:
          return Fail(texts::kUnsupportedWavFormat);
      }
    } else if (IsTag(head, "SSND") && haveComm_) {
      switch (ReadSsnd(pos, size)) {
        case Step::kOk:
          break;
        case Step::kOutOfMemory:
          return Fail(texts::kOutOfMemory);
        case Step::kTooLarge:
          return Fail(texts::kTooLarge);
      }
      // A chunk of unknown size ends where its sound does.
      if (size == 0) {
        pos = ssndEnd_ > pos + 8 ? ssndEnd_ : pos + 8;
        continue;
      }
    }
    pos = NextChunk(file_, pos, size);
  }
  if (!haveData_) return Fail(texts::kChunkNotFound);
  return AcceptLoad(sound_, dataFormat_, dataBytes_);
}

void BuildHeader(uint8_t* h, const SoundFormat& f, uint32_t n, int width) {
  std::memcpy(h, "FORM", 4);
  PutBe32(h + 4, n + 46 + (n & 1));
  std::memcpy(h + 8, "AIFFCOMM", 8);
  PutBe32(h + 16, 18);
  PutBe16(h + 20, f.nChannels);
  PutBe32(h + 22, n / f.nBlockAlign);
  PutBe16(h + 26, static_cast<uint16_t>(width * 8));
  DoubleToExtended(f.nSamplesPerSec, h + 28);
  std::memcpy(h + 38, "SSND", 4);
  PutBe32(h + 42, n + 8);
  PutBe32(h + 46, 0);
  PutBe32(h + 50, 0);
}

}  // namespace

int CheckAiff(FileReader& file, LoadedSound& sound) {
  uint8_t head[12];
  file.Seek(0);
  const size_t got = file.Read(head, sizeof head);
  if (got < 4 || !IsTag(head, "FORM")) return RejectSignature(sound, texts::kBadForm);
  if (got < 12 || !IsTag(head + 8, "AIFF")) return RejectSignature(sound, texts::kBadAiff);
  return 1;
}

int ReadAiff(FileReader& file, LoadedSound& sound) {
  AiffLoader loader(file, sound);
  return loader.Run();
}

const SoundReader kAiffReader{CheckAiff, ReadAiff, true};

int SaveAiff() {
  SoundDocument& doc = Doc();
  const SoundFormat& f = doc.format;
  // Every sample is written at its stored width, so that the header's sample
  // size describes exactly the bytes that follow it. A frame that is not
  // whole samples of one to four bytes has no AIFF form.
  const int width = f.nChannels ? f.nBlockAlign / f.nChannels : 0;
  if (width < 1 || width > 4 || f.nBlockAlign != width * f.nChannels) {
    ShowWarning(texts::kCaptionSave, texts::kCannotSaveFormat);
    return 0;
  }
  const uint32_t length = doc.length > 0 ? static_cast<uint32_t>(doc.length) : 0;
  const uint32_t n = length - length % f.nBlockAlign;
  uint8_t header[kHeaderBytes];
  BuildHeader(header, f, n, width);
  SafeFileWriter out;
  if (!out.Open(doc.path)) return 0;
  out.ShowProgress(texts::kProgressSave, int64_t{sizeof header} + n);
  out.Write(header, sizeof header);
  const size_t piece = kPieceBytes - kPieceBytes % width;
  uint8_t buffer[kPieceBytes];
  for (uint32_t at = 0; at < n; at += static_cast<uint32_t>(piece)) {
    const size_t take = n - at < piece ? n - at : piece;
    std::memcpy(buffer, doc.data.data() + at, take);
    FlipSamples(buffer, take / width, width);
    if (!out.Write(buffer, take)) break;
  }
  if (n & 1) {
    const uint8_t pad = 0;
    out.Write(&pad, 1);
  }
  if (!out.Commit()) return 0;
  doc.modified = false;
  NotifyDataChanged();
  return 1;
}

}  // namespace kelvora
