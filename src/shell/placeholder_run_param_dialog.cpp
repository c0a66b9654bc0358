// Stand-in until the parameter-dialog procedure is in this branch: runs the
// dialog on the installed host. Weak, so the real definition wins.
#include "effects/param_dialog.h"
#include "platform/platform.h"

namespace kelvora {

__attribute__((weak)) int RunParamDialog(int dialog_id, ParamEntry* table) {
  return Services().dialogs->RunDialog(dialog_id, table);
}

}  // namespace kelvora
