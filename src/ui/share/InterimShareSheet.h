#pragma once

#include "kit/text/TextLayout.h"
#include "share/ShareSheetRequest.h"

#include <QRectF>
#include <QWidget>

namespace murmela {

// What the deck shows for a share request until the real share sheet is
// built: a dimmed backdrop and a card that says so, naming the slide and the
// contact, with a close button. A click on the backdrop or the button
// dismisses it. Painted; the widget only forwards clicks.
class InterimShareSheet : public QWidget {
  Q_OBJECT

 public:
  enum class Element { backdrop, close };

  struct Layout {
    QRectF backdrop;
    QRectF card;
    QRectF closeButton;
    TextLayout eyebrow, title, body;
    QPointF eyebrowOrigin, titleOrigin, bodyOrigin;
  };
  static Layout layout(const SlideShareContext& context, const QRectF& bounds);
  static void paint(QPainter& painter, const Layout& layout, bool closePressed = false);
  static std::optional<Element> hitTest(const Layout& layout, QPointF point);

  static ShareSheetFactory factory();

  InterimShareSheet(ShareSheetRequest request, QWidget* parent = nullptr);

  const ShareSheetRequest& request() const { return request_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Layout currentLayout() const { return layout(request_.context, QRectF(rect())); }

  ShareSheetRequest request_;
  std::optional<Element> pressed_;
};

}  // namespace murmela
