#include "files/intake_decoder.h"

#include <cctype>
#include <cstdio>
#include <initializer_list>
#include <utility>

#include "document/sound_document.h"
#include "files/load_support.h"
#include "files/texts.h"

namespace kelvora {

// libsndfile reads the file through these, and never opens anything itself.
struct IntakeDecoder::Source {
  FileReader* file;
  // Header bytes libsndfile sees changed (offset, value): lengths that would
  // make it stop before the end of the sound. Sorted by offset.
  std::vector<std::pair<uint64_t, uint8_t>> patches;
};

namespace {

// libsndfile refuses more channels itself; the mix reads every one of them.
constexpr int kMaxChannels = 1024;
// Four times the fastest studio rate; beyond it a header is not believed.
constexpr int kMaxRate = 3072000;

// libsndfile reads through these, so that a file and bytes in memory (the
// fuzzers) are read alike and libsndfile never opens anything itself.
using Source = IntakeDecoder::Source;

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
  for (const auto& [p, value] : source.patches)
    if (p >= at && p < at + got) bytes[p - at] = value;
  return static_cast<sf_count_t>(got);
}

sf_count_t SourceWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t SourceTell(void* user) {
  return static_cast<sf_count_t>(static_cast<Source*>(user)->file->Position());
}

SF_VIRTUAL_IO kSourceIo = {SourceLength, SourceSeek, SourceRead, SourceWrite, SourceTell};

using Patches = std::vector<std::pair<uint64_t, uint8_t>>;

uint64_t Bytes(const uint8_t* p, int n, bool bigEndian) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) v |= uint64_t{p[bigEndian ? n - 1 - i : i]} << (8 * i);
  return v;
}

void Patch(Patches& patches, uint64_t at, uint64_t value, int n, bool bigEndian) {
  for (int i = 0; i < n; ++i)
    patches.emplace_back(at + static_cast<uint64_t>(bigEndian ? n - 1 - i : i),
                         static_cast<uint8_t>(value >> (8 * i)));
}

// libsndfile stops at the sample count a FLAC file's STREAMINFO declares,
// which may be short; shown as 0 ("unknown"), decoding runs to the end.
void HideFlacLength(const uint8_t* head, Patches& patches) {
  if (!IsTag(head, "fLaC") || (head[4] & 0x7F) != 0) return;
  patches.emplace_back(21, static_cast<uint8_t>(head[21] & 0xF0));
  for (uint64_t p = 22; p < 26; ++p) patches.emplace_back(p, 0);
}

bool IsOneOf(const uint8_t* tag, std::initializer_list<const char*> tags) {
  for (const char* t : tags)
    if (IsTag(tag, t)) return true;
  return false;
}

// A data chunk of size 0, or (AU) one larger than the file holds, is what a
// recorder that stopped before finishing its header leaves: libsndfile would
// read nothing, so the size shown is the rest of the file, as the program's
// own WAV and AIFF readers take it.
//
// Chunks that describe no sample (metadata, markers, loops) are shown to
// libsndfile as padding: nothing is taken from them, and hostile sizes in
// its parsers of them have held it in loops.
void WalkChunks(FileReader& file, const uint8_t* head, Patches& patches) {
  const uint64_t size = file.Size();
  if (IsTag(head, ".snd")) {
    const uint64_t offset = Bytes(head + 4, 4, true), bytes = Bytes(head + 8, 4, true);
    if (bytes != 0xFFFFFFFF && (bytes == 0 || offset > size || bytes > size - offset))
      Patch(patches, 8, 0xFFFFFFFF, 4, true);
    return;
  }
  const bool riff = IsTag(head, "RIFF") && IsTag(head + 8, "WAVE");
  const bool rf64 = IsOneOf(head, {"RF64", "BW64"}) && IsTag(head + 8, "WAVE");
  const bool aiff = IsTag(head, "FORM") && IsOneOf(head + 8, {"AIFF", "AIFC"});
  const bool caf = IsTag(head, "caff");
  if (!riff && !rf64 && !aiff && !caf) return;
  // Chunks: 4-byte id, then a 4-byte size, little-endian in WAV and padded
  // to even like AIFF's; CAF: 8-byte big-endian, -1 for "to the end".
  const int sizeBytes = caf ? 8 : 4;
  const bool bigEndian = aiff || caf;
  const char* padding = caf ? "free" : "JUNK";
  uint64_t at = caf ? 8 : 12;
  for (int chunks = 0; chunks < 256 && at + 4 + sizeBytes <= size; ++chunks) {
    uint8_t h[12] = {};
    file.Seek(at);
    if (file.Read(h, sizeof h) < static_cast<size_t>(4 + sizeBytes)) return;
    const uint64_t bytes = Bytes(h + 4, sizeBytes, bigEndian);
    const uint64_t start = at + 4 + static_cast<uint64_t>(sizeBytes);
    const bool kept = caf    ? IsOneOf(h, {"desc", "data", "pakt", "kuki", "chan", "free"})
                      : aiff ? IsOneOf(h, {"COMM", "SSND", "FVER", "CHAN", "JUNK"})
                             : IsOneOf(h, {"fmt ", "data", "fact", "ds64", "JUNK"});
    if (!kept)
      Patch(patches, at, Bytes(reinterpret_cast<const uint8_t*>(padding), 4, false), 4, false);
    if (!aiff && IsTag(h, "data")) {
      const uint64_t rest = size - start;
      if (caf) {
        if (bytes == ~uint64_t{0}) Patch(patches, at + 4, rest, 8, true);
      } else if (rf64 && bytes == 0xFFFFFFFF) {
        if (IsTag(head + 12, "ds64") && Bytes(head + 28, 8, false) == 0)
          Patch(patches, 28, rest, 8, false);
      } else if (bytes == 0) {
        Patch(patches, at + 4, rest < 0xFFFFFFFF ? rest : 0xFFFFFFFE, 4, false);
      }
      return;
    }
    if (bytes > size - start) return;
    at = start + bytes + (caf ? 0 : (bytes & 1));
  }
}

Patches HeaderPatches(FileReader& file) {
  uint8_t head[36] = {};
  file.Seek(0);
  file.Read(head, sizeof head);
  Patches patches;
  HideFlacLength(head, patches);
  WalkChunks(file, head, patches);
  return patches;
}

// Whether the file is MPEG audio: a frame header at its start, or right
// after its ID3v2 tags.
bool StartsAsMpeg(FileReader& file) {
  uint64_t at = 0;
  uint8_t h[10] = {};
  for (int tags = 0; tags < 4; ++tags) {
    file.Seek(at);
    if (file.Read(h, sizeof h) != sizeof h) return false;
    if (h[0] != 'I' || h[1] != 'D' || h[2] != '3') break;
    const uint64_t size = (uint64_t{h[6] & 0x7Fu} << 21) | (uint64_t{h[7] & 0x7Fu} << 14) |
                          (uint64_t{h[8] & 0x7Fu} << 7) | (h[9] & 0x7Fu);
    at += 10 + size + ((h[5] & 0x10) ? 10 : 0);
  }
  const int version = (h[1] >> 3) & 3, layer = (h[1] >> 1) & 3;
  const int bitrate = h[2] >> 4, rate = (h[2] >> 2) & 3;
  return h[0] == 0xFF && (h[1] & 0xE0) == 0xE0 && version != 1 && layer != 0 && bitrate != 15 &&
         rate != 3;
}

// Whether libsndfile's 16-bit reads give the file's samples exactly: the
// codecs whose samples are at most 16 bits.
bool ExactIn16BitsCodec(int subtype) {
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

const char* WideSamples(int subtype) {
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

}  // namespace

IntakeDecoder::IntakeDecoder(FileReader& file) : source_(new Source{&file, {}}) {
  // Never handed to libsndfile: its own mpg123 reports on standard error.
  if (StartsAsMpeg(file)) {
    mpeg_ = std::make_unique<MpegDecoder>(file);
    const int layers[] = {SF_FORMAT_MPEG_LAYER_I, SF_FORMAT_MPEG_LAYER_II,
                          SF_FORMAT_MPEG_LAYER_III};
    format_ = SF_FORMAT_MPEG | layers[(mpeg_->layer() + 2) % 3];
    if (!mpeg_->ok()) openError_ = SF_ERR_MALFORMED_FILE;
    return;
  }
  source_->patches = HeaderPatches(file);
  file.Seek(0);
  handle_ = sf_open_virtual(&kSourceIo, SFM_READ, &info_, source_.get());
  if (handle_ == nullptr) {
    openError_ = sf_error(nullptr);
    return;
  }
  format_ = info_.format;
  // What libsndfile takes for MPEG without our check seeing it goes to
  // libmpg123 all the same.
  if (major() == SF_FORMAT_MPEG) {
    sf_close(handle_);
    handle_ = nullptr;
    mpeg_ = std::make_unique<MpegDecoder>(file);
    if (!mpeg_->ok()) openError_ = SF_ERR_MALFORMED_FILE;
  }
}

IntakeDecoder::~IntakeDecoder() {
  if (handle_ != nullptr) sf_close(handle_);
}

const char* IntakeDecoder::Refusal() const {
  if (handle_ == nullptr && (mpeg_ == nullptr || !mpeg_->ok())) {
    switch (openError_) {
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
  if (channels() < 1 || channels() > kMaxChannels) return texts::kBadData;
  if (rate() < 1 || rate() > kMaxRate) return texts::kBadRate;
  return nullptr;
}

int IntakeDecoder::channels() const { return mpeg_ ? mpeg_->channels() : info_.channels; }

uint32_t IntakeDecoder::rate() const {
  const long r = mpeg_ ? mpeg_->rate() : info_.samplerate;
  return r > 0 ? static_cast<uint32_t>(r) : 0;
}

int64_t IntakeDecoder::declaredFrames() const {
  const int64_t frames = mpeg_ ? mpeg_->lengthHint() : info_.frames;
  return frames > 0 && frames != SF_COUNT_MAX ? frames : 0;
}

bool IntakeDecoder::ExactIn16Bits() const { return !mpeg_ && ExactIn16BitsCodec(subtype()); }
bool IntakeDecoder::Lossy() const { return IsLossyCodec(subtype()); }
const char* IntakeDecoder::WideSampleText() const { return WideSamples(subtype()); }

// The format's name as the notice and --info give it.
std::string IntakeDecoder::SourceName() const {
  switch (major()) {
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
      return subtype() == SF_FORMAT_OPUS ? "Opus" : "Ogg Vorbis";
    case SF_FORMAT_MPEG:
      return subtype() == SF_FORMAT_MPEG_LAYER_III ? "MP3" : "MPEG";
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
  format.format = major();
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
int32_t IntakeDecoder::SaveKind() const {
  switch (major()) {
    case SF_FORMAT_AIFF:
      return kFileKindAiff;
    case SF_FORMAT_AU:
      return kFileKindAu;
    case SF_FORMAT_FLAC:
      return kFileKindFlac;
    case SF_FORMAT_OGG:
      return subtype() == SF_FORMAT_OPUS ? kFileKindOpus : kFileKindOggVorbis;
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

std::vector<Speaker> IntakeDecoder::Positions() const {
  const int n = channels();
  std::vector<int> map(static_cast<size_t>(n));
  if (handle_ != nullptr && sf_command(handle_, SFC_GET_CHANNEL_MAP_INFO, map.data(),
                                       static_cast<int>(map.size() * sizeof(int))) == SF_TRUE) {
    std::vector<Speaker> named;
    for (int p : map) named.push_back(SpeakerOf(p));
    return named;
  }
  std::vector<Speaker> usual = ConventionalLayout(n, major() == SF_FORMAT_OGG);
  if (usual.empty()) usual.assign(static_cast<size_t>(n), Speaker::kUnknown);
  return usual;
}

int64_t IntakeDecoder::ReadFloats(float* out, int64_t frames) {
  if (mpeg_) return static_cast<int64_t>(mpeg_->Read(out, static_cast<size_t>(frames)));
  return sf_readf_float(handle_, out, frames);
}

int64_t IntakeDecoder::ReadShorts(int16_t* out, int64_t frames) {
  return sf_readf_short(handle_, out, frames);
}

// A fault shows in the error of the read that met it, and the next read
// clears it.
bool IntakeDecoder::Faulted() const {
  return mpeg_ ? mpeg_->faulted() : sf_error(handle_) != SF_ERR_NO_ERROR;
}

}  // namespace kelvora
