#include "support/BackendTestSupport.h"
#include "backend/AppInstallIdentity.h"
#include "backend/BackendDefaults.h"
#include "backend/BackendRegistration.h"
#include "net/TransportError.h"
#include "common/AppSettings.h"
#include "json/JsonCodec.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QUuid>

#include <memory>
#include <thread>
#include <vector>

using namespace murmela;
using namespace murmela::test;

class RegistrationTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareHostedTests();
    environment_ = std::make_unique<TestEnvironment>();
  }
  void cleanupTestCase() { environment_.reset(); }
  void init() { AppSettings::shared().clearAll(); }

  void installIdentityIsMadeOnceAndKept() {
    const QString identity = AppInstallIdentity::current();
    QCOMPARE(identity.size(), 42);
    QVERIFY(identity.startsWith("macos-"));
    const QString uuid = identity.mid(6);
    QCOMPARE(uuid, uuid.toUpper());
    QVERIFY(!QUuid::fromString(uuid).isNull());
    QCOMPARE(AppSettings::shared().value("installID").toString(), identity);
    QCOMPARE(AppInstallIdentity::current(), identity);
  }

  void emptyStoredIdentityIsReplaced() {
    AppSettings::shared().setValue("installID", QString());
    const QString identity = AppInstallIdentity::current();
    QCOMPARE(identity.size(), 42);
    QCOMPARE(AppSettings::shared().value("installID").toString(), identity);
  }

  void removingTheDefaultsGivesANewIdentity() {
    const QString first = AppInstallIdentity::current();
    AppSettings::shared().clearAll();
    QVERIFY(AppInstallIdentity::current() != first);
  }

  void racingFirstUsesAgreeOnOneIdentity() {
    std::vector<QString> seen(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i) threads.emplace_back([&seen, i] { seen[i] = AppInstallIdentity::current(); });
    for (std::thread& thread : threads) thread.join();
    QStringList distinct(seen.begin(), seen.end());
    QCOMPARE(distinct.removeDuplicates(), 7);
    QCOMPARE(distinct.first(), AppSettings::shared().value("installID").toString());
  }

  void applicationVersionFallsBackToUnknown() {
    const QString saved = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QString());
    QCOMPARE(applicationVersion(), QString("unknown"));
    QCoreApplication::setApplicationVersion("2.3.1");
    QCOMPARE(applicationVersion(), QString("2.3.1"));
    QCoreApplication::setApplicationVersion(saved);
  }

  void builtInBaseUrlIsTheBuildSetting() { QCOMPARE(defaultBackendBaseUrl(), QString(MURMELA_BACKEND_URL)); }

  void registrationAnswers_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("outcome");  // the token, or the error's type
    QTest::newRow("201 with further keys") << 201 << QByteArray(R"({"auth_token":"tok-1","expires_in":60,"x":{}})") << "tok-1";
    QTest::newRow("200") << 200 << QByteArray(R"({"auth_token":"tok-2"})") << "tok-2";
    QTest::newRow("204 empty") << 204 << QByteArray() << "DecodingError";
    QTest::newRow("no auth_token") << 200 << QByteArray(R"({"token":"x"})") << "DecodingError";
    QTest::newRow("auth_token not a string") << 200 << QByteArray(R"({"auth_token":42})") << "DecodingError";
    QTest::newRow("300") << 300 << QByteArray(R"({"auth_token":"x"})") << "badServerResponse";
    QTest::newRow("401") << 401 << QByteArray(R"({"auth_token":"x"})") << "badServerResponse";
  }

  void registrationAnswers() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, outcome);
    ScriptedHttpServer server;
    server.setDefault("/v1/register", ScriptedResponse::json(status, body));
    QString result;
    try {
      result = BackendRegistration::registerInstall(server.baseUrl(), "1.4");
    } catch (const Json::DecodingError&) {
      result = "DecodingError";
    } catch (const TransportError& error) {
      if (error.kind() == TransportError::Kind::badServerResponse) result = "badServerResponse";
    }
    QCOMPARE(result, outcome);

    const RecordedRequest sent = server.requests().value(0);
    QCOMPARE(sent.method, QByteArray("POST"));
    QCOMPARE(sent.header("Content-Type"), QByteArray("application/json"));
    QVERIFY(!sent.hasHeader("Authorization"));
    const QJsonObject sentBody = QJsonDocument::fromJson(sent.body).object();
    QCOMPARE(sentBody.keys(), QStringList({"app_version", "install_id", "platform"}));
    QCOMPARE(sentBody.value("install_id").toString(), AppInstallIdentity::current());
    QCOMPARE(sentBody.value("app_version").toString(), QString("1.4"));
    QCOMPARE(sentBody.value("platform").toString(), QString("macos"));
  }

  void unreachableBackendIsATransportError() {
    try {
      BackendRegistration::registerInstall(refusingBaseUrl(), "1.0");
      QFAIL("expected a transport error");
    } catch (const TransportError& error) {
      QCOMPARE(error.kind(), TransportError::Kind::cannotConnect);
    }
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(RegistrationTest)
#include "RegistrationTest.moc"
