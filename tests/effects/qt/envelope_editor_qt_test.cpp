// The envelope editor on screen: what the frame shows after real mouse
// events is the picture of the edited curve over the selection's waveform.
#include <gtest/gtest.h>

#include <QMouseEvent>

#include "effects/effect_test_util.h"
#include "effects/envelope.h"
#include "platform/qt/qt_dialog_host.h"
#include "shell/qt/qt_test_app.h"

namespace kelvora {
namespace {

QImage Picture(const PixelCanvas& c) {
  return QImage(reinterpret_cast<const uchar*>(c.pixels().data()), c.width(), c.height(),
                c.width() * 4, QImage::Format_RGB32)
      .copy();
}

TEST(EnvelopeEditorOnScreen, DraggingRedrawsTheCurveOverTheWaveform) {
  EngineFixture engine;
  EnsureQtApplication();
  SetDocument(MakeFormat(22050, 16, 2), NoiseBytes(4 * 3000, 3));
  Select(100, 2900);
  Envelope curve = FlatEnvelope();
  QtDialogHost host(nullptr);
  EnvelopeEditor editor(curve, 8);
  auto dlg = host.Build(118, editor);
  QWidget* area = dlg->Widget(110);
  ASSERT_NE(area, nullptr);
  // On the line at a quarter, up to three quarters of the height.
  Drag(area, {100, 130}, {120, 64});
  EXPECT_EQ(curve, (Envelope{0, 128, 76, 192, 256, 128, kCurveEnd, kCurveEnd}));
  PixelCanvas fresh(400, 256);
  EnvelopeEditorState s{&curve};
  PaintEnvelopeFrame(fresh, s);
  EXPECT_EQ(area->grab().toImage().convertToFormat(QImage::Format_RGB32), Picture(fresh));
  qobject_cast<QDialog*>(dlg.get())->reject();
  EXPECT_TRUE(dlg->ended());
  EXPECT_EQ(dlg->endResult(), 0);
}

}  // namespace
}  // namespace kelvora
