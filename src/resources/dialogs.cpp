#include "resources/dialogs.h"

#include <algorithm>
#include <array>

namespace kelvora {
namespace {

using K = ControlKind;

// Builders for the rows below. The base: a control of `kind` in cell (row,
// col) of `container`'s grid.
constexpr ControlDesc At(K kind, int id, int container, int row, int col, int colSpan = 1,
                         int rowSpan = 1, uint8_t flags = 0) {
  ControlDesc c;
  c.id = id;
  c.kind = kind;
  c.container = container;
  c.row = static_cast<int8_t>(row);
  c.col = static_cast<int8_t>(col);
  c.rowSpan = static_cast<int8_t>(rowSpan);
  c.colSpan = static_cast<int8_t>(colSpan);
  c.flags = flags;
  return c;
}
constexpr ControlDesc Captioned(ControlDesc c, const char* text) {
  c.text = text;
  return c;
}
// The batch tool's field, and the value name of a choice.
constexpr ControlDesc ForField(ControlDesc c, const char* field, const char* value = nullptr) {
  c.field = field;
  c.valueName = value;
  return c;
}

constexpr ControlDesc Label(const char* text, int container, int row, int col, uint8_t flags = 0,
                            int colSpan = 1) {
  return Captioned(At(K::kLabel, kNoId, container, row, col, colSpan, 1, flags), text);
}
constexpr ControlDesc Unit(const char* text, int container, int row, int col = 3) {
  return Captioned(At(K::kUnitLabel, kNoId, container, row, col), text);
}
constexpr ControlDesc Value(int id, int container, int row, int col, int colSpan = 1) {
  return At(K::kReadOnlyText, id, container, row, col, colSpan);
}
constexpr ControlDesc Slider(int id, int container, int row, int col = 1) {
  return At(K::kSlider, id, container, row, col);
}
constexpr ControlDesc Number(int id, const char* field, int container, int row, int col = 2,
                             int scale = 0) {
  ControlDesc c = ForField(At(K::kNumberEdit, id, container, row, col), field);
  c.scale = scale;
  return c;
}
constexpr ControlDesc Check(int id, const char* text, const char* field, int container, int row,
                            int col = 0, int colSpan = 4) {
  return ForField(Captioned(At(K::kCheckBox, id, container, row, col, colSpan), text), field);
}
constexpr ControlDesc Radio(int id, const char* text, const char* field, const char* value,
                            int container, int row, int col) {
  return ForField(Captioned(At(K::kRadio, id, container, row, col), text), field, value);
}
constexpr ControlDesc Group(int id, const char* title, int row, int col, int colSpan = 4,
                            int rowSpan = 1) {
  return Captioned(At(K::kGroupBox, id, 0, row, col, colSpan, rowSpan), title);
}
constexpr ControlDesc Panel(int id, int container, int row, int col, int colSpan) {
  return At(K::kPanel, id, container, row, col, colSpan);
}
constexpr ControlDesc Button(int id, const char* text, int container, int row, int col,
                             const char* field = nullptr, const char* value = nullptr) {
  return ForField(Captioned(At(K::kPushButton, id, container, row, col), text), field, value);
}
constexpr ControlDesc Ok(const char* text = "OK") {
  return Captioned(At(K::kPushButton, 1, 0, 0, 0, 1, 1, kBottomButton | kDefaultButton), text);
}
constexpr ControlDesc Cancel() {
  return Captioned(At(K::kPushButton, 2, 0, 0, 1, 1, 1, kBottomButton), "ｷｬﾝｾﾙ");
}
constexpr ControlDesc Icon(const char* picture, int container, int row, int col) {
  return Captioned(At(K::kIcon, kNoId, container, row, col), picture);
}
constexpr ControlDesc VSlider(int id, const char* field, int row, int col, int rowSpan) {
  return ForField(At(K::kSlider, id, 0, row, col, 1, rowSpan, kVertical), field);
}
constexpr ControlDesc Area(int id, ControlKind kind, const char* field, int row, int col,
                           int rowSpan, int colSpan, int width, int height, uint8_t flags = 0) {
  ControlDesc c = ForField(At(kind, id, 0, row, col, colSpan, rowSpan, flags), field);
  c.width = width;
  c.height = height;
  return c;
}
constexpr ControlDesc DropList(int id, int container, int row, int col, int colSpan) {
  return At(K::kDropList, id, container, row, col, colSpan);
}
constexpr ControlDesc TextEdit(int id, const char* field, int container, int row, int col) {
  return ForField(At(K::kTextEdit, id, container, row, col), field);
}

// A slider row: label, slider `id`, its edit box `id + 1` and the unit.
constexpr std::array<ControlDesc, 4> SliderRow(const char* label, int id, const char* field,
                                               const char* unit, int row, int container = 0,
                                               int scale = 0) {
  return {Label(label, container, row, 0), Slider(id, container, row),
          Number(id + 1, field, container, row, 2, scale), Unit(unit, container, row)};
}
// The same without a unit.
constexpr std::array<ControlDesc, 3> BareSliderRow(const char* label, int id, const char* field,
                                                   int row) {
  return {Label(label, 0, row, 0), Slider(id, 0, row), Number(id + 1, field, 0, row)};
}

// Concatenates control lists, for the parts several dialogs share.
template <size_t... N>
constexpr std::array<ControlDesc, (N + ...)> Join(const std::array<ControlDesc, N>&... parts) {
  std::array<ControlDesc, (N + ...)> out{};
  size_t i = 0;
  ((std::copy(parts.begin(), parts.end(), out.begin() + i), i += N), ...);
  return out;
}

constexpr std::array<ControlDesc, 2> OkCancel(const char* ok = "OK") { return {Ok(ok), Cancel()}; }

// The preview toggle and the bypass box, then OK and Cancel.
constexpr std::array<ControlDesc, 2> PreviewControls() {
  constexpr uint8_t kRow = kBottomButton | kLeftToggle;
  return {Captioned(At(K::kPushButton, kPreviewToggle, 0, 0, 0, 1, 1, kRow), "試聴(&P)"),
          Captioned(At(K::kCheckBox, kBypassCheck, 0, 0, 1, 1, 1, kRow), "原音(&B)")};
}
constexpr std::array<ControlDesc, 4> PreviewOkCancel() {
  return Join(PreviewControls(), OkCancel());
}

// The three format groups of new, format conversion and recording.
constexpr std::array<ControlDesc, 11> FormatGroups() {
  return {
      Group(900, "サンプリングレート", 0, 0, 1),
      Group(901, "ビット数", 0, 1, 1),
      Group(902, "チャネル数", 0, 2, 1),
      Radio(101, "8.0K", "rate", "8000", 900, 0, 0),
      Radio(102, "11.025K", "rate", "11025", 900, 1, 0),
      Radio(103, "22.05K", "rate", "22050", 900, 2, 0),
      Radio(104, "44.1K", "rate", "44100", 900, 3, 0),
      Radio(201, "8 Bits", "bits", "8", 901, 0, 0),
      Radio(202, "16Bits", "bits", "16", 901, 1, 0),
      Radio(301, "モノラル", "channels", "1", 902, 0, 0),
      Radio(302, "ステレオ", "channels", "2", 902, 1, 0),
  };
}

// The envelope editors: the curve, with the meaning of its top, middle and
// bottom beside it.
constexpr std::array<ControlDesc, 8> EnvelopeEditor(const char* top, const char* middle,
                                                    const char* bottom) {
  return Join(
      std::array{Label(top, 0, 0, 0, kAlignTop | kAlignRight), Label(middle, 0, 1, 0, kAlignRight),
                 Label(bottom, 0, 2, 0, kAlignBottom | kAlignRight),
                 Area(110, K::kCurveArea, "points", 0, 1, 3, 1, 400, 256)},
      PreviewOkCancel());
}

// One module of the parametric equalizer: its group, then controls from `base`.
constexpr std::array<ControlDesc, 14> EqModule(int group, const char* title, int row, int base,
                                               const char* use, const char* freq, const char* level,
                                               const char* width) {
  return Join(std::array{Group(group, title, row, 0), Check(base, "使用する", use, group, 0)},
              SliderRow("周波数", base + 1, freq, "Hz", 1, group),
              SliderRow("レベル", base + 3, level, "dB", 2, group),
              SliderRow("帯域", base + 5, width, "1/12Oct", 3, group));
}

// One group of the device dialog: the device list and what it reports,
// controls from `base`.
constexpr std::array<ControlDesc, 18> DeviceGroup(int group, int base) {
  return {
      Label("デバイス名:", group, 0, 0),    DropList(base + 1, group, 0, 1, 3),
      Label("製造元ID:", group, 1, 0),      Value(base + 2, group, 1, 1),
      Label("製品ID:", group, 1, 2),        Value(base + 3, group, 1, 3),
      Label("バージョン:", group, 2, 0),    Value(base + 4, group, 2, 1),
      Label("チャネル数:", group, 2, 2),    Value(base + 5, group, 2, 3),
      Label("16Bits/Stereo:", group, 3, 0), Value(base + 10, group, 3, 1, 3),
      Label("8Bits/Stereo:", group, 4, 0),  Value(base + 11, group, 4, 1, 3),
      Label("16Bits/Mono:", group, 5, 0),   Value(base + 12, group, 5, 1, 3),
      Label("8Bits/Mono:", group, 6, 0),    Value(base + 13, group, 6, 1, 3),
  };
}

constexpr auto kDisplaySettings = Join(
    BareSliderRow("表示密度", 200, "density", 0),
    std::array{Group(900, "表示モード", 1, 0), Radio(300, "ポイント", "mode", "points", 900, 0, 0),
               Radio(301, "ライン", "mode", "lines", 900, 0, 1),
               Check(400, "スクロールバーに追従", "follow", 0, 2)},
    OkCancel());

constexpr ControlDesc kAbout[] = {
    Icon("program", 0, 0, 0),
    Label("Kelvora Version 1.01", 0, 0, 1),
    Label("ライセンス: GNU GPL 3 以降 (GPL-3.0-or-later)", 0, 1, 1),
    Ok(),
};

constexpr auto kDevices =
    Join(std::array{Label("使用するウェーブデバイスを選択します", 0, 0, 0, 0, 2),
                    Group(900, "WAVE 出力", 1, 0, 1), Group(901, "WAVE 入力", 1, 1, 1)},
         DeviceGroup(900, 100),
         std::array{
             Label("Pitch:", 900, 7, 0),
             Value(120, 900, 7, 1),
             Label("PlaybackRate:", 900, 7, 2),
             Value(121, 900, 7, 3),
             Label("Sync:", 900, 8, 0),
             Value(122, 900, 8, 1),
             Label("Volume:", 900, 8, 2),
             Value(123, 900, 8, 3),
             Label("LRVolume:", 900, 9, 0),
             Value(124, 900, 9, 1),
         },
         DeviceGroup(901, 200), std::array{Label("Sync:", 901, 7, 0), Value(220, 901, 7, 1)},
         OkCancel());

constexpr auto kDistortion =
    Join(SliderRow("デプス", 200, "depth", "%", 0),
         std::array{Group(900, "モード", 1, 0), Radio(202, "ファズ", "mode", "fuzz", 900, 0, 0),
                    Radio(203, "オーバードライブ", "mode", "overdrive", 900, 0, 1)},
         PreviewOkCancel());

constexpr auto kEcho =
    Join(SliderRow("ディレイタイム", 200, "delay", "mSec", 0),
         SliderRow("エコーレベル", 202, "level", "%", 1),
         SliderRow("フィードバック", 204, "feedback", "%", 2), PreviewOkCancel());

constexpr ControlDesc kGraphicEq[] = {
    Label("+18dB", 0, 0, 0, kAlignTop | kAlignRight),
    Label("0dB", 0, 1, 0, kAlignRight),
    Label("-18dB", 0, 2, 0, kAlignBottom | kAlignRight),
    VSlider(200, "bands", 0, 1, 3),
    VSlider(201, "bands", 0, 2, 3),
    VSlider(202, "bands", 0, 3, 3),
    VSlider(203, "bands", 0, 4, 3),
    VSlider(204, "bands", 0, 5, 3),
    VSlider(205, "bands", 0, 6, 3),
    VSlider(206, "bands", 0, 7, 3),
    VSlider(207, "bands", 0, 8, 3),
    VSlider(208, "bands", 0, 9, 3),
    Label("50", 0, 3, 1, kAlignCenter),
    Label("100", 0, 3, 2, kAlignCenter),
    Label("200", 0, 3, 3, kAlignCenter),
    Label("400", 0, 3, 4, kAlignCenter),
    Label("800", 0, 3, 5, kAlignCenter),
    Label("1.6K", 0, 3, 6, kAlignCenter),
    Label("3.2K", 0, 3, 7, kAlignCenter),
    Label("6.4K", 0, 3, 8, kAlignCenter),
    Label("12.8K", 0, 3, 9, kAlignCenter),
    Button(300, "ﾘｾｯﾄ", 0, 0, 10),
    Group(900, "プリセット", 1, 10, 1, 2),
    Button(301, "1", 900, 0, 0, "preset", "1"),
    Button(302, "2", 900, 0, 1, "preset", "2"),
    Button(303, "3", 900, 0, 2, "preset", "3"),
    Button(304, "4", 900, 1, 0, "preset", "4"),
    Button(305, "5", 900, 1, 1, "preset", "5"),
    Button(306, "6", 900, 1, 2, "preset", "6"),
    Button(310, "登録", 0, 3, 10),
    PreviewControls()[0],
    PreviewControls()[1],
    Ok(),
    Cancel(),
};

constexpr auto kFlanger =
    Join(SliderRow("レベル", 200, "level", "%", 0), SliderRow("デプス", 202, "depth", "%", 1),
         SliderRow("レート", 204, "rate", "1/10Hz", 2),
         std::array{Check(208, "ステレオフランジ", "stereo", 0, 3)}, PreviewOkCancel());

constexpr auto kFormatConversion = Join(FormatGroups(), OkCancel());
constexpr auto kNew = Join(FormatGroups(), OkCancel());

constexpr ControlDesc kMelody[] = {
    Group(900, "テンポ", 0, 0, 1),
    Slider(101, 900, 0, 0),
    Number(102, "tempo", 900, 0, 1),
    Group(901, "", 0, 1, 1),
    Radio(120, "2分", nullptr, nullptr, 901, 0, 0),
    Radio(121, "符点2分", nullptr, nullptr, 901, 0, 1),
    Radio(122, "4分", nullptr, nullptr, 901, 0, 2),
    Radio(123, "符点4分", nullptr, nullptr, 901, 0, 3),
    Radio(124, "8分", nullptr, nullptr, 901, 1, 0),
    Radio(125, "符点8分", nullptr, nullptr, 901, 1, 1),
    Radio(126, "16分", nullptr, nullptr, 901, 1, 2),
    Radio(127, "符点16分", nullptr, nullptr, 901, 1, 3),
    Panel(903, 0, 1, 0, 2),
    Label("メロディ", 903, 0, 0),
    TextEdit(103, "melody", 903, 0, 1),
    Area(110, K::kKeyboardArea, nullptr, 2, 0, 1, 2, 576, 80, kAlignCenter),
    Panel(902, 0, 3, 0, 2),
    Button(130, "休符", 902, 0, 0),
    Button(131, "後退", 902, 0, 1),
    Button(132, "ｸﾘｱ", 902, 0, 2),
    Ok(),
    Cancel(),
};

constexpr auto kNoise =
    Join(SliderRow("音量", 200, "volume", "%", 0), SliderRow("時間", 202, "time", "mSec", 1),
         std::array{Check(204, "ステレオノイズ", "stereo", 0, 2)}, OkCancel());

constexpr auto kPitch = Join(SliderRow("ピッチ", 200, "pitch", "%", 0), PreviewOkCancel());

constexpr auto kInsertSilence = Join(SliderRow("時間", 200, "time", "mSec", 0), OkCancel());

constexpr auto kTone =
    Join(SliderRow("音量", 101, "volume", "%", 0), SliderRow("周波数", 103, "frequency", "Hz", 1),
         SliderRow("時間", 105, "time", "mSec", 2),
         std::array{
             Group(900, "波形", 3, 0),
             Icon("square", 900, 0, 0),
             Radio(107, "矩形波", "wave", "square", 900, 0, 1),
             Icon("sine", 900, 0, 2),
             Radio(108, "正弦波", "wave", "sine", 900, 0, 3),
             Icon("sawtooth", 900, 0, 4),
             Radio(109, "鋸歯波", "wave", "sawtooth", 900, 0, 5),
             Group(901, "FM", 4, 0),
             Check(110, "ＦＭ使用", "fm", 901, 0),
         },
         SliderRow("デプス", 111, "depth", "%", 1, 901),
         SliderRow("周波数レシオ", 113, "ratio", "1/10Freq", 2, 901), OkCancel());

constexpr auto kTremolo =
    Join(SliderRow("レベル", 200, "level", "%", 0), SliderRow("レート", 202, "rate", "1/10Hz", 1),
         std::array{Check(204, "ステレオオートパン", "autopan", 0, 2)}, PreviewOkCancel());

constexpr auto kVolumeEnvelope = EnvelopeEditor("200", "100", "0");
constexpr auto kPanEnvelope = EnvelopeEditor("Left", "Center", "Right");
constexpr auto kPitchEnvelope = EnvelopeEditor("2f", "f", "f/2");

constexpr auto kVolume =
    Join(SliderRow("音量", 200, "volume", "%", 0), BareSliderRow("パンポット", 202, "pan", 1),
         std::array{Check(204, "リミッター", "limiter", 0, 2)}, PreviewOkCancel());

constexpr auto kCompressor =
    Join(SliderRow("出力レベル", 200, "output", "%", 0),
         SliderRow("コンプレス率", 202, "ratio", "%", 1), PreviewOkCancel());

constexpr ControlDesc kPresetRegistration[] = {
    Label("登録するプリセットNo.?", 0, 0, 0, 0, 6),
    Button(5, "1", 0, 1, 0),
    Button(6, "2", 0, 1, 1),
    Button(7, "3", 0, 1, 2),
    Button(8, "4", 0, 1, 3),
    Button(9, "5", 0, 1, 4),
    Button(10, "6", 0, 1, 5),
    Cancel(),
};

constexpr auto kNoiseGate =
    Join(SliderRow("レベル", 200, "level", "%", 0),
         SliderRow("アタックタイム", 202, "attack", "mSec", 1),
         SliderRow("リリースタイム", 204, "release", "mSec", 2), PreviewOkCancel());

constexpr auto kNoiseRemoval =
    Join(BareSliderRow("ランダムノイズ", 200, "random", 0),
         BareSliderRow("インパルスノイズ", 202, "impulse", 1), PreviewOkCancel());

constexpr auto kParametricEq = Join(
    EqModule(900, "モジュール1", 0, 100, "use1", "freq1", "level1", "width1"),
    EqModule(901, "モジュール2", 1, 110, "use2", "freq2", "level2", "width2"),
    EqModule(902, "モジュール3", 2, 120, "use3", "freq3", "level3", "width3"), PreviewOkCancel());

constexpr auto kRecording = Join(FormatGroups(),
                                 std::array{
                                     Group(903, "最大録音時間", 1, 0, 3),
                                     Slider(401, 903, 0, 0),
                                     Number(402, "time", 903, 0, 1),
                                     Unit("秒", 903, 0, 2),
                                     Panel(904, 0, 2, 0, 3),
                                     Label("必要メモリ：", 904, 0, 0),
                                     Value(500, 904, 0, 1),
                                     Unit("(KB)", 904, 0, 2),
                                 },
                                 OkCancel("スタート"));

constexpr auto kReverb = Join(SliderRow("リバーブタイム", 200, "time", "mSec", 0),
                              SliderRow("リバーブレベル", 202, "level", "%", 1),
                              SliderRow("オリジナルレベル", 204, "dry", "%", 2), PreviewOkCancel());

constexpr auto kTimeStretch = Join(SliderRow("再生速度", 200, "speed", "%", 0),
                                   std::array{
                                       Label("時間", 0, 1, 0),
                                       Panel(900, 0, 1, 1, 3),
                                       Value(10000, 900, 0, 0),
                                       Label("(mSec)   =>", 900, 0, 1),
                                       Value(10001, 900, 0, 2),
                                       Label("(mSec)", 900, 0, 3),
                                   },
                                   PreviewOkCancel());

constexpr auto kTranspose = Join(SliderRow("トランスポーズ", 200, "cents", "セント", 0),
                                 std::array{
                                     Group(900, "ハーモナイズ", 1, 0),
                                     Check(202, "使用する", "harmonize", 900, 0, 0, 5),
                                     Label("元音", 900, 1, 0),
                                     Slider(203, 900, 1, 1),
                                     Label("効果音", 900, 1, 2),
                                     Number(204, "mix", 900, 1, 3),
                                     Unit("%", 900, 1, 4),
                                 },
                                 PreviewOkCancel());

constexpr auto kVibrato = Join(
    SliderRow("デプス", 200, "depth", "%", 0), SliderRow("レート", 202, "rate", "Hz", 1, 0, 10),
    SliderRow("ディレイ", 204, "delay", "Sec", 2, 0, 10), PreviewOkCancel());

constexpr auto kSpectrogram =
    Join(std::array{Group(900, "窓のサイズ", 0, 0), Radio(300, "256", "window", "256", 900, 0, 0),
                    Radio(301, "512", "window", "512", 900, 0, 1),
                    Radio(302, "1024", "window", "1024", 900, 0, 2),
                    Radio(303, "2048", "window", "2048", 900, 1, 0),
                    Radio(304, "4096", "window", "4096", 900, 1, 1),
                    Radio(305, "8192", "window", "8192", 900, 1, 2), Group(901, "周波数軸", 1, 0),
                    Radio(310, "リニア", "axis", "linear", 901, 0, 0),
                    Radio(311, "対数", "axis", "log", 901, 0, 1), Group(902, "配色", 2, 0),
                    Radio(320, "カラー", "colours", "colour", 902, 0, 0),
                    Radio(321, "グレー", "colours", "grey", 902, 0, 1)},
         OkCancel());

// Read-only figures of the loudness meter, filled in by its handler.
constexpr ControlDesc kLoudnessInfo[] = {
    Label("対象:", 0, 0, 0),
    Value(300, 0, 0, 1),
    Label("統合ラウドネス:", 0, 1, 0),
    Value(301, 0, 1, 1),
    Label("ラウドネスレンジ:", 0, 2, 0),
    Value(302, 0, 2, 1),
    Label("サンプルピーク:", 0, 3, 0),
    Value(303, 0, 3, 1),
    Label("トゥルーピーク:", 0, 4, 0),
    Value(304, 0, 4, 1),
    Label("最大モーメンタリー:", 0, 5, 0),
    Value(305, 0, 5, 1),
    Label("最大ショートターム:", 0, 6, 0),
    Value(306, 0, 6, 1),
    Ok(),
};

// The measured figures above, the gain and where it leads below.
constexpr auto kLoudnessNormalize =
    Join(std::array{Label("測定値", 0, 0, 0), Value(300, 0, 0, 1, 3)},
         SliderRow("目標ラウドネス", 200, "target", "LUFS", 1, 0, 10),
         SliderRow("トゥルーピーク上限", 202, "ceiling", "dBTP", 2, 0, 10),
         std::array{Label("結果", 0, 3, 0), Value(301, 0, 3, 1, 3)}, PreviewOkCancel());

constexpr DialogDesc kDialogs[] = {
    {kDialogDisplaySettings, "表示設定", kDisplaySettings},
    {kDialogAbout, "バージョン情報...", kAbout},
    {kDialogDevices, "WAVE デバイスの選択", kDevices},
    {kDialogDistortion, "ディストーション", kDistortion},
    {kDialogEcho, "エコー", kEcho},
    {kDialogGraphicEq, "イコライザー", kGraphicEq},
    {kDialogFlanger, "フランジャー", kFlanger},
    {kDialogConvert, "フォーマット変換", kFormatConversion},
    {kDialogMelody, "メロディペースト", kMelody},
    {kDialogNoise, "ノイズ", kNoise},
    {kDialogPitch, "ピッチ設定", kPitch},
    {kDialogInsertSilence, "サイレント挿入", kInsertSilence},
    {kDialogTone, "トーン", kTone},
    {kDialogTremolo, "トレモロ", kTremolo},
    {kDialogVolumeEnvelope, "音量エンベロープ", kVolumeEnvelope},
    {kDialogVolume, "音量", kVolume},
    {kDialogCompressor, "コンプレッサー", kCompressor},
    {kDialogPresetRegistration, "イコライザプリセット登録", kPresetRegistration},
    {kDialogNew, "新規作成", kNew},
    {kDialogNoiseGate, "ノイズゲート", kNoiseGate},
    {kDialogNoiseRemoval, "ノイズ除去", kNoiseRemoval},
    {kDialogPanEnvelope, "パンエンベロープ", kPanEnvelope},
    {kDialogParametricEq, "パラメトリックイコライザ", kParametricEq},
    {kDialogPitchEnvelope, "ピッチエンベロープ", kPitchEnvelope},
    {kDialogRecording, "録音", kRecording},
    {kDialogReverb, "リバーブ", kReverb},
    {kDialogTimeStretch, "タイムストレッチ", kTimeStretch},
    {kDialogTranspose, "トランスポーズ設定", kTranspose},
    {kDialogVibrato, "ビブラート", kVibrato},
    {kDialogSpectrogram, "スペクトログラム設定", kSpectrogram},
    {kDialogLoudnessInfo, "ラウドネス情報", kLoudnessInfo},
    {kDialogLoudnessNormalize, "ラウドネスノーマライズ", kLoudnessNormalize},
};

}  // namespace

std::span<const DialogDesc> AllDialogs() { return kDialogs; }

const DialogDesc* FindDialog(int id) {
  for (const DialogDesc& d : kDialogs)
    if (d.id == id) return &d;
  return nullptr;
}

const ControlDesc* FindControl(const DialogDesc& dialog, int id) {
  for (const ControlDesc& c : dialog.controls)
    if (c.id == id) return &c;
  return nullptr;
}

}  // namespace kelvora
