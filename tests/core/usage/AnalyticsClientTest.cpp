#include "support/BackendTestSupport.h"
#include "backend/AppInstallIdentity.h"
#include "backend/HardwareProfile.h"
#include "common/AppSettings.h"
#include "support/ReportSamples.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"
#include "usage/AnalyticsClient.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

using namespace murmela;
using namespace murmela::test;

namespace {

const QByteArray kRegister = "/v1/register";
const QByteArray kInstalled = "/v1/events/app_installed";
const QByteArray kChoice = "/v1/events/choice";
const QByteArray kCreated = "/v1/events/murmela_created";

void answerRegistration(ScriptedHttpServer& server, const QByteArray& token = "tok-7") {
  server.setDefault(kRegister, ScriptedResponse::json(200, R"({"auth_token":")" + token + R"(","expires_in":60})"));
}

bool didTrackInstall() { return AppSettings::shared().value("didTrackInstall", false).toBool(); }

// The JSON text of the base fields as this machine gives them.
QByteArray baseFields() {
  const QByteArray encoded = AnalyticsBasePayload::current().encode();
  return encoded.mid(1, encoded.size() - 2);
}

}  // namespace

class AnalyticsClientTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareHostedTests();
    environment_ = std::make_unique<TestEnvironment>();
  }
  void cleanupTestCase() { environment_.reset(); }
  void init() { AppSettings::shared().clearAll(); }

  void trackedInstallSendsNothing() {
    ScriptedHttpServer server;
    answerRegistration(server);
    server.setDefault(kInstalled, ScriptedResponse::json(200, "{}"));
    AppSettings::shared().setValue("didTrackInstall", true);
    AnalyticsClient(server.baseUrl(), "1.2").trackAppInstalledIfNeeded();
    QCOMPARE(server.requestCount(), 0);
  }

  void installFlagFollowsTheAnswer_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("flag");
    QTest::newRow("200") << 200 << true;
    QTest::newRow("204") << 204 << true;
    QTest::newRow("299") << 299 << true;
    QTest::newRow("300") << 300 << false;
    QTest::newRow("401") << 401 << false;
    QTest::newRow("500") << 500 << false;
  }
  void installFlagFollowsTheAnswer() {
    QFETCH(int, status);
    ScriptedHttpServer server;
    answerRegistration(server);
    server.setDefault(kInstalled, ScriptedResponse::json(status, status == 204 ? QByteArray() : "{}"));
    AnalyticsClient(server.baseUrl(), "1.2").trackAppInstalledIfNeeded();
    QCOMPARE(server.requests(kInstalled).size(), 1);
    QTEST(didTrackInstall(), "flag");
  }

  void failedInstallIsTriedAgainNextTime() {
    ScriptedHttpServer server;
    answerRegistration(server);
    server.enqueue(kInstalled, ScriptedResponse::json(500, "{}"));
    server.enqueue(kInstalled, ScriptedResponse::json(200, "{}"));
    const AnalyticsClient client(server.baseUrl(), "1.2");
    client.trackAppInstalledIfNeeded();
    QVERIFY(!didTrackInstall());
    client.trackAppInstalledIfNeeded();
    QVERIFY(didTrackInstall());
    client.trackAppInstalledIfNeeded();
    QCOMPARE(server.requests(kInstalled).size(), 2);
    QCOMPARE(server.requests(kRegister).size(), 2);  // one registration per event, no token kept
  }

  void failedRegistrationSendsNoEvent_data() {
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("401") << QByteArray("401") << QByteArray(R"({"auth_token":"t"})");
    QTest::newRow("no token") << QByteArray("200") << QByteArray(R"({"token":"t"})");
    QTest::newRow("token not a string") << QByteArray("200") << QByteArray(R"({"auth_token":5})");
    QTest::newRow("not JSON") << QByteArray("200") << QByteArray("ok");
  }
  void failedRegistrationSendsNoEvent() {
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, body);
    ScriptedHttpServer server;
    server.setDefault(kRegister, ScriptedResponse::json(status.toInt(), body));
    server.setDefault(kInstalled, ScriptedResponse::json(200, "{}"));
    AnalyticsClient(server.baseUrl(), "1.2").trackAppInstalledIfNeeded();
    QCOMPARE(server.requests(kInstalled).size(), 0);
    QVERIFY(!didTrackInstall());
  }

  void unreachableBackendIsQuiet() {
    const AnalyticsClient client(refusingBaseUrl(), "1.2");
    client.trackAppInstalledIfNeeded();
    client.trackModeChosen(IntelligenceChoice::cloud);
    client.trackMurmelaCreated(HostedAnalysisWorkflow::fullClaude, fullReport(), 1.0);
    QVERIFY(!didTrackInstall());
  }

  void installEventCarriesTheBaseFields() {
    ScriptedHttpServer server;
    answerRegistration(server, "tok-42");
    server.setDefault(kInstalled, ScriptedResponse::json(200, "{}"));
    AnalyticsClient(server.baseUrl(), "1.2").trackAppInstalledIfNeeded();

    const RecordedRequest registration = server.requests(kRegister).value(0);
    QVERIFY(!registration.hasHeader("Authorization"));
    const QJsonObject registered = QJsonDocument::fromJson(registration.body).object();
    QCOMPARE(registered.value("install_id").toString(), AppInstallIdentity::current());
    QCOMPARE(registered.value("app_version").toString(), QString("1.2"));

    const RecordedRequest event = server.requests(kInstalled).value(0);
    QCOMPARE(event.method, QByteArray("POST"));
    QCOMPARE(event.header("Authorization"), QByteArray("Bearer tok-42"));
    QCOMPARE(event.header("Content-Type"), QByteArray("application/json"));
    QCOMPARE(event.body, "{" + baseFields() + "}");
    const QJsonObject payload = QJsonDocument::fromJson(event.body).object();
    QCOMPARE(payload.keys(), QStringList({"app_version", "chip_family", "macos_version"}));
    QCOMPARE(payload.value("chip_family").toString(), HardwareProfile::chipFamily());
    QVERIFY(!payload.value("macos_version").toString().isEmpty());
  }

  void choiceEventNamesTheMode_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QByteArray>("mode");
    QTest::newRow("hybrid") << int(IntelligenceChoice::hybrid) << QByteArray("hybrid");
    QTest::newRow("cloud") << int(IntelligenceChoice::cloud) << QByteArray("cloud");
  }
  void choiceEventNamesTheMode() {
    QFETCH(int, choice);
    QFETCH(QByteArray, mode);
    ScriptedHttpServer server;
    answerRegistration(server);
    server.setDefault(kChoice, ScriptedResponse::json(500, "{}"));
    AnalyticsClient(server.baseUrl(), "1.2").trackModeChosen(static_cast<IntelligenceChoice>(choice));
    QCOMPARE(server.requests(kChoice).value(0).body, R"({"mode":")" + mode + R"(",)" + baseFields() + "}");
    QVERIFY(!didTrackInstall());  // only the install event touches the flag
  }

  void createdEventPayload() {
    ScriptedHttpServer server;
    answerRegistration(server);
    server.setDefault(kCreated, ScriptedResponse::json(200, "{}"));
    WrappedReport report = fullReport();
    report.relationshipType = RelationshipType::closeFriend;
    report.totalMessages = 4321;
    AnalyticsClient(server.baseUrl(), "1.2").trackMurmelaCreated(HostedAnalysisWorkflow::hybridPrivacy, report, 2.0009);
    QCOMPARE(server.requests(kCreated).value(0).body,
             R"({"mode":"hybrid","message_count":4321,"relationship_type":"closeFriend","duration_ms":2000,)" +
                 baseFields() + "}");
  }

  void createdEventModeFollowsTheWorkflow() {
    const MurmelaCreatedAnalyticsPayload cloud = MurmelaCreatedAnalyticsPayload::make(
        {"v", "os", "chip"}, HostedAnalysisWorkflow::fullClaude, minimalReport(), 0.5);
    QCOMPARE(cloud.encode(),
             QByteArray(R"({"mode":"cloud","message_count":1234,"relationship_type":"romantic","duration_ms":500,)"
                        R"("app_version":"v","macos_version":"os","chip_family":"chip"})"));
  }

  void stringsAreEscaped() {
    const ChoiceAnalyticsPayload payload =
        ChoiceAnalyticsPayload::make({"1.0 \"beta\"\n", "Zoë\\OS", "/"}, IntelligenceChoice::cloud);
    const QJsonObject read = QJsonDocument::fromJson(payload.encode()).object();
    QCOMPARE(read.value("app_version").toString(), QString("1.0 \"beta\"\n"));
    QCOMPARE(read.value("macos_version").toString(), QString("Zoë\\OS"));
    QCOMPARE(read.value("chip_family").toString(), QString("/"));
  }

  void durationInMilliseconds_data() {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<qint64>("milliseconds");
    QTest::newRow("2.0009 s") << 2.0009 << qint64(2000);
    QTest::newRow("just under a millisecond") << 0.0009999 << qint64(0);
    QTest::newRow("zero") << 0.0 << qint64(0);
    QTest::newRow("negative") << -3.5 << qint64(0);
    QTest::newRow("an hour") << 3600.0 << qint64(3600000);
    QTest::newRow("not a number") << std::nan("") << qint64(0);
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << std::numeric_limits<qint64>::max();
  }
  void durationInMilliseconds() {
    QFETCH(double, seconds);
    QTEST(analyticsDurationMilliseconds(seconds), "milliseconds");
  }

  void chipFamily_data() {
    QTest::addColumn<QString>("model");  // "-" for none
    QTest::addColumn<QString>("machine");
    QTest::addColumn<QString>("family");
    QTest::newRow("model name wins") << "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz"
                                     << "arm64"
                                     << "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz";
    QTest::newRow("model name trimmed") << "  AMD Ryzen 7 5800X \t"
                                        << "x86_64"
                                        << "AMD Ryzen 7 5800X";
    QTest::newRow("arm64") << "-"
                           << "arm64"
                           << "Apple Silicon";
    QTest::newRow("blank model, arm64") << " \n "
                                        << "arm64"
                                        << "Apple Silicon";
    QTest::newRow("x86_64") << "-"
                            << "x86_64"
                            << "Intel";
    QTest::newRow("i686") << "-"
                          << "i686"
                          << "Intel";
    QTest::newRow("other ARM machine") << "-"
                                       << "aarch64"
                                       << "aarch64";
    QTest::newRow("RISC-V") << "-"
                            << "riscv64"
                            << "riscv64";
    QTest::newRow("nothing known") << "-"
                                   << "-"
                                   << "unknown";
  }
  void chipFamily() {
    QFETCH(QString, model);
    QFETCH(QString, machine);
    HardwareProfile::Facts facts;
    if (model != "-") facts.cpuModelName = model;
    if (machine != "-") facts.machine = machine;
    QTEST(HardwareProfile::chipFamily(facts), "family");
  }

  void cpuModelNameFromCpuInfo_data() {
    QTest::addColumn<QString>("cpuInfo");
    QTest::addColumn<QString>("name");  // "-" for none
    QTest::newRow("x86") << "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel\t\t: 158\n"
                            "model name\t: Intel(R) Xeon(R) CPU @ 2.20GHz\nstepping\t: 10\n\n"
                            "processor\t: 1\nmodel name\t: second\n"
                         << "Intel(R) Xeon(R) CPU @ 2.20GHz";
    QTest::newRow("arm without a model name") << "processor\t: 0\nBogoMIPS\t: 48.00\nCPU implementer\t: 0x41\n"
                                              << "-";
    QTest::newRow("blank model name") << "model name\t:   \n"
                                      << "-";
    QTest::newRow("empty") << ""
                           << "-";
  }
  void cpuModelNameFromCpuInfo() {
    QFETCH(QString, cpuInfo);
    QTEST(HardwareProfile::cpuModelName(cpuInfo).value_or("-"), "name");
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(AnalyticsClientTest)
#include "AnalyticsClientTest.moc"
