#include "platform/headless/headless_dialogs.h"

namespace kelvora {

bool CheckDialogFields(int, const std::vector<DialogField>& fields, std::string* error) {
  if (fields.empty()) return true;
  *error = "unknown field: " + fields.front().name;
  return false;
}

void HeadlessDialogHost::QueueFields(std::vector<DialogField> fields, int button) {
  queued_.push_back(Script{std::move(fields), button});
}

int HeadlessDialogHost::RunDialog(int dialog_id, ParamEntry*) {
  shown.push_back(dialog_id);
  if (queued_.empty()) return defaultButton;
  int button = queued_.front().button;
  queued_.pop_front();
  return button == 2 ? 0 : button;
}

int HeadlessDialogHost::RunCustomDialog(int dialog_id, DialogProc, void*) {
  shown.push_back(dialog_id);
  return defaultButton;
}

}  // namespace kelvora
