// What every sound file reader shares: the sound it makes of a file (or the
// reason it has none), the block it fills, and the chunk walk. Readers never
// touch the document; the open flow puts what they made into it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "document/memory_block.h"
#include "document/sound_document.h"
#include "files/file_io.h"

namespace kelvora {

// What the intake of today's formats did to a sound on its way in (the
// program's own readers leave it as it is), and the seed of its dither.
struct IntakeReport {
  uint64_t ditherSeed = 0;
  std::string source;      // the format's name: "FLAC", "Ogg Vorbis", "WAV", ...
  std::string sampleText;  // the source's samples when wider than 16 bits, else empty
  int channels = 0;        // the source's
  uint32_t rate = 0;
  bool lossy = false;      // decoded from a lossy codec
  bool dithered = false;   // some samples were rounded to 16 bits with dither
  bool mixed = false;      // more than two channels were mixed to stereo
  bool truncated = false;  // decoding stopped at a fault; what came before is kept
  int64_t clipped = 0;     // samples beyond full scale, clipped
};

// A reader's result. The open flow hands in the document's own block, so
// that a long sound replaces a long one without a second block of its size.
struct LoadedSound {
  // Loaded: `bytes` of sound in `format`, then the spare bytes.
  SoundFormat format;
  MemoryBlock data;
  uint64_t bytes = 0;
  // The writer Save uses afterwards, loaded or not; comes in as the
  // document's.
  int32_t fileKind = kFileKindNone;
  // Not loaded: the messages, in order (the second may be null).
  const char* messages[2] = {};
  // The file is not of this kind at all: the document keeps format and path.
  bool badSignature = false;
  // The format the file announced before it turned out bad, which the
  // document keeps.
  bool hasRecord = false;
  SoundFormat record;
  IntakeReport intake;
};

// A reader in two steps: whether the file is of its kind at all (1, or 0
// after RejectSignature), then the rest into `sound` (1 after AcceptLoad, or
// 0 after RejectLoad). The block is needed for the second step only. A
// reader that shows progress dispatches events, so the open flow keeps
// commands out while its second step runs.
struct SoundReader {
  int (*checkSignature)(FileReader& file, LoadedSound& sound);
  int (*read)(FileReader& file, LoadedSound& sound);
  bool showsProgress = false;
};

// Both steps.
inline int ReadSound(const SoundReader& reader, FileReader& file, LoadedSound& sound) {
  return reader.checkSignature(file, sound) && reader.read(file, sound);
}

// Whether the four bytes at `id` spell the chunk id `tag`.
inline bool IsTag(const uint8_t* id, const char* tag) { return std::memcmp(id, tag, 4) == 0; }

// Where the chunk after the one at `pos` with a body of `size` bytes starts.
// Writers pad odd-sized chunks with a zero byte; no chunk id starts with one,
// so the pad is skipped only when it is there.
uint64_t NextChunk(FileReader& file, uint64_t pos, uint32_t size);

// Makes the sound's block `bytes` + spare long, its contents still to come.
// 1, or 0 when memory runs out.
int PrepareLoadBlock(LoadedSound& sound, uint64_t bytes);

// The ends of a read: loaded (1), a wrong signature (0), or a file that
// turned out bad further in (0), with the format it had announced (may be
// null) and a message that goes before `text` (may be null).
int AcceptLoad(LoadedSound& sound, const SoundFormat& f, uint64_t bytes);
int RejectSignature(LoadedSound& sound, const char* text);
int RejectLoad(LoadedSound& sound, const char* text, const SoundFormat* record,
               const char* first = nullptr);

}  // namespace kelvora
