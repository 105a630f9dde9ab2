#include "support/BackendTestSupport.h"
#include "privacy/anonymization/NameRehydration.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;

using NameMap = QMap<QString, QString>;

// Putting the names back into what the backend wrote.
class NameRehydrationTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void texts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<NameMap>("names");
    QTest::addColumn<QString>("expected");
    const NameMap samAndAlexandra{{"P1", "Sam"}, {"P10", "Alexandra"}};
    const NameMap you{{"P1", "You"}, {"P2", "Mia"}};
    QTest::newRow("longest placeholder first") << "P10 and P1 met" << samAndAlexandra << "Alexandra and Sam met";
    QTest::newRow("case ignored") << "p10 told p1" << samAndAlexandra << "Alexandra told Sam";
    QTest::newRow("possessive of you") << "P1's plan" << you << "your plan";
    QTest::newRow("curly possessive of you") << "p1\u2019s plan" << you << "your plan";
    QTest::newRow("you elsewhere") << "P1 said P2 was right" << you << "you said Mia was right";
    QTest::newRow("stray you's") << "It was You's idea" << NameMap{} << "It was your idea";
    QTest::newRow("me stands for the user") << "P1's turn, then P1" << NameMap{{"P1", " ME "}} << "your turn, then you";
    QTest::newRow("other names keep their possessive") << "P2's plan" << you << "Mia's plan";
    QTest::newRow("name kept as written")
        << "person02 says hi" << NameMap{{"Person02", "Dr. Émile O'Neil"}} << "Dr. Émile O'Neil says hi";
    QTest::newRow("empty name skipped") << "P1 and P2" << NameMap{{"P1", ""}, {"P2", "Mia"}} << "P1 and Mia";
    QTest::newRow("replacements apply in turn")
        << "P10 and P1" << NameMap{{"P10", "P1 Jr"}, {"P1", "Sam"}} << "Sam Jr and Sam";
  }

  void texts() {
    QFETCH(QString, text);
    QFETCH(NameMap, names);
    QFETCH(QString, expected);
    QCOMPARE(rehydrate(text, names), expected);
  }

  void jsonKeepsItsStructure() {
    const NameMap names{{"P1", "You"}, {"P2", "Mia"}};
    JSONValue::Object inner{{"P2", JSONValue::string("P2 and P1")}, {"count", JSONValue::number(3)}};
    const JSONValue::Object object{
        {"P2", JSONValue::array({JSONValue::string("P2's idea"), JSONValue::number(2.5), JSONValue::null(),
                                 JSONValue::boolean(true)})},
        {"nested", JSONValue::object(inner)},
        {"text", JSONValue::string("P1's call")},
        {"number", JSONValue::number(7)},
    };
    const JSONValue::Object expected{
        {"P2", JSONValue::array({JSONValue::string("Mia's idea"), JSONValue::number(2.5), JSONValue::null(),
                                 JSONValue::boolean(true)})},
        {"nested", JSONValue::object({{"P2", JSONValue::string("Mia and you")}, {"count", JSONValue::number(3)}})},
        {"text", JSONValue::string("your call")},
        {"number", JSONValue::number(7)},
    };
    QCOMPARE(JSONValue::object(rehydrate(object, names)), JSONValue::object(expected));
    QCOMPARE(rehydrate(JSONValue::string("P2"), names), JSONValue::string("Mia"));
    QCOMPARE(rehydrate(JSONValue::number(1), names), JSONValue::number(1));
  }
};

MURMELA_TEST(NameRehydrationTest)
#include "NameRehydrationTest.moc"
