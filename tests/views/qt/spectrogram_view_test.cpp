#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <cmath>

#include "shell/main_window.h"
#include "shell/qt/qt_test_app.h"
#include "views/spectrogram.h"
#include "views/spectrogram_settings.h"
#include "views/view_logic.h"
#include "views/view_state.h"
#include "views/wave_input.h"

namespace kelvora {
namespace {

// 22050 Hz stereo, two seconds: a 2 kHz tone left, silence right, at 1/64.
struct SpectrogramWindow : QtWindowFixture, ::testing::Test {
  SpectrogramWindow() {
    UseQtUi();
    std::vector<int16_t> s;
    for (int i = 0; i < 44100; ++i)
      s.insert(s.end(), {static_cast<int16_t>(12000 * std::sin(i * 2000 * 2 * M_PI / 22050)), 0});
    SetDocument(MakeFormat(22050, 16, 2), Pcm16(s));
    SetZoom(3);
    window->resize(900, 600);
    window->show();
    Flush();
  }
  WaveView* Wave() { return window->WaveView(); }
  // The picture once every column in view is drawn, through the event loop.
  QImage Complete() {
    QImage p = Wave()->Picture();
    while (SpectrogramPending()) {
      WaitForSpectrogram();
      Flush();
      p = Wave()->Picture();
    }
    return p;
  }
  QAction* Item(int id) {
    for (QAction* menu : window->menuBar()->actions())
      for (QAction* a : menu->menu()->actions())
        if (a->data().toInt() == id) return a;
    return nullptr;
  }
  // The row of lane 0 that shows 2 kHz, and one in the silent lane.
  int ToneRow() {
    const WaveGeometry g = CurrentWaveGeometry();
    const int rows = g.laneHeight - 4;
    return g.LaneTop(0) + 2 + rows - 1 - static_cast<int>(2000.0 / 11025 * rows);
  }
  int SilentRow() { return CurrentWaveGeometry().LaneTop(1) + 20; }
  void Select(int32_t startFrame, int32_t endFrame) {
    Doc().selStart = startFrame * 4;
    Doc().selEnd = endFrame * 4;
    DrawSelection();
  }
};

TEST_F(SpectrogramWindow, MenuItemSwitchesTheViewAndItsCheckMark) {
  QAction* item = Item(kCmdSpectrogram);
  ASSERT_NE(item, nullptr);
  item->trigger();
  Flush();
  EXPECT_TRUE(SpectrogramShown());
  EXPECT_TRUE(item->isChecked());
  const QImage on = Complete();
  EXPECT_GT(qRed(on.pixel(300, ToneRow())), 200);  // bright: pale yellow
  EXPECT_EQ(on.pixel(300, SilentRow()) | 0xff000000, 0xff000000);
  item->trigger();
  Flush();
  EXPECT_FALSE(SpectrogramShown());
  EXPECT_FALSE(item->isChecked());
  EXPECT_NE(Wave()->Picture(), on);
}

TEST_F(SpectrogramWindow, SelectionIsLaidOverInRedAndLeavesNoTraceWhenItMoves) {
  SpectrogramOptions().on = 1;
  Select(400 * 64, 400 * 64);  // the cursor far right
  RefreshViews();
  const QImage plain = Complete();
  Select(100 * 64, 200 * 64);
  const QImage tinted = Complete();
  const int x = kPlotLeft + 150, y = ToneRow();
  EXPECT_GT(qRed(tinted.pixel(x, SilentRow())), 80);  // black turns dark red
  EXPECT_LT(qGreen(tinted.pixel(x, y)), qGreen(plain.pixel(x, y)));
  EXPECT_EQ(tinted.pixel(kPlotLeft + 250, y), plain.pixel(kPlotLeft + 250, y));
  Select(400 * 64, 400 * 64);
  EXPECT_EQ(Complete(), plain);
}

// Also run with QT_SCALE_FACTOR=2 (ctest's HiDPI entry).
TEST_F(SpectrogramWindow, ScrolledSpectrogramEqualsARepaintedOne) {
  SpectrogramOptions().on = 1;
  RefreshViews();
  Select(150 * 64, 700 * 64);
  const int scale = Wave()->Canvas()->Scale();
  for (int columns : {8, 80, -8, 3000, -5000}) {
    WaveScrollColumns(columns);
    const QImage scrolled = Complete();
    EXPECT_EQ(scrolled.size(), Wave()->Canvas()->size() * scale);
    RefreshViews();
    EXPECT_EQ(scrolled, Complete()) << columns;
  }
}

}  // namespace
}  // namespace kelvora
