// A modal dialog as the engine's dialogs see it: controls addressed by id
// (DialogWindow), and what the user does with them, delivered as typed
// calls (DialogHandler). The Qt host maps real widgets onto both; the
// headless host keeps plain values.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelvora {

class PixelCanvas;
struct ParamEntry;

// Scroll requests of a slider.
enum ScrollRequest : int {
  kScrollLineUp = 0,
  kScrollLineDown = 1,
  kScrollPageUp = 2,
  kScrollPageDown = 3,
  kScrollThumbPosition = 4,
  kScrollThumbTrack = 5,
  kScrollTop = 6,
  kScrollBottom = 7,
  kScrollEnd = 8,
};

// The left mouse button in a drawing area.
enum class MouseAction { kPress, kMove, kRelease };

// One value for a dialog from the batch tool, by the name its description
// gives the control (ControlDesc::field): the text a user would type
// ("12.5"), "on"/"off" for a check box, a choice's value name, the
// '/'-separated positions of a row of sliders, or the x:y points of a curve.
struct DialogField {
  std::string name;
  std::string value;
};

enum CheckState : int { kUnchecked = 0, kChecked = 1, kIndeterminate = 2 };

class DialogWindow {
public:
  virtual ~DialogWindow() = default;
  virtual bool HasControl(int id) const = 0;
  // Setting an edit box's text calls the handler's Edited at once, as a
  // native edit control notifies, and leaves the caret at the end of the text.
  // On a static text it only changes what is shown.
  virtual void SetItemText(int id, const std::string& text) = 0;
  virtual std::string GetItemText(int id) const = 0;
  // Replaces the selected text of an edit box (or inserts at the caret when
  // nothing is selected); the caret ends after the new text. Calls Edited.
  virtual void ReplaceEditSelection(int id, const std::string& text) = 0;
  virtual void SetCheck(int id, int state) = 0;
  virtual int GetCheck(int id) const = 0;
  // Writing a slider's range or position calls nothing.
  virtual void SetSliderRange(int id, int min, int max) = 0;
  virtual void GetSliderRange(int id, int* min, int* max) const = 0;
  // The slider clamps the position into its range.
  virtual void SetSliderPos(int id, int pos) = 0;
  virtual int GetSliderPos(int id) const = 0;
  // Drop-down lists; index -1 selects nothing. Calls nothing.
  virtual void ClearList(int id) = 0;
  virtual void AddListItem(int id, const std::string& text) = 0;
  virtual void SetListSelection(int id, int index) = 0;
  virtual int GetListSelection(int id) const = 0;
  // The pixels of a drawing area, null for any other control. What is drawn
  // stays until drawn over; the host shows changes after each call.
  virtual PixelCanvas* Canvas(int id) = 0;
  virtual void EnableItem(int id, bool enabled) = 0;
  virtual void EndDialog(int result) = 0;
};

// What a dialog does when the user acts. The host calls these, never while
// another of them runs but for the Edited that a program's own SetItemText
// raises, and none after the dialog has ended.
class DialogHandler {
public:
  virtual ~DialogHandler() = default;
  // The dialog has opened: fill in the controls. Paint follows for each
  // drawing area.
  virtual void Opened(DialogWindow& dlg) = 0;
  // A push button, check box or radio button was clicked (a radio button is
  // checked first and the others of its group unchecked); OK is 1, Cancel 2.
  virtual void Clicked(DialogWindow& dlg, int id) = 0;
  // An edit box's text changed.
  virtual void Edited(DialogWindow&, int) {}
  // The user chose an entry of a drop-down list.
  virtual void Chosen(DialogWindow&, int) {}
  // A slider's scroll request; `position` is the thumb's for the thumb
  // requests, else 0.
  virtual void Scrolled(DialogWindow&, int, int, int) {}
  // The left button in a drawing area, relative to its top left; moves
  // arrive while the button is held, also outside the area.
  virtual void Mouse(DialogWindow&, int, MouseAction, int, int) {}
  // A drawing area's canvas wants drawing.
  virtual void Paint(DialogWindow&, int) {}
  // What control `id` stands for, shown as a tip while the pointer rests on
  // it or drags it: a slider's value, or the value at (x, y) of a drawing
  // area (relative to its top left). Empty: no tip.
  virtual std::string ValueTip(DialogWindow&, int /*id*/, int /*x*/, int /*y*/) { return {}; }
  // The close box. False: it counts as Cancel (Clicked with 2).
  virtual bool Closing(DialogWindow&) { return false; }
  // The batch tool instead of a user: stores what the dialog would store if
  // its fields were entered (their syntax already checked against the
  // description, CheckDialogFields) and OK pressed; no window is involved.
  // Returns the dialog's result.
  virtual int Accept(const std::vector<DialogField>& fields) = 0;
  // Runs `use` with the variables as OK would store them now, and puts
  // them back afterwards: a preview hears what OK would write. A dialog
  // that edits its variables in place just runs it.
  virtual void WithShownValues(DialogWindow&, const std::function<void()>& use) { use(); }
  // The rows behind the controls, when a table drives them: they tell which
  // number boxes take a sign or a decimal point.
  virtual const ParamEntry* ParamTable() const { return nullptr; }
};

}  // namespace kelvora
