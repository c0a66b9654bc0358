// The kinds of sound file the program knows by their names: the extensions
// it reads, with the reader that gets each first, and the kinds it writes
// with their extensions. The open dialog's filters, the open flow and the
// batch tool's output names all come from these two lists.
#pragma once

#include <cstdint>
#include <string>

#include "document/sound_document.h"

namespace kelvora {

enum class ReadRoute { kWav, kAiff, kAu, kIntake };

struct ReadableExtension {
  const char* extension;  // with the dot, lower case
  ReadRoute route;
};

// In the order the open dialog lists them: the program's own formats first.
inline constexpr ReadableExtension kReadableExtensions[] = {
    {".wav", ReadRoute::kWav},     {".aif", ReadRoute::kAiff},    {".aiff", ReadRoute::kAiff},
    {".au", ReadRoute::kAu},       {".flac", ReadRoute::kIntake}, {".ogg", ReadRoute::kIntake},
    {".oga", ReadRoute::kIntake},  {".opus", ReadRoute::kIntake}, {".mp3", ReadRoute::kIntake},
    {".w64", ReadRoute::kIntake},  {".rf64", ReadRoute::kIntake}, {".caf", ReadRoute::kIntake},
    {".aifc", ReadRoute::kIntake},
};

// Whether `path` ends with `extension`, in any case, with a name before it.
bool HasExtension(const std::string& path, const char* extension);

// The entry whose extension ends `path`, or null.
const ReadableExtension* FindReadableExtension(const std::string& path);

// "*.wav;*.aif;..." for every readable extension, or only for those the
// intake reads first.
std::string ReadablePatterns(bool intakeOnly = false);

struct WritableKind {
  int32_t kind;
  const char* extension;  // what Save As appends
  const char* name;       // the format's name, for messages and --info
};

inline constexpr WritableKind kWritableKinds[] = {
    {kFileKindWavPcm, ".wav", "WAV"}, {kFileKindWavMuLaw, ".wav", "WAV"},
    {kFileKindAu, ".au", "AU"},       {kFileKindAiff, ".aiff", "AIFF"},
    {kFileKindFlac, ".flac", "FLAC"}, {kFileKindOggVorbis, ".ogg", "Ogg Vorbis"},
    {kFileKindOpus, ".opus", "Opus"}, {kFileKindMp3, ".mp3", "MP3"},
    {kFileKindW64, ".w64", "W64"},    {kFileKindCaf, ".caf", "CAF"},
};

// The entry of `kind`, or null.
const WritableKind* FindWritableKind(int32_t kind);

// The kind a name to write asks for by its extension (.aif counts as AIFF,
// .oga as Ogg Vorbis), or 0.
int32_t KindForOutputName(const std::string& path);

}  // namespace kelvora
