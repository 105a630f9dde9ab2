#include "app/AppScreen.h"

namespace murmela {

AppScreen AppScreen::results(WrappedReport report) {
  AppScreen screen(Kind::results);
  screen.report_ = std::make_shared<const WrappedReport>(std::move(report));
  return screen;
}

QString rawValue(AppScreen::Kind kind) {
  switch (kind) {
    case AppScreen::Kind::results:
      return QStringLiteral("results");
    case AppScreen::Kind::home:
      return QStringLiteral("home");
    case AppScreen::Kind::welcome:
      return QStringLiteral("welcome");
    case AppScreen::Kind::permissions:
      return QStringLiteral("permissions");
    case AppScreen::Kind::intelligence:
      return QStringLiteral("intelligence");
    case AppScreen::Kind::hybridSetup:
      return QStringLiteral("hybridSetup");
    case AppScreen::Kind::contactPicker:
      return QStringLiteral("contactPicker");
    case AppScreen::Kind::processing:
      return QStringLiteral("processing");
  }
  return QString();
}

}  // namespace murmela
