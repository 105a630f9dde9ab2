#include "data/IntelligenceChoice.h"
#include "data/ContactSummary.h"
#include "data/ImportedChat.h"
#include "data/RelationshipType.h"
#include "data/WrappedDataError.h"
#include "support/TestRegistry.h"

#include <QSet>
#include <QTest>

using namespace murmela;

class ConversationRecordsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void absentAndEmptyNamesDiffer() {
    const ContactSummary absent{"+15551234567", std::nullopt, 3, Date(1), Date(2)};
    ContactSummary empty = absent;
    empty.displayName = QString();
    QCOMPARE(absent.id(), empty.id());
    QVERIFY(!(absent == empty));
    QVERIFY(qHash(absent) != qHash(empty));
    ContactSummary named = absent;
    named.displayName = QStringLiteral("Sam");
    QVERIFY(!(named == absent));
    QCOMPARE(QSet<ContactSummary>({absent, empty, named, absent}).size(), 3);
  }

  void importedChatFromFetchedMessages() {
    const ContactSummary chosen{"sam@example.com", QStringLiteral("Sam"), 99, Date(10), Date(20)};
    MessageList messages{{1, "hi", Date(100), true, "sam@example.com", false},
                         {2, "hey", Date(200), false, "sam@example.com", false}};
    const ImportedChat chat = makeImportedChat(chosen, messages);
    QCOMPARE(chat.contact.handle, chosen.handle);
    QCOMPARE(chat.contact.displayName, chosen.displayName);
    QCOMPARE(chat.contact.messageCount, 2);
    QCOMPARE(chat.contact.firstMessage, Date(100));
    QCOMPARE(chat.contact.lastMessage, Date(200));
    QCOMPARE(chat.meName, QStringLiteral("You"));
    QCOMPARE(chat.otherName, QStringLiteral("Sam"));
    QCOMPARE(chat.messages.size(), 2);
  }

  void importedChatNamesAndEmptyConversation_data() {
    QTest::addColumn<std::optional<QString>>("displayName");
    QTest::addColumn<QString>("otherName");
    QTest::newRow("absent name") << std::optional<QString>() << "+15550001111";
    QTest::newRow("empty name") << std::optional<QString>(QString()) << "+15550001111";
    QTest::newRow("name") << std::optional<QString>(QStringLiteral("Ana")) << "Ana";
  }
  void importedChatNamesAndEmptyConversation() {
    QFETCH(std::optional<QString>, displayName);
    QFETCH(QString, otherName);
    const ContactSummary chosen{"+15550001111", displayName, 7, Date(10), Date(20)};
    const ImportedChat chat = makeImportedChat(chosen, {});
    QCOMPARE(chat.otherName, otherName);
    QCOMPARE(chat.contact.messageCount, 0);
    QCOMPARE(chat.contact.firstMessage, Date(10));
    QCOMPARE(chat.contact.lastMessage, Date(20));
  }

  void relationshipRawValues_data() {
    QTest::addColumn<QString>("raw");
    QTest::addColumn<bool>("valid");
    for (const char* ok : {"romantic", "closeFriend", "family", "casual"}) QTest::newRow(ok) << ok << true;
    for (const char* bad : {"Romantic", "closefriend", "close_friend", "CASUAL", "", "friend"})
      QTest::newRow(qPrintable(QStringLiteral("bad '%1'").arg(bad))) << bad << false;
  }
  void relationshipRawValues() {
    QFETCH(QString, raw);
    QFETCH(bool, valid);
    const std::optional<RelationshipType> type = relationshipTypeFromRawValue(raw);
    QCOMPARE(type.has_value(), valid);
    if (valid) QCOMPARE(rawValue(*type), raw);
  }

  void allCasesInOrder() {
    QStringList raws;
    for (RelationshipType type : allRelationshipTypes()) raws << rawValue(type);
    QCOMPARE(raws, QStringList({"romantic", "closeFriend", "family", "casual"}));
  }

  void dataErrorDescriptions() {
    using E = WrappedDataError;
    QCOMPARE(E::databaseOpenFailed("x").description(), QStringLiteral("Could not open Messages database: x"));
    QCOMPARE(E::databaseQueryFailed("x").description(), QStringLiteral("Messages database query failed: x"));
    QCOMPARE(E::fixtureNotFound("fake_report").description(), QStringLiteral("Bundled fixture fake_report.json was not found."));
    QCOMPARE(E::fixtureDecodeFailed("x").description(), QStringLiteral("Could not decode bundled fixture: x"));
    QCOMPARE(E::csvImportFailed("x").userFacingText(), QStringLiteral("[WrappedDataError] Could not import CSV chat: x"));
  }

  void intelligenceChoiceRawValues() {
    QCOMPARE(rawValue(IntelligenceChoice::hybrid), QStringLiteral("hybrid"));
    QCOMPARE(rawValue(IntelligenceChoice::cloud), QStringLiteral("cloud"));
    QCOMPARE(intelligenceChoiceFromRawValue("cloud"), std::optional(IntelligenceChoice::cloud));
    QVERIFY(!intelligenceChoiceFromRawValue("Hybrid").has_value());
  }
};

MURMELA_TEST(ConversationRecordsTest)
#include "ConversationRecordsTest.moc"
