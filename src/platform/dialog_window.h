// A modal dialog as the engine's dialog procedures see it: controls
// addressed by id, and the few messages those procedures react to. The Qt
// host maps real widgets onto it; the headless host keeps plain values.
#pragma once

#include <cstdint>
#include <string>

namespace kelvora {

class PixelCanvas;

// Messages delivered to a dialog procedure.
enum DialogMessage : int {
  kMsgPaint = 0x000F,       // wparam: id of a drawing area whose canvas wants drawing
  kMsgClose = 0x0010,       // the close box; unhandled (0) it becomes command 2
  kMsgInitDialog = 0x0110,  // wparam 0, lparam 0
  kMsgCommand = 0x0111,     // wparam MakeCommand(id, notification), lparam id
  kMsgHScroll = 0x0114,     // wparam MakeScroll(request, position), lparam slider id
  kMsgVScroll = 0x0115,
  // Mouse in a drawing area: wparam the area's id, lparam MakePoint(x, y)
  // relative to the area's top left. Moves arrive while a button is held,
  // also outside the area (negative or beyond its size).
  kMsgMouseMove = 0x0200,
  kMsgLButtonDown = 0x0201,
  kMsgLButtonUp = 0x0202,
};

// Notifications carried by kMsgCommand.
enum CommandNotification : int {
  kNotifyClicked = 0,
  kNotifySelChange = 1,  // a drop-down list's selection was changed by the user
  kNotifyEditChange = 0x0300,
};

// Scroll requests carried by the scroll messages.
enum ScrollRequest : int {
  kScrollLineUp = 0,
  kScrollLineDown = 1,
  kScrollPageUp = 2,
  kScrollPageDown = 3,
  kScrollThumbPosition = 4,
  kScrollThumbTrack = 5,
  kScrollTop = 6,
  kScrollBottom = 7,
  kScrollEnd = 8,
};

enum CheckState : int { kUnchecked = 0, kChecked = 1, kIndeterminate = 2 };

constexpr intptr_t MakeCommand(int id, int notification) {
  return static_cast<intptr_t>((static_cast<uint32_t>(notification) << 16) |
                               (static_cast<uint32_t>(id) & 0xffff));
}
constexpr intptr_t MakeScroll(int request, int position) {
  return static_cast<intptr_t>((static_cast<uint32_t>(position & 0xffff) << 16) |
                               (static_cast<uint32_t>(request) & 0xffff));
}
constexpr intptr_t MakePoint(int x, int y) { return MakeScroll(x, y); }
constexpr int LowWord(intptr_t w) { return static_cast<int>(static_cast<uint32_t>(w) & 0xffff); }
constexpr int HighWord(intptr_t w) {
  return static_cast<int>((static_cast<uint32_t>(w) >> 16) & 0xffff);
}
// The signed 16-bit halves: thumb positions and mouse coordinates.
constexpr int SignedLowWord(intptr_t w) { return static_cast<int16_t>(LowWord(w)); }
constexpr int SignedHighWord(intptr_t w) { return static_cast<int16_t>(HighWord(w)); }

class DialogWindow {
public:
  virtual ~DialogWindow() = default;
  virtual bool HasControl(int id) const = 0;
  // Setting an edit box's text raises its edit-change command at once, as a
  // native edit control does, and leaves the caret at the end of the text.
  // On a static text it only changes what is shown.
  virtual void SetItemText(int id, const std::string& text) = 0;
  virtual std::string GetItemText(int id) const = 0;
  // Replaces the selected text of an edit box (or inserts at the caret when
  // nothing is selected); the caret ends after the new text. Raises
  // edit-change.
  virtual void ReplaceEditSelection(int id, const std::string& text) = 0;
  virtual void SetCheck(int id, int state) = 0;
  virtual int GetCheck(int id) const = 0;
  // Writing a slider's range or position sends no message.
  virtual void SetSliderRange(int id, int min, int max) = 0;
  virtual void GetSliderRange(int id, int* min, int* max) const = 0;
  // The slider clamps the position into its range.
  virtual void SetSliderPos(int id, int pos) = 0;
  virtual int GetSliderPos(int id) const = 0;
  // Drop-down lists; index -1 selects nothing. No message is sent.
  virtual void ClearList(int id) = 0;
  virtual void AddListItem(int id, const std::string& text) = 0;
  virtual void SetListSelection(int id, int index) = 0;
  virtual int GetListSelection(int id) const = 0;
  // The pixels of a drawing area, null for any other control. What is drawn
  // stays until drawn over; the host shows changes after each message.
  virtual PixelCanvas* Canvas(int id) = 0;
  virtual void EnableItem(int id, bool enabled) = 0;
  virtual void EndDialog(int result) = 0;
};

}  // namespace kelvora
