#include "PrivacyTestSupport.h"

#include "privacy/HybridPrivacyCapability.h"
#include "privacy/LocalHostCheck.h"
#include "privacy/PrivacyFilterError.h"
#include "support/FakePrivacyRuntime.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::test;

namespace {

HostProbe probeAnswering(const char* name) {
  return [name]() -> std::optional<QString> {
    if (!name) return std::nullopt;
    return QString::fromLatin1(name);
  };
}

}  // namespace

// Whether hybrid mode can run here, the supported-Python search and the
// setup side's error messages.
class HybridPrivacyCapabilityTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TestEnvironment> environment_;
  std::unique_ptr<QTemporaryDir> scratch_;

  QString interpreter(const QString& name, const QByteArray& body, bool executable = true) {
    const QString path = scratch_->filePath(name);
    FakePrivacyRuntime::writeExecutable(path, FakePrivacyRuntime::shellScript(body));
    if (!executable) QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return path;
  }

 private Q_SLOTS:
  void init() {
    environment_ = std::make_unique<TestEnvironment>();
    scratch_ = std::make_unique<QTemporaryDir>();
    qunsetenv(PrivacyRuntimeManager::kArchiveEnvironmentVariable);
  }
  void cleanup() {
    scratch_.reset();
    environment_.reset();
  }

  void detect_data() {
    QTest::addColumn<QString>("machine");  // "none": the probe has no answer
    QTest::addColumn<QString>("runtime");  // installed runtime, local archive or nothing
    QTest::addColumn<bool>("available");
    QTest::addColumn<QString>("text");
    QTest::newRow("Intel with a valid runtime") << "x86_64" << "installed" << false << "";
    QTest::newRow("Linux on ARM") << "aarch64" << "installed" << false << "";
    QTest::newRow("no machine name") << "none" << "installed" << false << "";
    QTest::newRow("arm64, installed") << "arm64" << "installed" << true << "0.1.1 \u00B7 Python 3.12.4";
    QTest::newRow("arm64, installed without Python version") << "arm64" << "installed-nopython" << true << "0.1.1";
    QTest::newRow("arm64, invalid install and a local archive") << "arm64" << "broken+archive" << true << "ready to install";
    QTest::newRow("arm64, local archive") << "arm64" << "archive" << true << "ready to install";
    QTest::newRow("arm64, nothing") << "arm64" << "" << true << "setup required";
  }

  void detect() {
    QFETCH(QString, machine);
    QFETCH(QString, runtime);
    QFETCH(bool, available);
    QFETCH(QString, text);
    const QString current = environment_->appFolder() + "/privacy-runtime/current";
    FakePrivacyRuntime::Options options;
    if (runtime == "installed-nopython") options.pythonVersion.reset();
    if (runtime == "broken+archive") options.runtimeVersion = "0.1.10";
    if (runtime.startsWith("installed") || runtime == "broken+archive") FakePrivacyRuntime::writeTree(current, options);
    QByteArray archive;
    if (runtime.endsWith("archive")) {
      archive = scratch_->filePath("runtime.tar.gz").toUtf8();
      FakePrivacyRuntime::writeArchive(QString::fromUtf8(archive));
    }
    const ScopedEnvironmentVariable variable(PrivacyRuntimeManager::kArchiveEnvironmentVariable, archive);

    const QByteArray name = machine.toLatin1();
    const HybridPrivacyCapability capability =
        HybridPrivacyCapability::detect(PrivacyRuntimeManager(), probeAnswering(machine == "none" ? nullptr : name.constData()));
    if (available) {
      QCOMPARE(capability, HybridPrivacyCapability::available(text));
    } else {
      QCOMPARE(capability, HybridPrivacyCapability::requiresAppleSilicon());
    }
  }

  void thisMachineIsNoAppleSiliconMac() {
    // Linux names its machines x86_64 or aarch64, never "arm64".
    QVERIFY(LocalHostCheck::systemMachineName().has_value());
    QCOMPARE(HybridPrivacyCapability::detect(), HybridPrivacyCapability::requiresAppleSilicon());
  }

  void candidatePathsAreTheEighteen() {
    const QStringList expected = {
        "/opt/homebrew/bin/python3.13",
        "/opt/homebrew/bin/python3.12",
        "/opt/homebrew/bin/python3.11",
        "/opt/homebrew/bin/python3",
        "/opt/homebrew/opt/python@3.13/bin/python3.13",
        "/opt/homebrew/opt/python@3.12/bin/python3.12",
        "/opt/homebrew/opt/python@3.11/bin/python3.11",
        "/usr/local/bin/python3.13",
        "/usr/local/bin/python3.12",
        "/usr/local/bin/python3.11",
        "/usr/local/bin/python3",
        "/usr/local/opt/python@3.13/bin/python3.13",
        "/usr/local/opt/python@3.12/bin/python3.12",
        "/usr/local/opt/python@3.11/bin/python3.11",
        "/Library/Frameworks/Python.framework/Versions/3.13/bin/python3",
        "/Library/Frameworks/Python.framework/Versions/3.12/bin/python3",
        "/Library/Frameworks/Python.framework/Versions/3.11/bin/python3",
        "/usr/bin/python3",
    };
    QCOMPARE(LocalHostCheck::candidatePythonPaths(), expected);
  }

  void versionComponents_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<QList<int>>("components");  // empty: absent
    QTest::newRow("plain") << "3.12.4" << QList<int>{3, 12, 4};
    QTest::newRow("release candidate") << "3.13.0rc1" << QList<int>{3, 13, 0};
    QTest::newRow("letter suffix") << "3.12a" << QList<int>{3, 12};
    QTest::newRow("empty pieces") << "3..11." << QList<int>{3, 11};
    QTest::newRow("piece without digits skipped") << "3.x.9" << QList<int>{3, 9};
    QTest::newRow("no digits") << "Python" << QList<int>{};
    QTest::newRow("other-script digits do not parse") << "\u0663.\u0661\u0662" << QList<int>{};
    QTest::newRow("too large for an int") << "3.99999999999" << QList<int>{3};
  }

  void versionComponents() {
    QFETCH(QString, version);
    QFETCH(QList<int>, components);
    const std::optional<QList<int>> parsed = LocalHostCheck::pythonVersionComponents(version);
    QCOMPARE(parsed, components.isEmpty() ? std::nullopt : std::optional<QList<int>>(components));
  }

  void locateSupportedPython_data() {
    QTest::addColumn<QStringList>("candidates");  // name:script body, or name:missing / name:plain
    QTest::addColumn<QString>("found");           // name, or empty
    const QString v311 = "ok:echo 'Python 3.11.9'";
    QTest::newRow("3.10 and 3.14 skipped")
        << QStringList{"old:echo 'Python 3.10.14'", "new:echo 'Python 3.14.0'", v311} << "ok";
    QTest::newRow("one component skipped") << QStringList{"three:echo 3", v311} << "ok";
    QTest::newRow("failing interpreter skipped") << QStringList{"bad:echo 'Python 3.12.1'; exit 1", v311} << "ok";
    QTest::newRow("missing and not executable skipped")
        << QStringList{"gone:missing", "plain:plain", v311} << "ok";
    QTest::newRow("version on standard error") << QStringList{"stderr:echo 'Python 3.13.2' >&2"} << "stderr";
    QTest::newRow("the first acceptable wins")
        << QStringList{"first:echo 'Python 3.12.0'", "second:echo 'Python 3.11.0'"} << "first";
    QTest::newRow("none acceptable") << QStringList{"old:echo 'Python 2.7.18'", "gone:missing"} << "";
    QTest::newRow("no candidates") << QStringList{} << "";
  }

  void locateSupportedPython() {
    QFETCH(QStringList, candidates);
    QFETCH(QString, found);
    QStringList paths;
    for (const QString& candidate : candidates) {
      const QString name = candidate.section(':', 0, 0);
      const QString body = candidate.section(':', 1);
      if (body == "missing") {
        paths.append(scratch_->filePath(name));
      } else if (body == "plain") {
        paths.append(interpreter(name, "echo 'Python 3.12.1'", false));
      } else {
        paths.append(interpreter(name, body.toUtf8()));
      }
    }
    const std::optional<QString> located = LocalHostCheck::locateSupportedPython3(paths);
    QCOMPARE(located, found.isEmpty() ? std::nullopt : std::optional<QString>(scratch_->filePath(found)));
  }

  void aHangingInterpreterIsAFailedProbe() {
    const QString hanging = interpreter("hanging", "exec sleep 30");
    const QString good = interpreter("good", "echo 'Python 3.12.3'");
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(LocalHostCheck::locateSupportedPython3({hanging, good}, 300), std::optional<QString>(good));
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY_THROWS_EXCEPTION(PrivacyFilterError, LocalHostCheck::pythonVersion(hanging, 200));
  }

  void pythonVersionReadsTheLastWord() {
    QCOMPARE(LocalHostCheck::pythonVersion(interpreter("p", "echo '  Python   3.12.4  '")), QStringLiteral("3.12.4"));
    QCOMPARE(LocalHostCheck::pythonVersion(interpreter("q", "echo '3.11.1'")), QStringLiteral("3.11.1"));
    QCOMPARE(LocalHostCheck::pythonVersion(interpreter("e", "true")), QString());
    try {
      LocalHostCheck::pythonVersion(interpreter("x", "exit 1"));
      QFAIL("a failing interpreter gave a version");
    } catch (const PrivacyFilterError& error) {
      QCOMPARE(error.kind(), PrivacyFilterError::Kind::pythonNotFound);
    }
  }

  void appleSiliconTest() {
    QVERIFY(LocalHostCheck::isAppleSilicon(probeAnswering("arm64")));
    QVERIFY(!LocalHostCheck::isAppleSilicon(probeAnswering("arm64e")));
    QVERIFY(!LocalHostCheck::isAppleSilicon(probeAnswering("ARM64")));
    QVERIFY(!LocalHostCheck::isAppleSilicon(probeAnswering(nullptr)));
    QVERIFY(!LocalHostCheck::isAppleSilicon(HostProbe()));
  }

  void filterErrorMessages_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    using K = PrivacyFilterError::Kind;
    QTest::newRow("runtimeUnavailable") << int(K::runtimeUnavailable)
                                        << "Murmela's local privacy runtime is not ready: TEXT";
    QTest::newRow("pythonTooOld") << int(K::pythonTooOld) << "Python 3.11, 3.12, or 3.13 is required. Found TEXT.";
    QTest::newRow("pythonTooNew")
        << int(K::pythonTooNew) << "Python TEXT is too new for the local privacy runtime. Install Python 3.12 or 3.13.";
    QTest::newRow("venvCreationFailed") << int(K::venvCreationFailed) << "Could not create Python environment: TEXT";
    QTest::newRow("pipInstallFailed") << int(K::pipInstallFailed) << "Could not install MLX privacy runtime: TEXT";
    QTest::newRow("modelDownloadFailed") << int(K::modelDownloadFailed) << "Could not download the privacy filter: TEXT";
    QTest::newRow("smokeTestFailed") << int(K::smokeTestFailed) << "Privacy filter smoke test failed: TEXT";
    QTest::newRow("notAppleSilicon") << int(K::notAppleSilicon) << "The privacy filter requires an Apple Silicon Mac.";
    QTest::newRow("pythonNotFound") << int(K::pythonNotFound) << "Python 3 is not installed. Install Python 3.12 or 3.13.";
  }

  void filterErrorMessages() {
    QFETCH(int, kind);
    QFETCH(QString, message);
    const PrivacyFilterError error(static_cast<PrivacyFilterError::Kind>(kind), "TEXT");
    QCOMPARE(error.description(), message);
    QCOMPARE(error.userFacingText(), "[PrivacyFilterError] " + message);
  }

  void runtimeErrorMessages() {
    QCOMPARE(PrivacyRuntimeError::downloadFailed("x").description(), "Could not download Murmela privacy runtime: x");
    QCOMPARE(PrivacyRuntimeError::installFailed("x").description(), "Could not install Murmela privacy runtime: x");
    QCOMPARE(PrivacyRuntimeError::manifestMissing("/a/manifest.json").description(),
             "Privacy runtime manifest is missing at /a/manifest.json.");
    QCOMPARE(PrivacyRuntimeError::manifestInvalid("x").description(), "Privacy runtime manifest is invalid: x");
    QCOMPARE(PrivacyRuntimeError::executableMissing("/a/python3").description(),
             "Privacy runtime Python executable is missing at /a/python3.");
    QCOMPARE(PrivacyRuntimeError::modelMissing("/a/m").description(), "Privacy runtime model files are missing at /a/m.");
  }
};

MURMELA_TEST(HybridPrivacyCapabilityTest)
#include "HybridPrivacyCapabilityTest.moc"
