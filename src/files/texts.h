// Messages and captions of the file readers, writers and the open/save flow.
#pragma once

namespace kelvora::texts {

inline constexpr const char* kCaptionOpenFile = "ファイルを開く";
inline constexpr const char* kBadRiff = "データが異常です(RIFF)";
inline constexpr const char* kBadWave = "データが異常です(WAVE)";
inline constexpr const char* kBadData = "データが異常です";
inline constexpr const char* kUnsupportedWavFormat = "このフォーマットはサポートされていません";
inline constexpr const char* kCaptionDevaZedudo = "DevaZedudo";
inline constexpr const char* kUnsupportedExtension = "この形式はサポートしていません";
// Our own texts for what the readers and writers had no message for.
inline constexpr const char* kCaptionSave = "保存";
inline constexpr const char* kWriteFailed = "ファイルに書き込めませんでした\n%s";
inline constexpr const char* kTooLarge = "ファイルが大きすぎて読み込めません";

}  // namespace kelvora::texts
