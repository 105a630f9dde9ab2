#pragma once

#include "kit/access/PaintedWidgetAccessible.h"

namespace murmela {

struct ReaderRows;

// A painted list of rows (its reader's role is List, its rows given by
// index) as Qt's item views show theirs: one column of rows behind a table
// interface, each row answered from the list's model when asked for. A reader
// takes such a list as one that manages its descendants (the AT-SPI bridge
// says so of whatever has a table), so it asks for the rows it needs instead
// of walking every one of them whenever the focus enters what holds the list.
class PaintedListAccessible : public PaintedWidgetAccessible, public QAccessibleTableInterface {
 public:
  using PaintedWidgetAccessible::PaintedWidgetAccessible;

  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override;
  int selectedCellCount() const override { return static_cast<int>(selectedRows().size()); }
  QList<QAccessibleInterface*> selectedCells() const override;
  QString columnDescription(int) const override { return {}; }
  QString rowDescription(int) const override { return {}; }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
  int columnCount() const override { return 1; }
  int rowCount() const override { return childCount(); }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override;
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int row) const override;
  // The selection follows the user's keys and clicks, not a reader's requests.
  bool selectRow(int) override { return false; }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  // The rows are answered from the list's model: nothing to follow here.
  void modelChange(QAccessibleTableModelChangeEvent*) override {}

 private:
  const ReaderRows* rows() const;
};

}  // namespace murmela
