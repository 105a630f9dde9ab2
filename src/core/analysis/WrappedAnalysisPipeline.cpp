#include "analysis/WrappedAnalysisPipeline.h"

#include "analysis/ApologyAnalyzer.h"
#include "analysis/ArgumentAnalyzer.h"
#include "analysis/CloserGenerator.h"
#include "analysis/DialectAnalyzer.h"
#include "analysis/FirstsAnalyzer.h"
#include "analysis/GenerativeAnalyzer.h"
#include "analysis/InitiationAnalyzer.h"
#include "analysis/PhraseAnalyzer.h"
#include "analysis/RelationshipClassifier.h"
#include "analysis/ResponseTimeAnalyzer.h"
#include "analysis/SentimentAnalyzer.h"
#include "analysis/SignaturePhraseAnalyzer.h"
#include "analysis/StatsAnalyzer.h"
#include "analysis/StreakAnalyzer.h"
#include "common/AnalysisLogger.h"
#include "common/MurmelaError.h"

#include <algorithm>

namespace murmela {
namespace {

void checkCancellation(const std::stop_token& stop) {
  if (stop.stop_requested()) throw CancellationError();
}

void report(const WrappedAnalysisPipeline::ProgressCallback& progress, AnalysisStage stage, double fraction) {
  if (progress) progress(ProcessingProgress{stage, fraction, std::nullopt});
}

FirstsResult firsts(const PreparedConversation& conversation, RelationshipType type, const ParticipantNames& names) {
  const FirstsAnalyzer analyzer;
  if (const auto candidates = GenerativeAnalyzer::firstsCandidates(conversation.messages(), type, names))
    return analyzer.firstsResult(*candidates, conversation, type, names);

  const QString prefix = QStringLiteral("Heuristic firsts analyzer: ");
  AnalysisLogger::log(prefix + QStringLiteral("starting"));
  FirstsResult result;
  result.firstDistinctiveTerm = analyzer.firstRecurringTerm(conversation, type, names);
  AnalysisLogger::log(prefix + QStringLiteral("term='") +
                      (result.firstDistinctiveTerm ? result.firstDistinctiveTerm->term : QStringLiteral("none")) +
                      QLatin1Char('\''));
  result.otherFirsts = analyzer.otherFirsts(
      conversation, result.firstDistinctiveTerm ? std::optional<QString>(result.firstDistinctiveTerm->term) : std::nullopt);
  return result;
}

}  // namespace

WrappedReport WrappedAnalysisPipeline::buildReport(const ImportedChat& chat, const ProgressCallback& progress,
                                                   std::stop_token stop, Options options) const {
  const MessageList& messages = chat.messages;
  const qint64 photoFlags =
      std::count_if(messages.begin(), messages.end(), [](const Message& message) { return message.hasPhoto; });
  const qint64 photosShared = options.photosShared.value_or(photoFlags);

  checkCancellation(stop);
  report(progress, AnalysisStage::aggregating, 0.25);

  // Every text is lowered and tokenized once, for all analyzers.
  const PreparedConversation conversation(messages);
  const StatsResult stats = StatsAnalyzer().analyze(conversation);
  const PersonPhraseBreakdown phrases = PhraseAnalyzer().analyze(conversation);
  const PersonPhraseBreakdown dialect = DialectAnalyzer().analyze(conversation);
  const PersonIntBreakdown apologies = ApologyAnalyzer().analyze(conversation);
  const InitiationResult initiations = InitiationAnalyzer().analyze(messages);
  const ResponseTimeResult responseTimes = ResponseTimeAnalyzer().analyze(messages);
  const StreakResult streaks = StreakAnalyzer().analyze(conversation);

  std::optional<RelationshipClassification> classification = GenerativeAnalyzer::classifyRelationship(messages);
  if (!classification) classification = RelationshipClassifier().classifyWithHeuristics(messages);
  const RelationshipType type = classification->type;

  const std::optional<SignaturePhrase> signature = SignaturePhraseAnalyzer().analyze(conversation, type);
  const ParticipantNames names{chat.meName, chat.otherName};
  FirstsResult firstsResult = firsts(conversation, type, names);

  checkCancellation(stop);
  report(progress, AnalysisStage::analyzingTone, 0.7);

  QList<MonthlySentiment> sentiment = SentimentAnalyzer().analyze(conversation);
  QList<ArgumentEvent> arguments = ArgumentAnalyzer().analyze(conversation);

  checkCancellation(stop);
  report(progress, AnalysisStage::generatingSummary, 0.92);

  const QString displayName = chat.contact.displayName.value_or(QString());
  const QString contactName = displayName.isEmpty() ? chat.contact.handle : displayName;
  QString closer = CloserGenerator().generate(contactName, type, stats.totalMessages, stats.firstMessageDate,
                                              stats.lastMessageDate, streaks.longestStreak.days);

  report(progress, AnalysisStage::generatingSummary, 1.0);

  WrappedReport result;
  result.participantNames = names;
  result.relationshipType = type;
  result.relationshipConfidence = classification->confidence;
  result.totalMessages = stats.totalMessages;
  result.totalDays = stats.totalDays;
  result.activeDays = stats.activeDays;
  result.firstMessageDate = stats.firstMessageDate;
  result.lastMessageDate = stats.lastMessageDate;
  result.messagesByYear = stats.messagesByYear;
  result.messagesByHourByDayOfWeek = stats.messagesByHourByDayOfWeek;
  result.topEmojis = stats.topEmojis;
  result.totalEmojiCount = stats.totalEmojiCount;
  result.signaturePhrase = signature;
  result.messagesPerPerson = stats.messagesPerPerson;
  result.photosShared = photosShared;
  result.topPhrasesPerPerson = phrases;
  result.dialectTermsPerPerson = dialect;
  result.firstDistinctiveTerm = std::move(firstsResult.firstDistinctiveTerm);
  result.otherFirsts = std::move(firstsResult.otherFirsts);
  result.apologyCount = apologies;
  result.initiationRate = initiations.rate;
  result.initiationCount = initiations.count;
  result.responseTimeByYear = responseTimes.byYear;
  result.longestReplyGap = responseTimes.longestReplyGap;
  result.longestStreak = streaks.longestStreak;
  result.longestSilence = streaks.longestSilence;
  result.sentimentByMonth = std::move(sentiment);
  result.argumentEvents = std::move(arguments);
  result.insightCopy = std::nullopt;
  result.closerParagraph = std::move(closer);
  return result;
}

}  // namespace murmela
