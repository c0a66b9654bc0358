#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "document/busy.h"
#include "shell/commands.h"
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

void Wheel(QWidget* w, QPoint pos, QPoint angle, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWheelEvent e(QPointF(pos), w->mapToGlobal(QPointF(pos)), QPoint(), angle, Qt::NoButton, mods,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

TEST_F(ViewsWindow, WheelScrollsAndZoomsOverTheViewAndTheOverview) {
  QWidget* wave = Wave()->Canvas();
  QWidget* overview = window->Overview()->Canvas();
  const int32_t notch = DrawingWidth() / 10 * 4;  // one frame a column, 4 bytes a frame
  Wheel(wave, {300, 60}, {0, -120});              // toward the user: later
  EXPECT_EQ(Doc().viewStart, notch);
  Wheel(overview, {300, 10}, {0, -240});
  EXPECT_EQ(Doc().viewStart, 3 * notch);
  Wheel(wave, {300, 60}, {0, 60}, Qt::ShiftModifier);  // two half notches make one
  Wheel(wave, {300, 60}, {0, 60}, Qt::ShiftModifier);
  EXPECT_EQ(Doc().viewStart, 2 * notch);
  Wheel(overview, {300, 10}, {120, 0});  // sideways
  EXPECT_EQ(Doc().viewStart, notch);
  Wheel(wave, {300, 60}, {0, 1200});
  EXPECT_EQ(Doc().viewStart, 0);
  Wheel(wave, {300, 60}, {0, -120000});  // the last whole column before the end
  EXPECT_EQ(Doc().viewStart, 80000 - 4);
  EXPECT_EQ(Wave()->ScrollBar()->value(), 99);

  // Ctrl: one level out at column 100, where frame 1100 stays.
  View().zoomLevel = 6;
  Doc().viewStart = 4 * 1000;
  Wheel(wave, {kPlotLeft + 100, 60}, {0, -120}, Qt::ControlModifier);
  EXPECT_EQ(View().zoomLevel, 5);
  EXPECT_EQ(PixelToOffset(100), 4 * 1100);
  Wheel(overview, {300, 10}, {0, 120}, Qt::ControlModifier);  // in about the view's middle
  EXPECT_EQ(View().zoomLevel, 6);
  EXPECT_EQ(PixelToOffset(DrawingWidth() / 2), 4 * (700 + DrawingWidth() / 2 * 4));
  Busy().busy = true;
  Wheel(wave, {300, 60}, {0, -120}, Qt::ControlModifier);
  Wheel(wave, {300, 60}, {0, -120});
  Busy().busy = false;
  EXPECT_EQ(View().zoomLevel, 6);
}

// Magnified about each lane's centre line and cut off at the lane's edges.
TEST_F(ViewsWindow, VerticalZoomMagnifiesTheTraceWithinItsLane) {
  const WaveGeometry g = CurrentWaveGeometry();
  const int x1 = g.ValueToY(0, 16000), y1 = g.ValueToY(1, -16000);
  DispatchCommand(kCmdVerticalZoom2, kCodeMenu);
  EXPECT_EQ(View().verticalZoom, 2);
  const int x2 = g.ValueToY(0, 16000), y2 = g.ValueToY(1, -16000);
  EXPECT_LT(x2, x1);
  EXPECT_GT(y2, y1);
  EXPECT_GE(x2, g.LaneTop(0));
  EXPECT_EQ(At(300, x2), kGreen);
  EXPECT_EQ(At(300, y2), kGreen);
  EXPECT_EQ(At(300, x1), kBlack);
  EXPECT_EQ(VerticalScaleLabel(), "1/2");
  Wheel(Wave()->Canvas(), {300, 60}, {0, 240}, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(View().verticalZoom, 8);
  // Beyond both lanes: not one green pixel in the column.
  const QImage picture = Wave()->Picture();
  for (int y = kPlotTop; y < g.plotBottom; ++y)
    EXPECT_NE(picture.pixel(300, y) | 0xff000000, kGreen) << y;
  Wheel(Wave()->Canvas(), {300, 60}, {0, 120}, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(View().verticalZoom, 8);
  Wheel(Wave()->Canvas(), {300, 60}, {0, -360}, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(View().verticalZoom, 1);
  EXPECT_EQ(At(300, x1), kGreen);
}

// Each part is wide enough for the longest text it can show, at the
// bar's font and at twice its size.
TEST_F(ViewsWindow, StatusPartsFitTheirLongestTexts) {
  StatusBar* bar = window->Status();
  SetDocumentFormat(MakeFormat(44100, 16, 2));
  Doc().length = 8 * 44100 * 4;
  for (int round = 0; round < 2; ++round) {
    ShowFormatStatus();
    const std::vector<std::string> longest = LongestStatusTexts();
    EXPECT_EQ(longest[2], "Sel :8.000-8.000(Sec) 352800-352800(Samples)");
    for (int part = 0; part < 3; ++part)
      EXPECT_GT(bar->PartRect(part).width(),
                bar->fontMetrics().horizontalAdvance(QString::fromStdString(longest[part])) + 8)
          << round << " " << part;
    QFont bigger = bar->font();
    bigger.setPointSizeF(bigger.pointSizeF() * 2);
    bar->setFont(bigger);
  }
}

TEST_F(ViewsWindow, DragSelectsAndWritesTheStatusBar) {
  QWidget* canvas = Wave()->Canvas();
  SendMouse(canvas, QEvent::MouseButtonPress, {148, 60}, Qt::LeftButton, Qt::LeftButton);
  SendMouse(canvas, QEvent::MouseMove, {248, 60}, Qt::NoButton, Qt::LeftButton);
  SendMouse(canvas, QEvent::MouseButtonRelease, {248, 400}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(Doc().selStart, 400);
  EXPECT_EQ(Doc().selEnd, 800);
  EXPECT_TRUE(canvas->hasFocus());
  EXPECT_EQ(window->Status()->Text(2).toStdString(), "Sel :0.004-0.009(Sec) 100-200(Samples)");
  SendMouse(canvas, QEvent::MouseButtonDblClick, {500, 60}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(Doc().selEnd, 80000);
}

// Also run with QT_SCALE_FACTOR=2 (ctest's HiDPI entry): the pictures have
// the screen's device pixels.
TEST_F(ViewsWindow, ScrolledPictureEqualsARepaintedOne) {
  Select(150, 700);
  const int scale = Wave()->Canvas()->Scale();
  EXPECT_TRUE(qEnvironmentVariable("QT_SCALE_FACTOR") != QLatin1String("2") || scale == 2);
  EXPECT_EQ(window->Overview()->Picture().size(), window->Overview()->Canvas()->size() * scale);
  for (int columns : {8, 80, -8, 3000, -5000}) {
    WaveScrollColumns(columns);
    const QImage scrolled = Wave()->Picture();
    EXPECT_EQ(scrolled.size(), Wave()->Canvas()->size() * scale);
    RefreshViews();
    EXPECT_EQ(scrolled, Wave()->Picture()) << columns;
  }
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
  SendMouse(right, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(Doc().viewStart, 40);  // ten columns at once
  wait(350);
  const int32_t held = Doc().viewStart;
  EXPECT_GE(held, 40 + 2 * 40);
  SendMouse(right, QEvent::MouseMove, outside, Qt::NoButton, Qt::LeftButton);
  EXPECT_FALSE(right->Pressed());
  wait(250);
  EXPECT_EQ(Doc().viewStart, held);
  SendMouse(right, QEvent::MouseMove, inside, Qt::NoButton, Qt::LeftButton);  // back on it
  EXPECT_EQ(Doc().viewStart, held + 40);
  SendMouse(right, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
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
