#include "PrivacyTestSupport.h"

#include "json/JsonCodec.h"
#include "privacy/PrivacyRuntimeError.h"
#include "privacy/PrivacyRuntimeManager.h"
#include "support/FakePrivacyRuntime.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::test;

namespace {

using Options = FakePrivacyRuntime::Options;

QString expectFailure(const std::function<void()>& action) {
  try {
    action();
  } catch (const MurmelaError& error) {
    return error.description();
  }
  return QStringLiteral("<no error>");
}

Options withPython(const QString& version) {
  Options options;
  options.pythonVersion = version;
  return options;
}

}  // namespace

// The installer: manifest, validation, unpacking, the swap of "current" and the
// choice between the installed runtime, a local archive and the download.
class PrivacyRuntimeManagerTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TestEnvironment> environment_;
  std::unique_ptr<QTemporaryDir> scratch_;

  QString base() const { return environment_->appFolder() + QStringLiteral("/privacy-runtime"); }
  QString scratch(const QString& name) const { return scratch_->filePath(name); }

 private Q_SLOTS:
  void initTestCase() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }

  void init() {
    environment_ = std::make_unique<TestEnvironment>();
    scratch_ = std::make_unique<QTemporaryDir>();
    qunsetenv(PrivacyRuntimeManager::kArchiveEnvironmentVariable);
  }

  void cleanup() {
    scratch_.reset();
    environment_.reset();
  }

  void manifestDecoding_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("valid");
    QTest::newRow("all keys") << QByteArray(
                                     R"({"runtimeVersion":"0.1.1","createdAt":"2025-01-01","pythonVersion":"3.12.4",
        "modelID":"m","modelPath":"models/m","mlxEmbeddingsVersion":"0.0.3"})")
                              << true;
    QTest::newRow("required keys only") << QByteArray(R"({"runtimeVersion":"0.1.1","modelID":"m","modelPath":"p"})")
                                        << true;
    QTest::newRow("unknown keys and null optionals")
        << QByteArray(R"({"runtimeVersion":"0.1.1","modelID":"m","modelPath":"p","pythonVersion":null,"extra":[1]})")
        << true;
    QTest::newRow("no modelID") << QByteArray(R"({"runtimeVersion":"0.1.1","modelPath":"p"})") << false;
    QTest::newRow("no modelPath") << QByteArray(R"({"runtimeVersion":"0.1.1","modelID":"m"})") << false;
    QTest::newRow("version as a number") << QByteArray(R"({"runtimeVersion":0.1,"modelID":"m","modelPath":"p"})")
                                         << false;
    QTest::newRow("optional of another type")
        << QByteArray(R"({"runtimeVersion":"0.1.1","modelID":"m","modelPath":"p","pythonVersion":3.12})") << false;
    QTest::newRow("not JSON") << QByteArray("runtimeVersion=0.1.1") << false;
    QTest::newRow("an array") << QByteArray(R"(["0.1.1"])") << false;
  }

  void manifestDecoding() {
    QFETCH(QByteArray, json);
    QFETCH(bool, valid);
    bool decoded = false;
    try {
      const PrivacyRuntimeManifest manifest = PrivacyRuntimeManifest::decode(json);
      decoded = true;
      // Written back, it reads the same and leaves absent values out.
      QCOMPARE(PrivacyRuntimeManifest::decode(manifest.encode()), manifest);
      QCOMPARE(QJsonDocument::fromJson(manifest.encode()).object().contains("pythonVersion"),
               manifest.pythonVersion.has_value());
    } catch (const Json::DecodingError&) {
    }
    QCOMPARE(decoded, valid);
  }

  void runtimeText() {
    PrivacyRuntimeManifest manifest{QStringLiteral("0.1.1"), {}, QStringLiteral("3.12.4"), "m", "p", {}};
    QCOMPARE(manifest.runtimeText(), QStringLiteral("0.1.1 \u00B7 Python 3.12.4"));
    manifest.pythonVersion.reset();
    QCOMPARE(manifest.runtimeText(), QStringLiteral("0.1.1"));
  }

  void validation_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("expected");  // %1 = the runtime root
    QTest::newRow("valid") << ""
                           << "";
    QTest::newRow("longer version") << "version 0.1.10"
                                    << "Privacy runtime manifest is invalid: Expected runtime 0.1.1, found 0.1.10.";
    QTest::newRow("shorter version") << "version 0.1"
                                     << "Privacy runtime manifest is invalid: Expected runtime 0.1.1, found 0.1.";
    QTest::newRow("padded version") << "version 0.1.1 "
                                    << "Privacy runtime manifest is invalid: Expected runtime 0.1.1, found 0.1.1 .";
    QTest::newRow("no manifest") << "no manifest"
                                 << "Privacy runtime manifest is missing at %1/manifest.json.";
    QTest::newRow("no modelID") << "no modelID"
                                << "Privacy runtime manifest is invalid: missing required member at manifest.modelID";
    QTest::newRow("python not executable") << "not executable"
                                           << "Privacy runtime Python executable is missing at %1/python/bin/python3.";
    QTest::newRow("no model") << "no model"
                              << "Privacy runtime model files are missing at %1/models/openai-privacy-filter-6bit.";
  }

  void validation() {
    QFETCH(QString, change);
    QFETCH(QString, expected);
    Options options;
    if (change.startsWith("version ")) options.runtimeVersion = change.mid(8);
    if (change == "no manifest") options.withManifest = false;
    if (change == "no modelID") options.manifestBytes = R"({"runtimeVersion":"0.1.1","modelPath":"models/x"})";
    if (change == "not executable") options.executable = false;
    if (change == "no model") options.withModel = false;
    const QString root = FakePrivacyRuntime::writeTree(scratch("runtime"), options);

    const PrivacyRuntimeManager manager;
    if (expected.isEmpty()) {
      const PrivacyRuntimeInstall install = manager.validateRuntime(root);
      QCOMPARE(install.rootDirectory, root);
      QCOMPARE(install.pythonExecutable, root + "/python/bin/python3");
      QCOMPARE(install.modelURL, root + "/models/openai-privacy-filter-6bit");
      QCOMPARE(install.cacheDirectory, base() + "/hf-cache");
      QCOMPARE(install.manifest.pythonVersion, std::optional<QString>("3.12.4"));
    } else {
      QCOMPARE(expectFailure([&] { manager.validateRuntime(root); }), QString(expected).replace("%1", root));
    }
  }

  void modelPathPiecesAreNormalised_data() {
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "models/m"
                           << "/r/models/m";
    QTest::newRow("doubled and trailing slashes") << "models//m/"
                                                  << "/r/models/m";
    QTest::newRow("leading slash") << "/models/m"
                                   << "/r/models/m";
    QTest::newRow("no pieces") << "/"
                               << "/r";
    QTest::newRow("empty") << ""
                           << "/r";
    QTest::newRow("dot-dot kept") << "../m"
                                  << "/r/../m";
  }

  void modelPathPiecesAreNormalised() {
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    QCOMPARE(PrivacyRuntimeManager::relativePath(relative, "/r"), expected);
  }

  void doubledSlashModelPathValidates() {
    Options options;
    options.manifestBytes =
        R"({"runtimeVersion":"0.1.1","modelID":"m","modelPath":"models//openai-privacy-filter-6bit/"})";
    const QString root = FakePrivacyRuntime::writeTree(scratch("runtime"), options);
    QCOMPARE(PrivacyRuntimeManager().validateRuntime(root).modelURL, root + "/models/openai-privacy-filter-6bit");
  }

  void installsFromArchiveLayouts_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("installs");
    QTest::newRow("files at the top level") << "flat" << true;
    QTest::newRow("one top-level folder") << "folder" << true;
    QTest::newRow("a hidden folder beside it is ignored") << "hidden" << true;
    QTest::newRow("a folder without manifest beside it") << "extra" << true;
    QTest::newRow("two folders with manifests") << "two" << false;
    QTest::newRow("no manifest anywhere") << "none" << false;
  }

  void installsFromArchiveLayouts() {
    QFETCH(QString, layout);
    QFETCH(bool, installs);
    const QString archive = scratch("runtime.tar.gz");
    Options noManifest;
    noManifest.withManifest = false;
    if (layout == "flat") FakePrivacyRuntime::writeFlatArchive(archive);
    if (layout == "folder") FakePrivacyRuntime::writeArchive(archive);
    if (layout == "hidden")
      FakePrivacyRuntime::writeArchive(archive, {{"runtime", {}}, {".runtime-old", withPython("2")}});
    if (layout == "extra") FakePrivacyRuntime::writeArchive(archive, {{"runtime", {}}, {"notes", noManifest}});
    if (layout == "two") FakePrivacyRuntime::writeArchive(archive, {{"a", {}}, {"b", {}}});
    if (layout == "none") FakePrivacyRuntime::writeArchive(archive, {{"runtime", noManifest}});

    const PrivacyRuntimeManager manager;
    if (installs) {
      manager.installRuntime(archive);
      const PrivacyRuntimeInstall install = manager.installedRuntime();
      QCOMPARE(install.rootDirectory, base() + "/current");
      QCOMPARE(install.manifest.pythonVersion, std::optional<QString>("3.12.4"));
      QVERIFY(QFileInfo(install.pythonExecutable).isExecutable());
    } else {
      const QString message = expectFailure([&] { manager.installRuntime(archive); });
      QVERIFY2(message.startsWith("Privacy runtime manifest is missing at " + base() + "/install-"),
               qPrintable(message));
      QVERIFY2(message.endsWith("/payload/manifest.json."), qPrintable(message));
      QVERIFY(!QFileInfo::exists(base() + "/current"));
    }
    // Staging folders never outlive the install.
    QCOMPARE(entriesOf(base()), installs ? QStringList{"current"} : QStringList{});
  }

  void installReplacesTheRuntimeAndClearsLeftovers() {
    const PrivacyRuntimeManager manager;
    FakePrivacyRuntime::writeArchive(scratch("a.tar.gz"), withPython("3.12.4"));
    FakePrivacyRuntime::writeArchive(scratch("b.tar.gz"), withPython("3.13.1"));
    manager.installRuntime(scratch("a.tar.gz"));
    // A "previous" left by an interrupted swap goes with the next install.
    QDir().mkpath(base() + "/previous/stale");
    manager.installRuntime(scratch("b.tar.gz"));
    QCOMPARE(manager.installedRuntime().manifest.pythonVersion, std::optional<QString>("3.13.1"));
    QCOMPARE(entriesOf(base()), QStringList{"current"});
  }

  void failedInstallKeepsTheWorkingRuntime_data() {
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("messageStart");
    QTest::newRow("new root cannot be moved in") << "move in"
                                                 << "Could not install Murmela privacy runtime: Could not move ";
    // The file system's own error, not wrapped in the installer's.
    QTest::newRow("current cannot be moved aside") << "move aside"
                                                   << "Could not move ";
    QTest::newRow("archive is not gzip") << "bad archive"
                                         << "Could not install Murmela privacy runtime: ";
    QTest::newRow("new runtime does not validate")
        << "invalid"
        << "Privacy runtime manifest is invalid: Expected runtime 0.1.1, found 0.2.0.";
  }

  void failedInstallKeepsTheWorkingRuntime() {
    QFETCH(QString, failure);
    QFETCH(QString, messageStart);
    FakePrivacyRuntime::writeArchive(scratch("a.tar.gz"), withPython("3.12.4"));
    PrivacyRuntimeManager().installRuntime(scratch("a.tar.gz"));

    Options next = withPython("3.13.1");
    if (failure == "invalid") next.runtimeVersion = "0.2.0";
    FakePrivacyRuntime::writeArchive(scratch("b.tar.gz"), next);
    if (failure == "bad archive") {
      QFile file(scratch("b.tar.gz"));
      QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write("this is not a gzip stream");
    }

    auto moves = std::make_shared<QStringList>();
    PrivacyRuntimeManager::Options options;
    const QString current = base() + "/current";
    options.moveItem = [moves, failure, current](const QString& from, const QString& to) -> std::error_code {
      moves->append(QFileInfo(from).fileName() + " -> " + QFileInfo(to).fileName());
      const bool movingAside = from == current;
      const bool movingIn = to == current && !from.endsWith("/previous");
      if ((failure == "move in" && movingIn) || (failure == "move aside" && movingAside))
        return std::make_error_code(std::errc::permission_denied);
      std::error_code error;
      std::filesystem::rename(from.toStdString(), to.toStdString(), error);
      return error;
    };
    const PrivacyRuntimeManager manager(options);

    const QString message = expectFailure([&] { manager.installRuntime(scratch("b.tar.gz")); });
    QVERIFY2(message.startsWith(messageStart), qPrintable(message));
    if (failure == "move in") {
      QVERIFY2(message.endsWith("Permission denied"), qPrintable(message));
      // Aside, the failed move in, and back again.
      QCOMPARE(*moves,
               (QStringList{"current -> previous", "MurmelaPrivacyRuntime-0.1.1 -> current", "previous -> current"}));
    }
    QCOMPARE(manager.installedRuntime().manifest.pythonVersion, std::optional<QString>("3.12.4"));
    QCOMPARE(entriesOf(base()), QStringList{"current"});
  }

  void resetRemovesEverything() {
    FakePrivacyRuntime::writeArchive(scratch("a.tar.gz"));
    const PrivacyRuntimeManager manager;
    manager.installRuntime(scratch("a.tar.gz"));
    QDir().mkpath(base() + "/downloads");
    manager.resetInstalledRuntime();
    QVERIFY(!QFileInfo::exists(base()));
    manager.resetInstalledRuntime();  // nothing there: nothing happens
    QVERIFY(!QFileInfo::exists(base()));
  }

  void localArchiveCandidate_data() {
    QTest::addColumn<QByteArray>("value");  // null: unset; "%archive" / "%relative" filled in
    QTest::addColumn<bool>("found");
    QTest::newRow("unset") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray("") << false;
    QTest::newRow("missing file") << QByteArray("/nonexistent/runtime.tar.gz") << false;
    QTest::newRow("absolute path") << QByteArray("%archive") << true;
    QTest::newRow("relative to the current folder") << QByteArray("%relative") << true;
    // A link counts by what it points at.
    QTest::newRow("link to the archive") << QByteArray("%link") << true;
    QTest::newRow("dangling link") << QByteArray("%dangling") << false;
  }

  void localArchiveCandidate() {
    QFETCH(QByteArray, value);
    QFETCH(bool, found);
    const QString archive = scratch("local/runtime.tar.gz");
    FakePrivacyRuntime::writeArchive(archive);
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(scratch_->path());
    if (value == "%archive") value = archive.toUtf8();
    if (value == "%relative") value = "local/runtime.tar.gz";
    if (value == "%link" || value == "%dangling") {
      const QString link = scratch(QStringLiteral("local/linked.tar.gz"));
      QFile::remove(link);
      QVERIFY(QFile::link(value == "%link" ? archive : scratch(QStringLiteral("local/gone.tar.gz")), link));
      value = link.toUtf8();
    }
    const ScopedEnvironmentVariable variable(PrivacyRuntimeManager::kArchiveEnvironmentVariable, value);
    const std::optional<QString> candidate = PrivacyRuntimeManager().localRuntimeArchiveCandidate();
    QDir::setCurrent(previousFolder);
    QCOMPARE(candidate.has_value(), found);
    if (found) QCOMPARE(QFileInfo(*candidate).canonicalFilePath(), QFileInfo(archive).canonicalFilePath());
  }

  void resolvesInstalledThenLocalThenDownload_data() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("expectedPython");
    QTest::addColumn<int>("downloads");
    QTest::newRow("valid install: nothing else is looked at") << "installed"
                                                              << "3.11.9" << 0;
    QTest::newRow("invalid install, local archive") << "broken+local"
                                                    << "3.12.4" << 0;
    QTest::newRow("local archive") << "local"
                                   << "3.12.4" << 0;
    QTest::newRow("archive path that does not exist") << "missing"
                                                      << "3.13.1" << 1;
    QTest::newRow("empty archive variable") << "empty"
                                            << "3.13.1" << 1;
  }

  void resolvesInstalledThenLocalThenDownload() {
    QFETCH(QString, situation);
    QFETCH(QString, expectedPython);
    QFETCH(int, downloads);
    ScriptedHttpServer server;
    FakePrivacyRuntime::writeArchive(scratch("served.tar.gz"), withPython("3.13.1"));
    QFile served(scratch("served.tar.gz"));
    QVERIFY(served.open(QIODevice::ReadOnly));
    const QByteArray path = QByteArray("/runtime/") + PrivacyRuntimeManager::kArchiveFileName;
    server.setDefault(path, ScriptedResponse::text(200, served.readAll()));

    FakePrivacyRuntime::writeArchive(scratch("local.tar.gz"));
    QByteArray variable = scratch("local.tar.gz").toUtf8();
    if (situation == "installed") {
      FakePrivacyRuntime::writeTree(base() + "/current", withPython("3.11.9"));
    }
    if (situation == "broken+local") {
      Options broken;
      broken.executable = false;
      FakePrivacyRuntime::writeTree(base() + "/current", broken);
    }
    if (situation == "missing") variable = "/nonexistent/runtime.tar.gz";
    if (situation == "empty") variable = "";
    const ScopedEnvironmentVariable archive(PrivacyRuntimeManager::kArchiveEnvironmentVariable, variable);

    PrivacyRuntimeManager::Options options;
    options.downloadBase = server.baseUrl() + "/runtime/";
    const InstallAnswer answer = installOrResolve(PrivacyRuntimeManager(options));
    QCOMPARE(answer.calls, 1);
    QVERIFY2(!answer.error, qPrintable(answer.errorText()));
    QCOMPARE(answer.install->manifest.pythonVersion, std::optional<QString>(expectedPython));
    QCOMPARE(answer.install->rootDirectory, base() + "/current");
    QCOMPARE(server.requests(path).size(), downloads);
    QCOMPARE(answer.progress.isEmpty(), downloads == 0);
    if (downloads > 0) {
      // The archive stays in "downloads" under its own name.
      QCOMPARE(entriesOf(base() + "/downloads"), QStringList{PrivacyRuntimeManager::kArchiveFileName});
    }
  }

  void remoteArchiveUrl() {
    QCOMPARE(PrivacyRuntimeManager().remoteArchiveURL().fileName(),
             QStringLiteral("MurmelaPrivacyRuntime-0.1.1-macos-arm64.tar.gz"));
    QCOMPARE(PrivacyRuntimeManager().remoteArchiveURL().scheme(), QStringLiteral("https"));
    PrivacyRuntimeManager::Options options;
    options.downloadBase = "http://127.0.0.1:9/a/b";
    QCOMPARE(PrivacyRuntimeManager(options).remoteArchiveURL().toString(),
             QStringLiteral("http://127.0.0.1:9/a/b/MurmelaPrivacyRuntime-0.1.1-macos-arm64.tar.gz"));
  }

  void subprocessEnvironment() {
    const ScopedEnvironmentVariable pythonPath("PYTHONPATH", "/elsewhere/site-packages");
    const ScopedEnvironmentVariable virtualEnv("VIRTUAL_ENV", "/elsewhere/venv");
    const ScopedEnvironmentVariable kept("MURMELA_TEST_KEPT", "yes");
    const ScopedEnvironmentVariable cache("HF_HOME", "/elsewhere/hf");
    PrivacyRuntimeInstall install;
    install.pythonExecutable = "/rt/current/python/bin/python3";
    install.cacheDirectory = "/rt/hf-cache";
    const QProcessEnvironment environment = install.subprocessEnvironment();
    QVERIFY(!environment.contains("PYTHONPATH"));
    QVERIFY(!environment.contains("VIRTUAL_ENV"));
    QCOMPARE(environment.value("PATH"), QStringLiteral("/rt/current/python/bin:/usr/bin:/bin:/usr/sbin:/sbin"));
    QCOMPARE(environment.value("PYTHONNOUSERSITE"), QStringLiteral("1"));
    QCOMPARE(environment.value("PYTHONUNBUFFERED"), QStringLiteral("1"));
    QCOMPARE(environment.value("HF_HOME"), QStringLiteral("/rt/hf-cache"));
    QCOMPARE(environment.value("HUGGINGFACE_HUB_CACHE"), QStringLiteral("/rt/hf-cache"));
    QCOMPARE(environment.value("MURMELA_TEST_KEPT"), QStringLiteral("yes"));
  }
};

MURMELA_TEST(PrivacyRuntimeManagerTest)
#include "PrivacyRuntimeManagerTest.moc"
