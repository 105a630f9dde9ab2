#include "privacy/ProcessRunner.h"

#include "privacy/ChildProcessGuard.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringDecoder>

namespace murmela::ProcessRunner {
namespace {

constexpr int kKillGraceMs = 5000;

QString strictUtf8(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  return decoder.hasError() ? QString() : text;
}

}  // namespace

ProcessOutput runCapturing(const QString& executable, const QStringList& arguments,
                           const std::optional<QProcessEnvironment>& environment, const QString& workingDirectory,
                           int timeoutMs) {
  QProcess process;
  process.setProgram(executable);
  process.setArguments(arguments);
  if (environment) process.setProcessEnvironment(*environment);
  if (!workingDirectory.isEmpty()) process.setWorkingDirectory(workingDirectory);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.setStandardInputFile(QProcess::nullDevice());
  ChildProcessGuard::killWithParent(process);

  process.start();
  if (!process.waitForStarted(-1)) return {process.errorString(), -1, false};

  // waitForFinished keeps draining the pipe into the process's buffer, so a
  // child that writes more than a pipe holds never blocks on us.
  const QDeadlineTimer deadline(timeoutMs);
  bool finished = false;
  while (!finished && !deadline.hasExpired()) {
    finished = process.waitForFinished(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
    if (!finished && process.state() == QProcess::NotRunning) finished = true;
  }

  if (!finished) {
    process.kill();
    process.waitForFinished(kKillGraceMs);
    QString output = strictUtf8(process.readAll());
    if (!output.isEmpty() && !output.endsWith(QLatin1Char('\n'))) output += QLatin1Char('\n');
    output += QStringLiteral("%1 did not finish within %2 seconds and was stopped.")
                  .arg(executable)
                  .arg(timeoutMs / 1000.0);
    return {output, -1, true};
  }

  const QString output = strictUtf8(process.readAll());
  if (process.exitStatus() == QProcess::CrashExit) {
    const int signal = process.exitCode();
    return {output, signal != 0 ? signal : -1, false};
  }
  return {output, process.exitCode(), false};
}

}  // namespace murmela::ProcessRunner
