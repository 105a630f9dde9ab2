#include "screens/hybridsetup/PrivacySetupStatus.h"

#include "privacy/PrivacyFilterSetup.h"

namespace murmela {

PrivacySetupSnapshot PrivacySetupSnapshot::at(PrivacyFilterPhase phase, double progress,
                                              const QList<PrivacyFilterSubStep::State>& states,
                                              std::optional<QString> detail,
                                              std::optional<double> estimatedRemainingSeconds) {
  PrivacySetupSnapshot snapshot;
  snapshot.phase = std::move(phase);
  snapshot.progress = progress;
  for (qsizetype i = 0; i < states.size() && i < snapshot.subSteps.size(); ++i) snapshot.subSteps[i].state = states[i];
  snapshot.detail = std::move(detail);
  snapshot.estimatedRemainingSeconds = estimatedRemainingSeconds;
  return snapshot;
}

PrivacySetupStatus::PrivacySetupStatus(PrivacySetupSnapshot snapshot, QObject* parent)
    : QObject(parent), snapshot_(std::move(snapshot)) {}

PrivacySetupStatus::PrivacySetupStatus(PrivacyFilterSetup& setup, QObject* parent)
    : QObject(parent), snapshot_(snapshotOf(setup)) {
  const auto follow = [this, &setup] { setSnapshot(snapshotOf(setup)); };
  connect(&setup, &PrivacyFilterSetup::phaseChanged, this, follow);
  connect(&setup, &PrivacyFilterSetup::progressChanged, this, follow);
  connect(&setup, &PrivacyFilterSetup::subStepsChanged, this, follow);
  connect(&setup, &PrivacyFilterSetup::detailChanged, this, follow);
  connect(&setup, &PrivacyFilterSetup::estimatedRemainingSecondsChanged, this, follow);
}

PrivacySetupSnapshot PrivacySetupStatus::snapshotOf(const PrivacyFilterSetup& setup) {
  return {setup.phase(), setup.progress(), setup.subSteps(), setup.detail(), setup.estimatedRemainingSeconds()};
}

void PrivacySetupStatus::setSnapshot(const PrivacySetupSnapshot& snapshot) {
  snapshot_ = snapshot;
  Q_EMIT changed();
}

}  // namespace murmela
