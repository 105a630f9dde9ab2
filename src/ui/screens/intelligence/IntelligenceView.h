#pragma once

#include "kit/layout/Insets.h"
#include "kit/text/TextLayout.h"
#include "screens/common/OnboardingScreen.h"
#include "screens/common/OnboardingText.h"
#include "screens/intelligence/IntelligenceCard.h"
#include "screens/intelligence/IntelligenceHost.h"
#include "sheets/PythonInstallHelpSheet.h"

#include <QPointer>
#include <QRectF>

#include <optional>

namespace murmela {

// Step 2 of onboarding: hybrid or cloud intelligence. Two cards follow the
// host's choice and hybrid capability (the hybrid card is disabled
// where hybrid cannot run, with the reason under the cards and, when the
// runtime is the reason, a button to its setup help); a pill sums up the
// chosen mode; Back returns to the welcome screen and Continue commits the
// choice. While the host's help flag is set, the runtime setup help
// sheet is presented over the window; closing it clears the flag.
class IntelligenceView : public OnboardingScreen {
  Q_OBJECT

 public:
  static constexpr int kStep = 2;
  static constexpr qreal kEyebrowTop = 100.0;
  static constexpr qreal kEyebrowRotation = -1.5;
  static constexpr qreal kTitleTop = 134.0;
  static constexpr qreal kTitleSize = 38.0;
  static constexpr qreal kCardsTop = 275.0;
  static constexpr qreal kCardsSides = 24.0;
  static constexpr qreal kCardSpacing = 12.0;
  static constexpr qreal kNoticeTop = 532.0;
  static constexpr qreal kNoticeSides = 28.0;
  static constexpr qreal kNoticeSpacing = 8.0;
  static constexpr qreal kNoticeClearance = 4.0;  // kept free under the cards
  static constexpr qreal kNoticeGap = 2.0;        // kept free above the pill
  static constexpr qreal kReasonMinimumScale = 0.8;
  static constexpr qreal kPillTop = 596.0;
  static constexpr Insets kPillPadding = Insets::symmetric(16.0, 9.0);
  static constexpr qreal kPillSpacing = 12.0;
  static constexpr qreal kPillLineSpacing = 2.0;
  static constexpr qreal kPillIconSize = 13.0;
  static constexpr qreal kPillOutlineOpacity = 0.32;

  static inline const QString kBuildCommand = QStringLiteral("Scripts/build-privacy-runtime.sh");

  enum Button { hybridCard, cloudCard, runtimeSetupButton, backButton, continueButton };

  struct Pill {
    QRectF rect;
    QRectF icon;
    TextLayout first;
    QRectF firstRect;
    TextLayout second;
    QRectF secondRect;
  };
  struct Layout {
    Eyebrow eyebrow;
    QRectF eyebrowRect;
    TextLayout title;
    QRectF titleRect;
    IntelligenceCard hybrid;
    IntelligenceCard::Layout hybridLayout;
    IntelligenceCard cloud;
    IntelligenceCard::Layout cloudLayout;
    bool hasNotice = false;
    qreal noticeTop = 0.0;
    TextLayout reason;
    QRectF reasonRect;
    std::optional<QRectF> runtimeSetup;
    bool cloudMode = false;
    Pill pill;
    QRectF back;
    QRectF continueRect;
  };

  explicit IntelligenceView(IntelligenceHost host, QWidget* parent = nullptr);
  ~IntelligenceView() override;

  Layout layout() const;
  // The help sheet while it is presented.
  PythonInstallHelpSheet* helpSheet() const { return helpSheet_; }

 protected:
  void paintContent(QPainter& painter) const override;
  QList<ButtonTarget> buttonTargets() const override;
  QList<ShownText> shownTexts() const override;
  void showEvent(QShowEvent* event) override;

 private:
  void followHelpFlag();
  void back();

  IntelligenceHost host_;
  QPointer<PythonInstallHelpSheet> helpSheet_;
};

}  // namespace murmela
