// Status texts and labels of the waveform view and the overview, byte for
// byte as shown.
#pragma once

namespace kelvora::texts {

inline constexpr const char* kTimeFormat = "%d.%03d";
// Status part 3: the position under the mouse.
inline constexpr const char* kMousePositionFormat = "%s(Sec) %ld(Samples)";
// Status part 2: the cursor, or the selection.
inline constexpr const char* kCursorFormat = "Cur :%s(Sec) %ld(Samples)";
inline constexpr const char* kSelectionFormat = "Sel :%s-%s(Sec) %ld-%ld(Samples)";
// Time-axis labels: seconds and tenths, or whole seconds.
inline constexpr const char* kTenthsLabelFormat = "%d.%d";
inline constexpr const char* kSecondsLabelFormat = "%d";
// Beside the vertical scale when magnified: the part of full scale that
// the top of each lane stands for.
inline constexpr const char* kVerticalScaleFormat = "1/%d";
inline constexpr const char* kLeftLane = "L";
inline constexpr const char* kRightLane = "R";
// The spectrogram: the frequency and note under the mouse (after the
// position in status part 3) and the ruler's labels.
inline constexpr const char* kFrequencyFormat = "%.0f Hz";
inline constexpr const char* kLowFrequencyFormat = "%.1f Hz";
inline constexpr const char* kNoteFormat = "  %s%d %+dセント";
inline constexpr const char* kHertzLabelFormat = "%g";
inline constexpr const char* kKilohertzLabelFormat = "%gk";

}  // namespace kelvora::texts
