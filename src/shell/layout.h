// Where the main window puts its two views when it is resized.
#pragma once

namespace kelvora {

struct ViewRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct MainLayout {
  ViewRect wave;      // the upper seven eighths
  ViewRect overview;  // the eighth below it
};

// For a client area of `width` × `height` with a toolbar `toolbarHeight`
// high at the top and a status bar `statusHeight` high at the bottom. A
// window too small for both bars gives the views no height at all.
MainLayout ComputeMainLayout(int width, int height, int toolbarHeight, int statusHeight);

}  // namespace kelvora
