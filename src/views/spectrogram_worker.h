// The threads that compute spectrogram columns. They never read the
// document: each job carries a copy of the bytes its columns need, made on
// the UI thread, which is where the document changes. So an edit, an undo
// or a new file cannot change or free anything under them; a column
// computed from bytes that have since changed is caught by its fingerprint.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "views/spectrum_analyser.h"

namespace kelvora {

struct ColumnJob {
  // What was asked: `count` columns of `fpp` frames from column `first`
  // (column k starts at frame k * fpp), for cache generation `epoch`, from
  // the sound as it was at `revision`, `soundFrames` long.
  uint64_t epoch = 0;
  uint64_t revision = 0;
  int64_t fpp = 1;
  int64_t first = 0;
  int count = 0;
  int64_t soundFrames = 0;
  const SpectrumAnalyser* analyser = nullptr;
  std::vector<uint8_t> bytes;  // frames `frames` of the sound
  FrameRange frames;
  SampleAccess access;
  // The answer: levels of column after column (channels * bins each), and
  // the fingerprint of each column's bytes. Empty when the job was dropped
  // because its generation had passed.
  std::vector<uint8_t> levels;
  std::vector<uint64_t> fingerprints;
};

// The frames a column reads, clipped to the sound, and the fingerprint of
// its bytes in `span`, which must hold them.
FrameRange ClippedReach(int64_t column, int64_t fpp, int window, int64_t soundFrames);
uint64_t ColumnFingerprint(const uint8_t* bytes, FrameRange reach, int align);

class SpectrogramWorkers {
public:
  SpectrogramWorkers() = default;
  ~SpectrogramWorkers() { Stop(); }
  SpectrogramWorkers(const SpectrogramWorkers&) = delete;
  SpectrogramWorkers& operator=(const SpectrogramWorkers&) = delete;

  // Queues a job; the threads start with the first one.
  void Submit(std::unique_ptr<ColumnJob> job);
  // Jobs of earlier generations are handed back without being worked on.
  void SetEpoch(uint64_t epoch);
  // The jobs finished so far, in the order they finished.
  std::vector<std::unique_ptr<ColumnJob>> TakeFinished();
  // Called on a worker thread when a job finishes and none was waiting to
  // be taken; null for none. Returns once no call is under way.
  void SetWakeup(std::function<void()> wakeup);
  // Blocks until a finished job waits to be taken or nothing is queued or
  // being worked on.
  void Wait();
  // Drops the queued and finished jobs, waits for the ones being worked on
  // and ends the threads.
  void Stop();

private:
  void Serve();

  std::mutex mutex_;
  std::condition_variable work_, done_;
  std::deque<std::unique_ptr<ColumnJob>> queue_;
  std::vector<std::unique_ptr<ColumnJob>> finished_;
  int running_ = 0;
  uint64_t epoch_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
  std::mutex wakeupMutex_;
  std::function<void()> wakeup_;
};

}  // namespace kelvora
