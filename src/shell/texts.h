// Messages and captions of the application shell, byte for byte as shown.
#pragma once

namespace kelvora::texts {

inline constexpr const char* kProductName = "Kelvora";
inline constexpr const char* kTitleFormat = "%s -[%s]";
inline constexpr const char* kSaveChangesFormat = "[%s]は変更されています\n保存しますか?";
inline constexpr const char* kFormatStatus = "%ldHz %dBits %s";
inline constexpr const char* kLengthStatus = "%ld Bytes";
inline constexpr const char* kMono = "Mono";
inline constexpr const char* kStereo = "Stereo";
inline constexpr const char* kChannelsFormat = "%dch";
inline constexpr const char* kCaptionNewWindow = "新規ウィンドウ";
inline constexpr const char* kCannotOpenWindow = "ウィンドウが開けません";

}  // namespace kelvora::texts
