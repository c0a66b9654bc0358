// Table-driven parameter dialogs: each row ties one dialog control to one
// variable of the caller. ParamDialog loads the controls when the dialog
// opens, keeps sliders and edit boxes in step, and writes back on OK.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialog_window.h"

namespace kelvora {

struct ParamEntry;

// A caller's hook ('F' row): sees every message first; its result is unused.
using ParamHook = void (*)(DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam,
                           ParamEntry* table);

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

// The dialog procedure, called by the host with the same table for every
// message. Returns whether the message was handled (the opening message
// returns 1 so that the host sets the initial focus).
intptr_t ParamDialog(DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam,
                     ParamEntry* table);

// Forgets the hook of a dialog that did not end through ParamDialog.
void ResetParamDialogState();

// Runs dialog `dialog_id` modally over `table` through the platform.
// Returns 1 for OK, 0 for Cancel, or the id of a button 3..10.
int RunParamDialog(int dialog_id, ParamEntry* table);

// Slider helpers for the dialogs with procedures of their own. `request` is
// the scroll message's wparam, `command` the command message's wparam.
void HandleSliderScroll(DialogWindow& dlg, int edit_id, intptr_t request, int slider_id,
                        int32_t* value);
void SetSliderValue(int32_t value, int32_t* variable, int slider_id, DialogWindow& dlg,
                    int edit_id);
void HandleSliderEdit(int32_t* value, DialogWindow& dlg, intptr_t command);

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
