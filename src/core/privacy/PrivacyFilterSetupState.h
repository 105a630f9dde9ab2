#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

namespace murmela {

// Where the privacy filter setup stands. `failed` carries the message of the
// error that stopped it; two phases are equal when kind and message are.
struct PrivacyFilterPhase {
  enum class Kind {
    idle,
    verifying,
    installingRuntime,
    creatingVenv,        // kept for the screens' labels; the setup never enters it
    installingPackages,  // likewise
    downloadingFilter,   // likewise
    testingRedaction,
    ready,
    failed,
  };

  Kind kind = Kind::idle;
  QString message;  // only for `failed`

  static PrivacyFilterPhase failed(QString message) { return {Kind::failed, std::move(message)}; }
  bool operator==(const PrivacyFilterPhase&) const = default;
};

// One row of the setup's checklist.
struct PrivacyFilterSubStep {
  enum class State { pending, active, done };

  QString id;
  QString label;
  State state = State::pending;
  std::optional<QString> detail;  // never set by the setup

  bool operator==(const PrivacyFilterSubStep&) const = default;

  // "host", "runtime", "test", all pending.
  static QList<PrivacyFilterSubStep> initialList();
};

}  // namespace murmela

Q_DECLARE_METATYPE(murmela::PrivacyFilterPhase)
Q_DECLARE_METATYPE(murmela::PrivacyFilterSubStep)
