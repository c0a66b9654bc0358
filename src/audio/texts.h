// Messages and captions of playback, recording and device selection, byte
// for byte as shown.
#pragma once

namespace kelvora::texts {

inline constexpr const char* kAudioCaption = "Kelvora";
inline constexpr const char* kBadDeviceId = "デバイスIDが異常です";
inline constexpr const char* kDeviceAllocated = "指定のリソースは既に使用されています";
inline constexpr const char* kBadFormat = "WAVEデバイスでサポートされていないデータ形式です";
inline constexpr const char* kSyncDriver = "同期デバイスドライバは使用できません";
inline constexpr const char* kCannotOpenDevice = "WAVEデバイスがオープンできません";
inline constexpr const char* kPrepareError = "WaveIn Prepare Error";
inline constexpr const char* kAddBufferError = "WaveIn AddBufferError";
inline constexpr const char* kPreparing = "準備中．．．";
inline constexpr const char* kRecordingStatus = "録音中";
inline constexpr const char* kRecordingTimeFormat = "録音中 %d:%02d";
inline constexpr const char* kPeakFormat = "ピーク %.1f dBFS";
inline constexpr const char* kPeakSilent = "ピーク -∞ dBFS";
inline constexpr const char* kDefaultDevice = "既定のデバイス";

}  // namespace kelvora::texts
