#pragma once

#include <QColor>
#include <QFont>
#include <QLineEdit>
#include <QString>

class QPainter;
class QPainterPath;

namespace murmela {

// A text field without chrome of its own, for painted screens and sheets
// that draw its box behind it: no frame, no background, the given font and
// colour, and the placeholder in the same colour at a lower opacity.
class PlainTextField : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr qreal kPlaceholderOpacity = 0.45;

  PlainTextField(const QFont& font, const QColor& color, const QString& placeholder, QWidget* parent = nullptr);

  // The height of one line of the font, which the field is given.
  static qreal lineHeight(const QFont& font);

  // The kit's focus ring around the box the widget behind paints for the
  // field (in that widget's coordinates), while the field has the keyboard.
  // The widget behind is repainted whenever the field gains or loses it.
  void paintFocusRing(QPainter& painter, const QPainterPath& box) const;

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace murmela
