#include "WalkWorld.h"

#include "WalkDriver.h"
#include "app/AppCoordinator.h"
#include "data/VCardContactStore.h"
#include "support/DevBackendMount.h"
#include "testing/QuietDesktop.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace murmela::test {

namespace {

QString binaryDir() { return QString::fromLocal8Bit(qgetenv("MURMELA_TEST_BINARY_DIR")); }

}  // namespace

WalkWorld::WalkWorld(qsizetype messageCount) {
  SampleChatOptions options;
  options.messageCount = messageCount;
  options.otherName = kPartnerName;
  sample = makeSampleChat(options);
  database = environment.path(QStringLiteral("chat.db"));
  writeSampleChatDatabase(sample, database);
  mountDevBackend(server, backend);
  backend.setPublicBaseUrl(server.baseUrl());
  QDir(downloads()).removeRecursively();
}

QStringList WalkWorld::launchArguments() const {
  return {QStringLiteral("murmela"), QStringLiteral("-messagesDB"), database, QStringLiteral("-shareAPIBaseURL"),
          server.baseUrl()};
}

MurmelaRootApp::Desktop WalkWorld::desktop() {
  const QString book = environment.path(QStringLiteral("contacts.vcf"));
  QFile file(book);
  if (!file.open(QIODevice::WriteOnly)) throw WalkFailure("could not write the address book");
  file.write("BEGIN:VCARD\nVERSION:3.0\nFN:" + kPartnerName.toUtf8() + "\nTEL:" + sample.handle.toUtf8() +
             "\nEND:VCARD\n");
  file.close();

  auto contacts = std::make_shared<VCardContactStore>([book](const std::optional<QString>&) { return book; });
  contacts->requestAccess();
  MurmelaRootApp::Desktop desktop = quietDesktop(server.baseUrl(), contacts);
  ShareServices share = ShareServices::system();
  share.showFolder = [this](const QString& path) { foldersShown.append(path); };
  share.openUrl = [this](const QUrl& url) {
    urlsOpened.append(url);
    return true;
  };
  share.canOpenMessagesLinks = [] { return false; };
  share.exportPool = &exportPool;
  desktop.shareServices = share;
  return desktop;
}

QString WalkWorld::downloads() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  const QString root = binaryDir();
  if (folder.isEmpty() || root.isEmpty() || !QDir::cleanPath(folder).startsWith(QDir::cleanPath(root) + '/'))
    throw WalkFailure(("the Downloads folder " + folder + " is not inside the test's home").toStdString());
  return folder;
}

QString WalkWorld::shotFolder(const QString& walk) {
  return QDir(binaryDir()).filePath(QStringLiteral("walk/") + walk);
}

}  // namespace murmela::test
