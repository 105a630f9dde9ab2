#include "app/CoordinatorServices.h"

#include "app/AppCoordinator.h"
#include "data/AppPermissionService.h"
#include "data/MessagesDatabaseReader.h"
#include "data/MessagesDatabaseReading.h"
#include "data/VCardContactStore.h"
#include "hosted/HostedAnalysisClient.h"
#include "privacy/PrivacyFilterSetup.h"
#include "privacy/anonymization/PrivacyScriptAnonymizer.h"
#include "sharelinks/ShareLinkCacheStore.h"
#include "sharelinks/ShareLinkClient.h"
#include "usage/AnalyticsClient.h"

namespace murmela {
namespace {

class DatabaseConversationReading : public ConversationReading {
 public:
  explicit DatabaseConversationReading(const MessagesDatabaseReader& reader) : reading_(reader) {}

  MessageList fetchMessages(const QString& handle) override { return reading_.fetchMessages(handle); }
  qint64 countAttachments(const QString& handle) override { return reading_.countAttachments(handle); }
  QList<ContactSummary> fetchContactSummaries() override { return reading_.fetchContactSummaries(); }

 private:
  MessagesDatabaseReading reading_;
};

class DatabaseConversationReader : public ConversationReader {
 public:
  explicit DatabaseConversationReader(MessagesDatabaseReader reader) : reader_(std::move(reader)) {}

  std::shared_ptr<ConversationReading> beginReading() const override {
    return std::make_shared<DatabaseConversationReading>(reader_);
  }

 private:
  const MessagesDatabaseReader reader_;
};

// A client for each event, on the application's backend; none outlives its
// call.
class BackendAnalytics : public AnalyticsEvents {
 public:
  explicit BackendAnalytics(QString baseUrl) : baseUrl_(std::move(baseUrl)) {}

  void appInstalledIfNeeded(std::stop_token stop) override { client().trackAppInstalledIfNeeded(std::move(stop)); }
  void modeChosen(IntelligenceChoice choice, std::stop_token stop) override {
    client().trackModeChosen(choice, std::move(stop));
  }
  void murmelaCreated(HostedAnalysisWorkflow workflow, const WrappedReport& report, double durationSeconds,
                      std::stop_token stop) override {
    client().trackMurmelaCreated(workflow, report, durationSeconds, std::move(stop));
  }

 private:
  AnalyticsClient client() const { return AnalyticsClient(baseUrl_); }
  const QString baseUrl_;
};

}  // namespace

bool PrivacyFilterSetupDriver::isReady() const { return setup_.phase().kind == PrivacyFilterPhase::Kind::ready; }

void PrivacyFilterSetupDriver::start(Completion completion) { setup_.start(std::move(completion)); }

void PrivacyFilterSetupDriver::resetState() { setup_.resetState(); }

CoordinatorServices makeProductionServices(const QStringList& launchArguments, DesktopIntegration desktop) {
  const std::optional<MessagesDatabaseReader> override =
      MessagesDatabaseReader::launchArgumentOverride(launchArguments);
  const MessagesDatabaseReader databaseReader =
      override ? *override : MessagesDatabaseReader(AppCoordinator::defaultMessagesDatabasePath());

  std::shared_ptr<ContactStore> contactStore =
      desktop.contactStore ? desktop.contactStore : std::make_shared<VCardContactStore>();
  auto contactResolver = std::make_shared<ContactResolver>(contactStore);

  const QString backend = desktop.backendBaseUrl.isEmpty() ? defaultBackendBaseUrl() : desktop.backendBaseUrl;

  CoordinatorServices services;
  services.launchArguments = launchArguments;
  services.skipsPermissionGate = override.has_value();
  services.reader = std::make_shared<DatabaseConversationReader>(databaseReader);
  services.probePermissions = [permissionService = AppPermissionService{databaseReader, contactResolver}] {
    return permissionService.snapshot();
  };
  services.contactResolver = contactResolver;
  services.pipeline = [](const ImportedChat& chat, const WrappedAnalysisPipeline::ProgressCallback& progress,
                         std::stop_token stop, WrappedAnalysisPipeline::Options options) {
    return WrappedAnalysisPipeline().buildReport(chat, progress, std::move(stop), options);
  };
  services.hostedAnalysis =
      [backend](const ImportedChat& chat, const WrappedReport& baseReport, HostedAnalysisWorkflow workflow,
                const std::function<void(const ProcessingProgress&)>& progress, std::stop_token stop) {
        return HostedAnalysisClient(std::make_shared<PrivacyScriptAnonymizer>(), backend)
            .analyze(chat, baseReport, workflow, progress, std::move(stop));
      };
  services.analytics = std::make_shared<BackendAnalytics>(backend);
  services.privacySetup = std::move(desktop.privacySetup);
  if (!services.privacySetup)
    services.privacySetup = std::make_shared<PrivacyFilterSetupDriver>(PrivacyFilterSetup::shared());
  services.detectHybridCapability = std::move(desktop.detectHybridCapability);
  if (!services.detectHybridCapability)
    services.detectHybridCapability = [] { return HybridPrivacyCapability::detect(); };
  // A client for each revocation, on the backend that "-shareAPIBaseURL" names.
  services.revokeShareLink = [launchArguments](const QString& shareID, std::stop_token stop) {
    ShareLinkClient(ShareLinkClient::defaultBaseURL(launchArguments)).revokeShareLink(shareID, std::move(stop));
  };
  services.activeShares = [] { return ShareLinkCacheStore::shared().activeShares(); };
  services.copyToClipboard = std::move(desktop.copyToClipboard);
  services.settingsPaneOpener = std::move(desktop.settingsPaneOpener);
  services.now = [] { return Date::now(); };
  services.reportLibrary = SavedReportLibrary();
  return services;
}

}  // namespace murmela
