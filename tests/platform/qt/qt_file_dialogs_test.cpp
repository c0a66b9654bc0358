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

void Answer(QFileDialog& dialog) {
  QTimer::singleShot(0, &dialog, [&dialog] { g_user(dialog); });
}

std::vector<FileFilter> Filters() {
  return {{".WAV File (*.wav)", "*.wav"},
          {".AU File (*.au)", "*.au"},
          {"AIF File (*.aif;*.aiff)", "*.aif;*.aiff"},
          {"ALL (*.*)", "*.*"}};
}

QStringList Shown(QFileDialog& dialog) {
  QStringList texts;
  auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  for (int i = 0; combo && i < combo->count(); ++i) texts << combo->itemText(i);
  return texts;
}

class QtFileDialogsTest : public testing::Test {
protected:
  QtFileDialogsTest() {
    EnsureQtApplication();
    QtFileDialogs::beforeExec = Answer;
  }
  ~QtFileDialogsTest() override { QtFileDialogs::beforeExec = nullptr; }
  TempDir dir;
  QtFileDialogs dialogs;
};

TEST_F(QtFileDialogsTest, OpenShowsTheFiltersByTheirTextsAndMatchesTheirPatterns) {
  const std::string folder = dir / "音 声";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  ASSERT_TRUE(WriteBytes(folder + "/b.aiff", {1}));
  QStringList shown, filters;
  QString selected, directory;
  g_user = [&](QFileDialog& d) {
    shown = Shown(d);
    filters = d.nameFilters();
    selected = d.selectedNameFilter();
    directory = d.directory().absolutePath();
    d.selectFile(QString::fromUtf8(folder.c_str()) + QStringLiteral("/b.aiff"));
    static_cast<QDialog&>(d).accept();
  };
  std::string path;
  ASSERT_TRUE(dialogs.GetOpenPath(folder, Filters(), 2, &path));
  EXPECT_EQ(path, folder + "/b.aiff");
  EXPECT_EQ(shown, (QStringList{".WAV File (*.wav)", ".AU File (*.au)", "AIF File (*.aif;*.aiff)",
                                "ALL (*.*)"}));
  EXPECT_EQ(filters[2], QStringLiteral("AIF File (*.aif;*.aiff) (*.aif *.aiff)"));
  EXPECT_EQ(filters[3], QStringLiteral("ALL (*.*) (*)"));
  EXPECT_EQ(selected, QStringLiteral("AIF File (*.aif;*.aiff)"));
  EXPECT_EQ(directory.toStdString(), folder);

  g_user = [](QFileDialog& d) { d.reject(); };
  EXPECT_FALSE(dialogs.GetOpenPath(folder, Filters(), 0, &path));
}

TEST_F(QtFileDialogsTest, SaveReportsTheFilterInForceAndProposesTheName) {
  const std::vector<FileFilter> filters = {{"WAVE (pcm) Format (*.wav)", "*.wav"},
                                           {"WAVE (ulaw) Format (*.wav)", "*.wav"},
                                           {"AU (ulaw) Format (*.au)", "*.au"},
                                           {"AIFF Format (*.aiff)", "*.aif;*.aiff"}};
  QStringList proposed;
  bool confirms = false;
  g_user = [&](QFileDialog& d) {
    proposed = d.selectedFiles();
    confirms = !d.testOption(QFileDialog::DontConfirmOverwrite);
    d.selectNameFilter(d.nameFilters()[1]);
    d.selectFile(QStringLiteral("新しい 音"));
    static_cast<QDialog&>(d).accept();
  };
  std::string path;
  int chosen = -1;
  ASSERT_TRUE(dialogs.GetSavePath("無題", dir.path(), filters, 3, true, &path, &chosen));
  EXPECT_EQ(path, dir / "新しい 音");
  EXPECT_EQ(chosen, 1);
  EXPECT_TRUE(confirms);
  ASSERT_EQ(proposed.size(), 1);
  EXPECT_EQ(proposed[0].toStdString(), dir / "無題");
}

}  // namespace
}  // namespace kelvora
