// Messages and captions of the document subsystem, byte for byte as shown.
#pragma once

namespace kelvora::texts {

inline constexpr const char* kProductName = "Kelvora";

inline constexpr const char* kCaptionDeva = "DEVA Zedudo";
inline constexpr const char* kNoSelection = "範囲が選択されていません";
inline constexpr const char* kOutOfMemory = "メモリーが足りません";
inline constexpr const char* kProgressFormat = "%s:%3d%%";

}  // namespace kelvora::texts
