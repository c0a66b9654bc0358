#include "files/encoded_writer.h"

#include <sndfile.h>
#include <soxr.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "document/memory_block.h"
#include "document/observer.h"
#include "document/sound_document.h"
#include "files/file_io.h"
#include "files/file_types.h"
#include "files/texts.h"
#include "platform/platform.h"

namespace kelvora {
namespace {

constexpr uint32_t kOpusRates[] = {8000, 12000, 16000, 24000, 48000};
constexpr uint32_t kMp3Rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
constexpr size_t kBlockSamples = size_t{1} << 16;

struct Encoding {
  int32_t kind;
  int format;       // libsndfile's, with the subtype for 16-bit sound
  int maxChannels;  // 0: what libsndfile takes
  double level;     // SFC_SET_COMPRESSION_LEVEL, or < 0 for the codec's own default
};

// Vorbis 0.5 is quality 5 (about 160 kbit/s for stereo music); MP3 0.2 is
// LAME's variable rate at quality 2, its standard preset; Opus chooses its
// own rate for the channel count. Samples go in as 32-bit integers: the
// MP3 encoder's 16-bit stereo path copies half of every block.
constexpr Encoding kEncodings[] = {
    {kFileKindFlac, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 8, -1.0},
    {kFileKindOggVorbis, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0, 0.5},
    {kFileKindOpus, SF_FORMAT_OGG | SF_FORMAT_OPUS, 0, -1.0},
    {kFileKindMp3, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 2, 0.2},
    {kFileKindW64, SF_FORMAT_W64 | SF_FORMAT_PCM_16, 0, -1.0},
    {kFileKindCaf, SF_FORMAT_CAF | SF_FORMAT_PCM_16, 0, -1.0},
};

const Encoding* FindEncoding(int32_t kind) {
  for (const Encoding& e : kEncodings)
    if (e.kind == kind) return &e;
  return nullptr;
}

bool IsPcmSubtype(int format) { return (format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16; }

// A file in memory that libsndfile writes, seeks in and reads back.
struct MemoryFile {
  MemoryBlock block;
  uint64_t size = 0;
  uint64_t position = 0;
};

sf_count_t MemoryLength(void* user) {
  return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->size);
}

sf_count_t MemorySeek(sf_count_t offset, int whence, void* user) {
  MemoryFile& m = *static_cast<MemoryFile*>(user);
  const int64_t base = whence == SEEK_CUR   ? static_cast<int64_t>(m.position)
                       : whence == SEEK_END ? static_cast<int64_t>(m.size)
                                            : 0;
  if (base + offset < 0) return -1;
  m.position = static_cast<uint64_t>(base + offset);
  return static_cast<sf_count_t>(m.position);
}

sf_count_t MemoryRead(void* ptr, sf_count_t count, void* user) {
  MemoryFile& m = *static_cast<MemoryFile*>(user);
  if (count <= 0 || m.position >= m.size) return 0;
  const uint64_t n = m.size - m.position < static_cast<uint64_t>(count)
                         ? m.size - m.position
                         : static_cast<uint64_t>(count);
  std::memcpy(ptr, m.block.data() + m.position, static_cast<size_t>(n));
  m.position += n;
  return static_cast<sf_count_t>(n);
}

sf_count_t MemoryWrite(const void* ptr, sf_count_t count, void* user) {
  MemoryFile& m = *static_cast<MemoryFile*>(user);
  if (count <= 0) return 0;
  const uint64_t end = m.position + static_cast<uint64_t>(count);
  if (end > m.block.size()) {
    const uint64_t grown = m.block.size() * 2 > end ? m.block.size() * 2 : end + (1u << 16);
    if (!m.block.Resize(static_cast<size_t>(grown)) && !m.block.Resize(static_cast<size_t>(end)))
      return 0;
  }
  // A seek past the end leaves a gap that reads back as zeros.
  if (m.position > m.size)
    std::memset(m.block.data() + m.size, 0, static_cast<size_t>(m.position - m.size));
  std::memcpy(m.block.data() + m.position, ptr, static_cast<size_t>(count));
  m.position = end;
  if (end > m.size) m.size = end;
  return count;
}

sf_count_t MemoryTell(void* user) {
  return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->position);
}

SF_VIRTUAL_IO kMemoryIo = {MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};

// The document's frames as 32-bit samples (full scale 2^31), block by block.
class DocumentFrames {
public:
  DocumentFrames() {
    const SoundDocument& doc = Doc();
    channels_ = doc.format.nChannels;
    align_ = doc.format.nBlockAlign;
    width_ = channels_ ? align_ / channels_ : 0;
    frames_ = align_ && doc.length > 0 ? static_cast<uint64_t>(doc.length) / align_ : 0;
  }
  int channels() const { return channels_; }
  bool empty() const { return frames_ == 0; }
  int width() const { return width_; }
  // Whether every sample is whole bytes of 1 to 4 bytes.
  bool Readable() const { return width_ >= 1 && width_ <= 4 && align_ == width_ * channels_; }

  // Up to `max` frames into `out`; the count.
  size_t Next(int32_t* out, size_t max) {
    const size_t n = frames_ - done_ < max ? static_cast<size_t>(frames_ - done_) : max;
    const uint8_t* p = Doc().data.data() + done_ * align_;
    const size_t count = n * static_cast<size_t>(channels_);
    for (size_t k = 0; k < count; ++k, p += width_) {
      uint32_t v = 0;
      if (width_ == 2) {
        v = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 24);
      } else if (width_ == 1) {
        v = static_cast<uint32_t>(p[0] ^ 0x80) << 24;  // 8-bit samples are unsigned
      } else {
        for (int b = 0; b < width_; ++b) v |= uint32_t{p[b]} << (8 * (4 - width_ + b));
      }
      out[k] = static_cast<int32_t>(v);
    }
    done_ += n;
    return n;
  }

private:
  int channels_ = 0, align_ = 0, width_ = 0;
  uint64_t frames_ = 0, done_ = 0;
};

class Resampler {
public:
  Resampler(uint32_t from, uint32_t to, int channels, size_t blockFrames) : channels_(channels) {
    const soxr_io_spec_t io = soxr_io_spec(SOXR_INT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_error_t error = nullptr;
    handle_ =
        soxr_create(from, to, static_cast<unsigned>(channels), &error, &io, &quality, nullptr);
    if (error != nullptr) handle_ = nullptr;
    out_.resize(blockFrames * static_cast<size_t>(channels));
  }
  ~Resampler() {
    if (handle_ != nullptr) soxr_delete(handle_);
  }
  Resampler(const Resampler&) = delete;
  Resampler& operator=(const Resampler&) = delete;
  bool ok() const { return handle_ != nullptr; }

  // Feeds `frames` frames and writes what comes out; with none, drains
  // what the filter still holds.
  bool Feed(const int32_t* in, size_t frames, SNDFILE* file) {
    const size_t capacity = out_.size() / static_cast<size_t>(channels_);
    size_t used = 0;
    for (;;) {
      size_t taken = 0, made = 0;
      const int32_t* rest = frames ? in + used * static_cast<size_t>(channels_) : nullptr;
      if (soxr_process(handle_, rest, frames - used, &taken, out_.data(), capacity, &made) !=
          nullptr)
        return false;
      used += taken;
      if (made > 0 && sf_writef_float(file, out_.data(), static_cast<sf_count_t>(made)) !=
                          static_cast<sf_count_t>(made))
        return false;
      // Fed: once all is taken and the output had room. Drained: once
      // nothing more comes.
      if (frames ? used == frames && made < capacity : made == 0) return true;
    }
  }

private:
  soxr_t handle_ = nullptr;
  int channels_;
  std::vector<float> out_;
};

int Refuse(const char* name, const std::string& reason) {
  const std::string format = texts::kEncodeRefusedFormat;
  const size_t first = format.find("%s"), second = format.find("%s", first + 2);
  ShowWarning(texts::kCaptionSave, format.substr(0, first) + name +
                                       format.substr(first + 2, second - first - 2) + reason +
                                       format.substr(second + 2));
  return 0;
}

// Encodes the document into `memory`; "" when done, else why not.
std::string Encode(const Encoding& e, MemoryFile& memory) {
  DocumentFrames frames;
  if (!frames.Readable() || (frames.width() == 4 && e.kind == kFileKindFlac))
    return texts::kEncodeSampleWidth;
  if (e.maxChannels != 0 && frames.channels() > e.maxChannels) return texts::kEncodeChannels;
  // libsndfile ends no Opus stream it gave no samples: no reader opens it.
  if (frames.empty() && e.kind == kFileKindOpus) return texts::kEncodeEmpty;
  const uint32_t rate = Doc().format.nSamplesPerSec;
  SF_INFO info = {};
  info.channels = frames.channels();
  info.samplerate = static_cast<int>(EncodedRate(e.kind, rate));
  info.format = e.format;
  if (IsPcmSubtype(e.format) && frames.width() >= 3)
    info.format = (e.format & SF_FORMAT_TYPEMASK) |
                  (frames.width() == 3 ? SF_FORMAT_PCM_24 : SF_FORMAT_PCM_32);
  SNDFILE* file = sf_open_virtual(&kMemoryIo, SFM_WRITE, &info, &memory);
  if (file == nullptr) return sf_strerror(nullptr);
  if (e.level >= 0) {
    double level = e.level;
    sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
  }
  // FLAC and MP3 headers are written with the first samples: an empty sound
  // gets them here, or its file would hold nothing a reader could open.
  if (frames.empty() && (e.kind == kFileKindFlac || e.kind == kFileKindMp3))
    sf_command(file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
  const size_t blockFrames = kBlockSamples / static_cast<size_t>(frames.channels()) + 1;
  std::vector<int32_t> block(blockFrames * static_cast<size_t>(frames.channels()));
  bool ok = true;
  if (static_cast<uint32_t>(info.samplerate) != rate) {
    Resampler resampler(rate, static_cast<uint32_t>(info.samplerate), frames.channels(),
                        blockFrames);
    ok = resampler.ok();
    while (ok) {
      const size_t n = frames.Next(block.data(), blockFrames);
      ok = resampler.Feed(block.data(), n, file);
      if (n == 0) break;
    }
  } else {
    for (size_t n; ok && (n = frames.Next(block.data(), blockFrames)) > 0;)
      ok = sf_writef_int(file, block.data(), static_cast<sf_count_t>(n)) ==
           static_cast<sf_count_t>(n);
  }
  const std::string error = ok ? "" : texts::kEncodeFailed;
  // Closing finishes the headers; a failure there fails the save as well.
  if (sf_close(file) != 0 && ok) return texts::kEncodeFailed;
  return error;
}

}  // namespace

bool IsEncodedKind(int32_t kind) { return FindEncoding(kind) != nullptr; }

uint32_t EncodedRate(int32_t kind, uint32_t rate) {
  if (kind == kFileKindOpus) {
    for (uint32_t r : kOpusRates)
      if (r == rate) return rate;
    return 48000;
  }
  if (kind == kFileKindMp3) {
    for (uint32_t r : kMp3Rates)
      if (r >= rate) return r;
    return 48000;
  }
  return rate;
}

int SaveEncoded(int32_t kind) {
  const Encoding* e = FindEncoding(kind);
  const WritableKind* w = FindWritableKind(kind);
  if (e == nullptr || w == nullptr) return 0;
  SoundDocument& doc = Doc();
  // Opened first: a file that cannot be written is reported before the
  // encoding, not after it.
  SafeFileWriter out;
  if (!out.Open(doc.path)) return 0;
  MemoryFile memory;
  const std::string error = Encode(*e, memory);
  if (!error.empty()) return Refuse(w->name, error);
  out.Write(memory.block.data(), static_cast<size_t>(memory.size));
  if (!out.Commit()) return 0;
  doc.modified = false;
  NotifyDataChanged();
  return 1;
}

}  // namespace kelvora
