// The permissions screen: the two cards for every state, Continue only when
// both are granted, each button's coordinator operation, and the probes.
#include "ScreenTestSupport.h"
#include "app/SettingsPaneOpener.h"
#include "screens/permissions/PermissionsView.h"
#include "shell/ScreenHosts.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

Q_DECLARE_METATYPE(murmela::ContactAccessStatus)
Q_DECLARE_METATYPE(murmela::PermissionCard::Status)

namespace {

using Status = PermissionCard::Status;

std::optional<PermissionSnapshot> snapshot(bool disk, ContactAccessStatus contacts) {
  return PermissionSnapshot{disk, contacts};
}

}  // namespace

class PermissionsViewTest : public ScreenTest {
  Q_OBJECT

 private Q_SLOTS:
  void contactsCard_data() {
    QTest::addColumn<bool>("probed");
    QTest::addColumn<ContactAccessStatus>("contacts");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("button");  // empty: none
    const ContactAccessStatus unused = ContactAccessStatus::notDetermined();
    QTest::newRow("no probe yet") << false << unused << Status::todo
                                  << "Required. Lets Murmela show names instead of phone numbers. Status: checking…"
                                  << "";
    QTest::newRow("not determined") << true << ContactAccessStatus::notDetermined() << Status::todo
                                    << "Required. Lets Murmela show names instead of phone numbers."
                                    << "Request Access";
    QTest::newRow("authorized") << true << ContactAccessStatus::authorized() << Status::ok
                                << "Granted. Murmela will show contact names for your conversations."
                                << "";
    QTest::newRow("denied") << true << ContactAccessStatus::denied() << Status::todo
                            << "Denied. Open Settings and choose an address book (a vCard file or folder) for Murmela."
                            << "Open Settings";
    QTest::newRow("restricted") << true << ContactAccessStatus::restricted() << Status::todo
                                << "Restricted by this computer. Murmela will fall back to phone numbers and emails."
                                << "Open Settings";
    QTest::newRow("unknown") << true << ContactAccessStatus::unknown("CNAuthorizationStatus(7)") << Status::todo
                             << "Required. Status unknown. Try requesting access."
                             << "Open Settings";
  }
  void contactsCard() {
    QFETCH(bool, probed);
    QFETCH(ContactAccessStatus, contacts);
    QFETCH(Status, status);
    QFETCH(QString, detail);
    QFETCH(QString, button);
    AppCoordinator& coordinator = harness().make();
    coordinator.setPermissions(probed ? snapshot(true, contacts) : std::nullopt);
    PermissionsView view(hostsOf(coordinator));
    const PermissionsView::Layout layout = view.layout();
    QCOMPARE(layout.cards.contacts.status, status);
    QCOMPARE(layout.cards.contacts.title, QStringLiteral("Read access to your Contacts"));
    QCOMPARE(layout.cards.contacts.detail, detail);
    QCOMPARE(layout.cards.contacts.actionLabel.value_or(QString()), button);
    QCOMPARE(layout.contacts.button.has_value(), !button.isEmpty());
    QCOMPARE(layout.cards.fullDiskAccess.status, probed ? Status::ok : Status::todo);
    QCOMPARE(layout.fullDiskAccess.button.has_value(), !probed);
    QCOMPARE(layout.continueEnabled, status == Status::ok);
    // The cards stack from 260 down, 15 apart, above Check Again.
    QCOMPARE(layout.fullDiskAccess.card.top(), 260.0);
    QCOMPARE(layout.contacts.card.top(), layout.fullDiskAccess.card.bottom() + 15.0);
    QVERIFY(layout.contacts.card.bottom() < layout.checkAgainRect.top());
  }

  void continueNeedsBoth_data() {
    QTest::addColumn<bool>("probed");
    QTest::addColumn<bool>("disk");
    QTest::addColumn<ContactAccessStatus>("contacts");
    QTest::addColumn<QString>("screen");
    QTest::newRow("no probe yet") << false << true << ContactAccessStatus::authorized() << "permissions";
    QTest::newRow("both granted") << true << true << ContactAccessStatus::authorized() << "contactPicker";
    QTest::newRow("contacts only") << true << false << ContactAccessStatus::authorized() << "permissions";
    QTest::newRow("database only") << true << true << ContactAccessStatus::denied() << "permissions";
  }
  void continueNeedsBoth() {
    QFETCH(bool, probed);
    QFETCH(bool, disk);
    QFETCH(ContactAccessStatus, contacts);
    QFETCH(QString, screen);
    AppCoordinator& coordinator = harness().make();
    coordinator.setScreen(AppScreen::permissions());
    coordinator.setPermissions(probed ? snapshot(disk, contacts) : std::nullopt);
    PermissionsView view(hostsOf(coordinator));
    clickAt(view, view.layout().continueRect);
    QCOMPARE(screenName(coordinator), screen);
  }

  // Every button runs the coordinator operation it stands for.
  void buttonsCallTheCoordinator_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<ContactAccessStatus>("contacts");
    QTest::addColumn<QList<QUrl>>("panes");
    QTest::addColumn<int>("requests");
    QTest::addColumn<QString>("screen");
    const ContactAccessStatus denied = ContactAccessStatus::denied();
    QTest::newRow("database: Open Settings")
        << int(PermissionsView::fullDiskAccessButton) << denied << QList<QUrl>{SettingsPaneOpener::fullDiskAccessPane()}
        << 0 << "permissions";
    QTest::newRow("contacts: Request Access")
        << int(PermissionsView::contactsButton) << ContactAccessStatus::notDetermined() << QList<QUrl>{} << 1
        << "permissions";
    QTest::newRow("contacts denied: Open Settings")
        << int(PermissionsView::contactsButton) << denied << QList<QUrl>{SettingsPaneOpener::contactsPrivacyPane()} << 0
        << "permissions";
    QTest::newRow("contacts restricted: Open Settings")
        << int(PermissionsView::contactsButton) << ContactAccessStatus::restricted()
        << QList<QUrl>{SettingsPaneOpener::contactsPrivacyPane()} << 0 << "permissions";
    QTest::newRow("Back") << int(PermissionsView::backButton) << denied << QList<QUrl>{} << 0 << "intelligence";
  }
  void buttonsCallTheCoordinator() {
    QFETCH(int, button);
    QFETCH(ContactAccessStatus, contacts);
    QFETCH(QList<QUrl>, panes);
    QFETCH(int, requests);
    QFETCH(QString, screen);
    harness().fakes.contactStore->status = contacts;
    AppCoordinator& coordinator = harness().make();
    coordinator.setScreen(AppScreen::permissions());
    coordinator.setPermissions(snapshot(false, contacts));
    PermissionsView view(hostsOf(coordinator));
    const PermissionsView::Layout layout = view.layout();
    const QRectF target = button == PermissionsView::fullDiskAccessButton ? *layout.fullDiskAccess.button
                          : button == PermissionsView::contactsButton     ? *layout.contacts.button
                                                                          : layout.back;
    clickAt(view, target);
    QTRY_COMPARE(harness().fakes.contactStore->requests.load(), requests);
    QCOMPARE(harness().fakes.paneOpener->opened, panes);
    QCOMPARE(screenName(coordinator), screen);
  }

  // Showing the screen probes, and so does "↻ Check Again"; the answer is stored.
  void probes() {
    harness().fakes.snapshot = {true, ContactAccessStatus::denied()};
    AppCoordinator& coordinator = harness().make();
    PermissionsView view(hostsOf(coordinator));
    QCOMPARE(harness().fakes.probes.load(), 0);
    view.show();
    QTRY_COMPARE(coordinator.permissions(), std::optional<PermissionSnapshot>(harness().fakes.snapshot));
    QCOMPARE(harness().fakes.probes.load(), 1);
    QCOMPARE(view.layout().cards.contacts.actionLabel, std::optional<QString>(QStringLiteral("Open Settings")));
    QVERIFY(view.reader().announcement().isEmpty());  // the first answer changes nothing shown

    harness().fakes.snapshot = {true, ContactAccessStatus::authorized()};
    clickAt(view, view.layout().checkAgainRect);
    QTRY_COMPARE(coordinator.permissions(), std::optional<PermissionSnapshot>(harness().fakes.snapshot));
    QCOMPARE(harness().fakes.probes.load(), 2);
    QVERIFY(view.layout().continueEnabled);
    QTRY_COMPARE(view.reader().announcement(),
                 "Granted. Murmela will show contact names for your conversations. Continue is available.");
  }
};

MURMELA_TEST(PermissionsViewTest)
#include "PermissionsViewTest.moc"
