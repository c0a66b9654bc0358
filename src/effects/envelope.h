// The envelope effects: volume, pan and pitch shaped along the selection by
// a curve the user draws in the envelope editor. Each effect keeps its own
// curve for the life of the process.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "effects/sound_view.h"
#include "platform/dialog_window.h"
#include "resources/dialogs.h"

namespace kelvora {

class PixelCanvas;

// (x, y) pairs with x rising from 0 to 256, then the end marker
// (kCurveEnd, kCurveEnd): at most 39 points. x runs along the selection
// (256 = its end), y from 0 to 256 with 128 the neutral middle.
inline constexpr int kEnvelopeInts = 2 * kCurveMaxPoints + 2;
using Envelope = std::array<int32_t, kEnvelopeInts>;

// (0, 128), (256, 128): the start value of every envelope.
Envelope FlatEnvelope(int32_t y = 128);
int EnvelopePoints(const Envelope& e);

// The curve's value at pos (0..255): the segment with x0 <= pos < x1,
// y0 + (y1 - y0) * (pos - x0) / (x1 - x0) truncated toward zero.
int32_t EnvelopeValue(const Envelope& e, int32_t pos);
// EnvelopeValue at every pos from 0 to 255, by one walk along the segments.
std::array<int32_t, 256> EnvelopeValues(const Envelope& e);

// Each effect keeps its own curve.
struct VolumeEnvelopeParams {
  Envelope curve = FlatEnvelope();
};
struct PanEnvelopeParams {
  Envelope curve = FlatEnvelope();
};
struct PitchEnvelopeParams {
  Envelope curve = FlatEnvelope();
};

// ----- The editor ----------------------------------------------------------

// What the editor keeps while its dialog is open: the curve, the point
// being dragged (-1 none), the drawing frame's size in pixels, and how many
// frames of the selection give one waveform dot.
struct EnvelopeEditorState {
  Envelope* envelope = nullptr;
  int dragged = -1;
  int width = 0, height = 0;
  int32_t dotEvery = 16;
};

// The mouse rules, in envelope units. Press grabs a point within 5 units in
// x and y (the first found), or else inserts one on the line where the
// click is less than 12 units above or below it; with 39 points already
// there a click off the points does nothing. Move drags the grabbed point:
// an end point only up and down within 0..256, an inner one between its
// neighbours, deleted when taken out of the frame. Release lets go.
void PressEnvelope(EnvelopeEditorState& s, int32_t x, int32_t y);
void MoveEnvelope(EnvelopeEditorState& s, int32_t x, int32_t y);
void ReleaseEnvelope(EnvelopeEditorState& s);

// The frame as the editor paints it: black, the selection's first channel
// as green dots (every dotEvery-th frame), the blue centre line, the curve.
void PaintEnvelopeFrame(PixelCanvas& canvas, const EnvelopeEditorState& s);
// The curve by inverting pixels: lines from point to point and a 7 by 7
// square on every point. Drawn twice it is gone.
void InvertEnvelopeCurve(PixelCanvas& canvas, const Envelope& e);

// The editor's dialog on `e`, edited in place (so what Cancel leaves
// stays), the waveform drawn at display density `density` (1..128); for the
// batch tool the "points" field is the curve.
class EnvelopeEditor : public DialogHandler {
public:
  // `dialogId` says what the level means for the tips (volume, pan, pitch).
  EnvelopeEditor(Envelope& e, int32_t density, int dialogId = 0);
  void Opened(DialogWindow& dlg) override;
  void Paint(DialogWindow& dlg, int id) override;
  void Mouse(DialogWindow& dlg, int id, MouseAction action, int x, int y) override;
  void Clicked(DialogWindow& dlg, int id) override;
  int Accept(const std::vector<DialogField>& fields) override;
  // The point dragged, or the one under the pointer: its time into the
  // selection in seconds and its level as the effect applies it.
  std::string ValueTip(DialogWindow& dlg, int id, int x, int y) override;

private:
  EnvelopeEditorState state_;
  int dialogId_;
};

// Runs the editor on `e`, edited in place (so what Cancel leaves stays),
// with the waveform drawn at display density `density` (1..128). Returns 1
// for OK, 0 for Cancel.
int RunEnvelopeEditor(int dialog_id, Envelope& e, int32_t density);

// ----- The effects ---------------------------------------------------------

// Processors in place: the gain along the curve (pan: channel 1 gets the
// mirror of channel 0's).
void VolumeEnvelopePass(const VolumeEnvelopeParams& p, const SoundView& v);
void PanEnvelopePass(const PanEnvelopeParams& p, const SoundView& v);
// A resizing processor (effect_runner.h): resampled at the pitch along the
// curve; Start walks the curve once to count the result's frames.
struct PitchEnveloper {
  PitchEnvelopeParams params;
  int64_t frames = 0;
  int Start(const SoundView& v, const Scratch& scratch);
  int64_t ResultBytes(const SoundView& v) const { return frames * v.Align(); }
  int32_t ResultSpare() const { return 16; }
  void Render(const SoundView& v, uint8_t* out);
};

// Each opens its editor, the waveform drawn at the views' display density.
void VolumeEnvelope(int32_t density);
void PanEnvelope(int32_t density);
void PitchEnvelope(int32_t density);

}  // namespace kelvora
