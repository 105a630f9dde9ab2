// The coordinator's operations behind the intelligence choice, the hybrid
// setup, the two permissions and the contact list.
#include "app/AppCoordinator.h"

#include "analysis/IntelligenceRuntime.h"
#include "common/AnalysisLogger.h"
#include "common/FileDescriptor.h"
#include "common/MurmelaError.h"

#include <QFile>
#include <QMetaObject>
#include <QPointer>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace murmela {

// ---- Intelligence choice and hybrid setup ------------------------------------

void AppCoordinator::selectIntelligence(IntelligenceChoice choice) {
  refreshHybridCapability();
  if (choice == IntelligenceChoice::hybrid && !hybridCapability_.isAvailable()) return;
  setIntelligenceChoice(choice);
  setHybridSetupError(std::nullopt);
}

void AppCoordinator::confirmIntelligenceChoice() {
  refreshHybridCapability();
  // Queued: the event carries the choice as this confirmation leaves it (a
  // hybrid choice that turns out unable to run is posted as cloud).
  QMetaObject::invokeMethod(
      this,
      [this] {
        const IntelligenceChoice choice = intelligenceChoice_;
        trackInBackground(
            [choice](AnalyticsEvents& analytics, std::stop_token stop) { analytics.modeChosen(choice, stop); });
      },
      Qt::QueuedConnection);
  if (intelligenceChoice_ == IntelligenceChoice::cloud) {
    IntelligenceRuntime::configure(nullptr);
    continueToPermissions();
  } else {
    confirmHybridIntelligence();
  }
}

void AppCoordinator::confirmHybridIntelligence() {
  refreshHybridCapability();
  if (!hybridCapability_.isAvailable()) {
    presentHybridUnavailableRecovery();
    return;
  }
  if (services_.privacySetup->isReady()) {
    IntelligenceRuntime::configure(nullptr);
    continueToPermissions();
    return;
  }
  setScreen(AppScreen::hybridSetup());
  setHybridSetupError(std::nullopt);
  services_.privacySetup->start([self = QPointer<AppCoordinator>(this)](std::exception_ptr error) {
    if (!self) return;
    if (error) {
      self->setHybridSetupError(murmela::describeError(error));
      return;
    }
    // A setup that ends after the user went elsewhere (or chose cloud) does
    // not pull them back into onboarding.
    if (!self->screen_.is(AppScreen::Kind::hybridSetup) || self->intelligenceChoice_ != IntelligenceChoice::hybrid)
      return;
    IntelligenceRuntime::configure(nullptr);
    self->continueToPermissions();
  });
}

void AppCoordinator::presentHybridUnavailableRecovery() {
  switch (hybridCapability_.kind()) {
    case HybridPrivacyCapability::Kind::pythonTooOld:
    case HybridPrivacyCapability::Kind::pythonTooNew:
    case HybridPrivacyCapability::Kind::pythonMissing:
      setPythonInstallHelpVisible(true);
      break;
    case HybridPrivacyCapability::Kind::available:
    case HybridPrivacyCapability::Kind::requiresAppleSilicon:
      break;
  }
  setIntelligenceChoice(IntelligenceChoice::cloud);
}

std::optional<QString> AppCoordinator::hybridUnavailableReason() const {
  switch (hybridCapability_.kind()) {
    case HybridPrivacyCapability::Kind::available:
      return std::nullopt;
    case HybridPrivacyCapability::Kind::pythonTooOld:
      return QStringLiteral("The local privacy runtime is out of date. Found ") + hybridCapability_.payload() +
             QLatin1Char('.');
    case HybridPrivacyCapability::Kind::pythonTooNew:
      return QStringLiteral("The local privacy runtime is newer than this Murmela build supports. Found ") +
             hybridCapability_.payload() + QLatin1Char('.');
    case HybridPrivacyCapability::Kind::requiresAppleSilicon:
      return QStringLiteral("Hybrid Intelligence requires Apple Silicon. You can still use cloud analysis.");
    case HybridPrivacyCapability::Kind::pythonMissing:
      return QStringLiteral(
          "Murmela's privacy runtime is not installed yet. Build or download it to enable Hybrid Intelligence.");
  }
  return std::nullopt;
}

void AppCoordinator::showPythonInstallHelp() { setPythonInstallHelpVisible(true); }

// ---- Contacts and permissions ------------------------------------------------

void AppCoordinator::requestContactsAccess() {
  if (services_.contactResolver->authorizationStatus().kind() != ContactAccessStatus::Kind::notDetermined) {
    openSettingsPane(SettingsPaneOpener::contactsPrivacyPane());
    return;
  }
  // Asking may show a dialog: not from inside the caller's click.
  QMetaObject::invokeMethod(
      this,
      [this] {
        services_.contactResolver->requestAccess();
        refreshPermissions();
      },
      Qt::QueuedConnection);
}

void AppCoordinator::openFullDiskAccessSettings() {
  // The file may sit on a slow disk, or be a pipe: never touched on the window's thread.
  probes_.run([path = defaultMessagesDatabasePath()] { triggerFullDiskAccessRegistration(path); });
  openSettingsPane(SettingsPaneOpener::fullDiskAccessPane());
}

void AppCoordinator::triggerFullDiskAccessRegistration(const QString& path) {
  // Touching the file is what lists the application under Full Disk Access
  // on a Mac; without the permission the open fails, which is expected. Only
  // a regular file is read: opened without waiting (a pipe would wait for a
  // writer) and checked before it is mapped.
  const FileDescriptor file = FileDescriptor::openForReading(path);
  struct stat info {};
  if (file.isOpen() && ::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    void* mapped = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_SHARED, file.get(), 0);
    if (mapped != MAP_FAILED) ::munmap(mapped, static_cast<size_t>(info.st_size));
  }
}

void AppCoordinator::openSettingsPane(const QUrl& pane) {
  if (!pane.isValid() || !services_.settingsPaneOpener) return;
  services_.settingsPaneOpener->openPane(pane);
}

void AppCoordinator::loadContactsIfNeeded() {
  if (contacts_.isEmpty()) loadContacts();
}

void AppCoordinator::loadContacts() {
  setContactLoadingError(std::nullopt);
  const std::shared_ptr<ConversationReading> database = reading();
  if (!database) return;
  workers_.run([this, database, resolver = services_.contactResolver, post = workers_.post()] {
    // `this` is used only in the posted calls (GUI thread, coordinator alive).
    QList<ContactSummary> summaries;
    try {
      summaries = database->fetchContactSummaries();
      QStringList handles;
      for (const ContactSummary& summary : summaries) handles.append(summary.handle);
      const QHash<QString, QString> names = resolver->displayNames(handles);
      for (ContactSummary& summary : summaries) {
        const auto found = names.constFind(summary.handle);
        summary.displayName = found == names.cend() ? std::nullopt : std::optional<QString>(*found);
      }
    } catch (const std::exception& error) {
      // The picker shows the description; the log keeps it whole, with the error's kind.
      AnalysisLogger::log(QStringLiteral("Contact list FAILED \u2014 ") + errorLogFields(error));
      post([this, text = murmela::describeError(error)] { setContactLoadingError(text); });
      return;
    }
    post([this, summaries] { setContacts(summaries); });
  });
}

}  // namespace murmela
