#include "privacy/LocalHostCheck.h"

#include "privacy/PrivacyFilterError.h"
#include "privacy/ProcessRunner.h"

#include <QFileInfo>

#include <sys/utsname.h>

namespace murmela::LocalHostCheck {

std::optional<QString> systemMachineName() {
  struct utsname name {};
  if (uname(&name) != 0) return std::nullopt;
  return QString::fromLatin1(name.machine);
}

bool isAppleSilicon(const HostProbe& probe) {
  const std::optional<QString> machine = probe ? probe() : std::nullopt;
  return machine && *machine == QLatin1String("arm64");
}

QStringList candidatePythonPaths() {
  return {
      QStringLiteral("/opt/homebrew/bin/python3.13"),
      QStringLiteral("/opt/homebrew/bin/python3.12"),
      QStringLiteral("/opt/homebrew/bin/python3.11"),
      QStringLiteral("/opt/homebrew/bin/python3"),
      QStringLiteral("/opt/homebrew/opt/python@3.13/bin/python3.13"),
      QStringLiteral("/opt/homebrew/opt/python@3.12/bin/python3.12"),
      QStringLiteral("/opt/homebrew/opt/python@3.11/bin/python3.11"),
      QStringLiteral("/usr/local/bin/python3.13"),
      QStringLiteral("/usr/local/bin/python3.12"),
      QStringLiteral("/usr/local/bin/python3.11"),
      QStringLiteral("/usr/local/bin/python3"),
      QStringLiteral("/usr/local/opt/python@3.13/bin/python3.13"),
      QStringLiteral("/usr/local/opt/python@3.12/bin/python3.12"),
      QStringLiteral("/usr/local/opt/python@3.11/bin/python3.11"),
      QStringLiteral("/Library/Frameworks/Python.framework/Versions/3.13/bin/python3"),
      QStringLiteral("/Library/Frameworks/Python.framework/Versions/3.12/bin/python3"),
      QStringLiteral("/Library/Frameworks/Python.framework/Versions/3.11/bin/python3"),
      QStringLiteral("/usr/bin/python3"),
  };
}

std::optional<QString> locateSupportedPython3(const QStringList& candidates, int probeTimeoutMs) {
  for (const QString& candidate : candidates) {
    const QFileInfo info(candidate);
    if (!info.isFile() || !info.isExecutable()) continue;
    QString version;
    try {
      version = pythonVersion(candidate, probeTimeoutMs);
    } catch (const PrivacyFilterError&) {
      continue;
    }
    const std::optional<QList<int>> components = pythonVersionComponents(version);
    if (!components || components->size() < 2) continue;
    const int major = components->at(0);
    const int minor = components->at(1);
    if (major == 3 && minor >= 11 && minor <= 13) return candidate;
  }
  return std::nullopt;
}

QString pythonVersion(const QString& interpreter, int timeoutMs) {
  const ProcessOutput result =
      ProcessRunner::runCapturing(interpreter, {QStringLiteral("--version")}, std::nullopt, QString(), timeoutMs);
  if (result.exitCode != 0) throw PrivacyFilterError::pythonNotFound();
  const QString trimmed = result.output.trimmed();
  const QStringList words = trimmed.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  return words.isEmpty() ? trimmed : words.last();
}

std::optional<QList<int>> pythonVersionComponents(QStringView version) {
  QList<int> components;
  for (const QStringView piece : version.split(QLatin1Char('.'), Qt::SkipEmptyParts)) {
    // The leading run of numeric characters; only plain ASCII digits parse.
    QString run;
    bool asciiDigits = true;
    for (const char32_t codePoint : piece.toUcs4()) {
      if (!QChar::isNumber(codePoint)) break;
      run.append(QString::fromUcs4(&codePoint, 1));
      asciiDigits = asciiDigits && codePoint >= U'0' && codePoint <= U'9';
    }
    if (run.isEmpty()) continue;
    bool ok = false;
    const int value = asciiDigits ? run.toInt(&ok, 10) : 0;
    if (ok) components.append(value);
  }
  if (components.isEmpty()) return std::nullopt;
  return components;
}

}  // namespace murmela::LocalHostCheck
