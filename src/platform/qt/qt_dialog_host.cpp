#include "platform/qt/qt_dialog_host.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/param_dialog.h"

namespace kelvora {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
QString Q(const char* s) { return QString::fromUtf8(s); }
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

// Check boxes and radio buttons that do not change themselves when
// clicked: they only notify, and the procedure (or the host, for radio
// groups) sets their state.
class PlainCheckBox : public QCheckBox {
public:
  using QCheckBox::QCheckBox;

protected:
  void nextCheckState() override {}
};

class PlainRadio : public QRadioButton {
public:
  using QRadioButton::QRadioButton;

protected:
  void nextCheckState() override {}
};

class PlainToggle : public QPushButton {
public:
  explicit PlainToggle(const QString& text) : QPushButton(text) { setCheckable(true); }

protected:
  void nextCheckState() override {}
};

// Shows a PixelCanvas, reports the left mouse button over it, and shows the
// value under the pointer as a tip.
class CanvasWidget : public QWidget {
public:
  using Mouse = std::function<void(MouseAction action, int x, int y)>;
  using Tip = std::function<QString(int x, int y)>;
  CanvasWidget(PixelCanvas* canvas, Mouse mouse, Tip tip)
      : canvas_(canvas), mouse_(std::move(mouse)), tip_(std::move(tip)) {
    setFixedSize(canvas->width(), canvas->height());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QImage image(reinterpret_cast<const uchar*>(canvas_->pixels().data()), canvas_->width(),
                 canvas_->height(), canvas_->width() * 4, QImage::Format_RGB32);
    QPainter(this).drawImage(0, 0, image);
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) Report(MouseAction::kPress, e);
    ShowTip(e);
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (e->buttons() & Qt::LeftButton) Report(MouseAction::kMove, e);
    ShowTip(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) Report(MouseAction::kRelease, e);
    ShowTip(e);
  }
  void leaveEvent(QEvent*) override { QToolTip::hideText(); }

private:
  void ShowTip(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const QString text = tip_ ? tip_(p.x(), p.y()) : QString();
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(e->globalPosition().toPoint(), text, this);
  }
  void Report(MouseAction action, QMouseEvent* e) {
    QPoint p = e->position().toPoint();
    mouse_(action, std::clamp(p.x(), -32768, 32767), std::clamp(p.y(), -32768, 32767));
  }
  PixelCanvas* canvas_;
  Mouse mouse_;
  Tip tip_;
};

// Hands a slider's tool-tip requests (the pointer resting on it) to `tip`.
class SliderTipFilter : public QObject {
public:
  SliderTipFilter(QObject* parent, std::function<void(QWidget*)> tip)
      : QObject(parent), tip_(std::move(tip)) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return false;
    tip_(static_cast<QWidget*>(watched));
    return true;
  }

private:
  std::function<void(QWidget*)> tip_;
};

// The pictures of the icon controls: the program's, and the three waveforms
// of the tone dialog.
QPixmap IconPixmap(const QString& name) {
  bool program = name == "program";
  QPixmap pixmap(program ? 32 : 28, program ? 32 : 18);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF box = QRectF(pixmap.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(program ? QColor(20, 40, 90) : QColor(Qt::white));
  p.drawRoundedRect(box, 3, 3);
  QPainterPath wave;
  double w = box.width() - 6, h = box.height() - 6, x0 = box.left() + 3, mid = box.center().y();
  if (name == "square") {
    wave.moveTo(x0, mid + h / 2);
    for (int i = 0; i < 2; ++i) {
      double x = x0 + i * w / 2;
      wave.lineTo(x, mid - h / 2);
      wave.lineTo(x + w / 4, mid - h / 2);
      wave.lineTo(x + w / 4, mid + h / 2);
      wave.lineTo(x + w / 2, mid + h / 2);
    }
  } else if (name == "sawtooth") {
    wave.moveTo(x0, mid + h / 2);
    for (int i = 0; i < 2; ++i) {
      wave.lineTo(x0 + (i + 1) * w / 2, mid - h / 2);
      wave.lineTo(x0 + (i + 1) * w / 2, mid + h / 2);
    }
  } else {
    wave.moveTo(x0, mid);
    for (int i = 1; i <= 40; ++i)
      wave.lineTo(x0 + w * i / 40, mid - h / 2 * std::sin(i * 2 * 3.14159265 * 2 / 40));
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(program ? QColor(80, 230, 120) : QColor(Qt::black), program ? 2 : 1.3));
  p.drawPath(wave);
  return pixmap;
}

int RequestOfAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      return kScrollLineUp;
    case QAbstractSlider::SliderSingleStepAdd:
      return kScrollLineDown;
    case QAbstractSlider::SliderPageStepSub:
      return kScrollPageUp;
    case QAbstractSlider::SliderPageStepAdd:
      return kScrollPageDown;
    case QAbstractSlider::SliderToMinimum:
      return kScrollTop;
    case QAbstractSlider::SliderToMaximum:
      return kScrollBottom;
    case QAbstractSlider::SliderMove:
      return kScrollThumbTrack;
    default:
      return -1;
  }
}

}  // namespace

QtDialog::QtDialog(const DialogDesc& desc, DialogHandler& handler, QWidget* parent)
    : QDialog(parent), desc_(desc), handler_(handler) {
  setWindowTitle(Q(desc.title));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(true);
  Build();
}

QtDialog::~QtDialog() = default;

void QtDialog::Build() {
  auto* outer = new QVBoxLayout(this);
  outer->setSizeConstraint(QLayout::SetFixedSize);
  outer->setSpacing(10);
  auto* top = new QGridLayout;
  top->setHorizontalSpacing(8);
  outer->addLayout(top);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  int leftOfStretch = 0;
  outer->addSpacing(4);
  outer->addLayout(buttons);
  grids_[0] = top;

  // Containers first, so that every control finds its grid.
  std::map<int, QWidget*> containers;
  for (const ControlDesc& c : desc_.controls) {
    if (c.kind != ControlKind::kGroupBox && c.kind != ControlKind::kPanel) continue;
    QWidget* box = c.kind == ControlKind::kGroupBox ? new QGroupBox(Q(c.text)) : new QWidget;
    auto* grid = new QGridLayout(box);
    if (c.kind == ControlKind::kPanel) grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grids_[c.id] = grid;
    containers[c.id] = box;
  }
  for (const ControlDesc& c : desc_.controls) {
    Control scratch;
    Control& control = c.id != kNoId ? controls_[c.id] : scratch;
    control.desc = &c;
    QWidget* w =
        containers.count(c.id) && c.id != kNoId ? containers[c.id] : MakeWidget(c, control);
    control.widget = w;
    if (c.flags & kBottomButton) {
      if (c.flags & kLeftToggle)
        buttons->insertWidget(leftOfStretch++, w);
      else
        buttons->addWidget(w);
      continue;
    }
    auto grid = grids_.find(c.container);
    QGridLayout* into = grid != grids_.end() ? grid->second : top;
    bool centered = (c.flags & kAlignCenter) && c.kind != ControlKind::kLabel;
    into->addWidget(w, c.row, c.col, c.rowSpan, c.colSpan,
                    centered ? Qt::AlignHCenter : Qt::Alignment());
  }
}

QWidget* QtDialog::MakeWidget(const ControlDesc& c, Control& control) {
  int id = c.id;
  switch (c.kind) {
    case ControlKind::kLabel:
    case ControlKind::kUnitLabel: {
      auto* label = new QLabel(Q(c.text));
      label->setTextFormat(Qt::PlainText);
      Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
      if (c.flags & kAlignRight) align = (align & ~Qt::AlignHorizontal_Mask) | Qt::AlignRight;
      if (c.flags & kAlignCenter) align = (align & ~Qt::AlignHorizontal_Mask) | Qt::AlignHCenter;
      if (c.flags & kAlignTop) align = (align & ~Qt::AlignVertical_Mask) | Qt::AlignTop;
      if (c.flags & kAlignBottom) align = (align & ~Qt::AlignVertical_Mask) | Qt::AlignBottom;
      label->setAlignment(align);
      return label;
    }
    case ControlKind::kReadOnlyText: {
      auto* label = new QLabel;
      label->setTextFormat(Qt::PlainText);
      label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      label->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 8);
      label->setIndent(3);
      return label;
    }
    case ControlKind::kSlider: {
      bool vertical = c.flags & kVertical;
      auto* bar = new QScrollBar(vertical ? Qt::Vertical : Qt::Horizontal);
      bar->setRange(0, 100);
      bar->setFocusPolicy(Qt::StrongFocus);
      if (vertical)
        bar->setMinimumHeight(170);
      else
        bar->setMinimumWidth(220);
      QObject::connect(bar, &QAbstractSlider::actionTriggered, this,
                       [this, id](int action) { SliderAction(id, action); });
      QObject::connect(bar, &QAbstractSlider::sliderReleased, this, [this, id, bar] {
        int pos = bar->sliderPosition();
        Deliver([&](DialogHandler& h) { h.Scrolled(*this, id, kScrollThumbPosition, pos); });
        Deliver([&](DialogHandler& h) { h.Scrolled(*this, id, kScrollEnd, 0); });
        ShowSliderTip(id);
      });
      bar->installEventFilter(
          new SliderTipFilter(bar, [this, id](QWidget*) { ShowSliderTip(id); }));
      return bar;
    }
    case ControlKind::kNumberEdit:
    case ControlKind::kTextEdit: {
      auto* edit = new QLineEdit;
      if (c.kind == ControlKind::kNumberEdit)
        edit->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("-00000.0")) + 16);
      else
        edit->setMinimumWidth(320);
      QObject::connect(edit, &QLineEdit::textEdited, this,
                       [this, id] { Deliver([&](DialogHandler& h) { h.Edited(*this, id); }); });
      return edit;
    }
    case ControlKind::kCheckBox: {
      auto* box = new PlainCheckBox(Q(c.text));
      box->setTristate(true);
      QObject::connect(box, &QAbstractButton::clicked, this, [this, id] { Clicked(id); });
      return box;
    }
    case ControlKind::kRadio: {
      auto* radio = new PlainRadio(Q(c.text));
      radio->setAutoExclusive(false);
      QObject::connect(radio, &QAbstractButton::clicked, this, [this, id] { Clicked(id); });
      return radio;
    }
    case ControlKind::kPushButton: {
      auto* button =
          c.flags & kLeftToggle ? new PlainToggle(Q(c.text)) : new QPushButton(Q(c.text));
      button->setAutoDefault(false);
      button->setDefault(c.flags & kDefaultButton);
      if (c.flags & kBottomButton)
        button->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("ｷｬﾝｾﾙ")) + 40);
      QObject::connect(button, &QAbstractButton::clicked, this, [this, id] { Clicked(id); });
      return button;
    }
    case ControlKind::kIcon: {
      auto* label = new QLabel;
      label->setPixmap(IconPixmap(Q(c.text)));
      label->setAlignment(Qt::AlignCenter);
      return label;
    }
    case ControlKind::kDropList: {
      auto* combo = new QComboBox;
      combo->setMinimumWidth(200);
      QObject::connect(combo, &QComboBox::activated, this,
                       [this, id] { Deliver([&](DialogHandler& h) { h.Chosen(*this, id); }); });
      return combo;
    }
    case ControlKind::kKeyboardArea:
    case ControlKind::kCurveArea: {
      control.canvas = std::make_unique<PixelCanvas>(c.width, c.height);
      return new CanvasWidget(
          control.canvas.get(),
          [this, id](MouseAction action, int x, int y) {
            Deliver([&](DialogHandler& h) { h.Mouse(*this, id, action, x, y); });
          },
          [this, id](int x, int y) {
            return ended_ ? QString() : Q(handler_.ValueTip(*this, id, x, y));
          });
    }
    case ControlKind::kGroupBox:
    case ControlKind::kPanel:
      break;
  }
  return new QWidget;
}

void QtDialog::LimitNumberInput(const ParamEntry* table) {
  for (auto& [id, control] : controls_) {
    if (control.desc->kind != ControlKind::kNumberEdit) continue;
    // Without a table nothing says the value is never negative.
    bool negative = table == nullptr, decimal = control.desc->scale != 0;
    for (const ParamEntry* row = table;
         row != nullptr && row->kind != 0 && std::strchr("CFNRSV", row->kind) != nullptr; ++row) {
      if (row->id != id || row->kind != kParamNumber) continue;
      negative = row->min < 0;
      decimal = row->scale != 0;
    }
    QString pattern = negative ? QStringLiteral("-?[0-9]*") : QStringLiteral("[0-9]*");
    if (decimal) pattern += QStringLiteral("(\\.[0-9]?)?");
    auto* edit = static_cast<QLineEdit*>(control.widget);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
  }
}

void QtDialog::Open() {
  Deliver([&](DialogHandler& h) { h.Opened(*this); });
  for (auto& [id, control] : controls_)
    if (control.canvas) Deliver([&](DialogHandler& h) { h.Paint(*this, id); });
}

int QtDialog::Run() {
  if (!ended_) exec();
  if (!ended_) {  // closed by something that is not the procedure
    ended_ = true;
    result_ = 0;
  }
  return result_;
}

void QtDialog::RefreshAreas() {
  for (auto& [id, control] : controls_)
    if (control.canvas && control.canvas->version() != control.shownVersion) {
      control.shownVersion = control.canvas->version();
      control.widget->update();
    }
}

void QtDialog::Clicked(int id) {
  auto it = controls_.find(id);
  if (it == controls_.end()) return;
  const ControlDesc& d = *it->second.desc;
  if (d.kind == ControlKind::kRadio) {
    for (auto& [other_id, other] : controls_)
      if (other.desc->kind == ControlKind::kRadio && other.desc->container == d.container)
        static_cast<QRadioButton*>(other.widget)->setChecked(other_id == id);
  }
  Deliver([&](DialogHandler& h) { h.Clicked(*this, id); });
}

void QtDialog::SliderAction(int id, int action) {
  auto* bar = static_cast<QScrollBar*>(Widget(id));
  int request = RequestOfAction(action);
  if (bar == nullptr || request < 0) return;
  int pos = bar->sliderPosition();
  // The bar does not move by itself; the procedure moves it.
  bar->setSliderPosition(bar->value());
  Deliver([&](DialogHandler& h) {
    h.Scrolled(*this, id, request, request == kScrollThumbTrack ? pos : 0);
  });
  ShowSliderTip(id);
}

void QtDialog::ShowSliderTip(int id) {
  QWidget* bar = Widget(id);
  if (bar == nullptr || ended_) return;
  const QString text = Q(handler_.ValueTip(*this, id, 0, 0));
  if (text.isEmpty()) return QToolTip::hideText();
  // Beside the pointer when it is on the bar, else (keys) on the bar.
  const QPoint at = bar->underMouse() ? QCursor::pos() : bar->mapToGlobal(bar->rect().center());
  QToolTip::showText(at, text, bar);
}

void QtDialog::reject() {
  // Escape is the Cancel button.
  Deliver([&](DialogHandler& h) { h.Clicked(*this, 2); });
}

void QtDialog::closeEvent(QCloseEvent* event) {
  bool taken = false;
  Deliver([&](DialogHandler& h) { taken = h.Closing(*this); });
  if (!taken) Deliver([&](DialogHandler& h) { h.Clicked(*this, 2); });
  if (ended_)
    event->accept();
  else
    event->ignore();
}

const QtDialog::Control* QtDialog::Find(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

QWidget* QtDialog::Widget(int id) const {
  const Control* c = Find(id);
  return c == nullptr ? nullptr : c->widget;
}

bool QtDialog::HasControl(int id) const { return Find(id) != nullptr; }

void QtDialog::SetItemText(int id, const std::string& text) {
  QWidget* w = Widget(id);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    {
      QSignalBlocker block(edit);
      edit->setText(Q(text));
      edit->end(false);
    }
    Deliver([&](DialogHandler& h) { h.Edited(*this, id); });
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(Q(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(Q(text));
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    group->setTitle(Q(text));
  }
}

std::string QtDialog::GetItemText(int id) const {
  QWidget* w = Widget(id);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return S(edit->text());
  if (auto* label = qobject_cast<QLabel*>(w)) return S(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return S(button->text());
  if (auto* group = qobject_cast<QGroupBox*>(w)) return S(group->title());
  return std::string();
}

void QtDialog::ReplaceEditSelection(int id, const std::string& text) {
  auto* edit = qobject_cast<QLineEdit*>(Widget(id));
  if (edit == nullptr) return;
  {
    QSignalBlocker block(edit);
    edit->insert(Q(text));
  }
  Deliver([&](DialogHandler& h) { h.Edited(*this, id); });
}

void QtDialog::SetCheck(int id, int state) {
  QWidget* w = Widget(id);
  if (auto* box = qobject_cast<QCheckBox*>(w)) {
    box->setCheckState(state == kIndeterminate ? Qt::PartiallyChecked
                       : state == kChecked     ? Qt::Checked
                                               : Qt::Unchecked);
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setChecked(state == kChecked);  // radio buttons and toggles
  }
}

int QtDialog::GetCheck(int id) const {
  QWidget* w = Widget(id);
  if (auto* box = qobject_cast<QCheckBox*>(w)) {
    switch (box->checkState()) {
      case Qt::Checked:
        return kChecked;
      case Qt::PartiallyChecked:
        return kIndeterminate;
      default:
        return kUnchecked;
    }
  }
  if (auto* button = qobject_cast<QAbstractButton*>(w))
    return button->isChecked() ? kChecked : kUnchecked;
  return kUnchecked;
}

void QtDialog::SetSliderRange(int id, int min, int max) {
  auto it = controls_.find(id);
  auto* bar = it == controls_.end() ? nullptr : qobject_cast<QScrollBar*>(it->second.widget);
  if (bar == nullptr) return;
  it->second.min = min;
  it->second.max = max;
  int lo = std::min(min, max), hi = std::max(min, max);
  bar->setRange(lo, hi);
  bar->setSingleStep(1);
  bar->setPageStep(std::max(1, static_cast<int>((int64_t{hi} - lo) / 16)));
}

void QtDialog::GetSliderRange(int id, int* min, int* max) const {
  const Control* c = Find(id);
  *min = c == nullptr ? 0 : c->min;
  *max = c == nullptr ? 0 : c->max;
}

void QtDialog::SetSliderPos(int id, int pos) {
  if (auto* bar = qobject_cast<QScrollBar*>(Widget(id))) bar->setValue(pos);
}

int QtDialog::GetSliderPos(int id) const {
  auto* bar = qobject_cast<QScrollBar*>(Widget(id));
  return bar == nullptr ? 0 : bar->value();
}

void QtDialog::ClearList(int id) {
  if (auto* combo = qobject_cast<QComboBox*>(Widget(id))) combo->clear();
}

void QtDialog::AddListItem(int id, const std::string& text) {
  if (auto* combo = qobject_cast<QComboBox*>(Widget(id))) combo->addItem(Q(text));
}

void QtDialog::SetListSelection(int id, int index) {
  if (auto* combo = qobject_cast<QComboBox*>(Widget(id)))
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

int QtDialog::GetListSelection(int id) const {
  auto* combo = qobject_cast<QComboBox*>(Widget(id));
  return combo == nullptr ? -1 : combo->currentIndex();
}

PixelCanvas* QtDialog::Canvas(int id) {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second.canvas.get();
}

void QtDialog::EnableItem(int id, bool enabled) {
  if (QWidget* w = Widget(id)) w->setEnabled(enabled);
}

void QtDialog::EndDialog(int result) {
  if (ended_) return;
  ended_ = true;
  result_ = result;
  done(result);
}

QtDialogHost::QtDialogHost(QWidget* parent) : parent_(parent) {}

std::unique_ptr<QtDialog> QtDialogHost::Build(int dialog_id, DialogHandler& handler) {
  const DialogDesc* desc = FindDialog(dialog_id);
  if (desc == nullptr) return nullptr;
  auto dialog = std::make_unique<QtDialog>(*desc, handler, parent_);
  // A table's rows tell which boxes take a sign or a decimal, also through
  // a handler that wraps the table's own (the effects' preview).
  dialog->LimitNumberInput(handler.ParamTable());
  dialog->Open();
  return dialog;
}

int QtDialogHost::RunDialog(int dialog_id, DialogHandler& handler) {
  auto dialog = Build(dialog_id, handler);
  return dialog == nullptr ? 0 : dialog->Run();
}

}  // namespace kelvora
