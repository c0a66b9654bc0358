// Dialogs without a screen: the next run plays the values queued by a test
// or the batch tool against the engine's dialog procedure, then presses a
// button, exactly as a user typing into the window would.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kelvora {

// One field of a dialog by its batch-tool name, with the text a user types
// ("12.5"), "on"/"off" for a check box, or a radio choice's value name.
struct DialogField {
  std::string name;
  std::string value;
};

// Checks field names and value syntax against the dialog's description.
// Returns false with a one-line reason when the batch tool must refuse them.
bool CheckDialogFields(int dialog_id, const std::vector<DialogField>& fields, std::string* error);

class HeadlessDialogHost : public DialogHost {
public:
  int RunDialog(int dialog_id, ParamEntry* table) override;
  int RunCustomDialog(int dialog_id, DialogProc proc, void* context) override;

  // Values typed into the next dialog that opens, before `button` is pressed.
  void QueueFields(std::vector<DialogField> fields, int button = 1);
  void ClearQueue() { queued_.clear(); }

  // With nothing queued a dialog is closed with this button (1 OK, 2 Cancel).
  int defaultButton = 1;
  std::vector<int> shown;  // ids of the dialogs run, in order

private:
  struct Script {
    std::vector<DialogField> fields;
    int button = 1;
  };
  std::deque<Script> queued_;
};

}  // namespace kelvora
