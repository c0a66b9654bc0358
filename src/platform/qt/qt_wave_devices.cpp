#include "platform/qt/qt_wave_devices.h"

#include <QAudioSink>
#include <QAudioSource>
#include <QBuffer>
#include <QFile>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>
#include <vector>

namespace kelvora {
namespace {

constexpr int kFeedMs = 20;
constexpr int kReadMs = 50;

QAudioFormat ToQt(const WaveStreamFormat& f) {
  QAudioFormat q;
  q.setSampleRate(static_cast<int>(f.samplesPerSec));
  q.setChannelCount(f.channels);
  q.setSampleFormat(f.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
  return q;
}

uint32_t FormatBits(const QAudioDevice& d) {
  // Bit order: 11, 22, 44 kHz in steps of 4 bits; mono 8, stereo 8,
  // mono 16, stereo 16 within each.
  uint32_t bits = 0;
  const int rates[3] = {11025, 22050, 44100};
  for (int r = 0; r < 3; ++r)
    for (int k = 0; k < 4; ++k) {
      const WaveStreamFormat f{static_cast<uint32_t>(rates[r]),
                               static_cast<uint16_t>(k >= 2 ? 16 : 8),
                               static_cast<uint16_t>(k % 2 ? 2 : 1)};
      if (d.isFormatSupported(ToQt(f))) bits |= 1u << (4 * r + k);
    }
  return bits;
}

WaveDeviceCaps Caps(const QAudioDevice& d, bool output) {
  WaveDeviceCaps caps;
  caps.name = d.description().toStdString();
  // The device's own channels; the most it accepts is what the server
  // would mix down (32 on PulseAudio).
  const int channels = d.preferredFormat().channelCount();
  caps.channels = static_cast<uint16_t>(
      std::clamp(channels > 0 ? channels : d.maximumChannelCount(), 0, 65535));
  caps.formats = FormatBits(d);
  caps.support = output ? uint32_t{kWaveCapsVolume} : 0u;  // QAudioSink::setVolume
  return caps;
}

bool Present(const QList<QAudioDevice>& now, const QAudioDevice& d) {
  return std::any_of(now.begin(), now.end(),
                     [&](const QAudioDevice& x) { return x.id() == d.id(); });
}

}  // namespace

QtWaveDevices::QtWaveDevices() {
  Refresh();
  outputTimer_.setInterval(kFeedMs);
  connect(&outputTimer_, &QTimer::timeout, this, [this] {
    FeedOutput();
    ReportPlayed();
  });
  inputTimer_.setInterval(kReadMs);
  connect(&inputTimer_, &QTimer::timeout, this, [this] { ReadInput(); });
}

QtWaveDevices::~QtWaveDevices() {
  CloseOutput();
  CloseInput();
}

void QtWaveDevices::Refresh() {
  outputs_ = QMediaDevices::audioOutputs();
  inputs_ = QMediaDevices::audioInputs();
}

QAudioDevice QtWaveDevices::DeviceAt(bool output, int device) const {
  if (device == -1)
    return output ? QMediaDevices::defaultAudioOutput() : QMediaDevices::defaultAudioInput();
  const QList<QAudioDevice>& list = output ? outputs_ : inputs_;
  return device >= 0 && device < list.size() ? list[device] : QAudioDevice();
}

bool QtWaveDevices::OutputCaps(int device, WaveDeviceCaps* caps) {
  const QAudioDevice d = DeviceAt(true, device);
  if (d.isNull()) return false;
  *caps = Caps(d, true);
  return true;
}

bool QtWaveDevices::InputCaps(int device, WaveDeviceCaps* caps) {
  const QAudioDevice d = DeviceAt(false, device);
  if (d.isNull()) return false;
  *caps = Caps(d, false);
  return true;
}

WaveResult QtWaveDevices::Resolve(bool output, int device, const WaveStreamFormat& format,
                                  QAudioDevice* found, QAudioFormat* qtFormat) {
  // The default is looked up now: it follows the desktop's choice.
  *found = DeviceAt(output, device);
  const QList<QAudioDevice> now =
      output ? QMediaDevices::audioOutputs() : QMediaDevices::audioInputs();
  if (device >= 0 && !Present(now, *found)) *found = QAudioDevice();  // unplugged since
  if (found->isNull()) return kWaveBadDeviceId;
  *qtFormat = ToQt(format);
  if (!found->isFormatSupported(*qtFormat)) return kWaveBadFormat;
  return kWaveOk;
}

WaveResult QtWaveDevices::OpenOutput(int device, const WaveStreamFormat& format,
                                     WaveListener* listener) {
  CloseOutput();
  QAudioDevice d;
  QAudioFormat q;
  if (const WaveResult r = Resolve(true, device, format, &d, &q); r != kWaveOk) return r;
  sink_ = std::make_unique<QAudioSink>(d, q);
  bytesPerSecond_ = q.bytesForDuration(1000000);
  // A second of sound at the server unless asked for less: a window busy
  // painting for less than that cannot starve it.
  const int leadMs = format.leadMs > 0 ? std::min(format.leadMs, 1000) : 1000;
  sink_->setBufferSize(static_cast<qsizetype>(q.bytesForDuration(leadMs * qint64{1000})));
  connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
    if (state == QAudio::ActiveState) played_ = true;
    if (state != QAudio::IdleState || !played_) return;
    if (unwritten_ < chunks_.size()) ++stats_.underruns;
    ReportPlayed();
  });
  sinkIo_ = sink_->start();
  if (sinkIo_ == nullptr || sink_->error() != QAudio::NoError) {
    CloseOutput();
    return kWaveError;
  }
  outputListener_ = listener;
  played_ = false;
  stats_ = OutputStats{};
  sinceFeed_.start();
  outputTimer_.start();
  return kWaveOk;
}

bool QtWaveDevices::WriteOutput(int tag, const uint8_t* data, int bytes) {
  if (!sink_ || bytes <= 0) return false;
  queuedEnd_ += bytes;
  chunks_.push_back({tag, QByteArray(reinterpret_cast<const char*>(data), bytes), queuedEnd_});
  return true;
}

void QtWaveDevices::FeedOutput() {
  if (!sink_) return;
  stats_.longestFeedGapMs = std::max(stats_.longestFeedGapMs, sinceFeed_.restart());
  while (unwritten_ < chunks_.size()) {
    const qsizetype free = sink_->bytesFree();
    if (free <= 0) break;
    const QByteArray& bytes = chunks_[unwritten_].bytes;
    const qint64 n = std::min<qint64>(free, bytes.size() - writtenInChunk_);
    const qint64 done = sinkIo_->write(bytes.constData() + writtenInChunk_, n);
    if (done <= 0) break;
    writtenInChunk_ += done;
    if (writtenInChunk_ == bytes.size()) {
      ++unwritten_;
      writtenInChunk_ = 0;
    }
  }
  const qint64 played = sink_->processedUSecs() * bytesPerSecond_ / 1000000;
  if (unwritten_ < chunks_.size() && bytesPerSecond_ > 0) {
    const qint64 ahead = (queuedEnd_ - played) * 1000 / bytesPerSecond_;
    if (stats_.leastAheadMs < 0 || ahead < stats_.leastAheadMs) stats_.leastAheadMs = ahead;
  }
}

void QtWaveDevices::ReportPlayed() {
  if (!sink_) return;
  const qint64 played = sink_->processedUSecs() * bytesPerSecond_ / 1000000;
  // Everything written is played once the sink, having played, runs dry.
  const bool drained = played_ && sink_->state() == QAudio::IdleState;
  std::vector<std::pair<int, int>> done;
  while (unwritten_ > 0 && (chunks_.front().end <= played || drained)) {
    done.emplace_back(chunks_.front().tag, static_cast<int>(chunks_.front().bytes.size()));
    chunks_.pop_front();
    --unwritten_;
  }
  WaveListener* listener = outputListener_;
  for (const auto& [tag, bytes] : done) listener->OutputDone(tag, bytes);
}

void QtWaveDevices::ResetOutput() {
  if (!sink_) return;
  sink_->reset();
  std::vector<std::pair<int, int>> back;
  for (const Chunk& c : chunks_) back.emplace_back(c.tag, static_cast<int>(c.bytes.size()));
  chunks_.clear();
  unwritten_ = 0;
  writtenInChunk_ = 0;
  WaveListener* listener = outputListener_;
  QMetaObject::invokeMethod(
      this,
      [listener, back] {
        for (const auto& [tag, bytes] : back) listener->OutputDone(tag, bytes);
      },
      Qt::QueuedConnection);
}

void QtWaveDevices::CloseOutput() {
  outputTimer_.stop();
  if (sink_) {
    sink_->disconnect(this);
    sink_->stop();
  }
  sink_.reset();
  sinkIo_ = nullptr;
  chunks_.clear();
  unwritten_ = 0;
  writtenInChunk_ = 0;
  queuedEnd_ = 0;
}

WaveResult QtWaveDevices::OpenInput(int device, const WaveStreamFormat& format,
                                    WaveListener* listener) {
  CloseInput();
  QAudioDevice d;
  QAudioFormat q;
  if (const WaveResult r = Resolve(false, device, format, &d, &q); r != kWaveOk) return r;
  source_ = std::make_unique<QAudioSource>(d, q);
  inputListener_ = listener;
  return kWaveOk;
}

bool QtWaveDevices::PrepareInput(uint8_t* block, int bytes) {
  if (!source_ || block == nullptr || bytes <= 0) return false;
  block_ = block;
  blockBytes_ = bytes;
  recorded_ = 0;
  return true;
}

bool QtWaveDevices::AddInput() {
  if (block_ == nullptr) return false;
  added_ = true;
  return true;
}

void QtWaveDevices::StartInput() {
  if (!source_) return;
  sourceIo_ = source_->start();
  if (sourceIo_ != nullptr)
    connect(sourceIo_, &QIODevice::readyRead, this, &QtWaveDevices::ReadInput);
  inputTimer_.start();
}

void QtWaveDevices::ReadInput() {
  if (sourceIo_ == nullptr || !added_) return;
  while (recorded_ < blockBytes_) {
    const qint64 n =
        sourceIo_->read(reinterpret_cast<char*>(block_) + recorded_, blockBytes_ - recorded_);
    if (n <= 0) break;
    recorded_ += static_cast<int>(n);
  }
  if (recorded_ == blockBytes_) FinishInput();
}

void QtWaveDevices::FinishInput() {
  inputTimer_.stop();
  if (sourceIo_ != nullptr) sourceIo_->disconnect(this);
  sourceIo_ = nullptr;
  if (source_) source_->stop();
  if (!added_) return;
  added_ = false;
  WaveListener* listener = inputListener_;
  const int bytes = recorded_;
  QMetaObject::invokeMethod(
      this, [listener, bytes] { listener->InputDone(bytes); }, Qt::QueuedConnection);
}

void QtWaveDevices::StopInput() {
  ReadInput();
  FinishInput();
}

void QtWaveDevices::CloseInput() {
  inputTimer_.stop();
  if (sourceIo_ != nullptr) sourceIo_->disconnect(this);
  sourceIo_ = nullptr;
  source_.reset();
  block_ = nullptr;
  added_ = false;
}

void QtWaveDevices::PlaySoundFile(const std::string& path) {
  QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray wav = file.readAll();
  // A plain PCM WAV: walk the chunks for "fmt " and "data".
  if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE") return;
  auto le = [&wav](qsizetype at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(wav[at + i]);
    return v;
  };
  WaveStreamFormat format;
  QByteArray data;
  for (qsizetype at = 12; at + 8 <= wav.size();) {
    const QByteArray id = wav.mid(at, 4);
    const qsizetype size = std::min<qsizetype>(le(at + 4, 4), wav.size() - at - 8);
    if (id == "fmt " && size >= 16 && le(at + 8, 2) == 1) {
      format = {le(at + 12, 4), static_cast<uint16_t>(le(at + 22, 2)),
                static_cast<uint16_t>(le(at + 10, 2))};
    } else if (id == "data") {
      data = wav.mid(at + 8, size);
    }
    at += 8 + size + (size & 1);
  }
  if (format.channels == 0 || data.isEmpty() ||
      (format.bitsPerSample != 8 && format.bitsPerSample != 16))
    return;
  const QAudioFormat q = ToQt(format);
  const QAudioDevice d = QMediaDevices::defaultAudioOutput();
  if (d.isNull() || !d.isFormatSupported(q)) return;
  soundSink_.reset();
  soundSink_ = std::make_unique<QAudioSink>(d, q);
  soundBuffer_ = std::make_unique<QBuffer>();
  soundBuffer_->setData(data);
  soundBuffer_->open(QIODevice::ReadOnly);
  soundSink_->start(soundBuffer_.get());
}

}  // namespace kelvora
