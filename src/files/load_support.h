// What every sound file reader does to the document around its own parsing:
// emptying it before a block is replaced, announcing a finished load, and
// the two failure paths (a bad signature, and a file that turned out bad).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "document/sound_document.h"
#include "files/file_io.h"

namespace kelvora {

// Document blocks carry this many zeroed bytes beyond the data.
inline constexpr size_t kLoadSpareBytes = 16;
// Lengths are 32-bit signed, and some operations add up to 32 spare bytes.
inline constexpr uint64_t kMaxLoadBytes = 0x7FFFFFFF - 32;

// Whether the four bytes at `id` spell the chunk id `tag`.
inline bool IsTag(const uint8_t* id, const char* tag) { return std::memcmp(id, tag, 4) == 0; }

// Where the chunk after the one at `pos` with a body of `size` bytes starts.
// Writers pad odd-sized chunks with a zero byte; no chunk id starts with one,
// so the pad is skipped only when it is there.
uint64_t NextChunk(FileReader& file, uint64_t pos, uint32_t size);

// Makes the document's block `bytes` + spare long with nothing in it yet:
// length, selection and view start become 0 first, so that nothing that runs
// while the block is filled can reach beyond it. 1, or 0 when memory runs out.
int PrepareLoadBlock(uint64_t bytes);

// The load succeeded: `bytes` of sound in format f are in the block.
// Zeroes the spare bytes, resets selection, view and scroll bar, clears the
// modified flag and refreshes title, views and status. Returns 1.
int FinishLoad(const SoundFormat& f, uint64_t bytes);

// The signature was wrong: the message, and an empty sound; format, block
// and path stay. Returns 0.
int FailLoadHeader(FileReader& file, const char* text);

// The file was bad further in: as FailLoadHeader, and the path becomes
// untitled. `record` (may be null) is the format the file had announced,
// which the document keeps. Returns 0.
int FailLoad(FileReader& file, const char* text, const SoundFormat* record);

}  // namespace kelvora
