#include "views/display_settings.h"

#include <string>

#include "document/observer.h"
#include "platform/param_dialog.h"
#include "platform/platform.h"
#include "views/view_state.h"

namespace kelvora {

void DisplaySettings() {
  ViewState& v = View();
  ParamEntry table[] = {
      {.id = 200, .kind = kParamSlider, .value = &v.density, .min = 1, .max = 128, .buddy = 201},
      {.id = 201, .kind = kParamNumber, .value = &v.density, .min = 1, .max = 128, .buddy = 200},
      {.id = 300, .kind = kParamRadio, .value = &v.displayMode, .min = 0},
      {.id = 301, .kind = kParamRadio, .value = &v.displayMode, .min = 1},
      {.id = 400, .kind = kParamCheck, .value = &v.trackMode},
      {},
  };
  if (!RunParamDialog(kDisplaySettingsDialog, table)) return;
  Profile* p = Services().profile;
  HeldProfileWrites once(p);
  p->WriteString("Options", "density", std::to_string(v.density));
  p->WriteString("Options", "dispmode", std::to_string(v.displayMode));
  p->WriteString("Options", "trackmode", std::to_string(v.trackMode));
  NotifyFormatChanged();
  NotifyDataChanged();
}

}  // namespace kelvora
