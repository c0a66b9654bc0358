// The sound devices through Qt Multimedia (PulseAudio or PipeWire on
// Linux). Output chunks are copied into a queue that a 20 ms timer feeds to
// a QAudioSink; a chunk is reported once the sink's played time has passed
// its end. Input records into the caller's block from a QAudioSource.
#pragma once

#include <QAudioDevice>
#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>
#include <deque>
#include <memory>

#include "platform/platform.h"

class QAudioSink;
class QAudioSource;
class QBuffer;
class QIODevice;

namespace kelvora {

class QtWaveDevices : public QObject, public WaveDevices {
  Q_OBJECT

public:
  QtWaveDevices();
  ~QtWaveDevices() override;

  void Refresh() override;
  int OutputCount() override { return static_cast<int>(outputs_.size()); }
  int InputCount() override { return static_cast<int>(inputs_.size()); }
  bool OutputCaps(int device, WaveDeviceCaps* caps) override;
  bool InputCaps(int device, WaveDeviceCaps* caps) override;

  WaveResult OpenOutput(int device, const WaveStreamFormat& format,
                        WaveListener* listener) override;
  bool WriteOutput(int tag, const uint8_t* data, int bytes) override;
  void ResetOutput() override;
  void CloseOutput() override;

  WaveResult OpenInput(int device, const WaveStreamFormat& format, WaveListener* listener) override;
  bool PrepareInput(uint8_t* block, int bytes) override;
  bool AddInput() override;
  void StartInput() override;
  void StopInput() override;
  void CloseInput() override;
  int InputRecorded() override { return recorded_; }

  void PlaySoundFile(const std::string& path) override;

  // How well the output was kept fed since it was opened: times the sink
  // ran dry with chunks still waiting, the longest pause between two feeds,
  // and the least sound that was queued ahead of the sink, in ms.
  struct OutputStats {
    int underruns = 0;
    qint64 longestFeedGapMs = 0;
    qint64 leastAheadMs = -1;
  };
  const OutputStats& Stats() const { return stats_; }

private:
  struct Chunk {
    int tag;
    QByteArray bytes;
    qint64 end;  // offset of its end in the stream
  };
  // The device at `device` of the lists as last read (-1: the default now).
  QAudioDevice DeviceAt(bool output, int device) const;
  // The device to open, if it is still there, and the format in Qt's terms.
  // Returns the result to report.
  WaveResult Resolve(bool output, int device, const WaveStreamFormat& format, QAudioDevice* found,
                     QAudioFormat* qtFormat);
  void FeedOutput();
  void ReportPlayed();
  void ReadInput();
  void FinishInput();

  QList<QAudioDevice> outputs_, inputs_;

  std::unique_ptr<QAudioSink> sink_;
  QIODevice* sinkIo_ = nullptr;
  WaveListener* outputListener_ = nullptr;
  QTimer outputTimer_;
  std::deque<Chunk> chunks_;   // not reported yet, in order
  size_t unwritten_ = 0;       // chunks_[unwritten_] is the first not all written
  qint64 writtenInChunk_ = 0;  // of chunks_[unwritten_]
  qint64 queuedEnd_ = 0;
  qint64 bytesPerSecond_ = 0;
  bool played_ = false;  // the sink has been active since it was opened
  QElapsedTimer sinceFeed_;
  OutputStats stats_;

  std::unique_ptr<QAudioSource> source_;
  QIODevice* sourceIo_ = nullptr;
  WaveListener* inputListener_ = nullptr;
  QTimer inputTimer_;
  uint8_t* block_ = nullptr;
  int blockBytes_ = 0, recorded_ = 0;
  bool added_ = false;

  // The sink reads the buffer: it must go first.
  std::unique_ptr<QBuffer> soundBuffer_;
  std::unique_ptr<QAudioSink> soundSink_;
};

}  // namespace kelvora
