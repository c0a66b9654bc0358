#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDropEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "document/busy.h"
#include "files/open_save.h"
#include "platform/qt/help_window.h"
#include "resources/menus.h"
#include "shell/layout.h"
#include "shell/qt/qt_test_app.h"
#include "shell/qt/status_bar.h"
#include "shell/settings.h"
#include "views/view_state.h"

namespace kelvora {
namespace {

using Dispatched = std::vector<std::tuple<int, int, bool>>;

// Commands are recorded with the answer the busy filter gives at the
// moment they arrive, instead of being carried out.
struct WindowFixture : QtWindowFixture {
  WindowFixture() {
    window->SetDispatcher(
        [this](int id, int code) { dispatched.emplace_back(id, code, CommandAllowed(id, code)); });
  }
  QMenu* Popup(int popup) { return window->menuBar()->actions().at(popup)->menu(); }
  QAction* Item(int popup, int id) {
    for (QAction* a : Popup(popup)->actions())
      if (a->data().toInt() == id) return a;
    return nullptr;
  }
  Dispatched dispatched;
};

// Every popup's title, then its items as "id label\tkeys" ("-": a separator),
// byte for byte: shown in full when the hash differs.
TEST(MainWindowMenus, EveryLabelKeyTextSeparatorAndIdInOrder) {
  WindowFixture f;
  std::string all;
  for (QAction* popup : f.window->menuBar()->actions()) {
    all += popup->text().toStdString() + "\n";
    for (QAction* a : popup->menu()->actions()) {
      all += a->isSeparator() ? "-"
                              : std::to_string(a->data().toInt()) + " " + a->text().toStdString();
      all += '|';
      EXPECT_TRUE(a->shortcut().isEmpty());  // the keys belong to the accelerators
    }
    all += '\n';
  }
  uint32_t hash = 2166136261u;
  for (unsigned char c : all) hash = (hash ^ c) * 16777619u;
  EXPECT_EQ(hash, 0xb9d329au) << all;
}

TEST(MainWindowMenus, BusyAndDeviceMenusReplaceTheBarAndTheMainMenuComesBack) {
  WindowFixture f;
  f.UseQtUi();
  BeginBusy();
  QList<QAction*> bar = f.window->menuBar()->actions();
  ASSERT_EQ(bar.size(), 1);
  EXPECT_EQ(bar[0]->text().toStdString(), "処理中...");
  EXPECT_EQ(bar[0]->data().toInt(), kCmdBusyItem);
  EXPECT_FALSE(bar[0]->isEnabled());
  EndBusy();
  f.window->SetMenuMode(MenuMode::kDevice);  // the titles alone, disabled
  bar = f.window->menuBar()->actions();
  ASSERT_EQ(bar.size(), 7);
  for (int i = 0; i < 7; ++i)
    EXPECT_TRUE(bar[i]->text() == MainMenu()[i].title && !bar[i]->isEnabled() && !bar[i]->menu())
        << i;
  f.window->SetMenuMode(MenuMode::kMain);
  EXPECT_TRUE(f.window->menuBar()->actions().at(0)->isEnabled());
  EXPECT_NE(f.Popup(0), nullptr);
}

// Menus and toolbar send code 0, accelerators code 1. During an operation
// the pass pumps the clicks and keys: Stop is carried out, the rest dropped.
TEST(MainWindowCommands, MenusToolbarAndAcceleratorsAndTheBusyFilter) {
  WindowFixture f;
  f.UseQtUi();
  std::vector<int> tools;
  for (QAction* a : f.window->Toolbar()->actions()) {
    tools.push_back(a->isSeparator() ? 0 : a->data().toInt());
    EXPECT_TRUE(a->isSeparator() || !a->icon().isNull());
  }
  EXPECT_EQ(tools, (std::vector<int>{0, 40007, 40008, 40009, 40010, 40011, 0, 40057, 40058}));
  std::map<std::string, QAction*> keys;
  std::string keyIds;  // in key order
  for (QAction* a : f.window->actions())
    if (!a->shortcut().isEmpty()) keys[a->shortcut().toString().toStdString()] = a;
  for (const auto& [key, a] : keys) keyIds += key + "=" + std::to_string(a->data().toInt()) + " ";
  EXPECT_EQ(keyIds,
            "Ctrl++=40057 Ctrl+-=40058 Ctrl+==40057 Ctrl+A=40020 Ctrl+C=40015 Ctrl+Left=40135 "
            "Ctrl+M=40019 Ctrl+N=40002 Ctrl+O=40003 Ctrl+Right=40136 Ctrl+S=40004 "
            "Ctrl+Shift+Left=40141 Ctrl+Shift+Right=40142 Ctrl+V=40016 Ctrl+X=40014 Ctrl+Z=40013 "
            "Del=40017 End=40132 Home=40131 Left=40133 Right=40134 Shift+End=40138 "
            "Shift+Home=40137 Shift+Left=40139 Shift+Right=40140 Space=40130 ");
  f.Item(1, kCmdSelectAll)->trigger();
  f.window->Toolbar()->actions()[4]->trigger();  // stop
  keys["Ctrl+Z"]->trigger();
  EXPECT_TRUE(f.dispatched.empty());  // nothing runs inside the menu's own handling
  f.Flush();
  EXPECT_EQ(f.dispatched, (Dispatched{{40020, 0, true}, {40010, 0, true}, {40013, 1, true}}));
  f.dispatched.clear();
  BeginBusy();
  f.window->Toolbar()->actions()[1]->trigger();  // play
  f.window->Toolbar()->actions()[4]->trigger();
  keys["Ctrl+V"]->trigger();
  keys["Space"]->trigger();  // stops only what plays or records
  for (int i = 0; i < 400; ++i) ShowProgress("エコー", i, 400);
  EndBusy();
  EXPECT_EQ(
      f.dispatched,
      (Dispatched{{40007, 0, false}, {40010, 0, true}, {40016, 1, false}, {40130, 1, false}}));
  EXPECT_EQ(f.window->Status()->Text(0).toStdString(), "22050Hz 16Bits Mono");
}

TEST(MainWindowMenus, ZoomMarkFollowsTheLevelNotTheClick) {
  WindowFixture f;
  f.UseQtUi();
  SetZoom(3);
  for (int id : {40072, 40051, 40052, 40053, 40054, 40055, 40056})
    EXPECT_EQ(f.Item(4, id)->isChecked(), id == kCmdZoom64) << id;
  f.Item(4, kCmdZoom1)->trigger();
  EXPECT_FALSE(f.Item(4, kCmdZoom1)->isChecked());
  EXPECT_TRUE(f.Item(4, kCmdZoom64)->isChecked());
}

TEST(MainWindowMenus, RecentFilesAreRebuiltFromTheSettingsEachTimeTheFileMenuOpens) {
  WindowFixture f;
  auto recent = [&] {
    emit f.Popup(0)->aboutToShow();
    std::vector<std::pair<int, std::string>> items;
    for (QAction* a : f.Popup(0)->actions())
      if (a->data().toInt() >= kCmdRecentFirst && a->data().toInt() < kCmdRecentFirst + 6)
        items.emplace_back(a->data().toInt(), a->text().toStdString());
    return items;
  };
  using Items = std::vector<std::pair<int, std::string>>;
  EXPECT_TRUE(recent().empty());
  Profile& p = f.platform.memoryProfile;
  p.WriteString("RecentFiles", "1", "/snd/a.wav");
  p.WriteString("RecentFiles", "2", "");
  p.WriteString("RecentFiles", "3", "/snd/R&B.wav");
  EXPECT_EQ(recent(), (Items{{4097, "1:/snd/a.wav"}, {4099, "3:/snd/R&&B.wav"}}));
  p.WriteString("RecentFiles", "6", "/音/f.au");
  EXPECT_EQ(recent(),
            (Items{{4097, "1:/snd/a.wav"}, {4099, "3:/snd/R&&B.wav"}, {4102, "6:/音/f.au"}}));
  f.Popup(0)->actions().back()->trigger();
  f.Flush();
  EXPECT_EQ(f.dispatched, (Dispatched{{4102, 0, true}}));
}

TEST(MainWindowLayout, ViewsAndStatusPartsWhereTheyBelongAndNonsenseSizesAreBounded) {
  WindowFixture f;
  f.window->RequestOuterSize(760, 540);  // within the screen
  f.window->show();
  f.Flush();
  EXPECT_EQ(f.window->OuterSize(), QSize(760, 540));
  const int t = f.window->Toolbar()->height(), s = f.window->Status()->Height();
  const int menu = f.window->menuBar()->height();
  const MainLayout want = ComputeMainLayout(f.window->width(), f.window->height() - menu, t, s);
  const int top = f.window->centralWidget()->y() - menu;
  EXPECT_EQ(top, t);  // below the toolbar
  EXPECT_EQ(std::make_tuple(f.window->WaveView()->y() + top, f.window->WaveView()->height(),
                            f.window->Overview()->y() + top, f.window->Overview()->height(),
                            f.window->WaveView()->width()),
            std::make_tuple(want.wave.top, want.wave.height, want.overview.top,
                            want.overview.height, f.window->width()));
  StatusBar* bar = f.window->Status();
  const int rights[] = {150, 250, 500, f.window->width()};
  for (int part = 0; part < 4; ++part) EXPECT_EQ(bar->PartRect(part).right() + 1, rights[part]);
  // A note longer than its part can be read whole in a tip; a short text needs none.
  const QString note =
      QString::fromUtf8("ディスクの空きが足りないため、復旧用コピーを作りませんでした");
  bar->SetText(3, note);
  bar->SetText(0, "8000Hz");
  EXPECT_EQ(bar->TipAt(bar->PartRect(3).center()), note);
  EXPECT_EQ(bar->TipAt(bar->PartRect(0).center()), QString());
  EXPECT_GT(s, bar->fontMetrics().height());
  f.window->RequestOuterSize(-5, 0);
  f.Flush();
  EXPECT_GE(f.window->OuterSize().width(), 160);
  EXPECT_GE(f.window->OuterSize().height(), 120);
  f.window->RequestOuterSize(16384, 16384);  // no larger than the screen's usable area
  f.Flush();
  EXPECT_EQ(f.window->OuterSize(), f.window->screen()->availableGeometry().size());
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

TEST(MainWindowDrop, FirstLocalFileOpensFromTheEventLoopButNotDuringAnOperation) {
  WindowFixture f;
  QMimeData mime;
  mime.setUrls({QUrl(QStringLiteral("https://example.invalid/a.wav")),
                QUrl::fromLocalFile(QStringLiteral("/snd/dropped.mp3")),
                QUrl::fromLocalFile(QStringLiteral("/snd/second.wav"))});
  // The drop reaches the window only when it accepted the drag.
  auto dragAndDrop = [&] {
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.window.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f.window.get(), &drop);
  };
  f.window->show();
  BeginBusy();
  dragAndDrop();
  f.Flush();
  EXPECT_EQ(LastDirectory(), "");
  EndBusy();
  dragAndDrop();
  EXPECT_EQ(LastDirectory(), "");
  f.Flush();
  EXPECT_EQ(LastDirectory(), "/snd");
}

TEST(QtMessageBoxes, AnswersMapToTheEngineResults) {
  WindowFixture f;
  QWidget* parent = nullptr;
  QString title;
  // Presses `button` in the box about to open (NoButton: closes it by the frame).
  auto answerNextBox = [&](QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [&, button] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      parent = box->parentWidget();
      title = box->windowTitle();
      button == QMessageBox::NoButton ? (void)box->close() : box->button(button)->click();
    });
  };
  const std::tuple<MsgButtons, QMessageBox::StandardButton, int> cases[] = {
      {MsgButtons::kYesNoCancel, QMessageBox::Yes, kIdYes},
      {MsgButtons::kYesNoCancel, QMessageBox::No, kIdNo},
      {MsgButtons::kYesNoCancel, QMessageBox::Cancel, kIdCancel},
      {MsgButtons::kYesNoCancel, QMessageBox::NoButton, kIdCancel},
      {MsgButtons::kYesNo, QMessageBox::NoButton, kIdNo},
      {MsgButtons::kOkCancel, QMessageBox::NoButton, kIdCancel},
      {MsgButtons::kOk, QMessageBox::Ok, kIdOk},
  };
  for (const auto& [buttons, press, result] : cases) {
    answerNextBox(press);
    EXPECT_EQ(f.qtUi.MessageBox("Kelvora", "保存しますか?", MsgIcon::kQuestion, buttons, true),
              result);
    EXPECT_EQ(parent, f.window.get());
    EXPECT_EQ(title.toStdString(), "Kelvora");
  }
  answerNextBox(QMessageBox::Ok);
  f.qtUi.MessageBox("T", "T", MsgIcon::kNone, MsgButtons::kOk, false);
  EXPECT_EQ(parent, nullptr);  // a box without owner
}

// Help works without a web browser: the manual opens in the program's own
// window, with its headings as a table of contents that moves the page.
TEST(HelpWindowTest, HelpCommandShowsTheManualWithItsContents) {
  QtWindowFixture f;
  QtProcesses processes;
  Services().processes = &processes;
  Shell().helpPath = KELVORA_HELP_PAGE;
  ASSERT_TRUE(DispatchCommand(kCmdHelp, kCodeMenu));
  HelpWindow* help = processes.Help();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  // It does not keep the program running once the main window is closed.
  EXPECT_FALSE(help->testAttribute(Qt::WA_QuitOnClose));
  EXPECT_EQ(help->windowTitle(), QStringLiteral("Kelvora ヘルプ"));
  QStringList headings;
  for (int i = 0; i < help->Contents()->count(); ++i)
    headings << help->Contents()->item(i)->text().trimmed();
  for (const char* h : {"ファイル", "効果", "ライセンス"})
    EXPECT_TRUE(headings.contains(QString::fromUtf8(h))) << h;
  const int row = static_cast<int>(headings.indexOf(QStringLiteral("ライセンス")));
  help->Contents()->setCurrentRow(row);
  EXPECT_EQ(help->Browser()->textCursor().block().text(), QStringLiteral("ライセンス"));
  // Esc and Ctrl+W close it.
  QStringList closers;
  for (QShortcut* s : help->findChildren<QShortcut*>()) {
    closers << s->key().toString();
    help->show();
    emit s->activated();
    EXPECT_FALSE(help->isVisible()) << s->key().toString().toStdString();
  }
  EXPECT_EQ(closers, (QStringList{"Esc", "Ctrl+W"}));
  help->show();
  // A missing page opens nothing and says nothing, as before.
  help->hide();
  Shell().helpPath = "/nonexistent/kelvora.html";
  DispatchCommand(kCmdHelp, kCodeMenu);
  EXPECT_FALSE(help->isVisible());
  EXPECT_TRUE(f.ui().messages.empty());
  Services().processes = &f.platform.processes;
}

}  // namespace
}  // namespace kelvora
