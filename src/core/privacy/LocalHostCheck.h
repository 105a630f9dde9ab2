#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

namespace murmela {

// Answers the machine name the system reports (uname's "machine"), or
// nothing when it cannot be read. Injectable so tests can be an Apple
// Silicon Mac.
using HostProbe = std::function<std::optional<QString>()>;

// Checks of the host the application runs on.
namespace LocalHostCheck {

// A hanging interpreter must not hold up the caller (the application's
// start-up): a version probe that takes longer counts as failed.
constexpr int kVersionProbeTimeoutMs = 10000;

std::optional<QString> systemMachineName();
// The machine name is exactly "arm64" (what an Apple Silicon Mac reports);
// a probe without an answer counts as not Apple Silicon.
bool isAppleSilicon(const HostProbe& probe = systemMachineName);

// The interpreters tried for a supported Python, in order.
QStringList candidatePythonPaths();
// The first candidate that is an executable file and reports Python 3.11,
// 3.12 or 3.13; nothing when none does.
std::optional<QString> locateSupportedPython3(const QStringList& candidates = candidatePythonPaths(),
                                              int probeTimeoutMs = kVersionProbeTimeoutMs);
// The last word the interpreter prints for "--version" (on either output).
// Throws PrivacyFilterError::pythonNotFound for a failed launch, a non-zero
// exit or a probe that timed out.
QString pythonVersion(const QString& interpreter, int timeoutMs = kVersionProbeTimeoutMs);
// The numeric components of a version text: "3.13.0rc1" gives 3, 13, 0;
// nothing when there are none.
std::optional<QList<int>> pythonVersionComponents(QStringView version);

}  // namespace LocalHostCheck
}  // namespace murmela
