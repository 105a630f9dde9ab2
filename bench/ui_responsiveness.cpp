// How long the GUI thread is kept from its event loop, through the real
// window (offscreen, in a temporary home folder), measured as the worst
// lateness of a 10 ms heartbeat timer:
//   1. a whole run on a 200,000-message Messages database with many other
//      contacts: the contact list, picking the conversation, its processing
//      (on-device analysis and the hosted steps on the development backend,
//      served in the process on a thread of its own) until the deck is shown
//      and its first slide painted;
//   2. the slideshow export of the deck's fourteen slides ("Download as
//      images", driven as the share sheet drives it) into a temporary folder.
// Prints the totals, the worst lateness of each phase, and the longest
// events the GUI thread handled (receiver and event type), which say where
// it was kept. Run a RelWithDebInfo build:
//
//   ui_responsiveness [--messages N] [--contacts N]
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
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

using namespace murmela;

namespace {

constexpr int kBeatMs = 10;
constexpr qint64 kSlowEventNs = 16'000'000;  // events above this are listed
constexpr int kListedEvents = 6;

double ms(qint64 ns) { return static_cast<double>(ns) / 1e6; }

// One process-wide clock for the heartbeat and the event timing.
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
    if (duration >= kSlowEventNs) slow_.push_back({start, duration, phase_, std::move(name), type});
    return handled;
  }

  void record(bool on) {
    recording_ = on;
    if (on) slow_.clear();
  }
  void setPhase(const QString& phase) { phase_ = phase; }
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
};

// A 10 ms precise timer; each beat's lateness is its distance from the last
// beat less the interval, charged to the phase the gap began in.
class Heartbeat {
 public:
  struct PhaseFigures {
    qint64 startNs = 0;
    qint64 endNs = 0;
    qint64 worstNs = 0;
    qint64 worstAtNs = 0;
    QString worstInto;  // the phase shown when the late beat came, when another
    int beats = 0;
  };

  explicit Heartbeat(TimedApplication& app) : app_(app) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kBeatMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { beat(); });
  }

  void start(const QString& phase) {
    phases_.clear();
    order_.clear();
    startNs_ = benchClock().nsecsElapsed();
    lastNs_ = startNs_;
    phase_.clear();
    gapPhase_.clear();
    setPhase(phase);
    app_.record(true);
    timer_.start();
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
    beat();
    timer_.stop();
    app_.record(false);
    phases_[phase_].endNs = benchClock().nsecsElapsed();
    return phases_[phase_].endNs - startNs_;
  }

  void print(const char* title, qint64 totalNs) const {
    qint64 worst = 0;
    for (const PhaseFigures& figures : phases_) worst = std::max(worst, figures.worstNs);
    std::printf("%s: worst lateness %.1f ms, total %.2f s\n", title, ms(worst), static_cast<double>(totalNs) / 1e9);
    for (const QString& name : order_) {
      const PhaseFigures& figures = phases_[name];
      std::printf("  %-14s %8.2f s  worst %6.1f ms", qPrintable(name),
                  static_cast<double>(figures.endNs - figures.startNs) / 1e9, ms(figures.worstNs));
      if (figures.worstNs > 0)
        std::printf(" at %7.2f s%s", static_cast<double>(figures.worstAtNs - startNs_) / 1e9,
                    figures.worstInto.isEmpty() ? "" : qPrintable(QStringLiteral(" (into ") + figures.worstInto + ")"));
      std::printf("\n");
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

 private:
  void beat() {
    const qint64 now = benchClock().nsecsElapsed();
    const qint64 late = std::max<qint64>(0, now - lastNs_ - kBeatMs * 1'000'000LL);
    PhaseFigures& figures = phases_[gapPhase_.isEmpty() ? phase_ : gapPhase_];
    ++figures.beats;
    if (late > figures.worstNs) {
      figures.worstNs = late;
      figures.worstAtNs = now;
      figures.worstInto = gapPhase_.isEmpty() || gapPhase_ == phase_ ? QString() : phase_;
    }
    lastNs_ = now;
    gapPhase_ = phase_;
  }

  TimedApplication& app_;
  QTimer timer_;
  qint64 startNs_ = 0;
  qint64 lastNs_ = 0;
  QString phase_;
  QString gapPhase_;  // the phase when the last beat came
  QMap<QString, PhaseFigures> phases_;
  QStringList order_;
};

// Runs the event loop until `done` holds or `timeoutMs` passes.
bool waitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer waited;
  waited.start();
  while (!done()) {
    if (waited.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
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
      QMetaObject::invokeMethod(this, [this] { painted = true; }, Qt::QueuedConnection);
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

}  // namespace

int main(int argc, char* argv[]) {
  // A home of its own before Qt reads any location: nothing touches user data.
  QTemporaryDir root(QDir::tempPath() + QStringLiteral("/murmela-ui-bench-XXXXXX"));
  if (!root.isValid()) return fail("no temporary folder");
  QFile::setPermissions(root.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  const QDir home(root.path());
  for (const char* folder : {"home", "data", "config", "cache", "runtime", "downloads"}) home.mkpath(folder);
  QFile::setPermissions(home.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  qputenv("HOME", home.filePath("home").toUtf8());
  qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
  qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
  qputenv("XDG_CACHE_HOME", home.filePath("cache").toUtf8());
  qputenv("XDG_RUNTIME_DIR", home.filePath("runtime").toUtf8());
  qputenv("QT_QPA_PLATFORM", "offscreen");
  benchClock().start();

  TimedApplication app(argc, argv);
  QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
  const QStringList arguments = QCoreApplication::arguments();
  const qsizetype messageCount = optionValue(arguments, QStringLiteral("--messages"), 200'000);
  const qsizetype contactCount = optionValue(arguments, QStringLiteral("--contacts"), 1'500);

  test::SampleChatOptions options;
  options.messageCount = messageCount;
  const test::SampleChat sample = test::makeSampleChat(options);
  const QString database = home.filePath(QStringLiteral("chat.db"));
  test::writeSampleChatDatabase(sample, database, contactCount);
  std::printf("%lld messages with %s, %lld other contacts\n", static_cast<long long>(sample.messages.size()),
              qPrintable(sample.handle), static_cast<long long>(contactCount));

  devbackend::DevBackend backend;
  test::ScriptedHttpServer server;
  test::mountDevBackend(server, backend);

  MurmelaRootApp murmela({QStringLiteral("murmela"), QStringLiteral("-messagesDB"), database},
                         quietDesktop(server.baseUrl()));
  AppCoordinator& coordinator = murmela.coordinator();
  RootView& window = murmela.window();
  murmela.show();
  if (!waitFor([&] { return coordinator.screen().is(AppScreen::Kind::welcome); }, 10000))
    return fail("the welcome screen did not come");
  coordinator.setHasAcceptedTerms(true);
  coordinator.getStarted();
  coordinator.selectIntelligence(IntelligenceChoice::cloud);
  waitFor([] { return false; }, 200);  // the welcome screen settles

  // ---- 1. The run ---------------------------------------------------------
  Heartbeat heartbeat(app);
  QMetaObject::Connection phases = QObject::connect(&coordinator, &AppCoordinator::screenChanged, [&] {
    heartbeat.setPhase(rawValue(coordinator.screen().kind()));
  });
  heartbeat.start(QStringLiteral("contactPicker"));
  coordinator.confirmIntelligenceChoice();
  auto* picker = qobject_cast<ContactPickerView*>(window.screenWidget());
  if (!picker) return fail("the contact picker did not come");
  if (!waitFor([&] { return coordinator.contacts().size() > contactCount; }, 60000))
    return fail("the contacts did not load");
  heartbeat.setPhase(QStringLiteral("list shown"));
  waitFor([] { return false; }, 300);  // the long list lays out and paints

  heartbeat.setPhase(QStringLiteral("name sheet"));
  picker->selectHandle(sample.handle);
  picker->wrapItUp();
  if (!picker->nameSheet()) return fail("no name sheet");
  waitFor([] { return false; }, 100);
  Q_EMIT picker->nameSheet()->confirmed();
  const qint64 processingStart = benchClock().nsecsElapsed();
  if (!waitFor([&] { return !coordinator.screen().is(AppScreen::Kind::processing) &&
                            !coordinator.screen().is(AppScreen::Kind::contactPicker); },
               600000))
    return fail("the run did not end");
  auto* deck = qobject_cast<MurmelaDeckResultsView*>(window.screenWidget());
  if (!deck) {
    heartbeat.stop();
    return fail(qPrintable(QStringLiteral("no deck: ") + coordinator.processingError().value_or(QString())));
  }
  auto* painted = new PaintWatch(deck);
  if (!waitFor([&] { return painted->painted; }, 10000)) return fail("the first slide was not painted");
  const qint64 processingEnd = benchClock().nsecsElapsed();
  const qint64 runTotal = heartbeat.stop();
  QObject::disconnect(phases);
  std::printf("\n");
  heartbeat.print("run (contact list to first slide)", runTotal);
  std::printf("  from confirming the name to the first slide: %.2f s\n",
              static_cast<double>(processingEnd - processingStart) / 1e9);

  // ---- 2. The slideshow export ----------------------------------------------
  waitFor([] { return false; }, 300);
  const QString downloads = home.filePath(QStringLiteral("downloads"));
  ShareServices services = ShareServices::system();
  services.downloadsFolder = [downloads] { return downloads; };
  services.showFolder = [](const QString&) {};
  services.openUrl = [](const QUrl&) { return false; };
  services.copyImage = [](const QImage&, const QByteArray&) { return false; };
  services.copyText = [](const QString&) {};
  heartbeat.start(QStringLiteral("export"));
  ShareController(deck->report(), deck->currentSlide(), deck->toast(), services)
      .perform(ShareDestination::downloadImage, ShareMode::slideshow);
  if (!waitFor([&] { return deck->toast().current().has_value(); }, 120000))
    return fail("the export did not end");
  const qint64 exportTotal = heartbeat.stop();
  std::printf("\n");
  heartbeat.print("slideshow export", exportTotal);
  qsizetype files = 0;
  for (const QFileInfo& folder : QDir(downloads).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
    files += QDir(folder.filePath()).entryList({QStringLiteral("*.png")}, QDir::Files).size();
  std::printf("  toast \"%s\", %lld PNG files\n", qPrintable(deck->toast().current().value_or(QString())),
              static_cast<long long>(files));
  std::fflush(stdout);
  coordinator.shutdown();
  return 0;
}
