// Dialogs without a screen, for tests: the next dialog either stores queued
// fields as the batch tool does (DialogHandler::Accept), or opens in a
// HeadlessDialogWindow where queued actions play what a user does.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/headless/headless_dialog_window.h"
#include "platform/platform.h"

namespace kelvora {

class HeadlessDialogHost : public DialogHost {
public:
  using Actions = std::function<void(HeadlessDialogWindow&)>;

  int RunDialog(int dialog_id, DialogHandler& handler) override;

  // Fields the next dialog stores as if entered and OK pressed (button 1);
  // another button ends it with its id (Cancel: 0) and stores nothing.
  void QueueFields(std::vector<DialogField> fields, int button = 1);
  // What a user does in the next dialog; afterwards, unless the dialog has
  // ended, `button` is pressed (0: none, the close box ends it).
  void QueueActions(Actions actions, int button = 1);
  void ClearQueue() { queued_.clear(); }

  // With nothing queued a dialog ends with this button (1 OK, 2 Cancel):
  // OK stores nothing new, as the batch tool's OK without fields.
  int defaultButton = 1;
  std::vector<int> shown;  // ids of the dialogs run, in order
  // Why the last table-driven dialog's table does not fit its description
  // (empty when it does).
  std::string tableProblem;

private:
  struct Script {
    std::vector<DialogField> fields;
    Actions actions;
    int button = 1;
  };
  std::deque<Script> queued_;
};

}  // namespace kelvora
