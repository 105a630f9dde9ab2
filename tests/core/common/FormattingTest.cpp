#include "common/FixedDecimal.h"
#include "common/Iso8601.h"
#include "json/JsonCodec.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>

using namespace murmela;

class FormattingTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void fixedDecimals_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("binary tie goes to even") << 0.625 << 2 << "0.62";
    QTest::newRow("0.375 goes up") << 0.375 << 2 << "0.38";
    QTest::newRow("not a tie") << 0.626 << 2 << "0.63";
    QTest::newRow("whole") << 1.0 << 2 << "1.00";
    QTest::newRow("seconds") << 2.0009 << 2 << "2.00";
    QTest::newRow("negative") << -0.5 << 1 << "-0.5";
    QTest::newRow("zero decimals") << 2.5 << 0 << "2";
  }
  void fixedDecimals() {
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(fixedDecimal(value, decimals), text);
  }

  void fixedDecimalIgnoresTheUserLocale() {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "C");
    QCOMPARE(fixedDecimal(0.5, 2), QStringLiteral("0.50"));
    std::setlocale(LC_NUMERIC, saved.c_str());
  }

  void isoFormat() {
    QCOMPARE(Iso8601::format(Date(0)), QStringLiteral("2001-01-01T00:00:00Z"));
    QCOMPARE(Iso8601::format(Date(59.999)), QStringLiteral("2001-01-01T00:00:59Z"));
    QCOMPARE(Iso8601::formatWithMilliseconds(Date(7.25)), QStringLiteral("2001-01-01T00:00:07.250Z"));
  }

  void isoParse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allowFraction");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("unix");
    QTest::newRow("utc") << "2024-01-02T03:04:05Z" << false << true << 1704164645.0;
    QTest::newRow("offset") << "2024-01-02T05:04:05+02:00" << false << true << 1704164645.0;
    QTest::newRow("negative offset") << "2024-01-01T22:04:05-05:00" << false << true << 1704164645.0;
    QTest::newRow("fraction refused") << "2024-01-02T03:04:05.5Z" << false << false << 0.0;
    QTest::newRow("fraction allowed") << "2024-01-02T03:04:05.5Z" << true << true << 1704164645.5;
    QTest::newRow("no zone") << "2024-01-02T03:04:05" << false << false << 0.0;
    QTest::newRow("date only") << "2024-01-02" << false << false << 0.0;
    QTest::newRow("space for T") << "2024-01-02 03:04:05Z" << false << false << 0.0;
    QTest::newRow("lower z") << "2024-01-02T03:04:05z" << false << false << 0.0;
    QTest::newRow("month 13") << "2024-13-02T03:04:05Z" << false << false << 0.0;
    QTest::newRow("hour 24") << "2024-01-02T24:00:00Z" << false << false << 0.0;
    QTest::newRow("trailing text") << "2024-01-02T03:04:05Zx" << false << false << 0.0;
    QTest::newRow("final line feed") << "2024-03-05T10:20:30Z\n" << false << false << 0.0;
    QTest::newRow("leading line feed") << "\n2024-03-05T10:20:30Z" << false << false << 0.0;
    QTest::newRow("year 1") << "0001-01-01T00:00:00Z" << false << true << -62135596800.0;
    QTest::newRow("offset before year 1") << "0001-01-01T00:59:59+01:00" << false << false << 0.0;
    QTest::newRow("year 9999") << "9999-12-31T23:59:59Z" << false << true << 253402300799.0;
    QTest::newRow("offset past year 9999") << "9999-12-31T23:30:00-01:00" << false << false << 0.0;
    QTest::newRow("year 0") << "0000-06-01T00:00:00Z" << false << false << 0.0;
  }
  void isoParse() {
    QFETCH(QString, text);
    QFETCH(bool, allowFraction);
    QFETCH(bool, valid);
    QFETCH(double, unix);
    const std::optional<Date> date = Iso8601::parse(text, allowFraction);
    QCOMPARE(date.has_value(), valid);
    if (valid) QCOMPARE(date->toUnix(), unix);
  }

  void isoFractionsKeepTheirMilliseconds_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("milliseconds");  // since the Unix epoch
    QTest::newRow("1969") << "1969-07-20T20:17:40.001Z" << -14182939999LL;
    QTest::newRow("2024") << "2024-01-02T03:04:05.999Z" << 1704164645999LL;
    QTest::newRow("2244") << "2244-01-01T00:00:00.001Z" << 8646566400001LL;
    QTest::newRow("with an offset") << "2244-01-01T01:00:00.007+01:00" << 8646566400007LL;
  }
  void isoFractionsKeepTheirMilliseconds() {
    QFETCH(QString, text);
    QFETCH(qint64, milliseconds);
    QCOMPARE(Iso8601::parse(text, true)->toUnixMilliseconds(), milliseconds);
  }

  void jsonWriterRefusesNonFiniteNumbers() {
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
      const QJsonObject object{{"nested", QJsonObject{{"list", QJsonArray{1, bad}}}}};
      try {
        Json::write(object, Json::Layout::Pretty);
        QFAIL("a non-finite number was written");
      } catch (const Json::EncodingError& error) {
        QCOMPARE(error.path(), QStringLiteral("$.nested.list[1]"));
      }
    }
  }

  void jsonWriterSortsAndEscapesSlashes() {
    const QJsonObject object{{"b", "a/b"}, {"a", 1}};
    QCOMPARE(Json::write(object, Json::Layout::Compact), QByteArray(R"({"a":1,"b":"a\/b"})"));
    QCOMPARE(Json::write(object, Json::Layout::Compact, false), QByteArray(R"({"a":1,"b":"a/b"})"));
    QVERIFY(Json::write(object, Json::Layout::Pretty).contains("\n"));
    QCOMPARE(Json::write(QJsonValue(QStringLiteral("x/y")), Json::Layout::Compact), QByteArray(R"("x\/y")"));
  }

  void jsonIntegers_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("value");
    QTest::newRow("integer") << QByteArray(R"({"n": 42})") << true << qint64(42);
    QTest::newRow("integral double") << QByteArray(R"({"n": 42.0})") << true << qint64(42);
    QTest::newRow("large") << QByteArray(R"({"n": 9007199254740993})") << true << qint64(9007199254740993LL);
    QTest::newRow("fraction") << QByteArray(R"({"n": 4.5})") << false << qint64(0);
    QTest::newRow("string") << QByteArray(R"({"n": "4"})") << false << qint64(0);
    QTest::newRow("too large") << QByteArray(R"({"n": 1e30})") << false << qint64(0);
  }
  void jsonIntegers() {
    QFETCH(QByteArray, json);
    QFETCH(bool, valid);
    QFETCH(qint64, value);
    const Json::ObjectReader reader(Json::parseObject(json, "doc"), "doc");
    try {
      QCOMPARE(reader.integer("n"), value);
      QVERIFY(valid);
    } catch (const Json::DecodingError& error) {
      QVERIFY2(!valid, qPrintable(error.description()));
      QCOMPARE(error.path(), QStringLiteral("doc.n"));
    }
  }

  void jsonReaderNamesMissingMembers() {
    const Json::ObjectReader reader(Json::parseObject(R"({"a": {"b": null}})", "doc"), "doc");
    QVERIFY(reader.isAbsent("b"));
    QVERIFY(reader.object("a").isAbsent("b"));
    QVERIFY(!reader.object("a").optionalString("b").has_value());
    try {
      reader.object("a").string("c");
      QFAIL("missing member accepted");
    } catch (const Json::DecodingError& error) {
      QCOMPARE(error.path(), QStringLiteral("doc.a.c"));
    }
    QVERIFY_THROWS_EXCEPTION(Json::DecodingError, Json::parseObject("[1]", "doc"));
    QVERIFY_THROWS_EXCEPTION(Json::DecodingError, Json::parseObject("{", "doc"));
  }
};

MURMELA_TEST(FormattingTest)
#include "FormattingTest.moc"
