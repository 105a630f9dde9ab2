#pragma once

#include "DevBackend.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

namespace murmela::devbackend {

// A small HTTP/1.1 front for DevBackend on the thread that creates it: reads
// one request per connection (Content-Length bodies; "Expect: 100-continue"
// is honoured), answers it and closes the connection.
class DevHttpServer : public QObject {
 public:
  static constexpr qint64 kMaxHeaderBytes = 64 * 1024;
  static constexpr qint64 kMaxBodyBytes = 512LL * 1024 * 1024;

  explicit DevHttpServer(DevBackend& backend, QObject* parent = nullptr);

  bool listen(const QHostAddress& address, quint16 port);
  quint16 port() const { return server_.serverPort(); }
  QString errorString() const { return server_.errorString(); }

  // Called with one line per answered request.
  void setRequestLog(std::function<void(const QString&)> log) { log_ = std::move(log); }

 private:
  void accept(QTcpSocket* socket);
  void answer(QTcpSocket* socket, const DevRequest& request, const DevResponse& response);

  DevBackend& backend_;
  QTcpServer server_;
  std::function<void(const QString&)> log_;
};

}  // namespace murmela::devbackend
