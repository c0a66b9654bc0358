#include "platform/param_dialog.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/platform.h"

namespace kelvora {
namespace {

// The hook of the open dialog; only one ParamDialog dialog is open at a time.
ParamHook g_hook = nullptr;

// Number boxes that still show the text ParamDialog wrote into them, with
// the value it wrote. Reading "9.9" back in single precision gives 98, so
// the box's own display is taken at its word: opening a dialog and pressing
// OK, or resting a slider on 99, must not store 98. Typed text is read.
struct Shown {
  int id;
  std::string text;
  int32_t value;
};
std::vector<Shown> g_shown;

bool IsRowKind(char kind) {
  return kind == kParamCheck || kind == kParamHook || kind == kParamNumber || kind == kParamRadio ||
         kind == kParamText || kind == kParamSlider;
}

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

int32_t Clamp(int32_t v, int32_t min, int32_t max) {
  if (v < min) return min;
  if (v > max) return max;
  return v;
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from `i` on, saturating; false when there is none.
bool ReadDigits(const std::string& text, size_t i, bool negative, int32_t* value) {
  if (i >= text.size() || !IsDigit(text[i])) return false;
  int64_t v = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i)
    v = std::min<int64_t>(v * 10 + (text[i] - '0'), int64_t{1} << 40);
  *value = Saturate(negative ? -v : v);
  return true;
}

std::vector<Shown>::iterator FindShown(int id) {
  return std::find_if(g_shown.begin(), g_shown.end(), [id](const Shown& s) { return s.id == id; });
}

// Shows a value in a number box, which raises its edit-change.
void WriteBox(DialogWindow& dlg, int id, int32_t value, int32_t scale) {
  std::string text = FormatDialogValue(value, scale);
  auto it = FindShown(id);
  if (it != g_shown.end()) g_shown.erase(it);
  g_shown.push_back(Shown{id, text, value});
  dlg.SetItemText(id, text);
}

// What a number box holds; `ok` false when it does not read as a number.
int32_t ReadNumberRow(DialogWindow& dlg, const ParamEntry& row, bool* ok) {
  std::string text = dlg.GetItemText(row.id);
  auto it = FindShown(row.id);
  if (it != g_shown.end()) {
    if (it->text == text) {
      *ok = true;
      return it->value;
    }
    g_shown.erase(it);  // the user has changed it
  }
  int32_t v = 0;
  *ok = row.scale == 0 ? ParseDialogInt(text, &v) : ParseDialogScaled(text, row.scale, &v);
  return v;
}

void OpenRows(DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam, ParamEntry* table) {
  for (ParamEntry* row = table; IsRowKind(row->kind); ++row) {
    switch (row->kind) {
      case kParamCheck:
        dlg.SetCheck(row->id, row->min != 0      ? kIndeterminate
                              : *row->value != 0 ? kChecked
                                                 : kUnchecked);
        break;
      case kParamHook:
        g_hook = row->hook;
        if (g_hook != nullptr) g_hook(dlg, message, wparam, lparam, table);
        break;
      case kParamNumber:
        // Raises edit-change, which clamps the variable and moves the buddy.
        WriteBox(dlg, row->id, *row->value, row->scale);
        break;
      case kParamRadio:
        dlg.SetCheck(row->id, *row->value == row->min ? kChecked : kUnchecked);
        break;
      case kParamText:
        dlg.SetItemText(row->id, row->text != nullptr ? row->text : "");
        break;
      case kParamSlider:
        dlg.SetSliderRange(row->id, row->min, row->max);
        dlg.SetSliderPos(row->id, *row->value);
        break;
    }
  }
}

void ToggleCheckRow(DialogWindow& dlg, ParamEntry* table, int id) {
  for (ParamEntry* row = table; row->id != 0 && IsRowKind(row->kind); ++row) {
    if (row->id != id || row->kind != kParamCheck) continue;
    int state = dlg.GetCheck(id);
    if (state == kChecked)
      dlg.SetCheck(id, kUnchecked);
    else if (state == kUnchecked)
      dlg.SetCheck(id, kChecked);
    return;
  }
}

void NumberEdited(DialogWindow& dlg, ParamEntry* table, int id) {
  for (ParamEntry* row = table; IsRowKind(row->kind); ++row) {
    if (row->id != id || row->kind != kParamNumber) continue;
    bool ok = false;
    int32_t v = ReadNumberRow(dlg, *row, &ok);
    if (!ok) return;  // left alone until it reads as a number
    *row->value = Clamp(v, row->min, row->max);
    if (row->buddy != 0) dlg.SetSliderPos(row->buddy, *row->value);
    return;
  }
}

void WriteBack(DialogWindow& dlg, ParamEntry* table) {
  for (ParamEntry* row = table; IsRowKind(row->kind); ++row) {
    switch (row->kind) {
      case kParamCheck:
        *row->value = dlg.GetCheck(row->id) == kChecked ? 1 : 0;
        break;
      case kParamNumber: {
        bool ok = false;
        int32_t v = ReadNumberRow(dlg, *row, &ok);
        *row->value = Clamp(ok ? v : 0, row->min, row->max);
        break;
      }
      case kParamRadio:
        if (dlg.GetCheck(row->id) == kChecked) *row->value = row->min;
        break;
      case kParamText:
        if (row->min > 0 && row->text != nullptr) {
          std::string text = dlg.GetItemText(row->id);
          size_t n = std::min(text.size(), static_cast<size_t>(row->min) - 1);
          std::memcpy(row->text, text.data(), n);
          row->text[n] = '\0';
        }
        break;
      case kParamSlider:
        *row->value = dlg.GetSliderPos(row->id);
        break;
      default:
        break;
    }
  }
}

void Scrolled(DialogWindow& dlg, ParamEntry* table, intptr_t wparam, int slider_id) {
  for (ParamEntry* row = table; IsRowKind(row->kind); ++row) {
    if (row->id != slider_id || row->kind != kParamSlider) continue;
    int64_t pos = dlg.GetSliderPos(row->id);
    int64_t page = std::max<int64_t>(1, (int64_t{row->max} - row->min) / 16);
    switch (LowWord(wparam)) {
      case kScrollLineUp:
      case kScrollTop:  // Home moves one step, like the arrow
        pos -= 1;
        break;
      case kScrollLineDown:
      case kScrollBottom:
        pos += 1;
        break;
      case kScrollPageUp:
        pos -= page;
        break;
      case kScrollPageDown:
        pos += page;
        break;
      case kScrollThumbPosition:
      case kScrollThumbTrack:
        pos = SignedHighWord(wparam);
        break;
      default:
        break;
    }
    dlg.SetSliderPos(row->id, Saturate(pos));
    // Writing the buddy raises edit-change, which stores the variable.
    if (row->buddy != 0) WriteBox(dlg, row->buddy, dlg.GetSliderPos(row->id), row->scale);
    return;
  }
}

void End(DialogWindow& dlg, int result) {
  g_hook = nullptr;
  g_shown.clear();
  dlg.EndDialog(result);
}

}  // namespace

intptr_t ParamDialog(DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam,
                     ParamEntry* table) {
  static ParamEntry empty{};
  if (table == nullptr) table = &empty;  // no rows: the buttons just end it
  // A hook left over from a dialog that ended some other way is not this
  // dialog's.
  if (message == kMsgInitDialog) {
    g_hook = nullptr;
    g_shown.clear();
  }
  if (g_hook != nullptr) g_hook(dlg, message, wparam, lparam, table);
  switch (message) {
    case kMsgInitDialog:
      OpenRows(dlg, message, wparam, lparam, table);
      return 1;
    case kMsgCommand: {
      int id = LowWord(wparam);
      int notification = HighWord(wparam);
      if (notification == kNotifyClicked) ToggleCheckRow(dlg, table, id);
      if (notification == kNotifyEditChange) NumberEdited(dlg, table, id);
      if (wparam == 1) {
        WriteBack(dlg, table);
        End(dlg, 1);
      } else if (wparam == 2) {
        End(dlg, 0);
      } else if (wparam >= 3 && wparam <= 10) {
        End(dlg, static_cast<int>(wparam));
      }
      return 1;
    }
    case kMsgHScroll:
    case kMsgVScroll:
      Scrolled(dlg, table, wparam, static_cast<int>(lparam));
      return 1;
    default:
      return 0;
  }
}

void ResetParamDialogState() {
  g_hook = nullptr;
  g_shown.clear();
}

int RunParamDialog(int dialog_id, ParamEntry* table) {
  return Services().dialogs->RunDialog(dialog_id, table);
}

void SetSliderValue(int32_t value, int32_t* variable, int slider_id, DialogWindow& dlg,
                    int edit_id) {
  int a = 0, b = 0;
  dlg.GetSliderRange(slider_id, &a, &b);
  value = Clamp(value, std::min(a, b), std::max(a, b));
  *variable = value;
  dlg.SetSliderPos(slider_id, value);
  if (edit_id != 0) dlg.SetItemText(edit_id, std::to_string(static_cast<uint32_t>(value)));
}

void HandleSliderScroll(DialogWindow& dlg, int edit_id, intptr_t request, int slider_id,
                        int32_t* value) {
  int a = 0, b = 0;
  dlg.GetSliderRange(slider_id, &a, &b);
  int64_t page = std::abs(int64_t{b} - a) / 20;
  int64_t cur = *value;
  switch (LowWord(request)) {
    case kScrollLineUp:
      cur -= 1;
      break;
    case kScrollLineDown:
      cur += 1;
      break;
    case kScrollPageUp:
      cur -= page;
      break;
    case kScrollPageDown:
      cur += page;
      break;
    case kScrollThumbTrack:
      cur = SignedHighWord(request);
      break;
    default:
      return;
  }
  SetSliderValue(Saturate(cur), value, slider_id, dlg, edit_id);
}

void HandleSliderEdit(int32_t* value, DialogWindow& dlg, intptr_t command) {
  if (HighWord(command) != kNotifyEditChange) return;
  int edit_id = LowWord(command);
  int slider_id = edit_id - 1;
  int32_t v = 0;
  if (!ParseDialogUnsigned(dlg.GetItemText(edit_id), &v)) v = 0;
  int a = 0, b = 0;
  dlg.GetSliderRange(slider_id, &a, &b);
  v = Clamp(v, std::min(a, b), std::max(a, b));
  dlg.SetSliderPos(slider_id, v);
  *value = v;
}

bool ParseDialogInt(const std::string& text, int32_t* value) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  return ReadDigits(text, i, negative, value);
}

bool ParseDialogUnsigned(const std::string& text, int32_t* value) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  return ReadDigits(text, i, false, value);
}

bool ParseDialogScaled(const std::string& text, int32_t scale, int32_t* value) {
  std::string s = text.substr(0, 15);
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  // The longest decimal number from here: digits, point, digits, exponent.
  size_t start = i, digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  bool big_exponent = false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    bool exp_negative = false;
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) exp_negative = s[j++] == '-';
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) ++j;
      i = j;
      big_exponent = !exp_negative;
    }
  }
  float f = 0;
  auto [end, ec] = std::from_chars(s.data() + start, s.data() + i, f);
  (void)end;
  double number = f;
  if (ec == std::errc::result_out_of_range)
    number = big_exponent ? std::numeric_limits<double>::infinity() : 0.0;
  else if (ec != std::errc())
    return false;
  if (negative) number = -number;
  // The product in double precision: 2.3f * 10 is 22.9999995, so 22.
  double product = std::trunc(number * scale);
  if (product >= 2147483647.0)
    *value = std::numeric_limits<int32_t>::max();
  else if (product <= -2147483648.0)
    *value = std::numeric_limits<int32_t>::min();
  else
    *value = static_cast<int32_t>(product);
  return true;
}

std::string FormatDialogValue(int32_t value, int32_t scale) {
  if (scale == 0) return std::to_string(value);
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value) / scale,
                                 std::chars_format::fixed, 1);
  if (ec != std::errc()) return "0.0";
  return std::string(buf, end);
}

}  // namespace kelvora
