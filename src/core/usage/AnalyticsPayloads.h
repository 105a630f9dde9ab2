#pragma once

#include "data/IntelligenceChoice.h"
#include "data/WrappedReport.h"
#include "hosted/HostedAnalysisWorkflow.h"

#include <QByteArray>
#include <QString>

namespace murmela {

// What every usage event carries.
struct AnalyticsBasePayload {
  QString appVersion;    // "app_version"
  QString macosVersion;  // "macos_version": the operating system's descriptive version (the backend's key)
  QString chipFamily;    // "chip_family"

  // This application and machine, read afresh.
  static AnalyticsBasePayload current();
  // {"app_version", "macos_version", "chip_family"}, compact, in this order.
  QByteArray encode() const;
};

// "/v1/events/choice": {"mode", then the base fields}, flat.
struct ChoiceAnalyticsPayload {
  AnalyticsBasePayload base;
  QString mode;  // "hybrid" / "cloud"

  static ChoiceAnalyticsPayload make(AnalyticsBasePayload base, IntelligenceChoice choice);
  QByteArray encode() const;
};

// "/v1/events/murmela_created": {"mode", "message_count",
// "relationship_type", "duration_ms", then the base fields}, flat.
struct MurmelaCreatedAnalyticsPayload {
  AnalyticsBasePayload base;
  QString mode;  // "hybrid" / "cloud"
  qint64 messageCount = 0;
  QString relationshipType;  // raw value
  qint64 durationMS = 0;

  static MurmelaCreatedAnalyticsPayload make(AnalyticsBasePayload base, HostedAnalysisWorkflow workflow,
                                             const WrappedReport& report, double durationSeconds);
  QByteArray encode() const;
};

// Seconds to whole milliseconds, toward zero; 0 for a negative or unusable
// duration (2.0009 s gives 2000).
qint64 analyticsDurationMilliseconds(double seconds);

}  // namespace murmela
