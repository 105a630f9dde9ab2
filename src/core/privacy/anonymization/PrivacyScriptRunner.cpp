#include "privacy/anonymization/PrivacyScriptRunner.h"

#include "common/MurmelaError.h"
#include "privacy/ChildProcessGuard.h"
#include "privacy/anonymization/LockedOutputBuffer.h"
#include "privacy/anonymization/PrivacyProgressLineParser.h"

#include <QProcess>
#include <QStringDecoder>

namespace murmela {
namespace {

constexpr int kKillWaitMs = 5000;

void stopChild(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (process.waitForFinished(PrivacyScriptRunner::kTerminateGraceMs)) return;
  process.kill();
  process.waitForFinished(kKillWaitMs);
}

}  // namespace

PrivacyScriptResult PrivacyScriptRunner::run(const QString& executable, const QStringList& arguments,
                                             const QProcessEnvironment& environment, const ProgressHandler& onProgress,
                                             std::stop_token stop) {
  QProcess process;
  process.setProgram(executable);
  process.setArguments(arguments);
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.setStandardInputFile(QProcess::nullDevice());
  ChildProcessGuard::killWithParent(process);

  LockedOutputBuffer buffer;
  PrivacyProgressLineParser parser;
  QStringDecoder decoder(QStringDecoder::Utf8);  // stateful: keeps a split character for the next read
  const auto consume = [&](const QByteArray& bytes) {
    if (bytes.isEmpty()) return;
    const QString text = decoder.decode(bytes);
    if (text.isEmpty()) return;
    buffer.append(text);
    for (const PrivacyProgressUpdate& update : parser.append(text)) {
      if (onProgress) onProgress(update);
    }
  };

  if (stop.stop_requested()) throw CancellationError();
  process.start();
  if (!process.waitForStarted(-1)) return {process.errorString(), -1};

  try {
    while (process.state() != QProcess::NotRunning) {
      if (stop.stop_requested()) {
        stopChild(process);
        throw CancellationError();
      }
      // Returns as soon as output arrives, when the child ends, or after the
      // poll interval; what arrived is handed on at once.
      process.waitForReadyRead(kPollIntervalMs);
      consume(process.readAll());
    }
  } catch (...) {
    stopChild(process);
    throw;
  }
  // The child has ended: whatever is left in the pipe follows.
  process.waitForFinished(0);
  consume(process.readAll());

  int exitCode = process.exitCode();
  if (process.exitStatus() == QProcess::CrashExit && exitCode == 0) exitCode = -1;
  return {buffer.text(), exitCode};
}

}  // namespace murmela
