#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QThread;

namespace murmela::test {

// One scripted answer of the stand-in server.
struct ScriptedResponse {
  int status = 200;
  QList<QPair<QByteArray, QByteArray>> headers;
  QByteArray body;
  int delayMs = 0;                    // wait before answering
  bool dropConnection = false;        // close the connection without any answer byte
  bool chunkedWithoutLength = false;  // Transfer-Encoding: chunked, no Content-Length
  bool omitContentLength = false;     // body until the connection closes
  int chunkSize = 0;                  // > 0: send the body in pieces of this size ...
  int chunkIntervalMs = 0;            // ... this far apart
  qint64 repeatBody = 1;              // > 1: the body this many times (chunked), a huge number: no end
  bool held = false;                  // answered only at the next releaseHeld()

  static ScriptedResponse json(int status, const QByteArray& body);
  static ScriptedResponse text(int status, const QByteArray& body);
  static ScriptedResponse dropped();
  ScriptedResponse& withHeader(const QByteArray& name, const QByteArray& value);
  ScriptedResponse& withDelay(int milliseconds);
};

// One request as the server received it.
struct RecordedRequest {
  QByteArray method;
  QByteArray path;    // without the query
  QByteArray target;  // as sent, with the query
  QList<QPair<QByteArray, QByteArray>> headers;  // names as sent
  QByteArray body;
  std::chrono::steady_clock::time_point arrivedAt;  // when the whole request was read

  // The first header of that name (case-insensitive), or an empty value.
  QByteArray header(const QByteArray& name) const;
  bool hasHeader(const QByteArray& name) const;
};

// A scripted HTTP/1.1 server on 127.0.0.1 and a free port, running on its own
// thread. Answers come from per-path queues, then per-path handlers or
// defaults, then the fallback (404). Every request is recorded. Each answer
// closes its connection.
class ScriptedHttpServer {
 public:
  using Handler = std::function<ScriptedResponse(const RecordedRequest&)>;

  ScriptedHttpServer();
  ~ScriptedHttpServer();
  ScriptedHttpServer(const ScriptedHttpServer&) = delete;
  ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

  quint16 port() const { return port_; }
  QString baseUrl() const;                     // "http://127.0.0.1:<port>"
  QUrl url(const QString& path) const;         // base + path

  void enqueue(const QByteArray& path, ScriptedResponse response);
  void setDefault(const QByteArray& path, ScriptedResponse response);
  void setHandler(const QByteArray& path, Handler handler);  // used when the path's queue is empty
  void setFallback(Handler handler);                         // any other path
  void reset();  // forgets scripts and recorded requests
  // Sends the answers held so far (a backend that stalls until the test lets it go).
  void releaseHeld();

  QList<RecordedRequest> requests() const;
  QList<RecordedRequest> requests(const QByteArray& path) const;
  qsizetype requestCount() const;
  // Waits (without an event loop of the caller's) until `count` requests arrived.
  bool waitForRequestCount(qsizetype count, int timeoutMs = 5000) const;
  // Requests whose client closed the connection before the answer was sent
  // (an aborted request), and a wait for their number to reach `count`.
  qsizetype abandonedCount() const;
  bool waitForAbandonedCount(qsizetype count, int timeoutMs = 5000) const;

  // Called on the server thread for each complete request, and for each
  // connection closed by its client before its answer.
  ScriptedResponse respond(const RecordedRequest& request);
  void noteAbandoned();

 private:
  class Worker;

  mutable std::mutex lock_;
  mutable std::condition_variable arrived_;
  QHash<QByteArray, std::deque<ScriptedResponse>> queues_;
  QHash<QByteArray, Handler> handlers_;
  Handler fallback_;
  QList<RecordedRequest> requests_;
  qsizetype abandoned_ = 0;
  quint16 port_ = 0;
  Worker* worker_ = nullptr;  // lives on thread_
  std::unique_ptr<QThread> thread_;
};

}  // namespace murmela::test
