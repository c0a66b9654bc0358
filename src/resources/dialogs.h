// Every dialog of the program, described once as data: its controls with
// their ids, kinds, texts and places, and for the batch tool the field name
// of each value control and the value names of choices. The Qt host builds
// real widgets from it, the headless host plain values; the dialog
// procedures address the controls by id.
#pragma once

#include <cstdint>
#include <span>

namespace kelvora {

// Every dialog's number, named once; the descriptions and the operations
// that open them use the names.
enum DialogId : int {
  kDialogDisplaySettings = 104,
  kDialogAbout = 105,
  kDialogDevices = 106,
  kDialogDistortion = 107,
  kDialogEcho = 108,
  kDialogGraphicEq = 109,
  kDialogFlanger = 110,
  kDialogConvert = 111,
  kDialogMelody = 112,
  kDialogNoise = 113,
  kDialogPitch = 114,
  kDialogInsertSilence = 115,
  kDialogTone = 116,
  kDialogTremolo = 117,
  kDialogVolumeEnvelope = 118,
  kDialogVolume = 119,
  kDialogCompressor = 120,
  kDialogPresetRegistration = 121,
  kDialogNew = 122,
  kDialogNoiseGate = 123,
  kDialogNoiseRemoval = 124,
  kDialogPanEnvelope = 125,
  kDialogParametricEq = 126,
  kDialogPitchEnvelope = 127,
  kDialogRecording = 128,
  kDialogReverb = 129,
  kDialogTimeStretch = 130,
  kDialogTranspose = 131,
  kDialogVibrato = 132,
  // Beyond the first set: 140-149.
  kDialogLoudnessInfo = 140,
  kDialogLoudnessNormalize = 141,
  kDialogSpectrogram = 145,
};

enum class ControlKind : uint8_t {
  kLabel,         // static text
  kUnitLabel,     // static text right of an edit box
  kReadOnlyText,  // static text a procedure writes numbers into
  kGroupBox,      // framed, titled container
  kPanel,         // invisible container, to put several controls in one cell
  kSlider,        // scroll bar
  kNumberEdit,    // one-line edit box holding a number
  kTextEdit,      // one-line edit box holding text
  kCheckBox,      // plain: a click only notifies; the procedure sets the state
  kRadio,         // automatic: a click checks it and unchecks its group
  kPushButton,
  kIcon,
  kDropList,      // drop-down list
  kKeyboardArea,  // drawing area: the melody keyboard
  kCurveArea,     // drawing area: an envelope curve the user drags points of
};

// Layout flags.
enum : uint8_t {
  kVertical = 1,       // slider: vertical, lowest value at the top
  kBottomButton = 2,   // push button: in the button row at the bottom
  kDefaultButton = 4,  // push button: pressed by Enter
  kAlignTop = 8,       // in its cell
  kAlignBottom = 16,
  kAlignCenter = 32,
  kAlignRight = 64,
  // In the bottom row, left of the buttons that end the dialog; a push
  // button with it stays down while checked (its procedure sets the state).
  kLeftToggle = 128,
};

// Ids of controls no procedure addresses (labels, frames).
inline constexpr int kNoId = -1;

// Every dialog of an effect that changes sound has these two: hear the
// selection processed with the values shown, and the original instead.
inline constexpr int kPreviewToggle = 9001;
inline constexpr int kBypassCheck = 9002;

struct ControlDesc {
  int id = kNoId;
  ControlKind kind = ControlKind::kLabel;
  const char* text = "";  // caption; an icon's picture name
  // Where it sits: the id of its group box or panel (0: the dialog itself),
  // and its cell in that container's grid.
  int container = 0;
  int8_t row = 0, col = 0, rowSpan = 1, colSpan = 1;
  uint8_t flags = 0;
  // The batch tool's name of the value this control edits, or null. Radio
  // buttons and push buttons of one field each carry one value name; the
  // sliders of one field take one '/'-separated number each, in order.
  const char* field = nullptr;
  const char* valueName = nullptr;
  int scale = 0;              // number edit: 0 integer, else shows one decimal
  int width = 0, height = 0;  // drawing areas: size in pixels
};

struct DialogDesc {
  int id;
  const char* title;
  std::span<const ControlDesc> controls;
};

std::span<const DialogDesc> AllDialogs();
const DialogDesc* FindDialog(int id);
// The first control with this id, or null.
const ControlDesc* FindControl(const DialogDesc& dialog, int id);

// The creation parameter of a dialog with a curve area is the curve itself:
// int32 (x, y) pairs, x rising from 0 to 256, ended by the pair (1000, 1000).
inline constexpr int32_t kCurveEnd = 1000;
inline constexpr int kCurveMaxPoints = 39;

}  // namespace kelvora
