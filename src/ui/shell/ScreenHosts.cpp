#include "shell/ScreenHosts.h"

#include "app/AppCoordinator.h"

namespace murmela {

namespace {

// A host signal that follows one or more of the coordinator's change signals.
template <typename... Notifiers>
HostSignal changes(AppCoordinator& coordinator, Notifiers... notifiers) {
  return [&coordinator, notifiers...](QObject* receiver, std::function<void()> slot) {
    (QObject::connect(&coordinator, notifiers, receiver, slot), ...);
  };
}

}  // namespace

CoordinatorHosts::operator WelcomeHost() const {
  AppCoordinator& c = coordinator_;
  return {.hasAcceptedTerms = [&c] { return c.hasAcceptedTerms(); },
          .setHasAcceptedTerms = [&c](bool accepted) { c.setHasAcceptedTerms(accepted); },
          .processingError = [&c] { return c.processingError(); },
          .getStarted = [&c] { c.getStarted(); },
          .changed = changes(c, &AppCoordinator::hasAcceptedTermsChanged, &AppCoordinator::processingErrorChanged)};
}

CoordinatorHosts::operator PermissionsHost() const {
  AppCoordinator& c = coordinator_;
  return {.permissions = [&c] { return c.permissions(); },
          .refreshPermissions = [&c] { c.refreshPermissions(); },
          .openFullDiskAccessSettings = [&c] { c.openFullDiskAccessSettings(); },
          .requestContactsAccess = [&c] { c.requestContactsAccess(); },
          .back = [&c] { c.setScreen(AppScreen::intelligence()); },
          .continueToPicker = [&c] { c.setScreen(AppScreen::contactPicker()); },
          .permissionsChanged = changes(c, &AppCoordinator::permissionsChanged)};
}

CoordinatorHosts::operator IntelligenceHost() const {
  AppCoordinator& c = coordinator_;
  return {
      .intelligenceChoice = [&c] { return c.intelligenceChoice(); },
      .hybridCapability = [&c] { return c.hybridCapability(); },
      .hybridUnavailableReason = [&c] { return c.hybridUnavailableReason(); },
      .selectIntelligence = [&c](IntelligenceChoice choice) { c.selectIntelligence(choice); },
      .confirmIntelligenceChoice = [&c] { c.confirmIntelligenceChoice(); },
      .back =
          [&c] {
            c.setPendingCSVDebugImport(std::nullopt);
            c.setScreen(AppScreen::welcome());
          },
      .pythonInstallHelpVisible = [&c] { return c.pythonInstallHelpVisible(); },
      .setPythonInstallHelpVisible = [&c](bool visible) { c.setPythonInstallHelpVisible(visible); },
      .showPythonInstallHelp = [&c] { c.showPythonInstallHelp(); },
      .choiceChanged = changes(c, &AppCoordinator::intelligenceChoiceChanged, &AppCoordinator::hybridCapabilityChanged),
      .pythonInstallHelpVisibleChanged = changes(c, &AppCoordinator::pythonInstallHelpVisibleChanged)};
}

CoordinatorHosts::operator HybridSetupHost() const {
  AppCoordinator& c = coordinator_;
  return {.hybridSetupError = [&c] { return c.hybridSetupError(); },
          .setHybridSetupError = [&c](const std::optional<QString>& text) { c.setHybridSetupError(text); },
          .selectIntelligence = [&c](IntelligenceChoice choice) { c.selectIntelligence(choice); },
          .confirmIntelligenceChoice = [&c] { c.confirmIntelligenceChoice(); },
          .backToIntelligence = [&c] { c.setScreen(AppScreen::intelligence()); },
          .hybridSetupErrorChanged = changes(c, &AppCoordinator::hybridSetupErrorChanged)};
}

CoordinatorHosts::operator PickerHost() const {
  AppCoordinator& c = coordinator_;
  return {.contacts = [&c]() -> const QList<ContactSummary>& { return c.contacts(); },
          .contactLoadingError = [&c] { return c.contactLoadingError(); },
          .processingError = [&c] { return c.processingError(); },
          .dismissProcessingError = [&c] { c.setProcessingError(std::nullopt); },
          .copyAnalysisLog = [&c] { c.copyAnalysisLog(); },
          .loadContacts = [&c] { c.loadContacts(); },
          .loadContactsIfNeeded = [&c] { c.loadContactsIfNeeded(); },
          .startProcessing = [&c](const ContactSummary& contact) { c.startProcessing(contact); },
          .back = [&c] { c.setScreen(c.skipsPermissionGate() ? AppScreen::intelligence() : AppScreen::permissions()); },
          .changed = changes(c, &AppCoordinator::contactsChanged, &AppCoordinator::contactLoadingErrorChanged,
                             &AppCoordinator::processingErrorChanged),
          .contactsChanged = changes(c, &AppCoordinator::contactsChanged),
          .contactLoadingErrorChanged = changes(c, &AppCoordinator::contactLoadingErrorChanged)};
}

CoordinatorHosts::operator ProcessingHost() const {
  AppCoordinator& c = coordinator_;
  return {.processingProgress = [&c] { return c.processingProgress(); },
          .lastProcessedMessageCount = [&c] { return c.lastProcessedMessageCount(); },
          .processingDisplayName = [&c] { return c.processingDisplayName(); },
          .intelligenceChoice = [&c] { return c.intelligenceChoice(); },
          .changed =
              changes(c, &AppCoordinator::processingProgressChanged, &AppCoordinator::lastProcessedMessageCountChanged,
                      &AppCoordinator::processingDisplayNameChanged, &AppCoordinator::intelligenceChoiceChanged)};
}

CoordinatorHosts::operator HomeHost() const {
  AppCoordinator& c = coordinator_;
  return {.pastWraps = [&c]() -> const QList<PastWrap>& { return c.pastWraps(); },
          .reloadPastWraps = [&c] { c.setPastWraps(c.reportLibrary().load()); },
          .beginNewMurmela = [&c] { c.beginNewMurmelaFromHome(); },
          .openPastWrap = [&c](const PastWrap& wrap) { c.openPastWrap(wrap); },
          .revokeShare = [&c](const ShareCacheEntry& entry) { c.revokeShare(entry); },
          .resetAppToFirstRun = [&c] { c.resetAppToFirstRun(); },
          .changed = changes(c, &AppCoordinator::pastWrapsChanged, &AppCoordinator::activeSharesChanged),
          .shares = *this,
          .processingError = [&c] { return c.processingError(); },
          .dismissProcessingError = [&c] { c.setProcessingError(std::nullopt); },
          .processingErrorChanged = changes(c, &AppCoordinator::processingErrorChanged)};
}

CoordinatorHosts::operator MySharesHost() const {
  AppCoordinator& c = coordinator_;
  return {.activeShares = [&c]() -> const QList<ShareCacheEntry>& { return c.activeShares(); },
          .shareRevocationError = [&c] { return c.shareRevocationError(); },
          .refreshActiveShares = [&c] { c.refreshActiveShares(); },
          .changed = changes(c, &AppCoordinator::activeSharesChanged, &AppCoordinator::shareRevocationErrorChanged)};
}

CoordinatorHosts::operator DeckHost() const {
  AppCoordinator& c = coordinator_;
  return {[&c] { return c.currentShareContactHandle(); }, [&c] { c.goHome(); }};
}

}  // namespace murmela
