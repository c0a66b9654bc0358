#include "platform/qt/qt_file_dialogs.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QTimer>
#include <functional>

#include "files/file_test_support.h"
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

}  // namespace
}  // namespace kelvora
