// Messages and captions of the file readers, writers and the open/save flow.
#pragma once

namespace kelvora::texts {

inline constexpr const char* kCaptionOpenFile = "ファイルを開く";
inline constexpr const char* kBadRiff = "データが異常です(RIFF)";
inline constexpr const char* kBadWave = "データが異常です(WAVE)";
inline constexpr const char* kBadData = "データが異常です";
inline constexpr const char* kUnsupportedWavFormat = "このフォーマットはサポートされていません";
inline constexpr const char* kBadForm = "データが異常です(FORM)";
inline constexpr const char* kBadAiff = "データが異常です(AIFF)";
inline constexpr const char* kChunkNotFound = "データが異常です(Chunkが見つかりません)";
inline constexpr const char* kAuUnsupported = "この形式はサポートしていません";
inline constexpr const char* kCaptionDevaZedudo = "DevaZedudo";
inline constexpr const char* kUnsupportedExtension = "この形式はサポートしていません";
// A file that cannot be opened for reading: its name, then why.
inline constexpr const char* kCannotOpenFormat = "[%s]を開けません\n%s";
inline constexpr const char* kNoReadPermission = "読み取りの権限がありません";
inline constexpr const char* kFileNotFound = "ファイルが見つかりません";
inline constexpr const char* kNotARegularFile = "通常のファイルではありません";
inline constexpr const char* kFileUnreadable = "ファイルを読み込めません";
// Said once after loading samples of a width the program only holds, with
// what it does with them; rate, bits and channels. Format conversion takes
// the first kind, not the second.
inline constexpr const char* kLayoutNotEditableFormat =
    "このサンプル形式(%luHz %uBits "
    "%uch)は波形の表示も、再生・エフェクト・生成・貼り付け・ミックスも"
    "できません\n"
    "[ファイル]-[フォーマット変換]で8ビットか16ビットに形式変換すると編集できます\n"
    "同じ形式で保存すると元のデータのまま書き戻されます";
inline constexpr const char* kLayoutNorConvertibleFormat =
    "このサンプル形式(%luHz %uBits "
    "%uch)は波形の表示も、再生・エフェクト・生成・貼り付け・ミックスも、"
    "形式変換もできません\n"
    "同じ形式で保存すると元のデータのまま書き戻されます";
inline constexpr const char* kAuRateQuestion =
    ".au(ulaw) ファイルで一般的に使用される 8KHzサンプリングではありません\n"
    "8KHzに変換するには[ファイル]-[フォーマット変換]を使用してください\n"
    "このまま保存してよろしいですか?";
inline constexpr const char* kCaptionSave = "保存";
inline constexpr const char* kSaveChangesFormat = "[%s]は変更されています\n保存しますか?";
inline constexpr const char* kNoDataQuestion = "データがありませんが、保存してよろしいですか";
inline constexpr const char* kCaptionNew = "新規作成";
inline constexpr const char* kProgressLoadAiff = "LoadAIF";
inline constexpr const char* kProgressLoad = "読み込み中";
inline constexpr const char* kProgressSave = "保存中";

// File dialog filters: the text shown, and the patterns it stands for.
inline constexpr const char* kOpenFilters[4][2] = {
    {".WAV File (*.wav)", "*.wav"},
    {".AU File (*.au)", "*.au"},
    {"AIF File (*.aif;*.aiff)", "*.aif;*.aiff"},
    {"ALL (*.*)", "*.*"},
};
inline constexpr const char* kSaveFilters[8][2] = {
    {"WAVE (pcm) Format (*.wav)", "*.wav"},
    {"WAVE (ulaw) Format (*.wav)", "*.wav"},
    {"AU (ulaw) Format (*.au)", "*.au"},
    {"AIFF Format (*.aiff)", "*.aif;*.aiff"},
    {"FLAC (*.flac)", "*.flac"},
    {"Ogg Vorbis (*.ogg)", "*.ogg;*.oga"},
    {"Opus (*.opus)", "*.opus"},
    {"MP3 (*.mp3)", "*.mp3"},
};

// Our own texts for what the readers and writers had no message for.
inline constexpr const char* kWriteFailed = "ファイルに書き込めませんでした\n%s";
inline constexpr const char* kNotRegularFile = "通常のファイルではありません";
inline constexpr const char* kDanglingLink = "リンク先のファイルがありません";
inline constexpr const char* kTooLarge = "ファイルが大きすぎて読み込めません";
inline constexpr const char* kBadComm = "データが異常です(COMM)";
inline constexpr const char* kBadRate = "データが異常です(サンプリングレート)";
inline constexpr const char* kCannotSaveFormat = "このフォーマットでは保存できません";
inline constexpr const char* kOverwriteQuestion = "%s は既に存在します。\n上書きしますか?";

// Today's formats, read through the intake and written through the encoders.
// The open filter for them: this text, then their patterns.
inline constexpr const char* kOtherSoundsFilter = "その他のサウンドファイル";
inline constexpr const char* kAllSoundsFilter = "サウンドファイル";
inline constexpr const char* kIntakeUnrecognised = "この形式のファイルは読み込めません";
inline constexpr const char* kProgressLoadIntake = "読み込み中";
inline constexpr const char* kSamples20 = "20ビット";
inline constexpr const char* kSamples24 = "24ビット";
inline constexpr const char* kSamples32 = "32ビット";
inline constexpr const char* kSamplesFloat = "32ビット浮動小数点";
inline constexpr const char* kSamplesDouble = "64ビット浮動小数点";
// The one notice after a load that changed something: the source (format,
// samples, channels, rate), then one line for each change.
inline constexpr const char* kIntakeNoticeFormat = "読み込むときにサウンドを変換しました(元: %s)";
inline constexpr const char* kIntakeDithered = "・16ビットに丸めました(ディザあり)";
inline constexpr const char* kIntakeClippedFormat =
    "・最大値を超えた%lld個のサンプルをクリップしました";
inline constexpr const char* kIntakeMixedFormat = "・%dチャンネルをステレオにミックスしました";
inline constexpr const char* kIntakeLossy = "・非可逆圧縮のファイルです";
inline constexpr const char* kIntakeTruncated =
    "・ファイルが途中で壊れているため、読めたところまでを読み込みました";
// Save over a file that came in changed: what the file loses, then the
// question (Yes saves, No goes to Save As, Cancel stops).
inline constexpr const char* kLossySaveFormat =
    "[%s]に保存すると、元のファイルにあったものが失われます\n%s\n"
    "このまま保存しますか?\n(「いいえ」で別の名前を付けて保存します)";
inline constexpr const char* kLossReencoded = "・非可逆圧縮でもう一度圧縮します";
inline constexpr const char* kLossMuLaw = "・μ-law(8ビット)で書き込みます";
inline constexpr const char* kLossSamplesFormat = "・元の%sのサンプルを16ビットで書き込みます";
inline constexpr const char* kLossChannelsFormat = "・元の%dチャンネルを2チャンネルで書き込みます";
inline constexpr const char* kLossTruncated = "・元のファイルの読めなかった部分は書き込まれません";
// The encoders' refusals: the format's name, then why.
inline constexpr const char* kEncodeRefusedFormat = "%s では保存できません\n%s";
inline constexpr const char* kEncodeChannels = "チャンネル数が多すぎます";
inline constexpr const char* kEncodeSampleWidth = "このサンプル形式は書き込めません";
inline constexpr const char* kEncodeFailed = "エンコードに失敗しました";
inline constexpr const char* kEncodeEmpty = "サウンドが空です";

}  // namespace kelvora::texts
