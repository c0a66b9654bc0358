#include "resources/dialogs.h"

#include <algorithm>
#include <array>

namespace kelvora {
namespace {

using K = ControlKind;

// Builders for the rows below. A slider row is: label in column 0, slider in
// column 1, edit box in column 2, unit in column 3.
constexpr int8_t I8(int v) { return static_cast<int8_t>(v); }

constexpr ControlDesc Label(const char* text, int container, int row, int col, uint8_t flags = 0,
                            int colSpan = 1) {
  return {.text = text,
          .container = container,
          .row = I8(row),
          .col = I8(col),
          .colSpan = I8(colSpan),
          .flags = flags};
}
constexpr ControlDesc Unit(const char* text, int container, int row, int col = 3) {
  return {
      .kind = K::kUnitLabel, .text = text, .container = container, .row = I8(row), .col = I8(col)};
}
constexpr ControlDesc Value(int id, int container, int row, int col, int colSpan = 1) {
  return {.id = id,
          .kind = K::kReadOnlyText,
          .container = container,
          .row = I8(row),
          .col = I8(col),
          .colSpan = I8(colSpan)};
}
constexpr ControlDesc Slider(int id, int container, int row, int col = 1) {
  return {.id = id, .kind = K::kSlider, .container = container, .row = I8(row), .col = I8(col)};
}
constexpr ControlDesc Number(int id, const char* field, int container, int row, int col = 2,
                             int scale = 0) {
  return {.id = id,
          .kind = K::kNumberEdit,
          .container = container,
          .row = I8(row),
          .col = I8(col),
          .field = field,
          .scale = scale};
}
constexpr ControlDesc Check(int id, const char* text, const char* field, int container, int row,
                            int col = 0, int colSpan = 4) {
  return {.id = id,
          .kind = K::kCheckBox,
          .text = text,
          .container = container,
          .row = I8(row),
          .col = I8(col),
          .colSpan = I8(colSpan),
          .field = field};
}
constexpr ControlDesc Radio(int id, const char* text, const char* field, const char* value,
                            int container, int row, int col) {
  return {.id = id,
          .kind = K::kRadio,
          .text = text,
          .container = container,
          .row = I8(row),
          .col = I8(col),
          .field = field,
          .valueName = value};
}
constexpr ControlDesc Group(int id, const char* title, int row, int col, int colSpan = 4,
                            int rowSpan = 1) {
  return {.id = id,
          .kind = K::kGroupBox,
          .text = title,
          .row = I8(row),
          .col = I8(col),
          .rowSpan = I8(rowSpan),
          .colSpan = I8(colSpan)};
}
constexpr ControlDesc Panel(int id, int container, int row, int col, int colSpan) {
  return {.id = id,
          .kind = K::kPanel,
          .container = container,
          .row = I8(row),
          .col = I8(col),
          .colSpan = I8(colSpan)};
}
constexpr ControlDesc Button(int id, const char* text, int container, int row, int col,
                             const char* field = nullptr, const char* value = nullptr) {
  return {.id = id,
          .kind = K::kPushButton,
          .text = text,
          .container = container,
          .row = I8(row),
          .col = I8(col),
          .field = field,
          .valueName = value};
}
constexpr ControlDesc Ok(const char* text = "OK") {
  return {.id = 1, .kind = K::kPushButton, .text = text, .flags = kBottomButton | kDefaultButton};
}
constexpr ControlDesc Cancel() {
  return {.id = 2, .kind = K::kPushButton, .text = "ｷｬﾝｾﾙ", .col = 1, .flags = kBottomButton};
}
constexpr ControlDesc Icon(const char* picture, int container, int row, int col) {
  return {
      .kind = K::kIcon, .text = picture, .container = container, .row = I8(row), .col = I8(col)};
}
constexpr ControlDesc VSlider(int id, const char* field, int row, int col, int rowSpan) {
  return {.id = id,
          .kind = K::kSlider,
          .row = I8(row),
          .col = I8(col),
          .rowSpan = I8(rowSpan),
          .flags = kVertical,
          .field = field};
}
constexpr ControlDesc Area(int id, ControlKind kind, const char* field, int row, int col,
                           int rowSpan, int colSpan, int width, int height, uint8_t flags = 0) {
  return {.id = id,
          .kind = kind,
          .row = I8(row),
          .col = I8(col),
          .rowSpan = I8(rowSpan),
          .colSpan = I8(colSpan),
          .flags = flags,
          .field = field,
          .width = width,
          .height = height};
}
constexpr ControlDesc DropList(int id, int container, int row, int col, int colSpan) {
  return {.id = id,
          .kind = K::kDropList,
          .container = container,
          .row = I8(row),
          .col = I8(col),
          .colSpan = I8(colSpan)};
}
constexpr ControlDesc TextEdit(int id, const char* field, int container, int row, int col) {
  return {.id = id,
          .kind = K::kTextEdit,
          .container = container,
          .row = I8(row),
          .col = I8(col),
          .field = field};
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
constexpr std::array<ControlDesc, 6> EnvelopeEditor(const char* top, const char* middle,
                                                    const char* bottom) {
  return {
      Label(top, 0, 0, 0, kAlignTop | kAlignRight),
      Label(middle, 0, 1, 0, kAlignRight),
      Label(bottom, 0, 2, 0, kAlignBottom | kAlignRight),
      Area(110, K::kCurveArea, "points", 0, 1, 3, 1, 400, 256),
      Ok(),
      Cancel(),
  };
}

// One module of the parametric equalizer: its group, then controls from `base`.
constexpr std::array<ControlDesc, 14> EqModule(int group, const char* title, int row, int base,
                                               const char* use, const char* freq, const char* level,
                                               const char* width) {
  return {
      Group(group, title, row, 0),       Check(base, "使用する", use, group, 0),
      Label("周波数", group, 1, 0),      Slider(base + 1, group, 1),
      Number(base + 2, freq, group, 1),  Unit("Hz", group, 1),
      Label("レベル", group, 2, 0),      Slider(base + 3, group, 2),
      Number(base + 4, level, group, 2), Unit("dB", group, 2),
      Label("帯域", group, 3, 0),        Slider(base + 5, group, 3),
      Number(base + 6, width, group, 3), Unit("1/12Oct", group, 3),
  };
}

constexpr ControlDesc kDisplaySettings[] = {
    Label("表示密度", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "density", 0, 0),
    Group(900, "表示モード", 1, 0),
    Radio(300, "ポイント", "mode", "points", 900, 0, 0),
    Radio(301, "ライン", "mode", "lines", 900, 0, 1),
    Check(400, "スクロールバーに追従", "follow", 0, 2),
    Ok(),
    Cancel(),
};

constexpr ControlDesc kAbout[] = {
    Icon("program", 0, 0, 0),
    Label("Kelvora Version 1.01", 0, 0, 1),
    Ok(),
};

constexpr ControlDesc kDevices[] = {
    Label("使用するウェーブデバイスを選択します", 0, 0, 0, 0, 2),
    Group(900, "WAVE 出力", 1, 0, 1),
    Group(901, "WAVE 入力", 1, 1, 1),
    Label("デバイス名:", 900, 0, 0),
    DropList(101, 900, 0, 1, 3),
    Label("製造元ID:", 900, 1, 0),
    Value(102, 900, 1, 1),
    Label("製品ID:", 900, 1, 2),
    Value(103, 900, 1, 3),
    Label("バージョン:", 900, 2, 0),
    Value(104, 900, 2, 1),
    Label("チャネル数:", 900, 2, 2),
    Value(105, 900, 2, 3),
    Label("16Bits/Stereo:", 900, 3, 0),
    Value(110, 900, 3, 1, 3),
    Label("8Bits/Stereo:", 900, 4, 0),
    Value(111, 900, 4, 1, 3),
    Label("16Bits/Mono:", 900, 5, 0),
    Value(112, 900, 5, 1, 3),
    Label("8Bits/Mono:", 900, 6, 0),
    Value(113, 900, 6, 1, 3),
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
    Label("デバイス名:", 901, 0, 0),
    DropList(201, 901, 0, 1, 3),
    Label("製造元ID:", 901, 1, 0),
    Value(202, 901, 1, 1),
    Label("製品ID:", 901, 1, 2),
    Value(203, 901, 1, 3),
    Label("バージョン:", 901, 2, 0),
    Value(204, 901, 2, 1),
    Label("チャネル数:", 901, 2, 2),
    Value(205, 901, 2, 3),
    Label("16Bits/Stereo:", 901, 3, 0),
    Value(210, 901, 3, 1, 3),
    Label("8Bits/Stereo:", 901, 4, 0),
    Value(211, 901, 4, 1, 3),
    Label("16Bits/Mono:", 901, 5, 0),
    Value(212, 901, 5, 1, 3),
    Label("8Bits/Mono:", 901, 6, 0),
    Value(213, 901, 6, 1, 3),
    Label("Sync:", 901, 7, 0),
    Value(220, 901, 7, 1),
    Ok(),
    Cancel(),
};

constexpr ControlDesc kDistortion[] = {
    Label("デプス", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "depth", 0, 0),
    Unit("%", 0, 0),
    Group(900, "モード", 1, 0),
    Radio(202, "ファズ", "mode", "fuzz", 900, 0, 0),
    Radio(203, "オーバードライブ", "mode", "overdrive", 900, 0, 1),
    Ok(),
    Cancel(),
};

constexpr ControlDesc kEcho[] = {
    Label("ディレイタイム", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "delay", 0, 0),
    Unit("mSec", 0, 0),
    Label("エコーレベル", 0, 1, 0),
    Slider(202, 0, 1),
    Number(203, "level", 0, 1),
    Unit("%", 0, 1),
    Label("フィードバック", 0, 2, 0),
    Slider(204, 0, 2),
    Number(205, "feedback", 0, 2),
    Unit("%", 0, 2),
    Ok(),
    Cancel(),
};

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
    Ok(),
    Cancel(),
};

constexpr ControlDesc kFlanger[] = {
    Label("レベル", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "level", 0, 0),
    Unit("%", 0, 0),
    Label("デプス", 0, 1, 0),
    Slider(202, 0, 1),
    Number(203, "depth", 0, 1),
    Unit("%", 0, 1),
    Label("レート", 0, 2, 0),
    Slider(204, 0, 2),
    Number(205, "rate", 0, 2),
    Unit("1/10Hz", 0, 2),
    Check(208, "ステレオフランジ", "stereo", 0, 3),
    Ok(),
    Cancel(),
};

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

constexpr ControlDesc kNoise[] = {
    Label("音量", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "volume", 0, 0),
    Unit("%", 0, 0),
    Label("時間", 0, 1, 0),
    Slider(202, 0, 1),
    Number(203, "time", 0, 1),
    Unit("mSec", 0, 1),
    Check(204, "ステレオノイズ", "stereo", 0, 2),
    Ok(),
    Cancel(),
};

constexpr ControlDesc kPitch[] = {
    Label("ピッチ", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "pitch", 0, 0),
    Unit("%", 0, 0),
    Ok(),
    Cancel(),
};

constexpr ControlDesc kInsertSilence[] = {
    Label("時間", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "time", 0, 0),
    Unit("mSec", 0, 0),
    Ok(),
    Cancel(),
};

constexpr ControlDesc kTone[] = {
    Label("音量", 0, 0, 0),
    Slider(101, 0, 0),
    Number(102, "volume", 0, 0),
    Unit("%", 0, 0),
    Label("周波数", 0, 1, 0),
    Slider(103, 0, 1),
    Number(104, "frequency", 0, 1),
    Unit("Hz", 0, 1),
    Label("時間", 0, 2, 0),
    Slider(105, 0, 2),
    Number(106, "time", 0, 2),
    Unit("mSec", 0, 2),
    Group(900, "波形", 3, 0),
    Icon("square", 900, 0, 0),
    Radio(107, "矩形波", "wave", "square", 900, 0, 1),
    Icon("sine", 900, 0, 2),
    Radio(108, "正弦波", "wave", "sine", 900, 0, 3),
    Icon("sawtooth", 900, 0, 4),
    Radio(109, "鋸歯波", "wave", "sawtooth", 900, 0, 5),
    Group(901, "FM", 4, 0),
    Check(110, "ＦＭ使用", "fm", 901, 0),
    Label("デプス", 901, 1, 0),
    Slider(111, 901, 1),
    Number(112, "depth", 901, 1),
    Unit("%", 901, 1),
    Label("周波数レシオ", 901, 2, 0),
    Slider(113, 901, 2),
    Number(114, "ratio", 901, 2),
    Unit("1/10Freq", 901, 2),
    Ok(),
    Cancel(),
};

constexpr ControlDesc kTremolo[] = {
    Label("レベル", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "level", 0, 0),
    Unit("%", 0, 0),
    Label("レート", 0, 1, 0),
    Slider(202, 0, 1),
    Number(203, "rate", 0, 1),
    Unit("1/10Hz", 0, 1),
    Check(204, "ステレオオートパン", "autopan", 0, 2),
    Ok(),
    Cancel(),
};

constexpr auto kVolumeEnvelope = EnvelopeEditor("200", "100", "0");
constexpr auto kPanEnvelope = EnvelopeEditor("Left", "Center", "Right");
constexpr auto kPitchEnvelope = EnvelopeEditor("2f", "f", "f/2");

constexpr ControlDesc kVolume[] = {
    Label("音量", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "volume", 0, 0),
    Unit("%", 0, 0),
    Label("パンポット", 0, 1, 0),
    Slider(202, 0, 1),
    Number(203, "pan", 0, 1),
    Check(204, "リミッター", "limiter", 0, 2),
    Ok(),
    Cancel(),
};

constexpr ControlDesc kCompressor[] = {
    Label("出力レベル", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "output", 0, 0),
    Unit("%", 0, 0),
    Label("コンプレス率", 0, 1, 0),
    Slider(202, 0, 1),
    Number(203, "ratio", 0, 1),
    Unit("%", 0, 1),
    Ok(),
    Cancel(),
};

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

constexpr ControlDesc kNoiseGate[] = {
    Label("レベル", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "level", 0, 0),
    Unit("%", 0, 0),
    Label("アタックタイム", 0, 1, 0),
    Slider(202, 0, 1),
    Number(203, "attack", 0, 1),
    Unit("mSec", 0, 1),
    Label("リリースタイム", 0, 2, 0),
    Slider(204, 0, 2),
    Number(205, "release", 0, 2),
    Unit("mSec", 0, 2),
    Ok(),
    Cancel(),
};

constexpr ControlDesc kNoiseRemoval[] = {
    Label("ランダムノイズ", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "random", 0, 0),
    Label("インパルスノイズ", 0, 1, 0),
    Slider(202, 0, 1),
    Number(203, "impulse", 0, 1),
    Ok(),
    Cancel(),
};

constexpr auto kParametricEq =
    Join(EqModule(900, "モジュール1", 0, 100, "use1", "freq1", "level1", "width1"),
         EqModule(901, "モジュール2", 1, 110, "use2", "freq2", "level2", "width2"),
         EqModule(902, "モジュール3", 2, 120, "use3", "freq3", "level3", "width3"), OkCancel());

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

constexpr ControlDesc kReverb[] = {
    Label("リバーブタイム", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "time", 0, 0),
    Unit("mSec", 0, 0),
    Label("リバーブレベル", 0, 1, 0),
    Slider(202, 0, 1),
    Number(203, "level", 0, 1),
    Unit("%", 0, 1),
    Label("オリジナルレベル", 0, 2, 0),
    Slider(204, 0, 2),
    Number(205, "dry", 0, 2),
    Unit("%", 0, 2),
    Ok(),
    Cancel(),
};

constexpr ControlDesc kTimeStretch[] = {
    Label("再生速度", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "speed", 0, 0),
    Unit("%", 0, 0),
    Label("時間", 0, 1, 0),
    Panel(900, 0, 1, 1, 3),
    Value(10000, 900, 0, 0),
    Label("(mSec)   =>", 900, 0, 1),
    Value(10001, 900, 0, 2),
    Label("(mSec)", 900, 0, 3),
    Ok(),
    Cancel(),
};

constexpr ControlDesc kTranspose[] = {
    Label("トランスポーズ", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "cents", 0, 0),
    Unit("セント", 0, 0),
    Group(900, "ハーモナイズ", 1, 0),
    Check(202, "使用する", "harmonize", 900, 0, 0, 5),
    Label("元音", 900, 1, 0),
    Slider(203, 900, 1, 1),
    Label("効果音", 900, 1, 2),
    Number(204, "mix", 900, 1, 3),
    Unit("%", 900, 1, 4),
    Ok(),
    Cancel(),
};

constexpr ControlDesc kVibrato[] = {
    Label("デプス", 0, 0, 0),
    Slider(200, 0, 0),
    Number(201, "depth", 0, 0),
    Unit("%", 0, 0),
    Label("レート", 0, 1, 0),
    Slider(202, 0, 1),
    Number(203, "rate", 0, 1, 2, 10),
    Unit("Hz", 0, 1),
    Label("ディレイ", 0, 2, 0),
    Slider(204, 0, 2),
    Number(205, "delay", 0, 2, 2, 10),
    Unit("Sec", 0, 2),
    Ok(),
    Cancel(),
};

constexpr DialogDesc kDialogs[] = {
    {104, "表示設定", kDisplaySettings},
    {105, "バージョン情報...", kAbout},
    {106, "WAVE デバイスの選択", kDevices},
    {107, "ディストーション", kDistortion},
    {108, "エコー", kEcho},
    {109, "イコライザー", kGraphicEq},
    {110, "フランジャー", kFlanger},
    {111, "フォーマット変換", kFormatConversion},
    {112, "メロディペースト", kMelody},
    {113, "ノイズ", kNoise},
    {114, "ピッチ設定", kPitch},
    {115, "サイレント挿入", kInsertSilence},
    {116, "トーン", kTone},
    {117, "トレモロ", kTremolo},
    {118, "音量エンベロープ", kVolumeEnvelope},
    {119, "音量", kVolume},
    {120, "コンプレッサー", kCompressor},
    {121, "イコライザプリセット登録", kPresetRegistration},
    {122, "新規作成", kNew},
    {123, "ノイズゲート", kNoiseGate},
    {124, "ノイズ除去", kNoiseRemoval},
    {125, "パンエンベロープ", kPanEnvelope},
    {126, "パラメトリックイコライザ", kParametricEq},
    {127, "ピッチエンベロープ", kPitchEnvelope},
    {128, "録音", kRecording},
    {129, "リバーブ", kReverb},
    {130, "タイムストレッチ", kTimeStretch},
    {131, "トランスポーズ設定", kTranspose},
    {132, "ビブラート", kVibrato},
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
