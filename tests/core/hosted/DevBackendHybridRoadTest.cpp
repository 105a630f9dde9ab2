#include "DevBackend.h"
#include "common/FixedDecimal.h"
#include "data/ReportJson.h"
#include "hosted/HostedAnalysisClient.h"
#include "hosted/HostedResultMerge.h"
#include "privacy/PrivacyRuntimeManager.h"
#include "privacy/anonymization/PrivacyScriptAnonymizer.h"
#include "support/BackendTestSupport.h"
#include "support/DevBackendMount.h"
#include "support/FakePrivacyRuntime.h"
#include "support/ReportSamples.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::test;

namespace {

// Everything that names a person or can reach one in the conversation below.
const QStringList kSecrets = {"Sam",         "Carter", "Jordan", "Alexandra", "Priya", "Noah", "sam.carter@example.com",
                              "555 010 4477"};

const QStringList kTexts = {
    "hey it's Sam, new number",
    "hi Sam! Jordan told me you moved",
    "yes, Alexandra helped, she's amazing",
    "tell Alexandra thanks from me",
    "will do. mail me the photos at sam.carter@example.com",
    "sending now. Priya says hi",
    "say hi to Priya and Noah",
    "call me on +1 555 010 4477 tonight",
    "see you at the lake tomorrow?",
    "see you at the lake tomorrow? jordan is coming",
    "ugh seriously, Sam, you never listen",
    "sorry, my bad, love you Sam",
};

ImportedChat hybridChat() {
  ImportedChat chat;
  chat.meName = "You";
  chat.otherName = "Sam Carter";
  chat.contact.handle = "+15550104477";
  for (qsizetype i = 0; i < 48; ++i) {
    Message message;
    message.id = i + 1;
    message.text = kTexts[i % kTexts.size()];
    message.date = Date::fromUnix(1709294400.0 + 3600.0 * 7 * static_cast<double>(i));
    message.isFromMe = i % 2 == 1;
    message.handle = chat.contact.handle;
    chat.messages.append(message);
  }
  return chat;
}

QString secretIn(const QString& text) {
  for (const QString& secret : kSecrets) {
    const QRegularExpression word("(?<!\\w)" + QRegularExpression::escape(secret) + "(?!\\w)",
                                  QRegularExpression::CaseInsensitiveOption);
    if (word.match(text).hasMatch()) return secret;
  }
  return {};
}

}  // namespace

// The hybrid road end to end: the bundled script on a stand-in runtime (the
// system's Python with the stub detector), the development backend behind the
// scripted server, and the merge into the report.
class DevBackendHybridRoadTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareHostedTests();
    environment_ = std::make_unique<TestEnvironment>();
    qputenv("MURMELA_PRIVACY_DETECTOR", (sourceDir() + "/tests/scripts/stub_detector.py").toUtf8());
    qputenv("PYTHONDONTWRITEBYTECODE", "1");
    FakePrivacyRuntime::Options options;
    options.pythonScript = FakePrivacyRuntime::systemPythonScript();
    FakePrivacyRuntime::writeTree(*PrivacyRuntimeManager().runtimeBaseDirectory() + "/current", options);
  }
  void cleanupTestCase() {
    qunsetenv("MURMELA_PRIVACY_DETECTOR");
    environment_.reset();
  }

  void noRealNameLeavesAndTheReportNamesThemAgain() {
    devbackend::DevBackend backend;
    ScriptedHttpServer server;
    mountDevBackend(server, backend);
    // The client as the application makes it, with the user's temporary
    // folder pointed at one of the test's own.
    QTemporaryDir temporary;
    const QByteArray previousTemporary = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    const auto restoreTemporary = qScopeGuard([&] {
      if (previousTemporary.isNull()) {
        qunsetenv("TMPDIR");
      } else {
        qputenv("TMPDIR", previousTemporary);
      }
    });
    QCOMPARE(QDir::tempPath(), temporary.path());
    const HostedAnalysisClient client(std::make_shared<PrivacyScriptAnonymizer>(), server.baseUrl(), "1.0");

    const ImportedChat chat = hybridChat();
    const LogCapture log;
    QStringList progress;
    HostedAnalysisResult result;
    try {
      result = client.analyze(
          chat, fullReport(), HostedAnalysisWorkflow::hybridPrivacy,
          [&](const ProcessingProgress& p) { progress.append(rawValue(p.stage) + " " + fixedDecimal(p.fraction, 3)); });
    } catch (const MurmelaError& error) {
      QFAIL(qPrintable(error.userFacingText()));
    }

    // Nothing sent names anyone, except the metrics computed on the device.
    const QList<RecordedRequest> steps = server.requests("/v1/analysis-step");
    QVERIFY(steps.size() >= 3);
    for (const RecordedRequest& request : server.requests()) {
      QJsonObject body = QJsonDocument::fromJson(request.body).object();
      QJsonObject payload = body.value("payload").toObject();
      payload.remove("client_metrics");
      body.insert("payload", payload);
      const QString sent = QString::fromUtf8(QJsonDocument(body).toJson(QJsonDocument::Compact));
      QVERIFY2(secretIn(sent).isEmpty(), qPrintable(secretIn(sent) + " in " + sent.left(2000)));
    }
    const QJsonObject participants =
        QJsonDocument::fromJson(steps.first().body).object().value("participants").toObject();
    QVERIFY(participants.value("them").toString().startsWith("Person"));

    // The run's progress passes through the anonymization's own.
    QCOMPARE(progress.first(), "Anonymizing messages... 0.460");
    QVERIFY(progress.contains("Anonymizing messages... 0.670"));

    // The merged report shows the names again, and no placeholder.
    const WrappedReport report = applyingHostedAnalysis(fullReport(), result);
    QVERIFY(report.insightCopy);
    const QString insights = QString::fromUtf8(QJsonDocument(ReportJson::toJson(*report.insightCopy)).toJson());
    QVERIFY2(insights.contains("Sam Carter"), qPrintable(insights));
    const QString whole = QString::fromUtf8(ReportJson::encode(report));
    QVERIFY2(!whole.contains(QRegularExpression("(?i)person\\d\\d|email\\d\\d|phone\\d\\d")), qPrintable(whole));
    // The exchange folder was made there, and is gone.
    QVERIFY(log.lines().join('\n').contains(" input=" + temporary.path() + "/murmela-privacy-"));
    QVERIFY(QDir(temporary.path()).isEmpty());
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(DevBackendHybridRoadTest)
#include "DevBackendHybridRoadTest.moc"
