// The "My shares" sheet over the home screen, on a coordinator whose share
// links are the production ones: the cache in a temporary application folder
// and revocations sent to a scripted backend.
#include "HomeTestSupport.h"

#include "app/AppCoordinator.h"
#include "kit/access/AccessibleEvents.h"
#include "common/AppPaths.h"
#include "screens/home/HomeView.h"
#include "sharelinks/ShareLinkCacheStore.h"
#include "sheets/myshares/MySharesView.h"
#include "shell/ScreenHosts.h"
#include "support/FakeNeighbours.h"
#include "support/NetworkTestSupport.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"

#include <QAccessible>
#include <QClipboard>
#include <QScopeGuard>
#include <QDir>
#include <QGuiApplication>

#include <chrono>

using namespace murmela;
using namespace murmela::test;
using namespace std::chrono_literals;

namespace {

constexpr double kDay = 86400.0;

ShareCacheEntry entry(const QString& id, double createdDaysAgo, double expiresInDays = 30, bool revoked = false) {
  const Date now = Date::now();
  ShareCacheEntry made;
  made.shareID = id;
  made.contentHash = QStringLiteral("hash-") + id;
  made.contactHandle = QStringLiteral("+1555000") + id;
  made.contactDisplay = QStringLiteral("Person ") + id;
  made.shareURL = QUrl(QStringLiteral("https://murmela.test/s/") + id);
  made.createdAt = now.addingSeconds(-createdDaysAgo * kDay);
  made.expiresAt = now.addingSeconds(expiresInDays * kDay);
  made.revoked = revoked;
  return made;
}

QStringList idsOf(const QList<MyShareRow>& rows) {
  QStringList ids;
  for (const MyShareRow& row : rows) ids.append(row.share.shareID);
  return ids;
}

}  // namespace

class MySharesViewTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    FontRegistry::registerFonts();
    prepareAppTests();
    prepareNetworkTests();
  }
  void init() {
    harness_ = std::make_unique<CoordinatorHarness>();
    alerts_ = {};
    server_ = std::make_unique<ScriptedHttpServer>();
    server_->setHandler("/v1/register",
                        [](const RecordedRequest&) { return ScriptedResponse::json(200, R"({"auth_token":"t"})"); });
  }
  void cleanup() {
    view_.reset();
    harness_.reset();
    server_.reset();
  }

  void listsTheLiveLinksOnly_data() {
    QTest::addColumn<QList<ShareCacheEntry>>("cached");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("nothing cached") << QList<ShareCacheEntry>{} << QStringList{};
    QTest::newRow("live ones newest first; revoked and expired left out")
        << QList<ShareCacheEntry>{entry("s1", 3), entry("s2", 1), entry("s3", 2, 30, true), entry("s4", 40, -10),
                                  entry("s5", 0.2)}
        << QStringList{"s5", "s2", "s1"};
    QTest::newRow("only revoked and expired")
        << QList<ShareCacheEntry>{entry("s1", 2, 30, true), entry("s2", 9, -1)} << QStringList{};
  }
  void listsTheLiveLinksOnly() {
    QFETCH(QList<ShareCacheEntry>, cached);
    QFETCH(QStringList, listed);
    const MySharesView& sheet = openSheet(cached);
    QCOMPARE(idsOf(sheet.rows()), listed);
    QCOMPARE(sheet.sheetLayout().rows.size(), listed.size());
    QCOMPARE(sheet.sheetLayout().emptyCard.has_value(), listed.isEmpty());
    QCOMPARE(sheet.sheetLayout().list.isEmpty(), listed.isEmpty());
    QCOMPARE(view_->screenLayout().shareCount.shownText(), QString::number(listed.size()));
  }

  void copyPutsTheExactAddress_data() {
    QTest::addColumn<QString>("address");
    QTest::newRow("plain") << "https://murmela.test/s/s1";
    QTest::newRow("escapes, query and fragment") << "https://murmela.test/s/a%2Fb%20c?ref=x&y=%C3%A9#top";
  }
  void copyPutsTheExactAddress() {
    QFETCH(QString, address);
    ShareCacheEntry share = entry("s1", 1);
    share.shareURL = QUrl(address);
    MySharesView& sheet = openSheet({share, entry("s0", 2)});
    QGuiApplication::clipboard()->setText(QStringLiteral("what was there before"));
    clickAt(sheet, pillOnSheet(sheet, 0, false));
    QCOMPARE(QGuiApplication::clipboard()->text(), address);
    QCOMPARE(sheet.reader().announcement(), QStringLiteral("Link copied"));
    QVERIFY(alerts_.shown.isEmpty());
    QCOMPARE(server_->requestCount(), 0);
  }

  void revokeAfterItsConfirmation_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("status");  // the backend's answer to the revocation
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("requests");   // revocations sent
    QTest::addColumn<QString>("error");  // in the box; empty: no box
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("cancelled") << "Cancel" << 0 << QByteArray() << 0 << "" << QStringList{"s1", "s0"};
    QTest::newRow("revoked") << "Revoke" << 200 << QByteArray(R"({"ok":true})") << 1 << "" << QStringList{"s0"};
    QTest::newRow("not found") << "Revoke" << 404 << QByteArray("share not found") << 1
                               << "Share link HTTP 404: share not found" << QStringList{"s1", "s0"};
    QTest::newRow("server failure") << "Revoke" << 500 << QByteArray("boom") << 1
                                    << "Couldn't revoke share link. Try again in a moment." << QStringList{"s1", "s0"};
  }
  void revokeAfterItsConfirmation() {
    QFETCH(QString, answer);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, requests);
    QFETCH(QString, error);
    QFETCH(QStringList, listed);
    const QByteArray path = "/v1/shares/s1/revoke";
    if (status != 0) server_->enqueue(path, ScriptedResponse::json(status, body));
    MySharesView& sheet = openSheet({entry("s1", 1), entry("s0", 2)});

    clickAt(sheet, pillOnSheet(sheet, 0, true));
    QCOMPARE(alerts_.shown.size(), 1);
    QCOMPARE(alerts_.shown.last().request.title, QStringLiteral("Revoke this share?"));
    QCOMPARE(alerts_.shown.last().request.message, QStringLiteral("Anyone with the link will see a revoked page."));
    QCOMPARE(alerts_.shown.last().parent.data(), &sheet);  // over the sheet, not behind it
    QCOMPARE(view_->sharePendingRevocation().value_or(ShareCacheEntry{}).shareID, QStringLiteral("s1"));
    QCOMPARE(server_->requests(path).size(), 0);  // nothing before the confirmation

    QVERIFY(alerts_.answer(answer));
    QVERIFY(!view_->sharePendingRevocation());
    settle();
    QCOMPARE(server_->requests(path).size(), requests);
    QCOMPARE(idsOf(sheet.rows()), listed);
    const MySharesView::Layout& layout = sheet.sheetLayout();
    QCOMPARE(layout.errorBox.has_value(), !error.isEmpty());
    QCOMPARE(layout.error.shownText(), error);
    // What came of it is said: the revocation, or the error left in the box.
    const QString said = error.isEmpty() && requests > 0 ? QStringLiteral("Share revoked") : error;
    QCOMPARE(sheet.reader().announcement(), said);

    // A row that stays can be revoked again: the confirmation asks again.
    if (listed.first() == QStringLiteral("s1")) {
      clickAt(sheet, pillOnSheet(sheet, 0, true));
      QCOMPARE(alerts_.shown.size(), 2);
    }
  }

  void focusComesBackAfterTheAlert() {
    MySharesView& sheet = openSheet({entry("s1", 1)});
    view_->setAlertPresenter(dialogAlertPresenter());
    const int revoke = MySharesView::ButtonId::firstRow + 1;  // Esc on its alert gives the keyboard back
    QVERIFY(sheet.buttonHost().focusButton(revoke) && sheet.buttonHost().activate(revoke));
    auto* alert = sheet.findChild<AlertDialog*>();
    QApplication::setActiveWindow(alert);
    QTest::keyClick(alert, Qt::Key_Escape);
    QTRY_VERIFY(sheet.buttonHost().showsFocus(revoke));
  }

  // The ring leaves a revoked row before its news is said, and the news is said once.
  void revokedRowGivesUpTheRingBeforeTheNews() {
    server_->enqueue("/v1/shares/s1/revoke", ScriptedResponse::json(200, R"({"ok":true})"));
    MySharesView& sheet = openSheet({entry("s1", 1)});
    QAccessible::queryAccessibleInterface(&sheet);  // a reader looks at it
    static QStringList told;
    setAccessibleEventSink([](QAccessibleEvent* event) {
      if (event->type() == QAccessible::Focus || event->type() == QAccessible::ObjectShow)
        told.append(event->type() == QAccessible::Focus ? QStringLiteral("focus") : QStringLiteral("news"));
    });
    const auto usual = qScopeGuard([] { setAccessibleEventSink(nullptr); });
    const int revoke = MySharesView::ButtonId::firstRow + 1;
    QApplication::setActiveWindow(sheet.window());
    QVERIFY(sheet.buttonHost().focusButton(revoke) && sheet.buttonHost().showsFocus(revoke));
    QVERIFY(sheet.buttonHost().activate(revoke));
    told.clear();
    QVERIFY(alerts_.answer(QStringLiteral("Revoke")));
    settle();
    QCOMPARE(told, (QStringList{"focus", "news"}));
    QCOMPARE(sheet.reader().announcement(), QStringLiteral("Share revoked"));
  }

  // Tab round an empty sheet (Done its only stop) says why there is nothing else.
  void tabInAnEmptySheet_data() {
    QTest::addColumn<int>("links");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("no links") << 0 << QStringList{"No active shares. Generated links will show up here until they expire."};
    QTest::newRow("a link: the ring moves on") << 1 << QStringList{};
  }
  void tabInAnEmptySheet() {
    QFETCH(int, links);
    QList<ShareCacheEntry> shares;
    if (links) shares.append(entry("s1", 1));
    MySharesView& sheet = openSheet(shares);
    QAccessible::queryAccessibleInterface(&sheet);
    static QStringList said;
    said.clear();
    setAccessibleEventSink([](QAccessibleEvent* event) {
      if (event->type() == QAccessible::ObjectShow) said.append(event->accessibleInterface()->text(QAccessible::Name));
    });
    const auto usual = qScopeGuard([] { setAccessibleEventSink(nullptr); });
    QApplication::setActiveWindow(sheet.window());
    QVERIFY(sheet.buttonHost().focusButton(MySharesView::ButtonId::done));
    QTest::keyClick(&sheet, Qt::Key_Tab);
    QTEST(said, "said");
  }

  // Closing is one path; the failure text outlives the sheet until the next revocation.
  void closing_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("Done") << false;
    QTest::newRow("Esc") << true;
  }
  void closing() {
    QFETCH(bool, escape);
    MySharesView* sheet = &openSheet({entry("s1", 1)});
    harness_->coordinator->setShareRevocationError(QStringLiteral("Share link HTTP 0: Network failure"));
    if (escape)
      QTest::keyClick(sheet, Qt::Key_Escape);
    else
      clickAt(*sheet, sheet->sheetLayout().done);
    QVERIFY(!view_->sharesSheetVisible());
    QTRY_VERIFY(!view_->sharesSheet());  // closed sheets go away
    clickAt(*view_, view_->screenLayout().myShares);
    QVERIFY(view_->sharesSheet()->sheetLayout().errorBox.has_value());
  }

  // Backend texts wrap inside their box or end in an ellipsis; neither moves
  // "Done" or the pills.
  void longTextsKeepTheButtonsInPlace_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("error");
    QTest::newRow("long name") << QString(QStringLiteral("Maximiliana Alexandrina ")).repeated(6) << QString();
    QTest::newRow("long error") << QStringLiteral("Ana")
                                << QStringLiteral("Share link HTTP 404: ") + QString("no such share ").repeated(80);
  }
  void longTextsKeepTheButtonsInPlace() {
    QFETCH(QString, name);
    QFETCH(QString, error);
    ShareCacheEntry share = entry("s1", 1);
    const MySharesView::Layout plain = MySharesView::layoutFor({share}, QStringLiteral("Share link HTTP 404: x"));
    share.contactDisplay = name;
    const MySharesView::Layout layout =
        MySharesView::layoutFor({share}, error.isEmpty() ? QStringLiteral("Share link HTTP 404: x") : error);
    QCOMPARE(layout.done, plain.done);
    QCOMPARE(layout.rows[0].copy.x(), plain.rows[0].copy.x());
    QCOMPARE(layout.rows[0].revoke.right(), plain.rows[0].revoke.right());
    QCOMPARE(layout.rows[0].dates.lines.size(), 1);
    // A screen reader gets the whole dates line (the row cuts it) and name.
    const QList<PaintedReader::KeyedText> texts = openSheet({share}).reader().texts();
    QCOMPARE(texts[texts.size() - 2].text.text, QStringLiteral("you & ") + name);
    QCOMPARE(texts.last().text.text, MyShareRow::datesLine(share));
    QVERIFY(layout.rows[0].name.lines.size() <= MyShareRow::kNameLines);
    QVERIFY(layout.error.lines.size() <= MySharesView::kErrorLines);
    QCOMPARE(layout.error.elided, !error.isEmpty());
    QVERIFY(layout.list.top() > layout.errorBox->bottom());
    QVERIFY(layout.list.height() > 200.0);
  }

 private:
  // Home over the production share links, with the sheet open.
  MySharesView& openSheet(const QList<ShareCacheEntry>& cached) {
    for (const ShareCacheEntry& share : cached) ShareLinkCacheStore().upsert(share);
    CoordinatorServices services = harness_->fakes.services();
    const CoordinatorServices production =
        makeProductionServices({QStringLiteral("murmela"), QStringLiteral("-shareAPIBaseURL"), server_->baseUrl()});
    services.revokeShareLink = production.revokeShareLink;
    services.activeShares = production.activeShares;
    harness_->coordinator = std::make_unique<AppCoordinator>(services);
    view_ = std::make_unique<HomeView>(hostsOf(*harness_->coordinator));
    view_->setAlertPresenter(alerts_.presenter());
    view_->show();
    clickAt(*view_, view_->screenLayout().myShares);
    settle();
    return *view_->sharesSheet();
  }
  // Lets every refresh and revocation in flight publish (a revocation's own
  // refresh starts only once it has published).
  void settle() {
    for (int round = 0; round < 3; ++round) {
      QVERIFY(harness_->coordinator->waitForBackgroundWork(10s));
      QCoreApplication::processEvents();
    }
  }
  QRectF pillOnSheet(const MySharesView& sheet, int row, bool revoke) const {
    const MyShareRow::Layout& layout = sheet.sheetLayout().rows[row];
    return (revoke ? layout.revoke : layout.copy)
        .translated(0.0, sheet.sheetLayout().list.top() - sheet.scroller().offset());
  }

  std::unique_ptr<CoordinatorHarness> harness_;
  std::unique_ptr<ScriptedHttpServer> server_;
  std::unique_ptr<HomeView> view_;
  AlertRecorder alerts_;
};

MURMELA_TEST(MySharesViewTest)
#include "MySharesViewTest.moc"
