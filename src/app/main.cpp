#include "shell/MurmelaRootApp.h"
#include "shell/QuitSignals.h"

#include <QApplication>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Murmela"));
  QApplication::setApplicationName(QStringLiteral("Murmela"));
  QApplication::setApplicationVersion(QStringLiteral(MURMELA_VERSION));

  const murmela::QuitSignals quitSignals;  // SIGTERM, SIGINT and SIGHUP quit like Ctrl+Q
  murmela::MurmelaRootApp root(QApplication::arguments());
  root.show();
  return QApplication::exec();
}
