#include "platform/qt/help_window.h"

#include <QFileInfo>
#include <QListWidget>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>

namespace kelvora {

HelpWindow::HelpWindow() : QSplitter(Qt::Horizontal) {
  setObjectName("HelpWindow");
  setWindowFlag(Qt::Window);
  // Closing the main window ends the program even while the manual is open.
  setAttribute(Qt::WA_QuitOnClose, false);
  contents_ = new QListWidget(this);
  contents_->setObjectName("HelpContents");
  browser_ = new QTextBrowser(this);
  browser_->setObjectName("HelpBrowser");
  // Links to the web go to the desktop's browser; pages of the manual stay here.
  browser_->setOpenExternalLinks(true);
  addWidget(contents_);
  addWidget(browser_);
  setStretchFactor(1, 1);
  setSizes({240, 620});
  resize(860, 600);
  connect(contents_, &QListWidget::currentRowChanged, this, &HelpWindow::ShowHeading);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] { FillContents(); });
  // Closed from the keyboard as other windows of the desktop are.
  for (const QKeySequence& keys :
       {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    auto* shortcut = new QShortcut(keys, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &QWidget::close);
  }
}

bool HelpWindow::Load(const QString& file) {
  const QFileInfo info(file);
  if (!info.isFile() || !info.isReadable()) return false;
  browser_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
  return !browser_->document()->isEmpty();
}

void HelpWindow::FillContents() {
  contents_->blockSignals(true);
  contents_->clear();
  headingPositions_.clear();
  for (QTextBlock b = browser_->document()->begin(); b.isValid(); b = b.next()) {
    const int level = b.blockFormat().headingLevel();
    if (level < 1 || level > 2 || b.text().trimmed().isEmpty()) continue;
    auto* item = new QListWidgetItem(b.text().trimmed(), contents_);
    if (level == 1) {
      QFont bold = item->font();
      bold.setBold(true);
      item->setFont(bold);
    }
    headingPositions_.append(b.position());
  }
  contents_->blockSignals(false);
  const QString title = browser_->documentTitle();
  setWindowTitle(title.isEmpty() ? QStringLiteral("Kelvora") : title);
}

void HelpWindow::ShowHeading(int row) {
  if (row < 0 || row >= headingPositions_.size()) return;
  QTextCursor cursor(browser_->document());
  cursor.setPosition(headingPositions_[row]);
  // The heading goes to the top of the page, not just into view.
  browser_->verticalScrollBar()->setValue(browser_->verticalScrollBar()->maximum());
  browser_->setTextCursor(cursor);
  browser_->ensureCursorVisible();
}

}  // namespace kelvora
