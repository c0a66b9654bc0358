// The window while playing: the toolbar's transport buttons and the menus.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>
#include <QToolBar>

#include "audio/audio.h"
#include "shell/qt/qt_test_app.h"

namespace kelvora {
namespace {

struct TransportButtonsTest : QtWindowFixture, ::testing::Test {
  // Enabled state of the toolbar's buttons by command, in toolbar order.
  std::vector<std::pair<int, bool>> Buttons() {
    std::vector<std::pair<int, bool>> out;
    for (QAction* a : window->Toolbar()->actions())
      if (!a->isSeparator()) out.emplace_back(a->data().toInt(), a->isEnabled());
    return out;
  }
};

TEST_F(TransportButtonsTest, OffWhilePlayingAndBackAtTheEnd) {
  UseQtUi();
  SetDocument(MakeFormat(8000, 8, 1), std::vector<uint8_t>(1600, 128));
  const auto on = Buttons();
  StartPlayback(kPlayAll);
  EXPECT_EQ(Buttons(), (std::vector<std::pair<int, bool>>{{kCmdPlay, false},
                                                          {kCmdPlayFromCursor, false},
                                                          {kCmdLoopPlay, false},
                                                          {kCmdStop, true},
                                                          {kCmdRecord, false},
                                                          {kCmdZoomIn, true},
                                                          {kCmdZoomOut, true}}));
  for (QAction* menu : window->menuBar()->actions()) EXPECT_FALSE(menu->isEnabled());
  platform.waveDevices.Advance(200);
  EXPECT_FALSE(IsAudioRunning());
  EXPECT_EQ(Buttons(), on);
  for (QAction* menu : window->menuBar()->actions()) EXPECT_TRUE(menu->isEnabled());
}

}  // namespace
}  // namespace kelvora
