#include "testing/FixedPickerHost.h"

namespace murmela {

PickerHost fixedPickerHost(const QList<ContactSummary>& contacts) {
  const auto none = [] { return std::optional<QString>(); };
  const auto never = [](QObject*, std::function<void()>) {};
  return {
      .contacts = [&contacts]() -> const QList<ContactSummary>& { return contacts; },
      .contactLoadingError = none,
      .processingError = none,
      .dismissProcessingError = [] {},
      .copyAnalysisLog = [] {},
      .loadContacts = [] {},
      .loadContactsIfNeeded = [] {},
      .startProcessing = [](const ContactSummary&) {},
      .back = [] {},
      .changed = never,
      .contactsChanged = never,
      .contactLoadingErrorChanged = never,
  };
}

}  // namespace murmela
