#include "platform/qt/qt_dialog_host.h"

#include <gtest/gtest.h>

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
#include <functional>
#include <tuple>
#include <vector>

#include "platform/param_dialog.h"
#include "shell/qt/qt_test_app.h"
#include "test_support.h"

namespace kelvora {
namespace {

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

template <class T>
T* Get(const QtDialog& dlg, int id) {
  return qobject_cast<T*>(dlg.Widget(id));
}

void Press(const QtDialog& dlg, int id) { Get<QPushButton>(dlg, id)->click(); }

// What the user does in the next modal dialog, once it is on screen.
void Answer(std::function<void(QtDialog&)> user) {
  QTimer::singleShot(0, [user] {
    auto* dlg = dynamic_cast<QtDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    user(*dlg);
  });
}

struct QtDialogHostTest : ::testing::Test {
  void SetUp() override { EnsureQtApplication(); }
  // Dialog `id` over `table`, built and opened.
  std::unique_ptr<QtDialog> Build(int id, ParamEntry* table) {
    handlers.push_back(std::make_unique<ParamDialogHandler>(id, table));
    return host.Build(id, *handlers.back());
  }
  int Run(int id, ParamEntry* table) {
    ParamDialogHandler handler(id, table);
    return host.RunDialog(id, handler);
  }
  std::vector<std::unique_ptr<ParamDialogHandler>> handlers;
  QtDialogHost host{nullptr};
  int32_t volume = 100, pan = 50, limiter = 1;
  ParamEntry volumeRows[6] = {{200, kParamSlider, &volume, nullptr, nullptr, 0, 200, 201},
                              {201, kParamNumber, &volume, nullptr, nullptr, 0, 200, 200},
                              {202, kParamSlider, &pan, nullptr, nullptr, 0, 100, 203},
                              {203, kParamNumber, &pan, nullptr, nullptr, 0, 100, 202},
                              {204, kParamCheck, &limiter},
                              {}};
};

TEST_F(QtDialogHostTest, TypingMovesTheSliderAndOkStoresTheCheckBox) {
  auto dlg = Build(119, volumeRows);
  ASSERT_NE(dlg, nullptr);
  auto* bar = Get<QScrollBar>(*dlg, 200);
  EXPECT_EQ(Get<QLineEdit>(*dlg, 201)->text(), "100");
  EXPECT_EQ(bar->value(), 100);
  TypeInto(dlg->Widget(201), "500");
  EXPECT_EQ(volume, 200);
  EXPECT_EQ(bar->value(), 200);
  EXPECT_EQ(Get<QLineEdit>(*dlg, 201)->text(), "500");
  auto* box = Get<QCheckBox>(*dlg, 204);
  box->click();
  EXPECT_EQ(box->checkState(), Qt::Unchecked);
  EXPECT_EQ(limiter, 1);  // only OK stores it
  Press(*dlg, 1);
  EXPECT_TRUE(dlg->ended());
  EXPECT_EQ(dlg->endResult(), 1);
  EXPECT_EQ(limiter, 0);
}

// Typing what a field cannot hold leaves the box as it was; out of range is clamped.
TEST_F(QtDialogHostTest, EditBoxesTakeOnlyWhatTheirFieldCanHold) {
  int32_t cents = 0, rate = 100;
  ParamEntry transpose[] = {{201, kParamNumber, &cents, nullptr, nullptr, -1200, 1200}, {}};
  ParamEntry vibrato[] = {{203, kParamNumber, &rate, nullptr, nullptr, 1, 200, 0, 10}, {}};
  const std::tuple<int, ParamEntry*, int, const char*, const char*> cases[] = {
      {119, volumeRows, 201, "a1b-2.c", "12"}, {119, volumeRows, 201, "999", "999"},
      {131, transpose, 201, "-5-0x", "-50"},   {132, vibrato, 203, "-1.2.5e3", "1.2"},
      {112, nullptr, 102, "-1.5", "15"},  // the melody tempo: a count
  };
  for (const auto& [dialog, table, box, typed, shown] : cases) {
    auto dlg = Build(dialog, table);
    TypeInto(dlg->Widget(box), QString::fromUtf8(typed));
    EXPECT_EQ(Get<QLineEdit>(*dlg, box)->text().toStdString(), shown) << typed;
  }
  EXPECT_EQ(volume, 200);  // 999, clamped
  EXPECT_EQ(cents, -50);
}

TEST_F(QtDialogHostTest, ScrollBarActionsBecomeScrollRequests) {
  auto dlg = Build(119, volumeRows);
  auto* bar = Get<QScrollBar>(*dlg, 202);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);  // a click in the trough
  EXPECT_EQ(pan, 56);
  EXPECT_EQ(Get<QLineEdit>(*dlg, 203)->text(), "56");
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);  // the left arrow
  EXPECT_EQ(pan, 55);
  // A drag of the thumb.
  bar->setSliderDown(true);
  bar->setSliderPosition(80);
  EXPECT_EQ(pan, 80);
  bar->setSliderPosition(20);
  bar->setSliderDown(false);
  EXPECT_EQ(pan, 20);
  EXPECT_EQ(bar->value(), 20);
  // Home on the focused bar is one step, not the start.
  Key(bar, Qt::Key_Home);
  EXPECT_EQ(pan, 19);
  EXPECT_EQ(bar->value(), 19);
  Key(bar, Qt::Key_End);
  EXPECT_EQ(pan, 20);
}

TEST_F(QtDialogHostTest, RadioButtonsOfAGroupExcludeEachOther) {
  int32_t mode = 1;
  ParamEntry distortion[] = {{202, kParamRadio, &mode, nullptr, nullptr, 0},
                             {203, kParamRadio, &mode, nullptr, nullptr, 1},
                             {}};
  auto dlg = Build(107, distortion);
  auto* fuzz = Get<QRadioButton>(*dlg, 202);
  auto* overdrive = Get<QRadioButton>(*dlg, 203);
  EXPECT_TRUE(overdrive->isChecked());
  fuzz->click();
  EXPECT_TRUE(fuzz->isChecked());
  EXPECT_FALSE(overdrive->isChecked());
  fuzz->click();  // clicking the checked one keeps it checked
  EXPECT_TRUE(fuzz->isChecked());
  Press(*dlg, 1);
  EXPECT_EQ(mode, 0);
}

TEST_F(QtDialogHostTest, EscapeTheCloseBoxAndButtonsEndTheDialog) {
  auto dlg = Build(119, volumeRows);
  Key(dlg.get(), Qt::Key_Escape);
  EXPECT_TRUE(dlg->ended());
  EXPECT_EQ(dlg->endResult(), 0);
  ParamEntry empty[] = {{}};
  auto about = Build(105, empty);
  about->show();
  about->close();
  EXPECT_TRUE(about->ended());
  EXPECT_EQ(about->endResult(), 0);
  // A modal run lasts until a button ends it.
  Answer([](QtDialog& d) {
    TypeInto(d.Widget(201), "77");
    Press(d, 1);
  });
  EXPECT_EQ(Run(119, volumeRows), 1);
  EXPECT_EQ(volume, 77);
  Answer([](QtDialog& d) { Press(d, 8); });
  EXPECT_EQ(Run(121, empty), 8);
  EXPECT_EQ(Run(4242, empty), 0);
}

TEST_F(QtDialogHostTest, DrawingAreasShowTheCanvasAndReportTheMouse) {
  struct Drawing : DialogHandler {
    std::vector<std::pair<MouseAction, QPoint>> mouse;
    void Opened(DialogWindow&) override {}
    void Clicked(DialogWindow&, int) override {}
    void Paint(DialogWindow& d, int id) override {
      PixelCanvas* c = d.Canvas(id);
      c->FillRect(0, 0, c->width(), c->height(), kBlack);
      c->Line(0, 128, c->width(), 128, kBlue);
    }
    void Mouse(DialogWindow&, int, MouseAction action, int x, int y) override {
      mouse.push_back({action, QPoint(x, y)});
    }
    int Accept(const std::vector<DialogField>&) override { return 1; }
  } drawing;
  auto& mouse = drawing.mouse;
  auto dlg = host.Build(118, drawing);
  QWidget* area = dlg->Widget(110);
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->size(), QSize(400, 256));
  QImage shot = area->grab().toImage();
  EXPECT_EQ(shot.pixelColor(10, 128), QColor(Qt::blue));
  EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::black));
  // Moves outside the area still arrive while the button is held.
  Drag(area, {30, 40}, {-5, 300});
  ASSERT_EQ(mouse.size(), 3u);
  EXPECT_EQ(mouse[0], std::make_pair(MouseAction::kPress, QPoint(30, 40)));
  EXPECT_EQ(mouse[1], std::make_pair(MouseAction::kMove, QPoint(-5, 300)));
  EXPECT_EQ(mouse[2].first, MouseAction::kRelease);
}

// Every dialog lays out without cutting off a text. Set KELVORA_DIALOG_SHOTS
// to a folder to get a picture of each.
TEST_F(QtDialogHostTest, NoDialogClipsItsTexts) {
  QString shots = qEnvironmentVariable("KELVORA_DIALOG_SHOTS");
  for (const DialogDesc& d : AllDialogs()) {
    SCOPED_TRACE(d.id);
    struct LongTexts : DialogHandler {
      // Long values where a dialog writes some.
      void Opened(DialogWindow& w) override {
        auto& dlg = dynamic_cast<QtDialog&>(w);
        for (int id : {102, 103, 104, 105, 110, 111, 112, 113, 120, 500, 10000, 10001})
          if (Get<QLabel>(dlg, id)) w.SetItemText(id, "11K/22K/44KHz");
        w.AddListItem(101, "Wave mapper");
        w.SetListSelection(101, 0);
        if (Get<QLineEdit>(dlg, 103)) w.SetItemText(103, "o4c4d4e4f8.g16");
        for (int id = 200; id <= 402; ++id)
          if (Get<QLineEdit>(dlg, id)) w.SetItemText(id, "-1200");
      }
      void Clicked(DialogWindow&, int) override {}
      int Accept(const std::vector<DialogField>&) override { return 1; }
    } texts;
    auto dlg = host.Build(d.id, texts);
    dlg->show();
    QApplication::processEvents();
    for (QWidget* w : dlg->findChildren<QWidget*>()) {
      if (!w->isVisible()) continue;
      const char* kind = w->metaObject()->className();
      if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
          qobject_cast<QGroupBox*>(w)) {
        EXPECT_GE(w->width(), w->sizeHint().width()) << kind;
        EXPECT_GE(w->height(), w->sizeHint().height()) << kind;
      }
      EXPECT_TRUE(dlg->rect().contains(QRect(w->mapTo(dlg.get(), QPoint(0, 0)), w->size())))
          << kind;
    }
    if (!shots.isEmpty())
      dlg->grab().save(QDir(shots).filePath(QStringLiteral("dialog-%1.png").arg(d.id)));
    dlg->hide();
  }
}

}  // namespace
}  // namespace kelvora
