// The Edit menu's clipboard and cutting commands. Sound travels through the
// platform's clipboard as one ClipWaveBlock; Paste and Mix bring whatever
// PCM sound it holds into the document's format first.
#pragma once

#include <cstdint>

#include "document/memory_block.h"

namespace kelvora {

// 40015: the selection (one channel in both, when the channel mask picks
// one of two) onto the clipboard. The document is not changed.
void CopySelection();
// 40014: Copy, then Delete; nothing is deleted when the copy failed.
void CutSelection();
// 40016: inserts the clipboard's sound at the moving end and selects it.
void PasteClip();
// 40017: removes the selection; an empty selection remains at its start.
void DeleteSelection();
// 40018: keeps only the selection.
void CropToSelection();
// 40019: adds the clipboard's sound to the document from the moving end,
// extending it with silence where the sound runs past its end.
void MixClip();

// Whether the clipboard holds sound, without taking a copy of it.
bool ClipboardHasWave();

// The clipboard's sound in the document's format, to go in at byte `at` of
// a sound that must stay within the longest the document holds, if it holds
// one. A block that is not PCM, or not whole, is reported under
// `formatCaption` and counts as none; so does a conversion that refuses (with its own message). A
// shortage of memory, and a result too long (found before anything is
// converted), are reported under `caption`. The document is not touched.
bool ReadConvertedClip(const char* formatCaption, const char* caption, int64_t at,
                       MemoryBlock& converted, int32_t* m);

}  // namespace kelvora
