// Stands in for the parameter-dialog procedure until it lands: the dialog
// host answers, and the variables keep the values they hold.
#include "effects/param_dialog.h"
#include "platform/platform.h"

namespace kelvora {

int RunParamDialog(int dialog_id, ParamEntry* table) {
  return Services().dialogs->RunDialog(dialog_id, table);
}

}  // namespace kelvora
