#include "sharing/SchemeHandlerProbe.h"

#include <QProcess>

namespace murmela::SchemeHandlerProbe {

QStringList queryArguments(const QString& scheme) {
  return {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/") + scheme};
}

bool hasHandler(const QString& scheme, int timeoutMs, const QString& program) {
  QProcess process;
  process.setProcessChannelMode(QProcess::SeparateChannels);
  process.start(program, queryArguments(scheme), QIODevice::ReadOnly);
  if (!process.waitForStarted(timeoutMs)) return false;
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished(timeoutMs);
    return false;
  }
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return false;
  return !QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed().isEmpty();
}

bool canOpenMessagesLinks() {
  static const bool answer = hasHandler(QStringLiteral("sms"));
  return answer;
}

}  // namespace murmela::SchemeHandlerProbe
