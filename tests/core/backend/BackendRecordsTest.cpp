// The backend's shared records: JSON values in their order and their short
// descriptions, and the error bodies read strictly.
#include "backend/BackendWireRecords.h"
#include "json/JSONValue.h"
#include "json/JsonCodec.h"
#include "support/BackendTestSupport.h"
#include "support/TestRegistry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

JSONValue parseValue(const QByteArray& text) {
  return JSONValue::fromJson(QJsonDocument::fromJson("[" + text + "]").array().at(0));
}

}  // namespace

class BackendRecordsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void jsonValueDecodesInItsOrder_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("written");
    using K = JSONValue::Kind;
    QTest::newRow("integer") << QByteArray("3") << int(K::number) << QByteArray("3");
    QTest::newRow("zero is a number") << QByteArray("0") << int(K::number) << QByteArray("0");
    QTest::newRow("one is a number") << QByteArray("1") << int(K::number) << QByteArray("1");
    QTest::newRow("fraction") << QByteArray("12.5") << int(K::number) << QByteArray("12.5");
    QTest::newRow("true") << QByteArray("true") << int(K::boolean) << QByteArray("true");
    QTest::newRow("false") << QByteArray("false") << int(K::boolean) << QByteArray("false");
    QTest::newRow("null") << QByteArray("null") << int(K::null) << QByteArray("null");
    QTest::newRow("string") << QByteArray(R"("a/b")") << int(K::string) << QByteArray(R"("a/b")");
    QTest::newRow("nested array") << QByteArray("[1,[true,null],{}]") << int(K::array)
                                  << QByteArray("[1,[true,null],{}]");
    QTest::newRow("nested object") << QByteArray(R"({"b":{"c":[]},"a":"x"})") << int(K::object)
                                   << QByteArray(R"({"a":"x","b":{"c":[]}})");
  }

  void jsonValueDecodesInItsOrder() {
    QFETCH(QByteArray, text);
    QFETCH(int, kind);
    QFETCH(QByteArray, written);
    const JSONValue value = parseValue(text);
    QCOMPARE(int(value.kind()), kind);
    QCOMPARE(Json::write(value.toJson(), Json::Layout::Compact, false), written);
    QCOMPARE(parseValue(written), value);
  }

  void jsonValueAccessors() {
    const JSONValue value = parseValue(R"({"n":3,"b":false,"s":"x","a":[1]})");
    const JSONValue::Object& members = *value.objectValue();
    QCOMPARE(members.value("n").numberValue(), std::optional<double>(3.0));
    QCOMPARE(members.value("n").boolValue(), std::nullopt);
    QCOMPARE(members.value("b").boolValue(), std::optional<bool>(false));
    QCOMPARE(members.value("s").stringValue(), std::optional<QString>("x"));
    QCOMPARE(members.value("a").arrayValue()->size(), 1);
    QVERIFY(members.value("missing").isNull());
    QCOMPARE(sortedKeys(members), QString("a,b,n,s"));
  }

  void compactDescription_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("description");
    QTest::newRow("number") << QByteArray("12.5") << "12.500";
    QTest::newRow("half-way number") << QByteArray("0.0625") << "0.062";
    QTest::newRow("object of three") << QByteArray(R"({"a":1,"b":2,"c":3})") << "object(3)";
    QTest::newRow("empty array") << QByteArray("[]") << "array(0)";
    QTest::newRow("string") << QByteArray(R"("n/a")") << "n/a";
    QTest::newRow("bool") << QByteArray("true") << "true";
    QTest::newRow("null") << QByteArray("null") << "null";
  }

  void compactDescription() {
    QFETCH(QByteArray, text);
    QFETCH(QString, description);
    QCOMPARE(parseValue(text).compactDescription(), description);
  }

  void errorBodies_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("summary");
    QTest::newRow("empty detail") << QByteArray(R"({"detail":{}})") << "ok"
                                  << "";
    QTest::newRow("full detail")
        << QByteArray(R"({"detail":{"message":"busy","status_code":429,"diagnostic_id":"d-1","run_id":"r-9"}})") << "ok"
        << "backendRunID=r-9 diagnosticID=d-1 status=429 message=busy";
    QTest::newRow("only a message") << QByteArray(R"({"detail":{"message":"m","run_id":null}})") << "ok"
                                    << "message=m";
    QTest::newRow("no detail") << QByteArray("{}") << "error.detail"
                               << "";
    QTest::newRow("detail is null") << QByteArray(R"({"detail":null})") << "error.detail"
                                    << "";
    QTest::newRow("status code as text") << QByteArray(R"({"detail":{"status_code":"429"}})")
                                         << "error.detail.status_code"
                                         << "";
    QTest::newRow("status code with a fraction")
        << QByteArray(R"({"detail":{"status_code":429.5}})") << "error.detail.status_code"
        << "";
  }

  void errorBodies() {
    QFETCH(QByteArray, body);
    QFETCH(QString, outcome);
    QFETCH(QString, summary);
    BackendErrorEnvelope envelope;
    QCOMPARE(decodeOutcome([&] { envelope = BackendErrorEnvelope::fromJson(jsonObject(body)); }), outcome);
    QCOMPARE(envelope.detail.summary(), summary);
  }
};

MURMELA_TEST(BackendRecordsTest)
#include "BackendRecordsTest.moc"
