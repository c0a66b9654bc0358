#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "document/busy.h"
#include "platform/profile_file.h"
#include "platform/qt/qt_platform.h"
#include "shell/commands.h"
#include "shell/layout.h"
#include "shell/qt/qt_main_window.h"
#include "shell/qt/qt_test_app.h"
#include "shell/qt/status_bar.h"
#include "shell/settings.h"
#include "test_support.h"
#include "views/view_state.h"

namespace kelvora {
namespace {

// A main window on the headless engine; commands are recorded with the
// answer the busy filter gives at the moment they arrive.
struct WindowFixture : EngineFixture {
  WindowFixture() {
    EnsureQtApplication();
    window = std::make_unique<QtMainWindow>();
    qtUi.SetWindow(window.get());
    window->SetDispatcher(
        [this](int id, int code) { dispatched.emplace_back(id, code, CommandAllowed(id, code)); });
  }
  // Routes the engine's window calls to the real window.
  void UseQtUi() { Services().ui = &qtUi; }
  void Flush() { QCoreApplication::processEvents(); }
  QAction* Item(int popup, int id) {
    for (QAction* a : window->menuBar()->actions().at(popup)->menu()->actions())
      if (a->data().toInt() == id) return a;
    return nullptr;
  }

  QtUserInterface qtUi;
  std::unique_ptr<QtMainWindow> window;
  std::vector<std::tuple<int, int, bool>> dispatched;
};

struct Expected {
  int id;  // 0: separator
  const char* text;
};

// The menu bar item by item: label, tab and key text, id.
const std::vector<std::pair<const char*, std::vector<Expected>>> kExpectedMenus = {
    {"ﾌｧｲﾙ(&F)",
     {{40001, "新規ウィンドウ(&W)"},
      {0, ""},
      {40002, "新規作成(&N)...\tCtrl+N"},
      {40003, "開く(&O)...\tCtrl+O"},
      {40004, "上書き保存(&S)\tCtrl+S"},
      {40005, "名前を付けて保存(&A)..."},
      {0, ""},
      {40006, "フォーマット変換(&F)..."},
      {0, ""},
      {40007, "再生(&P)"},
      {40008, "カーソル位置から再生"},
      {40009, "ループ再生(&L)"},
      {40010, "停止(&B)"},
      {40011, "録音(&R)"},
      {0, ""},
      {40012, "終了(&X)"},
      {0, ""}}},
    {"編集(&E)",
     {{40013, "元に戻す(&U)\tCtrl+Z"},
      {0, ""},
      {40014, "切り取り(&T)\tCtrl+X"},
      {40015, "コピー(&C)\tCtrl+C"},
      {40016, "貼り付け(&P)\tCtrl+V"},
      {40017, "削除(&L)\tDel"},
      {40018, "選択範囲以外を消去(&R)"},
      {40019, "クリップボードとのミックス(&M)"},
      {0, ""},
      {40020, "全てを選択(&A)"}}},
    {"効果(&T)",
     {{40021, "ノイズ除去(&J)"},
      {40022, "DC成分除去(&C)"},
      {40023, "ノーマライズ(&Z)"},
      {40024, "位相反転"},
      {0, ""},
      {40025, "サイレント(&S)"},
      {40026, "フェードイン(&I)"},
      {40027, "フェードアウト(&O)"},
      {40028, "音量(&L)"},
      {40029, "トレモロ(&T)"},
      {40030, "エンベロープ(&N)"},
      {40031, "パンエンベロープ(&A)"},
      {40032, "ノイズゲート"},
      {40033, "コンプレッサー"},
      {0, ""},
      {40034, "エコー(&E)"},
      {40035, "リバーブ(&B)"},
      {0, ""},
      {40036, "ピッチ(&P)"},
      {40037, "ピッチエンベロープ"},
      {40038, "ビブラート(&V)"},
      {40039, "タイムストレッチ"},
      {40040, "トランスポーズ"},
      {0, ""},
      {40041, "リバース"},
      {40042, "ディストーション"},
      {40043, "フランジャー"},
      {40044, "イコライザー"},
      {40045, "パラメトリックイコライザ"}}},
    {"作成(&C)",
     {{40046, "ホワイトノイズ(&N)..."},
      {40047, "トーン(&T)..."},
      {40049, "サイレント(&S)..."},
      {40050, "メロディペースト(&M)..."}}},
    {"表示(&D)",
     {{40072, "1/4096"},
      {40051, "1/1024"},
      {40052, "1/256"},
      {40053, "1/64"},
      {40054, "1/16"},
      {40055, "1/4"},
      {40056, "1/1"},
      {0, ""},
      {40057, "ズームイン"},
      {40058, "ズームアウト"}}},
    {"設定(&O)", {{40059, "デバイス(&P)..."}, {40060, "表示設定(&D)..."}}},
    {"ﾍﾙﾌﾟ(&H)", {{40061, "目次(&C)..."}, {0, ""}, {40062, "バージョン情報(&A)"}}},
};

TEST(MainWindowMenus, EveryLabelKeyTextSeparatorAndIdInOrder) {
  WindowFixture f;
  const QList<QAction*> bar = f.window->menuBar()->actions();
  ASSERT_EQ(bar.size(), static_cast<qsizetype>(kExpectedMenus.size()));
  for (size_t p = 0; p < kExpectedMenus.size(); ++p) {
    EXPECT_EQ(bar[p]->text().toStdString(), kExpectedMenus[p].first);
    ASSERT_NE(bar[p]->menu(), nullptr);
    const QList<QAction*> items = bar[p]->menu()->actions();
    const std::vector<Expected>& want = kExpectedMenus[p].second;
    ASSERT_EQ(items.size(), static_cast<qsizetype>(want.size())) << kExpectedMenus[p].first;
    for (size_t i = 0; i < want.size(); ++i) {
      SCOPED_TRACE(want[i].text);
      EXPECT_EQ(items[i]->isSeparator(), want[i].id == 0);
      if (want[i].id == 0) continue;
      EXPECT_EQ(items[i]->data().toInt(), want[i].id);
      EXPECT_EQ(items[i]->text().toStdString(), want[i].text);
      EXPECT_TRUE(items[i]->shortcut().isEmpty());  // the keys belong to the accelerators
    }
  }
}

TEST(MainWindowMenus, BusyAndDeviceMenusReplaceTheBarAndTheMainMenuComesBack) {
  WindowFixture f;
  f.UseQtUi();
  BeginBusy();
  QList<QAction*> bar = f.window->menuBar()->actions();
  ASSERT_EQ(bar.size(), 1);
  EXPECT_EQ(bar[0]->text().toStdString(), "処理中...");
  EXPECT_EQ(bar[0]->data().toInt(), 40063);
  EXPECT_FALSE(bar[0]->isEnabled());
  EndBusy();
  EXPECT_EQ(f.window->menuBar()->actions().size(), 7);
  f.window->SetMenuMode(MenuMode::kDevice);
  bar = f.window->menuBar()->actions();
  ASSERT_EQ(bar.size(), 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(bar[i]->text().toStdString(), kExpectedMenus[i].first);
    EXPECT_FALSE(bar[i]->isEnabled());
    EXPECT_EQ(bar[i]->menu(), nullptr);
  }
  f.window->SetMenuMode(MenuMode::kMain);
  bar = f.window->menuBar()->actions();
  ASSERT_EQ(bar.size(), 7);
  EXPECT_NE(bar[0]->menu(), nullptr);
  EXPECT_TRUE(bar[0]->isEnabled());
}

TEST(MainWindowCommands, MenusAndToolbarSendCodeZeroAcceleratorsCodeOne) {
  WindowFixture f;
  f.Item(1, 40020)->trigger();
  const QList<QAction*> tools = f.window->Toolbar()->actions();
  const int expectedTools[] = {0, 40007, 40008, 40009, 40010, 40011, 0, 40057, 40058};
  ASSERT_EQ(tools.size(), 9);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(tools[i]->isSeparator(), expectedTools[i] == 0);
    if (expectedTools[i] == 0) continue;
    EXPECT_EQ(tools[i]->data().toInt(), expectedTools[i]);
    EXPECT_FALSE(tools[i]->icon().isNull());
  }
  tools[4]->trigger();  // stop

  const std::vector<std::pair<QKeySequence, int>> keys = {
      {QKeySequence(Qt::CTRL | Qt::Key_Z), 40013}, {QKeySequence(Qt::CTRL | Qt::Key_X), 40014},
      {QKeySequence(Qt::CTRL | Qt::Key_C), 40015}, {QKeySequence(Qt::CTRL | Qt::Key_V), 40016},
      {QKeySequence(Qt::Key_Delete), 40017},       {QKeySequence(Qt::CTRL | Qt::Key_M), 40019},
      {QKeySequence(Qt::CTRL | Qt::Key_N), 40002}, {QKeySequence(Qt::CTRL | Qt::Key_O), 40003},
      {QKeySequence(Qt::CTRL | Qt::Key_S), 40004}};
  std::map<QString, QAction*> byKey;
  for (QAction* a : f.window->actions())
    if (!a->shortcut().isEmpty()) byKey[a->shortcut().toString()] = a;
  EXPECT_EQ(byKey.size(), keys.size());
  for (const auto& [key, id] : keys) {
    ASSERT_TRUE(byKey.count(key.toString())) << key.toString().toStdString();
    EXPECT_EQ(byKey[key.toString()]->data().toInt(), id);
  }
  byKey[QKeySequence(Qt::CTRL | Qt::Key_Z).toString()]->trigger();

  EXPECT_TRUE(f.dispatched.empty());  // nothing runs inside the menu's own handling
  f.Flush();
  using D = std::tuple<int, int, bool>;
  EXPECT_EQ(f.dispatched, (std::vector<D>{{40020, 0, true}, {40010, 0, true}, {40013, 1, true}}));
}

TEST(MainWindowCommands, DuringAnOperationStopIsCarriedOutAndTheRestDropped) {
  WindowFixture f;
  f.UseQtUi();
  QToolBar* tools = f.window->Toolbar();
  BeginBusy();
  // Clicks and keys that arrive while the pass runs; the pass pumps them.
  tools->actions()[1]->trigger();  // play
  tools->actions()[4]->trigger();  // stop
  for (QAction* a : f.window->actions())
    if (a->data().toInt() == 40016) a->trigger();  // Ctrl+V
  for (int i = 0; i < 400; ++i) ShowProgress("エコー", i, 400);
  EndBusy();
  using D = std::tuple<int, int, bool>;
  EXPECT_EQ(f.dispatched, (std::vector<D>{{40007, 0, false}, {40010, 0, true}, {40016, 1, false}}));
  EXPECT_EQ(f.window->Status()->Text(0).toStdString(), "22050Hz 16Bits Mono");
}

TEST(MainWindowMenus, ZoomMarkFollowsTheLevelNotTheClick) {
  WindowFixture f;
  f.UseQtUi();
  SetZoom(3);
  for (int id : {40072, 40051, 40052, 40053, 40054, 40055, 40056})
    EXPECT_EQ(f.Item(4, id)->isChecked(), id == 40053) << id;
  f.Item(4, 40056)->trigger();
  EXPECT_FALSE(f.Item(4, 40056)->isChecked());
  EXPECT_TRUE(f.Item(4, 40053)->isChecked());
}

class RecentMenuTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / "kelvora-recent-menu";
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    profile_ = std::make_unique<ProfileFile>((dir_ / "kelvora.ini").string());
    f_.platform.profile = profile_.get();
    f_.platform.Install();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::vector<std::pair<int, std::string>> RecentItems() {
    QMenu* file = f_.window->menuBar()->actions().at(0)->menu();
    emit file->aboutToShow();
    std::vector<std::pair<int, std::string>> items;
    for (QAction* a : file->actions())
      if (a->data().toInt() >= 4097 && a->data().toInt() <= 4102)
        items.emplace_back(a->data().toInt(), a->text().toStdString());
    return items;
  }

  WindowFixture f_;
  std::filesystem::path dir_;
  std::unique_ptr<ProfileFile> profile_;
};

TEST_F(RecentMenuTest, RebuiltFromTheSettingsEachTimeTheFileMenuOpens) {
  EXPECT_TRUE(RecentItems().empty());
  std::ofstream(profile_->path()) << "[RecentFiles]\n1=/snd/a.wav\n2=\n3=/snd/R&B.wav\n";
  using Item = std::pair<int, std::string>;
  EXPECT_EQ(RecentItems(), (std::vector<Item>{{4097, "1:/snd/a.wav"}, {4099, "3:/snd/R&&B.wav"}}));
  profile_->WriteString("RecentFiles", "6", "/音/f.au");
  EXPECT_EQ(
      RecentItems(),
      (std::vector<Item>{{4097, "1:/snd/a.wav"}, {4099, "3:/snd/R&&B.wav"}, {4102, "6:/音/f.au"}}));
  QMenu* file = f_.window->menuBar()->actions().at(0)->menu();
  file->actions().back()->trigger();
  f_.Flush();
  ASSERT_EQ(f_.dispatched.size(), 1u);
  EXPECT_EQ(std::get<0>(f_.dispatched[0]), 4102);
}

TEST(MainWindowLayout, ViewsAndStatusPartsWhereTheyBelong) {
  WindowFixture f;
  f.window->RequestOuterSize(640, 400);
  f.window->show();
  f.Flush();
  const int t = f.window->Toolbar()->height();
  const int s = f.window->Status()->Height();
  const int h = f.window->height() - f.window->menuBar()->height();
  const MainLayout want = ComputeMainLayout(f.window->width(), h, t, s);
  const int top = f.window->centralWidget()->y() - f.window->menuBar()->height();
  EXPECT_EQ(top, t);
  EXPECT_EQ(f.window->WaveView()->y() + top, want.wave.top);
  EXPECT_EQ(f.window->WaveView()->height(), want.wave.height);
  EXPECT_EQ(f.window->Overview()->y() + top, want.overview.top);
  EXPECT_EQ(f.window->Overview()->height(), want.overview.height);
  EXPECT_EQ(f.window->WaveView()->width(), f.window->width());
  StatusBar* bar = f.window->Status();
  EXPECT_EQ(bar->PartRect(0).right() + 1, 150);
  EXPECT_EQ(bar->PartRect(1).right() + 1, 250);
  EXPECT_EQ(bar->PartRect(2).right() + 1, 500);
  EXPECT_EQ(bar->PartRect(3).right() + 1, f.window->width());
  EXPECT_GT(s, bar->fontMetrics().height());
}

TEST(MainWindowLayout, StoredSizeIsTheOuterSizeAndNonsenseIsBounded) {
  WindowFixture f;
  f.window->RequestOuterSize(1000, 700);
  f.window->show();
  f.Flush();
  EXPECT_EQ(f.window->OuterSize(), QSize(1000, 700));
  f.window->RequestOuterSize(-5, 0);
  f.Flush();
  EXPECT_GE(f.window->OuterSize().width(), 160);
  EXPECT_GE(f.window->OuterSize().height(), 120);
}

TEST(MainWindowClose, CloseBoxDuringAnOperationWaitsForItsEnd) {
  WindowFixture f;
  f.UseQtUi();
  f.window->show();
  BeginBusy();
  f.window->close();
  EXPECT_TRUE(f.window->isVisible());
  EXPECT_TRUE(Busy().closeRequested);
  EXPECT_TRUE(f.platform.memoryProfile.values.empty());  // nothing saved yet
  EndBusy();
  EXPECT_FALSE(f.window->isVisible());
  EXPECT_EQ(f.platform.memoryProfile.GetInt("Position", "width", 0), f.window->OuterSize().width());
  EXPECT_EQ(f.platform.memoryProfile.GetInt("Options", "density", 0), 8);
}

// A drag that enters the window and is dropped there; the drop reaches the
// window only when it accepted the drag.
void DragAndDrop(QWidget* window, QMimeData* mime) {
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window, &enter);
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window, &drop);
}

TEST(MainWindowDrop, FirstLocalFileOpensButNotDuringAnOperation) {
  WindowFixture f;
  QMimeData mime;
  mime.setUrls({QUrl(QStringLiteral("https://example.invalid/a.wav")),
                QUrl::fromLocalFile(QStringLiteral("/snd/dropped.mp3")),
                QUrl::fromLocalFile(QStringLiteral("/snd/second.wav"))});
  f.window->show();
  BeginBusy();
  DragAndDrop(f.window.get(), &mime);
  f.Flush();
  EXPECT_EQ(Shell().lastDirectory, "");
  EndBusy();
  DragAndDrop(f.window.get(), &mime);
  EXPECT_EQ(Shell().lastDirectory, "");  // opened from the event loop, after the drop
  f.Flush();
  EXPECT_EQ(Shell().lastDirectory, "/snd");
}

// Answers the message box that is about to open by pressing `button`
// (NoButton: closes it by the frame).
void AnswerNextBox(QMessageBox::StandardButton button, QWidget** parent, QString* title) {
  QTimer::singleShot(0, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    *parent = box->parentWidget();
    *title = box->windowTitle();
    if (button == QMessageBox::NoButton)
      box->close();
    else
      box->button(button)->click();
  });
}

TEST(QtMessageBoxes, AnswersMapToTheEngineResults) {
  WindowFixture f;
  QWidget* parent = nullptr;
  QString title;
  struct Case {
    MsgButtons buttons;
    QMessageBox::StandardButton press;
    int result;
  };
  const Case cases[] = {
      {MsgButtons::kYesNoCancel, QMessageBox::Yes, kIdYes},
      {MsgButtons::kYesNoCancel, QMessageBox::No, kIdNo},
      {MsgButtons::kYesNoCancel, QMessageBox::Cancel, kIdCancel},
      {MsgButtons::kYesNoCancel, QMessageBox::NoButton, kIdCancel},
      {MsgButtons::kYesNo, QMessageBox::NoButton, kIdNo},
      {MsgButtons::kOkCancel, QMessageBox::NoButton, kIdCancel},
      {MsgButtons::kOk, QMessageBox::Ok, kIdOk},
  };
  for (const Case& c : cases) {
    AnswerNextBox(c.press, &parent, &title);
    EXPECT_EQ(f.qtUi.MessageBox("Kelvora", "[無題]は変更されています\n保存しますか?",
                                MsgIcon::kQuestion, c.buttons, true),
              c.result);
    EXPECT_EQ(parent, f.window.get());
    EXPECT_EQ(title.toStdString(), "Kelvora");
  }
  AnswerNextBox(QMessageBox::Ok, &parent, &title);
  f.qtUi.MessageBox("T", "T", MsgIcon::kNone, MsgButtons::kOk, false);
  EXPECT_EQ(parent, nullptr);  // a box without owner
}

}  // namespace
}  // namespace kelvora
