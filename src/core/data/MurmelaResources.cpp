#include "data/MurmelaResources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace murmela::MurmelaResources {
namespace {

bool isBundleFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

QString besideExecutable(const SearchLocations& locations) {
  return QDir::cleanPath(locations.executableFolder + QLatin1Char('/') + bundleFolderName());
}

}  // namespace

QString bundleFolderName() { return QStringLiteral("Murmela_MurmelaCore.bundle"); }

SearchLocations processLocations() {
  SearchLocations locations;
  const QFileInfo executable(QStringLiteral("/proc/self/exe"));
  locations.executableFolder = executable.canonicalPath();
  if (locations.executableFolder.isEmpty() && QCoreApplication::instance())
    locations.executableFolder = QCoreApplication::applicationDirPath();
  locations.buildLocation = QStringLiteral(MURMELA_BUILD_RESOURCE_BUNDLE);
  return locations;
}

QStringList candidates(const SearchLocations& locations) {
  if (locations.executableFolder.isEmpty()) return {};
  return {QDir::cleanPath(locations.executableFolder + QStringLiteral("/../share/murmela/") + bundleFolderName()),
          besideExecutable(locations)};
}

std::optional<QString> locate(const SearchLocations& locations) {
  for (const QString& candidate : candidates(locations)) {
    if (isBundleFolder(candidate)) return candidate;
  }
  // The fallback of a development build: the source tree the program was built from.
  if (isBundleFolder(locations.buildLocation)) return QDir::cleanPath(locations.buildLocation);
  return std::nullopt;
}

QString missingBundleMessage(const SearchLocations& locations) {
  return QStringLiteral("could not load resource bundle: from ") + besideExecutable(locations) +
         QStringLiteral(" or ") + locations.buildLocation;
}

const ResourceBundle& bundle() {
  static const ResourceBundle located = [] {
    const SearchLocations locations = processLocations();
    const std::optional<QString> path = locate(locations);
    if (!path) qFatal("%s", qUtf8Printable(missingBundleMessage(locations)));
    return ResourceBundle(*path);
  }();
  return located;
}

}  // namespace murmela::MurmelaResources
