#pragma once

#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace murmela {

// The process's plain-text analysis log. Each line is stamped
// "[2026-01-31T09:05:07.250Z] ", kept in memory until cleared, echoed to
// standard error, and appended in the background to the log file, one line at
// a time and in the order queued. The log never fails its caller.
class AnalysisLoggerSink {
 public:
  // logFile absent: lines are kept and echoed only. echoToStandardError is for
  // tests that log thousands of lines.
  explicit AnalysisLoggerSink(std::optional<QString> logFile, bool echoToStandardError = true);
  ~AnalysisLoggerSink();  // writes out every queued line first

  AnalysisLoggerSink(const AnalysisLoggerSink&) = delete;
  AnalysisLoggerSink& operator=(const AnalysisLoggerSink&) = delete;

  void log(const QString& message);
  void clearLines();
  QString joinedLines() const;
  QStringList lines() const;
  const std::optional<QString>& logFileURL() const { return logFile_; }

  // Blocks until every append queued so far has been written (tests, exit).
  void waitForPendingWrites();

 private:
  void enqueue(QByteArray bytes);
  void writerLoop();
  void append(const QByteArray& bytes) const;

  const std::optional<QString> logFile_;
  const bool echo_;

  mutable std::mutex linesLock_;
  QStringList lines_;

  std::mutex queueLock_;
  std::condition_variable queueChanged_;
  std::deque<QByteArray> queue_;
  quint64 queued_ = 0;
  quint64 written_ = 0;
  bool stopping_ = false;
  std::thread writer_;
};

// The one sink of the process, made on first use (which writes the session
// banner to the file); its file is "logs/analysis.log" in the app folder.
namespace AnalysisLogger {
AnalysisLoggerSink& shared();
inline void log(const QString& message) { shared().log(message); }
}  // namespace AnalysisLogger

}  // namespace murmela
