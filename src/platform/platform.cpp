#include "platform/platform.h"

namespace kelvora {

Platform& Services() {
  static Platform platform;
  return platform;
}

int ShowMessage(const std::string& caption, const std::string& text, MsgIcon icon,
                MsgButtons buttons) {
  return Services().ui->MessageBox(caption, text, icon, buttons, true);
}

}  // namespace kelvora
