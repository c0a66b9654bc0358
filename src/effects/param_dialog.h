// Table-driven parameter dialogs: each row ties one dialog control to one
// variable of the caller. ParamDialog loads the controls when the dialog
// opens, keeps sliders and edit boxes in step, and writes back on OK.
#pragma once

#include <cstdint>

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
  // 'C': non-zero shows the third state; 'S': buffer size.
  int32_t min = 0;
  int32_t max = 0;    // 'N', 'V': highest value
  int32_t buddy = 0;  // 'V': its edit box; 'N': its slider; 0 none
  int32_t scale = 0;  // 'N', 'V': 0 integer, else value / scale shown "%.1f"
};

// The dialog procedure. Returns whether the message was handled (the
// opening message returns 1 so that the host sets the initial focus).
intptr_t ParamDialog(DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam,
                     ParamEntry* table);

// Runs dialog `dialog_id` modally over `table` through the platform.
// Returns 1 for OK, 0 for Cancel, or the id of a button 3..10.
int RunParamDialog(int dialog_id, ParamEntry* table);

// Slider helpers for the dialogs with procedures of their own.
void HandleSliderScroll(DialogWindow& dlg, int edit_id, int request, int position,
                        int slider_id, int32_t* value);
void SetSliderValue(int32_t value, int32_t* variable, int slider_id, DialogWindow& dlg,
                    int edit_id);
void HandleSliderEdit(int32_t* value, DialogWindow& dlg, int edit_id, int notification);

}  // namespace kelvora
