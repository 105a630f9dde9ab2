#include "kit/access/PaintedListAccessible.h"

#include "kit/access/PaintedReader.h"

#include <QWidget>

namespace murmela {

void* PaintedListAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
  return PaintedWidgetAccessible::interface_cast(type);
}

QAccessibleInterface* PaintedListAccessible::cellAt(int row, int column) const {
  return column == 0 ? child(row) : nullptr;
}

QList<int> PaintedListAccessible::selectedRows() const {
  const PaintedReader* reader = PaintedReader::of(widget());
  const std::optional<int> selected = reader ? reader->selectedListItem() : std::nullopt;
  QAccessibleInterface* row = selected ? knownItem(ReadingEntry::Kind::button, *selected) : nullptr;
  if (selected && !row) row = item(ReadingEntry::Kind::button, *selected);
  const int index = row ? indexOfChild(row) : -1;
  return index < 0 ? QList<int>{} : QList<int>{index};
}

QList<QAccessibleInterface*> PaintedListAccessible::selectedCells() const {
  QList<QAccessibleInterface*> cells;
  for (const int row : selectedRows()) cells.append(child(row));
  return cells;
}

bool PaintedListAccessible::isRowSelected(int row) const { return selectedRows().contains(row); }

}  // namespace murmela
