#pragma once

#include "data/PermissionSnapshot.h"
#include "kit/text/TextLayout.h"
#include "screens/common/OnboardingScreen.h"
#include "screens/common/OnboardingText.h"
#include "screens/permissions/PermissionCard.h"
#include "screens/permissions/PermissionsHost.h"

#include <QRectF>

#include <functional>
#include <optional>
#include <utility>

namespace murmela {

// Step 3 of onboarding: read access to the Messages database and access to
// the contacts, each on a card that shows its state from the host's
// last permission snapshot, with the host's action for it. The screen
// probes again each time it is shown and on "↻ Check Again"; "Continue →" is
// enabled only when both are granted.
class PermissionsView : public OnboardingScreen {
  Q_OBJECT

 public:
  static constexpr int kStep = 3;
  static constexpr qreal kEyebrowTop = 100.0;
  static constexpr qreal kEyebrowRotation = -1.5;
  static constexpr qreal kHeadingTop = 134.0;
  static constexpr qreal kTitleSize = 40.0;
  static constexpr qreal kHeadingSpacing = 10.0;
  static constexpr qreal kSubtitleSides = 28.0;
  static constexpr qreal kCardsTop = 260.0;
  static constexpr qreal kCardsSides = 28.0;
  static constexpr qreal kCardSpacing = 15.0;
  static constexpr qreal kCheckAgainTop = 612.0;
  static constexpr qreal kUnderlineOffset = 2.0;
  static constexpr qreal kUnderlineOpacity = 0.35;

  enum Button { fullDiskAccessButton, contactsButton, checkAgainButton, backButton, continueButton };

  // What the two cards say for a snapshot (none: no probe has answered yet).
  struct Cards {
    PermissionCard fullDiskAccess;
    PermissionCard contacts;
  };
  // The actions are the host's (the cards only show them).
  static Cards cards(const std::optional<PermissionSnapshot>& permissions, std::function<void()> openFullDiskAccess,
                     std::function<void()> requestContacts);
  static bool canContinue(const std::optional<PermissionSnapshot>& permissions);

  struct Layout {
    Eyebrow eyebrow;
    QRectF eyebrowRect;
    TextLayout title;
    QRectF titleRect;
    TextLayout subtitle;
    QRectF subtitleRect;
    Cards cards;
    PermissionCard::Layout fullDiskAccess;
    PermissionCard::Layout contacts;
    TextLayout checkAgain;
    QRectF checkAgainRect;
    QRectF checkAgainUnderline;
    QRectF back;
    QRectF continueRect;
    bool continueEnabled = false;
  };

  explicit PermissionsView(PermissionsHost host, QWidget* parent = nullptr);

  Layout layout() const;

 protected:
  void paintContent(QPainter& painter) const override;
  QList<ButtonTarget> buttonTargets() const override;
  QList<ShownText> shownTexts() const override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Which cards show "Granted", Full Disk Access first.
  using Granted = std::pair<bool, bool>;
  static std::optional<Granted> grantedIn(const std::optional<PermissionSnapshot>& permissions);
  // Says what a card that turned to "Granted" now reads, and that Continue
  // can be used once it can: the screen changes with no focus moving there.
  void tellGranted();
  void sayGranted();

  PermissionsHost host_;
  std::optional<Granted> granted_;  // as last shown; none before the first probe
  QString pendingGranted_;          // to be said once the keyboard has settled
};

}  // namespace murmela
