#include "app/AppCoordinator.h"
#include "shell/MurmelaRootApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Murmela"));
  QApplication::setApplicationName(QStringLiteral("Murmela"));
  QApplication::setApplicationVersion(QStringLiteral(MURMELA_VERSION));

  murmela::MurmelaRootApp root(QApplication::arguments());
  QObject::connect(&app, &QCoreApplication::aboutToQuit, [&root] { root.coordinator().shutdown(); });
  root.show();
  return QApplication::exec();
}
