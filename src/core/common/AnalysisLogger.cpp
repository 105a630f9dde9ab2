#include "common/AnalysisLogger.h"

#include "common/AppPaths.h"
#include "common/FileDescriptor.h"
#include "common/Date.h"
#include "common/FileSystem.h"
#include "common/Iso8601.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>

namespace murmela {
namespace {

}  // namespace

AnalysisLoggerSink::AnalysisLoggerSink(std::optional<QString> logFile, bool echoToStandardError)
    : logFile_(std::move(logFile)), echo_(echoToStandardError) {
  if (!logFile_) return;
  writer_ = std::thread([this] { writerLoop(); });
  const QString banner = QStringLiteral("===== analysis session started ") +
                         Iso8601::formatWithMilliseconds(Date::now()) + QStringLiteral(" =====\n");
  enqueue(banner.toUtf8());
}

AnalysisLoggerSink::~AnalysisLoggerSink() {
  if (!writer_.joinable()) return;
  {
    std::lock_guard guard(queueLock_);
    stopping_ = true;
  }
  queueChanged_.notify_all();
  writer_.join();
}

void AnalysisLoggerSink::log(const QString& message) {
  const QString line = QLatin1Char('[') + Iso8601::formatWithMilliseconds(Date::now()) + QStringLiteral("] ") + message;
  {
    std::lock_guard guard(linesLock_);
    lines_.append(line);
  }
  const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
  if (echo_) writeAll(STDERR_FILENO, bytes);
  if (logFile_ && !bytes.isEmpty()) enqueue(bytes);
}

void AnalysisLoggerSink::clearLines() {
  std::lock_guard guard(linesLock_);
  lines_.clear();
}

QString AnalysisLoggerSink::joinedLines() const {
  std::lock_guard guard(linesLock_);
  return lines_.join(QLatin1Char('\n'));
}

QStringList AnalysisLoggerSink::lines() const {
  std::lock_guard guard(linesLock_);
  return lines_;
}

void AnalysisLoggerSink::waitForPendingWrites() {
  std::unique_lock guard(queueLock_);
  const quint64 target = queued_;
  queueChanged_.wait(guard, [&] { return written_ >= target || !writer_.joinable(); });
}

void AnalysisLoggerSink::enqueue(QByteArray bytes) {
  {
    std::lock_guard guard(queueLock_);
    queue_.push_back(std::move(bytes));
    ++queued_;
  }
  queueChanged_.notify_all();
}

void AnalysisLoggerSink::writerLoop() {
  std::unique_lock guard(queueLock_);
  for (;;) {
    queueChanged_.wait(guard, [&] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;  // stopping with nothing left
    QByteArray bytes = std::move(queue_.front());
    queue_.pop_front();
    guard.unlock();
    append(bytes);
    guard.lock();
    ++written_;
    queueChanged_.notify_all();
  }
}

void AnalysisLoggerSink::append(const QByteArray& bytes) const {
  // The file is only ever appended to: an existing log that cannot be opened
  // keeps its content and the line stays in memory and on standard error.
  // Its lines name the conversation: only the user may read it.
  FileSystem::createPrivateFolders(QFileInfo(*logFile_).absolutePath());
  const QByteArray path = QFile::encodeName(*logFile_);
  // Not waiting on a pipe (which would hold every later line and the exit)
  // and writing only to a regular file.
  const FileDescriptor fd(
      ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
  struct stat info {};
  if (fd.isOpen() && ::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode)) writeAll(fd.get(), bytes);
}

namespace AnalysisLogger {

AnalysisLoggerSink& shared() {
  // Deliberately leaked: lines logged by other static destructors still work.
  // The queue is drained at normal exit through the atexit hook.
  static AnalysisLoggerSink* sink = [] {
    auto* made = new AnalysisLoggerSink(AppPaths::inAppFolder(QStringLiteral("logs/analysis.log")));
    std::atexit([] { shared().waitForPendingWrites(); });
    return made;
  }();
  return *sink;
}

}  // namespace AnalysisLogger
}  // namespace murmela
