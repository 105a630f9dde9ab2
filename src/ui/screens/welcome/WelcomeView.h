#pragma once

#include "kit/text/TextLayout.h"
#include "screens/common/OnboardingScreen.h"
#include "screens/welcome/WelcomeHost.h"

#include <QRectF>
#include <QUrl>

#include <functional>

namespace murmela {

// Step 1 of onboarding: the logo, the wordmark and tagline, the last failed
// run's error if the host holds one, the terms agreement with its
// checkbox (bound to the host's acceptance) and "Get Started →", which
// is enabled only once the terms are accepted. Every element keeps its own
// distance from the top, so the error line appears without moving anything.
class WelcomeView : public OnboardingScreen {
  Q_OBJECT

 public:
  static constexpr int kStep = 1;
  static constexpr qreal kLogoTop = 134.0;
  static constexpr QSizeF kLogoFrame{140.0, 130.0};
  static constexpr qreal kLogoSize = 130.0;
  static constexpr qreal kWordmarkTop = 270.0;
  static constexpr qreal kTaglineTop = 390.0;
  static constexpr qreal kTaglineSides = 36.0;
  static constexpr qreal kErrorTop = 588.0;
  static constexpr qreal kErrorSides = 36.0;
  static constexpr qreal kErrorGap = 4.0;  // kept free above the terms row
  static constexpr qreal kTermsTop = 652.0;
  static constexpr qreal kTermsSides = 44.0;
  static constexpr qreal kTermsSpacing = 8.0;
  static constexpr qreal kCheckboxSize = 13.0;
  static constexpr qreal kCheckboxTopPadding = 1.0;
  static constexpr qreal kCheckboxRadius = 3.0;
  static constexpr qreal kCheckboxOutlineWidth = 1.2;
  static constexpr qreal kCheckboxOutlineOpacity = 0.85;
  static constexpr qreal kCheckboxSlop = 3.0;  // the hit area reaches this far around the box
  static constexpr qreal kCheckmarkSize = 8.0;
  static constexpr qreal kGetStartedTop = 700.0;

  enum Button { checkboxButton, privacyLinkButton, termsLinkButton, getStartedButton };

  struct Layout {
    QRectF logoFrame;
    QRectF logo;
    TextLayout wordmark;
    QRectF wordmarkRect;
    TextLayout taglineFirst;
    QRectF taglineFirstRect;
    TextLayout taglineSecond;
    QRectF taglineSecondRect;
    bool hasError = false;
    TextLayout error;
    QRectF errorRect;
    QRectF termsRow;
    QRectF checkbox;     // the drawn square
    QRectF checkboxHit;  // where it takes clicks
    TextLayout terms;
    QRectF termsRect;
    QRectF privacyLink;
    QRectF termsLink;
    QRectF getStarted;
    bool getStartedEnabled = false;
  };

  // Opens a web address (the links of the terms text); the desktop's browser by default.
  using OpenUrl = std::function<void(const QUrl&)>;

  explicit WelcomeView(WelcomeHost host, QWidget* parent = nullptr);

  Layout layout() const;
  void setUrlOpener(OpenUrl open) { openUrl_ = std::move(open); }

  static QUrl privacyPolicyUrl();
  static QUrl termsUrl();

 protected:
  void paintContent(QPainter& painter) const override;
  QList<ButtonTarget> buttonTargets() const override;
  QList<ShownText> shownTexts() const override;

 private:
  void toggleTerms();
  void paintCheckbox(QPainter& painter, const QRectF& box, bool accepted, const ButtonState& state, bool focused) const;

  WelcomeHost host_;
  OpenUrl openUrl_;
};

}  // namespace murmela
