// Writes small valid and edge-case sound files as the fuzzers' starting
// corpora:   make_seeds DIR   ->   DIR/wav/*.wav, DIR/aiff/*.aiff, DIR/au/*.au,
// and DIR/intake/* in today's formats, written through libsndfile.
#include <sndfile.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct Riff {
  Bytes b;
  Riff& Tag(const char* id) {
    b.insert(b.end(), id, id + 4);
    return *this;
  }
  Riff& U16(uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
    return *this;
  }
  Riff& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
  Riff& Raw(const Bytes& x) {
    b.insert(b.end(), x.begin(), x.end());
    return *this;
  }
  Riff& Chunk(const char* id, const Bytes& body, bool pad = true) {
    Tag(id).U32(uint32_t(body.size())).Raw(body);
    if (pad && body.size() % 2) b.push_back(0);
    return *this;
  }
  Riff& Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t align, uint16_t bits,
            const Bytes& extra = {}) {
    Tag("fmt ").U32(uint32_t(16 + (extra.empty() ? 0 : 2 + extra.size())));
    U16(tag).U16(channels).U32(rate).U32(rate * align).U16(align).U16(bits);
    if (!extra.empty()) U16(uint16_t(extra.size())).Raw(extra);
    return *this;
  }
  // The RIFF size is filled in as a writer would.
  Bytes Done() {
    Bytes out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    uint32_t size = uint32_t(b.size() + 4);
    for (int i = 0; i < 4; ++i) out[4 + i] = uint8_t(size >> (8 * i));
    out.insert(out.end(), b.begin(), b.end());
    return out;
  }
};

Bytes Noise(size_t n, uint32_t seed) {
  Bytes v(n);
  for (auto& x : v) x = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
  return v;
}

Bytes Sine16(size_t frames, int channels) {
  Bytes v;
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) {
      int s = int((i * (c + 3) * 97) % 2000) * 16 - 16000;
      v.push_back(uint8_t(s));
      v.push_back(uint8_t(s >> 8));
    }
  return v;
}

// ADPCM blocks: plausible headers, random nibbles.
Bytes MsAdpcm(int channels, size_t align, int blocks, size_t rest) {
  Bytes v;
  for (int k = 0; k <= blocks; ++k) {
    size_t size = k < blocks ? align : rest;
    Bytes block = Noise(size, 100 + k);
    for (int c = 0; c < channels && size >= 7u * channels; ++c) {
      block[c] = uint8_t(k % 7);     // predictor
      block[channels + 2 * c] = 32;  // delta
      block[channels + 2 * c + 1] = 0;
    }
    v.insert(v.end(), block.begin(), block.end());
  }
  return v;
}

Bytes ImaAdpcm(int channels, size_t align, int blocks, size_t rest) {
  Bytes v;
  for (int k = 0; k <= blocks; ++k) {
    size_t size = k < blocks ? align : rest;
    Bytes block = Noise(size, 200 + k);
    for (int c = 0; c < channels && size >= 4u * channels; ++c) {
      block[4 * c + 2] = uint8_t(k * 11 % 89);  // step index
      block[4 * c + 3] = 0;
    }
    v.insert(v.end(), block.begin(), block.end());
  }
  return v;
}

// Big-endian chunks for AIFF and the AU header.
struct Be {
  Bytes b;
  Be& Tag(const char* id) {
    b.insert(b.end(), id, id + 4);
    return *this;
  }
  Be& U16(uint16_t v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
    return *this;
  }
  Be& U32(uint32_t v) { return U16(uint16_t(v >> 16)).U16(uint16_t(v)); }
  Be& Raw(const Bytes& x) {
    b.insert(b.end(), x.begin(), x.end());
    return *this;
  }
  // COMM with the rate as an 80-bit number of exponent e and top mantissa m.
  Be& Comm(uint16_t channels, uint32_t frames, uint16_t bits, uint16_t e, uint32_t m) {
    return Tag("COMM").U32(18).U16(channels).U32(frames).U16(bits).U16(e).U32(m).U32(0);
  }
  Be& Ssnd(const Bytes& data, uint32_t offset = 0) {
    Tag("SSND").U32(uint32_t(8 + offset + data.size())).U32(offset).U32(0);
    return Raw(Bytes(offset, 0)).Raw(data);
  }
  Bytes Form() {
    Bytes out = {'F', 'O', 'R', 'M', 0, 0, 0, 0, 'A', 'I', 'F', 'F'};
    uint32_t size = uint32_t(b.size() + 4);
    for (int i = 0; i < 4; ++i) out[4 + i] = uint8_t(size >> (24 - 8 * i));
    out.insert(out.end(), b.begin(), b.end());
    return out;
  }
};

Bytes AuFile(uint32_t offset, uint32_t size, uint32_t encoding, uint32_t rate, uint32_t channels,
             const Bytes& data) {
  Be h;
  h.Tag(".snd").U32(offset).U32(size).U32(encoding).U32(rate).U32(channels);
  while (h.b.size() < offset && h.b.size() < 64) h.b.push_back(0);
  return h.Raw(data).b;
}

bool Write(const std::string& path, const Bytes& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

Bytes ReadAll(const std::string& path) {
  Bytes b;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) b.push_back(uint8_t(c));
    std::fclose(f);
  }
  return b;
}

// A short chord through libsndfile in `format`; the file's bytes, or none.
Bytes Encoded(const std::string& dir, int format, int rate, int channels, int frames) {
  const std::string path = dir + "/.encoding";
  SF_INFO info = {};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (f == nullptr) return {};
  std::vector<int> samples;
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      samples.push_back(int((i * (c + 3) * 977) % 4000 - 2000) * 400000);
  sf_writef_int(f, samples.data(), frames);
  sf_close(f);
  Bytes bytes = ReadAll(path);
  std::remove(path.c_str());
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds DIR\n");
    return 2;
  }
  const std::string root = argv[1];
  mkdir(root.c_str(), 0755);
  struct Seed {
    const char* name;
    Bytes bytes;
  };
  const Seed wav[] = {
      {"pcm8_mono", Riff().Fmt(1, 1, 8000, 1, 8).Chunk("data", Noise(301, 1)).Done()},
      {"pcm8_stereo", Riff().Fmt(1, 2, 11025, 2, 8).Chunk("data", Noise(200, 2)).Done()},
      {"pcm16_mono", Riff().Fmt(1, 1, 22050, 2, 16).Chunk("data", Sine16(150, 1)).Done()},
      {"pcm16_stereo", Riff().Fmt(1, 2, 44100, 4, 16).Chunk("data", Sine16(120, 2)).Done()},
      {"mulaw_stereo", Riff().Fmt(7, 2, 8000, 2, 8).Chunk("data", Noise(256, 3)).Done()},
      {"ms_adpcm_mono",
       Riff().Fmt(2, 1, 22050, 64, 4, Noise(32, 4)).Chunk("data", MsAdpcm(1, 64, 3, 20)).Done()},
      {"ms_adpcm_stereo",
       Riff().Fmt(2, 2, 22050, 128, 4, Noise(32, 5)).Chunk("data", MsAdpcm(2, 128, 2, 30)).Done()},
      {"ima_adpcm_mono",
       Riff().Fmt(0x11, 1, 22050, 64, 4, {0xF9, 0x01}).Chunk("data", ImaAdpcm(1, 64, 3, 9)).Done()},
      {"ima_adpcm_stereo", Riff()
                               .Fmt(0x11, 2, 44100, 136, 4, {0xF9, 0x00})
                               .Chunk("fact", {0, 1, 0, 0})
                               .Chunk("data", ImaAdpcm(2, 136, 2, 52))
                               .Done()},
      {"odd_chunk_pad", Riff()
                            .Chunk("LIST", Noise(5, 6))
                            .Fmt(1, 1, 8000, 1, 8)
                            .Chunk("data", Noise(33, 7))
                            .Chunk("JUNK", Noise(3, 8))
                            .Done()},
      {"extra_chunks", Riff()
                           .Chunk("bext", Noise(40, 9))
                           .Fmt(1, 2, 48000, 4, 16)
                           .Chunk("cue ", Noise(28, 10))
                           .Chunk("data", Sine16(50, 2))
                           .Chunk("LIST", Noise(17, 11), false)
                           .Done()},
      {"fmt_after_data", Riff()
                             .Fmt(1, 2, 44100, 4, 16)
                             .Chunk("data", Sine16(20, 2))
                             .Fmt(7, 1, 8000, 1, 8)
                             .Chunk("data", Noise(40, 12))
                             .Fmt(1, 1, 8000, 1, 8)
                             .Done()},
      {"data_past_end",
       Riff().Fmt(1, 2, 44100, 4, 16).Tag("data").U32(0xFFFFFFFF).Raw(Noise(50, 13)).Done()},
      {"huge_chunk", Riff().Tag("JUNK").U32(0xFFFFFFF8).Fmt(1, 1, 8000, 1, 8).Done()},
  };
  // Rates as 80-bit numbers: 8000, 22050, 44100.
  const Seed aiff[] = {
      {"pcm8_mono", Be().Comm(1, 301, 8, 0x400B, 0xFA000000).Ssnd(Noise(301, 21)).Form()},
      {"pcm16_stereo", Be().Comm(2, 60, 16, 0x400E, 0xAC440000).Ssnd(Sine16(60, 2)).Form()},
      {"pcm12_mono_offset", Be().Comm(1, 40, 12, 0x400D, 0xAC440000).Ssnd(Sine16(40, 1), 6).Form()},
      {"pcm24_stereo", Be().Comm(2, 20, 24, 0x400E, 0xAC440000).Ssnd(Noise(120, 22)).Form()},
      {"pcm32_mono", Be().Comm(1, 30, 32, 0x400B, 0xFA000000).Ssnd(Noise(120, 23)).Form()},
      {"chunks_and_pad", Be().Tag("NAME")
                             .U32(3)
                             .Raw({'a', 'b', 'c', 0})
                             .Ssnd(Noise(8, 24))
                             .Comm(2, 1000, 8, 0x400C, 0xAC440000)
                             .Tag("ANNO")
                             .U32(1)
                             .Raw({'x'})
                             .Ssnd(Noise(41, 25))
                             .Form()},
      {"odd_rate", Be().Comm(1, 10, 16, 0x4010, 0xBB800001).Ssnd(Sine16(10, 1)).Form()},
  };
  const Seed au[] = {
      {"mono_8k", AuFile(32, 400, 1, 8000, 1, Noise(400, 31))},
      {"stereo_unknown_size", AuFile(24, 0xFFFFFFFF, 1, 22050, 2, Noise(301, 32))},
      {"long_annotation", AuFile(60, 100, 1, 11025, 1, Noise(100, 33))},
      {"linear16", AuFile(24, 8, 3, 8000, 1, Noise(8, 34))},
  };
  int failures = 0;
  auto write_all = [&](const char* kind, const Seed* seeds, size_t count) {
    const std::string dir = root + "/" + kind;
    mkdir(dir.c_str(), 0755);
    for (size_t i = 0; i < count; ++i)
      if (!Write(dir + "/" + seeds[i].name + "." + kind, seeds[i].bytes)) {
        std::fprintf(stderr, "make_seeds: cannot write %s/%s.%s\n", dir.c_str(), seeds[i].name,
                     kind);
        ++failures;
      }
  };
  write_all("wav", wav, std::size(wav));
  write_all("aiff", aiff, std::size(aiff));
  write_all("au", au, std::size(au));

  const std::string intake = root + "/intake";
  mkdir(intake.c_str(), 0755);
  const struct {
    const char* name;
    int format, rate, channels, frames;
  } encoded[] = {
      {"pcm16.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 8000, 1, 300},
      {"pcm24_stereo.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 44100, 2, 200},
      {"surround.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 6, 100},
      {"vorbis.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 8000, 1, 400},
      {"opus.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 8000, 2, 400},
      {"layer3.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 8000, 1, 600},
      {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 22050, 2, 60},
      {"extensible24.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 48000, 6, 40},
      {"rf64.wav", SF_FORMAT_RF64 | SF_FORMAT_PCM_32, 8000, 1, 50},
      {"w64.w64", SF_FORMAT_W64 | SF_FORMAT_DOUBLE, 8000, 3, 30},
      {"caf.caf", SF_FORMAT_CAF | SF_FORMAT_ALAC_24, 44100, 2, 80},
      {"aifc.aifc", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 11025, 1, 50},
  };
  for (const auto& e : encoded) {
    Bytes bytes = Encoded(intake, e.format, e.rate, e.channels, e.frames);
    if (bytes.empty() || !Write(intake + "/" + e.name, bytes)) {
      std::fprintf(stderr, "make_seeds: cannot write %s/%s\n", intake.c_str(), e.name);
      ++failures;
      continue;
    }
    // Each cut short, and with a run of bytes spoilt half-way (a broken
    // Ogg page, a FLAC frame out of sync).
    Write(intake + "/cut_" + e.name, Bytes(bytes.begin(), bytes.begin() + bytes.size() * 2 / 3));
    for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 40 && i < bytes.size(); ++i)
      bytes[i] ^= 0x5A;
    Write(intake + "/spoilt_" + e.name, bytes);
  }
  return failures == 0 ? 0 : 1;
}
