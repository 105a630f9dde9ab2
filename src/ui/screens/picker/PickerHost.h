#pragma once

#include "data/ContactSummary.h"
#include "kit/widgets/HostSignal.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace murmela {

// What the contact picker reads and asks of the application.
struct PickerHost {
  std::function<const QList<ContactSummary>&()> contacts;  // in the order the list shows them
  std::function<std::optional<QString>()> contactLoadingError;
  std::function<std::optional<QString>()> processingError;  // the last failed run's
  std::function<void()> dismissProcessingError;
  std::function<void()> copyAnalysisLog;
  std::function<void()> loadContacts;          // Retry
  std::function<void()> loadContactsIfNeeded;  // when the picker first shows
  std::function<void(const ContactSummary& contact)> startProcessing;
  std::function<void()> back;  // to the permissions, or the intelligence choice where the gate is skipped
  HostSignal changed;          // the contacts, their loading error or the run's error changed
  HostSignal contactsChanged;
  HostSignal contactLoadingErrorChanged;
};

}  // namespace murmela
