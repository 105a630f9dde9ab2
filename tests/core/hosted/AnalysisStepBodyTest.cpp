#include "json/JsonCodec.h"
#include "json/JsonStreamWriter.h"
#include "data/FakeReportLoader.h"
#include "hosted/AnalysisStepBody.h"
#include "hosted/ClientMetrics.h"
#include "hosted/HostedMessages.h"
#include "privacy/anonymization/PrivacyAnonymizationRecords.h"
#include "support/AnalysisStepPayloadTree.h"
#include "support/ReportSamples.h"
#include "support/SampleChat.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace murmela;

namespace {

QString units(std::initializer_list<char16_t> list) {
  QString text;
  for (const char16_t unit : list) text.append(QChar(unit));
  return text;
}

QByteArray streamed(const JSONValue& value, bool escapeSlashes = true) {
  JsonStreamWriter writer(0, escapeSlashes);
  value.write(writer);
  return writer.take();
}

QByteArray reference(const JSONValue& value, bool escapeSlashes = true) {
  return Json::write(value.toJson(), Json::Layout::Compact, escapeSlashes);
}

AnalysisStepRequest envelope(const QString& step) {
  AnalysisStepRequest request;
  request.clientRequestID = "RUN/1:" + step;
  request.workflow = "full_claude";
  request.step = step;
  request.appVersion = "2.0 \"beta\"";
  request.participants = {"You", "Zoë \u2028 <Sam>"};
  return request;
}

}  // namespace

class AnalysisStepBodyTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void stringsAndNamesAreWrittenAsQtWritesThem_data() {
    QTest::addColumn<QString>("text");
    QString controls;
    for (char16_t unit = 0; unit < 0x20; ++unit) controls.append(QChar(unit));
    QTest::newRow("empty") << QString();
    QTest::newRow("quotes, backslash, slash") << QString(R"(say "hi" \ a/b </script>)");
    QTest::newRow("every control character") << controls + "\x7f";
    QTest::newRow("line and paragraph separators") << QString("a\u2028b\u2029c");
    QTest::newRow("accents and CJK") << QString("café — 東京 ß");
    QTest::newRow("surrogate pairs") << QString("🇫🇷 👩🏽‍💻 😀");
    QTest::newRow("lone high surrogate") << units({u'a', 0xD83D, u'b'});
    QTest::newRow("lone low surrogate") << units({0xDE00, u'x'});
    QTest::newRow("high surrogate at the end") << units({u'x', 0xD83D});
    QTest::newRow("pair in the wrong order") << units({0xDE00, 0xD83D});
    QTest::newRow("byte order mark and U+FFFF") << units({0xFEFF, 0xFFFF, 0xFFFE});
  }

  void stringsAndNamesAreWrittenAsQtWritesThem() {
    QFETCH(QString, text);
    const JSONValue value = JSONValue::object({{text, JSONValue::string(text)},
                                               {"list", JSONValue::array({JSONValue::string(text)})}});
    QCOMPARE(streamed(value), reference(value));
    QCOMPARE(streamed(value, false), reference(value, false));
  }

  void numbersAreWrittenAsQtWritesThem_data() {
    QTest::addColumn<double>("number");
    const double limit = 9007199254740992.0;  // 2^53
    for (const double number : {0.0, -0.0, 1.0, -1.0, 0.1, 12.5, -2.5e-300, 1.5e-7, 123456789.125, 1e15, limit,
                                -limit, limit + 2, 1e16, 1e21, 1e100, 5e-324, std::numeric_limits<double>::max(),
                                -9223372036854775808.0})
      QTest::newRow(qPrintable(QString::number(number, 'g', 17))) << number;
  }

  void numbersAreWrittenAsQtWritesThem() {
    QFETCH(double, number);
    const JSONValue value = JSONValue::array({JSONValue::number(number), JSONValue::object({{"n", JSONValue::number(number)}})});
    QCOMPARE(streamed(value), reference(value));
  }

  void numbersThatAreNotFiniteAreRefusedAtTheSamePlace_data() {
    QTest::addColumn<double>("number");
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity();
  }

  void numbersThatAreNotFiniteAreRefusedAtTheSamePlace() {
    QFETCH(double, number);
    const JSONValue value = JSONValue::object(
        {{"a", JSONValue::number(1)},
         {"b", JSONValue::array({JSONValue::null(), JSONValue::object({{"x", JSONValue::number(2)},
                                                                        {"y", JSONValue::number(number)}})})}});
    const auto failure = [](const std::function<void()>& write) {
      try {
        write();
      } catch (const Json::EncodingError& error) {
        return error.description();
      }
      return QString("nothing thrown");
    };
    const QString expected = failure([&] { reference(value); });
    QCOMPARE(expected, QString("Invalid floating-point value at $.b[1].y: JSON cannot hold it."));
    QCOMPARE(failure([&] { streamed(value); }), expected);
  }

  // Every body of a run over the sample chat, with the client metrics of the
  // demo fixtures, is the reference encoder's byte for byte.
  void stepBodiesAreTheReferenceBytes_data() {
    QTest::addColumn<WrappedReport>("report");
    QTest::newRow("full report") << test::fullReport();
    QTest::newRow("minimal report") << test::minimalReport();
    for (const FakeDataFixture fixture : {FakeDataFixture::rich, FakeDataFixture::minimal, FakeDataFixture::friendship})
      QTest::newRow(qPrintable(resourceName(fixture))) << FakeReportLoader::load(fixture);
  }

  void stepBodiesAreTheReferenceBytes() {
    QFETCH(WrappedReport, report);
    test::SampleChatOptions options;
    options.messageCount = 2500;
    ImportedChat chat = test::makeSampleChat(options).importedChat();
    chat.messages[7].text = units({u'"', 0xD83D, u'\n', u'/', 0x2028, 0x0000});
    chat.messages[8].text = QString(12005, QLatin1Char('w'));  // truncated on the way
    const HostedMessageList messages = truncateHostedMessages(makeHostedMessages(chat, HostedAnalysisWorkflow::fullClaude));
    const QList<HostedChunkBounds> chunks = chunkBounds(messages, 20000, 800, 50);
    QVERIFY(chunks.size() > 3);
    const auto span = [&](qsizetype begin, qsizetype end) {
      return std::span<const HostedChatMessage>(messages.constData() + begin, size_t(end - begin));
    };

    JSONValue::Array results;
    for (qsizetype i = 0; i < chunks.size(); ++i) {
      const auto chunk = span(chunks[i].begin, chunks[i].end);
      AnalysisStepRequest request = envelope("chunk_analysis");
      const QByteArray body = AnalysisStepBody::encode(request, AnalysisStepBody::chunkPayload(chunk, i, chunks.size()));
      request.payload = AnalysisStepPayloadTree::chunkPayload(chunk, i, chunks.size());
      QCOMPARE(body, AnalysisStepPayloadTree::encode(request));
      results.append(JSONValue::object({{"i", JSONValue::number(double(i))}, {"note", JSONValue::string("a/b")}}));
    }

    AnalysisStepRequest synthesize = envelope("synthesize");
    synthesize.payload = {{"chunk_results", JSONValue::array(results)}};
    QCOMPARE(AnalysisStepBody::encode(synthesize, AnalysisStepBody::objectPayload(synthesize.payload)),
             AnalysisStepPayloadTree::encode(synthesize));

    const JSONValue::Object synthesis = {{"summary", JSONValue::string("Zoë & Sam")},
                                         {"\U0001F600", JSONValue::number(0.25)},
                                         {"\uFFFF", JSONValue::boolean(true)},
                                         {"Tone", JSONValue::null()}};
    const JSONValue metrics = clientMetrics(report, chat.messages);
    const auto all = span(0, messages.size());
    AnalysisStepRequest insights = envelope("insight_copy");
    const QByteArray body = AnalysisStepBody::encode(insights, AnalysisStepBody::insightsPayload(all, synthesis, metrics),
                                                     AnalysisStepBody::expectedBytes(all));
    insights.payload = AnalysisStepPayloadTree::insightsPayload(all, synthesis, metrics);
    QCOMPARE(body, AnalysisStepPayloadTree::encode(insights));

    // The anonymization's input file too, whose "/" stays as it is.
    PrivacyAnonymizationInput input{{"You", "Zoë/Sam"}, {}, "/models/x"};
    for (const HostedChatMessage& message : messages)
      input.messages.append({message.index, message.sender, message.timestamp, message.text, message.hasPhoto});
    QCOMPARE(input.encode(), Json::write(input.toJson(), Json::Layout::Compact, false));
  }
};

MURMELA_TEST(AnalysisStepBodyTest)
#include "AnalysisStepBodyTest.moc"
