// Messages and captions of the application shell, byte for byte as shown.
#pragma once

#include "document/texts.h"

namespace kelvora::texts {

inline constexpr const char* kTitleFormat = "%s -[%s]";
inline constexpr const char* kFormatStatus = "%ldHz %dBits %s";
inline constexpr const char* kLengthStatus = "%ld Bytes";
inline constexpr const char* kMono = "Mono";
inline constexpr const char* kStereo = "Stereo";
inline constexpr const char* kChannelsFormat = "%dch";
inline constexpr const char* kCaptionNewWindow = "新規ウィンドウ";
inline constexpr const char* kCannotOpenWindow = "ウィンドウが開けません";

}  // namespace kelvora::texts
