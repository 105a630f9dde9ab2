#pragma once

#include "kit/text/TextLayout.h"
#include "screens/common/OnboardingScreen.h"
#include "screens/hybridsetup/HybridSetupHost.h"
#include "screens/hybridsetup/HybridSetupTexts.h"
#include "screens/hybridsetup/PrivacySetupStatus.h"
#include "sheets/HybridSetupErrorSheet.h"

#include <QList>
#include <QPointer>
#include <QRectF>

namespace murmela {

class PrivacyFilterSetup;

// Step 2 of onboarding with hybrid intelligence: the progress of the
// privacy-filter setup (percentage, bar, remaining time or phase, the running
// step), its checklist, and the ways on: back to the intelligence choice, on
// once the filter is ready, or over to cloud intelligence after a failure,
// which the host reports as its hybrid setup error and this screen
// also shows in an error sheet. The screen drives nothing itself.
class HybridPrivacySetupView : public OnboardingScreen {
  Q_OBJECT

 public:
  enum Button { backButton = 1, forwardButton };

  // Follows the setup driver itself.
  HybridPrivacySetupView(PrivacyFilterSetup& setup, HybridSetupHost host, QWidget* parent = nullptr);
  // Follows a status that its owner fills (hosts without the privacy runtime).
  HybridPrivacySetupView(PrivacySetupStatus& status, HybridSetupHost host, QWidget* parent = nullptr);

  struct Row {
    SetupSubStep step;
    QRectF frame;
    QRectF indicator;
    TextLayout label;
    QRectF labelRect;
    TextLayout detail;  // empty without a detail
    QRectF detailRect;
  };
  struct Layout {
    QRectF eyebrow;
    QRectF title;
    TextLayout titleText;
    QRectF subtitle;
    TextLayout subtitleText;
    QRectF progressBlock;
    TextLayout progressLabel;
    QRectF progressLabelRect;
    TextLayout percent;
    QRectF percentRect;
    TextLayout percentSign;
    QRectF percentSignRect;
    QRectF bar;
    QRectF barFill;  // empty at no progress
    TextLayout statusLeft;
    QRectF statusLeftRect;
    TextLayout statusRight;
    QRectF statusRightRect;
    QList<Row> rows;
    TextLayout footnote;
    QRectF footnoteRect;
    QRectF back;
    QRectF forward;
    HybridForwardButton forwardKind = HybridForwardButton::continueDisabled;
  };
  Layout layout() const;

  const PrivacySetupSnapshot& setup() const { return status_->snapshot(); }
  // The error sheet while it is open.
  HybridSetupErrorSheet* errorSheet() const { return sheet_; }

 protected:
  void paintContent(QPainter& painter) const override;
  QList<ButtonTarget> buttonTargets() const override;
  QList<ShownText> shownTexts() const override;
  void showEvent(QShowEvent* event) override;

 private:
  void watch();
  void followSetupError();
  void sheetDismissed();
  void useRawCloud();

  HybridSetupHost host_;
  PrivacySetupStatus* status_ = nullptr;
  QPointer<HybridSetupErrorSheet> sheet_;
};

}  // namespace murmela
