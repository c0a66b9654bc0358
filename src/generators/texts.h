// Captions, progress names and messages of the generators, byte for byte.
#pragma once

namespace kelvora::texts {

inline constexpr const char* kCaptionGenerator = "VIZOVOV";  // a failed insertion
inline constexpr const char* kProgressNoise = "Noise";
inline constexpr const char* kProgressTone = "Tone";
inline constexpr const char* kProgressMelody = "Melody";

inline constexpr const char* kCaptionMelody = "メロディペースト";
inline constexpr const char* kCaptionMelodyShortage = "MELODY PASTE";
inline constexpr const char* kCaptionMelodyPaste = "ペースト";
inline constexpr const char* kMelodyNeedsClip =
    "クリップボードにデータを入れてから使用してください";
inline constexpr const char* kMelodyMalformed = "メロディ記述が異常です";

}  // namespace kelvora::texts
