#pragma once

#include "kit/motion/FrameTicker.h"
#include "kit/motion/Motion.h"
#include "kit/paint/Shadow.h"
#include "kit/text/TextLayout.h"

#include <QPointer>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <optional>

namespace murmela {

class PaintedReader;
class ToastManager;

// The toast manager's message as a dark capsule near the bottom of the view
// it covers, and nothing without one. It takes no clicks: the deck beneath
// stays usable while a toast shows. A message arrives from the bottom edge
// fading in and leaves the same way (ease-out, 0.25 seconds); a new text in
// place of a shown one replaces it at once. It covers its parent, follows
// its size, and stays above the parent's other children (a share sheet
// opened later included). A screen reader hears each new message.
class ToastOverlay : public QWidget {
  Q_OBJECT

 public:
  static constexpr qreal kBottomPadding = 90.0;
  static constexpr qreal kVerticalPadding = 10.0;
  static constexpr qreal kHorizontalPadding = 16.0;
  static constexpr qreal kBackgroundOpacity = 0.92;
  static constexpr double kDuration = 0.25;
  static constexpr ShadowStyle kShadow{QColor(0, 0, 0, 51), 10.0, QPointF(0.0, 4.0)};  // black at 0.2

  static TextStyle textStyle();

  struct Layout {
    QRectF capsule;
    TextLayout text;
    QPointF textOrigin;
    qreal travel = 0.0;  // how far it moves in from the bottom edge
  };
  // The toast for `text` in a view of `bounds`: centred, its bottom edge 90
  // points above the view's, the text wrapping at the view's width.
  static Layout layout(const QString& text, const QRectF& bounds);
  // Paints it `shown` of the way in (0: below the edge and clear, 1: in place).
  static void paint(QPainter& painter, const Layout& layout, qreal shown);

  ToastOverlay(ToastManager& manager, Clock clock, QWidget* parent = nullptr);

  // The last text shown (on screen, on its way out, or gone), and how far
  // in it is now (0 once it has left).
  const std::optional<QString>& lastText() const { return text_; }
  qreal shownAmount() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void follow();
  void cover();

  QPointer<ToastManager> manager_;
  Clock clock_;
  std::optional<QString> text_;
  bool arriving_ = false;
  Transition transition_;
  FrameTicker ticker_;
  PaintedReader* reader_ = nullptr;  // no buttons: the toast's text and announcements
};

}  // namespace murmela
