#include "common/AppPaths.h"
#include "common/AppSettings.h"
#include "common/MurmelaError.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTest>

using namespace murmela;

class SettingsAndPathsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void appFolderFollowsTheDataLocation() {
    // The test runner points XDG_DATA_HOME into the build tree.
    const QString expected = qEnvironmentVariable("XDG_DATA_HOME") + "/murmela-app";
    QCOMPARE(*AppPaths::appFolder(), expected);
    QCOMPARE(*AppPaths::inAppFolder("logs/analysis.log"), expected + "/logs/analysis.log");
    AppPaths::overrideAppFolder(QStringLiteral("/tmp/elsewhere"));
    QCOMPARE(*AppPaths::appFolder(), QStringLiteral("/tmp/elsewhere"));
    AppPaths::overrideAppFolder(std::nullopt);
    QVERIFY(!AppPaths::inAppFolder("x").has_value());
    AppPaths::reset();
    QCOMPARE(*AppPaths::appFolder(), expected);
  }

  void settingsRoundTripAndClear() {
    test::TestEnvironment environment;
    AppSettings& settings = AppSettings::shared();
    QVERIFY(!settings.contains("installID"));
    settings.setValue("installID", "macos-ABC");
    settings.setValue("didTrackInstall", true);
    QCOMPARE(settings.value("installID").toString(), QStringLiteral("macos-ABC"));
    QVERIFY(QFile::exists(environment.path("settings.ini")));
    settings.remove("installID");
    QVERIFY(!settings.contains("installID"));
    settings.clearAll();
    QVERIFY(!settings.contains("didTrackInstall"));
  }

  void errorTexts() {
    const CancellationError cancelled;
    QCOMPARE(cancelled.userFacingText(), QStringLiteral("[CancellationError] The operation was cancelled."));
    QCOMPARE(cancelled.domain(), QStringLiteral("MurmelaCore.CancellationError"));
    QCOMPARE(QByteArray(cancelled.what()), cancelled.userFacingText().toUtf8());
  }
};

MURMELA_TEST(SettingsAndPathsTest)
#include "SettingsAndPathsTest.moc"
