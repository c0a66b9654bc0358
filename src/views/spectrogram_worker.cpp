#include "views/spectrogram_worker.h"

#include <algorithm>

namespace kelvora {
namespace {

// Two threads per processor would only take turns; more than four gain
// little on a screen's worth of columns.
int ThreadCount() {
  return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

void Work(ColumnJob& job, SpectrumAnalyser::Scratch& scratch) {
  const SpectrumAnalyser& a = *job.analyser;
  const size_t perColumn = static_cast<size_t>(job.access.nChannels) * a.Bins();
  job.levels.resize(perColumn * job.count);
  job.fingerprints.resize(job.count);
  const SampleSpan span{job.bytes.data(), job.frames, job.access};
  for (int i = 0; i < job.count; ++i) {
    const int64_t column = job.first + i;
    a.Column(span, column * job.fpp, job.fpp, job.levels.data() + perColumn * i, scratch);
    const FrameRange reach = ClippedReach(column, job.fpp, a.Window(), job.soundFrames);
    job.fingerprints[i] = ColumnFingerprint(
        job.bytes.data() + (reach.first - job.frames.first) * job.access.nBlockAlign, reach,
        job.access.nBlockAlign);
  }
}

}  // namespace

FrameRange ClippedReach(int64_t column, int64_t fpp, int window, int64_t soundFrames) {
  FrameRange r = ColumnReach(column * fpp, fpp, window);
  r.first = std::clamp<int64_t>(r.first, 0, soundFrames);
  r.end = std::clamp<int64_t>(r.end, r.first, soundFrames);
  return r;
}

uint64_t ColumnFingerprint(const uint8_t* bytes, FrameRange reach, int align) {
  // The reach is part of the seed: the same bytes at another place, or cut
  // short by another length, are another column.
  const uint64_t seed =
      static_cast<uint64_t>(reach.first) * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(reach.end);
  return Fingerprint(bytes, static_cast<size_t>((reach.end - reach.first) * align), seed);
}

void SpectrogramWorkers::Submit(std::unique_ptr<ColumnJob> job) {
  std::lock_guard lock(mutex_);
  if (threads_.empty()) {
    stopping_ = false;
    for (int i = ThreadCount(); i > 0; --i) threads_.emplace_back([this] { Serve(); });
  }
  queue_.push_back(std::move(job));
  work_.notify_one();
}

void SpectrogramWorkers::SetEpoch(uint64_t epoch) {
  std::lock_guard lock(mutex_);
  epoch_ = epoch;
}

std::vector<std::unique_ptr<ColumnJob>> SpectrogramWorkers::TakeFinished() {
  std::lock_guard lock(mutex_);
  return std::exchange(finished_, {});
}

void SpectrogramWorkers::SetWakeup(std::function<void()> wakeup) {
  std::lock_guard lock(wakeupMutex_);
  wakeup_ = std::move(wakeup);
}

void SpectrogramWorkers::Wait() {
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return !finished_.empty() || (queue_.empty() && running_ == 0); });
}

void SpectrogramWorkers::Stop() {
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
    threads.swap(threads_);
    work_.notify_all();
  }
  for (std::thread& t : threads) t.join();
  std::lock_guard lock(mutex_);
  finished_.clear();
  stopping_ = false;
}

void SpectrogramWorkers::Serve() {
  SpectrumAnalyser::Scratch scratch(kMaxSpectrumWindow);
  for (;;) {
    std::unique_ptr<ColumnJob> job;
    bool current = false;
    {
      std::unique_lock lock(mutex_);
      work_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      job = std::move(queue_.front());
      queue_.pop_front();
      current = job->epoch == epoch_;
      ++running_;
    }
    if (current) Work(*job, scratch);
    bool wake = false;
    {
      std::lock_guard lock(mutex_);
      --running_;
      wake = finished_.empty();
      finished_.push_back(std::move(job));
      done_.notify_all();
    }
    if (wake) {
      std::lock_guard lock(wakeupMutex_);
      if (wakeup_) wakeup_();
    }
  }
}

}  // namespace kelvora
