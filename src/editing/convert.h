// Sample format conversion: rate by linear interpolation between
// neighbouring frames, 8/16-bit width on the common 16-bit scale, and
// mono/stereo by duplicating or averaging. Paste, Mix and melody paste bring
// the clipboard's sound into the document's format with it; the format
// conversion command converts the whole document.
#pragma once

#include <cstdint>

#include "document/memory_block.h"
#include "document/sound_document.h"
#include "platform/param_dialog.h"
#include "resources/dialogs.h"

namespace kelvora {

inline constexpr int kConvertDialog = kDialogConvert;
inline constexpr int kNewSoundDialog = kDialogNew;

// Converts `length` bytes of frames in format `from` (whole frames are
// used) into format `to`. On success `out` holds *outLength bytes of whole
// frames in exactly `to`, followed by 16 zeroed spare bytes, and 1 is
// returned. Sources that ConvertibleSource accepts (samples wider than 16
// bits, and 12-bit ones, are read by their top 16 bits), targets of 8 or 16
// bits with any channel count;
// anything else, and a shortage of memory, is reported and gives 0 with
// `out` and *outLength untouched. Keeps other commands out while it runs.
int ConvertSamples(const SoundFormat& from, const uint8_t* data, int64_t length,
                   const SoundFormat& to, MemoryBlock& out, int32_t* outLength);

// Writes output frames first .. first + count - 1 of that conversion at
// `out`, with progress against all of its frames. Only for formats that
// ConvertedBytes accepts.
void ConvertFramesInto(const SoundFormat& from, const uint8_t* data, int64_t length,
                       const SoundFormat& to, uint8_t* out, int64_t first, int64_t count);
// Whether that conversion gives the source's bytes unchanged, so that a
// copy does it.
bool ConvertsAsCopy(const SoundFormat& from, const SoundFormat& to);
// How many bytes ConvertSamples makes of `length` bytes, without making
// them; -1 when it would refuse the formats.
int64_t ConvertedBytes(const SoundFormat& from, int64_t length, const SoundFormat& to);

// The three radio groups of the new-sound and format-conversion dialogs:
// rate (101..104), bits (201, 202) and channels (301, 302). Fills ten rows,
// the last one ending the table.
void FillFormatDialogTable(ParamEntry table[10], int32_t* rate, int32_t* bits, int32_t* channels);

// Command 40006: asks for rate, bits and channels and converts the document.
void ConvertFormat();

}  // namespace kelvora
