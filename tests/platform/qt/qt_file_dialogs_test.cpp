#include "platform/qt/qt_file_dialogs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "files/file_test_support.h"
#include "platform/headless/headless_platform.h"
#include "shell/qt/qt_test_app.h"

namespace kelvora {
namespace {

// What the user does in the next dialog, once it is on screen.
std::function<void(QFileDialog&)> g_user;

TEST(QtFileDialogs, FiltersShownByTheirTextsAndTheChoiceReported) {
  EnsureQtApplication();
  QtFileDialogs::beforeExec = [](QFileDialog& d) {
    QTimer::singleShot(0, &d, [&d] { g_user(d); });
  };
  QtFileDialogs dialogs;
  TempDir dir;
  ASSERT_TRUE(WriteBytes(dir / "音 b.aiff", {1}));
  const std::vector<FileFilter> filters = {{".WAV File (*.wav)", "*.wav"},
                                           {"AIF File (*.aif;*.aiff)", "*.aif;*.aiff"},
                                           {"ALL (*.*)", "*.*"}};
  QStringList shown, qt_filters, proposed;
  QString name = QStringLiteral("音 b.aiff");
  g_user = [&](QFileDialog& d) {
    auto* combo = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    for (int i = 0; combo && i < combo->count(); ++i) shown << combo->itemText(i);
    qt_filters = d.nameFilters();
    proposed = d.selectedFiles();
    d.selectNameFilter(qt_filters[1]);
    d.selectFile(name);
    static_cast<QDialog&>(d).accept();
  };
  std::string path;
  ASSERT_TRUE(dialogs.GetOpenPath(dir.path(), filters, 2, &path));
  EXPECT_EQ(path, dir / "音 b.aiff");
  EXPECT_EQ(shown, (QStringList{".WAV File (*.wav)", "AIF File (*.aif;*.aiff)", "ALL (*.*)"}));
  EXPECT_EQ(qt_filters[1], QStringLiteral("AIF File (*.aif;*.aiff) (*.aif *.aiff)"));
  EXPECT_EQ(qt_filters[2], QStringLiteral("ALL (*.*) (*)"));
  int chosen = -1;
  name = QStringLiteral("新しい 音");
  ASSERT_TRUE(dialogs.GetSavePath("無題", dir.path(), filters, 0, true, &path, &chosen));
  EXPECT_EQ(path, dir / "新しい 音");
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(proposed.value(0).toStdString(), dir / "無題");
  g_user = [](QFileDialog& d) { d.reject(); };
  EXPECT_FALSE(dialogs.GetOpenPath(dir.path(), filters, 0, &path));
  QtFileDialogs::beforeExec = nullptr;
}

// Under an English locale too: Japanese sizes, types and dates, each
// column as wide as its longest entry at the opening size, and the size
// the user leaves the dialog at is the next one's.
TEST(QtFileDialogs, ColumnsInJapaneseFitAndTheSizeIsRemembered) {
  EnsureQtApplication();
  const QLocale system;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  const Platform previous = Services();
  HeadlessPlatform platform;
  platform.Install();
  TempDir dir;
  ASSERT_TRUE(WriteBytes(dir / "a long name of a sound file.wav", std::vector<uint8_t>(3000, 1)));
  ASSERT_EQ(::mkdir((dir / "フォルダ").c_str(), 0700), 0);
  QtFileDialogs::beforeExec = [](QFileDialog& d) {
    QTimer::singleShot(0, &d, [&d] { g_user(d); });
  };
  std::vector<QStringList> rows;
  QSize opened;
  g_user = [&](QFileDialog& d) {
    auto* view = d.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(view, nullptr);
    for (int i = 0; i < 200 && view->model()->rowCount(view->rootIndex()) < 2; ++i)
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents();
    const QAbstractItemModel* m = view->model();
    for (int r = 0; r < m->rowCount(view->rootIndex()); ++r) {
      QStringList row;
      for (int c = 0; c < 4; ++c) {
        const QString text = m->index(r, c, view->rootIndex()).data().toString();
        row << text;
        EXPECT_LE(view->fontMetrics().horizontalAdvance(text), view->header()->sectionSize(c))
            << text.toStdString();
      }
      rows.push_back(row);
    }
    opened = d.size();
    d.resize(701, 502);
    d.reject();
  };
  const std::vector<FileFilter> filters = {{"ALL (*.*)", "*.*"}};
  std::string path;
  EXPECT_FALSE(QtFileDialogs().GetOpenPath(dir.path(), filters, 0, &path));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][2], QStringLiteral("フォルダー"));
  EXPECT_TRUE(rows[1][3].contains(QLatin1Char('/'))) << rows[1][3].toStdString();
  EXPECT_GE(opened.width(), 700);
  g_user = [&](QFileDialog& d) {
    opened = d.size();
    d.reject();
  };
  EXPECT_FALSE(QtFileDialogs().GetOpenPath(dir.path(), filters, 0, &path));
  EXPECT_EQ(opened, QSize(701, 502));
  QtFileDialogs::beforeExec = nullptr;
  QLocale::setDefault(system);
  Services() = previous;
}

}  // namespace
}  // namespace kelvora
