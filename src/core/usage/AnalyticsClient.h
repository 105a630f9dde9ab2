#pragma once

#include "backend/BackendDefaults.h"
#include "data/IntelligenceChoice.h"
#include "data/WrappedReport.h"
#include "hosted/HostedAnalysisWorkflow.h"
#include "usage/AnalyticsPayloads.h"

#include <QByteArray>
#include <QString>

#include <stop_token>

namespace murmela {

// Posts the usage events. Each event registers first, then posts its flat
// JSON payload with the bearer token. Every call blocks the calling thread
// (run it on a worker) for at most the two 15-second time-outs, returns
// nothing and throws nothing: analytics never disturbs the user. A stop
// requested through `stop` aborts the exchange in flight (the event is then
// not sent, or its answer not awaited). Only the install event remembers its
// success, under "didTrackInstall".
class AnalyticsClient {
 public:
  static inline const QString kDidTrackInstallKey = QStringLiteral("didTrackInstall");
  static inline const QString kAppInstalledPath = QStringLiteral("/v1/events/app_installed");
  static inline const QString kChoicePath = QStringLiteral("/v1/events/choice");
  static inline const QString kMurmelaCreatedPath = QStringLiteral("/v1/events/murmela_created");
  static constexpr double kTimeoutSeconds = 15.0;

  explicit AnalyticsClient(QString baseUrl = defaultBackendBaseUrl(), QString appVersion = applicationVersion());

  // Once per install: nothing at all when the flag is already set; the flag
  // is set only when the backend accepted the event.
  void trackAppInstalledIfNeeded(std::stop_token stop = {}) const;
  // "mode": "hybrid" or "cloud".
  void trackModeChosen(IntelligenceChoice choice, std::stop_token stop = {}) const;
  // The run's mode, the report's message count and relationship type, and the
  // run's duration in whole milliseconds.
  void trackMurmelaCreated(HostedAnalysisWorkflow workflow, const WrappedReport& report, double durationSeconds,
                           std::stop_token stop = {}) const;

 private:
  // Registers and posts; true only for a 2xx answer. Any failure is false.
  bool track(const QString& path, const QByteArray& payload, const std::stop_token& stop) const;

  QString baseUrl_;
  QString appVersion_;
};

}  // namespace murmela
