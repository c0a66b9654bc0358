#include "platform/headless/headless_dialogs.h"

#include "platform/param_dialog.h"

namespace kelvora {

void HeadlessDialogHost::QueueFields(std::vector<DialogField> fields, int button) {
  queued_.push_back(Script{std::move(fields), nullptr, button});
}

void HeadlessDialogHost::QueueActions(Actions actions, int button) {
  queued_.push_back(Script{{}, std::move(actions), button});
}

int HeadlessDialogHost::RunDialog(int dialog_id, DialogHandler& handler) {
  shown.push_back(dialog_id);
  tableProblem.clear();
  if (auto* table = dynamic_cast<ParamDialogHandler*>(&handler))
    ParamTableMatchesDialog(dialog_id, table->table(), &tableProblem);
  Script script{{}, nullptr, defaultButton};
  if (!queued_.empty()) {
    script = std::move(queued_.front());
    queued_.pop_front();
  }
  const DialogDesc* desc = FindDialog(dialog_id);
  if (desc == nullptr) return 0;  // a dialog the program does not have cannot open
  if (!script.actions)
    return script.button == 1 ? handler.Accept(script.fields) : script.button == 2 ? 0 : script.button;
  HeadlessDialogWindow w(*desc, handler);
  w.Open();
  if (!w.ended()) script.actions(w);
  if (!w.ended() && script.button != 0) w.Click(script.button);
  if (!w.ended()) w.Close();
  if (!w.ended()) w.EndDialog(0);  // a handler deaf even to the close box
  return w.result();
}

}  // namespace kelvora
