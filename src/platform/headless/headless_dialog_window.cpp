#include "platform/headless/headless_dialog_window.h"

#include <algorithm>

namespace kelvora {

HeadlessDialogWindow::HeadlessDialogWindow(const DialogDesc& desc, DialogHandler& handler)
    : desc_(desc), handler_(handler) {
  for (const ControlDesc& c : desc.controls) {
    if (c.id == kNoId || controls_.count(c.id) != 0) continue;
    Control& control = controls_[c.id];
    control.desc = &c;
    if (c.kind == ControlKind::kKeyboardArea || c.kind == ControlKind::kCurveArea)
      control.canvas = std::make_unique<PixelCanvas>(c.width, c.height);
  }
}

HeadlessDialogWindow::Control* HeadlessDialogWindow::Find(int id) {
  auto it = controls_.find(id);
  if (it != controls_.end()) return &it->second;
  unknownIds_.push_back(id);
  return nullptr;
}

const HeadlessDialogWindow::Control* HeadlessDialogWindow::Find(int id) const {
  auto it = controls_.find(id);
  if (it != controls_.end()) return &it->second;
  unknownIds_.push_back(id);
  return nullptr;
}

bool HeadlessDialogWindow::IsEdit(const Control& c) const {
  return c.desc->kind == ControlKind::kNumberEdit || c.desc->kind == ControlKind::kTextEdit;
}

void HeadlessDialogWindow::Open() {
  handler_.Opened(*this);
  for (auto& [id, control] : controls_)
    if (control.canvas && !ended_) handler_.Paint(*this, id);
}

void HeadlessDialogWindow::EditChanged(int id) {
  if (!ended_) handler_.Edited(*this, id);
}

bool HeadlessDialogWindow::HasControl(int id) const { return controls_.count(id) != 0; }

void HeadlessDialogWindow::SetItemText(int id, const std::string& text) {
  Control* c = Find(id);
  if (c == nullptr) return;
  c->text = text;
  c->selStart = c->selEnd = text.size();
  if (IsEdit(*c)) EditChanged(id);
}

std::string HeadlessDialogWindow::GetItemText(int id) const {
  const Control* c = Find(id);
  return c == nullptr ? std::string() : c->text;
}

void HeadlessDialogWindow::ReplaceEditSelection(int id, const std::string& text) {
  Control* c = Find(id);
  if (c == nullptr || !IsEdit(*c)) return;
  size_t start = std::min(c->selStart, c->text.size());
  size_t end = std::clamp(c->selEnd, start, c->text.size());
  c->text = c->text.substr(0, start) + text + c->text.substr(end);
  c->selStart = c->selEnd = start + text.size();
  EditChanged(id);
}

void HeadlessDialogWindow::SetCheck(int id, int state) {
  if (Control* c = Find(id)) c->check = state;
}

int HeadlessDialogWindow::GetCheck(int id) const {
  const Control* c = Find(id);
  return c == nullptr ? kUnchecked : c->check;
}

void HeadlessDialogWindow::SetSliderRange(int id, int min, int max) {
  Control* c = Find(id);
  if (c == nullptr) return;
  c->min = min;
  c->max = max;
  c->pos = std::clamp(c->pos, std::min(min, max), std::max(min, max));
}

void HeadlessDialogWindow::GetSliderRange(int id, int* min, int* max) const {
  const Control* c = Find(id);
  *min = c == nullptr ? 0 : c->min;
  *max = c == nullptr ? 0 : c->max;
}

void HeadlessDialogWindow::SetSliderPos(int id, int pos) {
  if (Control* c = Find(id))
    c->pos = std::clamp(pos, std::min(c->min, c->max), std::max(c->min, c->max));
}

int HeadlessDialogWindow::GetSliderPos(int id) const {
  const Control* c = Find(id);
  return c == nullptr ? 0 : c->pos;
}

void HeadlessDialogWindow::ClearList(int id) {
  if (Control* c = Find(id)) {
    c->items.clear();
    c->selection = -1;
  }
}

void HeadlessDialogWindow::AddListItem(int id, const std::string& text) {
  if (Control* c = Find(id)) c->items.push_back(text);
}

void HeadlessDialogWindow::SetListSelection(int id, int index) {
  if (Control* c = Find(id))
    c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
}

int HeadlessDialogWindow::GetListSelection(int id) const {
  const Control* c = Find(id);
  return c == nullptr ? -1 : c->selection;
}

PixelCanvas* HeadlessDialogWindow::Canvas(int id) {
  Control* c = Find(id);
  return c == nullptr ? nullptr : c->canvas.get();
}

void HeadlessDialogWindow::EnableItem(int id, bool enabled) {
  if (Control* c = Find(id)) c->enabled = enabled;
}

void HeadlessDialogWindow::EndDialog(int result) {
  if (ended_) return;
  ended_ = true;
  result_ = result;
}

bool HeadlessDialogWindow::IsEnabled(int id) const {
  auto it = controls_.find(id);
  return it != controls_.end() && it->second.enabled;
}

std::vector<std::string> HeadlessDialogWindow::ListItems(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? std::vector<std::string>() : it->second.items;
}

HeadlessDialogWindow::Control* HeadlessDialogWindow::FindForUser(int id, ControlKind kind) {
  auto it = controls_.find(id);
  if (ended_ || it == controls_.end() || !it->second.enabled) return nullptr;
  Control& c = it->second;
  bool edit = kind == ControlKind::kNumberEdit && IsEdit(c);
  bool area = kind == ControlKind::kCurveArea && c.canvas != nullptr;
  return c.desc->kind == kind || edit || area ? &c : nullptr;
}

bool HeadlessDialogWindow::Type(int id, const std::string& text) {
  Control* c = FindForUser(id, ControlKind::kNumberEdit);
  if (c == nullptr) return false;
  c->text = text;
  c->selStart = c->selEnd = text.size();
  EditChanged(id);
  return true;
}

bool HeadlessDialogWindow::SelectText(int id, int start, int end) {
  Control* c = FindForUser(id, ControlKind::kNumberEdit);
  if (c == nullptr) return false;
  int size = static_cast<int>(c->text.size());
  c->selStart = static_cast<size_t>(std::clamp(std::min(start, end), 0, size));
  c->selEnd = static_cast<size_t>(std::clamp(std::max(start, end), 0, size));
  return true;
}

bool HeadlessDialogWindow::Click(int id) {
  auto it = controls_.find(id);
  if (ended_ || it == controls_.end() || !it->second.enabled) return false;
  const ControlDesc& d = *it->second.desc;
  if (d.kind == ControlKind::kRadio) {
    for (auto& [other_id, other] : controls_)
      if (other.desc->kind == ControlKind::kRadio && other.desc->container == d.container)
        other.check = other_id == id ? kChecked : kUnchecked;
  } else if (d.kind != ControlKind::kCheckBox && d.kind != ControlKind::kPushButton) {
    return false;
  }
  handler_.Clicked(*this, id);
  return true;
}

bool HeadlessDialogWindow::Scroll(int id, int request, int position) {
  if (FindForUser(id, ControlKind::kSlider) == nullptr) return false;
  handler_.Scrolled(*this, id, request, position);
  return true;
}

bool HeadlessDialogWindow::ChooseListItem(int id, int index) {
  Control* c = FindForUser(id, ControlKind::kDropList);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) return false;
  c->selection = index;
  handler_.Chosen(*this, id);
  return true;
}

bool HeadlessDialogWindow::Mouse(int id, MouseAction action, int x, int y) {
  if (FindForUser(id, ControlKind::kCurveArea) == nullptr) return false;
  handler_.Mouse(*this, id, action, x, y);
  return true;
}

bool HeadlessDialogWindow::MouseDown(int id, int x, int y) {
  return Mouse(id, MouseAction::kPress, x, y);
}

bool HeadlessDialogWindow::MouseMove(int id, int x, int y) {
  return Mouse(id, MouseAction::kMove, x, y);
}

bool HeadlessDialogWindow::MouseUp(int id, int x, int y) {
  return Mouse(id, MouseAction::kRelease, x, y);
}

void HeadlessDialogWindow::Close() {
  if (ended_) return;
  if (!handler_.Closing(*this) && !ended_) handler_.Clicked(*this, 2);
}

}  // namespace kelvora
