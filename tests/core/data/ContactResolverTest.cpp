#include "data/AppPermissionService.h"
#include "data/ContactResolver.h"
#include "support/FakeContactStore.h"
#include "support/FixtureDatabaseBuilder.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace murmela;
using murmela::test::FakeContactStore;

Q_DECLARE_METATYPE(ContactAccessStatus)

namespace {

StoreContact contact(QString given, QString family, QStringList phones, QStringList emails = {},
                     QString nickname = {}) {
  return StoreContact{std::move(given), std::move(family), std::move(nickname), std::move(phones), std::move(emails)};
}

}  // namespace

class ContactResolverTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void normalize_data() {
    QTest::addColumn<QString>("handle");
    QTest::addColumn<QString>("key");
    QTest::newRow("brackets, spaces and dash") << "(555) 123-4567" << "+15551234567";
    QTest::newRow("leading +1 with spaces") << "+1 555 123 4567" << "+15551234567";
    QTest::newRow("eleven digits with 1") << "15551234567" << "+15551234567";
    QTest::newRow("dots") << "555.123.4567" << "+15551234567";
    QTest::newRow("other country with +") << "+44 20 7946 0958" << "+442079460958";
    QTest::newRow("eleven digits with + not 1") << "+33 1 23 45 67 89" << "+33123456789";
    QTest::newRow("+ and ten digits: ten-digit rule first") << "+49 30 123456" << "+14930123456";
    QTest::newRow("eleven digits with 0, no +") << "01234567890" << "01234567890";
    QTest::newRow("short number") << "555-1234" << "5551234";
    QTest::newRow("short code with +") << "+44 123" << "+44123";
    QTest::newRow("leading space hides the +") << " +44 123" << "44123";
    QTest::newRow("no digits") << "Home" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("other numerals count as digits") << "\u0665\u0665\u0665\u0661\u0662\u0663\u0664\u0665\u0666\u0667"
                                                    << "+1\u0665\u0665\u0665\u0661\u0662\u0663\u0664\u0665\u0666\u0667";
    QTest::newRow("e-mail trimmed and lower-cased") << "  Sam.Lee@Example.COM \n" << "sam.lee@example.com";
    QTest::newRow("e-mail keeps its digits") << "sam123@example.com" << "sam123@example.com";
    QTest::newRow("@ decides, not the digits") << "+1 555 123 4567 @x" << "+1 555 123 4567 @x";
  }
  void normalize() {
    QFETCH(QString, handle);
    QFETCH(QString, key);
    QCOMPARE(ContactResolver::normalize(handle), key);
  }

  void displayName_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("nickname");
    QTest::addColumn<QString>("name");
    QTest::newRow("given and family") << "Sam" << "Lee" << "Sammy" << "Sam Lee";
    QTest::newRow("given only, no trailing space") << "Sam" << "" << "" << "Sam";
    QTest::newRow("family only") << "" << "Lee" << "" << "Lee";
    QTest::newRow("nickname") << "" << "" << "Sammy" << "Sammy";
    QTest::newRow("nothing") << "" << "" << "" << "Unnamed Contact";
    QTest::newRow("white space is a name") << " " << "" << "Sammy" << " ";
  }
  void displayName() {
    QFETCH(QString, given);
    QFETCH(QString, family);
    QFETCH(QString, nickname);
    QFETCH(QString, name);
    QCOMPARE(ContactResolver::displayName(contact(given, family, {}, {}, nickname)), name);
  }

  void namesHandlesWrittenDifferently() {
    auto store = std::make_shared<FakeContactStore>();
    store->contacts = {contact("Sam", "Lee", {"(555) 123-4567"}, {"SAM@Example.com "}),
                       contact("Ana", "", {"+44 20 7946 0958"})};
    const ContactResolver resolver(store);
    const QStringList handles{"+15551234567", "15551234567", "+1 (555) 123-4567", "sam@example.com",
                              "+442079460958", "+15550000000"};
    const QHash<QString, QString> names = resolver.displayNames(handles);
    QCOMPARE(names.size(), 5);
    QCOMPARE(names.value("+15551234567"), QStringLiteral("Sam Lee"));
    QCOMPARE(names.value("15551234567"), QStringLiteral("Sam Lee"));
    QCOMPARE(names.value("+1 (555) 123-4567"), QStringLiteral("Sam Lee"));
    QCOMPARE(names.value("sam@example.com"), QStringLiteral("Sam Lee"));
    QCOMPARE(names.value("+442079460958"), QStringLiteral("Ana"));
    QVERIFY(!names.contains("+15550000000"));
  }

  void lastMatchingContactWins() {
    auto store = std::make_shared<FakeContactStore>();
    store->contacts = {contact("First", "", {"555 123 4567"}), contact("Second", "", {"+1 555 123 4567"}),
                       contact("Unrelated", "", {"+15550000000"})};
    const ContactResolver resolver(store);
    QCOMPARE(resolver.displayNames({"+15551234567"}).value("+15551234567"), QStringLiteral("Second"));
    std::reverse(store->contacts.begin(), store->contacts.end());
    QCOMPARE(resolver.displayNames({"+15551234567"}).value("+15551234567"), QStringLiteral("First"));
  }

  void exactValueNamesAHandleWithoutKey() {
    auto store = std::make_shared<FakeContactStore>();
    store->contacts = {contact("", "", {"Home"}, {}, "Mum"), contact("Other", "", {"Office"})};
    const ContactResolver resolver(store);
    const QHash<QString, QString> names = resolver.displayNames({"Home", "home", "Work"});
    QCOMPARE(names, (QHash<QString, QString>{{"Home", "Mum"}}));
  }

  void notAuthorizedLeavesTheStoreAlone_data() {
    QTest::addColumn<ContactAccessStatus>("status");
    QTest::newRow("not determined") << ContactAccessStatus::notDetermined();
    QTest::newRow("denied") << ContactAccessStatus::denied();
    QTest::newRow("restricted") << ContactAccessStatus::restricted();
    QTest::newRow("unknown") << ContactAccessStatus::fromRawValue(7);
  }
  void notAuthorizedLeavesTheStoreAlone() {
    QFETCH(ContactAccessStatus, status);
    auto store = std::make_shared<FakeContactStore>();
    store->status = status;
    store->failEnumeration = true;
    store->contacts = {contact("Sam", "", {"+15551234567"})};
    const ContactResolver resolver(store);
    QVERIFY(resolver.displayNames({"+15551234567"}).isEmpty());
    QCOMPARE(store->enumerations.load(), 0);
    QCOMPARE(store->requests.load(), 0);  // no prompt either
  }

  void enumerationFailureIsThrown() {
    auto store = std::make_shared<FakeContactStore>();
    store->contacts = {contact("Sam", "", {"+15551234567"})};
    store->failEnumeration = true;
    const ContactResolver resolver(store);
    QVERIFY_THROWS_EXCEPTION(test::FakeContactStoreError, resolver.displayNames({"+15551234567"}));
  }

  // Full Disk Access is "the database opens read-only"; the contacts state is read as it is now.
  void permissionSnapshot() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chat.db"));
    auto store = std::make_shared<FakeContactStore>();
    store->status = ContactAccessStatus::denied();
    const AppPermissionService service{MessagesDatabaseReader(path), std::make_shared<ContactResolver>(store)};

    QCOMPARE(service.snapshot(), (PermissionSnapshot{false, ContactAccessStatus::denied()}));
    QVERIFY(!QFile::exists(path));  // probing never creates the file
    { test::FixtureDatabaseBuilder(path).close(); }
    store->status = ContactAccessStatus::authorized();
    QCOMPARE(service.snapshot(), (PermissionSnapshot{true, ContactAccessStatus::authorized()}));
    QCOMPARE(store->requests.load(), 0);
  }
};

MURMELA_TEST(ContactResolverTest)
#include "ContactResolverTest.moc"
