// The system as Qt sees it, and the one background thread that writes the
// recovery copies while the window stays responsive.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/platform.h"

namespace kelvora {

class QtSystem : public System {
public:
  int64_t ProcessId() override;
  uint64_t ProcessStart(int64_t pid) override;
  bool ProcessRunning(int64_t pid, uint64_t start) override;
  int64_t FreeBytes(const std::string& path) override;
  int64_t WallSeconds() override;
  std::string StateFolder() override;
};

// One worker thread, started with the first task. Ending waits for the
// tasks already posted.
class QtBackground : public Background {
public:
  QtBackground() = default;
  ~QtBackground() override;
  QtBackground(const QtBackground&) = delete;
  QtBackground& operator=(const QtBackground&) = delete;

  void Post(std::function<void()> task) override;
  void Drain() override;

private:
  void Run();

  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::deque<std::function<void()>> tasks_;
  bool running_ = false;  // a task is being run
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace kelvora
