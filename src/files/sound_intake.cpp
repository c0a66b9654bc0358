#include "files/sound_intake.h"

#include <sndfile.h>

#include <bit>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "document/busy.h"
#include "document/texts.h"
#include "files/mpeg_decoder.h"
#include "files/pcm_reduction.h"
#include "files/texts.h"

namespace kelvora {
namespace {

// libsndfile refuses more channels itself; the mix reads every one of them.
constexpr int kMaxChannels = 1024;
// Four times the fastest studio rate; beyond it a header is not believed.
constexpr int kMaxRate = 3072000;
// Samples decoded per step, whatever the channel count.
constexpr size_t kBlockSamples = size_t{1} << 16;

// libsndfile reads through these, so that a file and bytes in memory (the
// fuzzers) are read alike and libsndfile never opens anything itself.
struct Source {
  FileReader* file;
  // libsndfile stops at the sample count a FLAC file's STREAMINFO declares,
  // which may be short; shown as 0 ("unknown"), decoding runs to the end.
  bool hideFlacLength = false;
};

constexpr uint64_t kFlacLengthStart = 21, kFlacLengthEnd = 26;  // low nibble of 21, then 22..25

sf_count_t SourceLength(void* user) {
  return static_cast<sf_count_t>(static_cast<Source*>(user)->file->Size());
}

sf_count_t SourceSeek(sf_count_t offset, int whence, void* user) {
  FileReader& file = *static_cast<Source*>(user)->file;
  const int64_t base = whence == SEEK_CUR   ? static_cast<int64_t>(file.Position())
                       : whence == SEEK_END ? static_cast<int64_t>(file.Size())
                                            : 0;
  if ((offset < 0 && -offset > base) || (offset > 0 && offset > INT64_MAX - base)) return -1;
  file.Seek(static_cast<uint64_t>(base + offset));
  return base + offset;
}

sf_count_t SourceRead(void* ptr, sf_count_t count, void* user) {
  Source& source = *static_cast<Source*>(user);
  if (count <= 0) return 0;
  const uint64_t at = source.file->Position();
  const size_t got = source.file->Read(ptr, static_cast<size_t>(count));
  auto* bytes = static_cast<uint8_t*>(ptr);
  for (uint64_t p = at; source.hideFlacLength && p < at + got && p < kFlacLengthEnd; ++p)
    if (p == kFlacLengthStart)
      bytes[p - at] &= 0xF0;
    else if (p > kFlacLengthStart)
      bytes[p - at] = 0;
  return static_cast<sf_count_t>(got);
}

sf_count_t SourceWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t SourceTell(void* user) {
  return static_cast<sf_count_t>(static_cast<Source*>(user)->file->Position());
}

SF_VIRTUAL_IO kSourceIo = {SourceLength, SourceSeek, SourceRead, SourceWrite, SourceTell};

bool StartsAsFlac(FileReader& file) {
  uint8_t head[5] = {};
  file.Seek(0);
  return file.Read(head, sizeof head) == sizeof head && IsTag(head, "fLaC") &&
         (head[4] & 0x7F) == 0;
}

// An open libsndfile handle on the file, closed on every way out.
class Decoder {
public:
  explicit Decoder(FileReader& file) {
    source_.file = &file;
    source_.hideFlacLength = StartsAsFlac(file);
    file.Seek(0);
    handle_ = sf_open_virtual(&kSourceIo, SFM_READ, &info_, &source_);
    if (handle_ == nullptr) error_ = sf_error(nullptr);
  }
  ~Decoder() {
    if (handle_ != nullptr) sf_close(handle_);
  }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  SNDFILE* handle() const { return handle_; }
  const SF_INFO& info() const { return info_; }
  int major() const { return info_.format & SF_FORMAT_TYPEMASK; }
  int subtype() const { return info_.format & SF_FORMAT_SUBMASK; }
  // Why it did not open, or why its header is not believed; null when open
  // and within bounds.
  const char* Refusal() const {
    if (handle_ == nullptr) {
      switch (error_) {
        case SF_ERR_UNRECOGNISED_FORMAT:
          return texts::kIntakeUnrecognised;
        case SF_ERR_UNSUPPORTED_ENCODING:
          return texts::kUnsupportedWavFormat;
        case SF_ERR_SYSTEM:
          return texts::kFileUnreadable;
        default:
          return texts::kBadData;
      }
    }
    if (info_.channels < 1 || info_.channels > kMaxChannels) return texts::kBadData;
    if (info_.samplerate < 1 || info_.samplerate > kMaxRate) return texts::kBadRate;
    return nullptr;
  }

private:
  Source source_;
  SF_INFO info_ = {};
  SNDFILE* handle_ = nullptr;
  int error_ = SF_ERR_NO_ERROR;
};

// Whether libsndfile's 16-bit reads give the file's samples exactly: the
// codecs whose samples are at most 16 bits.
bool ExactIn16Bits(int subtype) {
  switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
    case SF_FORMAT_IMA_ADPCM:
    case SF_FORMAT_MS_ADPCM:
    case SF_FORMAT_GSM610:
    case SF_FORMAT_VOX_ADPCM:
    case SF_FORMAT_NMS_ADPCM_16:
    case SF_FORMAT_NMS_ADPCM_24:
    case SF_FORMAT_NMS_ADPCM_32:
    case SF_FORMAT_G721_32:
    case SF_FORMAT_G723_24:
    case SF_FORMAT_G723_40:
    case SF_FORMAT_DWVW_12:
    case SF_FORMAT_DWVW_16:
    case SF_FORMAT_DPCM_8:
    case SF_FORMAT_DPCM_16:
    case SF_FORMAT_ALAC_16:
      return true;
    default:
      return false;
  }
}

bool IsLossyCodec(int subtype) {
  return subtype == SF_FORMAT_VORBIS || subtype == SF_FORMAT_OPUS ||
         subtype == SF_FORMAT_MPEG_LAYER_I || subtype == SF_FORMAT_MPEG_LAYER_II ||
         subtype == SF_FORMAT_MPEG_LAYER_III;
}

const char* WideSampleText(int subtype) {
  switch (subtype) {
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_DWVW_24:
    case SF_FORMAT_ALAC_24:
      return texts::kSamples24;
    case SF_FORMAT_ALAC_20:
      return texts::kSamples20;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
      return texts::kSamples32;
    case SF_FORMAT_FLOAT:
      return texts::kSamplesFloat;
    case SF_FORMAT_DOUBLE:
      return texts::kSamplesDouble;
    default:
      return "";
  }
}

// The format's name as the notice and --info give it.
std::string SourceName(const Decoder& d) {
  switch (d.major()) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
      return "WAV";
    case SF_FORMAT_AIFF:
      return "AIFF";
    case SF_FORMAT_AU:
      return "AU";
    case SF_FORMAT_FLAC:
      return "FLAC";
    case SF_FORMAT_OGG:
      return d.subtype() == SF_FORMAT_OPUS ? "Opus" : "Ogg Vorbis";
    case SF_FORMAT_MPEG:
      return d.subtype() == SF_FORMAT_MPEG_LAYER_III ? "MP3" : "MPEG";
    case SF_FORMAT_W64:
      return "W64";
    case SF_FORMAT_RF64:
      return "RF64";
    case SF_FORMAT_CAF:
      return "CAF";
    default:
      break;
  }
  SF_FORMAT_INFO format = {};
  format.format = d.major();
  std::string name = "other";
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &format, sizeof format) == 0 &&
      format.extension != nullptr) {
    name.clear();
    for (const char* c = format.extension; *c != '\0'; ++c)
      name += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  }
  return name;
}

// The writer Save uses afterwards: the format's own where the program
// writes it, else WAV.
int32_t SaveKindOf(const Decoder& d) {
  switch (d.major()) {
    case SF_FORMAT_AIFF:
      return kFileKindAiff;
    case SF_FORMAT_AU:
      return kFileKindAu;
    case SF_FORMAT_FLAC:
      return kFileKindFlac;
    case SF_FORMAT_OGG:
      return d.subtype() == SF_FORMAT_OPUS ? kFileKindOpus : kFileKindOggVorbis;
    case SF_FORMAT_MPEG:
      return kFileKindMp3;
    case SF_FORMAT_W64:
      return kFileKindW64;
    case SF_FORMAT_CAF:
      return kFileKindCaf;
    default:
      return kFileKindWavPcm;
  }
}

Speaker SpeakerOf(int position) {
  switch (position) {
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
      return Speaker::kLeft;
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
      return Speaker::kRight;
    case SF_CHANNEL_MAP_CENTER:
    case SF_CHANNEL_MAP_FRONT_CENTER:
      return Speaker::kCenter;
    case SF_CHANNEL_MAP_LFE:
      return Speaker::kLfe;
    case SF_CHANNEL_MAP_REAR_LEFT:
      return Speaker::kBackLeft;
    case SF_CHANNEL_MAP_REAR_RIGHT:
      return Speaker::kBackRight;
    case SF_CHANNEL_MAP_SIDE_LEFT:
      return Speaker::kSideLeft;
    case SF_CHANNEL_MAP_SIDE_RIGHT:
      return Speaker::kSideRight;
    default:
      return Speaker::kUnknown;
  }
}

// The positions the file names, or the usual ones of its channel count.
std::vector<Speaker> Positions(const Decoder& d) {
  const int n = d.info().channels;
  std::vector<int> map(static_cast<size_t>(n));
  if (sf_command(d.handle(), SFC_GET_CHANNEL_MAP_INFO, map.data(),
                 static_cast<int>(map.size() * sizeof(int))) == SF_TRUE) {
    std::vector<Speaker> named;
    for (int p : map) named.push_back(SpeakerOf(p));
    return named;
  }
  std::vector<Speaker> usual = ConventionalLayout(n, d.major() == SF_FORMAT_OGG);
  if (usual.empty()) usual.assign(static_cast<size_t>(n), Speaker::kUnknown);
  return usual;
}

// Decodes into the sound's block, which grows as the sound turns out
// longer; the header's length is a hint for the first size, never a limit.
class IntakeLoader {
public:
  IntakeLoader(FileReader& file, LoadedSound& sound) : file_(file), sound_(sound) {}
  int Run();

private:
  enum class Step { kOk, kOutOfMemory, kTooLarge, kBroken };
  bool Room(uint64_t frames);
  Step Decode(Decoder& d);
  void Report(const Decoder& d, const Pcm16Reducer& reducer, int channels, uint32_t rate,
              bool mixed);

  FileReader& file_;
  LoadedSound& sound_;
  size_t frameBytes_ = 2;
  uint64_t frames_ = 0;
};

bool IntakeLoader::Room(uint64_t frames) {
  const uint64_t need = frames * frameBytes_;
  const uint64_t have = sound_.data.size() >= kSpareBytes ? sound_.data.size() - kSpareBytes : 0;
  if (need <= have) return true;
  // Grown blocks move by remapping, not copying: doubling costs little.
  const uint64_t grown =
      have * 2 > need && have * 2 <= static_cast<uint64_t>(kMaxSoundBytes) ? have * 2 : need;
  return PrepareLoadBlock(sound_, grown) || PrepareLoadBlock(sound_, need);
}

IntakeLoader::Step IntakeLoader::Decode(Decoder& d) {
  std::optional<MpegDecoder> mpeg;
  if (d.major() == SF_FORMAT_MPEG) {
    mpeg.emplace(file_);
    if (!mpeg->ok() || mpeg->channels() < 1 || mpeg->channels() > 2) return Step::kBroken;
  }
  const int channels = mpeg ? mpeg->channels() : d.info().channels;
  const uint32_t rate = static_cast<uint32_t>(mpeg ? mpeg->rate() : d.info().samplerate);
  if (rate < 1 || rate > kMaxRate) return Step::kBroken;
  const Downmix mix = MakeDownmix(Positions(d));
  frameBytes_ = 2 * static_cast<size_t>(mix.outChannels);
  const uint64_t maxFrames = static_cast<uint64_t>(kMaxSoundBytes) / frameBytes_;
  const size_t block = kBlockSamples / static_cast<size_t>(channels) + 1;
  // Exact 16-bit samples in mono or stereo go straight into the block.
  const bool direct = !mpeg && ExactIn16Bits(d.subtype()) && channels <= 2 &&
                      std::endian::native == std::endian::little;
  // The first size: the length the header gives, as far as a file of this
  // size could plausibly hold it.
  const int64_t declared = mpeg ? mpeg->lengthHint() : d.info().frames;
  uint64_t hint = declared > 0 ? static_cast<uint64_t>(declared) : 0;
  const uint64_t plausible = 16 * file_.Size() + 4096;
  if (hint > plausible) hint = plausible;
  if (!Room(hint < maxFrames ? hint : maxFrames)) return Step::kOutOfMemory;
  std::vector<float> samples(block * static_cast<size_t>(channels));
  Pcm16Reducer reducer(mix, sound_.intake.ditherSeed);
  int shift = 0;
  while ((file_.Size() >> shift) > 0x7FFFFFFF) ++shift;
  for (;;) {
    const uint64_t want = maxFrames - frames_ < block ? maxFrames - frames_ : block;
    auto read_floats = [&](uint64_t count) -> int64_t {
      if (mpeg) return static_cast<int64_t>(mpeg->Read(samples.data(), static_cast<size_t>(count)));
      return sf_readf_float(d.handle(), samples.data(), static_cast<sf_count_t>(count));
    };
    if (want == 0) {
      // Only a sound that really goes on past the limit is too large.
      if (read_floats(1) > 0) return Step::kTooLarge;
      break;
    }
    if (!Room(frames_ + want)) return Step::kOutOfMemory;
    auto* out = reinterpret_cast<int16_t*>(sound_.data.data() + frames_ * frameBytes_);
    int64_t got;
    if (direct) {
      got = sf_readf_short(d.handle(), out, static_cast<sf_count_t>(want));
    } else {
      got = read_floats(want);
      if (got > 0) reducer.Reduce(samples.data(), static_cast<size_t>(got), out);
    }
    // A fault shows in the error of the read that met it, and the next
    // read clears it.
    if (mpeg ? mpeg->faulted() : sf_error(d.handle()) != SF_ERR_NO_ERROR)
      sound_.intake.truncated = true;
    if (got <= 0) break;
    frames_ += static_cast<uint64_t>(got);
    ShowProgressSpan(texts::kProgressLoadIntake, static_cast<int64_t>(file_.Position() >> shift), 0,
                     got, static_cast<int64_t>(file_.Size() >> shift));
  }
  Report(d, reducer, channels, rate, mix.outChannels != channels);
  return Step::kOk;
}

void IntakeLoader::Report(const Decoder& d, const Pcm16Reducer& reducer, int channels,
                          uint32_t rate, bool mixed) {
  IntakeReport& r = sound_.intake;
  r.source = SourceName(d);
  r.sampleText = WideSampleText(d.subtype());
  r.channels = channels;
  r.rate = rate;
  r.lossy = IsLossyCodec(d.subtype());
  r.dithered = reducer.dithered();
  r.clipped = reducer.clipped();
  r.mixed = mixed;
  sound_.fileKind = SaveKindOf(d);
}

int IntakeLoader::Run() {
  Decoder d(file_);
  if (const char* refusal = d.Refusal()) return RejectLoad(sound_, refusal, nullptr);
  switch (Decode(d)) {
    case Step::kOutOfMemory:
      return RejectLoad(sound_, texts::kOutOfMemory, nullptr);
    case Step::kTooLarge:
      return RejectLoad(sound_, texts::kTooLarge, nullptr);
    case Step::kBroken:
      return RejectLoad(sound_, texts::kBadData, nullptr);
    case Step::kOk:
      break;
  }
  // Nothing decoded before a fault: there is no sound, only the fault.
  if (frames_ == 0 && sound_.intake.truncated) return RejectLoad(sound_, texts::kBadData, nullptr);
  const uint64_t bytes = frames_ * frameBytes_;
  if (!PrepareLoadBlock(sound_, bytes)) return RejectLoad(sound_, texts::kOutOfMemory, nullptr);
  std::memset(sound_.data.data() + bytes, 0, kSpareBytes);
  SoundFormat f;
  f.wFormatTag = 1;
  f.nChannels = static_cast<uint16_t>(frameBytes_ / 2);
  f.nSamplesPerSec = sound_.intake.rate;
  f.wBitsPerSample = 16;
  f.nBlockAlign = static_cast<uint16_t>(frameBytes_);
  f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
  f.cbSize = 0;
  return AcceptLoad(sound_, f, bytes);
}

int CheckIntake(FileReader& file, LoadedSound& sound) {
  Decoder d(file);
  if (const char* refusal = d.Refusal()) return RejectSignature(sound, refusal);
  return 1;
}

int ReadIntake(FileReader& file, LoadedSound& sound) {
  IntakeLoader loader(file, sound);
  return loader.Run();
}

}  // namespace

const SoundReader kIntakeReader{CheckIntake, ReadIntake, true};

}  // namespace kelvora
