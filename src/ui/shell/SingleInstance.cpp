#include "shell/SingleInstance.h"

#include "common/AppPaths.h"
#include "common/FileSystem.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

namespace murmela {
namespace {

const QByteArray kActivate = "activate\n";
const QByteArray kActivated = "activated\n";
// A first instance takes the lock a moment before it listens; a later launch
// waits this long for it.
constexpr int kAnswerWaitMs = 5000;

// In the user's runtime folder, named after the application folder it guards.
QString socketPathFor(const QString& appFolder) {
  QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (runtime.isEmpty()) runtime = QDir::tempPath();
  const QByteArray digest = QCryptographicHash::hash(QFile::encodeName(appFolder), QCryptographicHash::Sha256);
  return QDir(runtime).filePath(QStringLiteral("murmela-") + QString::fromLatin1(digest.toHex().left(16)));
}

}  // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() = default;

SingleInstance::Claim SingleInstance::claim() {
  const std::optional<QString> folder = AppPaths::appFolder();
  if (!folder || FileSystem::createPrivateFolders(*folder)) return Claim::unguarded;
  lock_ = std::make_unique<QLockFile>(QDir(*folder).filePath(QStringLiteral("murmela.lock")));
  // Only a lock whose process has ended is stale, however old it is.
  lock_->setStaleLockTime(0);
  const QString socketPath = socketPathFor(*folder);
  if (lock_->tryLock(0)) {
    listen(socketPath);
    return Claim::first;
  }
  if (lock_->error() != QLockFile::LockFailedError) return Claim::unguarded;
  return askToActivate(socketPath) ? Claim::handedOver : Claim::unanswered;
}

void SingleInstance::listen(const QString& socketPath) {
  // The lock is ours: a socket left by an instance that ended is stale.
  QLocalServer::removeServer(socketPath);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(socketPath)) return;
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine()) return;
        if (socket->readLine() == kActivate) {
          emit activationRequested();
          socket->write(kActivated);
        }
        socket->disconnectFromServer();
      });
    }
  });
}

bool SingleInstance::askToActivate(const QString& socketPath) const {
  const QDeadlineTimer deadline(kAnswerWaitMs);
  while (!deadline.hasExpired()) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
      QThread::msleep(100);
      continue;
    }
    socket.write(kActivate);
    socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
    while (!socket.canReadLine() && socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
    }
    return socket.canReadLine() && socket.readLine() == kActivated;
  }
  return false;
}

QString SingleInstance::handOverNote(const QStringList& arguments) {
  if (arguments.isEmpty()) return {};
  return QStringLiteral(
             "Murmela is already running; its window was brought to the front. These launch arguments only "
             "take effect when Murmela starts and were not applied: ") +
         arguments.join(QLatin1Char(' '));
}

}  // namespace murmela
