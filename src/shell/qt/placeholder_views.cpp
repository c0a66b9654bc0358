#include "shell/qt/placeholder_views.h"

#include <QFrame>
#include <QPalette>

namespace kelvora {
namespace {

QWidget* SunkenPanel(QWidget* parent, const QColor& background, const char* name) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(name);
  frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  QPalette pal = frame->palette();
  pal.setColor(QPalette::Window, background);
  frame->setPalette(pal);
  frame->setAutoFillBackground(true);
  return frame;
}

}  // namespace

QWidget* CreateWaveViewWidget(QWidget* parent) {
  return SunkenPanel(parent, QColor(0, 0, 0), "WaveWnd");
}

QWidget* CreateOverviewWidget(QWidget* parent) {
  return SunkenPanel(parent, QColor(0, 0, 192), "OverviewWnd");
}

}  // namespace kelvora
