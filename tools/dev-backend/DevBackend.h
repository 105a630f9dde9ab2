#pragma once

#include "common/Date.h"
#include "net/HttpTransport.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>
#include <optional>

namespace murmela::devbackend {

// One request as the development backend sees it (the HTTP layer, or a test,
// fills it in).
struct DevRequest {
  QByteArray method;
  QByteArray path;  // without the query
  HttpHeaders headers;
  QByteArray body;

  QByteArray header(const QByteArray& name) const;  // case-insensitive
};

struct DevResponse {
  int status = 200;
  QByteArray contentType = "application/json";
  QByteArray body;
  QString note;  // one line for the server's request log
  // Nothing is answered: the connection is closed once the request is read,
  // as a connection lost mid-exchange.
  bool dropConnection = false;
};

// A stand-in for the hosted backend that implements its whole contract with
// deterministic answers and keeps its state in memory: registration with
// bearer tokens, the three analysis steps, the three usage events, and share
// links with a daily limit, whose share_url answers a small page naming the
// share (410 once revoked). Errors are answered as the real backend does:
// {"detail": {"message", "status_code", "diagnostic_id", "run_id"}}, and for
// the share limit {"detail": {"message", "limit"}}; a handler that fails in
// any other way is answered 500 in the same form. Thread-safe.
class DevBackend {
 public:
  struct Options {
    QString publicBaseUrl = QStringLiteral("http://127.0.0.1:8787");  // origin of the share links it hands out
    int dailyShareLimit = 20;                                         // per install
    int shareLifetimeDays = 30;
    std::function<Date()> clock;  // the current time (Date::now when empty)
    // Called with each request before it is routed, under the lock (tests
    // make a handler fail through it).
    std::function<void(const DevRequest&)> onRequest;
    // Asked before each new share link is made: an answer it gives is sent in
    // the link's place (a front end's link errors are tried against it).
    std::function<std::optional<DevResponse>()> shareRefusal;
    // Asked before each analysis step: while it says so, the step's
    // connection is closed without an answer.
    std::function<bool()> dropAnalysisSteps;
  };

  DevBackend();
  explicit DevBackend(Options options);

  DevResponse handle(const DevRequest& request);
  void setPublicBaseUrl(QString origin);

  // "POST /v1/register", ... for the start-up banner.
  static QStringList servedRoutes();

  // What it has seen, for tests and the log.
  qsizetype registrationCount() const;
  QStringList events() const;  // event names in arrival order

 private:
  struct Share {
    QString installID;
    bool revoked = false;
    QString contactDisplay;
    Date expiresAt;
  };

  DevResponse route(const DevRequest& request);
  DevResponse registerInstall(const DevRequest& request);
  DevResponse analysisStep(const DevRequest& request, const QString& installID);
  DevResponse event(const QString& name, const DevRequest& request);
  DevResponse createShare(const DevRequest& request, const QString& installID);
  DevResponse revokeShare(const QString& shareID, const QString& installID);
  DevResponse sharePage(const QString& shareID);
  // The install a bearer token belongs to, or nothing.
  std::optional<QString> authenticate(const DevRequest& request) const;
  DevResponse error(int status, const QString& message, const std::optional<QString>& runID = std::nullopt);
  Date now() const;

  Options options_;
  mutable std::mutex lock_;
  QHash<QString, QString> tokens_;  // token -> install id
  qsizetype registrations_ = 0;
  qint64 diagnostics_ = 0;
  QMap<QString, Share> shares_;
  QHash<QString, QList<Date>> sharesCreated_;  // install id -> creation times
  qint64 shareSequence_ = 0;
  QStringList events_;
};

}  // namespace murmela::devbackend
