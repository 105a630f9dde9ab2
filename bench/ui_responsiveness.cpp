// How long the GUI thread is kept from its event loop, through the real
// window (in a temporary home folder), measured by probe events posted to it
// from another thread and by the time each event takes (LatenessProbe):
//   1. a whole run on a 200,000-message Messages database with many other
//      contacts: the contact list, picking the conversation, its processing
//      (on-device analysis and the hosted steps on the development backend,
//      served in the process on a thread of its own) until the deck is shown
//      and its first slide painted;
//   2. the slideshow export of the deck's fourteen slides ("Download as
//      images", driven as the share sheet drives it) into a temporary folder.
// Prints the platform, device pixel ratio and scale factor it ran with, the
// totals, each phase's latest probe and longest event, and the longest events
// the GUI thread handled (receiver and event type), which say where it was
// kept. Run a RelWithDebInfo build; it runs offscreen unless given a platform
// (QT_QPA_PLATFORM or -platform), and at the scale QT_SCALE_FACTOR asks:
//
//   ui_responsiveness [--messages N] [--contacts N] [--backend child]
//   QT_SCALE_FACTOR=2 xvfb-run -s "-screen 0 1280x1024x24" ui_responsiveness -platform xcb --backend child
//
// With "--backend child" the development backend runs as a child process
// (murmela-dev-backend on a free port) and the sample database is written by
// another child, so the figures printed as the client's peak memory (VmHWM of
// this process) are the application's own; the backend's peak is printed
// beside it.
#include "DevBackend.h"
#include "app/AppCoordinator.h"
#include "deck/MurmelaDeckResultsView.h"
#include "screens/picker/ContactPickerView.h"
#include "sharing/ShareController.h"
#include "shell/MurmelaRootApp.h"
#include "shell/RootView.h"
#include "support/DevBackendMount.h"
#include "support/SampleChat.h"
#include "support/ScriptedHttpServer.h"
#include "testing/QuietDesktop.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaEnum>
#include <QNetworkProxy>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using namespace murmela;

namespace {

constexpr int kProbePauseUs = 500;           // between a probe's delivery and the next one's posting
constexpr qint64 kSlowEventNs = 16'000'000;  // events above this are listed
constexpr int kListedEvents = 6;

double ms(qint64 ns) { return static_cast<double>(ns) / 1e6; }

// One process-wide clock for the probes and the event timing.
QElapsedTimer& benchClock() {
  static QElapsedTimer timer;
  return timer;
}

// Times every event the GUI thread handles at the top level (a nested event,
// such as a paint inside a backing-store flush, counts in its outer one).
class TimedApplication : public QApplication {
 public:
  struct Slow {
    qint64 atNs = 0;
    qint64 durationNs = 0;
    QString phase;
    QByteArray receiver;
    int type = 0;
  };

  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    if (depth_ > 0 || !recording_ || QThread::currentThread() != thread()) return QApplication::notify(receiver, event);
    const int type = event->type();
    QByteArray name = receiver->metaObject()->className();
    const qint64 start = benchClock().nsecsElapsed();
    ++depth_;
    const bool handled = QApplication::notify(receiver, event);
    --depth_;
    const qint64 duration = benchClock().nsecsElapsed() - start;
    if (onEvent_) onEvent_(duration);
    if (duration >= kSlowEventNs) slow_.push_back({start, duration, phase_, std::move(name), type});
    return handled;
  }

  void record(bool on) {
    recording_ = on;
    if (on) slow_.clear();
  }
  void setPhase(const QString& phase) { phase_ = phase; }
  void onEvent(std::function<void(qint64 durationNs)> handler) { onEvent_ = std::move(handler); }
  std::vector<Slow> slowest() const {
    std::vector<Slow> sorted = slow_;
    std::sort(sorted.begin(), sorted.end(), [](const Slow& a, const Slow& b) { return a.durationNs > b.durationNs; });
    if (sorted.size() > kListedEvents) sorted.resize(kListedEvents);
    return sorted;
  }

 private:
  int depth_ = 0;
  bool recording_ = false;
  QString phase_;
  std::vector<Slow> slow_;
  std::function<void(qint64)> onEvent_;
};

// Measures how late the GUI thread's event loop comes to what is sent to
// it: a thread of its own posts a stamped probe event, waits for it to be
// delivered, pauses kProbePauseUs and posts the next, so one is almost always
// on its way; a probe's lateness is its delivery time less its posting time,
// charged to the phase shown when the probe before it was delivered. Beside
// it, the longest event the GUI thread handled in each phase (something
// posted when it began waits that long). A phase's worst lateness is the
// larger of the two.
class LatenessProbe : public QObject {
 public:
  struct PhaseFigures {
    qint64 startNs = 0;
    qint64 endNs = 0;
    qint64 worstNs = 0;
    qint64 worstAtNs = 0;
    QString worstInto;  // the phase shown when the late probe came, when another
    qint64 longestEventNs = 0;
    qint64 probes = 0;
  };

  explicit LatenessProbe(TimedApplication& app) : app_(app) {
    app_.onEvent([this](qint64 durationNs) {
      PhaseFigures& figures = phases_[phase_];
      figures.longestEventNs = std::max(figures.longestEventNs, durationNs);
    });
  }
  ~LatenessProbe() override { stopProber(); }

  void start(const QString& phase) {
    phases_.clear();
    order_.clear();
    startNs_ = benchClock().nsecsElapsed();
    phase_.clear();
    gapPhase_.clear();
    setPhase(phase);
    app_.record(true);
    running_ = true;
    delivered_ = true;
    prober_ = std::thread([this] { probe(); });
  }
  void setPhase(const QString& phase) {
    if (phase == phase_ && !order_.isEmpty()) return;
    const qint64 now = benchClock().nsecsElapsed();
    if (!order_.isEmpty()) phases_[phase_].endNs = now;
    phase_ = phase;
    app_.setPhase(phase);
    if (!phases_.contains(phase)) {
      order_.append(phase);
      phases_[phase].startNs = now;
    }
  }
  qint64 stop() {
    stopProber();
    QCoreApplication::sendPostedEvents(this, kProbeEvent);  // the last probe on its way
    app_.record(false);
    phases_[phase_].endNs = benchClock().nsecsElapsed();
    return phases_[phase_].endNs - startNs_;
  }

  void print(const char* title, qint64 totalNs) const {
    qint64 worst = 0;
    for (const PhaseFigures& figures : phases_) worst = std::max({worst, figures.worstNs, figures.longestEventNs});
    std::printf("%s: worst lateness %.1f ms, total %.2f s\n", title, ms(worst), static_cast<double>(totalNs) / 1e9);
    std::printf("  %-14s %9s  %-44s %13s %8s\n", "phase", "time", "latest probe", "longest event", "probes");
    for (const QString& name : order_) {
      const PhaseFigures& figures = phases_[name];
      QString latest = QString::asprintf("%6.1f ms", ms(figures.worstNs));
      if (figures.worstNs > 0)
        latest += QString::asprintf(" at %7.2f s", static_cast<double>(figures.worstAtNs - startNs_) / 1e9) +
                  (figures.worstInto.isEmpty() ? QString() : QStringLiteral(" (into ") + figures.worstInto + ")");
      std::printf("  %-14s %7.2f s  %-44s %10.1f ms %8lld\n", qPrintable(name),
                  static_cast<double>(figures.endNs - figures.startNs) / 1e9, qPrintable(latest),
                  ms(figures.longestEventNs), static_cast<long long>(figures.probes));
    }
    const std::vector<TimedApplication::Slow> slow = app_.slowest();
    if (!slow.empty()) std::printf("  longest GUI-thread events:\n");
    for (const TimedApplication::Slow& event : slow) {
      const char* type = QMetaEnum::fromType<QEvent::Type>().valueToKey(event.type);
      std::printf("    %6.1f ms at %7.2f s  %-14s %s to %s\n", ms(event.durationNs),
                  static_cast<double>(event.atNs - startNs_) / 1e9, qPrintable(event.phase), type ? type : "event",
                  event.receiver.constData());
    }
  }

 protected:
  bool event(QEvent* event) override {
    if (event->type() != kProbeEvent) return QObject::event(event);
    const qint64 now = benchClock().nsecsElapsed();
    const qint64 late = now - static_cast<const Probe*>(event)->postedNs;
    PhaseFigures& figures = phases_[gapPhase_.isEmpty() ? phase_ : gapPhase_];
    ++figures.probes;
    if (late > figures.worstNs) {
      figures.worstNs = late;
      figures.worstAtNs = now;
      figures.worstInto = gapPhase_.isEmpty() || gapPhase_ == phase_ ? QString() : phase_;
    }
    gapPhase_ = phase_;
    {
      const std::lock_guard lock(mutex_);
      delivered_ = true;
    }
    wake_.notify_one();
    return true;
  }

 private:
  static constexpr QEvent::Type kProbeEvent = static_cast<QEvent::Type>(QEvent::User + 733);
  static constexpr auto kProbePause = std::chrono::microseconds(kProbePauseUs);
  struct Probe : QEvent {
    explicit Probe(qint64 at) : QEvent(kProbeEvent), postedNs(at) {}
    qint64 postedNs;
  };

  void probe() {
    std::unique_lock lock(mutex_);
    while (running_) {
      wake_.wait(lock, [this] { return delivered_ || !running_; });
      if (!running_) break;
      delivered_ = false;
      lock.unlock();
      std::this_thread::sleep_for(kProbePause);
      QCoreApplication::postEvent(this, new Probe(benchClock().nsecsElapsed()));
      lock.lock();
    }
  }
  void stopProber() {
    {
      const std::lock_guard lock(mutex_);
      running_ = false;
    }
    wake_.notify_one();
    if (prober_.joinable()) prober_.join();
  }

  TimedApplication& app_;
  std::thread prober_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool running_ = false;
  bool delivered_ = true;
  qint64 startNs_ = 0;
  QString phase_;
  QString gapPhase_;  // the phase when the last probe came
  QMap<QString, PhaseFigures> phases_;
  QStringList order_;
};

// Runs the event loop until `done` holds or `timeoutMs` passes. The loop
// sleeps until an event comes, as the application's own loop does (a tick
// wakes it to look at `done`): processEvents with a time limit never sleeps,
// and a GUI thread that spins is the one a busy machine keeps waiting longest.
bool waitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer waited;
  waited.start();
  QTimer tick;
  tick.start(5);
  while (!done()) {
    if (waited.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

// Sets a flag once `widget` has been painted (after its paint event).
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QWidget* widget) : QObject(widget) { widget->installEventFilter(this); }
  bool painted = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted)
      QMetaObject::invokeMethod(
          this, [this] { painted = true; }, Qt::QueuedConnection);
    return false;
  }
};

int fail(const char* what) {
  std::fprintf(stderr, "ui_responsiveness: %s\n", what);
  return 1;
}

qsizetype optionValue(const QStringList& arguments, const QString& name, qsizetype fallback) {
  const qsizetype at = arguments.indexOf(name);
  return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1).toLongLong() : fallback;
}

// The peak resident memory of a process in MiB (VmHWM of /proc/<pid>/status),
// or -1 when it cannot be read.
double peakMemoryMiB(const QString& pid = QStringLiteral("self")) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  const QRegularExpression line(QStringLiteral("^VmHWM:\\s+(\\d+) kB"), QRegularExpression::MultilineOption);
  const QRegularExpressionMatch match = line.match(QString::fromLatin1(status.readAll()));
  return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : -1;
}

// The development backend as a child process on a free port; its base URL
// once it serves, empty when it did not start.
QString startChildBackend(QProcess& child) {
  child.setProgram(QStringLiteral(MURMELA_DEV_BACKEND_PATH));
  child.setArguments(
      {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--idle-timeout"), QStringLiteral("900")});
  child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  child.start();
  if (!child.waitForStarted(10000)) return {};
  const QRegularExpression serving(QStringLiteral("serving (http://\\S+)"));
  QByteArray seen;
  while (child.waitForReadyRead(10000)) {
    seen += child.readAll();
    const QRegularExpressionMatch match = serving.match(QString::fromUtf8(seen));
    if (match.hasMatch()) {
      // Its request log is read and dropped as it comes.
      QObject::connect(&child, &QProcess::readyReadStandardOutput, &child, [&child] { child.readAll(); });
      return match.captured(1);
    }
  }
  return {};
}

}  // namespace

int main(int argc, char* argv[]) {
  // A home of its own before Qt reads any location: nothing touches user data.
  QTemporaryDir root(QDir::tempPath() + QStringLiteral("/murmela-ui-bench-XXXXXX"));
  if (!root.isValid()) return fail("no temporary folder");
  QFile::setPermissions(root.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  const QDir home(root.path());
  for (const char* folder : {"home", "data", "config", "cache", "runtime", "downloads"}) home.mkpath(folder);
  QFile::setPermissions(home.filePath("runtime"),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  qputenv("HOME", home.filePath("home").toUtf8());
  qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
  qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
  qputenv("XDG_CACHE_HOME", home.filePath("cache").toUtf8());
  qputenv("XDG_RUNTIME_DIR", home.filePath("runtime").toUtf8());
  bool platformGiven = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
  for (int i = 1; i < argc; ++i) platformGiven = platformGiven || qstrcmp(argv[i], "-platform") == 0;
  if (!platformGiven) qputenv("QT_QPA_PLATFORM", "offscreen");
  benchClock().start();

  TimedApplication app(argc, argv);
  QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
  const QStringList arguments = QCoreApplication::arguments();
  const qsizetype messageCount = optionValue(arguments, QStringLiteral("--messages"), 200'000);
  const qsizetype contactCount = optionValue(arguments, QStringLiteral("--contacts"), 1'500);
  const qsizetype writeAt = arguments.indexOf(QStringLiteral("--write-database"));
  const bool childBackend =
      arguments.indexOf(QStringLiteral("--backend")) >= 0 &&
      arguments.value(arguments.indexOf(QStringLiteral("--backend")) + 1) == QLatin1String("child");

  test::SampleChatOptions options;
  options.messageCount = messageCount;
  const QString database = writeAt >= 0 ? arguments.value(writeAt + 1) : home.filePath(QStringLiteral("chat.db"));
  const auto writeDatabase = [&] {
    const test::SampleChat sample = test::makeSampleChat(options);
    test::writeSampleChatDatabase(sample, database, contactCount);
    std::printf("%lld messages with %s, %lld other contacts\n", static_cast<long long>(sample.messages.size()),
                qPrintable(sample.handle), static_cast<long long>(contactCount));
    std::fflush(stdout);
  };
  if (writeAt >= 0) {  // the database writer child of "--backend child"
    writeDatabase();
    return 0;
  }
  const QString handle = options.handle;

  std::unique_ptr<devbackend::DevBackend> backend;
  std::unique_ptr<test::ScriptedHttpServer> server;
  QProcess child;
  QString baseUrl;
  if (childBackend) {
    // The sample is made and written by a child too: its memory is not the client's.
    QProcess writer;
    writer.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    writer.setProcessEnvironment(environment);
    writer.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--write-database"), database, QStringLiteral("--messages"),
                  QString::number(messageCount), QStringLiteral("--contacts"), QString::number(contactCount)});
    if (!writer.waitForFinished(-1) || writer.exitStatus() != QProcess::NormalExit || writer.exitCode() != 0)
      return fail("the sample database was not written");
    baseUrl = startChildBackend(child);
    if (baseUrl.isEmpty()) return fail("the development backend did not start");
    std::printf("development backend: child process %lld at %s\n", static_cast<long long>(child.processId()),
                qPrintable(baseUrl));
  } else {
    writeDatabase();
    backend = std::make_unique<devbackend::DevBackend>();
    server = std::make_unique<test::ScriptedHttpServer>();
    test::mountDevBackend(*server, *backend);
    baseUrl = server->baseUrl();
  }

  MurmelaRootApp murmela({QStringLiteral("murmela"), QStringLiteral("-messagesDB"), database}, quietDesktop(baseUrl));
  AppCoordinator& coordinator = murmela.coordinator();
  RootView& window = murmela.window();
  murmela.show();
  std::printf("platform %s, device pixel ratio %.2f, QT_SCALE_FACTOR %s, screen %dx%d\n",
              qPrintable(QGuiApplication::platformName()), window.devicePixelRatioF(),
              qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qgetenv("QT_SCALE_FACTOR").constData() : "unset",
              window.screen() ? window.screen()->geometry().width() : 0,
              window.screen() ? window.screen()->geometry().height() : 0);
  std::fflush(stdout);
  if (!waitFor([&] { return coordinator.screen().is(AppScreen::Kind::welcome); }, 10000))
    return fail("the welcome screen did not come");
  coordinator.setHasAcceptedTerms(true);
  coordinator.getStarted();
  coordinator.selectIntelligence(IntelligenceChoice::cloud);
  waitFor([] { return false; }, 200);  // the welcome screen settles

  // ---- 1. The run ---------------------------------------------------------
  LatenessProbe probe(app);
  QMetaObject::Connection phases = QObject::connect(&coordinator, &AppCoordinator::screenChanged,
                                                    [&] { probe.setPhase(rawValue(coordinator.screen().kind())); });
  probe.start(QStringLiteral("contactPicker"));
  coordinator.confirmIntelligenceChoice();
  auto* picker = qobject_cast<ContactPickerView*>(window.screenWidget());
  if (!picker) return fail("the contact picker did not come");
  if (!waitFor([&] { return coordinator.contacts().size() > contactCount; }, 60000))
    return fail("the contacts did not load");
  probe.setPhase(QStringLiteral("list shown"));
  waitFor([] { return false; }, 300);  // the long list lays out and paints

  probe.setPhase(QStringLiteral("name sheet"));
  picker->selectHandle(handle);
  picker->wrapItUp();
  if (!picker->nameSheet()) return fail("no name sheet");
  waitFor([] { return false; }, 100);
  Q_EMIT picker->nameSheet()->confirmed();
  const qint64 processingStart = benchClock().nsecsElapsed();
  if (!waitFor(
          [&] {
            return !coordinator.screen().is(AppScreen::Kind::processing) &&
                   !coordinator.screen().is(AppScreen::Kind::contactPicker);
          },
          600000))
    return fail("the run did not end");
  auto* deck = qobject_cast<MurmelaDeckResultsView*>(window.screenWidget());
  if (!deck) {
    probe.stop();
    return fail(qPrintable(QStringLiteral("no deck: ") + coordinator.processingError().value_or(QString())));
  }
  auto* painted = new PaintWatch(deck);
  deck->update();  // its first paint may have come before the watch
  if (!waitFor([&] { return painted->painted; }, 10000)) return fail("the first slide was not painted");
  const qint64 processingEnd = benchClock().nsecsElapsed();
  const qint64 runTotal = probe.stop();
  QObject::disconnect(phases);
  std::printf("\n");
  probe.print("run (contact list to first slide)", runTotal);
  std::printf("  from confirming the name to the first slide: %.2f s\n",
              static_cast<double>(processingEnd - processingStart) / 1e9);
  std::printf("  peak memory so far: %s %.1f MiB\n", childBackend ? "client" : "client and backend", peakMemoryMiB());

  // ---- 2. The slideshow export ----------------------------------------------
  waitFor([] { return false; }, 300);
  const QString downloads = home.filePath(QStringLiteral("downloads"));
  ShareServices services = ShareServices::system();
  services.downloadsFolder = [downloads] { return downloads; };
  services.showFolder = [](const QString&) {};
  services.openUrl = [](const QUrl&) { return false; };
  services.copyImage = [](const QImage&, const QByteArray&) { return false; };
  services.copyText = [](const QString&) {};
  probe.start(QStringLiteral("export"));
  ShareController(deck->report(), deck->currentSlide(), deck->toast(), services)
      .perform(ShareDestination::downloadImage, ShareMode::slideshow);
  if (!waitFor([&] { return deck->toast().current().has_value(); }, 120000)) return fail("the export did not end");
  const qint64 exportTotal = probe.stop();
  std::printf("\n");
  probe.print("slideshow export", exportTotal);
  qsizetype files = 0;
  for (const QFileInfo& folder : QDir(downloads).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
    files += QDir(folder.filePath()).entryList({QStringLiteral("*.png")}, QDir::Files).size();
  std::printf("  toast \"%s\", %lld PNG files\n", qPrintable(deck->toast().current().value_or(QString())),
              static_cast<long long>(files));
  std::printf("\npeak memory (VmHWM): %s %.1f MiB\n", childBackend ? "client" : "client and in-process backend",
              peakMemoryMiB());
  if (childBackend) {
    std::printf("peak memory (VmHWM): development backend %.1f MiB\n",
                peakMemoryMiB(QString::number(child.processId())));
    child.kill();
    child.waitForFinished(5000);
  }
  std::fflush(stdout);
  coordinator.shutdown();
  return 0;
}
