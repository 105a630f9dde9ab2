#pragma once

#include "support/TestEnvironment.h"

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

namespace murmela::test {

// tests/scripts/endless_tls_server.py with `options` (see there), for as long
// as this lives: an endless body (or --bytes of it) over TLS on 127.0.0.1.
struct EndlessTlsServer {
  explicit EndlessTlsServer(const QStringList& options = {}) {
    process.start(
        QStringLiteral("/usr/bin/python3"),
        QStringList{sourceDir() + QStringLiteral("/tests/scripts/endless_tls_server.py"), folder.path()} + options);
    port = nextLine();
  }
  ~EndlessTlsServer() {
    process.kill();
    process.waitForFinished();
  }
  EndlessTlsServer(const EndlessTlsServer&) = delete;
  EndlessTlsServer& operator=(const EndlessTlsServer&) = delete;

  // What it prints: its port, then each connection's protocol ("h2", "http/1.1").
  QByteArray nextLine() {
    while (!process.canReadLine() && process.waitForReadyRead(20000)) {
    }
    return process.readLine().trimmed();
  }
  QUrl url(const QByteArray& path) const { return QUrl("https://127.0.0.1:" + port + path); }
  QString certificate() const { return folder.filePath(QStringLiteral("cert.pem")); }  // its own authority

  QTemporaryDir folder;
  QProcess process;
  QByteArray port;  // empty: it did not start
};

}  // namespace murmela::test
