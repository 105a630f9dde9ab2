// The hybrid setup, processing and contact picker screens and their sheets,
// each in the states it shows, built on a real coordinator over stand-ins.
#include "GalleryRegistry.h"

#include "app/AppCoordinator.h"
#include "common/MurmelaError.h"
#include "kit/controls/PlainTextField.h"
#include "privacy/PrivacyFilterSetupState.h"
#include "screens/hybridsetup/HybridPrivacySetupView.h"
#include "screens/hybridsetup/PrivacySetupStatus.h"
#include "screens/picker/ContactPickerView.h"
#include "screens/processing/ProcessingView.h"
#include "sheets/ConfirmContactNameSheet.h"
#include "sheets/HybridSetupErrorSheet.h"
#include "shell/ScreenHosts.h"
#include "testing/HeldHostedRun.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>

#include <chrono>

namespace murmela::gallery {
namespace {

using State = PrivacyFilterSubStep::State;
using Kind = PrivacyFilterPhase::Kind;

constexpr QSizeF kScreen{390.0, 780.0};
const QList<qreal> kScales{3.0, 1.0};
constexpr std::chrono::milliseconds kWorkerWait{5000};

// ---- Stand-ins for the coordinator's neighbours ------------------------------

class LoadError : public MurmelaError {
 public:
  explicit LoadError(QString description) : description_(std::move(description)) {}
  QString typeName() const override { return QStringLiteral("WrappedDataError"); }
  QString description() const override { return description_; }
  int code() const override { return 2; }

 private:
  QString description_;
};

struct GalleryContact {
  QString handle;
  QString name;  // empty: no contact card
  qint64 messages;
  double first;  // Unix seconds
  double last;
};

// Every reading reads the one list (or fails as set).
class Reader : public ConversationReader,
               public ConversationReading,
               public std::enable_shared_from_this<Reader> {
 public:
  QList<ContactSummary> summaries;
  std::optional<QString> failure;
  std::shared_ptr<ConversationReading> beginReading() const override {
    return std::const_pointer_cast<Reader>(shared_from_this());
  }
  MessageList fetchMessages(const QString&) override { return {}; }
  qint64 countAttachments(const QString&) override { return 0; }
  QList<ContactSummary> fetchContactSummaries() override {
    if (failure) throw LoadError(*failure);
    return summaries;
  }
};

class Store : public ContactStore {
 public:
  QList<StoreContact> contacts;
  ContactAccessStatus authorizationStatus() const override { return ContactAccessStatus::authorized(); }
  ContactAccessStatus requestAccess() override { return ContactAccessStatus::authorized(); }
  void enumerateContacts(const std::function<void(const StoreContact&)>& visit) const override {
    for (const StoreContact& contact : contacts) visit(contact);
  }
};

class SilentAnalytics : public AnalyticsEvents {
 public:
  void appInstalledIfNeeded(std::stop_token) override {}
  void modeChosen(IntelligenceChoice, std::stop_token) override {}
  void murmelaCreated(HostedAnalysisWorkflow, const WrappedReport&, double, std::stop_token) override {}
};

class IdleSetup : public PrivacySetupDriver {
 public:
  bool isReady() const override { return false; }
  void start(Completion) override {}
  void resetState() override {}
};

// One coordinator in a chosen state, for one picture.
class World {
 public:
  World() {
    CoordinatorServices services;
    services.launchArguments = {QStringLiteral("gallery")};
    services.reader = reader_;
    services.probePermissions = [] { return PermissionSnapshot{true, ContactAccessStatus::authorized()}; };
    services.contactResolver = std::make_shared<ContactResolver>(store_);
    services.pipeline = [](const ImportedChat&, const WrappedAnalysisPipeline::ProgressCallback&, std::stop_token,
                           WrappedAnalysisPipeline::Options) { return WrappedReport{}; };
    services.hostedAnalysis = hosted_.analysis();
    services.analytics = std::make_shared<SilentAnalytics>();
    services.privacySetup = std::make_shared<IdleSetup>();
    services.detectHybridCapability = [] { return HybridPrivacyCapability::available(QStringLiteral("0.1.1")); };
    services.revokeShareLink = [](const QString&, std::stop_token) {};
    services.activeShares = [] { return QList<ShareCacheEntry>{}; };
    services.copyToClipboard = [](const QString&) {};
    services.now = [] { return Date::fromUnix(1767225600.0); };
    coordinator_ = std::make_unique<AppCoordinator>(std::move(services));
  }
  ~World() { coordinator_->shutdown(); }

  AppCoordinator& coordinator() { return *coordinator_; }

  void loadContacts(const QList<GalleryContact>& contacts, std::optional<QString> failure = {}) {
    for (const GalleryContact& contact : contacts) {
      reader_->summaries.append({contact.handle, std::nullopt, contact.messages, Date::fromUnix(contact.first),
                                 Date::fromUnix(contact.last)});
      if (contact.name.isEmpty()) continue;
      StoreContact card;
      card.givenName = contact.name;
      (contact.handle.contains(QLatin1Char('@')) ? card.emailAddresses : card.phoneNumbers).append(contact.handle);
      store_->contacts.append(card);
    }
    reader_->failure = std::move(failure);
    coordinator_->loadContacts();
    settle();
  }

  // A run held at a progress report.
  void holdRun(const ContactSummary& contact, const ProcessingProgress& progress) {
    hosted_.holdAt(progress);
    coordinator_->startProcessing(contact);
    QElapsedTimer waited;
    waited.start();
    while (!(coordinator_->processingProgress() == progress) && waited.elapsed() < kWorkerWait.count()) {
      QCoreApplication::processEvents();
      QThread::msleep(1);
    }
  }

  void failRun(const ContactSummary& contact, const QString& description) {
    hosted_.failWith(description);
    coordinator_->startProcessing(contact);
    settle();
  }

  // Lets the coordinator's background work end and its results arrive.
  void settle() {
    coordinator_->waitForBackgroundWork(kWorkerWait);
    QCoreApplication::processEvents();
  }

 private:
  std::shared_ptr<Reader> reader_ = std::make_shared<Reader>();
  std::shared_ptr<Store> store_ = std::make_shared<Store>();
  HeldHostedRun hosted_{QStringLiteral("HostedAnalysisError")};
  std::unique_ptr<AppCoordinator> coordinator_;
};

ContactSummary contactNamed(const QString& handle, const QString& name, qint64 messages) {
  return {handle, name, messages, Date::fromUnix(1704412800.0), Date::fromUnix(1740873600.0)};
}

void renderWidget(QPainter& painter, QWidget& widget) {
  widget.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
}

// Moves the pointer onto a point of a widget, and optionally presses there.
void pointAt(QWidget& widget, QPointF point, bool press) {
  QMouseEvent move(QEvent::MouseMove, point, widget.mapToGlobal(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &move);
  if (!press) return;
  QMouseEvent down(QEvent::MouseButtonPress, point, widget.mapToGlobal(point), Qt::LeftButton, Qt::LeftButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &down);
}

const QString kLongError = QStringLiteral(
    "PrivacyFilterError: smoke test failed: Traceback (most recent call last):\n"
    "  File \"<string>\", line 2, in <module>\n"
    "  File \"/opt/murmela/runtime/lib/python3.12/site-packages/mlx_embeddings/__init__.py\", line 14, in <module>\n"
    "    from .utils import load, generate\n"
    "ImportError: dlopen(libmlx.so, 0x0006): symbol not found in flat namespace '_mlx_array_new_float' "
    "(expected in the runtime shipped with this build; found a stale copy in the model cache) "
    "<b>this is not bold</b> &amp; stays as typed.\n"
    "Run the setup again or use cloud analysis; the full log is in logs/analysis.log.");

// ---- Hybrid setup -------------------------------------------------------------

struct SetupPicture {
  QString name;
  QString caption;
  PrivacySetupSnapshot setup;
  std::optional<QString> error;
  std::optional<int> pointed;  // the button the pointer is on
  bool pressed = false;
};

QList<SetupPicture> setupPictures() {
  const QString smokeFailure =
      QStringLiteral("The privacy filter's smoke test failed: No module named 'mlx_embeddings'");
  return {
      {"hybrid-setup-preparing",
       "idle: every step pending, 0 %",
       PrivacySetupSnapshot::at({Kind::idle, {}}, 0.0, {}),
       {},
       {},
       false},
      {"hybrid-setup-verifying",
       "checking the host",
       PrivacySetupSnapshot::at({Kind::verifying, {}}, 0.04, {State::active}),
       {},
       {},
       false},
      {"hybrid-setup-downloading",
       "downloading: the driver's detail under the running step, an estimate",
       PrivacySetupSnapshot::at({Kind::installingRuntime, {}}, 0.46, {State::done, State::active},
                                QStringLiteral("412 MB of 1.4 GB \u00B7 18 MB/s"), 84.0),
       {},
       {},
       false},
      {"hybrid-setup-testing",
       "smoke test running",
       PrivacySetupSnapshot::at({Kind::testingRedaction, {}}, 0.9, {State::done, State::done, State::active},
                                QStringLiteral("Loading filter into memory"), 20.0),
       {},
       {},
       false},
      {"hybrid-setup-ready",
       "ready: Continue enabled, full bar",
       PrivacySetupSnapshot::at({Kind::ready, {}}, 1.0, {State::done, State::done, State::done}),
       {},
       {},
       false},
      {"hybrid-setup-ready-continue-pressed",
       "ready, Continue pressed",
       PrivacySetupSnapshot::at({Kind::ready, {}}, 1.0, {State::done, State::done, State::done}),
       {},
       HybridPrivacySetupView::forwardButton,
       true},
      {"hybrid-setup-back-hovered",
       "running, Back hovered",
       PrivacySetupSnapshot::at({Kind::installingRuntime, {}}, 0.32, {State::done, State::active},
                                QStringLiteral("Starting download")),
       {},
       HybridPrivacySetupView::backButton,
       false},
      {"hybrid-setup-failed",
       "failed: the message under the running step, rose footnote, Use Raw Cloud",
       PrivacySetupSnapshot::at(PrivacyFilterPhase::failed(smokeFailure), 0.9,
                                {State::done, State::done, State::active}, smokeFailure),
       smokeFailure,
       {},
       false},
      {"hybrid-setup-failed-long",
       "failed with a long message: cut to two lines",
       PrivacySetupSnapshot::at(PrivacyFilterPhase::failed(kLongError), 0.72, {State::done, State::active}, kLongError),
       kLongError,
       {},
       false},
      {"hybrid-setup-failed-unreported",
       "failed phase without a reported error: Continue stays disabled",
       PrivacySetupSnapshot::at(PrivacyFilterPhase::failed(smokeFailure), 0.04, {State::active}, smokeFailure),
       {},
       {},
       false},
      {"hybrid-setup-overfull",
       "a progress past 1 and no estimate: the bar stays within its track",
       PrivacySetupSnapshot::at({Kind::testingRedaction, {}}, 1.7, {State::done, State::done, State::active}, {},
                                std::numeric_limits<double>::quiet_NaN()),
       {},
       {},
       false},
  };
}

void paintSetup(QPainter& painter, const SetupPicture& picture) {
  World world;
  PrivacySetupStatus status(picture.setup);
  HybridPrivacySetupView view(status, hostsOf(world.coordinator()));
  // The sheet is pictured on its own; here only the screen under it.
  world.coordinator().setHybridSetupError(picture.error);
  if (picture.pointed) {
    const HybridPrivacySetupView::Layout geometry = view.layout();
    const QRectF target = *picture.pointed == HybridPrivacySetupView::backButton ? geometry.back : geometry.forward;
    pointAt(view, target.center(), picture.pressed);
  }
  renderWidget(painter, view);
}

void paintErrorSheet(QPainter& painter, const QString& error) {
  HybridSetupErrorSheet sheet(error);
  renderWidget(painter, sheet);
}

qreal errorSheetHeight(const QString& error) { return HybridSetupErrorSheet(error).layout().height; }

// ---- Processing ----------------------------------------------------------------

struct ProcessingPicture {
  QString name;
  QString caption;
  IntelligenceChoice choice;
  ContactSummary contact;
  ProcessingProgress progress;
};

QList<ProcessingPicture> processingPictures() {
  const ContactSummary maya = contactNamed(QStringLiteral("+15550101"), QStringLiteral("Maya"), 48213);
  return {
      {"processing-cloud-start",
       "cloud: four phases, the first running, no estimate",
       IntelligenceChoice::cloud,
       maya,
       {AnalysisStage::readingMessages, 0.0, std::nullopt}},
      {"processing-hybrid-anonymizing",
       "hybrid: five phases, anonymizing, an estimate",
       IntelligenceChoice::hybrid,
       maya,
       {AnalysisStage::anonymizing, 0.46, 130.0}},
      {"processing-hybrid-summary",
       "the last phase running, 99 %, 59 sec",
       IntelligenceChoice::hybrid,
       maya,
       {AnalysisStage::generatingSummary, 0.999, 59.4}},
      {"processing-cloud-full",
       "cloud, 100 %: a full circle",
       IntelligenceChoice::cloud,
       maya,
       {AnalysisStage::generatingSummary, 1.0, 3.0}},
      {"processing-no-count",
       "no message count: the texts without a number",
       IntelligenceChoice::hybrid,
       contactNamed(QStringLiteral("+15550102"), QStringLiteral("Sam"), 0),
       {AnalysisStage::readingMessages, 0.05, std::nullopt}},
      {"processing-long-name",
       "a long partner name wraps; the title block keeps its height",
       IntelligenceChoice::hybrid,
       contactNamed(QStringLiteral("+15550103"), QStringLiteral("Maximiliana Alexandra von Hohenberg-Castellanos"),
                    1234567),
       {AnalysisStage::aggregating, 0.21, 305.0}},
  };
}

void paintProcessing(QPainter& painter, const ProcessingPicture& picture) {
  World world;
  world.coordinator().selectIntelligence(picture.choice);
  world.holdRun(picture.contact, picture.progress);
  ProcessingView view(hostsOf(world.coordinator()));
  renderWidget(painter, view);
}

// ---- Contact picker --------------------------------------------------------------

const QList<GalleryContact> kContacts = {
    {QStringLiteral("+15550101"), QStringLiteral("Maya Okafor"), 48213, 1609459200.0, 1764547200.0},
    {QStringLiteral("sam.rivera@example.com"), QStringLiteral("Sam Rivera"), 12345, 1672531200.0, 1761955200.0},
    {QStringLiteral("+447700900123"), QString(), 8021, 1690848000.0, 1759276800.0},
    {QStringLiteral("+15550104"), QStringLiteral("Maximiliana Alexandra von Hohenberg-Castellanos"), 5120, 1700000000.0,
     1755000000.0},
    {QStringLiteral("+15550105"), QStringLiteral("\U0001F33B Zo\u00EB \u00C5sa"), 977, 1710000000.0, 1710000000.0},
    {QStringLiteral("an.extraordinarily.long.handle.for.testing@subdomain.example.org"), QString(), 64, 1720000000.0,
     1750000000.0},
    {QStringLiteral("+15550107"), QStringLiteral("Ana"), 12, 1740000000.0, 1745000000.0},
};

// Names in other scripts: emoji, Chinese, Japanese, Arabic, Cyrillic, Greek,
// mathematical letters (taller than the name's own font) and a mix cut short.
const QList<GalleryContact> kScriptContacts = {
    {QStringLiteral("+8613800138000"), QStringLiteral("\u738B\u4F1F"), 4210, 1609459200.0, 1764547200.0},
    {QStringLiteral("+819012345678"), QStringLiteral("\u4F50\u85E4 \u3055\u304F\u3089 \U0001F338"), 1830, 1672531200.0,
     1761955200.0},
    {QStringLiteral("+201001234567"), QStringLiteral("\u0645\u062D\u0645\u062F \u0639\u0644\u064A"), 977, 1690848000.0,
     1759276800.0},
    {QStringLiteral("\u0430\u043D\u043D\u0430@example.ru"),
     QStringLiteral("\u0410\u043D\u043D\u0430 \u0418\u0432\u0430\u043D\u043E\u0432\u0430"), 512, 1700000000.0,
     1755000000.0},
    {QStringLiteral("+15550105"), QStringLiteral("\U0001D4E2\U0001D4EA\U0001D4F6 \u2764\uFE0F"), 64, 1710000000.0,
     1750000000.0},
    {QStringLiteral("+302101234567"), QStringLiteral("\u0391\u03BD\u03BD\u03B1 \U0001F389"), 33, 1720000000.0,
     1750000000.0},
    {QStringLiteral("+15550107"),
     QStringLiteral("Maximiliana \u53CB\u9054 von Hohenberg-Castellanos \u0645\u062D\u0645\u062F \U0001F33B"), 12,
     1740000000.0, 1745000000.0},
};

struct PickerPicture {
  QString name;
  QString caption;
  QList<GalleryContact> contacts;
  std::optional<QString> loadFailure;
  std::optional<QString> runFailure;
  bool logFile = true;
  QString query;
  std::optional<int> pointed;
  QString logPath = QStringLiteral("/home/you/.local/share/murmela-app/logs/analysis.log");
};

QList<PickerPicture> pickerPictures() {
  const QString loadError = QStringLiteral("[WrappedDataError] The Messages database could not be opened.");
  const QString longLoad = QStringLiteral(
      "The Messages database could not be opened: unable to open database file at "
      "/home/someone/.local/share/murmela-app/Messages/chat.db (error 14: the folder is not readable by this user, "
      "and the backup copy that was made on the last launch has been moved or deleted meanwhile).");
  const QString copyLoad = QStringLiteral(
      "Could not open Messages database: the folder of chat.db cannot be written, so Murmela reads a private copy "
      "of chat.db and chat.db-wal instead, and a copy needs 425 MB, but "
      "/home/someone/.cache/murmela-app/database-copies has 104 MB free. Free some space there, or set "
      "XDG_CACHE_HOME to a folder on a disk with more room, then choose Retry.");
  const QString runError = QStringLiteral("Share link HTTP 502: upstream timed out");
  return {
      {"contact-picker-loading", "loading: the list is simply empty, Wrap it up disabled", {}, {}, {}, true, {}, {}},
      {"contact-picker-load-error",
       "the load failed: the error with Retry, the list lower",
       {},
       loadError,
       {},
       true,
       {},
       {}},
      {"contact-picker-load-error-long", "a long load error: shown whole above Retry", {}, longLoad, {}, true, {}, {}},
      {"contact-picker-load-error-copy",
       "a reload that failed for want of room for the private copy: the whole text pushes the list down",
       kContacts,
       copyLoad,
       {},
       true,
       {},
       {}},
      {"contact-picker-empty", "loaded, no conversations", {{}}, {}, {}, true, {}, {}},
      {"contact-picker-list",
       "the list: the first row selected, long names cut, the last rows fading",
       kContacts,
       {},
       {},
       true,
       {},
       {}},
      {"contact-picker-search",
       "searching \"an\": name or handle, case aside",
       kContacts,
       {},
       {},
       true,
       QStringLiteral("an"),
       {}},
      {"contact-picker-search-none",
       "a search that keeps nothing: the hidden selection still wraps",
       kContacts,
       {},
       {},
       true,
       QStringLiteral("zzz"),
       {}},
      {"contact-picker-wrap-hovered", "Wrap it up hovered", kContacts, {}, {}, true, {}, ContactPickerView::wrapButton},
      {"contact-picker-run-failed",
       "a failed run: the error box, the panel with the log and its buttons",
       kContacts,
       {},
       runError,
       true,
       {},
       {}},
      {"contact-picker-run-failed-long",
       "a long run error: six lines in the panel",
       kContacts,
       {},
       kLongError,
       true,
       {},
       {}},
      {"contact-picker-run-failed-deep-log",
       "a log path too long for a line: broken after a folder, the file's name whole",
       kContacts,
       {},
       runError,
       true,
       {},
       {},
       QStringLiteral("/home/someone-with-a-long-name/.local/share/murmela-app/logs/analysis.log")},
      {"contact-picker-run-failed-no-log",
       "a failed run with no log file: no Log line",
       kContacts,
       {},
       runError,
       false,
       {},
       {}},
      {"contact-picker-scripts",
       "names in other scripts: each row as tall as its fonts need, nothing clipped",
       kScriptContacts,
       {},
       {},
       true,
       {},
       {}},
  };
}

void paintPicker(QPainter& painter, const PickerPicture& picture) {
  World world;
  QList<GalleryContact> contacts = picture.contacts;
  contacts.removeIf([](const GalleryContact& contact) { return contact.handle.isEmpty(); });
  const bool loads = !picture.contacts.isEmpty() || picture.loadFailure;
  // A reload that failed keeps the contacts of the load before it.
  const bool reload = picture.loadFailure && !contacts.isEmpty();
  if (loads) world.loadContacts(contacts, reload ? std::nullopt : picture.loadFailure);
  if (reload) world.coordinator().setContactLoadingError(picture.loadFailure);
  if (picture.runFailure && !contacts.isEmpty())
    world.failRun(world.coordinator().contacts().first(), *picture.runFailure);
  ContactPickerView view(hostsOf(world.coordinator()));
  view.setLogFilePath(picture.logFile ? std::optional<QString>(picture.logPath) : std::nullopt);
  // As the window shows it on arrival: the screen loads on appearing (and
  // chooses the first contact), and the keys are in the search field, its
  // ring and caret showing.
  view.show();
  QApplication::setActiveWindow(&view);
  world.settle();
  if (!picture.query.isEmpty()) view.setQuery(picture.query);
  if (picture.pointed) pointAt(view, view.layout().wrap.center(), false);
  view.searchField()->setFocus(Qt::OtherFocusReason);
  renderWidget(painter, view);
  view.hide();
}

// ---- Name sheet ------------------------------------------------------------------

struct NamePicture {
  QString name;
  QString caption;
  QString original;
  QString field;
};

QList<NamePicture> namePictures() {
  return {
      {"name-sheet-default", "the first word of the name, ready to edit", QStringLiteral("Mary-Jane Watson"),
       QStringLiteral("Mary")},
      {"name-sheet-handle", "no card: the handle quoted and offered", QStringLiteral("sam.rivera@example.com"),
       QStringLiteral("sam.rivera@example.com")},
      {"name-sheet-empty", "an emptied field shows its placeholder", QStringLiteral("   "), QString()},
      {"name-sheet-long-name", "a very long name: the explanation wraps, then is cut",
       QStringLiteral("Maximiliana Alexandra Josefina Wilhelmina Theodora Anastasia von Hohenberg-Castellanos y "
                      "Villanueva de la Cruz-Montgomery-Featherstonehaugh the Third of Her Name"),
       QStringLiteral("Maximiliana")},
  };
}

void paintNameSheet(QPainter& painter, const NamePicture& picture) {
  ConfirmContactNameSheet sheet(picture.original, picture.field);
  renderWidget(painter, sheet);
}

qreal nameSheetHeight(const NamePicture& picture) {
  return ConfirmContactNameSheet(picture.original, picture.field).layout().height;
}

void buildOnboardingBPage(GalleryPage& page) {
  for (const SetupPicture& picture : setupPictures())
    page.add({picture.name, picture.caption, kScreen, kScales, Qt::transparent,
              [picture](QPainter& painter) { paintSetup(painter, picture); }});
  const QList<std::pair<QString, QString>> errors = {
      {QStringLiteral("hybrid-error-sheet"), QStringLiteral("The privacy filter's smoke test failed: No module named "
                                                            "'mlx_embeddings'")},
      {QStringLiteral("hybrid-error-sheet-long"), kLongError + QStringLiteral("\n\n") + kLongError}};
  for (const auto& [name, error] : errors)
    page.add({name, QStringLiteral("the setup error sheet, 460 wide; the error scrolls and stays plain text"),
              QSizeF(HybridSetupErrorSheet::kWidth, errorSheetHeight(error)), kScales, Qt::transparent,
              [error](QPainter& painter) { paintErrorSheet(painter, error); }});
  for (const ProcessingPicture& picture : processingPictures())
    page.add({picture.name, picture.caption, kScreen, kScales, Qt::transparent,
              [picture](QPainter& painter) { paintProcessing(painter, picture); }});
  for (const PickerPicture& picture : pickerPictures())
    page.add({picture.name, picture.caption, kScreen, kScales, Qt::transparent,
              [picture](QPainter& painter) { paintPicker(painter, picture); }});
  for (const NamePicture& picture : namePictures())
    page.add({picture.name, picture.caption, QSizeF(ConfirmContactNameSheet::kWidth, nameSheetHeight(picture)), kScales,
              Qt::transparent, [picture](QPainter& painter) { paintNameSheet(painter, picture); }});
}

}  // namespace

MURMELA_GALLERY_AREA(onboarding_b, "Hybrid setup, processing, contact picker and their sheets", 60,
                     buildOnboardingBPage);

}  // namespace murmela::gallery
