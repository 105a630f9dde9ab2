#pragma once

#include "kit/text/TextLayout.h"
#include "sheets/OnboardingSheet.h"

#include <QRectF>
#include <QString>

namespace murmela {

class ScrollingPlainText;

// The sheet that shows why the privacy-filter setup failed: a title, a fixed
// explanation, the error text in a scrolling box where it can be selected
// and copied, and the two ways on, "Use Raw Cloud" and "Try Again". The
// sheet only reports the choice (accepting itself first); the close button
// and Escape reject it. Its owner acts on both.
class HybridSetupErrorSheet : public OnboardingSheet {
  Q_OBJECT

 public:
  static constexpr qreal kWidth = 460.0;
  static constexpr qreal kPadding = 24.0;
  static constexpr qreal kSpacing = 18.0;
  static constexpr qreal kHeaderSpacing = 6.0;
  static constexpr qreal kHeaderGap = 8.0;  // text column to close button
  static constexpr qreal kDetailHeight = 180.0;
  static constexpr qreal kDetailRadius = 8.0;
  static constexpr qreal kDetailPadding = 12.0;
  static constexpr qreal kDetailFontSize = 10.5;

  enum Button { closeButton = 1, useRawCloudButton, tryAgainButton };

  explicit HybridSetupErrorSheet(const QString& error, QWidget* parent = nullptr);

  void setError(const QString& error);
  QString error() const { return error_; }
  ScrollingPlainText* detailView() const { return detail_; }

  struct Layout {
    TextLayout title;
    QRectF titleRect;
    TextLayout subtitle;
    QRectF subtitleRect;
    QRectF close;
    QRectF detailBox;
    QRectF useRawCloud;
    QRectF tryAgain;
    qreal height = 0.0;
  };
  Layout layout() const;

 Q_SIGNALS:
  void useRawCloudChosen();
  void tryAgainChosen();

 protected:
  void paintContent(QPainter& painter) const override;
  QList<ButtonTarget> buttonTargets() const override;
  QList<ShownText> shownTexts() const override;

 private:
  QString error_;
  ScrollingPlainText* detail_ = nullptr;
};

}  // namespace murmela
