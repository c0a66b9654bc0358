// The open and save dialogs on Qt (Qt's own dialog, the same on every
// desktop), showing the filters by the texts the engine gives.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/platform.h"

class QFileDialog;

namespace kelvora {

class QtFileDialogs : public FileDialogs {
public:
  explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  bool GetOpenPath(const std::string& directory, const std::vector<FileFilter>& filters, int filter,
                   std::string* path) override;
  bool GetSavePath(const std::string& name, const std::string& directory,
                   const std::vector<FileFilter>& filters, int filter, bool confirmOverwrite,
                   std::string* path, int* chosenFilter) override;

  // A filter as Qt reads it: the text, then the patterns space-separated in
  // parentheses, which the dialog keeps out of sight ("*.*" becomes "*", so
  // that files without a dot show too).
  static QString QtFilter(const FileFilter& filter);

  // Runs just before a dialog is shown (tests answer it from here).
  static void (*beforeExec)(QFileDialog& dialog);

private:
  QPointer<QWidget> parent_;
};

}  // namespace kelvora
