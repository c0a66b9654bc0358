#include "shell/qt/placeholder_dialog_host.h"

#include <QMessageBox>

#include "shell/qt/icons.h"
#include "shell/shell_commands.h"

namespace kelvora {

int PlaceholderDialogHost::RunDialog(int dialog_id, ParamEntry*) {
  if (dialog_id != kAboutDialog) return 0;
  QMessageBox box(parent_.data());
  box.setWindowTitle(QString::fromUtf8("バージョン情報..."));
  box.setIconPixmap(ProgramIcon().pixmap(32, 32));
  box.setText(QStringLiteral("Kelvora Version 1.01"));
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return 1;
}

int PlaceholderDialogHost::RunCustomDialog(int, DialogProc, void*) { return 0; }

}  // namespace kelvora
