#include "support/SampleChat.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <csignal>

using namespace murmela::test;

namespace {

QString builtApplication() {
  const QByteArray binaryDir = qgetenv("MURMELA_TEST_BINARY_DIR");
  return QString::fromLocal8Bit(binaryDir) + QStringLiteral("/src/app/murmela");
}

// Tells when an entry of a folder is opened by any process (inotify).
class OpenWatch {
 public:
  explicit OpenWatch(const QString& folder) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ >= 0) ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN);
  }
  ~OpenWatch() {
    if (fd_ >= 0) ::close(fd_);
  }
  OpenWatch(const OpenWatch&) = delete;
  OpenWatch& operator=(const OpenWatch&) = delete;

  bool waitFor(const QByteArray& name, int timeoutMs) {
    alignas(inotify_event) char buffer[4096];
    QDeadlineTimer deadline(timeoutMs);
    while (fd_ >= 0 && !deadline.hasExpired()) {
      pollfd ready{fd_, POLLIN, 0};
      if (::poll(&ready, 1, static_cast<int>(deadline.remainingTime())) <= 0) continue;
      const ssize_t count = ::read(fd_, buffer, sizeof buffer);
      for (ssize_t at = 0; at < count;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->len > 0 && name == event->name) return true;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return false;
  }

 private:
  int fd_;
};

}  // namespace

// The built application, started as a user would (offscreen, in a home of its
// own, on a sample conversation), ends with status 0 on a termination signal.
class QuitProcessTest : public QObject {
  Q_OBJECT

  QTemporaryDir folder_;
  QString database_;

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY2(QFileInfo(builtApplication()).isExecutable(), qPrintable(builtApplication()));
    database_ = folder_.filePath(QStringLiteral("chat.db"));
    writeSampleChatDatabase(makeSampleChat({.messageCount = 200}), database_);
  }

  // A second launch for the same user brings the first window to the front
  // and ends with 0, the first running on; a lock left by an ended instance
  // does not keep the next one from starting.
  void theApplicationQuitsOnASignal_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("before");
    QTest::newRow("SIGTERM") << SIGTERM << "";
    QTest::newRow("SIGINT") << SIGINT << "";
    QTest::newRow("SIGHUP") << SIGHUP << "";
    QTest::newRow("SIGTERM after a second launch") << SIGTERM << "second launch";
    QTest::newRow("SIGTERM, started over a stale lock") << SIGTERM << "stale lock";
  }
  void theApplicationQuitsOnASignal() {
    QFETCH(int, signalNumber);
    QFETCH(QString, before);
    QTemporaryDir home;
    const QString appFolder = home.filePath(QStringLiteral("data/murmela-app"));
    QVERIFY(QDir().mkpath(appFolder + QStringLiteral("/reports")));
    if (before == "stale lock") {
      QFile lock(appFolder + "/murmela.lock");
      QVERIFY(lock.open(QIODevice::WriteOnly));
      lock.write("4194305\nmurmela\n" + QSysInfo::machineHostName().toUtf8() + "\n");  // no process has that id
    }
    QProcessEnvironment environment = environmentWithHome(home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QProcess process;
    process.setProgram(builtApplication());
    process.setArguments({QStringLiteral("-messagesDB"), database_});
    process.setProcessEnvironment(environment);
    // Whatever the test runner ignores or blocks, the application starts with
    // the signals' usual dispositions.
    process.setChildProcessModifier([] {
      for (const int number : {SIGTERM, SIGINT, SIGHUP}) ::signal(number, SIG_DFL);
      sigset_t none;
      sigemptyset(&none);
      ::sigprocmask(SIG_SETMASK, &none, nullptr);
    });

    // The boot lists the saved reports first, once the window is shown and
    // the event loop runs: that opening of the reports folder tells that the
    // application is up.
    OpenWatch watch(appFolder);
    process.start();
    QVERIFY(process.waitForStarted(10000));
    const bool up = watch.waitFor("reports", 30000);
    QVERIFY2(up, process.readAllStandardError().constData());
    if (before == "second launch") {
      QProcess second;
      second.setProcessEnvironment(environment);
      second.start(builtApplication(), {QStringLiteral("-fakeData")});
      QVERIFY2(second.waitForFinished(10000), "a second instance runs");
      QCOMPARE(second.exitCode(), 0);
      QVERIFY(second.readAllStandardError().contains("-fakeData"));  // not applied, and said so
    }

    ::kill(static_cast<pid_t>(process.processId()), signalNumber);
    QVERIFY2(process.waitForFinished(5000), "still running 5 s after the signal");
    const QByteArray errors = process.readAllStandardError();
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == 0, errors.constData());
    // No warning of a thread, object or notifier torn down too late.
    for (const char* warning : {"QThread", "QObject", "QSocketNotifier", "QEventLoop", "QTimer"})
      QVERIFY2(!errors.contains(warning), errors.constData());
  }
};

MURMELA_TEST(QuitProcessTest)
#include "QuitProcessTest.moc"
