// Parameter tables derived from the dialog descriptions, so that an
// operation names each variable once, next to the control that edits it.
#include <string>

#include "platform/param_dialog.h"
#include "resources/dialogs.h"

namespace kelvora {
namespace {

const ParamBinding* BindingFor(const ParamBindings& bindings, int id) {
  for (const ParamBinding& b : bindings)
    if (b.hook == nullptr && b.id == id) return &b;
  return nullptr;
}

// The control of `kind` in the same grid row and container as `c`.
const ControlDesc* RowPartner(const DialogDesc& dialog, const ControlDesc& c, ControlKind kind) {
  for (const ControlDesc& other : dialog.controls)
    if (other.kind == kind && other.id != kNoId && other.container == c.container &&
        other.row == c.row)
      return &other;
  return nullptr;
}

ParamEntry Row(int id, ParamKind kind, const ParamBinding& b) {
  ParamEntry e;
  e.id = id;
  e.kind = kind;
  e.value = b.value;
  e.min = b.min;
  e.max = b.max;
  return e;
}

ParamKind KindOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kSlider:
      return kParamSlider;
    case ControlKind::kNumberEdit:
      return kParamNumber;
    case ControlKind::kCheckBox:
      return kParamCheck;
    case ControlKind::kRadio:
      return kParamRadio;
    case ControlKind::kTextEdit:
      return kParamText;
    default:
      return ParamKind{};
  }
}

}  // namespace

std::vector<ParamEntry> BuildParamTable(int dialog_id, const ParamBindings& bindings) {
  std::vector<ParamEntry> table;
  const DialogDesc* dialog = FindDialog(dialog_id);
  if (dialog != nullptr) {
    for (const ControlDesc& c : dialog->controls) {
      if (c.id == kNoId) continue;
      const ParamBinding* b = BindingFor(bindings, c.id);
      switch (c.kind) {
        case ControlKind::kSlider:
          if (b != nullptr) {
            ParamEntry e = Row(c.id, kParamSlider, *b);
            if (const ControlDesc* edit = RowPartner(*dialog, c, ControlKind::kNumberEdit)) {
              e.buddy = edit->id;
              e.scale = edit->scale;
            }
            table.push_back(e);
          }
          break;
        case ControlKind::kNumberEdit: {
          const ControlDesc* slider = RowPartner(*dialog, c, ControlKind::kSlider);
          const ParamBinding* sb = slider != nullptr ? BindingFor(bindings, slider->id) : nullptr;
          if (b == nullptr && sb == nullptr) break;
          ParamEntry e = Row(c.id, kParamNumber, b != nullptr ? *b : *sb);
          e.scale = c.scale;
          if (sb != nullptr) e.buddy = slider->id;
          table.push_back(e);
          break;
        }
        case ControlKind::kCheckBox:
        case ControlKind::kRadio:
          if (b != nullptr) table.push_back(Row(c.id, KindOf(c.kind), *b));
          break;
        case ControlKind::kTextEdit:
          if (b != nullptr) {
            ParamEntry e = Row(c.id, kParamText, *b);
            e.text = b->text;
            table.push_back(e);
          }
          break;
        default:
          break;
      }
    }
  }
  for (const ParamBinding& b : bindings)
    if (b.hook != nullptr) {
      ParamEntry e = Row(b.id, kParamHook, b);
      e.hook = b.hook;
      table.push_back(e);
    }
  table.push_back(ParamEntry{});
  return table;
}

bool ParamTableMatchesDialog(int dialog_id, const ParamEntry* table, std::string* problem) {
  static const ParamEntry kEmpty{};
  if (table == nullptr) table = &kEmpty;  // a dialog without values (about)
  const DialogDesc* dialog = FindDialog(dialog_id);
  if (dialog == nullptr) {
    *problem = "no dialog " + std::to_string(dialog_id);
    return false;
  }
  auto rowFor = [&](int id) -> const ParamEntry* {
    for (const ParamEntry* row = table; row->kind != 0; ++row)
      if (row->kind != kParamHook && row->id == id) return row;
    return nullptr;
  };
  for (const ParamEntry* row = table; row->kind != 0; ++row) {
    if (row->kind == kParamHook) continue;
    const ControlDesc* c = FindControl(*dialog, row->id);
    if (c == nullptr || KindOf(c->kind) != row->kind) {
      *problem = "row " + std::to_string(row->id) + " names no control of its kind";
      return false;
    }
  }
  for (const ControlDesc& c : dialog->controls) {
    if (c.field == nullptr || KindOf(c.kind) == ParamKind{}) continue;
    if (rowFor(c.id) == nullptr) {
      *problem = "control " + std::to_string(c.id) + " (" + c.field + ") has no row";
      return false;
    }
  }
  return true;
}

}  // namespace kelvora
