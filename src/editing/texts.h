// Messages and captions of the edit commands and the format conversion.
#pragma once

namespace kelvora::texts {

inline constexpr const char* kCaptionCopy = "COPY";
inline constexpr const char* kCaptionPaste = "PASTE";
inline constexpr const char* kCaptionPasteFormat = "ペースト";
inline constexpr const char* kCaptionMix = "ミックス";
inline constexpr const char* kWrongDataFormat = "データ形式が違います";
inline constexpr const char* kCaptionConvert = "フォーマット変換";
inline constexpr const char* kProgressConvert = "フォーマット変換";
inline constexpr const char* kConvertUnsupported =
    "このデータ形式からの変換はサポートされていません";
inline constexpr const char* kCaptionChangeFormat = "Change Format";
// Captions of our own, for a shortage at the undo copy.
inline constexpr const char* kCaptionCut = "切り取り";
inline constexpr const char* kCaptionDelete = "削除";
inline constexpr const char* kCaptionCrop = "選択範囲以外を消去";

}  // namespace kelvora::texts
