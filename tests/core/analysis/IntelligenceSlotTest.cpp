#include "analysis/IntelligenceJson.h"
#include "analysis/IntelligenceRuntime.h"
#include "common/AnalysisLogger.h"
#include "support/ScriptedIntelligenceProvider.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

using namespace murmela;
using namespace murmela::test;

namespace {

QStringList configuredLines() {
  QStringList lines;
  for (const QString& line : AnalysisLogger::shared().lines()) {
    const qsizetype at = line.indexOf(QStringLiteral("] Intelligence provider configured: "));
    if (at >= 0) lines.append(line.mid(at + 2));
  }
  return lines;
}

// A provider whose name() blocks until released: configure() must not hold the
// slot's lock while it asks for the name.
class SlowNameProvider : public IntelligenceProvider {
 public:
  QString name() const override {
    asked = true;
    while (!released) std::this_thread::yield();
    return QStringLiteral("Slow");
  }
  QString modelIdentifier() const override { return {}; }
  QString generate(const QString&, qint64) override { return {}; }
  mutable std::atomic<bool> asked{false};
  std::atomic<bool> released{false};
};

}  // namespace

class IntelligenceSlotTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() { AnalysisLogger::shared().clearLines(); }
  void cleanup() { IntelligenceRuntime::configure(nullptr); }

  void extractFirstObject_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("object");  // empty: nothing
    QTest::newRow("no brace") << "no json here" << QByteArray();
    QTest::newRow("never closes") << "say {\"a\": {\"b\": 1}" << QByteArray();
    QTest::newRow("nested with prose around")
        << "Sure! Here it is:\n```json\n{\"a\": {\"b\": [1, 2]}, \"c\": 3}\n```\nDone."
        << QByteArray("{\"a\": {\"b\": [1, 2]}, \"c\": 3}");
    QTest::newRow("closing brace inside a string")
        << "x {\"type\": \"a } b\", \"n\": 1} y" << QByteArray("{\"type\": \"a } b\", \"n\": 1}");
    QTest::newRow("escaped quote keeps the string open")
        << "{\"t\": \"say \\\"} now\", \"n\": 2} tail}" << QByteArray("{\"t\": \"say \\\"} now\", \"n\": 2}");
    QTest::newRow("two objects, the first wins") << "{\"a\": 1} {\"b\": 2}" << QByteArray("{\"a\": 1}");
    QTest::newRow("escaped backslash before a quote")
        << "{\"p\": \"c:\\\\\", \"q\": \"}\"} x" << QByteArray("{\"p\": \"c:\\\\\", \"q\": \"}\"}");
    QTest::newRow("non-ASCII as UTF-8") << QStringLiteral("→ {\"e\": \"café 👍\"}")
                                        << QStringLiteral("{\"e\": \"café 👍\"}").toUtf8();
    // "{" with a combining mark is another character: the object starts later.
    QTest::newRow("brace with a mark is no brace") << QStringLiteral("{\u0301 {\"a\": 1}") << QByteArray("{\"a\": 1}");
    QTest::newRow("empty object") << "{}" << QByteArray("{}");
    QTest::newRow("not checked for validity") << "{oops}" << QByteArray("{oops}");
  }
  void extractFirstObject() {
    QFETCH(QString, text);
    QFETCH(QByteArray, object);
    const std::optional<QByteArray> found = IntelligenceJson::extractFirstObject(text);
    QCOMPARE(found.has_value(), !object.isEmpty());
    if (found) QCOMPARE(*found, object);
  }

  void configureLogsTheNameOrNone() {
    IntelligenceRuntime::configure(nullptr);
    QVERIFY(!IntelligenceRuntime::provider());
    auto provider = std::make_shared<ScriptedIntelligenceProvider>(QStringLiteral("Local Model"));
    IntelligenceRuntime::configure(provider);
    QCOMPARE(IntelligenceRuntime::provider(), std::shared_ptr<IntelligenceProvider>(provider));
    QCOMPARE(configuredLines(),
             (QStringList{"Intelligence provider configured: none", "Intelligence provider configured: Local Model"}));
  }

  void copyOutlivesReconfiguration() {
    auto provider = std::make_shared<ScriptedIntelligenceProvider>();
    provider->reply(QStringLiteral("still here"));
    IntelligenceRuntime::configure(provider);
    const std::shared_ptr<IntelligenceProvider> copy = IntelligenceRuntime::provider();
    provider.reset();
    IntelligenceRuntime::configure(nullptr);  // a step already holding its copy goes on with it
    QCOMPARE(copy->generate(QStringLiteral("p"), 16), QStringLiteral("still here"));
  }

  void nameIsReadOutsideTheLock() {
    auto slow = std::make_shared<SlowNameProvider>();
    std::thread configuring([slow] { IntelligenceRuntime::configure(slow); });
    while (!slow->asked) std::this_thread::yield();
    // configure() is inside name() now; the slot can be read meanwhile.
    QCOMPARE(IntelligenceRuntime::provider(), std::shared_ptr<IntelligenceProvider>(slow));
    slow->released = true;
    configuring.join();
  }

  void concurrentConfigureAndRead() {
    auto a = std::make_shared<ScriptedIntelligenceProvider>(QStringLiteral("A"));
    std::atomic<bool> stop{false};
    std::vector<std::thread> readers;
    for (int i = 0; i < 3; ++i)
      readers.emplace_back([&] {
        while (!stop) {
          const auto current = IntelligenceRuntime::provider();
          if (current && current->name() != QStringLiteral("A")) std::abort();
        }
      });
    for (int i = 0; i < 200; ++i) IntelligenceRuntime::configure(i % 2 ? nullptr : a);
    stop = true;
    for (std::thread& reader : readers) reader.join();
    QCOMPARE(configuredLines().size(), 200);
    QVERIFY(!IntelligenceRuntime::provider());  // the last configure emptied the slot
  }

  void scriptedProviderAnswersInOrder() {
    ScriptedIntelligenceProvider provider(QStringLiteral("Script"));
    provider.reply(QStringLiteral("first")).fail(QStringLiteral("model busy")).reply(QStringLiteral("third"));
    QCOMPARE(provider.generate(QStringLiteral("p1"), 256), QStringLiteral("first"));
    try {
      provider.generate(QStringLiteral("p2"), 320);
      QFAIL("a scripted failure must throw");
    } catch (const std::exception& error) {
      QCOMPARE(describeProviderError(error), QStringLiteral("model busy"));
    }
    QCOMPARE(provider.generate(QStringLiteral("p3"), 384), QStringLiteral("third"));
    QCOMPARE(provider.pendingCount(), 0);
    QVERIFY_THROWS_EXCEPTION(ScriptedProviderError, provider.generate(QStringLiteral("p4"), 1));
    QCOMPARE(provider.prompts(), (QStringList{"p1", "p2", "p3", "p4"}));
    QCOMPARE(provider.tokenLimits(), (QList<qint64>{256, 320, 384, 1}));
  }

  void describeOtherErrors() {
    QCOMPARE(describeProviderError(std::runtime_error("socket closed")), QStringLiteral("socket closed"));
  }
};

MURMELA_TEST(IntelligenceSlotTest)
#include "IntelligenceSlotTest.moc"
