// A first launch in hybrid mode through the real window: the privacy filter
// set up from a stand-in runtime archive (stub detector), the conversation
// anonymized on the device, analysed on the development backend and shown
// with the real names again.
#include "WalkSteps.h"

#include "app/AppCoordinator.h"
#include "privacy/HybridPrivacyCapability.h"
#include "privacy/PrivacyFilterSetup.h"
#include "privacy/PrivacyRuntimeManager.h"
#include "screens/hybridsetup/HybridPrivacySetupView.h"
#include "support/FakeNeighbours.h"
#include "support/FakePrivacyRuntime.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

constexpr qsizetype kMessageCount = 600;

std::optional<QString> appleSilicon() { return QStringLiteral("arm64"); }

// The stand-in runtime's Python: the smoke test ("-c") waits until `release`
// exists (so the walk sees the setup under way) and passes; anything else is
// the system's Python.
QByteArray runtimePython(const QString& release) {
  return FakePrivacyRuntime::shellScript(
      "if [ \"$1\" = \"-c\" ]; then\n"
      "  i=0\n"
      "  while [ ! -e '" +
      release.toUtf8() +
      "' ] && [ $i -lt 1200 ]; do /bin/sleep 0.05; i=$((i+1)); done\n"
      "  echo \"loading privacy model from $MURMELA_PRIVACY_MODEL_PATH\"\n"
      "  echo ok\n"
      "  exit 0\n"
      "fi\n"
      "exec /usr/bin/python3 \"$@\"");
}

}  // namespace

class HybridWalkTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareAppTests();
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    qputenv("MURMELA_PRIVACY_DETECTOR", (sourceDir() + QStringLiteral("/tests/scripts/stub_detector.py")).toUtf8());
    qputenv("PYTHONDONTWRITEBYTECODE", "1");
  }
  void cleanupTestCase() {
    qunsetenv("MURMELA_PRIVACY_DETECTOR");
    qunsetenv(PrivacyRuntimeManager::kArchiveEnvironmentVariable);
  }

  void hybridWalk() {
    const QString failure = failureWithWarnings([] {
      WalkWorld world(kMessageCount);
      const QString release = world.environment.path(QStringLiteral("smoke-test-may-pass"));
      FakePrivacyRuntime::Options runtime;
      runtime.pythonScript = runtimePython(release);
      const QString archive = world.environment.path(QStringLiteral("runtime.tar.gz"));
      FakePrivacyRuntime::writeArchive(archive, runtime);
      qputenv(PrivacyRuntimeManager::kArchiveEnvironmentVariable, archive.toUtf8());

      PrivacyFilterSetup setup(
          PrivacyFilterSetup::Options{.manager = PrivacyRuntimeManager(), .hostProbe = appleSilicon});
      MurmelaRootApp::Desktop desktop = world.desktop();
      desktop.privacySetup = &setup;
      desktop.detectHybridCapability = [] {
        return HybridPrivacyCapability::detect(PrivacyRuntimeManager(), appleSilicon);
      };
      return runWalk(world, std::move(desktop), QStringLiteral("hybrid"), [&](WalkDriver& walk) {
        acceptTheTerms(walk);
        chooseIntelligence(walk, IntelligenceChoice::hybrid);
        throughTheSetup(walk, release);
        pickPartnerAndWrap(walk, world);
        walk.shot(QStringLiteral("deck"));
        checkNothingNamedLeft(walk, world);
      });
    });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
  }

 private:
  static void throughTheSetup(WalkDriver& walk, const QString& release) {
    HybridPrivacySetupView& screen = walk.waitForScreen<HybridPrivacySetupView>(QStringLiteral("the hybrid setup"));
    walk.shotWhen([&] { return screen.setup().phase.kind == PrivacyFilterPhase::Kind::testingRedaction; },
                  QStringLiteral("hybrid-setup"));
    QFile(release).open(QIODevice::WriteOnly);
    walk.waitUntil([&] { return walk.coordinator().screen().is(AppScreen::Kind::contactPicker); },
                   QStringLiteral("the setup done"));
  }

  // The backend saw the hybrid workflow and placeholders only, never the
  // partner's name, which the deck shows again.
  static void checkNothingNamedLeft(WalkDriver& walk, const WalkWorld& world) {
    check(walk.coordinator().analysisLog().contains(QStringLiteral("Privacy: ")),
          QStringLiteral("the anonymization in the run's log"));
    const QList<RecordedRequest> steps = world.server.requests(QByteArrayLiteral("/v1/analysis-step"));
    check(!steps.isEmpty(), QStringLiteral("analysis steps on the backend"));
    const QRegularExpression name(QStringLiteral("\\b") + WalkWorld::kPartnerName + QStringLiteral("\\b"));
    for (const RecordedRequest& request : steps) {
      const QString body = QString::fromUtf8(request.body);
      check(body.contains(QStringLiteral("hybrid_privacy")), QStringLiteral("every step in the hybrid workflow"));
      check(!name.match(body).hasMatch(), QStringLiteral("no step to carry the partner's name"));
    }
  }
};

MURMELA_TEST(HybridWalkTest)
#include "HybridWalkTest.moc"
