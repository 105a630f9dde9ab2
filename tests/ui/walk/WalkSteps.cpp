#include "WalkSteps.h"

#include "app/AppCoordinator.h"
#include "deck/MurmelaDeckResultsView.h"
#include "kit/controls/PlainTextField.h"
#include "screens/intelligence/IntelligenceView.h"
#include "screens/picker/ContactListView.h"
#include "screens/picker/ContactPickerView.h"
#include "screens/processing/ProcessingView.h"
#include "screens/welcome/WelcomeView.h"
#include "sheets/ConfirmContactNameSheet.h"
#include "sheets/ConfirmationAlert.h"
#include "shell/RootView.h"

#include <QCoreApplication>
#include <QTest>

#include <memory>
#include <mutex>

namespace murmela::test {

void check(bool condition, const QString& what) {
  if (!condition) throw WalkFailure(("expected " + what).toStdString());
}

QString runWalk(WalkWorld& world, MurmelaRootApp::Desktop desktop, const QString& walk,
                const std::function<void(WalkDriver&)>& steps) {
  QString failure;
  auto app = std::make_unique<MurmelaRootApp>(world.launchArguments(), std::move(desktop));
  try {
    WalkDriver driver(*app, WalkWorld::shotFolder(walk));
    app->show();
    check(QTest::qWaitForWindowExposed(&app->window()), QStringLiteral("the window shown"));
    steps(driver);
  } catch (const std::exception& error) {
    failure = QString::fromStdString(error.what());
  }
  app.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return failure;
}

namespace {

// Kept from any thread; each message still reaches the handler before.
struct WarningRecorder {
  static inline std::mutex lock;
  static inline QStringList messages;
  static inline QtMessageHandler previous = nullptr;

  static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
      std::lock_guard guard(lock);
      messages.append(message);
    }
    if (previous) previous(type, context, message);
  }
};

}  // namespace

QString failureWithWarnings(const std::function<QString()>& walk) {
  WarningRecorder::messages.clear();
  WarningRecorder::previous = qInstallMessageHandler(&WarningRecorder::handle);
  QString failure;
  try {
    failure = walk();
  } catch (const std::exception& error) {
    failure = QString::fromStdString(error.what());
  }
  qInstallMessageHandler(WarningRecorder::previous);
  std::lock_guard guard(WarningRecorder::lock);
  if (!WarningRecorder::messages.isEmpty())
    failure += QStringLiteral("\nQt printed:\n") + WarningRecorder::messages.join(QLatin1Char('\n'));
  return failure.trimmed();
}

void acceptTheTerms(WalkDriver& walk) {
  AppCoordinator& coordinator = walk.coordinator();
  WelcomeView& welcome = walk.waitForScreen<WelcomeView>(QStringLiteral("the welcome screen"));
  check(!welcome.layout().getStartedEnabled, QStringLiteral("Get Started to wait for the terms"));
  walk.shot(QStringLiteral("welcome"));
  walk.click(&welcome, welcome.layout().checkboxHit.center());
  walk.shotWhen([&] { return coordinator.hasAcceptedTerms() && welcome.layout().getStartedEnabled; },
                QStringLiteral("terms-accepted"));
  walk.clickLabel(&welcome, QStringLiteral("Get Started"));
}

void chooseIntelligence(WalkDriver& walk, IntelligenceChoice choice) {
  AppCoordinator& coordinator = walk.coordinator();
  const bool cloud = choice == IntelligenceChoice::cloud;
  IntelligenceView& intelligence = walk.waitForScreen<IntelligenceView>(QStringLiteral("the intelligence choice"));
  walk.shot(QStringLiteral("intelligence"));
  walk.clickLabel(&intelligence, cloud ? QStringLiteral("Cloud intelligence") : QStringLiteral("Hybrid intelligence"));
  walk.waitUntil([&] { return coordinator.intelligenceChoice() == choice; }, QStringLiteral("the choice made"));
  walk.shot(cloud ? QStringLiteral("cloud-chosen") : QStringLiteral("hybrid-chosen"));
  walk.clickLabel(&intelligence, QStringLiteral("Continue"));
}

void pickPartnerAndWrap(WalkDriver& walk, const WalkWorld& world) {
  const QString partner = WalkWorld::kPartnerName;
  ContactPickerView& picker = walk.waitForScreen<ContactPickerView>(QStringLiteral("the contact picker"));
  walk.shotWhen([&] { return picker.filtered().size() >= 2; }, QStringLiteral("contact-picker"));

  PlainTextField* search = picker.searchField();
  walk.click(search, search->rect().center());
  walk.waitUntil([&] { return search->hasFocus(); }, QStringLiteral("the search field focused"));
  walk.type(partner.left(2));
  walk.waitUntil([&] { return picker.filtered().size() == 1; }, QStringLiteral("the search to leave one chat"));
  check(picker.filtered().first().handle == world.sample.handle, QStringLiteral("the search to find the partner"));
  walk.shot(QStringLiteral("search"));

  walk.clickLabel(picker.listView()->viewport(), partner);
  walk.waitUntil([&] { return picker.selectedHandle() == world.sample.handle; },
                 QStringLiteral("the partner selected"));
  walk.clickLabel(&picker, QStringLiteral("Wrap it up"));

  auto& sheet = walk.waitForWindow<ConfirmContactNameSheet>(QStringLiteral("the name sheet"));
  check(sheet.nameField()->text() == partner, QStringLiteral("the name sheet to offer the contact's name"));
  walk.shot(QStringLiteral("name-sheet"));
  walk.clickLabel(&sheet, QStringLiteral("Start wrapping"));

  walk.waitForScreen<ProcessingView>(QStringLiteral("the processing screen"));
  walk.shot(QStringLiteral("processing"));
  MurmelaDeckResultsView& deck = walk.settledDeck(QStringLiteral("the finished report"));
  check(deck.report().totalMessages == world.sample.messages.size(), QStringLiteral("every message counted"));
  check(deck.report().participantNames.them == partner, QStringLiteral("the report to name the partner"));
  check(deck.report().insightCopy.has_value(), QStringLiteral("the hosted analysis in the report"));
}

void visitEverySlide(WalkDriver& walk, bool shoot) {
  MurmelaDeckResultsView& deck = walk.settledDeck(QStringLiteral("the deck"));
  check(deck.currentSlide() == 0, QStringLiteral("the deck to open on its first slide"));
  const auto slideShot = [&](int index) {
    if (shoot) walk.shot(QStringLiteral("slide-%1").arg(index + 1, 2, 10, QLatin1Char('0')));
  };
  slideShot(0);
  for (int next = 1; next < MurmelaDeckResultsView::kTotalSlides; ++next) {
    walk.pressKey(Qt::Key_Right);
    walk.waitUntil([&] { return deck.currentSlide() == next && !deck.isAnimating(); },
                   QStringLiteral("slide ") + QString::number(next + 1));
    slideShot(next);
  }
  walk.pressKey(Qt::Key_Right);
  check(deck.currentSlide() == MurmelaDeckResultsView::kTotalSlides - 1, QStringLiteral("the deck to end at 14"));
}

void confirm(WalkDriver& walk, QWidget* surface, const QString& label, const QString& step) {
  walk.clickLabel(surface, label);
  auto& alert = walk.waitForWindow<AlertDialog>(QStringLiteral("the ") + step);
  walk.shot(step);
  walk.clickLabel(&alert, label);
}

}  // namespace murmela::test
