#include "data/AttributedBodyDecoder.h"
#include "support/FixtureDatabaseBuilder.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const QByteArray kMarker = QByteArrayLiteral("NSString");
// Bytes that come before the marker in a real body (no "+" and no marker among them).
const QByteArray kLead = QByteArrayLiteral("\x04\x0bstreamtyped\x81\xe8\x03\x84\x01@\x84\x84\x84");

QByteArray raw(std::initializer_list<int> values) {
  QByteArray bytes;
  for (int value : values) bytes.append(static_cast<char>(value));
  return bytes;
}

// A body: lead, marker, then `afterMarker`.
QByteArray body(const QByteArray& afterMarker) { return kLead + kMarker + afterMarker; }

QByteArray utf8Of(qsizetype byteCount) {
  // "ä" is two bytes; an odd count ends with one ASCII letter.
  QByteArray text;
  while (text.size() + 2 <= byteCount) text.append("\xc3\xa4");
  if (text.size() < byteCount) text.append('z');
  return text;
}

}  // namespace

class AttributedBodyDecoderTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void decodes_data() {
    QTest::addColumn<QByteArray>("blob");
    QTest::addColumn<std::optional<QString>>("expected");
    using Text = std::optional<QString>;
    const Text nothing;

    const QByteArray fifteen = kMarker + "+" + raw({5}) + "hello";
    QTest::newRow("15 bytes with marker and string") << fifteen << nothing;
    QTest::newRow("16 bytes with marker and string") << ("x" + fifteen) << Text("hello");
    QTest::newRow("one-byte length") << body("+" + raw({5}) + "hello") << Text("hello");
    QTest::newRow("no trimming here") << body("+" + raw({4}) + " hi ") << Text(" hi ");
    QTest::newRow("no marker") << (kLead + "NSStrin+" + raw({2}) + "hi") << nothing;
    QTest::newRow("marker ends the blob") << body({}) << nothing;
    QTest::newRow("no + in the window") << body(QByteArray(40, 'x')) << nothing;

    const QByteArray text300 = utf8Of(300);
    QTest::newRow("0x81 and 16-bit length 300") << body("+" + raw({0x81, 0x2C, 0x01}) + text300)
                                                << Text(QString::fromUtf8(text300));
    QTest::newRow("0x80 is a plain length of 128") << body("+" + raw({0x80}) + utf8Of(128))
                                                   << Text(QString::fromUtf8(utf8Of(128)));
    QTest::newRow("0x82 and 32-bit length") << body("+" + raw({0x82, 3, 0, 0, 0}) + "abc") << Text("abc");
    QTest::newRow("0x82 at the limit 0xFFFFF") << body("+" + raw({0x82, 0xFF, 0xFF, 0x0F, 0}) + utf8Of(0xFFFFF))
                                               << Text(QString::fromUtf8(utf8Of(0xFFFFF)));
    QTest::newRow("0x82 length 1,048,576") << body("+" + raw({0x82, 0, 0, 0x10, 0}) + QByteArray(40, 'x')) << nothing;
    QTest::newRow("0x82 too long, later + wins") << body("+" + raw({0x82, 0, 0, 0x10, 0}) + "+" + raw({3}) + "abc")
                                                 << Text("abc");
    QTest::newRow("0x83 gives no string") << body("+" + raw({0x83, 3, 0, 0, 0, 0}) + "abcdef") << nothing;
    QTest::newRow("0xFF gives no string") << body("+" + raw({0xFF}) + "abcdef") << nothing;
    QTest::newRow("0x81 without its two bytes") << body("+" + raw({0x81, 0x05})) << nothing;
    QTest::newRow("0x82 without its four bytes") << body("+" + raw({0x82, 1, 0, 0})) << nothing;
    QTest::newRow("+ is the last byte") << body("xx+") << nothing;
    QTest::newRow("zero length, scan goes on") << body("+" + raw({0}) + "+" + raw({2}) + "ok") << Text("ok");
    QTest::newRow("zero length alone") << body("+" + raw({0}) + "abc") << nothing;
    QTest::newRow("string past the end") << body("+" + raw({10}) + "short") << nothing;
    QTest::newRow("string ends exactly at the end") << body("+" + raw({5}) + "exact") << Text("exact");
    QTest::newRow("+ at byte 32 after the marker") << body(QByteArray(31, 'x') + "+" + raw({2}) + "in") << Text("in");
    QTest::newRow("+ at byte 33 after the marker") << body(QByteArray(32, 'x') + "+" + raw({3}) + "out") << nothing;
    QTest::newRow("string may run past the window")
        << body(QByteArray(31, 'x') + "+" + raw({60}) + QByteArray(60, 'y')) << Text(QString(60, 'y'));
    QTest::newRow("invalid UTF-8 then valid") << body("+" + raw({2, 0xC3, 0x28}) + "+" + raw({2}) + "ok") << Text("ok");
    QTest::newRow("invalid UTF-8 alone") << body("+" + raw({2, 0xC3, 0x28}) + "xxxx") << nothing;
    QTest::newRow("truncated sequence") << body("+" + raw({3, 'a', 'b', 0xC3}) + "xxxx") << nothing;
    QTest::newRow("encoded surrogate") << body("+" + raw({3, 0xED, 0xA0, 0x80}) + "xxxx") << nothing;
    QTest::newRow("overlong encoding") << body("+" + raw({2, 0xC0, 0xAF}) + "xxxx") << nothing;
    QTest::newRow("emoji") << body("+" + raw({4, 0xF0, 0x9F, 0x98, 0x80})) << Text(QStringLiteral("\U0001F600"));
    QTest::newRow("leading byte-order mark kept")
        << body("+" + raw({5, 0xEF, 0xBB, 0xBF, 'h', 'i'})) << Text(QStringLiteral("\uFEFFhi"));
    QTest::newRow("embedded NUL kept") << body("+" + raw({3, 'a', 0, 'b'})) << Text(QString::fromUtf8("a\0b", 3));
    QTest::newRow("only the first marker counts")
        << body(QByteArray(40, 'x') + kMarker + "+" + raw({2}) + "no") << nothing;
    QTest::newRow("length byte is itself +") << body("+" + raw({0x2B}) + QByteArray(43, 'q')) << Text(QString(43, 'q'));
  }
  void decodes() {
    QFETCH(QByteArray, blob);
    QFETCH(std::optional<QString>, expected);
    QCOMPARE(AttributedBodyDecoder::plainString(blob), expected);
  }

  // The fixture encoder is the decoder's inverse wherever a string can be
  // recovered, and yields nothing where the rules refuse one.
  void encoderRoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("recoverable");
    QTest::newRow("one byte") << "k" << true;
    QTest::newRow("128 bytes") << QString(128, 'a') << true;
    QTest::newRow("129 bytes") << QString(129, 'a') << true;
    QTest::newRow("0xFFFF bytes") << QString(0xFFFF, 'a') << true;
    QTest::newRow("0x10000 bytes") << QString(0x10000, 'a') << true;
    QTest::newRow("0xFFFFF bytes") << QString(0xFFFFF, 'a') << true;
    QTest::newRow("0x100000 bytes") << QString(0x100000, 'a') << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("mixed scripts") << QStringLiteral("Grüße, 世界 \U0001F44B\u200D") << true;
    QTest::newRow("surrounding spaces kept") << QStringLiteral("  spaced \n") << true;
  }
  void encoderRoundTrip() {
    QFETCH(QString, text);
    QFETCH(bool, recoverable);
    const std::optional<QString> decoded =
        AttributedBodyDecoder::plainString(test::FixtureDatabaseBuilder::encodeAttributedBody(text));
    QCOMPARE(decoded.has_value(), recoverable);
    if (recoverable) QCOMPARE(*decoded, text);
  }
};

MURMELA_TEST(AttributedBodyDecoderTest)
#include "AttributedBodyDecoderTest.moc"
