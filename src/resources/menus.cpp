#include "resources/menus.h"

#include "resources/command_ids.h"

namespace kelvora {
namespace {

constexpr MenuItemDesc kFile[] = {
    {kCmdNewWindow, "新規ウィンドウ(&W)"},
    {0, nullptr},
    {kCmdNew, "新規作成(&N)...", "Ctrl+N"},
    {kCmdOpen, "開く(&O)...", "Ctrl+O"},
    {kCmdSave, "上書き保存(&S)", "Ctrl+S"},
    {kCmdSaveAs, "名前を付けて保存(&A)..."},
    {0, nullptr},
    {kCmdConvertFormat, "フォーマット変換(&F)..."},
    {0, nullptr},
    {kCmdPlay, "再生(&P)"},
    {kCmdPlayFromCursor, "カーソル位置から再生"},
    {kCmdLoopPlay, "ループ再生(&L)"},
    {kCmdStop, "停止(&B)"},
    {kCmdRecord, "録音(&R)"},
    {0, nullptr},
    {kCmdExit, "終了(&X)"},
    {0, nullptr},
};

constexpr MenuItemDesc kEdit[] = {
    {kCmdUndo, "元に戻す(&U)", "Ctrl+Z"},
    {0, nullptr},
    {kCmdCut, "切り取り(&T)", "Ctrl+X"},
    {kCmdCopy, "コピー(&C)", "Ctrl+C"},
    {kCmdPaste, "貼り付け(&P)", "Ctrl+V"},
    {kCmdDelete, "削除(&L)", "Del"},
    {kCmdCrop, "選択範囲以外を消去(&R)"},
    {kCmdMix, "クリップボードとのミックス(&M)"},
    {0, nullptr},
    {kCmdSelectAll, "全てを選択(&A)"},
};

constexpr MenuItemDesc kEffects[] = {
    {kCmdNoiseRemoval, "ノイズ除去(&J)"},
    {kCmdRemoveDc, "DC成分除去(&C)"},
    {kCmdNormalize, "ノーマライズ(&Z)"},
    {kCmdInvertPhase, "位相反転"},
    {0, nullptr},
    {kCmdSilenceSelection, "サイレント(&S)"},
    {kCmdFadeIn, "フェードイン(&I)"},
    {kCmdFadeOut, "フェードアウト(&O)"},
    {kCmdVolume, "音量(&L)"},
    {kCmdTremolo, "トレモロ(&T)"},
    {kCmdVolumeEnvelope, "エンベロープ(&N)"},
    {kCmdPanEnvelope, "パンエンベロープ(&A)"},
    {kCmdNoiseGate, "ノイズゲート"},
    {kCmdCompressor, "コンプレッサー"},
    {0, nullptr},
    {kCmdEcho, "エコー(&E)"},
    {kCmdReverb, "リバーブ(&B)"},
    {0, nullptr},
    {kCmdPitch, "ピッチ(&P)"},
    {kCmdPitchEnvelope, "ピッチエンベロープ"},
    {kCmdVibrato, "ビブラート(&V)"},
    {kCmdTimeStretch, "タイムストレッチ"},
    {kCmdTranspose, "トランスポーズ"},
    {0, nullptr},
    {kCmdReverse, "リバース"},
    {kCmdDistortion, "ディストーション"},
    {kCmdFlanger, "フランジャー"},
    {kCmdGraphicEq, "イコライザー"},
    {kCmdParametricEq, "パラメトリックイコライザ"},
    {0, nullptr},
    {kCmdLoudnessInfo, "ラウドネス情報"},
    {kCmdLoudnessNormalize, "ラウドネスノーマライズ"},
};

constexpr MenuItemDesc kGenerate[] = {
    {kCmdWhiteNoise, "ホワイトノイズ(&N)..."},
    {kCmdTone, "トーン(&T)..."},
    {kCmdInsertSilence, "サイレント(&S)..."},
    {kCmdMelodyPaste, "メロディペースト(&M)..."},
};

constexpr MenuItemDesc kDisplay[] = {
    {kCmdZoom4096, "1/4096"},
    {kCmdZoom1024, "1/1024"},
    {kCmdZoom256, "1/256"},
    {kCmdZoom64, "1/64"},
    {kCmdZoom16, "1/16"},
    {kCmdZoom4, "1/4"},
    {kCmdZoom1, "1/1"},
    {0, nullptr},
    {kCmdZoomIn, "ズームイン"},
    {kCmdZoomOut, "ズームアウト"},
    {kCmdFitAll, "全体を表示"},
    {kCmdFitSelection, "選択範囲を表示"},
    {0, nullptr},
    {kCmdSpectrogram, "スペクトログラム(&S)"},
    {0, nullptr},
    {kCmdVerticalZoom1, "縦ズーム ×1"},
    {kCmdVerticalZoom2, "縦ズーム ×2"},
    {kCmdVerticalZoom4, "縦ズーム ×4"},
    {kCmdVerticalZoom8, "縦ズーム ×8"},
};

constexpr MenuItemDesc kOptionsMenu[] = {
    {kCmdDevices, "デバイス(&P)..."},
    {kCmdDisplaySettings, "表示設定(&D)..."},
    {kCmdSpectrogramSettings, "スペクトログラム設定(&S)..."},
};

constexpr MenuItemDesc kHelp[] = {
    {kCmdHelp, "目次(&C)..."},
    {0, nullptr},
    {kCmdAbout, "バージョン情報(&A)"},
};

constexpr PopupDesc kMainMenu[] = {
    {"ﾌｧｲﾙ(&F)", kFile},     {"編集(&E)", kEdit},    {"効果(&T)", kEffects},
    {"作成(&C)", kGenerate}, {"表示(&D)", kDisplay}, {"設定(&O)", kOptionsMenu},
    {"ﾍﾙﾌﾟ(&H)", kHelp},
};

constexpr AcceleratorDesc kAccelerators[] = {
    {"Ctrl+Z", kCmdUndo},
    {"Ctrl+X", kCmdCut},
    {"Ctrl+C", kCmdCopy},
    {"Ctrl+V", kCmdPaste},
    {"Del", kCmdDelete},
    {"Ctrl+M", kCmdMix},
    {"Ctrl+N", kCmdNew},
    {"Ctrl+O", kCmdOpen},
    {"Ctrl+S", kCmdSave},
    // Keys of today's editors, beside the ones above.
    {"Space", kCmdPlayOrStop},
    {"Ctrl+A", kCmdSelectAll},
    {"Ctrl++", kCmdZoomIn},
    {"Ctrl+=", kCmdZoomIn},  // the same key without Shift on most layouts
    {"Ctrl+-", kCmdZoomOut},
    {"Home", kCmdCursorStart},
    {"End", kCmdCursorEnd},
    {"Left", kCmdCursorLeft},
    {"Right", kCmdCursorRight},
    {"Ctrl+Left", kCmdCursorLeftTenth},
    {"Ctrl+Right", kCmdCursorRightTenth},
    {"Shift+Home", kCmdExtendStart},
    {"Shift+End", kCmdExtendEnd},
    {"Shift+Left", kCmdExtendLeft},
    {"Shift+Right", kCmdExtendRight},
    {"Ctrl+Shift+Left", kCmdExtendLeftTenth},
    {"Ctrl+Shift+Right", kCmdExtendRightTenth},
};

constexpr ToolbarEntryDesc kToolbar[] = {
    {-1, 0},         {0, kCmdPlay}, {1, kCmdPlayFromCursor}, {2, kCmdLoopPlay}, {3, kCmdStop},
    {4, kCmdRecord}, {-1, 0},       {5, kCmdZoomIn},         {6, kCmdZoomOut},
};

}  // namespace

std::span<const PopupDesc> MainMenu() { return kMainMenu; }

MenuItemDesc BusyMenuItem() { return MenuItemDesc{kCmdBusyItem, "処理中..."}; }

std::span<const AcceleratorDesc> Accelerators() { return kAccelerators; }

std::span<const ToolbarEntryDesc> ToolbarEntries() { return kToolbar; }

}  // namespace kelvora
