#pragma once

#include "privacy/anonymization/PrivacyProgressUpdate.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <stop_token>

namespace murmela {

struct PrivacyScriptResult {
  QString output;     // standard output and standard error together, in arrival order
  int exitCode = -1;  // -1 when the script could not be launched
};

// Runs the anonymization script's interpreter to its end on the calling
// thread (a worker thread; it blocks) and returns what it wrote and its exit
// status.
// - One pipe serves as both standard output and standard error; one UTF-8
//   decoder per run carries a character split between two reads over to the
//   next (invalid bytes become U+FFFD), so no text is lost at read borders.
// - Progress lines are found as the output arrives, and `onProgress` is
//   called for each on the calling thread, in the order they were written.
// - `environment` is the child's whole environment; standard input is empty.
// - A launch failure gives the launch error's text and -1; death by a signal
//   gives the signal number (or -1), never 0.
// - When `stop` is requested, the child is asked to terminate, killed if it
//   is still there after kTerminateGraceMs, and CancellationError is thrown.
//   Nothing else is thrown (unless `onProgress` throws).
class PrivacyScriptRunner {
 public:
  using ProgressHandler = std::function<void(const PrivacyProgressUpdate&)>;

  static constexpr int kPollIntervalMs = 50;
  // Short enough that a child ignoring the request is killed well within the
  // time the application waits for its run when it quits.
  static constexpr int kTerminateGraceMs = 1000;

  static PrivacyScriptResult run(const QString& executable, const QStringList& arguments,
                                 const QProcessEnvironment& environment, const ProgressHandler& onProgress,
                                 std::stop_token stop = {});
};

// The runner's entry under its usual name.
inline PrivacyScriptResult runPrivacyScript(const QString& executable, const QStringList& arguments,
                                            const QProcessEnvironment& environment,
                                            const PrivacyScriptRunner::ProgressHandler& onProgress,
                                            std::stop_token stop = {}) {
  return PrivacyScriptRunner::run(executable, arguments, environment, onProgress, std::move(stop));
}

}  // namespace murmela
