#include "platform/qt/qt_file_dialogs.h"

#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMimeDatabase>
#include <QTreeView>
#include <algorithm>
#include <string>

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

const QLocale& Japanese() {
  static const QLocale locale(QLocale::Japanese, QLocale::Japan);
  return locale;
}

// The file list speaks Japanese whatever the system's locale: Qt's model
// writes sizes and dates in the system's language and has no translation
// for "Folder", so those columns are written here.
class JapaneseFileColumns : public QIdentityProxyModel {
public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || files == nullptr || index.column() == 0)
      return QIdentityProxyModel::data(index, role);
    const QFileInfo info = files->fileInfo(mapToSource(index));
    switch (index.column()) {
      case 1:
        return info.isDir() ? QString() : Japanese().formattedDataSize(info.size());
      case 2:
        if (info.isDir()) return QStringLiteral("フォルダー");
        return QMimeDatabase().mimeTypeForFile(info).comment();
      case 3:
        return Japanese().toString(info.lastModified(), QStringLiteral("yyyy/MM/dd HH:mm"));
      default:
        return QIdentityProxyModel::data(index, role);
    }
  }
};

constexpr const char* kPosition = "Position";
constexpr int kMinDialogWidth = 400, kMinDialogHeight = 300;

// Wide enough for the longest name, type and date a column usually holds,
// beside the folder list; or the size the user last left it at.
QSize OpeningSize(const QFileDialog& dialog) {
  const QFontMetrics fm = dialog.fontMetrics();
  const int columns = fm.horizontalAdvance(QStringLiteral("あ").repeated(20)) +  // name
                      fm.horizontalAdvance(QStringLiteral("1,023.9 KB")) +
                      fm.horizontalAdvance(QStringLiteral("Waveform Audio ファイル")) +
                      fm.horizontalAdvance(QStringLiteral("2026/12/31 23:59")) + 8 * fm.height();
  QSize size(columns + fm.horizontalAdvance(QStringLiteral("あ").repeated(12)), 30 * fm.height());
  if (Profile* p = Services().profile) {
    const int w = p->GetInt(kPosition, "filedialogwidth", 0);
    const int h = p->GetInt(kPosition, "filedialogheight", 0);
    // Stored sizes come from a file a user may edit.
    if (w >= kMinDialogWidth && h >= kMinDialogHeight && w <= 16384 && h <= 16384)
      size = QSize(w, h);
  }
  return size;
}

// The columns other than the name fit their contents; the name takes the rest.
void FitColumns(QFileDialog& dialog) {
  for (QTreeView* view : dialog.findChildren<QTreeView*>()) {
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
  }
}

bool Run(QFileDialog& dialog) {
  dialog.setLocale(Japanese());
  // The type names come from the default locale's language.
  const QLocale saved;
  QLocale::setDefault(Japanese());
  auto* columns = new JapaneseFileColumns(&dialog);
  dialog.setProxyModel(columns);
  FitColumns(dialog);
  dialog.resize(OpeningSize(dialog));
  if (QtFileDialogs::beforeExec != nullptr) QtFileDialogs::beforeExec(dialog);
  const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  QLocale::setDefault(saved);
  if (Profile* p = Services().profile) {
    HeldProfileWrites once(p);
    p->WriteString(kPosition, "filedialogwidth", std::to_string(dialog.width()));
    p->WriteString(kPosition, "filedialogheight", std::to_string(dialog.height()));
  }
  return accepted;
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
