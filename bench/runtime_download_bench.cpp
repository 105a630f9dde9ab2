// Peak memory of the runtime archive download against local servers that
// send an endless body as fast as it is taken: over HTTPS from a server whose
// TLS offers HTTP/2 and HTTP/1.1, over HTTPS with HTTP/1.1 alone, and over
// plain HTTP/1.1; with a receiving thread that is free or held up on every
// progress report (a busy GUI thread), and with a fast or a slow disk (every
// write to the staging file made to take as long as it would at --disk-mbps).
// Then what the user reads from a server that trickles a byte every
// --trickle-ms (given up after --trickle-seconds) and from a server that speaks
// HTTP/2 alone.
//
//   runtime_download_bench [--seconds N] [--stall-ms M] [--disk-mbps D]
//                          [--trickle-ms T] [--trickle-seconds S] [--texts-only]
//
// Prints, per case, the protocol the TLS server saw, the bytes written, the
// peak resident memory (VmHWM) and how far it rose above the resident memory
// at the start.
#include "privacy/PrivacyRuntimeDownload.h"
#include "privacy/PrivacyRuntimeError.h"
#include "support/EndlessTlsServer.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/syscall.h>
#include <unistd.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <thread>

using namespace murmela;

namespace {

std::atomic<double> slowDiskBytesPerSecond{0};

// Whether `fd` is a download's staging file ("<archive>.download-<UUID>").
bool isStagingFile(int fd) {
  char link[64];
  char target[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = ::readlink(link, target, sizeof target - 1);
  if (length <= 0) return false;
  target[length] = '\0';
  return std::strstr(target, ".download-") != nullptr;
}

}  // namespace

// The slow disk: every write() of the process goes through here (the bench's
// own definition wins over the C library's), and one to a staging file first
// waits as long as the disk would take for it.
extern "C" ssize_t write(int fd, const void* data, size_t size) {
  if (const double rate = slowDiskBytesPerSecond.load(); rate > 0 && isStagingFile(fd))
    std::this_thread::sleep_for(std::chrono::duration<double>(static_cast<double>(size) / rate));
  return ::syscall(SYS_write, fd, data, size);
}

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

void startDownload(const QUrl& source, const QString& target, PrivacyRuntimeDownload::ProgressHandler onProgress,
                   PrivacyRuntimeDownload::Completion completion, QObject* context, const QString& certificate) {
  PrivacyRuntimeDownload::Limits limits;
  limits.certificateAuthorities = certificate;
  PrivacyRuntimeDownload::start(source, target, std::move(onProgress), std::move(completion), context, limits);
}

struct Outcome {
  qint64 written = 0;
  qint64 startKiB = 0;
  qint64 peakKiB = 0;
  std::optional<QString> text;  // how it ended; absent: still running when the time was up
  double seconds = 0;
};

Outcome run(const QUrl& source, const QString& certificate, int seconds, int stallMs) {
  QTemporaryDir folder;
  Outcome outcome;
  outcome.startKiB = statusKiB("VmRSS", true);
  QElapsedTimer clock;
  clock.start();
  {
    QObject context;  // its end stops the download
    QEventLoop loop;
    startDownload(
        source, folder.filePath(QStringLiteral("runtime.tar.gz")),
        [&outcome, stallMs](const PrivacyRuntimeDownloadProgress& progress) {
          outcome.written = progress.downloadedBytes;
          if (stallMs > 0) QThread::msleep(stallMs);
        },
        [&outcome, &loop, &clock](std::optional<QString> staged, std::exception_ptr error) {
          outcome.seconds = clock.elapsed() / 1000.0;
          outcome.text = error ? PrivacyRuntimeError::describe(error)
                               : QStringLiteral("downloaded %1 bytes").arg(QFileInfo(*staged).size());
          loop.quit();
        },
        &context, certificate);
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    outcome.peakKiB = statusKiB("VmHWM");
  }
  if (!outcome.text) outcome.seconds = clock.elapsed() / 1000.0;
  return outcome;
}

int argument(const QStringList& arguments, const QString& name, int fallback) {
  const qsizetype at = arguments.indexOf(name);
  return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1).toInt() : fallback;
}

void printEnd(const char* name, const Outcome& outcome) {
  if (outcome.text) {
    std::printf("%-22s after %6.1f s: %s\n", name, outcome.seconds, qPrintable(*outcome.text));
  } else {
    std::printf("%-22s still running after %.1f s, %lld bytes written\n", name, outcome.seconds,
                static_cast<long long>(outcome.written));
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  qputenv("no_proxy", "*");
  const QStringList arguments = app.arguments();
  const int seconds = argument(arguments, QStringLiteral("--seconds"), 10);
  const int stallMs = argument(arguments, QStringLiteral("--stall-ms"), 20);
  const int diskMbps = argument(arguments, QStringLiteral("--disk-mbps"), 20);
  const int trickleMs = argument(arguments, QStringLiteral("--trickle-ms"), 20000);
  const int trickleSeconds = argument(arguments, QStringLiteral("--trickle-seconds"), 90);

  test::EndlessTlsServer both;
  test::EndlessTlsServer http1({QStringLiteral("--h1-only")});
  test::EndlessTlsServer http2({QStringLiteral("--h2-only"), QStringLiteral("--bytes"), QStringLiteral("10000000")});
  if (both.port.isEmpty() || http1.port.isEmpty() || http2.port.isEmpty()) {
    std::fprintf(stderr, "a TLS server did not start: %s\n", both.process.readAllStandardError().constData());
    return 1;
  }
  test::ScriptedHttpServer plain;
  test::ScriptedResponse endless = test::ScriptedResponse::text(200, QByteArray(1 << 18, 'a'));
  endless.chunkedWithoutLength = true;
  endless.repeatBody = std::numeric_limits<qint64>::max();
  plain.setDefault("/runtime.tar.gz", endless);
  test::ScriptedResponse trickle = test::ScriptedResponse::text(200, QByteArray(1000, 't'));
  trickle.chunkSize = 1;
  trickle.chunkIntervalMs = trickleMs;
  plain.setDefault("/trickle.tar.gz", trickle);

  if (!arguments.contains(QStringLiteral("--texts-only"))) {
    std::printf(
        "endless body for %d s; a stalled receiver waits %d ms per progress report; a slow disk writes %d MB/s\n",
        seconds, stallMs, diskMbps);
    std::printf("%-30s %-9s %-5s %-9s %12s %10s %10s\n", "server", "receiver", "disk", "protocol", "written MB",
                "peak MB", "added MB");
    struct Case {
      const char* name;
      test::EndlessTlsServer* tls;
    };
    for (const Case& server : {Case{"https (offers h2, http/1.1)", &both}, Case{"https (http/1.1 only)", &http1},
                               Case{"http/1.1", nullptr}}) {
      for (const bool slowDisk : {false, true}) {
        for (const int stall : {0, stallMs}) {
          slowDiskBytesPerSecond = slowDisk ? diskMbps * 1e6 : 0;
          const QUrl source =
              server.tls ? server.tls->url("/runtime.tar.gz") : plain.url(QStringLiteral("/runtime.tar.gz"));
          const Outcome outcome = run(source, server.tls ? server.tls->certificate() : QString(), seconds, stall);
          slowDiskBytesPerSecond = 0;
          const QByteArray protocol = server.tls ? server.tls->nextLine() : QByteArray("http/1.1");
          std::printf("%-30s %-9s %-5s %-9s %12.1f %10.1f %10.1f\n", server.name, stall ? "stalled" : "free",
                      slowDisk ? "slow" : "fast", protocol.constData(), outcome.written / 1e6,
                      outcome.peakKiB * 1024 / 1e6, (outcome.peakKiB - outcome.startKiB) * 1024 / 1e6);
          if (outcome.text) std::printf("  ended early: %s\n", qPrintable(*outcome.text));
          std::fflush(stdout);
        }
      }
    }
  }

  std::printf("what the user reads:\n");
  printEnd("HTTP/2-only server", run(http2.url("/runtime.tar.gz"), http2.certificate(), 60, 0));
  std::printf("%-22s (one byte every %d ms)\n", "trickle", trickleMs);
  printEnd("", run(plain.url(QStringLiteral("/trickle.tar.gz")), QString(), trickleSeconds, 0));
  return 0;
}
