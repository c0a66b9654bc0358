#include "platform/qt/qt_dialog_host.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <vector>

#include "effects/param_dialog.h"

namespace kelvora {
namespace {

QApplication* App() {
  static int argc = 1;
  static char name[] = "kelvora_qt_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return app;
}

void Key(QWidget* w, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &release);
}

// Clears an edit box and types into it key by key.
void TypeInto(QWidget* w, const QString& text) {
  auto* edit = qobject_cast<QLineEdit*>(w);
  ASSERT_NE(edit, nullptr);
  edit->selectAll();
  Key(edit, Qt::Key_Backspace);
  for (QChar c : text) Key(edit, 0, QString(c));
}

struct VolumeTable {
  int32_t volume = 100, pan = 50, limiter = 1;
  std::vector<ParamEntry> rows{{200, kParamSlider, &volume, nullptr, nullptr, 0, 200, 201, 0},
                               {201, kParamNumber, &volume, nullptr, nullptr, 0, 200, 200, 0},
                               {202, kParamSlider, &pan, nullptr, nullptr, 0, 100, 203, 0},
                               {203, kParamNumber, &pan, nullptr, nullptr, 0, 100, 202, 0},
                               {204, kParamCheck, &limiter, nullptr, nullptr, 0, 0, 0, 0},
                               {}};
  QtDialog::Proc Proc() {
    ParamEntry* table = rows.data();
    return [table](DialogWindow& dlg, int message, intptr_t wparam, intptr_t lparam) {
      return ParamDialog(dlg, message, wparam, lparam, table);
    };
  }
};

TEST(QtDialogHost, TypingMovesTheSliderAndStoresTheValue) {
  App();
  QtDialogHost host(nullptr);
  VolumeTable t;
  auto dlg = host.Build(119, t.Proc());
  ASSERT_NE(dlg, nullptr);
  auto* box = qobject_cast<QLineEdit*>(dlg->Widget(201));
  auto* bar = qobject_cast<QScrollBar*>(dlg->Widget(200));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(box->text(), "100");
  EXPECT_EQ(bar->value(), 100);
  TypeInto(box, "150");
  EXPECT_EQ(t.volume, 150);
  EXPECT_EQ(bar->value(), 150);
  TypeInto(box, "500");
  EXPECT_EQ(t.volume, 200);
  EXPECT_EQ(bar->value(), 200);
  EXPECT_EQ(box->text(), "500");
  auto* limiter = qobject_cast<QCheckBox*>(dlg->Widget(204));
  limiter->click();
  EXPECT_EQ(limiter->checkState(), Qt::Unchecked);
  EXPECT_EQ(t.limiter, 1);  // only OK stores it
  qobject_cast<QPushButton*>(dlg->Widget(1))->click();
  EXPECT_TRUE(dlg->ended());
  EXPECT_EQ(dlg->endResult(), 1);
  EXPECT_EQ(t.limiter, 0);
  EXPECT_EQ(t.volume, 200);
}

TEST(QtDialogHost, ScrollBarActionsBecomeScrollRequests) {
  App();
  QtDialogHost host(nullptr);
  VolumeTable t;
  auto dlg = host.Build(119, t.Proc());
  auto* bar = qobject_cast<QScrollBar*>(dlg->Widget(202));
  auto* box = qobject_cast<QLineEdit*>(dlg->Widget(203));
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);  // a click in the trough
  EXPECT_EQ(t.pan, 56);
  EXPECT_EQ(box->text(), "56");
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);  // the left arrow
  EXPECT_EQ(t.pan, 55);
  // A drag of the thumb.
  bar->setSliderDown(true);
  bar->setSliderPosition(80);
  EXPECT_EQ(t.pan, 80);
  EXPECT_EQ(box->text(), "80");
  bar->setSliderPosition(20);
  bar->setSliderDown(false);
  EXPECT_EQ(t.pan, 20);
  EXPECT_EQ(bar->value(), 20);
  // Home on the focused bar is one step, not the start.
  Key(bar, Qt::Key_Home);
  EXPECT_EQ(t.pan, 19);
  EXPECT_EQ(bar->value(), 19);
  Key(bar, Qt::Key_End);
  EXPECT_EQ(t.pan, 20);
}

TEST(QtDialogHost, RadioGroupsAndGreyCheckBoxes) {
  App();
  QtDialogHost host(nullptr);
  int32_t mode = 1, depth = 50;
  ParamEntry distortion[] = {{200, kParamSlider, &depth, nullptr, nullptr, 0, 100, 201, 0},
                             {201, kParamNumber, &depth, nullptr, nullptr, 0, 100, 200, 0},
                             {202, kParamRadio, &mode, nullptr, nullptr, 0, 0, 0, 0},
                             {203, kParamRadio, &mode, nullptr, nullptr, 1, 0, 0, 0},
                             {}};
  auto dlg = host.Build(107, [&](DialogWindow& d, int m, intptr_t w, intptr_t l) {
    return ParamDialog(d, m, w, l, distortion);
  });
  auto* fuzz = qobject_cast<QRadioButton*>(dlg->Widget(202));
  auto* overdrive = qobject_cast<QRadioButton*>(dlg->Widget(203));
  EXPECT_TRUE(overdrive->isChecked());
  fuzz->click();
  EXPECT_TRUE(fuzz->isChecked());
  EXPECT_FALSE(overdrive->isChecked());
  fuzz->click();  // clicking the checked one keeps it checked
  EXPECT_TRUE(fuzz->isChecked());
  qobject_cast<QPushButton*>(dlg->Widget(1))->click();
  EXPECT_EQ(mode, 0);

  int32_t stereo = 1;
  ParamEntry noise[] = {{204, kParamCheck, &stereo, nullptr, nullptr, 1, 0, 0, 0}, {}};
  auto grey = host.Build(113, [&](DialogWindow& d, int m, intptr_t w, intptr_t l) {
    return ParamDialog(d, m, w, l, noise);
  });
  auto* box = qobject_cast<QCheckBox*>(grey->Widget(204));
  EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
  box->click();
  EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
  qobject_cast<QPushButton*>(grey->Widget(1))->click();
  EXPECT_EQ(stereo, 0);
}

TEST(QtDialogHost, EscapeAndTheCloseBoxCancel) {
  App();
  QtDialogHost host(nullptr);
  VolumeTable t;
  auto dlg = host.Build(119, t.Proc());
  TypeInto(dlg->Widget(201), "42");
  Key(dlg.get(), Qt::Key_Escape);
  EXPECT_TRUE(dlg->ended());
  EXPECT_EQ(dlg->endResult(), 0);
  EXPECT_EQ(t.volume, 42);  // typed values stay

  ParamEntry empty[] = {{}};
  auto about = host.Build(105, [&](DialogWindow& d, int m, intptr_t w, intptr_t l) {
    return ParamDialog(d, m, w, l, empty);
  });
  about->show();
  about->close();
  EXPECT_TRUE(about->ended());
  EXPECT_EQ(about->endResult(), 0);
}

TEST(QtDialogHost, RunsModallyUntilAButtonEndsIt) {
  App();
  QtDialogHost host(nullptr);
  VolumeTable t;
  QTimer::singleShot(0, [] {
    auto* dlg = dynamic_cast<QtDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    TypeInto(dlg->Widget(201), "77");
    qobject_cast<QPushButton*>(dlg->Widget(1))->click();
  });
  EXPECT_EQ(host.RunDialog(119, t.rows.data()), 1);
  EXPECT_EQ(t.volume, 77);
  ParamEntry empty[] = {{}};
  QTimer::singleShot(0, [] {
    auto* dlg = dynamic_cast<QtDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    qobject_cast<QPushButton*>(dlg->Widget(8))->click();
  });
  EXPECT_EQ(host.RunDialog(121, empty), 8);
  EXPECT_EQ(host.RunDialog(4242, empty), 0);
}

TEST(QtDialogHost, DrawingAreasShowTheCanvasAndReportTheMouse) {
  App();
  QtDialogHost host(nullptr);
  std::vector<std::pair<int, QPoint>> mouse;
  auto dlg = host.Build(118, [&](DialogWindow& d, int m, intptr_t w, intptr_t l) -> intptr_t {
    if (m == kMsgPaint) {
      PixelCanvas* c = d.Canvas(static_cast<int>(w));
      c->FillRect(0, 0, c->width(), c->height(), kBlack);
      c->Line(0, 128, c->width(), 128, kBlue);
    }
    if (m >= kMsgMouseMove && m <= kMsgLButtonUp)
      mouse.push_back({m, QPoint(SignedLowWord(l), SignedHighWord(l))});
    return 1;
  });
  QWidget* area = dlg->Widget(110);
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->size(), QSize(400, 256));
  QImage shot = area->grab().toImage();
  EXPECT_EQ(shot.pixelColor(10, 128), QColor(Qt::blue));
  EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::black));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, 40), QPointF(30, 40), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(area, &press);
  QMouseEvent move(QEvent::MouseMove, QPointF(-5, 300), QPointF(-5, 300), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(area, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-5, 300), QPointF(-5, 300),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(area, &release);
  ASSERT_EQ(mouse.size(), 3u);
  EXPECT_EQ(mouse[0], std::make_pair(int(kMsgLButtonDown), QPoint(30, 40)));
  EXPECT_EQ(mouse[1], std::make_pair(int(kMsgMouseMove), QPoint(-5, 300)));
  EXPECT_EQ(mouse[2].first, int(kMsgLButtonUp));
}

// Every dialog lays out without cutting off a text. Set KELVORA_DIALOG_SHOTS
// to a folder to get a picture of each.
TEST(QtDialogHost, NoDialogClipsItsTexts) {
  App();
  QtDialogHost host(nullptr);
  QString shots = qEnvironmentVariable("KELVORA_DIALOG_SHOTS");
  for (const DialogDesc& d : AllDialogs()) {
    SCOPED_TRACE(d.id);
    auto dlg = host.Build(d.id, [](DialogWindow& w, int m, intptr_t, intptr_t) -> intptr_t {
      if (m == kMsgInitDialog) {
        // Long values where a procedure writes some.
        for (int id : {102, 103, 104, 105, 110, 111, 112, 113, 120, 500, 10000, 10001})
          if (qobject_cast<QLabel*>(dynamic_cast<QtDialog&>(w).Widget(id)))
            w.SetItemText(id, "11K/22K/44KHz");
        auto& dlg = dynamic_cast<QtDialog&>(w);
        w.AddListItem(101, "Wave mapper");
        w.SetListSelection(101, 0);
        if (qobject_cast<QLineEdit*>(dlg.Widget(103))) w.SetItemText(103, "o4c4d4e4f8.g16");
        for (int id = 200; id <= 402; ++id)
          if (qobject_cast<QLineEdit*>(dlg.Widget(id))) w.SetItemText(id, "-1200");
      }
      return 0;
    });
    dlg->show();
    QApplication::processEvents();
    QRect inside = dlg->rect();
    for (QWidget* w : dlg->findChildren<QWidget*>()) {
      if (!w->isVisible()) continue;
      QSize need = w->sizeHint();
      bool text = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                  qobject_cast<QGroupBox*>(w);
      if (text) {
        EXPECT_GE(w->width(), need.width()) << w->metaObject()->className();
        EXPECT_GE(w->height(), need.height()) << w->metaObject()->className();
      }
      QRect r(w->mapTo(dlg.get(), QPoint(0, 0)), w->size());
      EXPECT_TRUE(inside.contains(r)) << w->metaObject()->className();
    }
    if (!shots.isEmpty())
      dlg->grab().save(QDir(shots).filePath(QStringLiteral("dialog-%1.png").arg(d.id)));
    dlg->hide();
  }
}

}  // namespace
}  // namespace kelvora
