// Modal dialogs on screen: a QDialog built from a dialog description, whose
// widgets the engine's dialog handlers drive through DialogWindow. User
// actions arrive at the handler as its typed calls: typing as Edited, clicks
// as Clicked, scroll bar actions as scroll requests, the left button in
// drawing areas as Mouse.
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

struct ParamEntry;

class QtDialog : public QDialog, public DialogWindow {
public:
  QtDialog(const DialogDesc& desc, DialogHandler& handler, QWidget* parent);
  ~QtDialog() override;

  // Tells the handler it has opened and asks the drawing areas to be drawn.
  void Open();
  // Runs the dialog modally unless the handler already ended it; returns
  // the result the handler ended it with.
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
  // Runs one of the handler's calls, unless the dialog has ended; the
  // drawing areas are shown anew after the outermost.
  template <class F>
  void Deliver(F f) {
    if (ended_) return;
    ++depth_;
    f(handler_);
    if (--depth_ == 0) RefreshAreas();
  }

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
  // The handler's value tip for a slider, beside the pointer.
  void ShowSliderTip(int id);
  void RefreshAreas();
  const Control* Find(int id) const;

  const DialogDesc& desc_;
  DialogHandler& handler_;
  std::map<int, Control> controls_;
  std::map<int, QGridLayout*> grids_;
  bool ended_ = false;
  int result_ = 0;
  int depth_ = 0;  // messages being handled, nested
};

class QtDialogHost : public DialogHost {
public:
  explicit QtDialogHost(QWidget* parent);
  int RunDialog(int dialog_id, DialogHandler& handler) override;
  // The dialog built and opened but not run; null for an unknown id.
  std::unique_ptr<QtDialog> Build(int dialog_id, DialogHandler& handler);

private:
  QWidget* parent_;
};

}  // namespace kelvora
