// The batch tool's fields checked against the dialog descriptions before
// anything runs, and the curve syntax of the envelope editors.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/param_dialog.h"

namespace kelvora {
namespace {

bool IsDigits(const std::string& s, size_t from, size_t to) {
  if (from >= to) return false;
  for (size_t i = from; i < to; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// What the batch tool accepts for a number box: "-12", or "-1.5" where the
// box shows a decimal.
bool IsNumberText(const std::string& s, bool decimal) {
  size_t start = !s.empty() && s[0] == '-' ? 1 : 0;
  size_t point = s.find('.', start);
  if (point == std::string::npos) return IsDigits(s, start, s.size());
  if (!decimal) return false;
  bool before = point == start || IsDigits(s, start, point);
  return before && IsDigits(s, point + 1, s.size());
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (true) {
    size_t next = s.find(sep, pos);
    parts.push_back(s.substr(pos, next == std::string::npos ? std::string::npos : next - pos));
    if (next == std::string::npos) return parts;
    pos = next + 1;
  }
}

std::vector<const ControlDesc*> FieldControls(const DialogDesc& dialog, const std::string& name) {
  std::vector<const ControlDesc*> found;
  for (const ControlDesc& c : dialog.controls)
    if (c.field != nullptr && name == c.field) found.push_back(&c);
  return found;
}

std::string ValueNames(const std::vector<const ControlDesc*>& controls) {
  std::string names;
  for (const ControlDesc* c : controls) {
    if (!names.empty()) names += '/';
    names += c->valueName;
  }
  return names;
}

const ControlDesc* Named(const std::vector<const ControlDesc*>& controls,
                         const std::string& value) {
  for (const ControlDesc* c : controls)
    if (c->valueName != nullptr && value == c->valueName) return c;
  return nullptr;
}

bool CheckField(const DialogDesc& dialog, const DialogField& f, std::string* error) {
  std::vector<const ControlDesc*> controls = FieldControls(dialog, f.name);
  if (controls.empty()) {
    *error = "unknown field: " + f.name;
    return false;
  }
  auto refuse = [&](const std::string& what) {
    std::string text = "bad value for ";
    text += f.name;
    text += " (";
    text += what;
    text += "): ";
    text += f.value;
    *error = text;
    return false;
  };
  const ControlDesc& c = *controls.front();
  switch (c.kind) {
    case ControlKind::kNumberEdit:
      if (!IsNumberText(f.value, c.scale != 0))
        return refuse(c.scale != 0 ? "a number, one decimal shown" : "a whole number");
      return true;
    case ControlKind::kCheckBox:
      if (f.value != "on" && f.value != "off") return refuse("on or off");
      return true;
    case ControlKind::kRadio:
    case ControlKind::kPushButton:
      if (Named(controls, f.value) == nullptr) return refuse(ValueNames(controls));
      return true;
    case ControlKind::kSlider: {
      std::vector<std::string> parts = Split(f.value, '/');
      bool ok = parts.size() == controls.size();
      for (const std::string& p : parts) ok = ok && IsNumberText(p, false);
      if (!ok) return refuse(std::to_string(controls.size()) + " whole numbers separated by /");
      return true;
    }
    case ControlKind::kCurveArea: {
      std::vector<CurvePoint> points;
      std::string why;
      if (!ParseCurvePoints(f.value, &points, &why)) return refuse(why);
      return true;
    }
    default:
      return true;
  }
}

}  // namespace

bool CheckDialogFields(int dialog_id, const std::vector<DialogField>& fields, std::string* error) {
  const DialogDesc* dialog = FindDialog(dialog_id);
  for (const DialogField& f : fields) {
    if (dialog == nullptr) {
      *error = "unknown field: " + f.name;
      return false;
    }
    if (!CheckField(*dialog, f, error)) return false;
  }
  return true;
}

bool CheckFieldRanges(int dialog_id, const ParamEntry* table,
                      const std::vector<DialogField>& fields, std::string* error) {
  const DialogDesc* dialog = FindDialog(dialog_id);
  if (dialog == nullptr) return true;
  for (const DialogField& f : fields) {
    const ControlDesc* c = FieldControl(*dialog, f);
    if (c == nullptr || c->kind != ControlKind::kNumberEdit) continue;
    for (const ParamEntry* row = table; row->kind != 0; ++row) {
      if (row->id != c->id || row->kind != kParamNumber) continue;
      int32_t v = 0;
      const bool read = row->scale == 0 ? ParseDialogInt(f.value, &v)
                                        : ParseDialogScaled(f.value, row->scale, &v);
      if (read && (v < row->min || v > row->max)) {
        *error = "out of range for " + f.name + " (" + FormatDialogValue(row->min, row->scale) +
                 " to " + FormatDialogValue(row->max, row->scale) + "): " + f.value;
        return false;
      }
    }
  }
  return true;
}

bool ParseCurvePoints(const std::string& text, std::vector<CurvePoint>* points,
                      std::string* error) {
  points->clear();
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t slash = text.find('/', pos);
    std::string item = text.substr(pos, slash == std::string::npos ? slash : slash - pos);
    size_t colon = item.find(':');
    int32_t x = 0, y = 0;
    auto whole = [](const std::string& s, int32_t* v) {
      if (s.empty() || s.size() > 4) return false;
      for (char c : s)
        if (c < '0' || c > '9') return false;
      *v = std::atoi(s.c_str());
      return true;
    };
    if (colon == std::string::npos || !whole(item.substr(0, colon), &x) ||
        !whole(item.substr(colon + 1), &y)) {
      *error = "x:y pairs of whole numbers separated by /";
      return false;
    }
    points->push_back({x, y});
    if (slash == std::string::npos) break;
    pos = slash + 1;
  }
  size_t n = points->size();
  if (n < 2 || n > static_cast<size_t>(kCurveMaxPoints)) {
    *error = "2 to 39 points";
    return false;
  }
  if (points->front().x != 0 || points->back().x != 256) {
    *error = "the first x is 0, the last 256";
    return false;
  }
  for (size_t i = 0; i < n; ++i) {
    const CurvePoint& p = (*points)[i];
    bool inner = i > 0 && i + 1 < n;
    if (i > 0 && p.x <= (*points)[i - 1].x) {
      *error = "x rises from point to point";
      return false;
    }
    if (p.y > (inner ? 255 : 256)) {
      *error = "y 0..256 at the ends, 0..255 between";
      return false;
    }
  }
  return true;
}

}  // namespace kelvora
