#include "hosted/HostedAnalysisClient.h"
#include "support/BackendTestSupport.h"
#include "support/ReportSamples.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestRegistry.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

// `start` + a padding member + "}", exactly `bytes` long.
QByteArray padded(const QByteArray& start, qint64 bytes) {
  const QByteArray head = start + ",\"pad\":\"";
  return head + QByteArray(static_cast<qsizetype>(bytes - head.size() - 2), 'x') + "\"}";
}

// {"result":{"a":[0,0,...]}}: the document, "result" and its object, "a" and
// its array are five values, then `numbers` more.
QByteArray withValues(qint64 numbers) {
  QByteArray zeros = QByteArray("0,").repeated(static_cast<qsizetype>(numbers));
  zeros.chop(1);
  return "{\"result\":{\"a\":[" + zeros + "]}}";
}

ImportedChat twoMessages() {
  ImportedChat chat;
  chat.meName = "Marta";
  chat.otherName = "Zoltan";
  chat.contact.handle = "+15550100";
  for (int i = 0; i < 2; ++i) {
    Message message;
    message.id = i + 1;
    message.text = "hello";
    message.date = Date::fromUnix(1709294400.0 + 60.0 * i);
    message.isFromMe = i == 1;
    message.handle = chat.contact.handle;
    chat.messages.append(message);
  }
  return chat;
}

}  // namespace

class AnswerBoundsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { prepareHostedTests(); }

  // Each call of a run takes an answer of exactly its own bound and refuses
  // one byte more; the synthesis also refuses one value past its cap.
  void eachCallHasItsOwnBound_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("read");
    const struct {
      const char* call;
      QByteArray start;
      qint64 bound;
    } calls[] = {
        {"register", R"({"auth_token":"tok")", 64 << 10},
        {"chunk_analysis", R"({"result":{"chunk":0})", 128 << 10},
        {"synthesize", R"({"result":{"relationshipType":"family"})", 4 << 20},
        {"insight_copy", R"({"result":{})", 64 << 10},
    };
    for (const auto& [call, start, bound] : calls) {
      QTest::addRow("%s at its bound", call) << QString(call) << padded(start, bound) << true;
      QTest::addRow("%s one byte over", call) << QString(call) << padded(start, bound + 1) << false;
    }
    const qint64 cap = (4 << 20) / 16;
    QTest::newRow("synthesize at its value cap") << "synthesize" << withValues(cap - 5) << true;
    QTest::newRow("synthesize one value over") << "synthesize" << withValues(cap - 4) << false;
    QTest::newRow("synthesize, members count twice")
        << "synthesize" << "{\"result\":{" + QByteArray("\"k\":0,").repeated(cap / 2) + "\"k\":0}}" << false;
  }
  void eachCallHasItsOwnBound() {
    QFETCH(QString, call);
    QFETCH(QByteArray, answer);
    QFETCH(bool, read);
    ScriptedHttpServer server;
    const auto ordinary = [](const QString& step) {
      return ScriptedResponse::json(200, step == "synthesize" ? R"({"result":{"relationshipType":"family"}})"
                                                              : R"({"result":{}})");
    };
    server.setDefault("/v1/register", call == "register" ? ScriptedResponse::json(200, answer)
                                                         : ScriptedResponse::json(200, R"({"auth_token":"tok"})"));
    server.setHandler("/v1/analysis-step", [&](const RecordedRequest& request) {
      const QString step = QJsonDocument::fromJson(request.body).object().value("step").toString();
      return step == call ? ScriptedResponse::json(200, answer) : ordinary(step);
    });
    QString error;
    try {
      HostedAnalysisClient(nullptr, server.baseUrl(), "1.0")
          .analyze(twoMessages(), fullReport(), HostedAnalysisWorkflow::fullClaude, [](const ProcessingProgress&) {});
    } catch (const MurmelaError& failure) {
      error = failure.userFacingText();
    }
    QVERIFY2(read == error.isEmpty(), qPrintable(error.left(300)));
    if (!read) QVERIFY2(error.startsWith("[HostedAnalysisError]"), qPrintable(error.left(300)));
  }
};

MURMELA_TEST(AnswerBoundsTest)
#include "AnswerBoundsTest.moc"
