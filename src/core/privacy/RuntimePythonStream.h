#pragma once

#include "privacy/PrivacyRuntimeInstall.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QProcess>
#include <QStringDecoder>
#include <QStringList>
#include <QTimer>

#include <exception>
#include <functional>

namespace murmela {

// Runs the runtime's Python with a script ("-c" script) and streams what it
// writes. Lives on the thread that started it (the GUI thread):
// - every line of standard output and standard error goes to onLine as it
//   arrives, split and trimmed by splitLines() read by read;
// - standard error is also kept as raw bytes and decoded once, after the
//   process has ended and both pipes are drained;
// - exit status 0 completes with no error; any other status, or death by a
//   signal, calls onError with the standard-error text, which must throw: that
//   error completes the run;
// - a launch failure completes with PrivacyFilterError::smokeTestFailed and
//   the launch error's text, without onError;
// - with a timeout, a child still running then is killed and the run
//   completes with smokeTestFailed saying so.
// The completion runs exactly once and never before start() returns.
// Destroying the stream (or its parent) first kills the child and delivers
// nothing.
class RuntimePythonStream : public QObject {
  Q_OBJECT

 public:
  using LineHandler = std::function<void(const QString& line)>;
  using ErrorHandler = std::function<void(const QString& standardError)>;
  using Completion = std::function<void(std::exception_ptr error)>;

  struct Request {
    PrivacyRuntimeInstall runtime;
    QString script;
    QHash<QString, QString> environmentOverrides;  // laid over runtime.subprocessEnvironment()
    LineHandler onLine;
    ErrorHandler onError;
    int timeoutMs = 0;  // 0: no limit
  };

  static RuntimePythonStream* start(Request request, Completion completion, QObject* parent);
  ~RuntimePythonStream() override;

  // One read's text split at every line break (LF, VT, FF, CR, CR LF, U+0085,
  // U+2028, U+2029), empty pieces dropped, each piece trimmed of spaces and
  // tabs (it is kept even when that leaves it empty).
  static QStringList splitLines(QStringView text);

  qint64 processId() const { return process_.processId(); }

 private:
  RuntimePythonStream(Request request, Completion completion, QObject* parent);
  void launch();
  void readOutput();
  void readError();
  void deliver(const QByteArray& bytes, QStringDecoder& decoder);
  void processFinished(int exitCode, QProcess::ExitStatus status);
  void complete(std::exception_ptr error);

  Request request_;
  Completion completion_;
  QProcess process_;
  QTimer timeout_;
  QStringDecoder outputDecoder_;
  QStringDecoder errorDecoder_;
  QByteArray standardError_;
  bool timedOut_ = false;
  bool completed_ = false;
};

// The setup driver's entry: starts a stream parented to `context`.
void streamPython(RuntimePythonStream::Request request, QObject* context, RuntimePythonStream::Completion completion);

}  // namespace murmela
