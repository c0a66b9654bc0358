// The system as Qt sees it, and the one background thread that writes the
// recovery copies while the window stays responsive.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <semaphore>
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

// One worker thread, started with the first task; ending waits for the
// tasks already posted. Posting never waits for the worker: a lock it held
// while the busy machine took the processor away would stall the window.
class QtBackground : public Background {
public:
  QtBackground();
  ~QtBackground() override;
  QtBackground(const QtBackground&) = delete;
  QtBackground& operator=(const QtBackground&) = delete;

  // From the window's thread only.
  void Post(std::function<void()> task) override;
  void Drain() override;

private:
  // A queue that one thread fills and one empties, without locks: the
  // window's thread links each new node after the last one, the worker
  // follows the links and frees what it has passed.
  struct Node {
    std::atomic<Node*> next{nullptr};
    std::function<void()> task;
  };
  void Push(std::function<void()> task);
  void Run();

  std::atomic<Node*> last_;
  Node* passed_;  // the worker's: the node before the next task
  std::counting_semaphore<> ready_{0};
  std::atomic<uint64_t> posted_{0}, done_{0};
  std::atomic<bool> draining_{false};
  std::mutex drainMutex_;
  std::condition_variable drained_;
  std::thread thread_;
};

}  // namespace kelvora
