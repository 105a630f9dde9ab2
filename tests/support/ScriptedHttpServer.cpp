#include "support/ScriptedHttpServer.h"

#include <QEventLoop>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <future>

namespace murmela::test {
namespace {

QByteArray reasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 409: return "Conflict";
    case 410: return "Gone";
    case 413: return "Payload Too Large";
    case 422: return "Unprocessable Entity";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    default: return "Status";
  }
}

// Parses one complete request from the buffer; false while more bytes are needed.
bool parseRequest(const QByteArray& buffer, RecordedRequest* request) {
  const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
  if (headerEnd < 0) return false;
  const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
  const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
  request->method = requestLine.value(0);
  request->target = requestLine.value(1);
  const qsizetype query = request->target.indexOf('?');
  request->path = query >= 0 ? request->target.left(query) : request->target;
  request->headers.clear();
  qsizetype contentLength = 0;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArray line = lines[i].trimmed();
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0) continue;
    const QByteArray name = line.left(colon).trimmed();
    const QByteArray value = line.mid(colon + 1).trimmed();
    request->headers.append({name, value});
    if (name.compare("content-length", Qt::CaseInsensitive) == 0) contentLength = value.toLongLong();
  }
  if (buffer.size() < headerEnd + 4 + contentLength) return false;
  request->body = buffer.mid(headerEnd + 4, contentLength);
  return true;
}

}  // namespace

ScriptedResponse ScriptedResponse::json(int status, const QByteArray& body) {
  ScriptedResponse response;
  response.status = status;
  response.body = body;
  response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/json")));
  return response;
}

ScriptedResponse ScriptedResponse::text(int status, const QByteArray& body) {
  ScriptedResponse response;
  response.status = status;
  response.body = body;
  response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/plain; charset=utf-8")));
  return response;
}

ScriptedResponse ScriptedResponse::dropped() {
  ScriptedResponse response;
  response.dropConnection = true;
  return response;
}

ScriptedResponse& ScriptedResponse::withHeader(const QByteArray& name, const QByteArray& value) {
  headers.append({name, value});
  return *this;
}

ScriptedResponse& ScriptedResponse::withDelay(int milliseconds) {
  delayMs = milliseconds;
  return *this;
}

QByteArray RecordedRequest::header(const QByteArray& name) const {
  for (const auto& [key, value] : headers)
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  return {};
}

bool RecordedRequest::hasHeader(const QByteArray& name) const {
  for (const auto& header : headers)
    if (header.first.compare(name, Qt::CaseInsensitive) == 0) return true;
  return false;
}

// Lives on the server thread: accepts connections, reads requests, writes answers.
class ScriptedHttpServer::Worker : public QObject {
 public:
  explicit Worker(ScriptedHttpServer* owner) : owner_(owner) {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) accept(socket);
    });
  }

  quint16 listen() { return server_.listen(QHostAddress::LocalHost, 0) ? server_.serverPort() : 0; }

  void releaseHeld() {
    for (const std::function<void()>& send : std::exchange(held_, {})) send();
  }

 private:
  void accept(QTcpSocket* socket) {
    auto buffer = std::make_shared<QByteArray>();
    auto answered = std::make_shared<bool>(false);  // the request is complete
    auto replied = std::make_shared<bool>(false);   // its answer has begun
    connect(socket, &QTcpSocket::disconnected, this, [this, socket, answered, replied] {
      if (*answered && !*replied) owner_->noteAbandoned();
      socket->deleteLater();
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer, answered, replied] {
      buffer->append(socket->readAll());
      RecordedRequest request;
      if (*answered || !parseRequest(*buffer, &request)) return;
      *answered = true;
      const ScriptedResponse response = owner_->respond(request);
      QPointer<QTcpSocket> guarded(socket);
      auto send = [this, guarded, response, replied] {
        if (!guarded) return;
        *replied = true;
        answer(guarded, response);
      };
      if (response.held)
        held_.append(send);
      else
        QTimer::singleShot(response.delayMs, Qt::PreciseTimer, this, send);
    });
  }

  void answer(QTcpSocket* socket, const ScriptedResponse& response) {
    if (response.dropConnection) {
      socket->abort();
      socket->deleteLater();
      return;
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status) + "\r\n";
    for (const auto& [name, value] : response.headers) head += name + ": " + value + "\r\n";
    if (response.chunkedWithoutLength) {
      head += "Transfer-Encoding: chunked\r\n";
    } else if (!response.omitContentLength) {
      head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    }
    head += "Connection: close\r\n\r\n";
    socket->write(head);

    QList<QByteArray> pieces;
    const int size = response.chunkSize > 0 ? response.chunkSize : static_cast<int>(std::max<qsizetype>(response.body.size(), 1));
    for (qsizetype at = 0; at < response.body.size(); at += size) pieces.append(response.body.mid(at, size));
    writePieces(QPointer<QTcpSocket>(socket), pieces, 0, response);
  }

  void writePieces(QPointer<QTcpSocket> socket, QList<QByteArray> pieces, qsizetype index, const ScriptedResponse& response) {
    if (!socket) return;
    if (pieces.isEmpty() || index / pieces.size() >= response.repeatBody) {
      if (response.chunkedWithoutLength) socket->write("0\r\n\r\n");
      socket->disconnectFromHost();
      return;
    }
    const QByteArray& piece = pieces[index % pieces.size()];
    if (socket->bytesToWrite() > piece.size()) {  // a client slower than the pieces: wait for it
      QTimer::singleShot(1, this, [=, this] { writePieces(socket, pieces, index, response); });
      return;
    }
    if (response.chunkedWithoutLength) {
      socket->write(QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n");
    } else {
      socket->write(piece);
    }
    socket->flush();
    QTimer::singleShot(response.chunkIntervalMs, this, [this, socket, pieces, index, response] {
      writePieces(socket, pieces, index + 1, response);
    });
  }

  ScriptedHttpServer* owner_;
  QTcpServer server_;
  QList<std::function<void()>> held_;
};

ScriptedHttpServer::ScriptedHttpServer() {
  std::promise<quint16> listening;
  std::future<quint16> port = listening.get_future();
  thread_.reset(QThread::create([this, &listening] {
    Worker worker(this);
    worker_ = &worker;
    listening.set_value(worker.listen());
    QEventLoop loop;  // QThread::quit() ends it
    loop.exec();
  }));
  thread_->start();
  port_ = port.get();
}

ScriptedHttpServer::~ScriptedHttpServer() {
  thread_->quit();
  thread_->wait();
}

QString ScriptedHttpServer::baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

QUrl ScriptedHttpServer::url(const QString& path) const { return QUrl(baseUrl() + path); }

void ScriptedHttpServer::releaseHeld() {
  QMetaObject::invokeMethod(worker_, [worker = worker_] { worker->releaseHeld(); }, Qt::QueuedConnection);
}

void ScriptedHttpServer::enqueue(const QByteArray& path, ScriptedResponse response) {
  std::lock_guard guard(lock_);
  queues_[path].push_back(std::move(response));
}

void ScriptedHttpServer::setDefault(const QByteArray& path, ScriptedResponse response) {
  setHandler(path, [response](const RecordedRequest&) { return response; });
}

void ScriptedHttpServer::setHandler(const QByteArray& path, Handler handler) {
  std::lock_guard guard(lock_);
  handlers_.insert(path, std::move(handler));
}

void ScriptedHttpServer::setFallback(Handler handler) {
  std::lock_guard guard(lock_);
  fallback_ = std::move(handler);
}

void ScriptedHttpServer::reset() {
  std::lock_guard guard(lock_);
  queues_.clear();
  handlers_.clear();
  fallback_ = nullptr;
  requests_.clear();
  abandoned_ = 0;
}

QList<RecordedRequest> ScriptedHttpServer::requests() const {
  std::lock_guard guard(lock_);
  return requests_;
}

QList<RecordedRequest> ScriptedHttpServer::requests(const QByteArray& path) const {
  std::lock_guard guard(lock_);
  QList<RecordedRequest> matching;
  for (const RecordedRequest& request : requests_)
    if (request.path == path) matching.append(request);
  return matching;
}

qsizetype ScriptedHttpServer::requestCount() const {
  std::lock_guard guard(lock_);
  return requests_.size();
}

bool ScriptedHttpServer::waitForRequestCount(qsizetype count, int timeoutMs) const {
  std::unique_lock guard(lock_);
  return arrived_.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return requests_.size() >= count; });
}

qsizetype ScriptedHttpServer::abandonedCount() const {
  std::lock_guard guard(lock_);
  return abandoned_;
}

bool ScriptedHttpServer::waitForAbandonedCount(qsizetype count, int timeoutMs) const {
  std::unique_lock guard(lock_);
  return arrived_.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return abandoned_ >= count; });
}

void ScriptedHttpServer::noteAbandoned() {
  std::lock_guard guard(lock_);
  ++abandoned_;
  arrived_.notify_all();
}

ScriptedResponse ScriptedHttpServer::respond(const RecordedRequest& request) {
  Handler handler;
  {
    std::lock_guard guard(lock_);
    requests_.append(request);
    requests_.last().arrivedAt = std::chrono::steady_clock::now();
    arrived_.notify_all();
    auto queue = queues_.find(request.path);
    if (queue != queues_.end() && !queue->empty()) {
      ScriptedResponse response = std::move(queue->front());
      queue->pop_front();
      return response;
    }
    handler = handlers_.value(request.path, fallback_);
  }
  if (handler) return handler(request);
  return ScriptedResponse::text(404, "no script for " + request.path);
}

}  // namespace murmela::test
