// Microsoft ADPCM block decoder (WAV format tag 2), mono or stereo, with the
// seven built-in coefficient pairs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvora {

// Header bytes of a block: 7 per channel.
inline constexpr size_t MsAdpcmHeaderBytes(int channels) { return 7 * size_t(channels); }

// Bytes of 16-bit output that MsAdpcmDecodeBlock gives for a block of `size`
// bytes; 0 when the block is shorter than its header.
size_t MsAdpcmOutputBytes(size_t size, int channels);

// Decodes one block of `size` bytes (channels 1 or 2) into 16-bit
// little-endian interleaved samples at `out`, which must hold
// MsAdpcmOutputBytes(size, channels). Returns the bytes written.
size_t MsAdpcmDecodeBlock(const uint8_t* block, size_t size, int channels, uint8_t* out);

}  // namespace kelvora
