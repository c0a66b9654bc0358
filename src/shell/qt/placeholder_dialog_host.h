// Stand-in for the parameter-dialog host until it is in this branch: only
// the about box, as a plain message box; every other dialog is cancelled.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/platform.h"

namespace kelvora {

class PlaceholderDialogHost : public DialogHost {
public:
  explicit PlaceholderDialogHost(QWidget* parent) : parent_(parent) {}
  int RunDialog(int dialog_id, ParamEntry* table) override;
  int RunCustomDialog(int dialog_id, DialogProc proc, void* context) override;

private:
  QPointer<QWidget> parent_;
};

}  // namespace kelvora
