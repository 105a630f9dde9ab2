// share-cache-writer <application folder> <prefix> <count>: adds <count> share
// records "<prefix>-<n>", each for a handle of its own, to the share cache.
#include "../ShareTestSupport.h"
#include "share/ShareLinkCacheStore.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() != 4) return 2;
  murmela::AppPaths::overrideAppFolder(arguments[1]);
  murmela::ShareLinkCacheStore store([] { return murmela::test::kNow; });
  for (int n = 0; n < arguments[3].toInt(); ++n) {
    const QString id = arguments[2] + QLatin1Char('-') + QString::number(n);
    store.upsert(murmela::test::shareEntry(id, id));
  }
  return 0;
}
