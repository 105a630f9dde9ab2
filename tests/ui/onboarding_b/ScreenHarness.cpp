#include "ScreenHarness.h"

#include <QCoreApplication>
#include <QTest>

#include <chrono>

namespace murmela::test {
namespace {

constexpr std::chrono::milliseconds kWorkerWait{10000};

}  // namespace

ScreenHarness::ScreenHarness() {
  CoordinatorServices services = harness_.fakes.services();
  services.pipeline = [](const ImportedChat&, const WrappedAnalysisPipeline::ProgressCallback&, std::stop_token,
                         WrappedAnalysisPipeline::Options) { return WrappedReport{}; };
  services.hostedAnalysis = hosted_.analysis();
  harness_.coordinator = std::make_unique<AppCoordinator>(std::move(services));
}

ScreenHarness::~ScreenHarness() { harness_.coordinator->shutdown(); }

ContactSummary ScreenHarness::summary(const QString& handle, std::optional<QString> name, qint64 messages) {
  ContactSummary contact;
  contact.handle = handle;
  contact.displayName = std::move(name);
  contact.messageCount = messages;
  contact.firstMessage = Date::fromUnix(1704412800.0);  // 2024-01-05
  contact.lastMessage = Date::fromUnix(1740873600.0);   // 2025-03-02
  return contact;
}

void ScreenHarness::setContacts(const QList<TestContact>& contacts) {
  QList<ContactSummary> summaries;
  QList<StoreContact> cards;
  for (const TestContact& contact : contacts) {
    summaries.append(summary(contact.handle, std::nullopt, contact.messages));
    if (!contact.name.isEmpty()) {
      StoreContact card;
      card.givenName = contact.name;
      (contact.handle.contains(QLatin1Char('@')) ? card.emailAddresses : card.phoneNumbers).append(contact.handle);
      cards.append(card);
    }
  }
  fakes().reader->summaries = summaries;
  fakes().contactStore->contacts = cards;
}

void ScreenHarness::failContactLoads(bool fail) { fakes().contactStore->failEnumeration = fail; }

void ScreenHarness::loadContacts() {
  coordinator().loadContacts();
  QVERIFY(coordinator().waitForBackgroundWork(kWorkerWait));
  QCoreApplication::processEvents();
}

void ScreenHarness::holdRunAt(const ContactSummary& contact, const ProcessingProgress& progress) {
  hosted_.holdAt(progress);
  coordinator().startProcessing(contact);
  QTRY_VERIFY(coordinator().processingProgress() == progress);
}

void ScreenHarness::failRun(const ContactSummary& contact, const QString& description) {
  hosted_.failWith(description);
  coordinator().startProcessing(contact);
  QVERIFY(coordinator().waitForBackgroundWork(kWorkerWait));
  QTRY_VERIFY(coordinator().processingError().has_value());
}

}  // namespace murmela::test
