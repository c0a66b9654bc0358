#include "files/wav.h"

#include <cstdint>
#include <cstring>

#include "document/byte_order.h"
#include "document/held_samples.h"
#include "document/observer.h"
#include "document/sound_document.h"
#include "document/texts.h"
#include "files/file_io.h"
#include "files/ima_adpcm.h"
#include "files/load_support.h"
#include "files/ms_adpcm.h"
#include "files/mulaw.h"
#include "files/mulaw_frames.h"
#include "files/texts.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

// ADPCM is read in batches of whole blocks of about this size.
constexpr size_t kAdpcmBatchBytes = size_t{1} << 20;

enum class Encoding { kPcm, kMuLaw, kMsAdpcm, kImaAdpcm };
enum class Step { kOk, kOutOfMemory, kTooLarge };

// A format the rest of the program can divide by: at least one channel and
// at least one byte per channel sample.
bool IsWorkableFormat(const SoundFormat& f) {
  return f.nChannels >= 1 && f.nBlockAlign >= f.nChannels;
}

// Whether a chunk header starts at `pos`: four printable characters and a
// size the file can hold.
bool IsChunkHeaderAt(FileReader& file, uint64_t pos) {
  uint8_t head[8];
  file.Seek(pos);
  if (file.Read(head, 8) < 8) return false;
  for (int i = 0; i < 4; ++i)
    if (head[i] < 0x20 || head[i] > 0x7E) return false;
  return GetLe32(head + 4) <= file.BytesLeft();
}

SoundFormat Pcm16Of(SoundFormat f) {
  f.wBitsPerSample = 16;
  f.nBlockAlign = static_cast<uint16_t>(2 * f.nChannels);
  f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
  return f;
}

class WavLoader {
public:
  WavLoader(FileReader& file, LoadedSound& sound) : file_(file), sound_(sound) {
    fileKind_ = sound.fileKind;
  }
  int Run();

private:
  // What one "fmt " chunk did to the scan.
  enum class FmtResult { kAccepted, kUnsupported, kBroken, kTruncated };
  FmtResult ReadFmt();
  Step ReadData(uint64_t declared);
  Step ReadPcm(uint64_t avail);
  Step ReadMuLaw(uint64_t avail);
  Step ReadAdpcm(uint64_t avail);
  void FinishData(uint64_t bytes);
  int Succeed();
  int Fail(const char* text, const char* first = nullptr);

  FileReader& file_;
  LoadedSound& sound_;
  // The last fmt chunk accepted, and what the scan will use for data.
  bool haveFmt_ = false;
  SoundFormat fmt_;
  Encoding encoding_ = Encoding::kPcm;
  int32_t fileKind_;
  // The record a failed load leaves in the document, as the last fmt
  // chunk put it there.
  bool haveRecord_ = false;
  SoundFormat record_;
  // The data chunk decoded last and the format that describes it.
  bool haveData_ = false;
  SoundFormat dataFormat_;
  int32_t dataKind_ = kFileKindWavPcm;
  uint64_t dataBytes_ = 0;
};

WavLoader::FmtResult WavLoader::ReadFmt() {
  uint8_t raw[kSoundFormatBytes] = {};
  // A chunk too short for its fields only happens at the end of the file,
  // where it ends the scan like any other chunk that runs past the end.
  if (file_.Read(raw, sizeof raw) < 16) return FmtResult::kTruncated;
  SoundFormat f = ReadFormatLe(raw);
  Encoding encoding;
  int32_t kind = kFileKindWavPcm;
  switch (f.wFormatTag) {
    case 1:
      encoding = Encoding::kPcm;
      break;
    case 7:
      encoding = Encoding::kMuLaw;
      kind = kFileKindWavMuLaw;
      break;
    case 2:
      encoding = Encoding::kMsAdpcm;
      break;
    case 0x11:
      encoding = Encoding::kImaAdpcm;
      break;
    default:
      if (IsWorkableFormat(f)) {
        haveRecord_ = true;
        record_ = f;
      }
      return FmtResult::kUnsupported;
  }
  if (f.nChannels == 0) return FmtResult::kBroken;
  if (encoding == Encoding::kPcm && f.nBlockAlign < f.nChannels) return FmtResult::kBroken;
  // Decoded to 16 bits, the frame of 2 x channels bytes must fit its field.
  if (encoding == Encoding::kMuLaw && f.nChannels > 0x7FFF) return FmtResult::kBroken;
  if (encoding == Encoding::kMsAdpcm || encoding == Encoding::kImaAdpcm) {
    // The block decoders know mono and stereo only; more channels would
    // come out as wrongly interleaved noise.
    if (f.nChannels > 2) {
      if (IsWorkableFormat(f)) {
        haveRecord_ = true;
        record_ = f;
      }
      return FmtResult::kUnsupported;
    }
    // A block must hold its header, or no piece could ever be decoded.
    size_t header = encoding == Encoding::kMsAdpcm ? MsAdpcmHeaderBytes(f.nChannels)
                                                   : ImaAdpcmHeaderBytes(f.nChannels);
    if (f.nBlockAlign < header) return FmtResult::kBroken;
  }
  f.wFormatTag = 1;
  haveFmt_ = true;
  fmt_ = f;
  encoding_ = encoding;
  fileKind_ = kind;
  if (IsWorkableFormat(f)) {
    haveRecord_ = true;
    record_ = f;
  }
  return FmtResult::kAccepted;
}

void WavLoader::FinishData(uint64_t bytes) {
  std::memset(sound_.data.data() + bytes, 0, kSpareBytes);
  haveData_ = true;
  dataBytes_ = bytes;
}

Step WavLoader::ReadPcm(uint64_t avail) {
  const uint32_t align = fmt_.nBlockAlign;
  // A partial last frame is dropped: the document holds whole frames.
  const uint64_t whole = avail - avail % align;
  if (whole > kMaxSoundBytes) return Step::kTooLarge;
  if (!PrepareLoadBlock(sound_, whole)) return Step::kOutOfMemory;
  // In pieces, so that a long read shows how far it is.
  constexpr uint64_t kPiece = uint64_t{16} << 20;
  LatePassProgress progress(texts::kProgressLoad);
  uint64_t got = 0;
  while (got < whole) {
    const uint64_t want = whole - got < kPiece ? whole - got : kPiece;
    const uint64_t read = file_.Read(sound_.data.data() + got, static_cast<size_t>(want));
    got += read;
    if (read < want) break;
    progress.Update(static_cast<int64_t>(got), static_cast<int64_t>(whole));
  }
  got -= got % align;
  dataFormat_ = fmt_;
  FinishData(got);
  return Step::kOk;
}

Step WavLoader::ReadMuLaw(uint64_t avail) {
  const uint32_t channels = fmt_.nChannels;
  const uint64_t codes = avail - avail % channels;
  if (2 * codes > kMaxSoundBytes) return Step::kTooLarge;
  if (!PrepareLoadBlock(sound_, 2 * codes)) return Step::kOutOfMemory;
  // The codes go into the upper half and are widened in place from the
  // start: sample i never overwrites a code that is still to be read.
  uint8_t* block = sound_.data.data();
  uint64_t got = file_.Read(block + codes, static_cast<size_t>(codes));
  got -= got % channels;
  MuLawDecodeToPcm16(block + codes, static_cast<size_t>(got), block);
  dataFormat_ = Pcm16Of(fmt_);
  FinishData(2 * got);
  return Step::kOk;
}

Step WavLoader::ReadAdpcm(uint64_t avail) {
  const bool ms = encoding_ == Encoding::kMsAdpcm;
  const int channels = fmt_.nChannels;
  const size_t align = fmt_.nBlockAlign;
  auto output_bytes = [&](size_t piece) {
    return ms ? MsAdpcmOutputBytes(piece, channels) : ImaAdpcmOutputBytes(piece, channels);
  };
  const uint64_t full = avail / align;
  const uint64_t total = full * output_bytes(align) + output_bytes(avail % align);
  if (total > kMaxSoundBytes) return Step::kTooLarge;
  const size_t batch = (kAdpcmBatchBytes / align + 1) * align;
  MemoryBlock input;
  if (!input.Resize(avail < batch ? static_cast<size_t>(avail) + 1 : batch))
    return Step::kOutOfMemory;
  if (!PrepareLoadBlock(sound_, total)) return Step::kOutOfMemory;
  uint8_t* out = sound_.data.data();
  uint64_t produced = 0;
  uint64_t left = avail;
  while (left > 0) {
    size_t want = left < batch ? static_cast<size_t>(left) : batch;
    size_t got = file_.Read(input.data(), want);
    for (size_t at = 0; at < got; at += align) {
      size_t piece = got - at < align ? got - at : align;
      produced += ms ? MsAdpcmDecodeBlock(input.data() + at, piece, channels, out + produced)
                     : ImaAdpcmDecodeBlock(input.data() + at, piece, channels, out + produced);
    }
    if (got < want) break;
    left -= got;
  }
  dataFormat_ = Pcm16Of(fmt_);
  FinishData(produced);
  return Step::kOk;
}

Step WavLoader::ReadData(uint64_t declared) {
  // Sizes are claims; only what the file holds is allocated and read.
  const uint64_t avail = declared < file_.BytesLeft() ? declared : file_.BytesLeft();
  Step step;
  switch (encoding_) {
    case Encoding::kPcm:
      step = ReadPcm(avail);
      break;
    case Encoding::kMuLaw:
      step = ReadMuLaw(avail);
      break;
    default:
      step = ReadAdpcm(avail);
      break;
  }
  if (step == Step::kOk) dataKind_ = fileKind_;
  return step;
}

int WavLoader::Run() {
  // Offsets are 64-bit: no chunk size can wrap the scan back into the file.
  uint64_t pos = 12;
  for (;;) {
    file_.Seek(pos);
    uint8_t head[8];
    if (file_.Read(head, 8) < 8) break;
    const uint32_t size = GetLe32(head + 4);
    if (IsTag(head, "fmt ")) {
      FmtResult r = ReadFmt();
      if (r == FmtResult::kTruncated) break;
      if (r == FmtResult::kUnsupported) return Fail(texts::kBadData, texts::kUnsupportedWavFormat);
      if (r == FmtResult::kBroken) return Fail(texts::kBadData);
    } else if (IsTag(head, "data") && haveFmt_) {
      // Size 0 with sound rather than a chunk behind it is what a recorder
      // that never finished leaves: the sound runs to the end of the file.
      const bool open = size == 0 && !IsChunkHeaderAt(file_, pos + 8);
      file_.Seek(pos + 8);
      Step step = ReadData(open ? UINT64_MAX : size);
      if (step == Step::kOutOfMemory) return Fail(texts::kOutOfMemory);
      if (step == Step::kTooLarge) return Fail(texts::kTooLarge);
      if (open) break;
    }
    pos = NextChunk(file_, pos, size);
  }
  if (!haveData_) return Fail(texts::kBadData);
  return Succeed();
}

int WavLoader::Succeed() {
  sound_.fileKind = dataKind_;
  return AcceptLoad(sound_, dataFormat_, dataBytes_);
}

int WavLoader::Fail(const char* text, const char* first) {
  sound_.fileKind = fileKind_;
  return RejectLoad(sound_, text, haveRecord_ ? &record_ : nullptr, first);
}

// ----- Writing ---------------------------------------------------------------

constexpr size_t kHeaderBytes = kWavHeaderBytes;

}  // namespace

void BuildWavHeader(uint8_t* h, const SoundFormat& f, uint32_t data_bytes) {
  uint8_t record[kSoundFormatBytes];
  WriteFormatLe(record, f);
  std::memcpy(h, "RIFF", 4);
  PutLe32(h + 4, data_bytes + 36);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  PutLe32(h + 16, 16);
  std::memcpy(h + 20, record, 16);
  std::memcpy(h + 36, "data", 4);
  PutLe32(h + 40, data_bytes);
}

int CheckWav(FileReader& file, LoadedSound& sound) {
  uint8_t head[12];
  file.Seek(0);
  size_t got = file.Read(head, sizeof head);
  if (got < 4 || !IsTag(head, "RIFF")) return RejectSignature(sound, texts::kBadRiff);
  if (got < 12 || !IsTag(head + 8, "WAVE")) return RejectSignature(sound, texts::kBadWave);
  return 1;
}

int ReadWav(FileReader& file, LoadedSound& sound) {
  WavLoader loader(file, sound);
  return loader.Run();
}

const SoundReader kWavReader{CheckWav, ReadWav, true};

int SaveWav(int mode) {
  SoundDocument& doc = Doc();
  const uint64_t length = doc.length > 0 ? static_cast<uint64_t>(doc.length) : 0;
  SoundFormat f = doc.format;
  uint64_t frames = 0;
  uint32_t data_bytes = static_cast<uint32_t>(length);
  if (mode == 1) {
    if (!SamplesReadable(f)) {
      ShowWarning(texts::kCaptionSave, texts::kCannotSaveFormat);
      return 0;
    }
    // One 8-bit code per channel sample of every whole frame, whatever the
    // width: 16-bit fields are halved, 8-bit ones kept, others made anew.
    f.wFormatTag = 7;
    if (f.wBitsPerSample == 16)
      f.nAvgBytesPerSec /= 2;
    else if (f.wBitsPerSample != 8)
      f.nAvgBytesPerSec = f.nSamplesPerSec * f.nChannels;
    f.nBlockAlign = f.nChannels;
    f.wBitsPerSample = 8;
    frames = doc.format.nBlockAlign ? length / doc.format.nBlockAlign : 0;
    data_bytes = static_cast<uint32_t>(frames * doc.format.nChannels);
  }
  uint8_t header[kHeaderBytes];
  BuildWavHeader(header, f, data_bytes);
  SafeFileWriter out;
  if (!out.Open(doc.path)) return 0;
  out.ShowProgress(texts::kProgressSave, int64_t{sizeof header} + data_bytes);
  out.Write(header, sizeof header);
  if (mode == 1)
    WriteMuLawFrames(out, frames);
  else
    out.Write(doc.data.data(), static_cast<size_t>(length));
  if (!out.Commit()) return 0;
  doc.modified = false;
  NotifyDataChanged();
  return 1;
}

}  // namespace kelvora
