#include "sharing/FolderRevealer.h"

#include <QCoreApplication>

#ifdef MURMELA_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#endif

namespace murmela::FolderRevealer {

void showFolder(const QString& path, std::function<bool(const QUrl&)> openUrl) {
  const QUrl folder = QUrl::fromLocalFile(path);
#ifdef MURMELA_HAVE_DBUS
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected()) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowFolders"));
    call << QStringList{folder.toString(QUrl::FullyEncoded)} << QString();
    // Asynchronous: a file manager that is slow to start never holds the window up.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, folder, openUrl = std::move(openUrl)] {
                       watcher->deleteLater();
                       if (watcher->isError() && openUrl) openUrl(folder);
                     });
    return;
  }
#endif
  if (openUrl) openUrl(folder);
}

}  // namespace murmela::FolderRevealer
