#include "json/JsonCodec.h"
#include "data/ReportJson.h"
#include "sharelinks/ShareContentHash.h"
#include "support/ReportSamples.h"
#include "support/TestRegistry.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>

using namespace murmela;

Q_DECLARE_METATYPE(std::function<void(WrappedReport&)>)

namespace {

using Change = std::function<void(WrappedReport&)>;

QString sha256Hex(const QByteArray& bytes) {
  return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

}  // namespace

class ShareContentHashTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void isSixtyFourLowerCaseHexDigitsAndStable() {
    const WrappedReport report = test::fullReport();
    const QString hash = shareContentHash(report);
    QVERIFY2(QRegularExpression("^[0-9a-f]{64}$").match(hash).hasMatch(), qPrintable(hash));
    QCOMPARE(shareContentHash(report), hash);
    QCOMPARE(shareContentHash(ReportJson::decode(ReportJson::encode(report))), hash);  // survives a round trip
  }

  void coversTheCompactFormWithEscapedSlashes() {
    const WrappedReport report = test::fullReport();  // the other name holds a "/"
    const QByteArray plain = Json::write(ReportJson::toJson(report), Json::Layout::Compact, false);
    QVERIFY(plain.contains("Zoë / \\\"Z\\\""));
    QVERIFY(!plain.contains('\n') && !plain.contains("\": "));
    const QString hash = shareContentHash(report);
    QCOMPARE(hash, sha256Hex(QByteArray(plain).replace("/", "\\/")));
    QVERIFY(hash != sha256Hex(plain));
  }

  void changesWithAnyField_data() {
    QTest::addColumn<Change>("change");
    QTest::newRow("other name") << Change([](WrappedReport& r) { r.participantNames.them += "!"; });
    QTest::newRow("relationship") << Change([](WrappedReport& r) { r.relationshipType = RelationshipType::family; });
    QTest::newRow("count") << Change([](WrappedReport& r) { r.totalMessages += 1; });
    QTest::newRow("date by a second") << Change(
        [](WrappedReport& r) { r.lastMessageDate = r.lastMessageDate.addingSeconds(1); });
    QTest::newRow("fraction") << Change([](WrappedReport& r) { r.initiationRate.me += 1e-9; });
    QTest::newRow("heatmap cell") << Change([](WrappedReport& r) { r.messagesByHourByDayOfWeek[6][23] += 1; });
    QTest::newRow("year map") << Change([](WrappedReport& r) { r.messagesByYear.insert(2022, 1); });
    QTest::newRow("emoji order") << Change([](WrappedReport& r) { std::swap(r.topEmojis[0], r.topEmojis[1]); });
    QTest::newRow("optional removed") << Change([](WrappedReport& r) { r.signaturePhrase.reset(); });
    QTest::newRow("insight copy removed") << Change([](WrappedReport& r) { r.insightCopy.reset(); });
    QTest::newRow("closing paragraph") << Change([](WrappedReport& r) { r.closerParagraph += " "; });
  }
  void changesWithAnyField() {
    QFETCH(Change, change);
    WrappedReport changed = test::fullReport();
    change(changed);
    QVERIFY(shareContentHash(changed) != shareContentHash(test::fullReport()));
  }

  void aNumberJsonCannotHoldIsThrown() {
    WrappedReport report = test::fullReport();
    report.initiationRate.me = std::numeric_limits<double>::quiet_NaN();
    QVERIFY_THROWS_EXCEPTION(Json::EncodingError, shareContentHash(report));
  }
};

MURMELA_TEST(ShareContentHashTest)
#include "ShareContentHashTest.moc"
