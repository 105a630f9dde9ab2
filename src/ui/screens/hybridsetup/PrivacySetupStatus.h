#pragma once

#include "privacy/PrivacyFilterSetupState.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

namespace murmela {

class PrivacyFilterSetup;

// What the hybrid setup screen shows of the privacy-filter setup, as one value.
struct PrivacySetupSnapshot {
  PrivacyFilterPhase phase;
  double progress = 0.0;
  QList<PrivacyFilterSubStep> subSteps = PrivacyFilterSubStep::initialList();
  std::optional<QString> detail;
  std::optional<double> estimatedRemainingSeconds;

  bool operator==(const PrivacySetupSnapshot&) const = default;

  // A snapshot whose checklist rows, in the driver's order, take these
  // states (rows past the list stay pending).
  static PrivacySetupSnapshot at(PrivacyFilterPhase phase, double progress,
                                 const QList<PrivacyFilterSubStep::State>& states,
                                 std::optional<QString> detail = std::nullopt,
                                 std::optional<double> estimatedRemainingSeconds = std::nullopt);
};

// The screen's view of the setup: either following a PrivacyFilterSetup
// (every change of one of its five published properties is one `changed`),
// or holding a snapshot that its owner sets (hosts without a privacy
// runtime, the gallery and tests reach every state of the screen that way).
class PrivacySetupStatus : public QObject {
  Q_OBJECT

 public:
  explicit PrivacySetupStatus(PrivacySetupSnapshot snapshot = {}, QObject* parent = nullptr);
  explicit PrivacySetupStatus(PrivacyFilterSetup& setup, QObject* parent = nullptr);

  const PrivacySetupSnapshot& snapshot() const { return snapshot_; }
  void setSnapshot(const PrivacySetupSnapshot& snapshot);

  static PrivacySetupSnapshot snapshotOf(const PrivacyFilterSetup& setup);

 Q_SIGNALS:
  void changed();

 private:
  PrivacySetupSnapshot snapshot_;
};

}  // namespace murmela
