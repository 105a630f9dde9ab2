#include "screens/common/OnboardingScreen.h"

#include <QApplication>
#include <QPainter>

namespace murmela {
namespace {
// The step header's id, clear of the ids a screen gives its own texts.
constexpr int kStepHeaderId = 1000;
}  // namespace

OnboardingScreen::OnboardingScreen(std::optional<int> step, QWidget* parent)
    : QWidget(parent), frame_{step, OnboardingFrame::kOnboardingSteps} {
  setFixedSize(OnboardingFrame::kSize.toSize());
  buttons_ = new ButtonHost(this, [this] { return buttonTargets(); });
  reader_ = new PaintedReader(this, buttons_);
  reader_->setTexts([this] {
    QList<ShownText> texts;
    const OnboardingFrame::Layout header = frame_.layout();
    if (header.hasHeader) texts.append({.text = header.stepText, .rect = header.stepLabelRect, .id = kStepHeaderId});
    return texts + shownTexts();
  });
}

void OnboardingScreen::paintScreen(QPainter& painter) const {
  frame_.paint(painter, [this](QPainter& content) { paintContent(content); });
}

void OnboardingScreen::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintScreen(painter);
}

void OnboardingScreen::contentChanged() {
  update();
  reader_->contentChanged();
}

void OnboardingScreen::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  reader_->contentChanged();
  // A screen that has just come up takes the keys, unless it (or one of its
  // own fields) already has them. Given straight to a field, they reach it
  // with no stop on the screen that readers would be told of first.
  const QWidget* focus = QApplication::focusWidget();
  if (!focus || (focus != this && !isAncestorOf(focus))) keysOnArrival()->setFocus(Qt::OtherFocusReason);
}

void OnboardingScreen::announceError(const std::optional<QString>& error) {
  if (error && error != announcedError_) reader_->announce(*error);
  announcedError_ = error;
}

}  // namespace murmela
