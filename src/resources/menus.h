// The menu bar, the busy and device menus, the accelerator table and the
// toolbar, as data: the Qt window builds its widgets from these lists.
#pragma once

#include <span>

namespace kelvora {

// A menu item; id 0 is a separator. `keyText` is the key shown after the
// label ("Ctrl+N"), or null.
struct MenuItemDesc {
  int id;
  const char* label;
  const char* keyText = nullptr;
};

struct PopupDesc {
  const char* title;
  std::span<const MenuItemDesc> items;
};

// Menu 101, popup by popup. The File popup gets the recent files appended
// when it opens; the zoom items of the fifth popup carry check marks.
std::span<const PopupDesc> MainMenu();
inline constexpr int kFilePopup = 0;
inline constexpr int kZoomPopup = 4;

// Menu 102: one disabled item on the bar while an operation runs.
MenuItemDesc BusyMenuItem();

// Accelerator table 101: key sequences in portable text ("Ctrl+Z", "Del").
struct AcceleratorDesc {
  const char* keys;
  int id;
};
std::span<const AcceleratorDesc> Accelerators();

// The toolbar, left to right; image -1 is a separator.
struct ToolbarEntryDesc {
  int image;
  int id;
};
std::span<const ToolbarEntryDesc> ToolbarEntries();
inline constexpr int kToolbarImages = 7;

}  // namespace kelvora
