#pragma once

#include "json/JsonCodec.h"
#include "data/WrappedReport.h"

#include <QByteArray>
#include <QJsonObject>

namespace murmela::ReportJson {

// The one stored and transmitted form of a report: member names are the field
// names, keys sorted, dates as whole-second UTC ISO-8601 strings, "/" written
// as "\/", absent optionals left out. Throws Json::EncodingError when a number
// is not finite (nothing is written then).
QByteArray encode(const WrappedReport& report, Json::Layout layout = Json::Layout::Pretty);
QJsonObject toJson(const WrappedReport& report);
QJsonObject toJson(const ReportInsightCopy& copy);

// Strict reading: every required member (at any level) must be present and of
// its form; optional members may be missing or null; unknown members are
// ignored. Throws Json::DecodingError naming the first failing member.
WrappedReport decode(const QByteArray& bytes);
WrappedReport fromJson(const QJsonObject& object);
ReportInsightCopy insightCopyFromJson(const Json::ObjectReader& reader);

}  // namespace murmela::ReportJson
