#include "shell/shell_commands.h"

#include "document/texts.h"
#include "platform/param_dialog.h"
#include "platform/platform.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/texts.h"

namespace kelvora {

void NewWindow() {
  switch (Services().processes->StartSelf()) {
    case StartResult::kOk:
      return;
    case StartResult::kOutOfMemory:
      ShowWarning(texts::kCaptionNewWindow, texts::kOutOfMemory);
      return;
    case StartResult::kFailed:
      ShowWarning(texts::kCaptionNewWindow, texts::kCannotOpenWindow);
      return;
  }
}

void ExitProgram() { CloseMainWindow(); }

void ShowHelp() {
  const std::string& path = Shell().helpPath;
  if (!path.empty()) Services().processes->OpenDocument(path);
}

void ShowAbout() {
  if (!Shell().aboutSoundPath.empty()) Services().processes->PlaySoundFile(Shell().aboutSoundPath);
  ParamEntry table[1] = {};
  RunParamDialog(kAboutDialog, table);
}

}  // namespace kelvora
