#include "platform/param_dialog.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/platform.h"
#include "resources/dialogs.h"

namespace kelvora {
namespace {

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

ParamEntry* FindRow(ParamEntry* table, int id, char kind) {
  for (ParamEntry* row = table; IsRowKind(row->kind); ++row)
    if (row->id == id && row->kind == kind) return row;
  return nullptr;
}

std::vector<ParamDialogHandler::Shown>::iterator FindShown(
    std::vector<ParamDialogHandler::Shown>& shown, int id) {
  return std::find_if(shown.begin(), shown.end(),
                      [id](const ParamDialogHandler::Shown& s) { return s.id == id; });
}

}  // namespace

const ControlDesc* FieldControl(const DialogDesc& dialog, const DialogField& field) {
  const ControlDesc* first = nullptr;
  for (const ControlDesc& c : dialog.controls) {
    if (c.field == nullptr || field.name != c.field) continue;
    if (c.valueName != nullptr) {
      if (field.value == c.valueName) return &c;
    } else if (first == nullptr) {
      first = &c;
    }
  }
  return first;
}

ParamDialogHandler::ParamDialogHandler(int dialog_id, ParamEntry* table)
    : dialogId_(dialog_id), table_(table) {
  static ParamEntry empty{};
  if (table_ == nullptr) table_ = &empty;  // no rows: the buttons just end it
}

// The hook before and after what the handler does (unless it ended it).
template <class F>
void ParamDialogHandler::Around(DialogWindow& dlg, F f) {
  if (hook_ != nullptr) hook_(dlg, table_);
  f();
  if (hook_ != nullptr) hook_(dlg, table_);
}

// Shows a value in a number box, which calls Edited.
void ParamDialogHandler::WriteBox(DialogWindow& dlg, int id, int32_t value, int32_t scale) {
  std::string text = FormatDialogValue(value, scale);
  auto it = FindShown(shown_, id);
  if (it != shown_.end()) shown_.erase(it);
  shown_.push_back(Shown{id, text, value});
  dlg.SetItemText(id, text);
}

// What a number box holds; `ok` false when it does not read as a number.
int32_t ParamDialogHandler::ReadNumberRow(DialogWindow& dlg, const ParamEntry& row, bool* ok) {
  std::string text = dlg.GetItemText(row.id);
  auto it = FindShown(shown_, row.id);
  if (it != shown_.end()) {
    if (it->text == text) {
      *ok = true;
      return it->value;
    }
    shown_.erase(it);  // the user has changed it
  }
  int32_t v = 0;
  *ok = row.scale == 0 ? ParseDialogInt(text, &v) : ParseDialogScaled(text, row.scale, &v);
  return v;
}

void ParamDialogHandler::Opened(DialogWindow& dlg) {
  hook_ = nullptr;
  shown_.clear();
  for (ParamEntry* row = table_; IsRowKind(row->kind); ++row) {
    switch (row->kind) {
      case kParamCheck:
        dlg.SetCheck(row->id, row->min != 0      ? kIndeterminate
                              : *row->value != 0 ? kChecked
                                                 : kUnchecked);
        break;
      case kParamHook:
        hook_ = row->hook;
        if (hook_ != nullptr) hook_(dlg, table_);
        break;
      case kParamNumber:
        // Calls Edited, which clamps the variable and moves the buddy.
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
  if (hook_ != nullptr) hook_(dlg, table_);
}

void ParamDialogHandler::Edited(DialogWindow& dlg, int id) {
  Around(dlg, [&] {
    ParamEntry* row = FindRow(table_, id, kParamNumber);
    if (row == nullptr) return;
    bool ok = false;
    int32_t v = ReadNumberRow(dlg, *row, &ok);
    if (!ok) return;  // left alone until it reads as a number
    *row->value = Clamp(v, row->min, row->max);
    if (row->buddy != 0) dlg.SetSliderPos(row->buddy, *row->value);
  });
}

// What OK stores, in the order of the rows: the edit box after its slider
// has the last word.
void ParamDialogHandler::StoreAll(DialogWindow& dlg, bool texts) {
  for (ParamEntry* row = table_; IsRowKind(row->kind); ++row) {
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
        if (texts && row->min > 0 && row->text != nullptr) {
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

void ParamDialogHandler::WithShownValues(DialogWindow& dlg, const std::function<void()>& use) {
  // Text buffers are left alone: no effect's value is a text.
  std::vector<int32_t> kept;
  for (ParamEntry* row = table_; IsRowKind(row->kind); ++row)
    if (row->value != nullptr) kept.push_back(*row->value);
  StoreAll(dlg, false);
  use();
  size_t i = 0;
  for (ParamEntry* row = table_; IsRowKind(row->kind); ++row)
    if (row->value != nullptr) *row->value = kept[i++];
}

void ParamDialogHandler::Clicked(DialogWindow& dlg, int id) {
  Around(dlg, [&] {
    ToggleCheckRow(dlg, table_, id);
    if (id == 1) {
      StoreAll(dlg, true);
      End(dlg, 1);
    } else if (id == 2) {
      End(dlg, 0);
    } else if (id >= 3 && id <= 10) {
      End(dlg, id);
    }
  });
}

void ParamDialogHandler::Scrolled(DialogWindow& dlg, int id, int request, int position) {
  Around(dlg, [&] {
    ParamEntry* row = FindRow(table_, id, kParamSlider);
    if (row == nullptr) return;
    int64_t pos = dlg.GetSliderPos(row->id);
    int64_t page = std::max<int64_t>(1, (int64_t{row->max} - row->min) / 16);
    switch (request) {
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
        pos = position;
        break;
      default:
        break;
    }
    dlg.SetSliderPos(row->id, Saturate(pos));
    // Writing the buddy calls Edited, which stores the variable.
    if (row->buddy != 0) WriteBox(dlg, row->buddy, dlg.GetSliderPos(row->id), row->scale);
  });
}

void ParamDialogHandler::End(DialogWindow& dlg, int result) {
  hook_ = nullptr;
  shown_.clear();
  dlg.EndDialog(result);
}

int ParamDialogHandler::Accept(const std::vector<DialogField>& fields) {
  // What the controls hold: as opening leaves them, then as the fields
  // leave them; OK stores them as Clicked(1) does.
  struct State {
    int check = kUnchecked;
    std::string text;
    bool shown = true;  // a number box still shows what opening wrote
  };
  std::vector<State> state;
  for (ParamEntry* row = table_; IsRowKind(row->kind); ++row) {
    State st;
    if (row->kind == kParamNumber) {
      *row->value = Clamp(*row->value, row->min, row->max);
      st.text = FormatDialogValue(*row->value, row->scale);
    } else if (row->kind == kParamCheck) {
      st.check = row->min != 0 ? kIndeterminate : *row->value != 0 ? kChecked : kUnchecked;
    } else if (row->kind == kParamRadio) {
      st.check = *row->value == row->min ? kChecked : kUnchecked;
    } else if (row->kind == kParamText) {
      st.text = row->text != nullptr ? row->text : "";
    }
    state.push_back(st);
  }
  const DialogDesc* dialog = FindDialog(dialogId_);
  auto rowIndex = [&](int id, char kind) -> int {
    ParamEntry* row = FindRow(table_, id, kind);
    return row == nullptr ? -1 : static_cast<int>(row - table_);
  };
  for (const DialogField& f : fields) {
    const ControlDesc* c = dialog != nullptr ? FieldControl(*dialog, f) : nullptr;
    if (c == nullptr) continue;
    if (c->kind == ControlKind::kNumberEdit) {
      const int i = rowIndex(c->id, kParamNumber);
      if (i < 0) continue;
      ParamEntry& row = table_[i];
      // Text equal to what the box shows keeps the value it shows.
      if (!(state[i].shown && f.value == state[i].text) &&
          !ParseClampedNumber(f.value, row.scale, row.min, row.max, row.value))
        *row.value = Clamp(0, row.min, row.max);
      state[i].shown = state[i].shown && f.value == state[i].text;
      state[i].text = f.value;
    } else if (c->kind == ControlKind::kTextEdit) {
      const int i = rowIndex(c->id, kParamText);
      if (i >= 0) state[i].text = f.value;
    } else if (c->kind == ControlKind::kCheckBox) {
      // A box in the third state does not move.
      const int i = rowIndex(c->id, kParamCheck);
      if (i >= 0 && state[i].check != kIndeterminate)
        state[i].check = f.value == "on" ? kChecked : kUnchecked;
    } else if (c->kind == ControlKind::kRadio) {
      // Checked, and the others of its group unchecked.
      for (ParamEntry* row = table_; IsRowKind(row->kind); ++row) {
        const ControlDesc* other = FindControl(*dialog, row->id);
        if (row->kind == kParamRadio && other != nullptr && other->kind == ControlKind::kRadio &&
            other->container == c->container)
          state[row - table_].check = row->id == c->id ? kChecked : kUnchecked;
      }
    }
  }
  for (ParamEntry* row = table_; IsRowKind(row->kind); ++row) {
    const State& st = state[row - table_];
    if (row->kind == kParamCheck) {
      *row->value = st.check == kChecked ? 1 : 0;
    } else if (row->kind == kParamRadio) {
      if (st.check == kChecked) *row->value = row->min;
    } else if (row->kind == kParamText && row->min > 0 && row->text != nullptr) {
      size_t n = std::min(st.text.size(), static_cast<size_t>(row->min) - 1);
      std::memcpy(row->text, st.text.data(), n);
      row->text[n] = '\0';
    }
  }
  return 1;
}

bool ParseClampedNumber(const std::string& text, int32_t scale, int32_t min, int32_t max,
                        int32_t* value) {
  int32_t v = 0;
  if (!(scale == 0 ? ParseDialogInt(text, &v) : ParseDialogScaled(text, scale, &v))) return false;
  *value = Clamp(v, min, max);
  return true;
}

int RunParamDialog(int dialog_id, ParamEntry* table) {
  ParamDialogHandler handler(dialog_id, table);
  return Services().dialogs->RunDialog(dialog_id, handler);
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

void HandleSliderScroll(DialogWindow& dlg, int edit_id, int request, int position, int slider_id,
                        int32_t* value) {
  int a = 0, b = 0;
  dlg.GetSliderRange(slider_id, &a, &b);
  int64_t page = std::abs(int64_t{b} - a) / 20;
  int64_t cur = *value;
  switch (request) {
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
      cur = position;
      break;
    default:
      return;
  }
  SetSliderValue(Saturate(cur), value, slider_id, dlg, edit_id);
}

void HandleSliderEdit(int32_t* value, DialogWindow& dlg, int edit_id) {
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
