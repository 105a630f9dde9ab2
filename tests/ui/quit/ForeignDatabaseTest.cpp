#include "app/AppCoordinator.h"
#include "kit/motion/Motion.h"
#include "screens/intelligence/IntelligenceView.h"
#include "screens/permissions/PermissionsView.h"
#include "screens/picker/ContactPickerView.h"
#include "screens/welcome/WelcomeView.h"
#include "shell/MurmelaRootApp.h"
#include "shell/RootView.h"
#include "support/FakeNeighbours.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestRegistry.h"
#include "testing/QuietDesktop.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

const QString kGranted = QStringLiteral("Granted. Murmela can read your local iMessages library.");
const QString kRequired = QStringLiteral(
    "Required on Linux as read access to the Messages database file. Opens a guide to the file Murmela reads and "
    "where to put it.");

QString shownText(const TextLayout& layout) {
  QStringList lines;
  for (const auto& line : layout.lines) lines.append(line.text);
  return lines.join(QLatin1Char(' '));
}

// Texts compared as read: line breaks and spacing aside.
QString squeezed(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }

template <typename View>
View* shown(RootView& window) {
  return qobject_cast<View*>(window.screenWidget());
}

}  // namespace

// "-messagesDB" naming a file that is no Messages database: the user walks
// from the welcome screen to the contact picker, which shows the reader's
// error under its "Retry"; the permissions screen tells whether the file could
// be opened. Nothing crashes and Qt warns about nothing.
class ForeignDatabaseTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TestEnvironment> environment_;

 private Q_SLOTS:
  void initTestCase() {
    environment_ = std::make_unique<TestEnvironment>();
    prepareAppTests();
  }

  void aFileThatIsNoDatabase_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents");  // "-": no such file; "/": a folder
    QTest::addColumn<QString>("pickerError");
    QTest::addColumn<bool>("opens");
    QTest::newRow("a text file named chat.db")
        << "text/chat.db" << QByteArray("name,timestamp,message\nSam,2024-01-01T10:00:00Z,hi\n")
        << "Messages database query failed: file is not a database" << true;
    QTest::newRow("an empty file") << "empty/chat.db" << QByteArray()
                                   << "Messages database query failed: no such table: chat" << true;
    QTest::newRow("a missing path") << "missing/chat.db" << QByteArray("-")
                                    << "Could not open Messages database: unable to open database file" << false;
    QTest::newRow("a folder") << "folder/chat.db" << QByteArray("/")
                              << "Could not open Messages database: disk I/O error" << false;
  }
  void aFileThatIsNoDatabase() {
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(QString, pickerError);
    QFETCH(bool, opens);
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    Motion::OffScope still;

    const QString path = environment_->path(name);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    if (contents == "/") {
      QVERIFY(QDir().mkpath(path));
    } else if (contents != "-") {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(contents);
    }

    ScriptedHttpServer backend;  // the usage events go here and are refused
    MurmelaRootApp app({"murmela", "-messagesDB", path}, quietDesktop(backend.baseUrl()));
    AppCoordinator& coordinator = app.coordinator();
    RootView& window = app.window();
    app.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Welcome → intelligence (cloud: hybrid cannot run here) → contact picker,
    // the permission screen left out as the database was named.
    QTRY_VERIFY(shown<WelcomeView>(window));
    coordinator.setHasAcceptedTerms(true);
    auto* welcome = shown<WelcomeView>(window);
    QTest::mouseClick(welcome, Qt::LeftButton, {}, welcome->layout().getStarted.center().toPoint());
    auto* intelligence = shown<IntelligenceView>(window);
    QVERIFY(intelligence);
    QTest::mouseClick(intelligence, Qt::LeftButton, {}, intelligence->layout().continueRect.center().toPoint());
    QTRY_VERIFY(shown<ContactPickerView>(window));

    QTRY_COMPARE(coordinator.contactLoadingError(), std::optional<QString>(pickerError));
    auto* picker = shown<ContactPickerView>(window);
    const ContactPickerView::Layout layout = picker->layout();
    QVERIFY(layout.loadingError && layout.retry);
    QCOMPARE(squeezed(shownText(layout.loadingErrorText)), squeezed(pickerError));
    QVERIFY(coordinator.contacts().isEmpty());
    QVERIFY(!layout.wrapEnabled);
    // "Retry" reads the file again and fails the same way.
    QTest::mouseClick(picker, Qt::LeftButton, {}, layout.retry->center().toPoint());
    QVERIFY(coordinator.waitForBackgroundWork(std::chrono::seconds(10)));
    QTRY_COMPARE(coordinator.contactLoadingError(), std::optional<QString>(pickerError));

    // The permissions screen probes the file as it shows: it opens, or not.
    coordinator.setPermissions(std::nullopt);  // boot's fixed snapshot for a named database
    coordinator.setScreen(AppScreen::permissions());
    auto* permissions = shown<PermissionsView>(window);
    QVERIFY(permissions);
    QTRY_VERIFY(coordinator.permissions().has_value());
    const PermissionsView::Cards cards = permissions->layout().cards;
    QCOMPARE(coordinator.permissions()->hasFullDiskAccess, opens);
    QCOMPARE(cards.fullDiskAccess.status, opens ? PermissionCard::Status::ok : PermissionCard::Status::todo);
    QCOMPARE(cards.fullDiskAccess.detail, opens ? kGranted : kRequired);
    QCOMPARE(cards.fullDiskAccess.actionLabel, opens ? std::nullopt : std::optional<QString>("Open Settings"));
    window.grab();  // the screen paints
  }
};

MURMELA_TEST(ForeignDatabaseTest)
#include "ForeignDatabaseTest.moc"
