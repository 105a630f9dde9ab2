#pragma once

#include "data/FakeReportLoader.h"
#include "data/WrappedReport.h"

#include <QString>

#include <array>

namespace murmela::gallery {

// The rich report with every text of slides one to eight at its longest: a
// 40-character name, a long signature phrase and flavor line, a three-word
// term with a long context, seven other firsts with long phrases, a long
// sentence in every hosted field, twelve emojis and six-digit counts.
// Shared by the gallery and the slide tests (header only, so both build it
// from the same lines).
inline WrappedReport longTextsReport() {
  WrappedReport report = FakeReportLoader::load(FakeDataFixture::rich);
  report.participantNames.them = QStringLiteral("Bartholomew Maximilian Fitzgerald-Wright");
  report.totalMessages = 987654;
  report.totalDays = 123456;
  report.photosShared = 654321;
  report.totalEmojiCount = 999999;
  report.messagesPerPerson = {493827, 493827};
  report.signaturePhrase = SignaturePhrase{
      QStringLiteral("honestly i cannot believe you actually said that out loud"), 123456,
      QStringLiteral("(said at least once a day, usually right after the other one said something outrageous)")};
  report.topEmojis.clear();
  const std::array emojis = {u"😂", u"❤️", u"🥺", u"✨", u"😭", u"🙏", u"🔥", u"👀", u"💀", u"🥲", u"🫶", u"🤍"};
  qint64 count = 999999;
  for (const char16_t* emoji : emojis) {
    report.topEmojis.append({QString::fromUtf16(emoji), count});
    count -= 87654;
  }
  report.messagesByYear = {{2019, 101234}, {2020, 187654}, {2021, 199999}, {2022, 165432},
                           {2023, 143210}, {2024, 123456}, {2025, 66669}};
  report.firstDistinctiveTerm = FirstDistinctiveTerm{
      QStringLiteral("sweetheart sugarplum honeybunch"), report.firstMessageDate,
      QStringLiteral("(a friday, late at night, right after the long phone call about the apartment. 13 days in.)")};
  const QStringList firsts = {QStringLiteral("i think i might actually be falling for you, honestly"),
                              QStringLiteral("goodnight"),
                              QStringLiteral("can you pick me up from the airport on thursday"),
                              QStringLiteral("love you"),
                              QStringLiteral("our place"),
                              QStringLiteral("sixth, not shown"),
                              QStringLiteral("seventh, not shown")};
  report.otherFirsts.clear();
  for (const QString& phrase : firsts) report.otherFirsts.append({phrase, report.lastMessageDate});
  report.apologyCount = {123456, 654321};
  report.initiationCount = {345678, 456789};
  report.initiationRate = {0.43, 0.57};
  const QString sentence = QStringLiteral(
      "this is a long hosted sentence that goes on and on about the two of you, about the late nights and the early "
      "mornings, the airport runs and the grocery lists, and it still has more to say after that");
  report.insightCopy = ReportInsightCopy{sentence, sentence, sentence, sentence, sentence, sentence};
  return report;
}

}  // namespace murmela::gallery
