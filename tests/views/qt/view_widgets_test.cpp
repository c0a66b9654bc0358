#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTimer>

#include "document/busy.h"
#include "shell/main_window.h"
#include "shell/qt/qt_test_app.h"
#include "shell/qt/status_bar.h"
#include "views/overview.h"
#include "views/playhead.h"
#include "views/qt/scroll_button.h"
#include "views/view_logic.h"
#include "views/view_state.h"
#include "views/wave_input.h"

namespace kelvora {
namespace {

const QRgb kBlack = qRgb(0, 0, 0), kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0),
           kYellow = qRgb(255, 255, 0), kMagenta = qRgb(255, 0, 255);

// The views driven through the Qt platform. The sound: 22050 Hz stereo,
// left at +16000, right at -16000, at 1/1.
struct ViewsWindow : QtWindowFixture, ::testing::Test {
  ViewsWindow() {
    UseQtUi();
    std::vector<int16_t> s;
    for (int i = 0; i < 20000; ++i) s.insert(s.end(), {16000, -16000});
    SetDocument(MakeFormat(22050, 16, 2), Pcm16(s));
    SetZoom(6);
    window->resize(900, 600);
    window->show();
    Flush();
  }
  WaveView* Wave() { return window->WaveView(); }
  QRgb At(int x, int y) { return Wave()->Picture().pixel(x, y) | 0xff000000; }
  static void Send(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                   Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
  void Select(int32_t startFrame, int32_t endFrame) {
    Doc().selStart = startFrame * 4;
    Doc().selEnd = endFrame * 4;
    DrawSelection();
  }
};

TEST_F(ViewsWindow, SelectionTurnsBlackRedAndGreenYellowAndTheRestReturns) {
  const WaveGeometry g = CurrentWaveGeometry();
  const int wave = g.ValueToY(0, 16000), black = g.LaneTop(0) + 5;
  const int centre = g.laneHeight / 2 + kPlotTop, edge = g.LaneTop(0) + 1;
  auto expect = [&](std::vector<std::tuple<int, int, QRgb>> probes) {
    for (auto [x, y, colour] : probes) EXPECT_EQ(At(x, y), colour) << x << ", " << y;
  };
  Select(100, 200);  // two rows of each lane stay untinted
  expect({{150, wave, kYellow},
          {150, black, kRed},
          {150, centre, kMagenta},
          {150, edge, kBlack},
          {150, g.ValueToY(1, -16000), kYellow},
          {300, wave, kGreen},
          {300, black, kBlack}});
  Select(400, 500);  // no repaint: the old tint goes by itself
  expect({{150, wave, kGreen}, {150, black, kBlack}, {450, black, kRed}});
  // The cursor at the view start: a bar three columns wide right of the
  // grid line of time 0.
  Select(0, 0);
  expect({{48, black, kMagenta}, {49, black, kRed}, {50, black, kRed}, {51, black, kBlack}});
  Doc().viewStart = 4 * 1000;  // a selection left of the view shows nothing
  Select(100, 200);
  RefreshViews();
  expect({{48, black, kBlack}, {150, black, kBlack}});
}

TEST_F(ViewsWindow, DragSelectsAndWritesTheStatusBar) {
  QWidget* canvas = Wave()->Canvas();
  Send(canvas, QEvent::MouseButtonPress, {148, 60}, Qt::LeftButton, Qt::LeftButton);
  Send(canvas, QEvent::MouseMove, {248, 60}, Qt::NoButton, Qt::LeftButton);
  Send(canvas, QEvent::MouseButtonRelease, {248, 400}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(Doc().selStart, 400);
  EXPECT_EQ(Doc().selEnd, 800);
  EXPECT_TRUE(canvas->hasFocus());
  EXPECT_EQ(window->Status()->Text(2).toStdString(), "Sel :0.004-0.009(Sec) 100-200(Samples)");
  Send(canvas, QEvent::MouseButtonDblClick, {500, 60}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(Doc().selEnd, 80000);
  Busy().busy = true;  // ignored during an operation
  Send(canvas, QEvent::MouseButtonPress, {300, 60}, Qt::LeftButton, Qt::LeftButton);
  Busy().busy = false;
  EXPECT_EQ(Doc().selStart, 0);
}

TEST_F(ViewsWindow, ScrolledPictureEqualsARepaintedOne) {
  Select(150, 700);
  for (int columns : {8, 80, -8, 3000, -5000}) {
    WaveScrollColumns(columns);
    const QImage scrolled = Wave()->Picture();
    RefreshViews();
    EXPECT_EQ(scrolled, Wave()->Picture()) << columns;
  }
}

// Also run with QT_SCALE_FACTOR=2 (ctest's HiDPI entry): the pictures have
// the screen's device pixels, and the scroll test above holds there too.
TEST_F(ViewsWindow, PicturesHaveTheScreensDevicePixels) {
  const int scale = Wave()->Canvas()->Scale();
  if (qEnvironmentVariable("QT_SCALE_FACTOR") == QLatin1String("2")) {
    EXPECT_EQ(scale, 2);
  }
  const QImage wave = Wave()->Picture();
  EXPECT_EQ(wave.size(), Wave()->Canvas()->size() * scale);
  EXPECT_EQ(wave.devicePixelRatio(), scale);
  const QImage overview = window->Overview()->Picture();
  EXPECT_EQ(overview.size(), window->Overview()->Canvas()->size() * scale);
}

TEST_F(ViewsWindow, ScrollBarStepsAndThumbMoveTheViewNotTheBarItself) {
  QScrollBar* bar = Wave()->ScrollBar();
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(Doc().viewStart, 320);
  EXPECT_EQ(bar->value(), 0);  // 320 of 80000 bytes
  bar->setSliderDown(true);
  bar->setSliderPosition(50);
  EXPECT_EQ(Doc().viewStart, 320);  // not following the thumb
  bar->setSliderDown(false);        // released
  EXPECT_EQ(Doc().viewStart, 40000);
  EXPECT_EQ(bar->value(), 50);
  Busy().busy = true;
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  Busy().busy = false;
  EXPECT_EQ(Doc().viewStart, 40000);
  EXPECT_EQ(bar->value(), 50);
}

TEST_F(ViewsWindow, HeldButtonRepeatsUntilReleasedOrLeft) {
  ScrollButton* right = window->Overview()->Canvas()->RightButton();
  ASSERT_EQ(right->Id(), kRightScrollButton);
  const QPoint inside(right->width() / 2, 5), outside(-40, 5);
  auto wait = [](int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  };
  Send(right, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(Doc().viewStart, 40);  // ten columns at once
  wait(350);
  const int32_t held = Doc().viewStart;
  EXPECT_GE(held, 40 + 2 * 40);
  Send(right, QEvent::MouseMove, outside, Qt::NoButton, Qt::LeftButton);
  EXPECT_FALSE(right->Pressed());
  wait(250);
  EXPECT_EQ(Doc().viewStart, held);
  Send(right, QEvent::MouseMove, inside, Qt::NoButton, Qt::LeftButton);  // back on it
  EXPECT_EQ(Doc().viewStart, held + 40);
  Send(right, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(ScrollButton::MouseHeld());
  wait(250);
  EXPECT_EQ(Doc().viewStart, held + 40);
}

// The playhead is laid over the picture: drawing it and taking it away
// repaints its column only, and leaves the picture as it was.
TEST_F(ViewsWindow, PlayheadIsALineOverThePictureRepaintedByItself) {
  struct PaintSpy : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
      return false;
    }
  } spy;
  QWidget* canvas = Wave()->Canvas();
  canvas->installEventFilter(&spy);
  Select(100, 200);
  Flush();
  const QImage before = canvas->grab().toImage();
  const WaveGeometry g = CurrentWaveGeometry();
  const QRegion column(48 + 150, kPlotTop, 1, g.plotHeight);
  for (int64_t offset : {int64_t{150 * 4}, int64_t{-1}}) {
    spy.painted = QRegion();
    ShowPlayhead(offset);
    Flush();
    EXPECT_EQ(spy.painted, column) << offset;
  }
  EXPECT_EQ(canvas->grab().toImage(), before);
  ShowPlayhead(150 * 4);
  const QImage with = canvas->grab().toImage();
  for (int y = kPlotTop; y < g.plotBottom; ++y)
    EXPECT_EQ(with.pixel(198, y) | 0xff000000, qRgb(255, 255, 255)) << y;
  for (int y : {kPlotTop - 1, g.plotBottom})
    EXPECT_EQ(with.pixel(198, y), before.pixel(198, y)) << y;
  EXPECT_EQ(with.copy(0, 0, 198, with.height()), before.copy(0, 0, 198, with.height()));
}

TEST_F(ViewsWindow, OverviewFramesTheVisibleStretchAndShowsThePlayedPart) {
  OverviewView* overview = window->Overview();
  auto at = [&](int x) { return overview->Picture().pixel(x, 1) | 0xff000000; };
  const ViewFrameRect frame = ComputeViewFrame();
  ASSERT_TRUE(frame.visible);
  EXPECT_EQ(at(frame.x1), qRgb(192, 0, 192));  // blue with dark red added
  EXPECT_EQ(at(frame.x2 + 2), qRgb(0, 0, 192));
  DrawPlayPosition(0.5);
  EXPECT_EQ(at(PlayPositionX(0.5) - 1), qRgb(255, 0, 192));
  EXPECT_EQ(at(PlayPositionX(0.5)), qRgb(0, 0, 192));
  DrawViewFrame();  // a new frame clears the played part
  EXPECT_EQ(at(PlayPositionX(0.5) - 1), qRgb(0, 0, 192));
}

}  // namespace
}  // namespace kelvora
