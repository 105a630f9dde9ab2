#include "common/AppSettings.h"
#include "data/ContactResolver.h"
#include "data/ContactStoreError.h"
#include "data/VCardContactStore.h"
#include "data/VCardParser.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

using namespace murmela;

Q_DECLARE_METATYPE(QList<StoreContact>)

namespace {

// vCard 3.0 as an address-book export writes it: CRLF, folded lines, groups, escapes.
const QByteArray kFriends =
    "BEGIN:VCARD\r\n"
    "VERSION:3.0\r\n"
    "N:Lee;Sam;;;\r\n"
    "FN:Sam Lee\r\n"
    "NICKNAME:Sammy,S\r\n"
    "item1.TEL;type=CELL;type=VOICE;type=pref:(555) 123-\r\n"
    " 4567\r\n"
    "item1.X-ABLabel:_$!<Mobile>!$_\r\n"
    "TEL;TYPE=HOME:+44 20 7946 0958\r\n"
    "EMAIL;type=INTERNET;type=pref:sam@example.com\r\n"
    "END:VCARD\r\n"
    "BEGIN:VCARD\r\n"
    "VERSION:3.0\r\n"
    "N:O\\;Brien\\, Jr.;Mary,Ann;;;\r\n"
    "NOTE:a: colon\\, and more\r\n"
    "TEL:555\\,0001\r\n"
    "END:VCARD\r\n";

// vCard 4.0: LF only, a tab fold, tel: URIs, quoted parameters with a colon,
// property names in lower case, a byte-order mark, a card cut off at the end
// whose N names nobody (so its FN names it).
const QByteArray kWork =
    "\xEF\xBB\xBF"
    "BEGIN:VCARD\n"
    "VERSION:4.0\n"
    "FN:Dr. Ana Ruiz\n"
    "N:Ruiz;Ana;;Dr.;\n"
    "TEL;VALUE=uri;TYPE=\"voice,x-label:cell\":tel:+1-555-000-1111;ext=22\n"
    "email;pref=1:ANA@Work.exa\n"
    "\tmple\n"
    "EMAIL:ana@home.example\n"
    "END:VCARD\n"
    "PHOTO:outside any card\n"
    "BEGIN:VCARD\n"
    "VERSION:4.0\n"
    "FN:Bo Berg\n"
    "NICKNAME:Bo\\nB\n"
    "tel:5550002222\n"
    "N:;;;;\n";

StoreContact make(QString given, QString family, QString nickname, QStringList phones, QStringList emails) {
  return StoreContact{std::move(given), std::move(family), std::move(nickname), std::move(phones), std::move(emails)};
}

void writeFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(content);
}

// Records how often the user was asked and with what suggestion.
struct PromptScript {
  std::optional<QString> answer = std::nullopt;
  int calls = 0;
  std::optional<QString> suggested = std::nullopt;

  VCardContactStore::Prompt hook() {
    return [this](const std::optional<QString>& folder) {
      ++calls;
      suggested = folder;
      return answer;
    };
  }
};

}  // namespace

class VCardContactStoreTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TestEnvironment> environment_;
  QByteArray savedDataHome_;

  QString addressBookFolder() {
    const QString folder = environment_->path(QStringLiteral("address-book"));
    QDir().mkpath(folder);
    writeFile(folder + QStringLiteral("/b-work.vcf"), kWork);
    writeFile(folder + QStringLiteral("/a-friends.VCF"), kFriends);
    writeFile(folder + QStringLiteral("/notes.txt"), "BEGIN:VCARD\nN:Not;Read\nEND:VCARD\n");
    QDir().mkpath(folder + QStringLiteral("/old.vcf"));
    return folder;
  }

 private Q_SLOTS:
  void init() {
    environment_ = std::make_unique<test::TestEnvironment>();
    // The desktop's data folder (where the standard vCard folder lives) points into the test's own folder.
    savedDataHome_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(environment_->path(QStringLiteral("data-home"))));
  }
  void cleanup() {
    qputenv("XDG_DATA_HOME", savedDataHome_);
    environment_.reset();
  }

  void parses_data() {
    QTest::addColumn<QByteArray>("vcard");
    QTest::addColumn<QList<StoreContact>>("contacts");
    QTest::newRow("3.0") << kFriends
                         << QList<StoreContact>{make("Sam", "Lee", "Sammy", {"(555) 123-4567", "+44 20 7946 0958"},
                                                     {"sam@example.com"}),
                                                make("Mary Ann", "O;Brien, Jr.", "", {"555,0001"}, {})};
    QTest::newRow("4.0") << kWork
                         << QList<StoreContact>{
                                make("Ana", "Ruiz", "", {"+1-555-000-1111"}, {"ANA@Work.example", "ana@home.example"}),
                                make("Bo Berg", "", "Bo\nB", {"5550002222"}, {})};
    QTest::newRow("unclosed card before the next")
        << QByteArray("BEGIN:VCARD\nN:A;B\nBEGIN:VCARD\nN:C;D\nEND:VCARD\n")
        << QList<StoreContact>{make("B", "A", "", {}, {}), make("D", "C", "", {}, {})};
    QTest::newRow("first N counts") << QByteArray("BEGIN:VCARD\nN:A;B\nN:X;Y\nEND:VCARD\n")
                                    << QList<StoreContact>{make("B", "A", "", {}, {})};
    QTest::newRow("lines without a colon") << QByteArray("BEGIN:VCARD\ngarbage\n:novalue\nEMAIL:x@y\nEND:VCARD")
                                           << QList<StoreContact>{make("", "", "", {}, {"x@y"})};
    QTest::newRow("CR line ends") << QByteArray("BEGIN:VCARD\rN:A;B\rEND:VCARD\r")
                                  << QList<StoreContact>{make("B", "A", "", {}, {})};
    QTest::newRow("empty") << QByteArray() << QList<StoreContact>{};
    // vCard 4.0 makes N optional: the formatted name then names the contact.
    QTest::newRow("FN without N") << QByteArray("BEGIN:VCARD\nVERSION:4.0\nFN: Ana\\, Ruiz \nEND:VCARD\n")
                                  << QList<StoreContact>{make("Ana, Ruiz", "", "", {}, {})};
    QTest::newRow("FN after an empty N") << QByteArray("BEGIN:VCARD\nN:;;;;\nFN:Bo\nFN:Other\nEND:VCARD\n")
                                         << QList<StoreContact>{make("Bo", "", "", {}, {})};
    QTest::newRow("N wins over FN") << QByteArray("BEGIN:VCARD\nFN:Dr. Ana Ruiz\nN:Ruiz;;;;\nEND:VCARD\n")
                                    << QList<StoreContact>{make("", "Ruiz", "", {}, {})};
    QTest::newRow("blank FN") << QByteArray("BEGIN:VCARD\nFN:  \nNICKNAME:Bee\nEND:VCARD\n")
                              << QList<StoreContact>{make("", "", "Bee", {}, {})};
  }
  void parses() {
    QFETCH(QByteArray, vcard);
    QFETCH(QList<StoreContact>, contacts);
    const QList<StoreContact> parsed = VCardParser::parse(vcard);
    QCOMPARE(parsed.size(), contacts.size());
    for (qsizetype i = 0; i < parsed.size(); ++i) {
      QCOMPARE(parsed[i].givenName, contacts[i].givenName);
      QCOMPARE(parsed[i].familyName, contacts[i].familyName);
      QCOMPARE(parsed[i].nickname, contacts[i].nickname);
      QCOMPARE(parsed[i].phoneNumbers, contacts[i].phoneNumbers);
      QCOMPARE(parsed[i].emailAddresses, contacts[i].emailAddresses);
    }
  }

  void undecidedUntilTheUserAnswers() {
    VCardContactStore store;
    QCOMPARE(store.authorizationStatus(), ContactAccessStatus::notDetermined());
    QCOMPARE(store.requestAccess(), ContactAccessStatus::notDetermined());  // nobody to ask yet
    QVERIFY_THROWS_EXCEPTION(ContactStoreError, store.enumerateContacts([](const StoreContact&) {}));
  }

  void allowedAddressBookIsRemembered() {
    PromptScript script{addressBookFolder()};
    VCardContactStore store(script.hook());
    QCOMPARE(store.requestAccess(), ContactAccessStatus::authorized());
    QCOMPARE(store.requestAccess(), ContactAccessStatus::authorized());
    QCOMPARE(script.calls, 1);  // asked only while undecided
    QCOMPARE(AppSettings::shared().value(VCardContactStore::kAddressBookKey).toString(), *script.answer);

    const VCardContactStore later;  // another launch
    QCOMPARE(later.authorizationStatus(), ContactAccessStatus::authorized());
    QStringList names;
    later.enumerateContacts([&](const StoreContact& contact) { names << ContactResolver::displayName(contact); });
    // Files in name order ("a-friends.VCF" before "b-work.vcf"), cards in file order; other files ignored.
    QCOMPARE(names, (QStringList{"Sam Lee", "Mary Ann O;Brien, Jr.", "Ana Ruiz", "Bo Berg"}));
  }

  void standardFolderIsSuggestedWhenItExists() {
    PromptScript script;
    VCardContactStore store(script.hook());
    store.requestAccess();
    QCOMPARE(script.suggested, std::nullopt);

    const QString standard = environment_->path(QStringLiteral("data-home/contacts"));
    QVERIFY(QDir().mkpath(standard));
    writeFile(standard + QStringLiteral("/me.vcf"), kFriends);
    script.answer = standard;
    QCOMPARE(store.chooseAddressBookAgain(), ContactAccessStatus::authorized());
    QCOMPARE(script.suggested, std::optional<QString>(standard));
  }

  void refusalIsDeniedUntilChosenAgain() {
    PromptScript script;  // the user says no
    VCardContactStore store(script.hook());
    QCOMPARE(store.requestAccess(), ContactAccessStatus::denied());
    QCOMPARE(store.requestAccess(), ContactAccessStatus::denied());
    QCOMPARE(script.calls, 1);
    QCOMPARE(VCardContactStore().authorizationStatus(), ContactAccessStatus::denied());

    script.answer = addressBookFolder() + QStringLiteral("/a-friends.VCF");  // a single file also serves
    QCOMPARE(store.chooseAddressBookAgain(), ContactAccessStatus::authorized());
    QCOMPARE(script.calls, 2);
  }

  void unreadableChoiceIsDenied() {
    PromptScript script{environment_->path(QStringLiteral("no-such-folder"))};
    VCardContactStore store(script.hook());
    QCOMPARE(store.requestAccess(), ContactAccessStatus::denied());
  }

  void vanishedAddressBookBecomesDenied() {
    const QString file = addressBookFolder() + QStringLiteral("/a-friends.VCF");
    PromptScript script{file};
    VCardContactStore store(script.hook());
    QCOMPARE(store.requestAccess(), ContactAccessStatus::authorized());
    QVERIFY(QFile::remove(file));
    QCOMPARE(store.authorizationStatus(), ContactAccessStatus::denied());
    QVERIFY_THROWS_EXCEPTION(ContactStoreError, store.enumerateContacts([](const StoreContact&) {}));
  }

  void unreadableFileInTheFolderFailsTheEnumeration() {
    const QString folder = addressBookFolder();
    QVERIFY(QFile::link(environment_->path(QStringLiteral("gone.vcf")), folder + QStringLiteral("/c-broken.vcf")));
    PromptScript script{folder};
    VCardContactStore store(script.hook());
    QCOMPARE(store.requestAccess(), ContactAccessStatus::authorized());
    try {
      store.enumerateContacts([](const StoreContact&) {});
      QFAIL("the enumeration did not fail");
    } catch (const ContactStoreError& error) {
      QVERIFY2(error.description().contains(QStringLiteral("c-broken.vcf")), qPrintable(error.description()));
    }
  }

  // The resolver over vCard files written here, end to end.
  void resolverNamesHandlesFromVCards() {
    PromptScript script{addressBookFolder()};
    ContactResolver resolver(std::make_shared<VCardContactStore>(script.hook()));
    QVERIFY(resolver.displayNames({"+15551234567"}).isEmpty());  // not yet allowed
    QCOMPARE(resolver.requestAccess(), ContactAccessStatus::authorized());
    const QHash<QString, QString> names = resolver.displayNames(
        {"+15551234567", "ana@work.example", "+15550001111", "+442079460958", "5550002222", "nobody@example.com"});
    QCOMPARE(names, (QHash<QString, QString>{{"+15551234567", "Sam Lee"},
                                             {"ana@work.example", "Ana Ruiz"},
                                             {"+15550001111", "Ana Ruiz"},
                                             {"+442079460958", "Sam Lee"},
                                             {"5550002222", "Bo Berg"}}));
  }
};

MURMELA_TEST(VCardContactStoreTest)
#include "VCardContactStoreTest.moc"
