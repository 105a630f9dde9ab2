// A first launch in cloud mode through the real window: the terms, a saved
// report and its fourteen slides, the slideshow download, a share link made
// and revoked, the report opened again, and the reset to a first run.
#include "WalkSteps.h"

#include "app/AppCoordinator.h"
#include "deck/MurmelaDeckResultsView.h"
#include "kit/overlay/ToastOverlay.h"
#include "screens/home/HomeView.h"
#include "screens/welcome/WelcomeView.h"
#include "sharelinks/ShareLinkClient.h"
#include "sharing/ShareFileNames.h"
#include "sheets/ConfirmationAlert.h"
#include "sheets/myshares/MySharesView.h"
#include "sheets/share/ShareSheetView.h"
#include "support/FakeNeighbours.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QNetworkProxy>
#include <QPointer>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

constexpr qsizetype kMessageCount = 2000;
const QString kPartner = WalkWorld::kPartnerName;

// 14 PNGs at 3x in the slideshow's folder in Downloads, which is shown.
void checkSlideshowFiles(const WalkWorld& world) {
  const QString folder = QDir(WalkWorld::downloads()).filePath(ShareFileNames::slideshowFolderName(kPartner));
  const QStringList files = QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
  check(files.size() == 14,
        QStringLiteral("14 PNGs in ") + folder + QStringLiteral(", found ") + QString::number(files.size()));
  for (const QString& file : files) {
    const QSize size = QImageReader(QDir(folder).filePath(file)).size();
    check(size == QSize(1170, 2340), file + QStringLiteral(" to be 1170 x 2340"));
  }
  check(world.foldersShown == QStringList{folder}, QStringLiteral("the slideshow folder to be shown once"));
}

}  // namespace

class CloudWalkTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareAppTests();
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
  }

  void cloudWalk() {
    const QString failure = failureWithWarnings([] {
      WalkWorld world(kMessageCount);
      return runWalk(world, world.desktop(), QStringLiteral("cloud"), [&world](WalkDriver& walk) {
        acceptTheTerms(walk);
        chooseIntelligence(walk, IntelligenceChoice::cloud);
        pickPartnerAndWrap(walk, world);
        visitEverySlide(walk, true);
        deckAndShares(walk, world);
        homeAndReset(walk, world);
      });
    });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
  }

 private:
  static ShareSheetView* openShareSheet(WalkDriver& walk, MurmelaDeckResultsView& deck) {
    walk.clickOnSlide(QStringLiteral("Share"));
    ShareSheetView* sheet = nullptr;
    walk.shotWhen(
        [&] {
          sheet = qobject_cast<ShareSheetView*>(deck.shareSheet());
          return sheet && sheet->isVisible() && !deck.isAnimating() && !sheet->isAnimating();
        },
        QStringLiteral("share-sheet"));
    return sheet;
  }

  static void deckAndShares(WalkDriver& walk, WalkWorld& world) {
    MurmelaDeckResultsView& deck = walk.settledDeck(QStringLiteral("the deck"));

    walk.clickLabel(openShareSheet(walk, deck), QStringLiteral("Download as images"));
    walk.waitUntil([&] { return walk.toasts().contains(QStringLiteral("Saved 14 slides to Downloads.")); },
                   QStringLiteral("the slideshow saved"));
    walk.shotWhen([&] { return !deck.shareSheet() && deck.toastOverlay()->shownAmount() == 1.0; },
                  QStringLiteral("downloaded"));
    checkSlideshowFiles(world);

    QPointer<ShareSheetView> sheet = openShareSheet(walk, deck);
    walk.clickLabel(sheet, QStringLiteral("Generate link"));
    walk.shotWhen([&] { return sheet && sheet->state().generatedLink.has_value() && !sheet->isAnimating(); },
                  QStringLiteral("share-link"));
    const QString link = sheet->state().generatedLink->link.shareURL.toString();
    check(link.startsWith(world.server.baseUrl() + QLatin1Char('/')),
          QStringLiteral("the link on the development backend, got ") + link);

    const std::optional<QRectF> close = sheet->sheetLayout().rectOf({SheetElement::close});
    check(close.has_value(), QStringLiteral("a close button on the share sheet"));
    walk.click(sheet, close->center());
    walk.waitUntil([&] { return !deck.shareSheet() && !deck.isAnimating(); }, QStringLiteral("the sheet closed"));
    walk.clickOnSlide(QStringLiteral("Done"));
  }

  static void homeAndReset(WalkDriver& walk, WalkWorld& world) {
    AppCoordinator& coordinator = walk.coordinator();
    HomeView& home = walk.waitForScreen<HomeView>(QStringLiteral("the home screen"));
    walk.waitUntil([&] { return coordinator.pastWraps().size() == 1 && coordinator.activeShares().size() == 1; },
                   QStringLiteral("the saved report and its share listed"));
    check(home.screenLayout().rows.size() == 1, QStringLiteral("one saved report on the home screen"));
    const QString reportFile = coordinator.pastWraps().first().filePath;
    walk.shot(QStringLiteral("home"));

    walk.clickLabel(&home, QStringLiteral("My shares"));
    auto& shares = walk.waitForWindow<MySharesView>(QStringLiteral("My shares"));
    walk.shotWhen([&] { return shares.rows().size() == 1; }, QStringLiteral("my-shares"));
    const QString shareID = coordinator.activeShares().first().shareID;
    confirm(walk, &shares, QStringLiteral("Revoke"), QStringLiteral("revoke-confirmation"));
    walk.waitUntil([&] { return coordinator.activeShares().isEmpty() && !WalkDriver::topLevel<AlertDialog>(); },
                   QStringLiteral("the share revoked"));
    check(world.server.requests(ShareLinkClient::revokePath(shareID).toUtf8()).size() == 1,
          QStringLiteral("one revocation on the backend"));
    walk.shot(QStringLiteral("revoked"));
    walk.clickLabel(&shares, QStringLiteral("Done"));
    walk.waitUntil([] { return !WalkDriver::topLevel<MySharesView>(); }, QStringLiteral("My shares closed"));

    walk.clickLabel(&home, QStringLiteral("you & ") + kPartner);
    MurmelaDeckResultsView& reopened = walk.settledDeck(QStringLiteral("the saved report again"));
    check(reopened.report().participantNames.them == kPartner, QStringLiteral("the saved report reopened"));
    walk.shot(QStringLiteral("reopened"));
    visitEverySlide(walk, false);
    walk.clickOnSlide(QStringLiteral("Done"));

    HomeView& again = walk.waitForScreen<HomeView>(QStringLiteral("the home screen again"));
    walk.click(&again, again.screenLayout().gear.center());
    walk.shotWhen([&] { return again.settingsMenuOpen(); }, QStringLiteral("settings-menu"));
    confirm(walk, &again, QStringLiteral("Reset App"), QStringLiteral("reset-confirmation"));

    WelcomeView& welcome = walk.waitForScreen<WelcomeView>(QStringLiteral("onboarding after the reset"));
    walk.waitUntil([] { return !WalkDriver::topLevel<AlertDialog>(); }, QStringLiteral("the alert closed"));
    check(!coordinator.hasAcceptedTerms() && !welcome.layout().getStartedEnabled,
          QStringLiteral("the terms to be asked for again"));
    check(QFile::exists(reportFile), QStringLiteral("the saved report kept: ") + reportFile);
    check(coordinator.reportLibrary().load().size() == 1, QStringLiteral("the library to still list it"));
    walk.shot(QStringLiteral("first-run-again"));
  }
};

MURMELA_TEST(CloudWalkTest)
#include "CloudWalkTest.moc"
