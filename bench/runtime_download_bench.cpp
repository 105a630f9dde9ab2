// Peak memory of the runtime archive download against a local server that
// sends an endless body as fast as it is taken, over HTTPS (the server offers
// HTTP/2 and HTTP/1.1 in ALPN) and over plain HTTP/1.1, with a receiving
// thread that is free and one that is held up on every progress report (a
// busy GUI thread or a slow disk look the same to the download).
//
//   runtime_download_bench [--seconds N] [--stall-ms M]
//
// Prints, per case, the bytes written, the peak resident memory (VmHWM) and
// how far it rose above the resident memory at the start.
#include "privacy/PrivacyRuntimeDownload.h"
#include "privacy/PrivacyRuntimeError.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QNetworkProxy>
#include <QProcess>
#include <QSslCertificate>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <limits>

using namespace murmela;

namespace {

// A line of /proc/self/status in KiB; `resetPeak` first sets VmHWM back to what is resident now.
qint64 statusKiB(const QByteArray& name, bool resetPeak = false) {
  if (QFile clear("/proc/self/clear_refs"); resetPeak && clear.open(QIODevice::WriteOnly)) clear.write("5");
  QFile file("/proc/self/status");
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray text = file.readAll();
  const qsizetype at = text.indexOf(name + ':');
  return at < 0 ? -1 : text.mid(at + name.size() + 1).trimmed().split(' ').value(0).toLongLong();
}

struct Figures {
  qint64 written = 0;
  qint64 startKiB = 0;
  qint64 peakKiB = 0;
};

Figures measure(const QUrl& source, const QList<QSslCertificate>& trusted, int seconds, int stallMs) {
  QTemporaryDir folder;
  Figures figures;
  figures.startKiB = statusKiB("VmRSS", true);
  {
    QObject context;  // its end aborts the download
    PrivacyRuntimeDownload::start(
        source, folder.filePath("runtime.tar.gz"),
        [&figures, stallMs](const PrivacyRuntimeDownloadProgress& progress) {
          figures.written = progress.downloadedBytes;
          if (stallMs > 0) QThread::msleep(stallMs);
        },
        [](std::optional<QString>, std::exception_ptr error) {
          if (error) std::printf("  ended early: %s\n", qPrintable(PrivacyRuntimeError::describe(error)));
        },
        &context, trusted);
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    figures.peakKiB = statusKiB("VmHWM");
  }
  return figures;
}

int argument(const QStringList& arguments, const QString& name, int fallback) {
  const qsizetype at = arguments.indexOf(name);
  return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1).toInt() : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
  const QStringList arguments = app.arguments();
  const int seconds = argument(arguments, QStringLiteral("--seconds"), 10);
  const int stallMs = argument(arguments, QStringLiteral("--stall-ms"), 20);

  QTemporaryDir serverFolder;
  QProcess tls;
  tls.start(QStringLiteral("/usr/bin/python3"),
            {test::sourceDir() + QStringLiteral("/tests/scripts/endless_tls_server.py"), serverFolder.path()});
  if (!tls.waitForReadyRead(20000)) {
    std::fprintf(stderr, "the TLS server did not start: %s\n", tls.readAllStandardError().constData());
    return 1;
  }
  const QString port = QString::fromLatin1(tls.readLine().trimmed());
  const QUrl https(QStringLiteral("https://127.0.0.1:%1/runtime.tar.gz").arg(port));
  const QList<QSslCertificate> trusted = QSslCertificate::fromPath(serverFolder.filePath(QStringLiteral("cert.pem")));

  test::ScriptedHttpServer plain;
  test::ScriptedResponse endless = test::ScriptedResponse::text(200, QByteArray(1 << 18, 'a'));
  endless.chunkedWithoutLength = true;
  endless.repeatBody = std::numeric_limits<qint64>::max();
  plain.setDefault("/runtime.tar.gz", endless);

  std::printf("endless body for %d s; stalled receiver waits %d ms per progress report\n", seconds, stallMs);
  std::printf("%-28s %-10s %14s %12s %12s\n", "server", "receiver", "written MB", "peak MB", "added MB");
  struct Case {
    const char* name;
    QUrl source;
    QList<QSslCertificate> trusted;
  };
  for (const Case& server : {Case{"https (h2 and http/1.1)", https, trusted},
                             Case{"http/1.1", plain.url(QStringLiteral("/runtime.tar.gz")), {}}}) {
    for (const int stall : {0, stallMs}) {
      const Figures figures = measure(server.source, server.trusted, seconds, stall);
      std::printf("%-28s %-10s %14.1f %12.1f %12.1f\n", server.name, stall ? "stalled" : "free", figures.written / 1e6,
                  figures.peakKiB * 1024 / 1e6, (figures.peakKiB - figures.startKiB) * 1024 / 1e6);
      std::fflush(stdout);
    }
  }
  tls.kill();
  tls.waitForFinished();
  return 0;
}
