#include "shell/layout.h"

namespace kelvora {

MainLayout ComputeMainLayout(int width, int height, int toolbarHeight, int statusHeight) {
  int a = height - toolbarHeight - statusHeight;
  if (a < 0) a = 0;
  if (width < 0) width = 0;
  MainLayout l;
  l.wave = ViewRect{0, toolbarHeight, width, a * 7 / 8};
  l.overview = ViewRect{0, toolbarHeight + a * 7 / 8, width, a / 8};
  return l;
}

}  // namespace kelvora
