#include "platform/headless/headless_dialogs.h"

#include <cstring>

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

bool ApplyDialogField(HeadlessDialogWindow& w, const DialogField& field, const void* context) {
  std::vector<const ControlDesc*> controls = FieldControls(w.description(), field.name);
  if (controls.empty()) return false;
  const ControlDesc& c = *controls.front();
  switch (c.kind) {
    case ControlKind::kNumberEdit:
    case ControlKind::kTextEdit:
      return w.Type(c.id, field.value);
    case ControlKind::kCheckBox: {
      int wanted = field.value == "on" ? kChecked : kUnchecked;
      // A box in the third state does not move; two clicks go round.
      for (int i = 0; i < 2 && w.GetCheck(c.id) != wanted; ++i)
        if (!w.Click(c.id)) return false;
      return w.GetCheck(c.id) == wanted;
    }
    case ControlKind::kRadio:
    case ControlKind::kPushButton: {
      const ControlDesc* choice = Named(controls, field.value);
      return choice != nullptr && w.Click(choice->id);
    }
    case ControlKind::kSlider: {
      std::vector<std::string> parts = Split(field.value, '/');
      if (parts.size() != controls.size()) return false;
      for (size_t i = 0; i < parts.size(); ++i) {
        int32_t v = 0;
        if (!ParseDialogInt(parts[i], &v)) return false;
        // A drag of the thumb: positions while moving, the last on release.
        int id = controls[i]->id;
        if (!w.Scroll(id, kScrollThumbTrack, v)) return false;
        w.Scroll(id, kScrollThumbPosition, v);
        w.Scroll(id, kScrollEnd, 0);
      }
      return true;
    }
    case ControlKind::kCurveArea: {
      std::vector<CurvePoint> points;
      std::string error;
      if (context == nullptr || !ParseCurvePoints(field.value, &points, &error)) return false;
      return DragCurveTo(w, c.id, static_cast<const int32_t*>(context), points);
    }
    default:
      return false;
  }
}

void HeadlessDialogHost::QueueFields(std::vector<DialogField> fields, int button) {
  queued_.push_back(Script{std::move(fields), nullptr, button});
}

void HeadlessDialogHost::QueueActions(Actions actions, int button) {
  queued_.push_back(Script{{}, std::move(actions), button});
}

int HeadlessDialogHost::RunDialog(int dialog_id, ParamEntry* table) {
  tableProblem.clear();
  ParamTableMatchesDialog(dialog_id, table, &tableProblem);
  return Run(
      dialog_id,
      [table](DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam) {
        return ParamDialog(dlg, message, wparam, lparam, table);
      },
      nullptr);
}

int HeadlessDialogHost::RunCustomDialog(int dialog_id, DialogProc proc, void* context) {
  return Run(
      dialog_id,
      [proc, context](DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam) {
        return proc(dlg, message, wparam, lparam, context);
      },
      context);
}

int HeadlessDialogHost::Run(int dialog_id, HeadlessDialogWindow::Proc proc, const void* context) {
  shown.push_back(dialog_id);
  Script script{{}, nullptr, defaultButton};
  if (!queued_.empty()) {
    script = std::move(queued_.front());
    queued_.pop_front();
  }
  const DialogDesc* desc = FindDialog(dialog_id);
  if (desc == nullptr) return 0;  // a dialog the program does not have cannot open
  HeadlessDialogWindow w(*desc, std::move(proc));
  w.Open();
  for (const DialogField& f : script.fields)
    if (!ApplyDialogField(w, f, context)) unapplied.push_back(f.name);
  if (script.actions && !w.ended()) script.actions(w);
  if (!w.ended() && script.button != 0) w.Click(script.button);
  if (!w.ended()) w.Close();
  if (!w.ended()) w.EndDialog(0);  // a procedure deaf even to the close box
  lastUnknownIds = w.unknownIds();
  return w.result();
}

}  // namespace kelvora
