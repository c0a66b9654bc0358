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

// File dialog filters: the text shown, and the patterns it stands for.
inline constexpr const char* kOpenFilters[4][2] = {
    {".WAV File (*.wav)", "*.wav"},
    {".AU File (*.au)", "*.au"},
    {"AIF File (*.aif;*.aiff)", "*.aif;*.aiff"},
    {"ALL (*.*)", "*.*"},
};
inline constexpr const char* kSaveFilters[4][2] = {
    {"WAVE (pcm) Format (*.wav)", "*.wav"},
    {"WAVE (ulaw) Format (*.wav)", "*.wav"},
    {"AU (ulaw) Format (*.au)", "*.au"},
    {"AIFF Format (*.aiff)", "*.aif;*.aiff"},
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

}  // namespace kelvora::texts
