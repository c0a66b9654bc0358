#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QUrl>
#include <chrono>
#include <cstring>
#include <memory>
#include <new>

#include "editing/clip_wave_block.h"
#include "platform/qt/help_window.h"
#include "shell/qt/qt_main_window.h"
#include "shell/qt/status_bar.h"
#include "views/qt/overview_view.h"
#include "views/qt/wave_view.h"

namespace kelvora {
namespace {

constexpr const char* kOwnWaveType = "application/x-kelvora-wave";
// Offered when copying, and accepted when pasting another program's sound.
constexpr const char* kWaveTypes[] = {"audio/wav", "audio/vnd.wave"};

QString Text(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// The block, held once for every type it is offered under. Only another
// program asks for the bytes through Qt, and gets them copied then: a
// transfer may outlive this object. This program reads the block itself.
class WaveMimeData : public QMimeData {
public:
  WaveMimeData(std::shared_ptr<const uint8_t> block, size_t size)
      : block_(std::move(block)), size_(size) {
    types_ << QString::fromLatin1(kOwnWaveType);
    uint8_t header[kClipHeaderBytes];
    int32_t n = 0;
    if (StandardWaveHeader(block_.get(), size_, header, &n))
      for (const char* type : kWaveTypes) types_ << QString::fromLatin1(type);
  }
  const std::shared_ptr<const uint8_t>& block() const { return block_; }
  size_t size() const { return size_; }
  QStringList formats() const override { return types_; }
  bool hasFormat(const QString& type) const override { return types_.contains(type); }

protected:
  QVariant retrieveData(const QString& type, QMetaType) const override {
    // Qt reports a failed allocation by throwing; the other program then
    // gets nothing rather than this one ending.
    try {
      const auto* bytes = reinterpret_cast<const char*>(block_.get());
      if (type == QString::fromLatin1(kOwnWaveType))
        return QByteArray(bytes, static_cast<qsizetype>(size_));
      if (!hasFormat(type)) return {};
      // Other programs get a plain WAV file, the same sound under another
      // header.
      uint8_t header[kClipHeaderBytes];
      int32_t n = 0;
      StandardWaveHeader(block_.get(), size_, header, &n);
      QByteArray wave(kClipHeaderBytes + static_cast<qsizetype>(n), Qt::Uninitialized);
      std::memcpy(wave.data(), header, kClipHeaderBytes);
      if (n > 0) std::memcpy(wave.data() + kClipHeaderBytes, bytes + kClipHeaderBytes, n);
      return wave;
    } catch (const std::bad_alloc&) {
      return {};
    }
  }

private:
  std::shared_ptr<const uint8_t> block_;
  size_t size_;
  QStringList types_;
};

// Bytes that another program gave, kept alive with the pointer to them.
std::shared_ptr<const uint8_t> Held(QByteArray bytes) {
  auto held = std::make_shared<QByteArray>(std::move(bytes));
  return std::shared_ptr<const uint8_t>(held, reinterpret_cast<const uint8_t*>(held->constData()));
}

}  // namespace

int QtUserInterface::MessageBox(const std::string& caption, const std::string& text, MsgIcon icon,
                                MsgButtons buttons, bool owned) {
  QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
  switch (icon) {
    case MsgIcon::kNone:
      break;
    case MsgIcon::kWarning:
      qtIcon = QMessageBox::Warning;
      break;
    case MsgIcon::kInformation:
      qtIcon = QMessageBox::Information;
      break;
    case MsgIcon::kQuestion:
      qtIcon = QMessageBox::Question;
      break;
  }
  QMessageBox::StandardButtons qtButtons = QMessageBox::Ok;
  QMessageBox::StandardButton first = QMessageBox::Ok;
  QMessageBox::StandardButton escape = QMessageBox::Ok;
  switch (buttons) {
    case MsgButtons::kOk:
      break;
    case MsgButtons::kOkCancel:
      qtButtons = QMessageBox::Ok | QMessageBox::Cancel;
      escape = QMessageBox::Cancel;
      break;
    case MsgButtons::kYesNo:
      qtButtons = QMessageBox::Yes | QMessageBox::No;
      first = QMessageBox::Yes;
      escape = QMessageBox::No;
      break;
    case MsgButtons::kYesNoCancel:
      qtButtons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      first = QMessageBox::Yes;
      escape = QMessageBox::Cancel;
      break;
  }
  QWidget* parent = owned ? window_.data() : nullptr;
  QMessageBox box(qtIcon, Text(caption), Text(text), qtButtons, parent);
  box.setDefaultButton(first);
  box.setEscapeButton(escape);
  box.exec();
  // Closing the box by its frame counts as the escape answer.
  QAbstractButton* clicked = box.clickedButton();
  switch (clicked ? box.standardButton(clicked) : escape) {
    case QMessageBox::Yes:
      return kIdYes;
    case QMessageBox::No:
      return kIdNo;
    case QMessageBox::Cancel:
      return kIdCancel;
    default:
      return kIdOk;
  }
}

void QtUserInterface::SetStatusText(int part, const std::string& text) {
  if (window_) window_->Status()->SetText(part, Text(text));
}

void QtUserInterface::SetTitle(const std::string& title) {
  if (window_) window_->setWindowTitle(Text(title));
}

void QtUserInterface::SetMenuMode(MenuMode mode) {
  if (window_) window_->SetMenuMode(mode);
}

void QtUserInterface::SetZoomChecks(int level) {
  if (window_) window_->SetZoomChecks(level);
}

void QtUserInterface::SetMenuCheck(int id, bool checked) {
  if (window_) window_->SetMenuCheck(id, checked);
}

void QtUserInterface::InvalidateViews() {
  if (!window_) return;
  window_->WaveView()->RepaintAll();
  window_->Overview()->RepaintAll();
}

void QtUserInterface::SelectionChanged() {
  if (window_) window_->WaveView()->SelectionChanged();
}

void QtUserInterface::ViewFrameChanged() {
  if (window_) window_->Overview()->ViewFrameChanged();
}

void QtUserInterface::SetScrollPosition(int position) {
  if (window_) window_->WaveView()->SetScrollPosition(position);
}

void QtUserInterface::RepaintWaveView() {
  if (window_) window_->WaveView()->RepaintAll();
}

void QtUserInterface::ScrollWaveView(int columns) {
  if (window_) window_->WaveView()->ScrollColumns(columns);
}

void QtUserInterface::DrawPlayPosition(double fraction) {
  if (window_) window_->Overview()->DrawPlayPosition(fraction);
}

void QtUserInterface::ClearPlayBand() {
  if (window_) window_->WaveView()->ClearPlayBand();
}

void QtUserInterface::DrawPlayhead(int x) {
  if (window_) window_->WaveView()->DrawPlayhead(x);
}

void QtUserInterface::SetTransportButtons(bool on) {
  if (window_) window_->SetTransportButtons(on);
}

bool QtUserInterface::DispatchOnePendingEvent() {
  // One look at the queue costs about 5 µs, as much as the work on a few
  // hundred frames; a hundred looks a second keep the window just as alive.
  const auto now = std::chrono::steady_clock::now();
  if (now - lastEventPass_ < std::chrono::milliseconds(10)) return false;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  lastEventPass_ = std::chrono::steady_clock::now();
  return true;
}

void QtUserInterface::CloseWindow() {
  if (window_) window_->CloseConfirmed();
}

void QtClipboard::HandWave(std::shared_ptr<const uint8_t> block, size_t size) {
  QGuiApplication::clipboard()->setMimeData(new WaveMimeData(std::move(block), size));
}

ClipboardRead QtClipboard::ViewWave(std::shared_ptr<const uint8_t>* block, size_t* size) {
  try {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (mime == nullptr) return ClipboardRead::kNone;
    if (const auto* own = dynamic_cast<const WaveMimeData*>(mime)) {
      *block = own->block();
      *size = own->size();
      return ClipboardRead::kRead;
    }
    // Our own block from another instance first, as it is (the engine
    // checks it); another program's sound as a PCM WAV file, read as a block
    // where its header is the standard one, else given a block's header.
    if (mime->hasFormat(QString::fromLatin1(kOwnWaveType))) {
      QByteArray bytes = mime->data(QString::fromLatin1(kOwnWaveType));
      *size = static_cast<size_t>(bytes.size());
      *block = Held(std::move(bytes));
      return ClipboardRead::kRead;
    }
    bool offered = false;
    for (const char* type : kWaveTypes) {
      if (!mime->hasFormat(QString::fromLatin1(type))) continue;
      offered = true;
      QByteArray bytes = mime->data(QString::fromLatin1(type));
      const auto* image = reinterpret_cast<const uint8_t*>(bytes.constData());
      const auto length = static_cast<size_t>(bytes.size());
      if (IsStandardPcmWave(image, length)) {
        *size = length;
        *block = Held(std::move(bytes));
        return ClipboardRead::kRead;
      }
      SoundFormat f;
      size_t at = 0;
      uint32_t n = 0;
      if (!LocatePcmWave(image, length, &f, &at, &n)) continue;
      uint8_t* made = new (std::nothrow) uint8_t[kClipHeaderBytes + size_t{n}];
      if (made == nullptr) return ClipboardRead::kOutOfMemory;
      WriteClipHeader(f, n, made);
      if (n > 0) std::memcpy(made + kClipHeaderBytes, image + at, n);
      *block = std::shared_ptr<const uint8_t>(made, std::default_delete<const uint8_t[]>());
      *size = kClipHeaderBytes + size_t{n};
      return ClipboardRead::kRead;
    }
    return offered ? ClipboardRead::kUnusable : ClipboardRead::kNone;
  } catch (const std::bad_alloc&) {
    return ClipboardRead::kOutOfMemory;
  }
}

void QtClipboard::Clear() { QGuiApplication::clipboard()->clear(); }

QtProcesses::QtProcesses() = default;
QtProcesses::~QtProcesses() = default;

StartResult QtProcesses::StartSelf() {
  return QProcess::startDetached(QCoreApplication::applicationFilePath(), QStringList())
             ? StartResult::kOk
             : StartResult::kFailed;
}

bool QtProcesses::OpenDocument(const std::string& path) {
  const QString file = QFile::decodeName(QByteArray::fromStdString(path));
  if (!QFileInfo::exists(file)) return false;
  const QString suffix = QFileInfo(file).suffix().toLower();
  if (suffix != QLatin1String("html") && suffix != QLatin1String("htm"))
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
  if (!help_) help_ = std::make_unique<HelpWindow>();
  if (!help_->Load(file)) return false;
  help_->show();
  help_->raise();
  help_->activateWindow();
  return true;
}

void QtProcesses::PlaySoundFile(const std::string& path) {
  if (sounds_ != nullptr) sounds_->PlaySoundFile(path);
}

int64_t QtClock::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace kelvora
