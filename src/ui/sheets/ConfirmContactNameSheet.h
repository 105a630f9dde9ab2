#pragma once

#include "kit/text/TextLayout.h"
#include "sheets/OnboardingSheet.h"

#include <QRectF>
#include <QString>

namespace murmela {

class PlainTextField;

// The sheet that asks what to call the other person before a run starts:
// it quotes the name found for the contact and offers a field with the name
// to use. It keeps no state: every edit is reported (nameEdited); the close
// button, "Cancel" and Escape reject it (finished() with Rejected), "Start
// wrapping →" accepts it and reports confirmed(); the contact picker acts on
// them. Return in the field only ends the edit. The field has the keys
// first; Tab goes on to Cancel, "Start wrapping →" and the close button, and
// round to the field.
class ConfirmContactNameSheet : public OnboardingSheet {
  Q_OBJECT

 public:
  static constexpr qreal kWidth = 430.0;
  static constexpr qreal kPadding = 24.0;
  static constexpr qreal kSpacing = 18.0;
  static constexpr qreal kHeaderSpacing = 6.0;
  static constexpr qreal kHeaderGap = 8.0;  // text column to close button
  static constexpr int kExplanationLines = 6;
  static constexpr qreal kFieldVerticalPadding = 12.0;
  static constexpr qreal kFieldHorizontalPadding = 14.0;
  static constexpr qreal kFieldRadius = 8.0;
  static constexpr qreal kFieldFontSize = 24.0;

  enum Button { closeButton = 1, cancelButton, startButton };

  ConfirmContactNameSheet(const QString& originalName, const QString& finalizedName, QWidget* parent = nullptr);

  QString originalName() const { return originalName_; }
  PlainTextField* nameField() const { return field_; }
  // Shows the sheet with the keys in the field.
  void present();
  // "We found " + the name + " in Contacts. Murmela works better with the name you actually use."
  static QString explanation(const QString& originalName);

  struct Layout {
    TextLayout title;
    QRectF titleRect;
    TextLayout explanation;
    QRectF explanationRect;
    QRectF close;
    QRectF fieldBox;
    QRectF field;  // the text field inside its box
    QRectF cancel;
    QRectF start;
    qreal height = 0.0;
  };
  Layout layout() const;

 Q_SIGNALS:
  void nameEdited(const QString& text);
  void confirmed();

 protected:
  void paintContent(QPainter& painter) const override;
  QList<ButtonTarget> buttonTargets() const override;
  QList<ShownText> shownTexts() const override;

 private:
  QString originalName_;
  PlainTextField* field_ = nullptr;
};

}  // namespace murmela
