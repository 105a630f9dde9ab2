// Reset to first run.
#include "app/AppCoordinator.h"

#include "analysis/IntelligenceRuntime.h"
#include "common/AnalysisLogger.h"
#include "common/AppSettings.h"
#include "data/PrivateDatabaseCopy.h"

namespace murmela {

void AppCoordinator::resetAppToFirstRun() {
  stopRun();
  // No private copy of the user's messages outlives a reset, this process's
  // own included; a read still running keeps its open file until it ends.
  endReading();
  workers_.run([] { PrivateDatabaseCopy::removeLeftovers(PrivateDatabaseCopy::Leftovers::includingOwn); });
  setCurrentShareContactHandle(std::nullopt);

  setContacts({});
  setPermissions(std::nullopt);
  setContactLoadingError(std::nullopt);

  setAnalysisLog(QString());
  setProcessingError(std::nullopt);
  setProcessingProgress(ProcessingProgress{});
  setLastProcessedMessageCount(0);
  setProcessingDisplayName(kDefaultDisplayName);

  setHybridSetupError(std::nullopt);

  // The log file goes with the setup's folders: lines still on their way to
  // it must land before, or they would start the new file.
  AnalysisLogger::shared().waitForPendingWrites();
  services_.privacySetup->resetState();
  IntelligenceRuntime::configure(nullptr);

  setHasAcceptedTerms(false);
  AppSettings::shared().setValue(kHasCompletedOnboardingKey, false);
  clearAppUserDefaults();

  setPastWraps({});
  setActiveShares({});

  setIntelligenceChoice(IntelligenceChoice::hybrid);
  refreshHybridCapability();
  setScreen(AppScreen::welcome());
}

void AppCoordinator::clearAppUserDefaults() {
  AppSettings& settings = AppSettings::shared();
  // The whole domain: the install identifier and the install event's flag go
  // too, so the next registration is a new install.
  settings.clearAll();
  settings.remove(kHasAcceptedTermsKey);
  settings.remove(kHasCompletedOnboardingKey);
}

}  // namespace murmela
