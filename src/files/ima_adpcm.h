// IMA/DVI ADPCM block decoder (WAV format tag 0x11), mono or stereo.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvora {

// Header bytes of a block: 4 per channel.
inline constexpr size_t ImaAdpcmHeaderBytes(int channels) { return 4 * size_t(channels); }

// Bytes of 16-bit output that ImaAdpcmDecodeBlock gives for a block of
// `size` bytes; 0 when the block is shorter than its header.
size_t ImaAdpcmOutputBytes(size_t size, int channels);

// Decodes one block of `size` bytes (channels 1 or 2) into 16-bit
// little-endian interleaved samples at `out`, which must hold
// ImaAdpcmOutputBytes(size, channels). Returns the bytes written. Stereo
// data comes in groups of 8 bytes; a trailing partial group is ignored.
size_t ImaAdpcmDecodeBlock(const uint8_t* block, size_t size, int channels, uint8_t* out);

}  // namespace kelvora
