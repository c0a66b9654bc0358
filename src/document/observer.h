// How the engine tells the window what changed. The engine never calls the
// window or the views; it reports through the one observer the shell
// installs at start-up. Without one the engine runs silently.
#pragma once

#include <cstdint>

namespace kelvora {

class DocumentObserver {
public:
  virtual ~DocumentObserver() = default;
  // The samples, or how they are shown, changed: redraw both views.
  virtual void DataChanged() = 0;
  // The format or the length changed: the format and length status.
  virtual void FormatChanged() = 0;
  // The path changed: the window title.
  virtual void TitleChanged() = 0;
  // The selection changed: redraw its tint.
  virtual void SelectionChanged() = 0;
  // An operation began or ended: the menus, and the zoom check marks of the
  // restored menu bar.
  virtual void BusyChanged(bool busy) = 0;
  // A close arrived while an operation ran, and that operation has ended.
  virtual void CloseRequested() = 0;
  // Playback has played up to byte `offset`; -1 when it ended.
  virtual void PlayPositionChanged(int64_t /*offset*/) {}
  // A sound file replaced the document.
  virtual void FileOpened() {}
};

// The shell installs its observer once; null removes it.
void SetDocumentObserver(DocumentObserver* observer);

void NotifyDataChanged();
void NotifyFormatChanged();
void NotifyTitleChanged();
void NotifySelectionChanged();
void NotifyBusyChanged(bool busy);
void NotifyCloseRequested();
void NotifyPlayPositionChanged(int64_t offset);
void NotifyFileOpened();

}  // namespace kelvora
