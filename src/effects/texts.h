// Captions, progress names and messages of the effects, byte for byte as shown.
#pragma once

namespace kelvora::texts {

// Display names: the caption of an effect's messages and its progress name.
inline constexpr const char* kNameVolume = "音量";
inline constexpr const char* kNameFadeIn = "フェードイン";
inline constexpr const char* kNameFadeOut = "フェードアウト";
inline constexpr const char* kNameNormalize = "ノーマライズ";
inline constexpr const char* kNameReverse = "リバース";
inline constexpr const char* kNameInvertPhase = "位相反転";
inline constexpr const char* kNameRemoveDc = "DC成分除去";
inline constexpr const char* kNameSilence = "サイレント";
inline constexpr const char* kNameNoiseGate = "ノイズゲート";
inline constexpr const char* kNameCompressor = "コンプレッサー";
inline constexpr const char* kNameDistortion = "ディストーション";
inline constexpr const char* kNameNoiseRemoval = "ノイズ除去";
inline constexpr const char* kNameEcho = "エコー";
inline constexpr const char* kNameReverb = "リバーブ";
inline constexpr const char* kNameFlanger = "フランジャー";
inline constexpr const char* kNameVibrato = "ビブラート";
inline constexpr const char* kNameTremolo = "トレモロ";
inline constexpr const char* kNamePitch = "ピッチ";
inline constexpr const char* kNameTimeStretch = "タイムストレッチ";
inline constexpr const char* kNameTranspose = "トランスポーズ";
// The equalizers' captions, and their progress names where they differ.
inline constexpr const char* kNameGraphicEq = "EQ";
inline constexpr const char* kProgressGraphicEq = "グラフィックイコライザ";
inline constexpr const char* kNameParametricEq = "パラメトリックEQ";
inline constexpr const char* kNameVolumeEnvelope = "エンベロープ";
inline constexpr const char* kNamePanEnvelope = "パンエンベロープ";
inline constexpr const char* kNamePitchEnvelope = "ピッチエンベロープ";
inline constexpr const char* kNameLoudnessInfo = "ラウドネス情報";
inline constexpr const char* kNameLoudnessNormalize = "ラウドネスノーマライズ";

inline constexpr const char* kMonoPanIgnored =
    "このデータはモノラルデータです。\nパンポットの設定は無視されます。";
inline constexpr const char* kOneChannelPanIgnored =
    "片方のチャンネルしか選択されていません。\nパンポットの設定は無視されます。";
inline constexpr const char* kStereoOnly =
    "この機能はステレオデータの場合のみ使用できます\nまず [フォーマット変換] "
    "でステレオデータに変換してください";

// The value tips of the equalizer's sliders and the envelope editor's points.
inline constexpr const char* kEqGainTipFormat = "%+.1f dB";
inline constexpr const char* kEnvelopeTipFormat = "%.3f秒 %d%%";
inline constexpr const char* kPanEnvelopeTipFormat = "%.3f秒 L %d%% R %d%%";
// Loudness: what the meter could not measure, and the readouts.
inline constexpr const char* kLoudnessRateTooLow =
    "サンプリングレートが低すぎるため、ラウドネスを測定できません。\n"
    "4000Hz 以上のサウンドで使用してください。";
inline constexpr const char* kLoudnessTooShort =
    "選択範囲が短すぎるため、ラウドネスを測定できません。\n400ミリ秒以上を選択してください。";
inline constexpr const char* kLoudnessTooQuiet =
    "選択範囲が静かすぎるため、ラウドネスを測定できません。\n"
    "-70 LUFS より大きな音が含まれていません。";
inline constexpr const char* kLoudnessNotMeasured = "測定できません";
inline constexpr const char* kLoudnessWhole = "全体";
inline constexpr const char* kLoudnessSelection = "選択範囲";
inline constexpr const char* kLoudnessSeconds = "秒";
inline constexpr const char* kLoudnessTruePeak = "トゥルーピーク";
inline constexpr const char* kLoudnessGain = "ゲイン";
inline constexpr const char* kLoudnessResultIs = "で";
inline constexpr const char* kLoudnessResultEnd = "になります";
inline constexpr const char* kLoudnessLimited = "(トゥルーピーク上限のためゲインを下げました)";

}  // namespace kelvora::texts
