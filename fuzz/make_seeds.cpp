// Writes small valid and edge-case WAV files as the fuzzers' starting corpus:
//   make_seeds DIR   ->   DIR/wav/*.wav
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
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

bool Write(const std::string& path, const Bytes& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds DIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/wav";
  mkdir(argv[1], 0755);
  mkdir(dir.c_str(), 0755);
  struct Seed {
    const char* name;
    Bytes bytes;
  };
  const Seed seeds[] = {
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
  int failures = 0;
  for (const Seed& s : seeds)
    if (!Write(dir + "/" + s.name + ".wav", s.bytes)) {
      std::fprintf(stderr, "make_seeds: cannot write %s/%s.wav\n", dir.c_str(), s.name);
      ++failures;
    }
  return failures == 0 ? 0 : 1;
}
