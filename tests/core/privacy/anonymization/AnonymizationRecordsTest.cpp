// The records exchanged with the anonymization script, read strictly.
#include "privacy/anonymization/PrivacyAnonymizationRecords.h"
#include "support/BackendTestSupport.h"
#include "support/TestRegistry.h"

#include <QJsonArray>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

class AnonymizationRecordsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void anonymizationOutputs_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("outcome");
    const QByteArray message =
        R"({"index":1,"sender":"P1","timestamp":"2024-03-05T14:22:10Z","text":"hi","has_photo":false})";
    const QByteArray metadata = R"({"messageCount":1,"nameCount":2,"elapsedSeconds":0.5})";
    const auto output = [](const QByteArray& messages, const QByteArray& meta) {
      return R"({"participants":{"me":"P1","them":"P2"},"messages":[)" + messages +
             R"(],"reverseNameMap":{"P1":"Ana","P2":"Sam"},"metadata":)" + meta + "}";
    };
    QTest::newRow("complete") << output(message, metadata) << "ok";
    QTest::newRow("escapes, text beyond ASCII and a member of its own")
        << output(QByteArray(message).replace("\"hi\"", "\"\\\"é\\u00e9\\ud83d\\ude00\\/\\n\\ud800 😀\",\"x\":[{}]"), metadata)
        << "ok";
    QTest::newRow("metadata without nameCount")
        << output(message, R"({"messageCount":1,"elapsedSeconds":0.5})") << "output.metadata.nameCount";
    QByteArray noPhoto = message;
    noPhoto.replace(R"(,"has_photo":false)", "");
    QTest::newRow("message without has_photo") << output(noPhoto, metadata) << "output.messages[0].has_photo";
    QByteArray fractional = message;
    fractional.replace(R"("index":1)", R"("index":1.5)");
    QTest::newRow("fractional index") << output(fractional, metadata) << "output.messages[0].index";
    QByteArray badMap = output(message, metadata);
    badMap.replace(R"("P2":"Sam")", R"("P2":7)");
    QTest::newRow("name that is not text") << badMap << "output.reverseNameMap.P2";
  }

  void anonymizationOutputs() {
    QFETCH(QByteArray, body);
    QFETCH(QString, outcome);
    PrivacyAnonymizationOutput output;
    QCOMPARE(decodeOutcome([&] { output = PrivacyAnonymizationOutput::fromJson(jsonObject(body)); }), outcome);
    // Read from the bytes, the same outcome and the same records.
    PrivacyAnonymizationOutput decoded;
    QCOMPARE(decodeOutcome([&] { decoded = PrivacyAnonymizationOutput::decode(body); }), outcome);
    QCOMPARE(decoded.messages, output.messages);
    QCOMPARE(decoded.participants, output.participants);
    QCOMPARE(decoded.reverseNameMap, output.reverseNameMap);
    QCOMPARE(decoded.metadata.nameCount, output.metadata.nameCount);
    if (outcome != "ok") return;
    QCOMPARE(output.reverseNameMap.value("P1"), QString("Ana"));
    QCOMPARE(output.metadata.elapsedSeconds, 0.5);
    QCOMPARE(PrivacyAnonymizationOutput::fromJson(output.toJson()).messages, output.messages);
  }

  void anonymizationInputKeys() {
    PrivacyAnonymizationInput input{{"Ana", "Sam"}, {{1, "Sam", "2024-03-05T14:22:10Z", "hi", true}}, "/models/pf"};
    const QJsonObject json = input.toJson();
    QCOMPARE(json.keys(), QStringList({"messages", "model", "participants"}));
    QCOMPARE(json.value("messages").toArray().at(0).toObject().keys(),
             QStringList({"has_photo", "index", "sender", "text", "timestamp"}));
    QCOMPARE(PrivacyAnonymizationInput::fromJson(json).messages, input.messages);
  }
};

MURMELA_TEST(AnonymizationRecordsTest)
#include "AnonymizationRecordsTest.moc"
