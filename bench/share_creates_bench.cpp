// Share-link creates made while another one is still on its way, on a backend
// (served from a thread of this process) that answers every create after a
// set time: when each create reached the backend and when it ended, in
// seconds from the first create, through the share links' worker as the app
// makes them. Three scenarios:
//   other contact  a create for a second contact, started 0.2 s after the
//                  first, whose handle and hash a fixed set of 16 locks
//                  (hashed as qHash(handle + "\n" + hash) % 16) would share
//                  with the first;
//   same contact   the same contact and report again at 0.2 s, and the list
//                  of shares asked for at 0.4 s;
//   stop           the backend stalls for three times as long; the same
//                  contact again at 0.2 s, whose stop is requested at 1.3 s.
// The folders it writes are under a temporary folder of its own.
//
//   share_creates_bench [--answer-after SECONDS]   (default 5)

#include "sharelinks/ShareContentHash.h"
#include "sharelinks/ShareLinkWorker.h"
#include "support/ReportSamples.h"
#include "support/ScriptedHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkProxy>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <iterator>
#include <stop_token>

using namespace murmela;
using namespace murmela::test;

namespace {

struct Create {
  Create(QString label, WrappedReport report, QString handle, double startAt = 0, double stopAt = -1)
      : label(std::move(label)), report(std::move(report)), handle(std::move(handle)), startAt(startAt), stopAt(stopAt) {}

  QString label;
  WrappedReport report;
  QString handle;
  double startAt;  // seconds after the first create
  double stopAt;   // when its stop is requested; < 0: never
  double endedAt = -1;
  QString outcome;
  std::stop_source stop;
};

WrappedReport reportFor(const QString& them) {
  WrappedReport report = fullReport();
  report.participantNames.them = them;
  return report;
}

// A handle for `report` whose key falls in the same one of 16 locks as the
// first handle's for `first`.
QString handleSharingALock(const QString& firstHandle, const WrappedReport& first, const WrappedReport& report) {
  const auto bucket = [](const QString& handle, const WrappedReport& of) {
    return qHash(handle + QLatin1Char('\n') + shareContentHash(of)) % 16;
  };
  for (int i = 0;; ++i) {
    const QString handle = QStringLiteral("+1555200%1").arg(i, 4, 10, QLatin1Char('0'));
    if (bucket(handle, report) == bucket(firstHandle, first)) return handle;
  }
}

QString outcomeOf(const WorkerOutcome<ShareLinkGenerationResult>& outcome) {
  if (outcome.value) return outcome.value->fromLocalCache ? QStringLiteral("link from the cache") : QStringLiteral("new link");
  try {
    std::rethrow_exception(outcome.error);
  } catch (const MurmelaError& error) {
    return error.typeName();
  } catch (...) {
    return QStringLiteral("other failure");
  }
}

// Runs the creates against a backend that answers after `answerAfter`
// seconds, then prints when each reached it and ended.
void runScenario(const char* title, double answerAfter, QList<Create>& creates, double listAt = -1) {
  // Each create registers with an app version of its own ("bench-<index>")
  // and gets it back in its token, which tells its request apart.
  ScriptedHttpServer server;
  server.setHandler("/v1/register", [](const RecordedRequest& request) {
    const QString version = QJsonDocument::fromJson(request.body).object().value("app_version").toString();
    return ScriptedResponse::json(200, QJsonDocument(QJsonObject{{"auth_token", "token-" + version}}).toJson());
  });
  server.setHandler("/v1/shares", [answerAfter](const RecordedRequest& request) {
    const QJsonObject body = QJsonDocument::fromJson(request.body).object();
    const QString them = body.value("contact_display").toString();
    const QByteArray answer = R"({"share_id":")" + them.toUtf8() + R"(","share_url":"https://murmela.test/s/)" +
                              them.toUtf8() + R"(","content_hash":")" + shareContentHash(reportFor(them)).toUtf8() +
                              R"(","expires_at":"2999-01-01T00:00:00Z"})";
    return ScriptedResponse::json(201, answer).withDelay(int(answerAfter * 1000));
  });
  QObject receiver;
  QElapsedTimer clock;
  const auto started = std::chrono::steady_clock::now();
  clock.start();
  const auto seconds = [&clock] { return clock.nsecsElapsed() / 1e9; };
  int ended = 0;
  double listedAt = -1;
  for (qsizetype i = 0; i < creates.size(); ++i) {
    Create& create = creates[i];
    const ShareLinkClient client(server.baseUrl(), QStringLiteral("bench-%1").arg(i));
    QTimer::singleShot(int(create.startAt * 1000), Qt::PreciseTimer, &receiver, [&, client, target = &create] {
      ShareLinkWorker::createShareLink(&receiver, client, target->report, target->handle,
                                       [&, target](WorkerOutcome<ShareLinkGenerationResult> outcome) {
                                         target->endedAt = seconds();
                                         target->outcome = outcomeOf(outcome);
                                         ++ended;
                                       },
                                       target->stop.get_token());
    });
    if (create.stopAt >= 0)
      QTimer::singleShot(int(create.stopAt * 1000), Qt::PreciseTimer, &receiver,
                         [target = &create] { target->stop.request_stop(); });
  }
  if (listAt >= 0)
    QTimer::singleShot(int(listAt * 1000), Qt::PreciseTimer, &receiver, [&] {
      ShareLinkWorker::activeShares(&receiver, [&](QList<ShareCacheEntry>) { listedAt = seconds(); });
    });
  while (ended < creates.size() || (listAt >= 0 && listedAt < 0)) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

  std::printf("\n%s (answers after %.1f s)\n", title, answerAfter);
  std::printf("  %-34s %9s %9s  %s\n", "create", "started", "sent", "ended");
  for (qsizetype i = 0; i < creates.size(); ++i) {
    const Create& create = creates[i];
    QString sent = QStringLiteral("-");
    for (const RecordedRequest& request : server.requests("/v1/shares"))
      if (request.header("Authorization") == QStringLiteral("Bearer token-bench-%1").arg(i).toUtf8())
        sent = QString::number(std::chrono::duration<double>(request.arrivedAt - started).count(), 'f', 2);
    std::printf("  %-34s %9.2f %9s  %.2f %s%s\n", qPrintable(create.label), create.startAt, qPrintable(sent),
                create.endedAt, qPrintable(create.outcome),
                create.stopAt >= 0 ? qPrintable(QStringLiteral(" (stop at %1)").arg(create.stopAt, 0, 'f', 2)) : "");
  }
  if (listAt >= 0) std::printf("  list of shares asked at %.2f, answered at %.2f\n", listAt, listedAt);
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
    qputenv(name, home.path().toUtf8() + '/' + name);
  QCoreApplication app(argc, argv);
  QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
  double answerAfter = 5;
  const QStringList arguments = app.arguments();
  if (const qsizetype at = arguments.indexOf("--answer-after"); at >= 0) answerAfter = arguments.value(at + 1).toDouble();

  const WrappedReport sam = reportFor(QStringLiteral("Sam")), alex = reportFor(QStringLiteral("Alex"));
  const QString samHandle = QStringLiteral("+15550001111");
  const QString alexHandle = handleSharingALock(samHandle, sam, alex);

  QList<Create> other;
  other.append(Create{QStringLiteral("Sam"), sam, samHandle});
  other.append(Create{QStringLiteral("Alex (shares Sam's lock)"), alex, alexHandle, 0.2});
  runScenario("other contact", answerAfter, other);

  QList<Create> same;
  same.append(Create{QStringLiteral("Sam"), reportFor(QStringLiteral("Sam2")), samHandle});
  same.append(Create{QStringLiteral("Sam again"), reportFor(QStringLiteral("Sam2")), samHandle, 0.2});
  runScenario("same contact", answerAfter, same, 0.4);

  QList<Create> stopped;
  stopped.append(Create{QStringLiteral("Sam"), reportFor(QStringLiteral("Sam3")), samHandle});
  stopped.append(Create{QStringLiteral("Sam again, stopped"), reportFor(QStringLiteral("Sam3")), samHandle, 0.2, 1.3});
  runScenario("stop", answerAfter * 3, stopped);
  return 0;
}
