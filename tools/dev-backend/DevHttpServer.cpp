#include "DevHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace murmela::devbackend {
namespace {

QByteArray reasonPhrase(int status) {
  switch (status) {
    case 100:
      return "Continue";
    case 200:
      return "OK";
    case 201:
      return "Created";
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 410:
      return "Gone";
    case 411:
      return "Length Required";
    case 413:
      return "Payload Too Large";
    case 415:
      return "Unsupported Media Type";
    case 429:
      return "Too Many Requests";
    case 431:
      return "Request Header Fields Too Large";
    case 503:
      return "Service Unavailable";
    default:
      return status >= 500 ? "Server Error" : "Status";
  }
}

struct Connection {
  QByteArray buffer;
  qsizetype headerEnd = -1;
  qint64 contentLength = 0;
  bool bodyStarted = false;  // the head is read; `buffer` holds the body only
  bool continued = false;
  bool answered = false;
  DevRequest request;
};

DevResponse plainError(int status, const QString& message) {
  DevResponse response;
  response.status = status;
  response.body = QStringLiteral(R"({"detail":{"message":"%1","status_code":%2}})").arg(message).arg(status).toUtf8();
  response.note = message;
  return response;
}

}  // namespace

DevHttpServer::DevHttpServer(DevBackend& backend, QObject* parent) : DevHttpServer(backend, Limits{}, parent) {}

DevHttpServer::DevHttpServer(DevBackend& backend, Limits limits, QObject* parent)
    : QObject(parent), backend_(backend), limits_(limits) {
  connect(&server_, &QTcpServer::newConnection, this, [this] {
    while (QTcpSocket* socket = server_.nextPendingConnection()) accept(socket);
  });
}

bool DevHttpServer::listen(const QHostAddress& address, quint16 port) { return server_.listen(address, port); }

void DevHttpServer::accept(QTcpSocket* socket) {
  auto connection = std::make_shared<Connection>();
  ++connections_;
  connect(socket, &QObject::destroyed, this, [this] { --connections_; });
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  if (connections_ > limits_.maxConnections) {
    connection->answered = true;
    answer(socket, {}, plainError(503, "Too many connections"));
    return;
  }

  // Silence for the idle time-out ends the connection: with a 408 while a
  // request is under way, at once when nothing came or all was answered.
  auto* idle = new QTimer(socket);
  idle->setSingleShot(true);
  idle->setInterval(limits_.idleTimeoutMs);
  connect(idle, &QTimer::timeout, socket, [this, socket, connection, idle] {
    if (connection->answered || (connection->buffer.isEmpty() && !connection->bodyStarted)) {
      socket->abort();
      return;
    }
    connection->answered = true;
    answer(socket, connection->request, plainError(408, "No data for too long"));
    idle->start();  // an answer that cannot go out ends in the abort above
  });
  idle->start();

  connect(socket, &QTcpSocket::readyRead, this, [this, socket, connection, idle] {
    idle->start();
    if (connection->answered) {
      socket->readAll();
      return;
    }
    if (connection->bodyStarted) {
      // Straight into the buffer, without a chunk of its own in between.
      const qint64 wanted = std::max<qint64>(socket->bytesAvailable(), 0);
      const qsizetype held = connection->buffer.size();
      connection->buffer.resize(held + wanted);
      const qint64 got = socket->read(connection->buffer.data() + held, wanted);
      connection->buffer.truncate(held + std::max<qint64>(got, 0));
    } else {
      connection->buffer.append(socket->readAll());
    }
    DevRequest& request = connection->request;
    const auto finish = [&](const DevResponse& response) {
      connection->answered = true;
      answer(socket, request, response);
    };
    if (!connection->bodyStarted) {
      connection->headerEnd = connection->buffer.indexOf("\r\n\r\n");
      if (connection->headerEnd < 0) {
        if (connection->buffer.size() > kMaxHeaderBytes) finish(plainError(431, "Headers too large"));
        return;
      }
      const QList<QByteArray> lines = connection->buffer.left(connection->headerEnd).split('\n');
      const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
      request.method = requestLine.value(0);
      const QByteArray target = requestLine.value(1);
      request.path = target.left(target.indexOf('?') >= 0 ? target.indexOf('?') : target.size());
      for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0) request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
      }
      if (!request.header("Transfer-Encoding").isEmpty()) {
        finish(plainError(411, "Send the body with a Content-Length"));
        return;
      }
      bool valid = true;
      const QByteArray length = request.header("Content-Length");
      connection->contentLength = length.isEmpty() ? 0 : length.toLongLong(&valid);
      if (!valid || connection->contentLength < 0) {
        finish(plainError(400, "Invalid Content-Length"));
        return;
      }
      if (connection->contentLength > limits_.maxBodyBytes) {
        finish(plainError(413, "Body too large"));
        return;
      }
      if (request.header("Expect").toLower() == "100-continue" && !connection->continued) {
        connection->continued = true;
        socket->write("HTTP/1.1 100 Continue\r\n\r\n");
      }
      // The body lands in one buffer of its final size.
      connection->buffer.remove(0, connection->headerEnd + 4);
      connection->buffer.reserve(connection->contentLength);
      connection->bodyStarted = true;
    }
    if (connection->buffer.size() < connection->contentLength) return;
    connection->buffer.truncate(connection->contentLength);
    request.body = std::move(connection->buffer);
    connection->buffer = QByteArray();
    finish(backend_.handle(request));
    idle->start();  // a client that never reads the answer is dropped too
  });
}

void DevHttpServer::answer(QTcpSocket* socket, const DevRequest& request, const DevResponse& response) {
  if (response.dropConnection) {
    socket->disconnectFromHost();
    if (log_)
      log_(QStringLiteral("%1 %2 -> (%3)")
               .arg(QString::fromUtf8(request.method), QString::fromUtf8(request.path), response.note));
    return;
  }
  QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status) + "\r\n";
  head += "Content-Type: " + response.contentType + "\r\n";
  head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
  head += "Connection: close\r\n\r\n";
  socket->write(head);
  socket->write(response.body);
  socket->disconnectFromHost();  // after everything written has gone out
  if (log_) {
    log_(QStringLiteral("%1 %2 -> %3 (%4 bytes in, %5 bytes out)%6")
             .arg(QString::fromUtf8(request.method), QString::fromUtf8(request.path))
             .arg(response.status)
             .arg(request.body.size())
             .arg(response.body.size())
             .arg(response.note.isEmpty() ? QString() : QStringLiteral("  ") + response.note));
  }
}

}  // namespace murmela::devbackend
