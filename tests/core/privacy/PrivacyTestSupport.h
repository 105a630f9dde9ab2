#pragma once

#include "privacy/PrivacyRuntimeError.h"
#include "privacy/PrivacyRuntimeManager.h"

#include <QByteArray>
#include <QDir>
#include <QEventLoop>
#include <QList>
#include <QObject>
#include <QTimer>

#include <exception>
#include <optional>

namespace murmela::test {

// Sets (or unsets, with a null value) an environment variable for one scope.
class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(const char* name, const QByteArray& value) : name_(name) {
    if (qEnvironmentVariableIsSet(name)) previous_ = qgetenv(name);
    if (value.isNull()) {
      qunsetenv(name);
    } else {
      qputenv(name, value);
    }
  }
  ~ScopedEnvironmentVariable() {
    if (previous_) {
      qputenv(name_, *previous_);
    } else {
      qunsetenv(name_);
    }
  }
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  const char* name_;
  std::optional<QByteArray> previous_;
};

// Spins an event loop until `done()` holds or the time is up; true when it held.
template <typename Condition>
bool waitUntil(Condition done, int timeoutMs = 10000) {
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  poll.start(5);
  if (!done()) loop.exec();
  return done();
}

struct InstallAnswer {
  int calls = 0;
  std::optional<PrivacyRuntimeInstall> install;
  std::exception_ptr error;
  QList<PrivacyRuntimeDownloadProgress> progress;

  QString errorText() const { return PrivacyRuntimeError::describe(error); }
};

// Runs installOrResolveRuntime to its end (or 20 s) and then lets any stray
// second answer arrive, so `calls` shows how often the completion ran.
inline InstallAnswer installOrResolve(const PrivacyRuntimeManager& manager) {
  QObject context;
  auto answer = std::make_shared<InstallAnswer>();
  manager.installOrResolveRuntime(
      &context, [answer](const PrivacyRuntimeDownloadProgress& report) { answer->progress.append(report); },
      [answer](std::optional<PrivacyRuntimeInstall> install, std::exception_ptr error) {
        ++answer->calls;
        answer->install = std::move(install);
        answer->error = error;
      });
  waitUntil([&] { return answer->calls > 0; }, 20000);
  QEventLoop settle;
  QTimer::singleShot(50, &settle, &QEventLoop::quit);
  settle.exec();
  return *answer;
}

// The entries of a folder, hidden ones included.
inline QStringList entriesOf(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

}  // namespace murmela::test
