#include "platform/qt/qt_system.h"

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

QtBackground::~QtBackground() {
  {
    std::unique_lock lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void QtBackground::Post(std::function<void()> task) {
  {
    std::unique_lock lock(mutex_);
    tasks_.push_back(std::move(task));
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  wake_.notify_one();
}

void QtBackground::Drain() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return tasks_.empty() && !running_; });
}

void QtBackground::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
    // The tasks posted before the end still run: they finish or abandon
    // files that must not stay half made.
    if (tasks_.empty()) return;
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    running_ = true;
    lock.unlock();
    task();
    task = nullptr;
    lock.lock();
    running_ = false;
    if (tasks_.empty()) idle_.notify_all();
  }
}

}  // namespace kelvora
