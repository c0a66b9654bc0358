// Modal dialogs on screen: a QDialog built from a dialog description, whose
// widgets the engine's dialog procedures drive through DialogWindow. User
// actions arrive at the procedure as the messages the engine knows: typing
// as edit-change, clicks as commands, scroll bar actions as scroll requests,
// mouse buttons in drawing areas as mouse messages.
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <memory>

#include "platform/dialog_window.h"
#include "platform/pixel_canvas.h"
#include "platform/platform.h"
#include "resources/dialogs.h"

class QGridLayout;

namespace kelvora {

class QtDialog : public QDialog, public DialogWindow {
public:
  using Proc = std::function<intptr_t(DialogWindow&, int, intptr_t, intptr_t)>;
  QtDialog(const DialogDesc& desc, Proc proc, QWidget* parent);
  ~QtDialog() override;

  // Sends the opening message and asks the drawing areas to be drawn.
  void Open();
  // Runs the dialog modally unless the procedure already ended it; returns
  // the result the procedure ended it with.
  int Run();
  bool ended() const { return ended_; }
  int endResult() const { return result_; }
  // Lets each number edit box take only what its field can hold: digits,
  // a minus where `table` (ParamDialog's rows, null for a dialog with its
  // own procedure, whose boxes hold counts) gives the field a negative
  // lowest value, and one decimal point with one digit after it where the
  // field shows one.
  void LimitNumberInput(const ParamEntry* table);
  // The widget of a control (tests drive it like a user would).
  QWidget* Widget(int id) const;
  intptr_t Send(int message, intptr_t wparam, intptr_t lparam);

  // DialogWindow.
  bool HasControl(int id) const override;
  void SetItemText(int id, const std::string& text) override;
  std::string GetItemText(int id) const override;
  void ReplaceEditSelection(int id, const std::string& text) override;
  void SetCheck(int id, int state) override;
  int GetCheck(int id) const override;
  void SetSliderRange(int id, int min, int max) override;
  void GetSliderRange(int id, int* min, int* max) const override;
  void SetSliderPos(int id, int pos) override;
  int GetSliderPos(int id) const override;
  void ClearList(int id) override;
  void AddListItem(int id, const std::string& text) override;
  void SetListSelection(int id, int index) override;
  int GetListSelection(int id) const override;
  PixelCanvas* Canvas(int id) override;
  void EnableItem(int id, bool enabled) override;
  void EndDialog(int result) override;

protected:
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

private:
  struct Control {
    const ControlDesc* desc = nullptr;
    QWidget* widget = nullptr;
    int min = 0, max = 100;  // a slider's range as given
    std::unique_ptr<PixelCanvas> canvas;
    uint64_t shownVersion = 0;
  };
  void Build();
  QWidget* MakeWidget(const ControlDesc& c, Control& control);
  void Clicked(int id);
  void SliderAction(int id, int action);
  void RefreshAreas();
  const Control* Find(int id) const;

  const DialogDesc& desc_;
  Proc proc_;
  std::map<int, Control> controls_;
  std::map<int, QGridLayout*> grids_;
  bool ended_ = false;
  int result_ = 0;
  int depth_ = 0;  // messages being handled, nested
};

class QtDialogHost : public DialogHost {
public:
  explicit QtDialogHost(QWidget* parent);
  int RunDialog(int dialog_id, ParamEntry* table) override;
  int RunCustomDialog(int dialog_id, DialogProc proc, void* context) override;
  // The dialog built and opened but not run; null for an unknown id.
  // `table`: the ParamDialog rows behind it, for what its boxes may take.
  std::unique_ptr<QtDialog> Build(int dialog_id, QtDialog::Proc proc,
                                  const ParamEntry* table = nullptr);

private:
  QWidget* parent_;
};

}  // namespace kelvora
