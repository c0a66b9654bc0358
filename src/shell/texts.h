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
// Recovery copies: the start-up question (the document's path, the time of
// the copy), a copy that cannot be read (the folder), and the status notes.
inline constexpr const char* kRecoveryQuestionFormat =
    "[%s]の復旧用コピー(%s)があります\n復元しますか?";
inline constexpr const char* kRecoveryUnreadableFormat =
    "復旧用コピーを読み込めません\n%s\n破棄しますか?";
inline constexpr const char* kRecoveryNoSpace =
    "ディスクの空きが足りないため、復旧用コピーを作りませんでした";
inline constexpr const char* kRecoveryWriteFailed = "復旧用コピーを書き込めませんでした";

}  // namespace kelvora::texts
