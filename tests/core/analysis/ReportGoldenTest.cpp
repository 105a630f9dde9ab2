#include "AnalysisFixtures.h"
#include "analysis/FirstsAnalyzer.h"
#include "analysis/SignaturePhraseAnalyzer.h"
#include "analysis/WrappedAnalysisPipeline.h"
#include "data/ReportJson.h"
#include "support/SampleChat.h"
#include "support/SyntheticConversation.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QCryptographicHash>
#include <QTest>

Q_DECLARE_METATYPE(murmela::ImportedChat)

using namespace murmela;
using namespace murmela::test;

namespace {

ImportedChat sampleChat(qsizetype count, std::uint64_t seed) {
  SampleChatOptions options;
  options.messageCount = count;
  options.seed = seed;
  return makeSampleChat(options).importedChat();
}

// A synthetic chat with texts that take the slow roads appended: capitals
// outside ASCII, combining marks, spelled-out and short forms of the phrases.
ImportedChat syntheticChat(qsizetype count, std::uint64_t seed, bool awkward) {
  SyntheticConversationOptions options;
  options.messageCount = count;
  options.seed = seed;
  ImportedChat chat;
  chat.contact = ContactSummary{options.handle, QStringLiteral("Sam"), count, Date(), Date()};
  chat.meName = QStringLiteral("You");
  chat.otherName = QStringLiteral("Sam");
  chat.messages = makeSyntheticConversation(options);
  if (!awkward) return chat;
  const QStringList texts = {QStringLiteral("ÉCOLE Ünïcode İSTANBUL cafe\u0301 CAFÉ"), QStringLiteral("ILY!! love u BABE"),
                             QStringLiteral("SORRY, My Bad — I Was Wrong"), QStringLiteral("i'm UPSET, we need to talk"),
                             QStringLiteral("see_you soon 👍🏽 🇫🇷 1\uFE0F\u20E3"), QStringLiteral("Bro BRO bro dude")};
  const double last = chat.messages.constLast().date.secondsSinceReference();
  for (qsizetype i = 0; i < 60; ++i)
    chat.messages.append(message(texts[i % texts.size()], Date(last + 600.0 * double(i + 1)), i % 3 != 0));
  return chat;
}

// The report in its stored form, followed by the signature phrase and the
// firsts the chat gives for every relationship type (the fallback roads).
QByteArray reportDigest(const ImportedChat& chat) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(ReportJson::encode(WrappedAnalysisPipeline().buildReport(chat, {})));
  const ParticipantNames names{chat.meName, chat.otherName};
  for (const RelationshipType type : {RelationshipType::romantic, RelationshipType::closeFriend,
                                      RelationshipType::family, RelationshipType::casual}) {
    if (const auto phrase = SignaturePhraseAnalyzer().analyze(chat.messages, type))
      hash.addData((phrase->phrase + QString::number(phrase->count) + phrase->flavorLine).toUtf8());
    const FirstsAnalyzer firsts;
    if (const auto term = firsts.firstRecurringTerm(chat.messages, type, names))
      hash.addData((term->term + term->context).toUtf8());
    for (const MeaningfulFirst& first : firsts.otherFirsts(chat.messages))
      hash.addData((first.phrase + QString::number(first.date.secondsSinceReference())).toUtf8());
  }
  return hash.result().toHex().left(24);
}

}  // namespace

// Reports recorded from the analysis as it stood before the conversation was
// prepared once for all analyzers: any change of a report is a change of what
// users see.
class ReportGoldenTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { environment_ = std::make_unique<TestEnvironment>(); }
  void cleanupTestCase() { environment_.reset(); }

  void reportsStayTheSame_data() {
    QTest::addColumn<ImportedChat>("chat");
    QTest::addColumn<QByteArray>("digest");
    QTest::newRow("sample 3,000") << sampleChat(3000, 2024) << QByteArray("5d385982a03ae80086e5ebf7");
    QTest::newRow("sample 20,000") << sampleChat(20000, 7) << QByteArray("ac11259f7c3cf94b55a1d57b");
    QTest::newRow("synthetic 10,000") << syntheticChat(10000, 1, false) << QByteArray("355aab596403099f5fb51a82");
    QTest::newRow("synthetic awkward") << syntheticChat(4000, 11, true) << QByteArray("c33e408ead42ef15ffd189b2");
  }
  void reportsStayTheSame() {
    QFETCH(ImportedChat, chat);
    QFETCH(QByteArray, digest);
    QCOMPARE(reportDigest(chat), digest);
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(ReportGoldenTest)
#include "ReportGoldenTest.moc"
