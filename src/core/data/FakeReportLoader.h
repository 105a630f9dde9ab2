#pragma once

#include "data/ResourceBundle.h"
#include "data/WrappedReport.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace murmela {

// The demo reports of the resource bundle, in their order.
enum class FakeDataFixture { rich, minimal, friendship };

QString rawValue(FakeDataFixture fixture);      // "rich", "minimal", "friendship"
QString resourceName(FakeDataFixture fixture);  // "fake_report", "fake_report_minimal", "fake_report_friendship"

// Shows a demo report instead of an analysis: "-fakeData <name>" on the
// command line picks one, and load() reads it from the resource bundle.
struct FakeReportLoader {
  // The fixture after the first "-fakeData" (exact, case-sensitive): its next
  // argument lower-cased names "minimal" or "friendship"; anything else, or
  // nothing after it, is the rich report. Absent without "-fakeData".
  static std::optional<FakeDataFixture> launchArgumentFixture(const QStringList& arguments);

  // The decoded fixture from the application's resource bundle. Throws
  // WrappedDataError::fixtureNotFound (no such file) or fixtureDecodeFailed
  // (unreadable, or not a report in the report JSON form).
  static WrappedReport load(FakeDataFixture fixture);
  static WrappedReport load(FakeDataFixture fixture, const ResourceBundle& bundle);
};

}  // namespace murmela
