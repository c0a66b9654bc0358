// Dialogs without a screen: the next run plays the values queued by a test
// or the batch tool against the dialog's procedure, then presses a button,
// exactly as a user typing into the window would.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless/headless_dialog_window.h"
#include "platform/platform.h"

namespace kelvora {

// One field of a dialog by its batch-tool name, with the text a user types
// ("12.5"), "on"/"off" for a check box, a choice's value name, the nine
// '/'-separated positions of a row of sliders, or the x:y points of a curve.
struct DialogField {
  std::string name;
  std::string value;
};

// Checks field names and value syntax against the dialog's description.
// Returns false with a one-line reason when the batch tool must refuse them.
bool CheckDialogFields(int dialog_id, const std::vector<DialogField>& fields, std::string* error);

struct CurvePoint {
  int x = 0, y = 0;
  bool operator==(const CurvePoint&) const = default;
};
// "x:y/x:y/...": 2 to 39 points, x from 0 rising to 256; an end point's y
// 0..256, an inner point's x 1..255 and y 0..255 (a point dragged to the top
// edge leaves the frame and is deleted, so no user can put one there).
bool ParseCurvePoints(const std::string& text, std::vector<CurvePoint>* points, std::string* error);
// The curve a dialog with a curve area edits (its creation parameter).
std::vector<CurvePoint> ReadCurve(const int32_t* curve);
// Drags the curve in area `area_id` into `wanted` with the mouse: deletes the
// inner points, places new ones on the line and drags them where they
// belong. `shown` is the curve being edited, read back after each gesture.
// False when the dialog did not follow (then the curve is left part-way).
bool DragCurveTo(HeadlessDialogWindow& w, int area_id, const int32_t* shown,
                 const std::vector<CurvePoint>& wanted);

// Puts one field into an open dialog through its controls. `context` is the
// custom procedure's creation parameter (the curve of a curve area).
bool ApplyDialogField(HeadlessDialogWindow& w, const DialogField& field, const void* context);

class HeadlessDialogHost : public DialogHost {
public:
  using Actions = std::function<void(HeadlessDialogWindow&)>;

  int RunDialog(int dialog_id, ParamEntry* table) override;
  int RunCustomDialog(int dialog_id, DialogProc proc, void* context) override;

  // Values typed into the next dialog that opens, before `button` is pressed.
  void QueueFields(std::vector<DialogField> fields, int button = 1);
  // What a user does in the next dialog; afterwards, unless the dialog has
  // ended, `button` is pressed (0: none, the close box ends it).
  void QueueActions(Actions actions, int button = 1);
  void ClearQueue() { queued_.clear(); }

  // With nothing queued a dialog is closed with this button (1 OK, 2 Cancel).
  int defaultButton = 1;
  std::vector<int> shown;  // ids of the dialogs run, in order
  // Fields the last dialogs could not take (names, in order).
  std::vector<std::string> unapplied;
  // Control ids the procedure of the last dialog addressed that it lacks.
  std::vector<int> lastUnknownIds;
  // Why the last table-driven dialog's table does not fit its description
  // (empty when it does).
  std::string tableProblem;

private:
  struct Script {
    std::vector<DialogField> fields;
    Actions actions;
    int button = 1;
  };
  int Run(int dialog_id, HeadlessDialogWindow::Proc proc, const void* context);
  std::deque<Script> queued_;
};

}  // namespace kelvora
