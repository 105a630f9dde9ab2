#pragma once

#include "kit/motion/Motion.h"
#include "kit/text/TextLayout.h"

#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <optional>

namespace murmela {

class ToastManager;

// The toast manager's message as a dark capsule 90 points above the bottom
// of the deck, above everything else including the share sheet. It takes no
// clicks: the deck and the sheet beneath stay usable. A message moves in
// from the bottom edge and fades in, and goes the same way, by one ease-out
// transition of 0.25 s; a new message while one is shown replaces its words.
class ToastOverlay : public QWidget {
  Q_OBJECT

 public:
  static constexpr qreal kBottomPadding = 90.0;
  static constexpr qreal kHorizontalPadding = 16.0;
  static constexpr qreal kVerticalPadding = 10.0;
  static constexpr double kTransitionSeconds = 0.25;

  struct Layout {
    QRectF capsule;
    TextLayout text;
    QPointF textOrigin;
  };
  // Where a message sits in an overlay of `size`: wrapped to the width less the padding.
  static Layout layout(const QString& text, const QSizeF& size);
  // Paints it at a transition value (0: out of sight below, 1: in place).
  static void paintToast(QPainter& painter, const Layout& layout, const QSizeF& size, qreal progress);
  static TextStyle textStyle();

  // Covers `parent` and follows its size.
  explicit ToastOverlay(ToastManager& manager, QWidget* parent, Clock clock = &monotonicSeconds);

  // The message painted now (kept while it leaves), and the transition value.
  const std::optional<QString>& shownText() const { return shown_; }
  qreal progress() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void follow();
  void tick();

  QPointer<ToastManager> manager_;
  Clock clock_;
  std::optional<QString> shown_;
  bool appearing_ = false;
  Transition transition_ = Transition::instant();
  QTimer frames_;
};

}  // namespace murmela
