#include "app/SavedReportLibrary.h"
#include "common/AppPaths.h"
#include "common/AtomicFile.h"
#include "shell/MurmelaRootApp.h"
#include "shell/QuitSignals.h"
#include "shell/RootView.h"
#include "shell/SingleInstance.h"
#include "shell/SystemProxies.h"

#include <QApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[]) {
  // A file size limit makes a write fail ("File too large") rather than end
  // the application in the middle of it.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Murmela"));
  QApplication::setApplicationName(QStringLiteral("Murmela"));
  QApplication::setApplicationVersion(QStringLiteral(MURMELA_VERSION));

  // A second launch brings the running window to the front and ends.
  murmela::SingleInstance instance;
  switch (instance.claim()) {
    case murmela::SingleInstance::Claim::handedOver: {
      const QString note = murmela::SingleInstance::handOverNote(QApplication::arguments().mid(1));
      if (!note.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(note));
      return 0;
    }
    case murmela::SingleInstance::Claim::unanswered:
      std::fprintf(stderr, "Murmela is already running, but its window did not answer.\n");
      return 1;
    case murmela::SingleInstance::Claim::first:
    case murmela::SingleInstance::Claim::unguarded:
      break;
  }
  // Backend calls and the runtime download take the desktop's proxies.
  murmela::setProxyLookup(murmela::systemProxyLookup());
  const murmela::QuitSignals quitSignals;  // SIGTERM, SIGINT and SIGHUP quit like Ctrl+Q
  murmela::MurmelaRootApp root(QApplication::arguments());
  QObject::connect(&instance, &murmela::SingleInstance::activationRequested, &root.window(),
                   [&root] { root.window().bringToFront(); });
  root.show();
  // Once the window is up and the library listed: files that a write cut
  // short (a crash, a kill) left behind.
  QMetaObject::invokeMethod(
      &app,
      [] {
        for (const std::optional<QString>& folder :
             {murmela::AppPaths::appFolder(), murmela::SavedReportLibrary::defaultReportsDir()}) {
          if (folder) murmela::removeAbandonedPartialWrites(*folder);
        }
      },
      Qt::QueuedConnection);
  return QApplication::exec();
}
