#include "sheets/SheetDialog.h"

#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <cmath>

namespace murmela {

SheetDialog::SheetDialog(qreal width, QWidget* parent) : QDialog(parent), width_(width) {
  setWindowModality(Qt::WindowModal);
  setAutoFillBackground(false);
  buttons_ = new ButtonHost(this, [this] { return buttonTargets(); });
  setFixedWidth(static_cast<int>(std::ceil(width)));
}

void SheetDialog::fitHeight(qreal height) {
  setFixedSize(static_cast<int>(std::ceil(width_)), static_cast<int>(std::ceil(height)));
}

void SheetDialog::paintSheet(QPainter& painter) const {
  painter.fillRect(QRectF(QPointF(0.0, 0.0), QSizeF(width(), height())), MurmelaTheme::cream);
  paintContent(painter);
}

void SheetDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintSheet(painter);
}

void SheetDialog::reject() {
  QDialog::reject();
  Q_EMIT dismissed();
}

}  // namespace murmela
