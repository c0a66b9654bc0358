// Messages and captions of the document subsystem, byte for byte as shown.
#pragma once

namespace kelvora::texts {

inline constexpr const char* kProductName = "Kelvora";

inline constexpr const char* kCaptionDeva = "DEVA Zedudo";
inline constexpr const char* kNoSelection = "範囲が選択されていません";
inline constexpr const char* kOutOfMemory = "メモリーが足りません";
inline constexpr const char* kProgressFormat = "%s:%3d%%";
// An operation that would rewrite samples of a width it cannot compute on;
// rate, bits and channels.
inline constexpr const char* kNotEditableConvertFormat =
    "このサンプル形式(%luHz %uBits %uch)のデータは編集できません\n"
    "[ファイル]-[フォーマット変換]で8ビットか16ビットに形式変換してから使ってください";
inline constexpr const char* kNotEditableNorConvertibleFormat =
    "このサンプル形式(%luHz %uBits %uch)のデータは編集も形式変換もできません";

}  // namespace kelvora::texts
