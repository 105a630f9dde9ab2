#include "sheets/OnboardingSheet.h"

#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <cmath>

namespace murmela {

OnboardingSheet::OnboardingSheet(qreal width, QWidget* parent) : QDialog(parent) {
  setWindowModality(Qt::WindowModal);
  setFixedWidth(static_cast<int>(std::ceil(width)));
  buttons_ = new ButtonHost(this, [this] { return buttonTargets(); });
  reader_ = new PaintedReader(this, buttons_);
  reader_->setTexts([this] { return shownTexts(); });
}

void OnboardingSheet::present() {
  open();
  setFocus(Qt::OtherFocusReason);
}

void OnboardingSheet::contentChanged() {
  update();
  reader_->contentChanged();
}

void OnboardingSheet::setContentHeight(qreal height) { setFixedHeight(static_cast<int>(std::ceil(height))); }

void OnboardingSheet::paintSheet(QPainter& painter) const {
  painter.fillRect(QRectF(0.0, 0.0, width(), height()), MurmelaTheme::cream);
  paintContent(painter);
}

void OnboardingSheet::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintSheet(painter);
}

}  // namespace murmela
