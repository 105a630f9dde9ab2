#include "data/FakeReportLoader.h"

#include "common/FileError.h"
#include "data/MurmelaResources.h"
#include "data/ReportJson.h"
#include "data/WrappedDataError.h"

namespace murmela {

QString rawValue(FakeDataFixture fixture) {
  switch (fixture) {
    case FakeDataFixture::rich:
      return QStringLiteral("rich");
    case FakeDataFixture::minimal:
      return QStringLiteral("minimal");
    case FakeDataFixture::friendship:
      return QStringLiteral("friendship");
  }
  return QStringLiteral("rich");
}

QString resourceName(FakeDataFixture fixture) {
  switch (fixture) {
    case FakeDataFixture::rich:
      return QStringLiteral("fake_report");
    case FakeDataFixture::minimal:
      return QStringLiteral("fake_report_minimal");
    case FakeDataFixture::friendship:
      return QStringLiteral("fake_report_friendship");
  }
  return QStringLiteral("fake_report");
}

std::optional<FakeDataFixture> FakeReportLoader::launchArgumentFixture(const QStringList& arguments) {
  const qsizetype flag = arguments.indexOf(QStringLiteral("-fakeData"));
  if (flag < 0) return std::nullopt;
  if (flag + 1 >= arguments.size()) return FakeDataFixture::rich;
  const QString name = arguments.at(flag + 1).toLower();
  if (name == rawValue(FakeDataFixture::minimal)) return FakeDataFixture::minimal;
  if (name == rawValue(FakeDataFixture::friendship)) return FakeDataFixture::friendship;
  return FakeDataFixture::rich;
}

WrappedReport FakeReportLoader::load(FakeDataFixture fixture) { return load(fixture, MurmelaResources::bundle()); }

WrappedReport FakeReportLoader::load(FakeDataFixture fixture, const ResourceBundle& bundle) {
  const QString name = resourceName(fixture);
  const std::optional<QString> path = bundle.url(name, QStringLiteral("json"));
  if (!path) throw WrappedDataError::fixtureNotFound(name);
  try {
    return ReportJson::decode(readFileBytes(*path));
  } catch (const WrappedDataError&) {
    throw;
  } catch (const MurmelaError& error) {
    throw WrappedDataError::fixtureDecodeFailed(error.description());
  }
}

}  // namespace murmela
