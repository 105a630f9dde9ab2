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
// is honoured), answers it and closes the connection. It guards itself: a
// connection that stays silent for the idle time-out is closed (408 when a
// request was under way), connections beyond the limit are answered 503, and
// a body beyond the limit 413 before it is read.
class DevHttpServer : public QObject {
 public:
  static constexpr qint64 kMaxHeaderBytes = 64 * 1024;

  struct Limits {
    int idleTimeoutMs = 30'000;
    int maxConnections = 32;
    // The largest real request is the insights step of a conversation of a
    // million messages, all of them at once: about 140 bytes a message.
    qint64 maxBodyBytes = 256LL * 1024 * 1024;
  };

  explicit DevHttpServer(DevBackend& backend, QObject* parent = nullptr);
  DevHttpServer(DevBackend& backend, Limits limits, QObject* parent = nullptr);

  bool listen(const QHostAddress& address, quint16 port);
  quint16 port() const { return server_.serverPort(); }
  QString errorString() const { return server_.errorString(); }
  int openConnections() const { return connections_; }

  // Called with one line per answered request.
  void setRequestLog(std::function<void(const QString&)> log) { log_ = std::move(log); }

 private:
  void accept(QTcpSocket* socket);
  void answer(QTcpSocket* socket, const DevRequest& request, const DevResponse& response);

  DevBackend& backend_;
  Limits limits_;
  QTcpServer server_;
  int connections_ = 0;
  std::function<void(const QString&)> log_;
};

}  // namespace murmela::devbackend
