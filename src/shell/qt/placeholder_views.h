// Stand-ins for the waveform view and the overview until their widgets
// exist: the main window creates its two views only through these.
#pragma once

#include <QWidget>

namespace kelvora {

QWidget* CreateWaveViewWidget(QWidget* parent);
QWidget* CreateOverviewWidget(QWidget* parent);

}  // namespace kelvora
