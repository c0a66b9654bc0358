// The 8-bit mu-law codec (G.711 with a bias of 132) used by WAV and AU, with
// table-driven block forms for whole files.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvora {

// Signed value in -32124..32124.
int32_t MuLawDecode(uint8_t code);
// `value` on the 16-bit scale (values beyond it are clipped first). Never
// returns 0x00: that code is written as 0x02.
uint8_t MuLawEncode(int32_t value);

// Decodes `count` codes into 16-bit little-endian samples (2 x count bytes).
void MuLawDecodeToPcm16(const uint8_t* codes, size_t count, uint8_t* pcm16le);

// MuLawEncode of every 16-bit pattern, indexed by the sample's low 16 bits.
const uint8_t* MuLawEncodeTable();
// Encodes `count` 16-bit little-endian samples, one code each.
void MuLawEncodePcm16(const uint8_t* pcm16le, size_t count, uint8_t* codes);

}  // namespace kelvora
