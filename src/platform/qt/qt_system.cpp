#include "platform/qt/qt_system.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include "platform/process_start.h"

namespace kelvora {

int64_t QtSystem::ProcessId() { return QCoreApplication::applicationPid(); }

uint64_t QtSystem::ProcessStart(int64_t pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (pid <= 0 || !stat.open(QIODevice::ReadOnly)) return 0;
  return ParseProcessStart(stat.read(1024).toStdString());
}

bool QtSystem::ProcessRunning(int64_t pid, uint64_t start) {
  return ProcessStillRunning(pid, start, ProcessStart(pid));
}

int64_t QtSystem::FreeBytes(const std::string& path) {
  QFileInfo at(QFile::decodeName(QByteArray::fromStdString(path)));
  // The folder may not exist yet: ask about the one it will be made in.
  while (!at.exists() && !at.isRoot() && at.absolutePath() != at.absoluteFilePath())
    at.setFile(at.absolutePath());
  const QStorageInfo storage(at.absoluteFilePath());
  return storage.isValid() ? storage.bytesAvailable() : -1;
}

int64_t QtSystem::WallSeconds() { return QDateTime::currentSecsSinceEpoch(); }

std::string QtSystem::StateFolder() {
  const QString state = qEnvironmentVariable("XDG_STATE_HOME");
  if (state.startsWith(QLatin1Char('/'))) return QFile::encodeName(state).toStdString();
  const QString home = QDir::homePath();
  if (home.isEmpty() || home == QStringLiteral("/")) return "";
  return QFile::encodeName(home + QStringLiteral("/.local/state")).toStdString();
}

QtBackground::QtBackground() : last_(new Node), passed_(last_.load()) {}

QtBackground::~QtBackground() {
  if (thread_.joinable()) {
    Push(nullptr);  // the tasks before it still run: they finish or abandon their files
    thread_.join();
  }
  delete passed_;
}

void QtBackground::Push(std::function<void()> task) {
  Node* node = new Node;
  node->task = std::move(task);
  Node* before = last_.exchange(node, std::memory_order_acq_rel);
  before->next.store(node, std::memory_order_release);
  ready_.release();
}

void QtBackground::Post(std::function<void()> task) {
  if (!task) return;
  ++posted_;
  if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  Push(std::move(task));
}

void QtBackground::Drain() {
  const uint64_t target = posted_.load();
  draining_ = true;
  std::unique_lock lock(drainMutex_);
  drained_.wait(lock, [&] { return done_.load() >= target; });
  draining_ = false;
}

void QtBackground::Run() {
  // Behind the window's thread when both want the processor: the window
  // must answer at once, the copy may take a little longer.
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
  for (;;) {
    ready_.acquire();
    Node* next = passed_->next.load(std::memory_order_acquire);
    while (next == nullptr) {  // counted but not linked yet: a moment
      std::this_thread::yield();
      next = passed_->next.load(std::memory_order_acquire);
    }
    delete passed_;
    passed_ = next;
    std::function<void()> task = std::move(next->task);
    if (!task) return;
    task();
    task = nullptr;
    ++done_;
    if (draining_) {
      std::lock_guard lock(drainMutex_);
      drained_.notify_all();
    }
  }
}

}  // namespace kelvora
