#include "document/busy.h"

#include <cstdio>
#include <string>

#include "document/observer.h"
#include "document/sound_document.h"
#include "document/texts.h"
#include "platform/platform.h"

namespace kelvora {

BusyState g_busy;

void BeginBusy(bool changing) {
  if (changing) MarkDocumentChanging();
  NotifyBusyChanged(true);
  Busy().busy = true;
  Busy().stopRequested = false;
  Busy().progressPercent = -1;
  SetProgressStretch(0, 100);
}

void EndBusy() {
  NotifyBusyChanged(false);
  NotifyFormatChanged();
  NotifyDataChanged();
  Busy().busy = false;
  Busy().progressPercent = -1;
  SetProgressStretch(0, 100);
  if (Busy().closeRequested) {
    Busy().closeRequested = false;
    NotifyCloseRequested();
  }
}

int ProgressPercent(int64_t position, int64_t total) {
  if (total == 0) return 0;
  return static_cast<int>(position * 100 / total);
}

void SetProgressStretch(int from, int to) {
  Busy().progressFrom = from;
  Busy().progressTo = to;
}

void ShowProgressUpdate(const char* name, int64_t position, int64_t total) {
  BusyState& b = Busy();
  b.progressCounter = 0;
  int percent = ProgressPercent(position, total);
  if (b.progressFrom != 0 || b.progressTo != 100)
    percent = b.progressFrom + percent * (b.progressTo - b.progressFrom) / 100;
  if (percent != b.progressPercent || b.progressName != name) {
    char text[300];
    std::snprintf(text, sizeof text, texts::kProgressFormat, name, percent);
    Services().ui->SetStatusText(0, text);
    b.progressName = name;
    b.progressPercent = percent;
  }
  Services().ui->DispatchOnePendingEvent();
}

void ShowProgressSpan(const char* name, int64_t first, int64_t step, int64_t count, int64_t total) {
  BusyState& b = Busy();
  while (count > 0) {
    int64_t until_update = 200 - 1 - b.progressCounter;  // calls that only count
    if (count <= until_update) {
      b.progressCounter += static_cast<int32_t>(count);
      return;
    }
    first += until_update * step;
    count -= until_update + 1;
    ShowProgressUpdate(name, first, total);
    first += step;
  }
}

namespace {
constexpr int64_t kLateProgressMs = 500;
int64_t NowMs() { return Services().clock != nullptr ? Services().clock->NowMs() : 0; }
}  // namespace

LatePassProgress::LatePassProgress(const char* name) : name_(name), start_(NowMs()) {}

void LatePassProgress::Update(int64_t done, int64_t total) {
  if (!shown_) {
    if (NowMs() - start_ < kLateProgressMs) return;
    shown_ = true;
    if (!Busy().busy) {
      BeginBusy(false);
      began_ = true;
    }
  }
  ShowProgressUpdate(name_, done, total > 0 ? total : 1);
}

void LatePassProgress::End() {
  if (began_) EndBusy();
  began_ = false;
}

void ResetBusyState() { Busy() = BusyState{}; }

}  // namespace kelvora
