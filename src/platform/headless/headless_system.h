// The system and the background worker without a window system. The system
// answers from the real process table and file systems unless a test sets
// an answer; background tasks run at once, or wait until the test runs them
// (a test can then stop between any two of them, as a crash would).
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace kelvora {

class HeadlessSystem : public System {
public:
  int64_t ProcessId() override;
  uint64_t ProcessStart(int64_t pid) override;
  bool ProcessRunning(int64_t pid, uint64_t start) override;
  int64_t FreeBytes(const std::string& path) override;
  int64_t WallSeconds() override;
  std::string StateFolder() override;

  std::optional<int64_t> freeBytes;
  std::optional<int64_t> wallSeconds;
  std::optional<std::string> stateFolder;
};

class HeadlessBackground : public Background {
public:
  void Post(std::function<void()> task) override;
  void Drain() override { RunPending(); }
  // Runs up to `count` waiting tasks, oldest first; returns how many ran.
  size_t RunPending(size_t count = static_cast<size_t>(-1));
  // Forgets the waiting tasks without running them.
  void DropPending() { tasks.clear(); }

  bool runAtOnce = true;
  std::deque<std::function<void()>> tasks;
};

}  // namespace kelvora
