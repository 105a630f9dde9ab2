#include "AnalysisFixtures.h"
#include "GenerativeFixtures.h"
#include "analysis/GenerativeAnalyzer.h"
#include "analysis/GenerativePrompts.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

// The fixed texts of the prompts, as the provider must receive them.
const QString kClassificationHead = QStringLiteral(
    "Classify a private two-person text thread. Return ONLY JSON in this exact shape:\n"
    "{\"type\": \"romantic\" | \"closeFriend\" | \"family\" | \"casual\", \"confidence\": <0.0-1.0>}\n"
    "\n"
    "Use the conversation's language, terms of address, affection, logistics, and\n"
    "emotional register. Be conservative. Do not include any other text.\n"
    "\n"
    "Messages:\n");

const QString kFirstsBody = QStringLiteral(
    ".\n"
    "\n"
    "distinctiveTerm: a nickname, pet name, or term of address used for a person\n"
    "(examples: babe, baby, love, darling, bestie, bro, sis), not the person's\n"
    "actual name. Do NOT choose ordinary context words like home, emergency,\n"
    "made it, okay, safe, work, dinner, or names.\n"
    "meaningfulPhrases: 3-5 visible phrases that mark relationship milestones:\n"
    "affection, compliments, longing, commitment, or conflict (examples:\n"
    "\"miss you\", \"love you\", \"proud of you\", \"come over\", \"hate you\",\n"
    "\"we need to talk\"). Do NOT include logistical/context phrases like\n"
    "\"got home\", \"made it\", \"emergency\", or \"call me\".\n"
    "\n"
    "Return ONLY JSON in this shape:\n"
    "{\"distinctiveTerm\": \"<term>\", \"meaningfulPhrases\": [\"...\", \"...\"]}\n"
    "\n"
    "Messages:\n");

const QString kArgumentHead = QStringLiteral(
    "Decide whether this narrowed text-message window contains a real argument, fight,\n"
    "conflict, or repair conversation. Do not count routine logistics, ordinary apologies,\n"
    "teasing, or mild scheduling friction as an argument.\n"
    "\n"
    "Return ONLY JSON in this shape:\n"
    "{\"isArgument\": true|false, \"triggerTerms\": [\"...\"], \"endedByMe\": true|false}\n"
    "\n"
    "triggerTerms: short words/phrases from the window that explain the conflict.\n"
    "endedByMe: true if the final settling/repair message is from \"me\".\n"
    "\n");

MessageList twoMessages() {
  return {message(QStringLiteral("Hey you\nthere"), localDate(2024, 3, 9, 21, 14, 5), true),
          message(QStringLiteral("hi 👋🏽"), localDate(2024, 3, 9, 21, 15), false)};
}

GenerativeAnalyzer::ArgumentCandidate argumentCandidate(int day, qint64 count = 3) {
  GenerativeAnalyzer::ArgumentCandidate candidate;
  candidate.date = localDate(2024, 3, day, 0, 0, 0);
  candidate.messages = {message(QStringLiteral("I'm upset\nreally"), localDate(2024, 3, day, 21, 14, 5), true),
                        message(QStringLiteral("sorry"), localDate(2024, 3, day, 21, 15), false)};
  candidate.fallbackEvent = ArgumentEvent{candidate.date, count, false, {QStringLiteral("upset")}, false};
  return candidate;
}

MessageList numbered(qsizetype count) {
  MessageList messages;
  for (qsizetype i = 0; i < count; ++i) messages.append(message(QString::number(i), Date(double(i)), i % 2 == 0));
  return messages;
}

}  // namespace

class GenerativeAnalyzerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { environment_ = std::make_unique<TestEnvironment>(); }
  void cleanupTestCase() { environment_.reset(); }
  void init() { AnalysisLogger::shared().clearLines(); }
  void cleanup() { IntelligenceRuntime::configure(nullptr); }

  void withoutProviderEachStepLogsOneLine() {
    QVERIFY(!GenerativeAnalyzer::classifyRelationship(twoMessages()));
    QVERIFY(!GenerativeAnalyzer::signaturePhraseCandidate({}, RelationshipType::romantic));
    QVERIFY(!GenerativeAnalyzer::firstsCandidates(twoMessages(), RelationshipType::romantic, {"You", "Sam"}));
    QVERIFY(GenerativeAnalyzer::argumentEvents({argumentCandidate(9)}).isEmpty());
    QVERIFY(!GenerativeAnalyzer::closerParagraph("Sam", RelationshipType::family, 2, Date(0), Date(0), 1));
    QCOMPARE(unstampedLogLines(), QStringList({
                                      "Generative classifier: no provider; using heuristics",
                                      "Generative signature phrase: no provider; using heuristics",
                                      "Generative firsts analyzer: no provider; using heuristics",
                                      "Generative argument analyzer: no provider; using heuristics",
                                      "Generative closer: no provider; using heuristic closer",
                                  }));
  }

  void promptDate_data() {
    QTest::addColumn<QString>("zone");
    QTest::addColumn<Date>("date");
    QTest::addColumn<QString>("text");
    QTest::newRow("winter") << "America/New_York" << localDate(2024, 1, 2, 23, 59, 59) << "2024-01-02T23:59:59-05:00";
    QTest::newRow("summer") << "America/New_York" << localDate(2021, 3, 14, 9, 5, 7) << "2021-03-14T09:05:07-04:00";
    // Fractions are floored, never rounded up to the next second.
    QTest::newRow("fraction") << "UTC" << Date(59.999) << "2001-01-01T00:00:59Z";
    QTest::newRow("before the reference date") << "UTC" << Date(-0.5) << "2000-12-31T23:59:59Z";
    QTest::newRow("half-hour offset") << "Asia/Kolkata" << Date(0) << "2001-01-01T05:30:00+05:30";
  }
  void promptDate() {
    QFETCH(QString, zone);
    QFETCH(Date, date);
    QFETCH(QString, text);
    QCOMPARE(GenerativePrompts::promptDate(date, LocalCalendar(QTimeZone(zone.toUtf8()))), text);
  }

  void weightedRecentSample_data() {
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<qsizetype>("limit");
    QTest::addColumn<QList<qsizetype>>("positions");
    QList<qsizetype> all150;
    for (qsizetype i = 0; i < 150; ++i) all150.append(i);
    QList<qsizetype> of1000;
    for (qsizetype i = 0; i < 900; i += 18) of1000.append(i);  // 50 older ones, every 18th
    for (qsizetype i = 900; i < 1000; ++i) of1000.append(i);   // the last 100
    QList<qsizetype> of200;  // 180: the last 120, then 80 older with stride 1, cut to 60
    for (qsizetype i = 0; i < 60; ++i) of200.append(i);
    for (qsizetype i = 80; i < 200; ++i) of200.append(i);
    QTest::newRow("150 of 150") << qsizetype(150) << qsizetype(150) << all150;
    QTest::newRow("1000 of 150") << qsizetype(1000) << qsizetype(150) << of1000;
    QTest::newRow("200 of 180") << qsizetype(200) << qsizetype(180) << of200;
  }
  void weightedRecentSample() {
    QFETCH(qsizetype, count);
    QFETCH(qsizetype, limit);
    QFETCH(QList<qsizetype>, positions);
    QList<qsizetype> sampled;
    for (const Message& kept : GenerativePrompts::weightedRecentSample(numbered(count), limit))
      sampled.append(kept.text.toLongLong());
    QCOMPARE(sampled, positions);
  }

  void sampleSnippetCutsByCharacters() {
    // 200 characters of two code units each: a line keeps 160 characters.
    const QString accented = QString(QStringLiteral("e\u0301")).repeated(200);
    const QString line = GenerativePrompts::sampleSnippet({message(accented)}, 150);
    QCOMPARE(line, QStringLiteral("me: ") + QString(QStringLiteral("e\u0301")).repeated(160));
    // 150 long lines are cut to 3,600 characters in all.
    MessageList many;
    for (int i = 0; i < 150; ++i) many.append(message(QString(200, QLatin1Char('x')), Date(i), i % 2 == 0));
    const QString snippet = GenerativePrompts::sampleSnippet(many, 150);
    QCOMPARE(snippet.size(), 3600);
    QVERIFY(snippet.startsWith(QStringLiteral("me: xxx")));
    QCOMPARE(snippet.mid(164, 7), QStringLiteral("\nthem: "));
  }

  void classificationPrompt() {
    ScriptedProviderScope provider;
    provider->reply(QStringLiteral("{\"type\": \"romantic\", \"confidence\": 0.83}"));
    const auto result = GenerativeAnalyzer::classifyRelationship(twoMessages());
    QVERIFY(result);
    QCOMPARE(provider->prompts(), QStringList{kClassificationHead + "me: Hey you there\nthem: hi 👋🏽"});
    QCOMPARE(provider->tokenLimits(), QList<qint64>{256});
    QCOMPARE(unstampedLogLines(), QStringList({"Generative classifier (Scripted): starting",
                                               "Generative classifier: success type=romantic confidence=0.83"}));
  }

  void classificationReplies_data() {
    QTest::addColumn<QString>("reply");  // "!" + text: the provider throws with that text
    QTest::addColumn<bool>("answers");
    QTest::addColumn<RelationshipType>("type");
    QTest::addColumn<double>("confidence");
    QTest::addColumn<QString>("lastLine");
    const auto none = RelationshipType::casual;
    QTest::newRow("prose around, clamped up")
        << "Sure! {\"type\": \" family \", \"confidence\": 1.7} hope that helps" << true << RelationshipType::family
        << 1.0 << "Generative classifier: success type=family confidence=1.00";
    QTest::newRow("clamped down") << "{\"type\":\"casual\",\"confidence\":-0.2}" << true << RelationshipType::casual
                                  << 0.0 << "Generative classifier: success type=casual confidence=0.00";
    QTest::newRow("missing confidence") << "{\"type\":\"closeFriend\"}" << true << RelationshipType::closeFriend << 0.6
                                        << "Generative classifier: success type=closeFriend confidence=0.60";
    QTest::newRow("confidence as text") << "{\"type\":\"casual\",\"confidence\":\"high\"}" << true
                                        << RelationshipType::casual << 0.6
                                        << "Generative classifier: success type=casual confidence=0.60";
    QTest::newRow("letter case differs") << "{\"type\":\"Romantic\"}" << false << none << 0.0
                                         << "Generative classifier: could not parse — raw={\"type\":\"Romantic\"}";
    QTest::newRow("type not a string") << "{\"type\":3}" << false << none << 0.0
                                       << "Generative classifier: could not parse — raw={\"type\":3}";
    QTest::newRow("empty object") << "{}" << false << none << 0.0 << "Generative classifier: could not parse — raw={}";
    QTest::newRow("no object") << "I think romantic." << false << none << 0.0
                               << "Generative classifier: could not parse — raw=I think romantic.";
    QTest::newRow("long reply is cut") << QString(130, QLatin1Char('a')) << false << none << 0.0
                                       << "Generative classifier: could not parse — raw=" +
                                              QString(120, QLatin1Char('a'));
    QTest::newRow("provider error") << "!model unavailable" << false << none << 0.0
                                    << "Generative classifier: failed (model unavailable)";
  }
  void classificationReplies() {
    QFETCH(QString, reply);
    QFETCH(bool, answers);
    QFETCH(RelationshipType, type);
    QFETCH(double, confidence);
    QFETCH(QString, lastLine);
    ScriptedProviderScope provider;
    if (reply.startsWith(QLatin1Char('!')))
      provider->fail(reply.mid(1));
    else
      provider->reply(reply);
    const auto result = GenerativeAnalyzer::classifyRelationship(twoMessages());
    QCOMPARE(result.has_value(), answers);
    if (answers) {
      QCOMPARE(result->type, type);
      QCOMPARE(result->confidence, confidence);
    }
    const QStringList lines = unstampedLogLines();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.last(), lastLine);
  }

  void unparsableJsonReportsTheParserError() {
    ScriptedProviderScope provider;
    provider->reply(QStringLiteral("{\"type\": romantic}"));
    QVERIFY(!GenerativeAnalyzer::classifyRelationship(twoMessages()));
    const QString line = unstampedLogLines().last();
    QVERIFY2(line.startsWith(QStringLiteral("Generative classifier: failed (")) && line.endsWith(QLatin1Char(')')) &&
                 line.size() > 33,
             qPrintable(line));
  }

  void signaturePhrasePrompt() {
    ScriptedProviderScope provider;
    provider->reply(QStringLiteral("{\"phrase\": \"  See You Soon \", \"flavorLine\": \" (our goodbye) \"}"));
    const auto pick = GenerativeAnalyzer::signaturePhraseCandidate({{"see you soon", 12}, {"pickle jar again", 5}},
                                                                   RelationshipType::closeFriend);
    QVERIFY(pick);
    QCOMPARE(pick->phrase, QStringLiteral("see you soon"));
    QCOMPARE(pick->flavorLine, QStringLiteral("(our goodbye)"));
    QCOMPARE(provider->prompts(),
             QStringList{
                 "Choose exactly one phrase from the shortlist below for this closeFriend\n"
                 "thread. Do not invent a new phrase. Prefer distinctive inside jokes, emotionally weighted\n"
                 "phrases, or language specific to these two people. Avoid generic filler.\n"
                 "\n"
                 "Return ONLY JSON in this shape:\n"
                 "{\"phrase\": \"<chosen phrase exactly>\", \"flavorLine\": \"<short parenthetical, under 8 words>\"}\n"
                 "\n"
                 "Shortlist with full-corpus counts:\n"
                 "1. see you soon — 12x\n"
                 "2. pickle jar again — 5x"});
    QCOMPARE(provider->tokenLimits(), QList<qint64>{256});
    QCOMPARE(unstampedLogLines(), QStringList({"Generative signature phrase (Scripted): 2 options",
                                               "Generative signature phrase: success phrase='see you soon'"}));
  }

  void signaturePhraseReplies_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<RelationshipType>("type");
    QTest::addColumn<QString>("flavorLine");  // empty: no pick
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("empty flavour, family")
        << "{\"phrase\":\"x y z\",\"flavorLine\":\" \"}" << RelationshipType::family << "(family shorthand)"
        << "Generative signature phrase: success phrase='x y z'";
    QTest::newRow("missing flavour, close friends")
        << "{\"phrase\":\"x y z\"}" << RelationshipType::closeFriend << "(close friends shorthand)"
        << "Generative signature phrase: success phrase='x y z'";
    QTest::newRow("blank phrase") << "{\"phrase\":\"  \"}" << RelationshipType::family << ""
                                  << "Generative signature phrase (Scripted): 1 options";
    QTest::newRow("missing phrase") << "{\"flavorLine\":\"(x)\"}" << RelationshipType::family << ""
                                    << "Generative signature phrase: could not parse — raw={\"flavorLine\":\"(x)\"}";
  }
  void signaturePhraseReplies() {
    QFETCH(QString, reply);
    QFETCH(RelationshipType, type);
    QFETCH(QString, flavorLine);
    QFETCH(QString, lastLine);
    ScriptedProviderScope provider;
    provider->reply(reply);
    const auto pick = GenerativeAnalyzer::signaturePhraseCandidate({{"x y z", 3}}, type);
    QCOMPARE(pick.has_value(), !flavorLine.isEmpty());
    if (pick) QCOMPARE(pick->flavorLine, flavorLine);
    QCOMPARE(unstampedLogLines().last(), lastLine);
  }

  void signaturePhraseWithoutOptionsAsksNothing() {
    ScriptedProviderScope provider;
    QVERIFY(!GenerativeAnalyzer::signaturePhraseCandidate({}, RelationshipType::romantic));
    QVERIFY(provider->prompts().isEmpty());
    QVERIFY(unstampedLogLines().isEmpty());
  }

  void firstsPrompt() {
    ScriptedProviderScope provider;
    provider->reply(QStringLiteral(
        "{\"distinctiveTerm\": \" Babe \", \"meaningfulPhrases\": [\" Miss You\", \"\", \"love you\", \"love you\"]}"));
    const auto candidates =
        GenerativeAnalyzer::firstsCandidates(twoMessages(), RelationshipType::romantic, {"You", "Sam"});
    QVERIFY(candidates);
    QCOMPARE(candidates->distinctiveTerm, QStringLiteral("babe"));
    QCOMPARE(candidates->meaningfulPhrases, QStringList({"miss you", "love you", "love you"}));
    QCOMPARE(provider->prompts(),
             QStringList{"Find language that matters in this romantic thread between\nYou and Sam" + kFirstsBody +
                         "me: Hey you there\nthem: hi 👋🏽"});
    QCOMPARE(provider->tokenLimits(), QList<qint64>{384});
    QCOMPARE(unstampedLogLines(), QStringList({"Generative firsts analyzer (Scripted): starting",
                                               "Generative firsts analyzer: success term='babe' phrases=3"}));
  }

  void firstsReplies_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("empty object") << "{}"
                                  << "Generative firsts analyzer: empty result";
    QTest::newRow("phrases not a list") << "{\"distinctiveTerm\":\"\",\"meaningfulPhrases\":\"miss you\"}"
                                        << "Generative firsts analyzer: empty result";
    QTest::newRow("a list with a number") << "{\"meaningfulPhrases\":[\"miss you\", 3]}"
                                          << "Generative firsts analyzer: empty result";
    QTest::newRow("term only") << "{\"distinctiveTerm\":\"Bro\"}"
                               << "Generative firsts analyzer: success term='bro' phrases=0";
    QTest::newRow("no object") << "none"
                               << "Generative firsts analyzer: could not parse — raw=none";
  }
  void firstsReplies() {
    QFETCH(QString, reply);
    QFETCH(QString, lastLine);
    ScriptedProviderScope provider;
    provider->reply(reply);
    const auto candidates = GenerativeAnalyzer::firstsCandidates(twoMessages(), RelationshipType::closeFriend, {});
    QCOMPARE(candidates.has_value(), lastLine.contains(QStringLiteral("success")));
    QCOMPARE(unstampedLogLines().last(), lastLine);
  }

  void argumentPrompt() {
    ScriptedProviderScope provider;
    provider->reply(QStringLiteral("{\"isArgument\": false}"));
    QVERIFY(GenerativeAnalyzer::argumentEvents({argumentCandidate(9)}).isEmpty());
    QCOMPARE(provider->prompts(), QStringList{kArgumentHead + "Date: 2024-03-09T00:00:00-05:00\n"
                                                              "Message count that day: 3\n"
                                                              "Candidate messages:\n"
                                                              "2024-03-09T21:14:05-05:00 me: I'm upset really\n"
                                                              "2024-03-09T21:15:00-05:00 them: sorry"});
    QCOMPARE(provider->tokenLimits(), QList<qint64>{320});
    QCOMPARE(unstampedLogLines(),
             QStringList({"Generative argument analyzer (Scripted): judging 2024-03-09T00:00:00-05:00",
                          "Generative argument analyzer: rejected 2024-03-09T00:00:00-05:00"}));
  }

  void argumentJudgements() {
    ScriptedProviderScope provider;
    provider
        ->reply(
            "{\"isArgument\": true, \"triggerTerms\": [\"A\", \" b \", \"\", \"c\", \"d\", \"e\", \"f\", \"g\"], "
            "\"endedByMe\": true}")
        .reply("{\"isArgument\": true, \"triggerTerms\": []}")
        .reply("{\"isArgument\": \"yes\"}")
        .reply("{\"isArgument\": tru}")
        .fail("timed out")
        .reply("nothing")
        .reply("{\"isArgument\": false}")
        .reply("{\"isArgument\": true, \"endedByMe\": 1}")
        .reply("{\"isArgument\": true}");
    QList<GenerativeAnalyzer::ArgumentCandidate> candidates;
    for (int day = 1; day <= 9; ++day) candidates.append(argumentCandidate(day, day));
    candidates[1].fallbackEvent.lastSenderWasMe = true;

    const QList<ArgumentEvent> events = GenerativeAnalyzer::argumentEvents(candidates);
    QCOMPARE(provider->prompts().size(), 8);  // the ninth is never judged
    QCOMPARE(events.size(), 3);
    QCOMPARE(events[0].triggerTerms, QStringList({"a", "b", "c", "d", "e"}));
    QCOMPARE(events[0].endedByMe, true);
    QCOMPARE(events[0].lastSenderWasMe, false);
    QCOMPARE(events[0].messageCount, 1);
    QCOMPARE(events[1].triggerTerms, QStringList{"upset"});  // the fallback's terms
    QCOMPARE(events[1].endedByMe, true);                     // the fallback's last sender
    QCOMPARE(events[1].date, candidates[1].date);
    QCOMPARE(events[2].messageCount, 8);
    QCOMPARE(events[2].endedByMe, false);  // 1 is not a boolean

    QStringList outcomes;
    for (const QString& line : unstampedLogLines())
      if (!line.contains(QStringLiteral("judging"))) outcomes.append(line);
    QCOMPARE(outcomes.size(), 5);
    QCOMPARE(outcomes[0], QStringLiteral("Generative argument analyzer: could not parse 2024-03-03T00:00:00-05:00"));
    QVERIFY(outcomes[1].startsWith(QStringLiteral("Generative argument analyzer: failed 2024-03-04T00:00:00-05:00 (")));
    QCOMPARE(outcomes[2], QStringLiteral("Generative argument analyzer: failed 2024-03-05T00:00:00-05:00 (timed out)"));
    QCOMPARE(outcomes[3], QStringLiteral("Generative argument analyzer: could not parse 2024-03-06T00:00:00-05:00"));
    QCOMPARE(outcomes[4], QStringLiteral("Generative argument analyzer: rejected 2024-03-07T00:00:00-05:00"));
  }

  void closerPrompt() {
    ScriptedProviderScope provider;
    provider->reply(QStringLiteral("\n\n  \"Fourteen days in a row, and still going.\"\n\n"));
    const auto paragraph = GenerativeAnalyzer::closerParagraph(
        "Sam", RelationshipType::family, 12345, localDate(2021, 3, 14, 9, 5, 7), localDate(2024, 1, 2, 23, 59, 59), 14);
    QCOMPARE(paragraph, std::optional<QString>(QStringLiteral("Fourteen days in a row, and still going.")));
    QCOMPARE(provider->prompts(),
             QStringList{"Write one polished closing paragraph for a local text-message recap.\n"
                         "Keep it warm, specific, and under 90 words. Avoid cliches and do not mention AI.\n"
                         "Match this register: gratitude / family care voice.\n"
                         "\n"
                         "Return ONLY the paragraph as plain text — no quotes, no JSON, no preamble.\n"
                         "\n"
                         "Contact: Sam\n"
                         "Relationship type: family\n"
                         "Total messages: 12345\n"
                         "First message: 2021-03-14T09:05:07-04:00\n"
                         "Last message: 2024-01-02T23:59:59-05:00\n"
                         "Longest streak: 14 days"});
    QCOMPARE(provider->tokenLimits(), QList<qint64>{320});
    QCOMPARE(unstampedLogLines(),
             QStringList({"Generative closer (Scripted): starting", "Generative closer: success"}));
  }

  void closerReplies_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("paragraph");  // empty: none
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("only quotes") << " \"\" "
                                 << ""
                                 << "Generative closer: empty response";
    QTest::newRow("blank") << "\n \n"
                           << ""
                           << "Generative closer: empty response";
    QTest::newRow("inner quotes stay") << "She said \"always\"."
                                       << "She said \"always\"."
                                       << "Generative closer: success";
    QTest::newRow("provider error") << "!offline"
                                    << ""
                                    << "Generative closer: failed (offline)";
  }
  void closerReplies() {
    QFETCH(QString, reply);
    QFETCH(QString, paragraph);
    QFETCH(QString, lastLine);
    ScriptedProviderScope provider;
    if (reply.startsWith(QLatin1Char('!')))
      provider->fail(reply.mid(1));
    else
      provider->reply(reply);
    const auto result = GenerativeAnalyzer::closerParagraph("Sam", RelationshipType::casual, 1, Date(0), Date(0), 1);
    QCOMPARE(result.value_or(QString()), paragraph);
    QCOMPARE(unstampedLogLines().last(), lastLine);
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(GenerativeAnalyzerTest)
#include "GenerativeAnalyzerTest.moc"
