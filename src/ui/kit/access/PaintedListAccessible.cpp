#include "kit/access/PaintedListAccessible.h"

#include "kit/access/PaintedItemAccessible.h"
#include "kit/access/PaintedReader.h"

#include <QWidget>

namespace murmela {

using Kind = ReadingEntry::Kind;

const ReaderRows* PaintedListAccessible::rows() const { return reader() ? reader()->rows() : nullptr; }

void* PaintedListAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
  return PaintedWidgetAccessible::interface_cast(type);
}

int PaintedListAccessible::childCount() const { return rows() ? rows()->count() : 0; }

QAccessibleInterface* PaintedListAccessible::child(int index) const {
  const ReaderRows* all = rows();
  return all && index >= 0 && index < all->count() ? interfaceFor({Kind::button, all->id(index), {}}) : nullptr;
}

int PaintedListAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const auto* item = dynamic_cast<const PaintedItemAccessible*>(child);
  const ReaderRows* all = rows();
  if (!all || !item || item->owner() != this || item->kind() != Kind::button) return -1;
  return all->rowOf(item->key()).value_or(-1);
}

QAccessibleInterface* PaintedListAccessible::childAt(int x, int y) const {
  const ReaderRows* all = rows();
  if (!all || !widget()->isVisible()) return nullptr;
  const std::optional<int> row = all->at(widget()->mapFromGlobal(QPointF(x, y)));
  return row ? child(*row) : nullptr;
}

QAccessibleInterface* PaintedListAccessible::cellAt(int row, int column) const {
  return column == 0 ? child(row) : nullptr;
}

QList<int> PaintedListAccessible::selectedRows() const {
  const std::optional<int> selected = rows() ? rows()->selected() : std::nullopt;
  return selected ? QList<int>{*selected} : QList<int>{};
}

QList<QAccessibleInterface*> PaintedListAccessible::selectedCells() const {
  QList<QAccessibleInterface*> cells;
  for (const int row : selectedRows()) cells.append(child(row));
  return cells;
}

bool PaintedListAccessible::isRowSelected(int row) const { return selectedRows().contains(row); }

}  // namespace murmela
