// The busy state that keeps commands out while an operation runs, and the
// progress report that keeps the window alive during long passes.
#pragma once

#include <cstdint>
#include <string>

namespace kelvora {

struct BusyState {
  bool busy = false;
  int32_t progressCounter = 0;  // shared by every operation, never reset
  bool closeRequested = false;  // a close arrived while busy; honoured at EndBusy
  bool stopRequested = false;   // Stop was chosen while busy; a pass that can end early ends
  // The progress text last written in this busy period, by name and percent:
  // a pass over a long sound updates 130,000 times, and writing the same
  // text again each time would cost more than the pass itself.
  std::string progressName;
  int progressPercent = -1;
  // The stretch of the one progress bar that the pass now running fills: an
  // operation whose undo copy took the first part goes on from there.
  int progressFrom = 0, progressTo = 100;
};

extern BusyState g_busy;
inline BusyState& Busy() { return g_busy; }

// `changing` false for a pass that only reads the sound: its revision stays.
void BeginBusy(bool changing = true);
void EndBusy();

// Updates the status bar and dispatches one pending event on every 200th
// call; the other calls only count. Position and total are in any one unit.
void ShowProgressUpdate(const char* name, int64_t position, int64_t total);
inline void ShowProgress(const char* name, int32_t position, int32_t total) {
  BusyState& b = Busy();
  if (++b.progressCounter < 200) return;
  ShowProgressUpdate(name, position, total);
}

// Exactly `count` ShowProgress calls at positions first, first + step, ...,
// for loops that work in chunks so that their inner loops stay vectorised.
// The total may pass 2^31 (two passes over a selection above 1 GiB).
void ShowProgressSpan(const char* name, int64_t first, int64_t step, int64_t count, int64_t total);

// From now until the busy period ends, position / total fills the bar's
// stretch from..to percent.
void SetProgressStretch(int from, int to);

// "%s:%3d%%" with position * 100 / total, without 32-bit overflow.
int ProgressPercent(int64_t position, int64_t total);

// Progress for a pass that is usually over at once (saving, loading):
// nothing until it has run for half a second, then progress under `name`;
// a pass that is not inside an operation is made busy from then until End.
class LatePassProgress {
public:
  explicit LatePassProgress(const char* name);
  ~LatePassProgress() { End(); }
  LatePassProgress(const LatePassProgress&) = delete;
  LatePassProgress& operator=(const LatePassProgress&) = delete;
  void Update(int64_t done, int64_t total);
  void End();

private:
  const char* name_;
  int64_t start_;
  bool shown_ = false, began_ = false;
};

void ResetBusyState();

}  // namespace kelvora
