#include "AnalysisFixtures.h"
#include "GenerativeFixtures.h"
#include "analysis/WrappedAnalysisPipeline.h"
#include "common/MurmelaError.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <stop_token>

using namespace murmela;
using namespace murmela::test;

namespace {

Message at(int month, int day, int hour, int minute, bool fromMe, const QString& text, bool photo = false) {
  Message made = message(text, localDate(2024, month, day, hour, minute), fromMe);
  made.hasPhoto = photo;
  return made;
}

// Two months of a new couple: an inside joke, pet names, firsts, one argument
// and two photos.
ImportedChat smallConversation() {
  const bool me = true;
  const bool them = false;
  ImportedChat chat;
  chat.contact = ContactSummary{QStringLiteral("+15550100"), QStringLiteral("Sam"), 30, Date(), Date()};
  chat.meName = QStringLiteral("You");
  chat.otherName = QStringLiteral("Sam");
  chat.messages = {
      at(1, 5, 20, 0, me, "hey, it's Alex from the climbing gym"),
      at(1, 5, 20, 3, them, "hi Alex! so glad you texted 😊"),
      at(1, 5, 20, 5, me, "coffee on saturday? same time same place as the gym"),
      at(1, 5, 20, 6, them, "deal, same time same place"),
      at(1, 6, 9, 0, me, "good morning! see you soon"),
      at(1, 6, 9, 40, them, "running late, sorry"),
      at(1, 6, 13, 0, me, "that was really fun. same time same place next week?"),
      at(1, 6, 13, 10, them, "yes please 🙌"),
      at(1, 12, 18, 0, them, "i miss you already lol"),
      at(1, 12, 18, 2, me, "miss you too babe"),
      at(1, 13, 11, 0, me, "come over tonight?"),
      at(1, 13, 11, 5, them, "on my way babe"),
      at(1, 20, 19, 0, them, "date night at the pickle place?"),
      at(1, 20, 19, 1, me, "same time same place 😂"),
      at(1, 21, 8, 0, me, "i love you"),
      at(1, 21, 8, 1, them, "I love you too, babe"),
      at(2, 1, 12, 0, them, "so proud of you for the promotion!!"),
      at(2, 1, 12, 30, me, "thank you 🥰"),
      at(2, 3, 20, 0, me, "photo from the hike", true),
      at(2, 3, 20, 5, them, "gorgeous"),
      at(2, 10, 19, 0, them, "i'm upset you forgot dinner"),
      at(2, 10, 19, 5, me, "you're right, i was wrong"),
      at(2, 10, 19, 6, me, "sorry"),
      at(2, 10, 19, 20, them, "it just felt unfair"),
      at(2, 10, 19, 30, me, "my bad, really. can i make it up to you?"),
      at(2, 10, 19, 45, them, "ok. kiss?"),
      at(2, 10, 19, 46, me, "kiss 😘"),
      at(2, 14, 9, 0, them, "happy valentine's day babe ❤️"),
      at(2, 14, 9, 5, me, "love you"),
      at(3, 2, 17, 0, me, "photo of the new place", true),
  };
  return chat;
}

struct Run {
  WrappedReport report;
  QList<ProcessingProgress> progress;
};

Run run(const ImportedChat& chat, WrappedAnalysisPipeline::Options options = {}) {
  Run result;
  result.report = WrappedAnalysisPipeline().buildReport(
      chat, [&](const ProcessingProgress& progress) { result.progress.append(progress); }, {}, options);
  return result;
}

QStringList phrasesOf(const QList<MeaningfulFirst>& firsts) {
  QStringList phrases;
  for (const MeaningfulFirst& first : firsts) phrases.append(first.phrase);
  return phrases;
}

const QList<ProcessingProgress> kFullProgress{
    {AnalysisStage::aggregating, 0.25, std::nullopt},
    {AnalysisStage::analyzingTone, 0.7, std::nullopt},
    {AnalysisStage::generatingSummary, 0.92, std::nullopt},
    {AnalysisStage::generatingSummary, 1.0, std::nullopt},
};

}  // namespace

class AnalysisPipelineTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { environment_ = std::make_unique<TestEnvironment>(); }
  void cleanupTestCase() { environment_.reset(); }
  void init() { AnalysisLogger::shared().clearLines(); }

  void goldenLogWithoutProvider() {
    run(smallConversation());
    QCOMPARE(unstampedLogLines(), QStringList({
                                      "Generative classifier: no provider; using heuristics",
                                      "Heuristic relationship classifier: starting",
                                      "Heuristic relationship classifier: success type=romantic confidence=0.58",
                                      "Generative signature phrase: no provider; using heuristics",
                                      "Heuristic signature phrase: starting",
                                      "Heuristic signature phrase: success phrase='same time same place'",
                                      "Generative firsts analyzer: no provider; using heuristics",
                                      "Heuristic firsts analyzer: starting",
                                      "Heuristic firsts analyzer: term='babe'",
                                      "Argument analyzer: narrowed to 1 candidate windows",
                                      "Generative argument analyzer: no provider; using heuristics",
                                      "Heuristic argument analyzer: accepted 1 events",
                                      "Generative closer: no provider; using heuristic closer",
                                  }));
  }

  void reportOfTheSmallConversation() {
    const Run result = run(smallConversation());
    const WrappedReport& report = result.report;
    QCOMPARE(result.progress, kFullProgress);
    QCOMPARE(report.participantNames.me, QStringLiteral("You"));
    QCOMPARE(report.participantNames.them, QStringLiteral("Sam"));
    QCOMPARE(report.relationshipType, RelationshipType::romantic);
    QCOMPARE(report.relationshipConfidence, 22.0 / 38.0);  // romantic 12, family 2: (10 + 12) / (30 + 8)
    QCOMPARE(report.totalMessages, 30);
    QCOMPARE(report.activeDays, 11);
    QCOMPARE(report.photosShared, 2);
    QVERIFY(report.signaturePhrase);
    QCOMPARE(report.signaturePhrase->phrase, QStringLiteral("same time same place"));
    QCOMPARE(report.signaturePhrase->count, 4);
    QCOMPARE(report.signaturePhrase->flavorLine, QStringLiteral("(their recurring soft spot)"));
    QVERIFY(report.firstDistinctiveTerm);
    QCOMPARE(report.firstDistinctiveTerm->term, QStringLiteral("babe"));
    QCOMPARE(report.firstDistinctiveTerm->date, localDate(2024, 1, 12, 18, 2));
    QCOMPARE(report.firstDistinctiveTerm->context, QStringLiteral("(a friday. 6:02 PM. 6 days in.)"));
    QCOMPARE(phrasesOf(report.otherFirsts),
             QStringList({"miss you", "i miss you", "come over", "i love you", "love you"}));
    QCOMPARE(report.apologyCount.me, 3);  // "i was wrong", "sorry", "my bad"
    QCOMPARE(report.apologyCount.them, 1);
    QCOMPARE(report.argumentEvents.size(), 1);
    const ArgumentEvent& argument = report.argumentEvents.first();
    QCOMPARE(argument.date, localDate(2024, 2, 10, 0));
    QCOMPARE(argument.messageCount, 7);
    QCOMPARE(argument.triggerTerms, QStringList({"upset", "sorry", "my bad", "wrong", "unfair"}));
    QCOMPARE(argument.endedByMe, true);
    QCOMPARE(report.longestStreak.days, 2);
    QVERIFY(!report.insightCopy);
    QCOMPARE(report.closerParagraph,
             QStringLiteral("Across 30 messages and 1 years, this thread with Sam became a private archive of ordinary "
                            "days, repairs, returns, and all the tiny ways love learned to speak. The longest streak "
                            "lasted 2 days, but the real pattern is simpler: again and again, one of you reached out, "
                            "and the other came back."));
  }

  void emptyConversationGivesACompleteReport() {
    ImportedChat chat;
    chat.contact = ContactSummary{QStringLiteral("+15550100"), QStringLiteral(""), 0, Date(), Date()};
    chat.meName = QStringLiteral("You");
    chat.otherName = QStringLiteral("+15550100");
    const Run result = run(chat);
    const WrappedReport& report = result.report;
    QCOMPARE(result.progress, kFullProgress);
    QCOMPARE(report.relationshipType, RelationshipType::casual);
    QCOMPARE(report.relationshipConfidence, 0.4);
    QCOMPARE(report.totalMessages, 0);
    QCOMPARE(report.messagesByHourByDayOfWeek.size(), 7);
    QVERIFY(!report.signaturePhrase);
    QVERIFY(!report.firstDistinctiveTerm);
    QVERIFY(report.otherFirsts.isEmpty());
    QVERIFY(report.argumentEvents.isEmpty());
    QVERIFY(report.sentimentByMonth.isEmpty());
    QCOMPARE(report.photosShared, 0);
    // An empty display name hands the handle to the closing paragraph.
    QVERIFY(report.closerParagraph.startsWith(
        QStringLiteral("Across 0 messages and 1 years, this thread with +15550100 shows what accumulated slowly")));
    QCOMPARE(unstampedLogLines(), QStringList({
                                      "Generative classifier: no provider; using heuristics",
                                      "Heuristic relationship classifier: starting",
                                      "Heuristic relationship classifier: no messages; type=casual",
                                      "Generative signature phrase: no provider; using heuristics",
                                      "Heuristic signature phrase: starting",
                                      "Heuristic signature phrase: no phrase",
                                      "Generative firsts analyzer: no provider; using heuristics",
                                      "Heuristic firsts analyzer: starting",
                                      "Heuristic firsts analyzer: term='none'",
                                      "Argument analyzer: no candidate windows",
                                      "Generative closer: no provider; using heuristic closer",
                                  }));
  }

  void photosShared_data() {
    QTest::addColumn<std::optional<qint64>>("override");
    QTest::addColumn<qint64>("photos");
    QTest::newRow("photo flags") << std::optional<qint64>() << qint64(2);
    QTest::newRow("attachment count") << std::optional<qint64>(7) << qint64(7);
    QTest::newRow("no attachments") << std::optional<qint64>(0) << qint64(0);
  }
  void photosShared() {
    QFETCH(std::optional<qint64>, override);
    QFETCH(qint64, photos);
    QCOMPARE(run(smallConversation(), {override}).report.photosShared, photos);
  }

  void cancellation_data() {
    QTest::addColumn<int>("stopAfterReport");  // 0: before the call
    QTest::addColumn<int>("reportsSeen");
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("before the call") << 0 << 0 << true;
    QTest::newRow("during the first stage") << 1 << 1 << true;
    QTest::newRow("during tone analysis") << 2 << 2 << true;
    QTest::newRow("during the summary: too late") << 3 << 4 << false;
  }
  void cancellation() {
    QFETCH(int, stopAfterReport);
    QFETCH(int, reportsSeen);
    QFETCH(bool, cancelled);
    std::stop_source source;
    if (stopAfterReport == 0) source.request_stop();
    QList<ProcessingProgress> seen;
    const auto progress = [&](const ProcessingProgress& reported) {
      seen.append(reported);
      if (seen.size() == stopAfterReport) source.request_stop();
    };
    bool threw = false;
    try {
      WrappedAnalysisPipeline().buildReport(smallConversation(), progress, source.get_token());
    } catch (const CancellationError&) {
      threw = true;
    }
    QCOMPARE(threw, cancelled);
    QCOMPARE(seen, kFullProgress.mid(0, reportsSeen));
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(AnalysisPipelineTest)
#include "AnalysisPipelineTest.moc"
