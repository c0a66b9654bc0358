// The manual inside the program: the HTML help page in a text browser, with
// a table of contents of its headings beside it. Works on every machine,
// with or without a web browser.
#pragma once

#include <QSplitter>

class QListWidget;
class QTextBrowser;

namespace kelvora {

class HelpWindow : public QSplitter {
public:
  HelpWindow();

  // Loads the page (its images and links are found relative to it).
  // False when it cannot be read.
  bool Load(const QString& file);

  QListWidget* Contents() const { return contents_; }
  QTextBrowser* Browser() const { return browser_; }

private:
  void FillContents();
  void ShowHeading(int row);

  QListWidget* contents_ = nullptr;
  QTextBrowser* browser_ = nullptr;
  QList<int> headingPositions_;
};

}  // namespace kelvora
