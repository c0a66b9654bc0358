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

// The clipboard's sound in the document's format, if it holds one. A block
// that is not PCM is reported under `caption` and counts as none; so does a
// conversion that refuses (with its own message).
bool ReadConvertedClip(const char* caption, MemoryBlock& converted, int32_t* m);

}  // namespace kelvora
