#pragma once

#include <QColor>
#include <QFont>
#include <QLineEdit>
#include <QString>

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
};

}  // namespace murmela
