// The window program as the crash tests drive it: RunKelvora with every box
// answered as KELVORA_CHILD_ANSWER says (yes, no, cancel; dialogs by OK) and,
// once idle, the comma-separated steps of KELVORA_CHILD_STEPS: a command id,
// "copied" (until a new recovery copy is made), "wait:MS", "status" (the
// status bar's last part on stdout) or "exit". Copies come after one idle
// second (the settings file beside this program says so).
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <string>

#include "document/busy.h"
#include "shell/commands.h"
#include "shell/qt/application.h"
#include "shell/qt/qt_main_window.h"
#include "shell/qt/status_bar.h"
#include "shell/recovery_internal.h"

namespace {

QAbstractButton* ButtonOf(QWidget* box, const QString& answer) {
  if (auto* message = qobject_cast<QMessageBox*>(box)) {
    const QMessageBox::StandardButton b = answer == "no"       ? QMessageBox::No
                                          : answer == "cancel" ? QMessageBox::Cancel
                                                               : QMessageBox::Yes;
    return message->button(message->button(b) ? b : QMessageBox::Ok);
  }
  for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
    if (b->text() == QStringLiteral("OK") || b->text() == QStringLiteral("スタート")) return b;
  return nullptr;
}

kelvora::QtMainWindow* MainWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* main = qobject_cast<kelvora::QtMainWindow*>(w); main && main->isVisible())
      return main;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QFile ini(QCoreApplication::applicationDirPath() + "/kelvora_recovery_child.ini");
  if (!ini.exists() && ini.open(QIODevice::WriteOnly)) ini.write("[Options]\nrecoveryidle=1\n");
  ini.close();

  const QString answer = qEnvironmentVariable("KELVORA_CHILD_ANSWER", "yes");
  QStringList steps =
      qEnvironmentVariable("KELVORA_CHILD_STEPS").split(QLatin1Char(','), Qt::SkipEmptyParts);
  QElapsedTimer waiting;
  qint64 waitMs = 0;
  bool started = false;
  QByteArray before;  // document.txt when the step began
  auto info = [] {
    QFile f(QString::fromStdString(kelvora::RecoveryPlaceOf().folder) + "/document.txt");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  QTimer hand;
  QObject::connect(&hand, &QTimer::timeout, [&] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      if (QAbstractButton* b = ButtonOf(box, answer)) b->click();
      return;
    }
    // Only in the main event loop, with start-up behind and nothing running.
    if (QThread::currentThread()->loopLevel() != 1 || MainWindow() == nullptr ||
        kelvora::Busy().busy || steps.isEmpty())
      return;
    if (waitMs > 0 && waiting.elapsed() < waitMs) return;
    waitMs = 0;
    const QString step = steps.front();
    if (step == "copied") {
      if (!started) before = info();
      started = true;
      const QByteArray now = info();
      if (now.isEmpty() || now == before) return;
      started = false;
    } else if (step.startsWith("wait:")) {
      waitMs = step.mid(5).toLongLong();
      waiting.start();
    } else if (step == "status") {
      std::printf("%s\n", MainWindow()->Status()->Text(3).toStdString().c_str());
      std::fflush(stdout);
    } else {
      // From the event loop, as the menu does: the command may open a box,
      // which this timer must still be able to answer.
      const int id = step == "exit" ? kelvora::kCmdExit : step.toInt();
      QTimer::singleShot(0, [id] { kelvora::DispatchCommand(id, kelvora::kCodeMenu); });
    }
    steps.removeFirst();
  });
  hand.start(50);
  return kelvora::RunKelvora(app);
}
