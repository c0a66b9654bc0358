#include "platform/qt/qt_file_dialogs.h"

#include <QFile>
#include <QFileDialog>

namespace kelvora {
namespace {

QString LocalName(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QStringList QtFilters(const std::vector<FileFilter>& filters) {
  QStringList list;
  for (const FileFilter& f : filters) list << QtFileDialogs::QtFilter(f);
  return list;
}

// What both dialogs share: Qt's own widgets, the filters with the one
// preselected, and the starting folder.
void Prepare(QFileDialog& dialog, const std::string& directory,
             const std::vector<FileFilter>& filters, int filter) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (!directory.empty()) dialog.setDirectory(LocalName(directory));
  const QStringList list = QtFilters(filters);
  dialog.setNameFilters(list);
  if (filter >= 0 && filter < list.size()) dialog.selectNameFilter(list[filter]);
}

bool Run(QFileDialog& dialog) {
  if (QtFileDialogs::beforeExec != nullptr) QtFileDialogs::beforeExec(dialog);
  return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
}

}  // namespace

void (*QtFileDialogs::beforeExec)(QFileDialog& dialog) = nullptr;

QString QtFileDialogs::QtFilter(const FileFilter& filter) {
  QStringList patterns =
      QString::fromUtf8(filter.patterns).split(QLatin1Char(';'), Qt::SkipEmptyParts);
  for (QString& p : patterns)
    if (p == QStringLiteral("*.*")) p = QStringLiteral("*");
  return QString::fromUtf8(filter.label) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
         QLatin1Char(')');
}

bool QtFileDialogs::GetOpenPath(const std::string& directory,
                                const std::vector<FileFilter>& filters, int filter,
                                std::string* path) {
  QFileDialog dialog(parent_.data());
  Prepare(dialog, directory, filters, filter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!Run(dialog)) return false;
  *path = LocalPath(dialog.selectedFiles().first());
  return true;
}

bool QtFileDialogs::GetSavePath(const std::string& name, const std::string& directory,
                                const std::vector<FileFilter>& filters, int filter,
                                bool confirmOverwrite, std::string* path, int* chosenFilter) {
  QFileDialog dialog(parent_.data());
  Prepare(dialog, directory, filters, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
  dialog.selectFile(LocalName(name));
  if (!Run(dialog)) return false;
  *path = LocalPath(dialog.selectedFiles().first());
  // With the patterns hidden the dialog names the filter by its text alone.
  const QString selected = dialog.selectedNameFilter();
  *chosenFilter = filter;
  for (size_t i = 0; i < filters.size(); ++i)
    if (selected == QtFileDialogs::QtFilter(filters[i]) ||
        selected == QString::fromUtf8(filters[i].label))
      *chosenFilter = static_cast<int>(i);
  return true;
}

}  // namespace kelvora
