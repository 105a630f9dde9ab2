#include "PrivacyTestSupport.h"
#include "common/HttpReply.h"
#include "privacy/PrivacyRuntimeDownload.h"
#include "privacy/PrivacyRuntimeError.h"
#include "privacy/PrivacyRuntimeManager.h"
#include "support/EndlessTlsServer.h"
#include "support/FullFileSystem.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QTcpServer>
#include <QTest>
#include <QThread>

#include <limits>
#include <memory>
#include <sys/file.h>

using namespace murmela;
using namespace murmela::test;

namespace {

const QByteArray kPath = QByteArray("/runtime/") + PrivacyRuntimeManager::kArchiveFileName;
const QString kPrefix = QStringLiteral("Could not download Murmela privacy runtime: ");

struct DownloadAnswer {
  int calls = 0;
  std::optional<QString> archive;
  std::exception_ptr error;
  QList<PrivacyRuntimeDownloadProgress> progress;
  QString errorText() const { return PrivacyRuntimeError::describe(error); }
};

QByteArray randomBytes(int size) {
  QByteArray bytes(size, Qt::Uninitialized);
  QRandomGenerator generator(7);
  for (char& byte : bytes) byte = static_cast<char>(generator.bounded(256));
  return bytes;
}

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A line of /proc/self/status in KiB; `resetPeak` first sets VmHWM back to what is resident now.
double residentKiB(const QByteArray& name, bool resetPeak = false) {
  if (QFile clear("/proc/self/clear_refs"); resetPeak && clear.open(QIODevice::WriteOnly)) clear.write("5");
  const QByteArray text = contents("/proc/self/status");
  return text.mid(text.indexOf(name + ':') + name.size() + 1).trimmed().split(' ').value(0).toDouble();
}

}  // namespace

// The archive download: streamed to a staging file, progress with and without
// a length, one answer per download, nothing left behind on failure.
class PrivacyRuntimeDownloadTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TestEnvironment> environment_;

  QString downloads() const { return environment_->appFolder() + QStringLiteral("/privacy-runtime/downloads"); }
  QString destination() const { return downloads() + '/' + PrivacyRuntimeManager::kArchiveFileName; }

  // A download started directly, run to its end (or 20 s).
  static DownloadAnswer downloadDirectly(const QUrl& source, const QString& target,
                                         const PrivacyRuntimeDownload::Limits& limits) {
    QObject context;
    DownloadAnswer answer;
    PrivacyRuntimeDownload::start(
        source, target, nullptr,
        [&answer](std::optional<QString> archive, std::exception_ptr error) {
          ++answer.calls;
          answer.archive = archive;
          answer.error = error;
        },
        &context, limits);
    waitUntil([&] { return answer.calls > 0; }, 20000);
    return answer;
  }

  DownloadAnswer download(const QString& base, PrivacyRuntimeManager::MoveItem moveItem = {}) {
    PrivacyRuntimeManager::Options options;
    options.downloadBase = base;
    options.moveItem = std::move(moveItem);
    QObject context;
    auto answer = std::make_shared<DownloadAnswer>();
    PrivacyRuntimeManager(options).downloadRuntimeArchive(
        &context, [answer](const PrivacyRuntimeDownloadProgress& report) { answer->progress.append(report); },
        [answer](std::optional<QString> archive, std::exception_ptr error) {
          ++answer->calls;
          answer->archive = archive;
          answer->error = error;
        });
    waitUntil([&] { return answer->calls > 0; }, 20000);
    waitUntil([] { return false; }, 100);  // a second answer would arrive here
    return *answer;
  }

 private Q_SLOTS:
  void init() { environment_ = std::make_unique<TestEnvironment>(); }
  void cleanup() { environment_.reset(); }

  void bodyArrivesWhole_data() {
    QTest::addColumn<QString>("framing");
    QTest::newRow("Content-Length") << "length";
    QTest::newRow("chunked, no length") << "chunked";
    QTest::newRow("until the connection closes") << "close";
  }

  void bodyArrivesWhole() {
    QFETCH(QString, framing);
    const QByteArray body = randomBytes(300000);
    ScriptedHttpServer server;
    ScriptedResponse response = ScriptedResponse::text(200, body);
    response.chunkSize = 32768;
    response.chunkIntervalMs = 2;
    response.chunkedWithoutLength = framing == "chunked";
    response.omitContentLength = framing == "close";
    server.enqueue(kPath, response);

    const DownloadAnswer answer = download(server.baseUrl() + "/runtime");
    QCOMPARE(answer.calls, 1);
    QVERIFY2(!answer.error, qPrintable(answer.errorText()));
    QCOMPARE(answer.archive, std::optional<QString>(destination()));
    QCOMPARE(contents(destination()), body);
    QCOMPARE(entriesOf(downloads()), QStringList{PrivacyRuntimeManager::kArchiveFileName});
    QCOMPARE(server.requests(kPath).value(0).header("Accept-Encoding"), QByteArray("identity"));
    QCOMPARE(server.requests(kPath).value(0).header("User-Agent"), HttpReply::userAgent());

    QVERIFY(answer.progress.size() >= 2);
    qint64 previous = 0;
    for (const PrivacyRuntimeDownloadProgress& report : answer.progress) {
      QVERIFY(report.downloadedBytes > previous);
      previous = report.downloadedBytes;
      QCOMPARE(report.totalBytes, framing == "length" ? std::optional<qint64>(body.size()) : std::nullopt);
      QVERIFY(report.bytesPerSecond > 0);
    }
    QCOMPARE(previous, body.size());
  }

  void progressReading_data() {
    QTest::addColumn<qint64>("written");
    QTest::addColumn<qint64>("expected");
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<double>("speed");
    QTest::addColumn<qint64>("total");  // -1: absent
    QTest::newRow("first 50 ms count as 0.1 s") << qint64(1000) << qint64(5000) << 0.05 << 10000.0 << qint64(5000);
    QTest::newRow("no time at all") << qint64(1000) << qint64(-1) << 0.0 << 10000.0 << qint64(-1);
    QTest::newRow("a length of 0 is unknown") << qint64(500) << qint64(0) << 2.0 << 250.0 << qint64(-1);
    QTest::newRow("average since the start") << qint64(4000000) << qint64(8000000) << 2.0 << 2000000.0 << qint64(8000000);
  }

  void progressReading() {
    QFETCH(qint64, written);
    QFETCH(qint64, expected);
    QFETCH(double, elapsed);
    QFETCH(double, speed);
    QFETCH(qint64, total);
    const PrivacyRuntimeDownloadProgress reading = PrivacyRuntimeDownloadProgress::reading(written, expected, elapsed);
    QCOMPARE(reading.downloadedBytes, written);
    QCOMPARE(reading.bytesPerSecond, speed);
    QCOMPARE(reading.totalBytes, total < 0 ? std::nullopt : std::optional<qint64>(total));
  }

  void failures_data() {
    QTest::addColumn<QString>("failure");
    QTest::newRow("404") << "404";
    QTest::newRow("500 after a body") << "500";
    QTest::newRow("refused connection") << "refused";
    QTest::newRow("body cut short") << "cut";
    QTest::newRow("dropped before any answer") << "dropped";
    QTest::newRow("archive cannot be moved into place") << "move";
    QTest::newRow("redirect loop") << "loop";
    QTest::newRow("500 with an endless body") << "endless 500";
    QTest::newRow("announced length past the ceiling") << "huge";
    QTest::newRow("no room for the announced length") << "no room";
    QTest::newRow("disk full under a body of unknown length") << "disk full";
  }

  void failures() {
    QFETCH(QString, failure);
    ScriptedHttpServer server;
    QString base = server.baseUrl() + "/runtime";
    if (failure == "404") server.setDefault(kPath, ScriptedResponse::text(404, "no such archive"));
    if (failure == "500") server.setDefault(kPath, ScriptedResponse::text(500, randomBytes(5000)));
    if (failure == "cut") {
      ScriptedResponse cut = ScriptedResponse::text(200, randomBytes(20000));
      cut.omitContentLength = true;
      cut.withHeader("Content-Length", "900000");
      server.setDefault(kPath, cut);
    }
    if (failure == "dropped") server.setDefault(kPath, ScriptedResponse::dropped());
    if (failure == "loop") server.setDefault(kPath, ScriptedResponse::text(302, "").withHeader("Location", kPath));
    ScriptedResponse body = ScriptedResponse::text(failure == "endless 500" ? 500 : 200, randomBytes(200000));
    body.omitContentLength = failure == "huge";
    body.chunkedWithoutLength = failure == "endless 500" || failure == "disk full";
    body.repeatBody = failure == "endless 500" ? std::numeric_limits<qint64>::max() : 1;
    if (failure == "huge") body.withHeader("Content-Length", "5000000000");
    if (QStringList{"endless 500", "huge", "no room", "disk full"}.contains(failure)) server.setDefault(kPath, body);
    std::optional<FullFileSystem> disk;
    if (failure == "no room" || failure == "disk full") {
      QVERIFY(QDir().mkpath(downloads()));
      disk.emplace(downloads()).fill();
      if (QStorageInfo(downloads()).rootPath() != downloads()) QSKIP("Needs the right to mount a small file system.");
    }
    PrivacyRuntimeManager::MoveItem moveItem;
    if (failure == "move") {
      server.setDefault(kPath, ScriptedResponse::text(200, randomBytes(5000)));
      moveItem = [](const QString&, const QString&) { return std::make_error_code(std::errc::no_space_on_device); };
    }
    if (failure == "refused") {
      QTcpServer probe;
      QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
      base = QStringLiteral("http://127.0.0.1:%1/runtime").arg(probe.serverPort());
      probe.close();
    }

    const DownloadAnswer answer = download(base, moveItem);
    QCOMPARE(answer.calls, 1);
    QVERIFY(answer.error);
    const QString message = answer.errorText();
    QVERIFY2(message.startsWith(kPrefix), qPrintable(message));
    QCOMPARE(message.count(kPrefix), 1);
    const QString url = base + '/' + PrivacyRuntimeManager::kArchiveFileName;
    if (failure == "404") QCOMPARE(message, kPrefix + url + " returned HTTP 404");
    if (failure.endsWith("500")) QCOMPARE(message, kPrefix + url + " returned HTTP 500");
    if (failure == "huge") QCOMPARE(message, kPrefix + "The download is larger than a runtime archive can be (4 GiB).");
    const QString advice = " Free some space there and try again.";
    if (failure == "no room") {
      QCOMPARE(message, kPrefix + "Not enough free space in " + downloads() +
                            ": the runtime archive needs 1 MB more and 0 MB are free." + advice);
    }
    if (failure == "disk full") QCOMPARE(message, kPrefix + "No space left in " + downloads() + "." + advice);
    if (failure == "refused") QCOMPARE(message, kPrefix + "Could not connect to the server.");
    if (failure == "dropped") QVERIFY(message.size() > kPrefix.size());
    if (failure == "loop") {
      QCOMPARE(message, kPrefix + "The server redirected the request more than 5 times.");
      QCOMPARE(server.requests(kPath).size(), 1 + PrivacyRuntimeDownload::kMaxRedirects);
    }
    if (failure == "cut") QCOMPARE(message, kPrefix + "The network connection was lost.");
    if (failure == "move") {
      QVERIFY2(message.startsWith(kPrefix + "Could not move " + downloads() + '/'), qPrintable(message));
      QVERIFY2(message.endsWith(" to " + destination() + ": No space left on device"), qPrintable(message));
    }
    // Neither a staging file nor a half archive stays behind.
    QStringList left = entriesOf(downloads());
    left.removeAll(".filler");  // the full disk's own
    QCOMPARE(left, QStringList{});
  }

  void endlessFastBodyStaysInBoundedMemory_data() {
    QTest::addColumn<QString>("protocol");
    QTest::newRow("HTTP/1.1") << "http/1.1";
    QTest::newRow("HTTP/2, negotiated over TLS") << "h2";
  }

  // An endless body from a server as fast as it is taken, and a receiver of
  // the progress that is held up on every report: memory stays near where it
  // was until the download is stopped, and the stop leaves nothing behind.
  void endlessFastBodyStaysInBoundedMemory() {
    QFETCH(QString, protocol);
    ScriptedHttpServer server;
    ScriptedResponse endless = ScriptedResponse::text(200, QByteArray(1 << 18, 'a'));
    endless.chunkedWithoutLength = true;
    endless.repeatBody = std::numeric_limits<qint64>::max();
    server.setDefault(kPath, endless);
    QTemporaryDir folder;
    QUrl source = server.url(QString::fromLatin1(kPath));
    std::optional<EndlessTlsServer> tls;
    PrivacyRuntimeDownload::Limits limits;
    if (protocol == "h2") {
      tls.emplace();
      QVERIFY2(!tls->port.isEmpty(), tls->process.readAllStandardError().constData());
      source = tls->url(kPath);
      limits.certificateAuthorities = tls->certificate();
    }
    qint64 written = 0;
    int calls = 0;
    [[maybe_unused]] const double before = residentKiB("VmRSS", true);  // unread under the sanitizers
    {
      QObject context;  // its end stops the download
      PrivacyRuntimeDownload::start(
          source, folder.filePath("runtime.tar.gz"),
          [&written](const PrivacyRuntimeDownloadProgress& progress) {
            written = progress.downloadedBytes;
            QThread::msleep(20);
          },
          [&calls](std::optional<QString>, std::exception_ptr) { ++calls; }, &context, limits);
      waitUntil([] { return false; }, 1500);
    }
    [[maybe_unused]] const double added = residentKiB("VmHWM") - before;
    if (tls) QCOMPARE(tls->nextLine(), QByteArray("h2"));
    QVERIFY(written > 1 << 20);
    QVERIFY(waitUntil([&] { return entriesOf(folder.path()).isEmpty(); }));
    QCOMPARE(calls, 0);
#ifndef __SANITIZE_ADDRESS__  // its quarantine keeps freed buffers resident
    QVERIFY2(added < 32 << 10, qPrintable(QStringLiteral("%1 KiB added").arg(added)));
#endif
  }

  // A server whose TLS offers HTTP/2 alone.
  void anHttp2OnlyServerIsDownloadedFrom() {
    EndlessTlsServer tls({"--h2-only", "--bytes", "300000"});
    QVERIFY2(!tls.port.isEmpty(), tls.process.readAllStandardError().constData());
    QTemporaryDir folder;
    PrivacyRuntimeDownload::Limits limits;
    limits.certificateAuthorities = tls.certificate();
    const DownloadAnswer answer = downloadDirectly(tls.url(kPath), folder.filePath("runtime.tar.gz"), limits);
    QVERIFY2(!answer.error, qPrintable(answer.errorText()));
    QCOMPARE(contents(answer.archive.value_or(QString())), QByteArray(300000, 'a'));
    QCOMPARE(tls.nextLine(), QByteArray("h2"));
  }

  // A redirect never takes an archive asked for over TLS to a plain connection.
  void aRedirectFromHttpsToHttpIsRefused() {
    ScriptedHttpServer plain;
    EndlessTlsServer tls({"--h1-only", "--redirect", plain.url(QString::fromLatin1(kPath)).toString()});
    QVERIFY2(!tls.port.isEmpty(), tls.process.readAllStandardError().constData());
    QTemporaryDir folder;
    PrivacyRuntimeDownload::Limits limits;
    limits.certificateAuthorities = tls.certificate();
    const DownloadAnswer answer = downloadDirectly(tls.url(kPath), folder.filePath("runtime.tar.gz"), limits);
    QCOMPARE(answer.errorText(), kPrefix + "The server redirected a secure request to an insecure address (" +
                                     plain.url(QString::fromLatin1(kPath)).toString() + ").");
    QCOMPARE(plain.requestCount(), 0);
  }

  // A byte now and then never reaches the idle time-out; the least rate ends it.
  void aTrickleFailsOnTheLeastRate() {
    ScriptedHttpServer server;
    ScriptedResponse trickle = ScriptedResponse::text(200, QByteArray(1000, 't'));
    trickle.chunkSize = 1;
    trickle.chunkIntervalMs = 100;
    server.setDefault(kPath, trickle);
    QTemporaryDir folder;
    PrivacyRuntimeDownload::Limits limits;
    limits.leastBytes = 1000;
    limits.leastRateWindowMs = 2000;
    const DownloadAnswer answer =
        downloadDirectly(server.url(QString::fromLatin1(kPath)), folder.filePath("runtime.tar.gz"), limits);
    QCOMPARE(answer.calls, 1);
    QCOMPARE(answer.errorText(), kPrefix + "The connection is too slow: fewer than 1000 bytes arrived in 2 seconds.");
    QCOMPARE(entriesOf(folder.path()), QStringList{});
  }

  // So are the staging files of downloads that were killed (no lock held), not that of one still running.
  void anEarlierArchiveIsReplaced() {
    QDir().mkpath(downloads());
    QFile old(destination()), dead(destination() + ".download-1"), running(destination() + ".download-2");
    for (QFile* file : {&old, &dead, &running}) QVERIFY(file->open(QIODevice::WriteOnly) && file->write("o") == 1);
    QCOMPARE(::flock(running.handle(), LOCK_EX | LOCK_NB), 0);
    old.close();
    dead.close();
    ScriptedHttpServer server;
    server.enqueue(kPath, ScriptedResponse::text(200, "new archive"));
    const DownloadAnswer answer = download(server.baseUrl() + "/runtime");
    QVERIFY2(!answer.error, qPrintable(answer.errorText()));
    QCOMPARE(contents(destination()), QByteArray("new archive"));
    QCOMPARE(entriesOf(downloads()), QStringList({QFileInfo(destination()).fileName(), QFileInfo(running).fileName()}));
  }

  void aVanishedStagingFileIsNoDownload() {
    ScriptedHttpServer server;
    server.enqueue(kPath, ScriptedResponse::text(200, "archive").withDelay(300));
    QTemporaryDir folder;
    const QString target = folder.filePath("runtime.tar.gz");
    QObject context;
    int calls = 0;
    QString message;
    PrivacyRuntimeDownload* download = PrivacyRuntimeDownload::start(
        server.url(QString::fromLatin1(kPath)), target, nullptr,
        [&](std::optional<QString>, std::exception_ptr error) {
          ++calls;
          message = PrivacyRuntimeError::describe(error);
        },
        &context);
    QVERIFY(download->stagingPath().startsWith(target + ".download-"));
    QVERIFY(QFile::remove(download->stagingPath()));
    QVERIFY(waitUntil([&] { return calls > 0; }));
    QCOMPARE(message, kPrefix + "Download finished without a file.");
    QCOMPARE(calls, 1);
  }

  // The stop closes the connection that still waits for its answer.
  void destroyingTheOwnerAbortsQuietly() {
    ScriptedHttpServer server;
    server.enqueue(kPath, ScriptedResponse::text(200, "archive").withDelay(30000));
    QTemporaryDir folder;
    const QString target = folder.filePath("runtime.tar.gz");
    int calls = 0;
    {
      QObject context;
      PrivacyRuntimeDownload::start(server.url(QString::fromLatin1(kPath)), target, nullptr,
                                    [&](std::optional<QString>, std::exception_ptr) { ++calls; }, &context);
      QVERIFY(waitUntil([&] { return server.requestCount() >= 1; }));
    }
    // Gone at once: a quit may follow straight away, before the transfer sees the stop.
    QCOMPARE(entriesOf(folder.path()), QStringList{});
    QVERIFY(server.waitForAbandonedCount(1));
    QVERIFY(waitUntil([&] { return entriesOf(folder.path()).isEmpty(); }));
    waitUntil([] { return false; }, 100);
    QCOMPARE(calls, 0);
  }
};

MURMELA_TEST(PrivacyRuntimeDownloadTest)
#include "PrivacyRuntimeDownloadTest.moc"
