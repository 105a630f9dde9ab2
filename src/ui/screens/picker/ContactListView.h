#pragma once

#include "data/ContactSummary.h"
#include "kit/widgets/ButtonHost.h"
#include "screens/picker/ChatRow.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace murmela {

// The contact picker's conversation list: painted rows 8 points apart that
// scroll (wheel, keys, no scroll bar shown) and fade out over the last 5 %
// of the visible height (below what lies over its top). A click on a row, or
// a key while the list has focus (Up, Down, Page Up, Page Down, Home, End),
// asks for that row's handle to be selected; the list shows as selected only
// the handle it is told. To a screen reader it is a list of every row (named
// "Chats"), each known by its handle; the selected row takes the keyboard
// focus (Tab stops on it, the keys move it) and shows the ring inside its edge.
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
    QList<ChatRow::Layout> rows;  // filled by listLayout() only
    QList<QRectF> frames;
    qreal contentHeight = 0.0;
  };
  // Rows are laid out as they come into view (a long list costs no more than
  // what it shows); this lays out the rest first.
  const Layout& listLayout() const;
  // How many rows are laid out so far.
  qsizetype laidOutRows() const { return layout_.frames.size(); }
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
  void relayout();
  // Lays out rows until one reaches below `contentY`, or every row.
  void layOutThrough(qreal contentY) const;
  // The scroll range: exact once every row is laid out, before that the rows
  // still to come counted at the laid-out rows' average height.
  void updateRange();
  void scrollToRow(int row);
  std::optional<int> selectedRow() const;
  QList<ButtonTarget> rowTargets() const;
  ButtonTarget rowTarget(int row) const;
  QRectF rowFrame(int row) const;
  int rowsPerPage() const;
  void activateRow(int id);
  QString descriptionOf(const ContactSummary& contact) const;

  QList<ContactSummary> contacts_;
  std::optional<QString> selectedHandle_;
  qreal layoutWidth_ = 0.0;
  qreal coveredTop_ = 0.0;
  mutable Layout layout_;  // the frames of the first laidOutRows() rows
  // The rows shaped so far, by row: a row in the row's own typefaces is
  // placed by the height such rows share and shaped once it is drawn.
  mutable QHash<int, ChatRow::Layout> shaped_;
  mutable std::optional<qreal> plainHeight_;
  const ChatRow::Layout& shapedRow(int row) const;
  QList<int> ids_;        // each row's id, by its handle
  QHash<int, int> rowOfId_;
  QHash<QString, int> idOfHandle_;
  int nextId_ = 0;
  mutable QHash<QString, std::pair<ContactSummary, QString>> descriptions_;  // by handle
  ButtonHost* buttons_ = nullptr;
  PaintedReader* reader_ = nullptr;
};

}  // namespace murmela
