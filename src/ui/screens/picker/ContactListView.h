#pragma once

#include "data/ContactSummary.h"
#include "kit/widgets/ButtonHost.h"
#include "screens/picker/ChatRow.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace murmela {

// The contact picker's conversation list: painted rows 8 points apart that
// scroll (wheel, keys, no scroll bar shown) and fade out over the last 5 %
// of the visible height (below what lies over its top). A click on a row, or
// a key while the list has focus (Up, Down, Page Up, Page Down, Home, End),
// asks for that row's handle to be selected; the list shows as selected only
// the handle it is told. To a screen reader it is a list of every row (named
// "Chats"), each known by its handle; the selected row takes the keyboard
// focus (Tab stops on it, the keys move it) and shows the ring inside its edge.
// A row's place follows from the fonts its name and handle fall back to,
// never from shaping it: any row's frame is a look-up, the scroll range is
// exact, and only the rows drawn are shaped (a bounded number kept).
class PaintedReader;

class ContactListView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr qreal kRowSpacing = 8.0;
  static constexpr qreal kFadeStart = 0.95;

  explicit ContactListView(QWidget* parent = nullptr);

  void setContacts(const QList<ContactSummary>& contacts);
  void setSelectedHandle(const std::optional<QString>& handle);
  // How much of the viewport's top a box laid over the list hides: the list
  // may then scroll down by as much, so that every row, the first ones too,
  // can come out below the box (the keys bring the one they choose there).
  void setCoveredTop(qreal height);
  const QList<ContactSummary>& contacts() const { return contacts_; }
  // The handle drawn as selected.
  const std::optional<QString>& selectedHandle() const { return selectedHandle_; }

  // Every row's rectangle in content coordinates (before scrolling), in order.
  struct Layout {
    QList<ChatRow::Layout> rows;
    QList<QRectF> frames;
    qreal contentHeight = 0.0;
  };
  // Every row shaped and placed (for tests and tools: the list itself only
  // shapes the rows it shows).
  const Layout& listLayout() const;
  // One row's rectangle in content coordinates (before scrolling), at the
  // cost of a look-up: every row's place is known from its fallback case,
  // without shaping it. An empty rectangle for a row out of range.
  QRectF rowFrame(int row) const;
  // How many rows the list has shaped so far, and how many shapes it keeps:
  // the rows drawn lately, within a bound that follows the view's height.
  qsizetype shapedRows() const { return shapedRows_; }
  qsizetype keptShapes() const { return shapes_.size(); }
  // The row under a point of the viewport, if any.
  std::optional<int> rowAt(QPointF viewportPoint) const;
  int scrollOffset() const;
  // Paints the visible rows, faded, into a painter at (0, 0) of the viewport.
  void paintRows(QPainter& painter) const;
  ButtonHost& buttonHost() { return *buttons_; }

 Q_SIGNALS:
  void rowActivated(const QString& handle);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // Places every row by its height (a look-up per row), then clamps the
  // scroll offset to the new range: nothing is shaped.
  void relayout();
  qreal rowHeight(const ContactSummary& contact, qreal plainHeight);
  void updateRange();
  void scrollToRow(int row);
  // The rows from the first that reaches below `top` up to (not including)
  // the first that starts below `bottom`, in content coordinates.
  std::pair<int, int> rowsBetween(qreal top, qreal bottom) const;
  // A row shaped to paint, kept by handle among the rows drawn lately.
  ChatRow::Layout shapedRow(int row) const;
  qsizetype shapesToKeep() const;
  std::optional<int> selectedRow() const;
  QList<ButtonTarget> rowTargets() const;
  ButtonTarget rowTarget(int row) const;
  int rowsPerPage() const;
  void activateRow(int id);
  QString descriptionOf(const ContactSummary& contact) const;

  QList<ContactSummary> contacts_;
  std::optional<QString> selectedHandle_;
  qreal layoutWidth_ = 0.0;
  qreal coveredTop_ = 0.0;
  // Each row's top and height; the rows are kRowSpacing apart.
  QList<qreal> tops_;
  QList<qreal> heights_;
  qreal contentHeight_ = 0.0;
  QHash<ChatRow::Case, qreal> caseHeights_;
  // The case of each chat met whose texts fall back, by its handle's text
  // buffer: the host's contacts and every list filtered from them share
  // their strings, so a chat met again is found without reading its texts.
  // An entry holds its strings, so the buffer it is found by is never
  // another text's; entries for chats gone are dropped once they could
  // outnumber the longest list's.
  struct Sorted {
    QString handle;
    std::optional<QString> displayName;
    ChatRow::Case fallbackCase;
  };
  QHash<const QChar*, Sorted> sorted_;
  qsizetype longestList_ = 0;
  // The rows shaped lately, by handle: a chat filtered out and back, or
  // scrolled away and back, is not shaped again while it is kept.
  struct Shape {
    ContactSummary contact;
    ChatRow::Layout layout;
    quint64 used = 0;
  };
  mutable QHash<QString, Shape> shapes_;
  mutable quint64 shapeClock_ = 0;
  mutable qsizetype shapedRows_ = 0;
  mutable Layout layout_;  // listLayout()'s
  QList<int> ids_;        // each row's id, by its handle
  QHash<int, int> rowOfId_;
  QHash<QString, int> idOfHandle_;
  int nextId_ = 0;
  mutable QHash<QString, std::pair<ContactSummary, QString>> descriptions_;  // by handle
  ButtonHost* buttons_ = nullptr;
  PaintedReader* reader_ = nullptr;
};

}  // namespace murmela
