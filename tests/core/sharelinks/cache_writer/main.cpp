// share-cache-writer <application folder> <prefix> <count>: adds <count> share
// records "<prefix>-<n>", each for a handle of its own, to the share cache.
#include "../ShareTestSupport.h"
#include "sharelinks/ShareLinkCacheStore.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
  const QCoreApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  murmela::AppPaths::overrideAppFolder(arguments.value(1));
  murmela::ShareLinkCacheStore store([] { return murmela::test::kNow; });
  for (int n = 0; n < arguments.value(3).toInt(); ++n)
    store.upsert(murmela::test::shareEntry(arguments[2] + QString::number(n), arguments[2] + QString::number(n)));
}
