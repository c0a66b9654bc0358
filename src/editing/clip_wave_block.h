// The clipboard image of a piece of sound: a WAV file in memory whose size
// sits at offset 40 and whose data starts at 44 (a 44-byte header), with the
// 18-byte format record at 20 and two spare bytes at the end.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/memory_block.h"
#include "document/sound_document.h"

namespace kelvora {

inline constexpr int kClipHeaderBytes = 44;
inline constexpr int kClipFormatOffset = 20;
inline constexpr int kClipSizeOffset = 40;

// Builds the block for n bytes of sound in format f (n + 46 bytes).
// Returns 0 when memory runs out.
int BuildClipWaveBlock(const SoundFormat& f, const uint8_t* sound, int32_t n, MemoryBlock& block);

// The 44-byte header of a block for n bytes of sound in format f: what
// BuildClipWaveBlock puts before the sound.
void WriteClipHeader(const SoundFormat& f, uint32_t n, uint8_t* header);

// Reads format and sound bytes back out of a block. Returns 0 when the block
// is too short for its header or declares more sound than it holds: what
// arrived is not the sound that was copied.
int ParseClipWaveBlock(const uint8_t* block, size_t size, SoundFormat& f, const uint8_t** sound,
                       int32_t* n);

// Other programs exchange sound as plain WAV files. The standard 44-byte
// header ("fmt " of 16 bytes, "data" at 36) of the block as one, whose sound
// is the *n bytes at offset 44 of the block. 0 when the block is too short
// for a header.
int StandardWaveHeader(const uint8_t* block, size_t size, uint8_t* header, int32_t* n);

// Whether another program's WAV image has the standard 44-byte header:
// "RIFF", "WAVE", "fmt " at 12 with 16 bytes, "data" at 36, PCM, and a data
// size within the image. Such an image reads like a block (format at 20,
// size at 40, sound at 44).
bool IsStandardPcmWave(const uint8_t* image, size_t size);

// Another program's WAV image as a clip: a RIFF WAVE whose chunks hold a PCM
// "fmt " record (16 bytes or more) and then a "data" chunk that the image
// holds whole (other chunks are passed over). Gives the format, where the
// sound starts and its length; false for anything else.
bool LocatePcmWave(const uint8_t* image, size_t size, SoundFormat* f, size_t* soundAt, uint32_t* n);

}  // namespace kelvora
