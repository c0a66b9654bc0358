#include "document/observer.h"

namespace kelvora {
namespace {

DocumentObserver* g_observer = nullptr;

}  // namespace

void SetDocumentObserver(DocumentObserver* observer) { g_observer = observer; }

void NotifyDataChanged() {
  if (g_observer != nullptr) g_observer->DataChanged();
}

void NotifyFormatChanged() {
  if (g_observer != nullptr) g_observer->FormatChanged();
}

void NotifyTitleChanged() {
  if (g_observer != nullptr) g_observer->TitleChanged();
}

void NotifySelectionChanged() {
  if (g_observer != nullptr) g_observer->SelectionChanged();
}

void NotifyBusyChanged(bool busy) {
  if (g_observer != nullptr) g_observer->BusyChanged(busy);
}

void NotifyCloseRequested() {
  if (g_observer != nullptr) g_observer->CloseRequested();
}

void NotifyPlayPositionChanged(int64_t offset) {
  if (g_observer != nullptr) g_observer->PlayPositionChanged(offset);
}

void NotifyFileOpened() {
  if (g_observer != nullptr) g_observer->FileOpened();
}

}  // namespace kelvora
