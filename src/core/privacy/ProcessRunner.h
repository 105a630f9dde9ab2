#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

namespace murmela {

struct ProcessOutput {
  QString output;        // standard output and standard error together, as UTF-8 text
  int exitCode = -1;     // -1 when the process could not be started or was stopped
  bool timedOut = false;
};

namespace ProcessRunner {

// Runs `executable` with `arguments` (no shell) to its end and returns what it
// wrote to standard output and standard error through one channel, and its
// exit status. Blocks the calling thread, so call it off the GUI thread for
// anything slow. Never fails:
// - a launch failure gives the launch error's text and -1;
// - output that is not valid UTF-8 gives an empty text;
// - death by a signal gives the signal number (or -1), never 0;
// - a child still running after `timeoutMs` is killed: its output so far
//   followed by a line saying so, -1, and timedOut.
// `environment` absent inherits this process's; an empty `workingDirectory`
// keeps the current one. Standard input is empty.
ProcessOutput runCapturing(const QString& executable, const QStringList& arguments,
                           const std::optional<QProcessEnvironment>& environment, const QString& workingDirectory,
                           int timeoutMs);

}  // namespace ProcessRunner
}  // namespace murmela
