#include "platform/headless/headless_dialog_window.h"

#include <algorithm>

namespace kelvora {

HeadlessDialogWindow::HeadlessDialogWindow(const DialogDesc& desc, Proc proc)
    : desc_(desc), proc_(std::move(proc)) {
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
  Send(kMsgInitDialog, 0, 0);
  for (auto& [id, control] : controls_)
    if (control.canvas && !ended_) Send(kMsgPaint, id, 0);
}

intptr_t HeadlessDialogWindow::Send(int message, intptr_t wparam, intptr_t lparam) {
  if (ended_) return 0;
  return proc_(*this, message, wparam, lparam);
}

void HeadlessDialogWindow::EditChanged(int id) {
  Send(kMsgCommand, MakeCommand(id, kNotifyEditChange), id);
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
  Send(kMsgCommand, MakeCommand(id, kNotifyClicked), id);
  return true;
}

bool HeadlessDialogWindow::Scroll(int id, int request, int position) {
  Control* c = FindForUser(id, ControlKind::kSlider);
  if (c == nullptr) return false;
  int message = (c->desc->flags & kVertical) ? kMsgVScroll : kMsgHScroll;
  Send(message, MakeScroll(request, position), id);
  return true;
}

bool HeadlessDialogWindow::ChooseListItem(int id, int index) {
  Control* c = FindForUser(id, ControlKind::kDropList);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) return false;
  c->selection = index;
  Send(kMsgCommand, MakeCommand(id, kNotifySelChange), id);
  return true;
}

bool HeadlessDialogWindow::MouseDown(int id, int x, int y) {
  if (FindForUser(id, ControlKind::kCurveArea) == nullptr) return false;
  Send(kMsgLButtonDown, id, MakePoint(x, y));
  return true;
}

bool HeadlessDialogWindow::MouseMove(int id, int x, int y) {
  if (FindForUser(id, ControlKind::kCurveArea) == nullptr) return false;
  Send(kMsgMouseMove, id, MakePoint(x, y));
  return true;
}

bool HeadlessDialogWindow::MouseUp(int id, int x, int y) {
  if (FindForUser(id, ControlKind::kCurveArea) == nullptr) return false;
  Send(kMsgLButtonUp, id, MakePoint(x, y));
  return true;
}

void HeadlessDialogWindow::Close() {
  if (ended_) return;
  if (Send(kMsgClose, 0, 0) == 0 && !ended_) Send(kMsgCommand, MakeCommand(2, kNotifyClicked), 2);
}

}  // namespace kelvora
