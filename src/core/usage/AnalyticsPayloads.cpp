#include "usage/AnalyticsPayloads.h"

#include "backend/BackendDefaults.h"
#include "backend/HardwareProfile.h"
#include "json/JsonCodec.h"
#include "data/RelationshipType.h"

#include <QJsonArray>

#include <cmath>
#include <limits>

namespace murmela {
namespace {

// A flat JSON object whose members keep the order they are added in (the
// shared writer sorts keys).
class FlatObjectWriter {
 public:
  FlatObjectWriter& add(const char* key, const QString& value) { return member(key, quoted(value)); }
  FlatObjectWriter& add(const char* key, qint64 value) { return member(key, QByteArray::number(value)); }
  FlatObjectWriter& add(const AnalyticsBasePayload& base) {
    return add("app_version", base.appVersion)
        .add("macos_version", base.macosVersion)
        .add("chip_family", base.chipFamily);
  }
  QByteArray finish() const { return '{' + body_ + '}'; }

 private:
  static QByteArray quoted(const QString& value) {
    const QByteArray array = Json::write(QJsonArray{value}, Json::Layout::Compact, false);  // ["…"]
    return array.mid(1, array.size() - 2);
  }
  FlatObjectWriter& member(const char* key, const QByteArray& value) {
    if (!body_.isEmpty()) body_ += ',';
    body_ += quoted(QString::fromLatin1(key)) + ':' + value;
    return *this;
  }

  QByteArray body_;
};

QString modeOf(HostedAnalysisWorkflow workflow) {
  return workflow == HostedAnalysisWorkflow::hybridPrivacy ? QStringLiteral("hybrid") : QStringLiteral("cloud");
}

}  // namespace

AnalyticsBasePayload AnalyticsBasePayload::current() {
  return {applicationVersion(), HardwareProfile::operatingSystemVersion(), HardwareProfile::chipFamily()};
}

QByteArray AnalyticsBasePayload::encode() const { return FlatObjectWriter().add(*this).finish(); }

ChoiceAnalyticsPayload ChoiceAnalyticsPayload::make(AnalyticsBasePayload base, IntelligenceChoice choice) {
  return {std::move(base), rawValue(choice)};
}

QByteArray ChoiceAnalyticsPayload::encode() const { return FlatObjectWriter().add("mode", mode).add(base).finish(); }

MurmelaCreatedAnalyticsPayload MurmelaCreatedAnalyticsPayload::make(AnalyticsBasePayload base,
                                                                    HostedAnalysisWorkflow workflow,
                                                                    const WrappedReport& report,
                                                                    double durationSeconds) {
  return {std::move(base), modeOf(workflow), report.totalMessages, rawValue(report.relationshipType),
          analyticsDurationMilliseconds(durationSeconds)};
}

QByteArray MurmelaCreatedAnalyticsPayload::encode() const {
  return FlatObjectWriter()
      .add("mode", mode)
      .add("message_count", messageCount)
      .add("relationship_type", relationshipType)
      .add("duration_ms", durationMS)
      .add(base)
      .finish();
}

qint64 analyticsDurationMilliseconds(double seconds) {
  const double milliseconds = std::trunc(seconds * 1000.0);
  if (std::isnan(milliseconds) || milliseconds <= 0.0) return 0;
  if (milliseconds >= 9223372036854775808.0) return std::numeric_limits<qint64>::max();
  return static_cast<qint64>(milliseconds);
}

}  // namespace murmela
