#pragma once

#include <QString>
#include <QStringList>

namespace murmela::SchemeHandlerProbe {

// How long the desktop's answer is awaited before the scheme counts as unhandled.
inline constexpr int kTimeoutMs = 1500;

// Whether the desktop has an application registered for links of `scheme`
// ("sms"): `xdg-mime query default x-scheme-handler/<scheme>` run without a
// shell, answered within `timeoutMs` with exit code 0 and a non-empty name.
// A tool that is missing, fails, hangs or prints nothing means no handler.
bool hasHandler(const QString& scheme, int timeoutMs = kTimeoutMs, const QString& program = QStringLiteral("xdg-mime"));

// The program and arguments hasHandler() runs.
QStringList queryArguments(const QString& scheme);

// hasHandler("sms"), asked once per process and remembered.
bool canOpenMessagesLinks();

}  // namespace murmela::SchemeHandlerProbe
