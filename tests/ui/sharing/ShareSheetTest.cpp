#include "ShareFakes.h"
#include "common/AppPaths.h"
#include "common/FileSystem.h"
#include "kit/motion/Motion.h"
#include "sharelinks/ShareContentHash.h"
#include "sharelinks/ShareLinkCacheStore.h"
#include "sheets/share/GenerateLinkRow.h"
#include "sheets/share/ShareSheetView.h"
#include "support/NetworkTestSupport.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QTest>
#include <QWheelEvent>
#include <QWidget>

using namespace murmela;
using namespace murmela::test;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(murmela::ShareDestination)
Q_DECLARE_METATYPE(murmela::ShareMode)
Q_DECLARE_METATYPE(murmela::SheetTarget)

namespace {

const QByteArray kShares = "/v1/shares";
const QString kLink = QStringLiteral("https://murmela.test/s/s1/");
// Far enough ahead that the cache keeps the link; the page counts days from the sheet's own clock.
const Date kExpiry = Date::fromQDateTime(QDateTime(QDate(2099, 6, 1), QTime(12, 0), QTimeZone::utc()));
const QString kRateLimited =
    QStringLiteral("You've created a lot of shares today. Try again tomorrow. Daily limit: 20.");

WrappedReport sam() {
  WrappedReport report;
  report.participantNames = {QStringLiteral("You"), QStringLiteral("Sam")};
  report.totalMessages = 5;
  return report;
}

ScriptedResponse linkAnswer() {
  return ScriptedResponse::json(201, QStringLiteral(R"({"share_id":"s1","share_url":"%1","content_hash":"%2",)"
                                                    R"("expires_at":"2099-06-01T12:00:00Z"})")
                                         .arg(kLink, shareContentHash(sam()))
                                         .toUtf8());
}

struct Selection {
  ShareDestination destination;
  ShareMode mode;
  friend bool operator==(const Selection&, const Selection&) = default;
};

}  // namespace

class ShareSheetTest : public QObject {
  Q_OBJECT

  // One deck's worth of surroundings for a sheet: the host it covers, the
  // toasts, the desktop, and what the sheet handed back.
  struct Deck {
    QWidget host;
    std::unique_ptr<ToastManager> toasts = heldToasts();
    FakeDesktop desktop;
    int dismissals = 0;
    QList<Selection> selections;
    Date now = kExpiry.addingSeconds(-(29 * 24 + 23) * 3600.0);
  };

  std::unique_ptr<TestEnvironment> environment_;
  std::unique_ptr<ScriptedHttpServer> server_;
  std::unique_ptr<ShareLinkCacheStore> store_;
  std::unique_ptr<Deck> deck_;
  std::optional<Motion::OffScope> still_;

  ShareSheetView* open(int slideIndex = 3) {
    Deck& deck = *deck_;
    ShareSheetEnvironment environment;
    environment.makeClient = [this] {
      ShareLinkClient client(server_->baseUrl(), QStringLiteral("1.0"), *store_);
      client.setNetworkRetryDelay(1ms);
      return client;
    };
    environment.services = deck.desktop.services();
    environment.now = [&deck] { return deck.now; };
    return new ShareSheetView(
        SlideShareContext{sam(), slideIndex, QStringLiteral("+15550001111")}, *deck.toasts,
        [&deck] { ++deck.dismissals; },
        [&deck](ShareDestination destination, ShareMode mode) {
          deck.selections.append({destination, mode});
        },
        &deck.host, environment);
  }

  static void click(ShareSheetView* sheet, const SheetTarget& target) {
    const std::optional<QRectF> rect = sheet->sheetLayout().rectOf(target);
    QVERIFY2(rect, "the target is not on the sheet");
    QTest::mouseClick(sheet, Qt::LeftButton, {}, rect->center().toPoint());
  }
  static void tapTile(ShareSheetView* sheet, int index) { click(sheet, SheetTarget{SheetElement::tile, index}); }
  static void waitForAnswer(ShareSheetView* sheet) { QTRY_VERIFY(!sheet->state().isGeneratingLink); }

 private Q_SLOTS:
  void initTestCase() {
    prepareNetworkTests();
    environment_ = std::make_unique<TestEnvironment>();
    still_.emplace();
  }
  void cleanupTestCase() {
    still_.reset();
    environment_.reset();
  }
  void init() {
    FileSystem::removeQuietly(*AppPaths::appFolder());
    server_ = std::make_unique<ScriptedHttpServer>();
    server_->setDefault("/v1/register", ScriptedResponse::json(200, R"({"auth_token":"token"})"));
    server_->setDefault(kShares, linkAnswer());
    store_ = std::make_unique<ShareLinkCacheStore>();
    deck_ = std::make_unique<Deck>();
    deck_->host.resize(390, 780);
    deck_->host.show();
  }
  void cleanup() {
    deck_.reset();
    server_.reset();
  }

  void opensOnTheWholeDeck() {
    ShareSheetView* sheet = open();
    const ShareSheetLayout first = sheet->sheetLayout();
    QCOMPARE(sheet->state().mode, ShareMode::slideshow);
    QCOMPARE(first.options->subtitle.shownText(), QStringLiteral("YOU AND SAM"));
    QVERIFY(!first.rectOf({SheetElement::copy}));  // the rows each mode does show are clicked in tilesAndRows
    QCOMPARE(first.options->note.shownText(), QStringLiteral(" "));

    click(sheet, {SheetElement::modeThisSlide});
    const ShareSheetLayout single = sheet->sheetLayout();
    QCOMPARE(single.options->subtitle.shownText(), QStringLiteral("THE 9PM SPIKE"));
    QVERIFY(!single.rectOf({SheetElement::generateLink}));
    QCOMPARE(single.options->note.shownText(), QStringLiteral("Image will be copied to clipboard for social"));
    // The blank note keeps the line's height, and the card stays on the bottom inset.
    QCOMPARE(single.options->note.height(), first.options->note.height());
    QCOMPARE(single.card.bottom(), 780.0 - 12.0);
    QCOMPARE(server_->requestCount(), 0);
  }

  void tilesAndRows_data() {
    QTest::addColumn<ShareMode>("mode");
    QTest::addColumn<SheetTarget>("target");
    QTest::addColumn<ShareDestination>("destination");
    QTest::addColumn<QByteArray>("opened");  // the hand-off after a link; none: the deck's to do
    QTest::addColumn<QString>("toast");
    const SheetTarget messages{SheetElement::tile, 1};
    const QByteArray deckText =
        "I%20wrapped-up%20my%205-message%20chat%20with%20Sam%20via%20murmela.app.%20" + kLink.toUtf8();
    // Only Messages and X make a link, and only for the whole deck.
    QTest::newRow("one slide, Messages") << ShareMode::thisSlide << messages << ShareDestination::iMessage
                                         << QByteArray() << "";
    QTest::newRow("whole deck, Stories") << ShareMode::slideshow << SheetTarget{SheetElement::tile, 0}
                                         << ShareDestination::instagram << QByteArray() << "";
    QTest::newRow("whole deck, Messages")
        << ShareMode::slideshow << messages << ShareDestination::iMessage << QByteArray("sms:?body=" + deckText)
        << "Image copied. Paste into the message (Ctrl+V).";
    QTest::newRow("whole deck, X") << ShareMode::slideshow << SheetTarget{SheetElement::tile, 2}
                                   << ShareDestination::twitter
                                   << QByteArray("https://x.com/intent/tweet?text=" + deckText)
                                   << "Image copied. Paste into your post (Ctrl+V).";
    QTest::newRow("whole deck, download") << ShareMode::slideshow << SheetTarget{SheetElement::download}
                                          << ShareDestination::downloadImage << QByteArray() << "";
    QTest::newRow("one slide, copy") << ShareMode::thisSlide << SheetTarget{SheetElement::copy}
                                     << ShareDestination::copyImage << QByteArray() << "";
  }
  void tilesAndRows() {
    QFETCH(ShareMode, mode);
    QFETCH(SheetTarget, target);
    QFETCH(ShareDestination, destination);
    QFETCH(QByteArray, opened);
    QFETCH(QString, toast);
    const bool bySheet = !opened.isEmpty();
    ShareSheetView* sheet = open();
    if (mode == ShareMode::thisSlide) click(sheet, {SheetElement::modeThisSlide});
    click(sheet, target);
    if (bySheet) {
      QCOMPARE(deck_->toasts->current(), QStringLiteral("Generating link..."));
      waitForAnswer(sheet);
    }
    const QList<Selection> toTheDeck = bySheet ? QList<Selection>() : QList<Selection>{{destination, mode}};
    QCOMPARE(deck_->selections, toTheDeck);
    QCOMPARE(server_->requests(kShares).size(), bySheet ? 1 : 0);
    QCOMPARE(deck_->desktop.opened.size(), bySheet ? 1 : 0);
    if (bySheet) QCOMPARE(deck_->desktop.opened.first().toEncoded(), opened);
    QCOMPARE(deck_->toasts->current().value_or(QString()), toast);
    // Only a share the sheet carried out itself closes it from here.
    QCOMPARE(deck_->dismissals, bySheet ? 1 : 0);
  }

  void aSecondTapWhileALinkIsMadeDoesNothing() {
    server_->setDefault(kShares, linkAnswer().withDelay(300));
    ShareSheetView* sheet = open();
    tapTile(sheet, 1);
    tapTile(sheet, 1);
    tapTile(sheet, 2);
    click(sheet, {SheetElement::generateLink});
    tapTile(sheet, 0);  // Stories waits too
    waitForAnswer(sheet);
    QCOMPARE(server_->requests(kShares).size(), 1);
    QCOMPARE(deck_->desktop.opened.size(), 1);
    QVERIFY(deck_->desktop.opened.first().toString().startsWith(QStringLiteral("sms:")));
    QVERIFY(deck_->selections.isEmpty());
    QCOMPARE(deck_->dismissals, 1);
  }

  void aRateLimitIsToldTwiceAndTheSheetStays() {
    server_->setDefault(kShares, ScriptedResponse::json(429, R"({"detail":{"message":"slow down","limit":20}})"));
    ShareSheetView* sheet = open();
    tapTile(sheet, 1);
    waitForAnswer(sheet);
    QCOMPARE(deck_->toasts->current(), kRateLimited);
    QCOMPARE(sheet->state().generationError, kRateLimited);
    QCOMPARE(sheet->sheetLayout().options->generateLink->error->shownText().simplified(), kRateLimited);
    QCOMPARE(deck_->dismissals, 0);
    QVERIFY(deck_->desktop.opened.isEmpty());

    // "Generate link" fails the same way: the message under it is said too.
    click(sheet, {SheetElement::generateLink});
    waitForAnswer(sheet);
    QCOMPARE(sheet->reader().announcement(), kRateLimited);

    // Trying again clears the old message before the new request starts.
    server_->setDefault(kShares, linkAnswer().withDelay(200));
    click(sheet, {SheetElement::generateLink});
    QVERIFY(sheet->state().isGeneratingLink);
    QCOMPARE(sheet->state().generationError, std::nullopt);
    waitForAnswer(sheet);
  }

  // A proxy's whole error page stays inside the window: the card keeps to
  // it and the failure, whole, scrolls in its box.
  void aLongFailureStaysInTheWindow() {
    const QByteArray page =
        "<html>" + QByteArray("the proxy could not reach the upstream server ").repeated(80) + "</html>";
    server_->setDefault(kShares, ScriptedResponse::json(403, page));
    ShareSheetView* sheet = open();
    click(sheet, {SheetElement::generateLink});
    waitForAnswer(sheet);
    const ShareSheetLayout layout = sheet->sheetLayout();
    const GenerateLinkRow::Layout& row = *layout.options->generateLink;
    QVERIFY(layout.bounds.contains(layout.card) && layout.card.contains(row.errorBox) && row.errorScrollRange > 0.0);
    QCOMPARE(row.error->shownText().simplified(), sheet->state().generationError->simplified());
    QTest::keyClick(sheet, Qt::Key_PageDown);
    const qreal step = std::min(row.errorBox.height(), row.errorScrollRange);  // a page, or to the end
    QCOMPARE(sheet->sheetLayout().options->generateLink->errorOrigin.y(), row.errorOrigin.y() - step);
  }

  void theLinkPageAndTheCache() {
    ShareSheetView* sheet = open();
    click(sheet, {SheetElement::generateLink});
    QVERIFY(!deck_->toasts->current());  // "Generate link" shows no toast
    QTRY_VERIFY(sheet->state().generatedLink);
    // A click asked for it: no ring shows on the new page.
    QVERIFY(!sheet->buttonHost().showsFocus(ShareSheetView::idOf({SheetElement::copyLink})));
    ShareSheetLayout page = sheet->sheetLayout();
    QCOMPARE(page.linkPage->status.shownText(), QStringLiteral("ANYONE WITH THIS LINK CAN VIEW"));
    QCOMPARE(page.linkPage->link.shownText(), QStringLiteral("murmela.test/s/s1"));
    QCOMPARE(page.linkPage->subtitle.shownText(), QString::fromUtf8("YOU AND SAM · 14 SLIDES"));
    QCOMPARE(page.linkPage->expiry.shownText(), QStringLiteral("Link expires in 29 days"));
    deck_->now = kExpiry.addingSeconds(-3 * 3600.0);
    QCOMPARE(sheet->sheetLayout().linkPage->expiry.shownText(), QStringLiteral("Link expires in 1 days"));

    click(sheet, {SheetElement::copyLink});
    QCOMPARE(deck_->desktop.copiedTexts, QStringList{kLink});
    QCOMPARE(sheet->reader().announcement(), QStringLiteral("Link copied"));

    click(sheet, {SheetElement::back});
    QVERIFY(!sheet->state().generatedLink);
    QCOMPARE(sheet->state().mode, ShareMode::slideshow);
    click(sheet, {SheetElement::generateLink});
    QTRY_VERIFY(sheet->state().generatedLink);
    QVERIFY(sheet->state().generatedLink->fromLocalCache);
    QCOMPARE(sheet->sheetLayout().linkPage->status.shownText().simplified(),
             QString::fromUtf8("YOU ALREADY SHARED THIS MURMELA — HERE'S THE LINK."));
    QCOMPARE(sheet->reader().announcement(),
             QString::fromUtf8("You already shared this Murmela — here's the link. murmela.test/s/s1. "
                               "Link expires in 1 days"));
    QCOMPARE(server_->requests(kShares).size(), 1);
    QCOMPARE(deck_->dismissals, 0);
  }

  void theShareMenu_data() {
    QTest::addColumn<SheetTarget>("item");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QByteArray>("opened");
    QTest::addColumn<QStringList>("copied");
    QTest::newRow("copy link") << SheetTarget{SheetElement::menuCopyLink} << true << QByteArray() << QStringList{kLink};
    QTest::newRow("open in browser") << SheetTarget{SheetElement::menuOpenInBrowser} << true << kLink.toUtf8()
                                     << QStringList();
    QTest::newRow("nothing opens it: copied instead")
        << SheetTarget{SheetElement::menuOpenInBrowser} << false << kLink.toUtf8() << QStringList{kLink};
    QTest::newRow("email") << SheetTarget{SheetElement::menuEmailLink} << true
                           << QByteArray("mailto:?body=" + kLink.toUtf8()) << QStringList();
  }
  void theShareMenu() {
    QFETCH(SheetTarget, item);
    QFETCH(bool, opens);
    QFETCH(QByteArray, opened);
    QFETCH(QStringList, copied);
    ShareSheetView* sheet = open();
    click(sheet, {SheetElement::generateLink});
    QTRY_VERIFY(sheet->state().generatedLink);
    click(sheet, {SheetElement::shareLink});
    QVERIFY(sheet->state().shareMenuOpen);
    // Only the menu answers now; a click beside it just closes it.
    QCOMPARE(sheet->sheetLayout().hitTest(sheet->sheetLayout().linkPage->copyLink.frame.center()), std::nullopt);
    deck_->desktop.opensUrls = opens;
    click(sheet, item);
    QVERIFY(!sheet->state().shareMenuOpen);
    QCOMPARE(deck_->desktop.copiedTexts, copied);
    if (!opened.isEmpty()) QCOMPARE(deck_->desktop.opened.last().toEncoded(), opened);
  }

  void theBackdropClosesTheCardDoesNot() {
    ShareSheetView* sheet = open();
    const ShareSheetLayout layout = sheet->sheetLayout();
    QTest::mouseClick(sheet, Qt::LeftButton, {}, layout.options->footerOrigin.toPoint() + QPoint(2, 2));
    QTest::mouseClick(sheet, Qt::LeftButton, {}, layout.options->subtitleOrigin.toPoint() + QPoint(2, 2));
    QCOMPARE(deck_->dismissals, 0);
    QTest::mouseClick(sheet, Qt::LeftButton, {}, QPoint(195, 40));
    QCOMPARE(deck_->dismissals, 1);
    QTest::keyClick(sheet, Qt::Key_Escape);
    QCOMPARE(deck_->dismissals, 2);
  }

  void chevronsKeepTheirOwnFocus() {
    ShareSheetView* sheet = open();
    click(sheet, {SheetElement::modeThisSlide});
    click(sheet, {SheetElement::chevronRight});
    QCOMPARE(sheet->state().focusedSocial, 2);
    tapTile(sheet, 0);
    const QPointF row = sheet->sheetLayout().options->social.frame.center();
    QWheelEvent wheel(row, sheet->mapToGlobal(row), QPoint(), QPoint(-120, 0), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(sheet, &wheel);
    QCOMPARE(sheet->state().focusedSocial, 2);
    click(sheet, {SheetElement::chevronRight});
    QCOMPARE(sheet->state().focusedSocial, 3);
    click(sheet, {SheetElement::chevronLeft});
    QCOMPARE(sheet->state().focusedSocial, 1);
  }

  void aLateLinkLeavesANewerSheetAlone() {
    server_->setDefault(kShares, linkAnswer().withDelay(300));
    QPointer<ShareSheetView> first = open();
    tapTile(first, 1);
    first->closeAnimated();  // closed by the user while the link is being made
    QTRY_VERIFY(!first);
    ShareSheetView* second = open();
    QTRY_COMPARE(deck_->desktop.opened.size(), 1);  // the share the first sheet asked for still happens
    QCOMPARE(deck_->dismissals, 0);
    QVERIFY(!second->isClosing() && second->isVisible());
    QVERIFY(!second->state().isGeneratingLink);
  }
};

MURMELA_TEST(ShareSheetTest)
#include "ShareSheetTest.moc"
