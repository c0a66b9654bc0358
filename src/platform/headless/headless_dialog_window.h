// A dialog without a screen, for tests: the controls of a dialog
// description held as plain values, driven by a DialogHandler. Besides what
// the handler uses, it offers what a user does (type, click, scroll, drag),
// each delivered to the handler as the real control would report it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog_window.h"
#include "platform/pixel_canvas.h"
#include "resources/dialogs.h"

namespace kelvora {

class HeadlessDialogWindow : public DialogWindow {
public:
  HeadlessDialogWindow(const DialogDesc& desc, DialogHandler& handler);

  // Tells the handler it has opened, then asks every drawing area to be drawn.
  void Open();
  bool ended() const { return ended_; }
  int result() const { return result_; }
  const DialogDesc& description() const { return desc_; }

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

  // What a user does. Each returns false, doing nothing, when the control
  // is missing, of the wrong kind, disabled, or the dialog has ended.
  // Replaces the whole text of an edit box (one edit-change).
  bool Type(int id, const std::string& text);
  // Selects bytes [start, end) of an edit box's text; the caret goes to end.
  bool SelectText(int id, int start, int end);
  // A check box or push button notifies; a radio button is checked, the
  // others of its group unchecked, then it notifies.
  bool Click(int id);
  // A scroll request from a slider (horizontal or vertical by its kind).
  bool Scroll(int id, int request, int position = 0);
  bool ChooseListItem(int id, int index);
  bool MouseDown(int id, int x, int y);
  bool MouseMove(int id, int x, int y);
  bool MouseUp(int id, int x, int y);
  // The tip the pointer at (x, y) over control `id` would show.
  std::string Tip(int id, int x = 0, int y = 0) {
    return ended_ ? std::string() : handler_.ValueTip(*this, id, x, y);
  }
  // The close box: the handler may take it; if not, it is Cancel.
  void Close();

  bool IsEnabled(int id) const;
  std::vector<std::string> ListItems(int id) const;
  // Ids the handler addressed that the dialog does not have, in order.
  const std::vector<int>& unknownIds() const { return unknownIds_; }

private:
  struct Control {
    const ControlDesc* desc = nullptr;
    std::string text;
    size_t selStart = 0, selEnd = 0;  // edit boxes, in bytes
    int check = kUnchecked;
    int min = 0, max = 100, pos = 0;
    std::vector<std::string> items;
    int selection = -1;
    std::unique_ptr<PixelCanvas> canvas;
    bool enabled = true;
  };
  Control* Find(int id);
  const Control* Find(int id) const;
  Control* FindForUser(int id, ControlKind kind);
  bool IsEdit(const Control& c) const;
  void EditChanged(int id);
  bool Mouse(int id, MouseAction action, int x, int y);

  const DialogDesc& desc_;
  DialogHandler& handler_;
  std::map<int, Control> controls_;
  mutable std::vector<int> unknownIds_;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace kelvora
