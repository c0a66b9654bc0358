// Table-driven parameter dialogs: each row ties one dialog control to one
// variable of the caller. ParamDialogHandler loads the controls when the
// dialog opens, keeps sliders and edit boxes in step, and writes back on OK;
// for the batch tool it stores the fields through the same rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialog_window.h"
#include "resources/dialogs.h"

namespace kelvora {

struct ParamEntry;

// A caller's hook ('F' row): called when the dialog opens, then before and
// after everything the handler does with the user's actions (unless they
// ended the dialog), to show what it derives from the variables.
using ParamHook = void (*)(DialogWindow& dlg, ParamEntry* table);

// Row kinds.
enum ParamKind : char {
  kParamCheck = 'C',
  kParamHook = 'F',
  kParamNumber = 'N',
  kParamRadio = 'R',
  kParamText = 'S',
  kParamSlider = 'V',
};

// A table ends with a row whose kind is none of the six (an all-zero row).
struct ParamEntry {
  int32_t id = 0;
  char kind = 0;
  int32_t* value = nullptr;  // 'C', 'N', 'R', 'V'
  char* text = nullptr;      // 'S': buffer of `min` bytes (0: read-only)
  ParamHook hook = nullptr;  // 'F'
  // 'N', 'V': lowest value; 'R': the value the button stands for;
  // 'C': non-zero shows the third state; 'S': buffer size; 'F': free for
  // the hook's own use.
  int32_t min = 0;
  int32_t max = 0;    // 'N', 'V': highest value
  int32_t buddy = 0;  // 'V': its edit box; 'N': its slider; 0 none
  int32_t scale = 0;  // 'N', 'V': 0 integer, else value / scale shown "%.1f"
};

// One variable behind a control of a dialog description, the way an
// operation declares its controls once: the table's kinds, buddies, scales
// and order come from the description (BuildParamTable).
struct ParamBinding {
  int32_t id = 0;            // the control; for a hook, free for its own use
  int32_t* value = nullptr;  // slider (its edit box shares it), number, check, radio
  // Slider, number: lowest value; radio: the value the button stands for;
  // check: non-zero shows the third state; text: buffer size.
  int32_t min = 0;
  int32_t max = 0;           // slider, number: highest value
  ParamHook hook = nullptr;  // a hook row instead of a control
  char* text = nullptr;      // text edit: its buffer
};
using ParamBindings = std::vector<ParamBinding>;

// The ParamEntry table of dialog `dialog_id` over `bindings`, in the order of
// the description: a bound slider gives a slider row and a number row for
// the edit box in its grid row (each the other's buddy, the edit's scale on
// both); a bound edit box without slider a number row; checks, radios and
// text edits their rows; hooks come last. Ends with the all-zero row.
std::vector<ParamEntry> BuildParamTable(int dialog_id, const ParamBindings& bindings);

// Whether `table` drives dialog `dialog_id` completely: every row names a
// control of its kind in the description, and every control that carries a
// batch-tool field has a row. Otherwise false with the first problem.
bool ParamTableMatchesDialog(int dialog_id, const ParamEntry* table, std::string* problem);

// The dialog over a table. Only one is open at a time.
class ParamDialogHandler : public DialogHandler {
public:
  ParamDialogHandler(int dialog_id, ParamEntry* table);
  void Opened(DialogWindow& dlg) override;
  void Clicked(DialogWindow& dlg, int id) override;
  void Edited(DialogWindow& dlg, int id) override;
  void Scrolled(DialogWindow& dlg, int id, int request, int position) override;
  int Accept(const std::vector<DialogField>& fields) override;
  void WithShownValues(DialogWindow& dlg, const std::function<void()>& use) override;
  ParamEntry* table() const { return table_; }
  const ParamEntry* ParamTable() const override { return table_; }

  // Number boxes that still show the text the dialog wrote into them, with
  // the value it wrote. Reading "9.9" back in single precision gives 98, so
  // the box's own display is taken at its word: opening a dialog and
  // pressing OK, or resting a slider on 99, must not store 98. Typed text is
  // read.
  struct Shown {
    int id;
    std::string text;
    int32_t value;
  };

private:
  template <class F>
  void Around(DialogWindow& dlg, F f);
  void WriteBox(DialogWindow& dlg, int id, int32_t value, int32_t scale);
  int32_t ReadNumberRow(DialogWindow& dlg, const ParamEntry& row, bool* ok);
  void End(DialogWindow& dlg, int result);
  void StoreAll(DialogWindow& dlg, bool texts);

  int dialogId_;
  ParamEntry* table_;
  ParamHook hook_ = nullptr;
  std::vector<Shown> shown_;
};

// Runs dialog `dialog_id` modally over `table` through the platform.
// Returns 1 for OK, 0 for Cancel, or the id of a button 3..10.
int RunParamDialog(int dialog_id, ParamEntry* table);

// The control a field names: the choice of that value for radio and push
// buttons, else the first control of the field. Null for none.
const ControlDesc* FieldControl(const DialogDesc& dialog, const DialogField& field);

// Checks field names and value syntax against the dialog's description.
// Returns false with a one-line reason when the batch tool must refuse them.
bool CheckDialogFields(int dialog_id, const std::vector<DialogField>& fields, std::string* error);

// For operations whose fields refuse out-of-range numbers instead of
// clamping them: each number field read by its row's rule (the syntax
// already checked) must lie within the row's min..max. False with the reason.
bool CheckFieldRanges(int dialog_id, const ParamEntry* table,
                      const std::vector<DialogField>& fields, std::string* error);

// "x:y/x:y/...": 2 to 39 points, x from 0 rising to 256; an end point's y
// 0..256, an inner point's x 1..255 and y 0..255 (a point dragged to the top
// edge leaves the frame and is deleted, so no user can put one there).
struct CurvePoint {
  int x = 0, y = 0;
  bool operator==(const CurvePoint&) const = default;
};
bool ParseCurvePoints(const std::string& text, std::vector<CurvePoint>* points, std::string* error);

// The one rule by which a typed number becomes a value: read as the edit
// box reads it (with `scale` 0 a whole number, else one decimal shown) and
// held to min..max. False when the text is no number.
bool ParseClampedNumber(const std::string& text, int32_t scale, int32_t min, int32_t max,
                        int32_t* value);

// Slider helpers for the dialogs with handlers of their own: a scroll
// request moves `value` (the slider's range bounds it) and shows it in
// `edit_id` (0: none); an edit box's number moves the slider before it.
void HandleSliderScroll(DialogWindow& dlg, int edit_id, int request, int position, int slider_id,
                        int32_t* value);
void SetSliderValue(int32_t value, int32_t* variable, int slider_id, DialogWindow& dlg,
                    int edit_id);
void HandleSliderEdit(int32_t* value, DialogWindow& dlg, int edit_id);

// How edit boxes read and show numbers. A signed integer is optional
// leading blanks, an optional '-' and digits, nothing else; values beyond
// 32 bits saturate. Returns false for any other text.
bool ParseDialogInt(const std::string& text, int32_t* value);
// The same without a sign (a '-' is not a number).
bool ParseDialogUnsigned(const std::string& text, int32_t* value);
// A scaled box: the decimal number at the start of the first 15 characters,
// read in single precision, times scale, truncated toward zero and saturated
// to 32 bits. Returns false when the text does not start with a number.
bool ParseDialogScaled(const std::string& text, int32_t scale, int32_t* value);
// "%d" for scale 0, else "%.1f" of value / scale (independent of the locale).
std::string FormatDialogValue(int32_t value, int32_t scale);

}  // namespace kelvora
