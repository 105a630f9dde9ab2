#pragma once

#include "kit/access/ShownText.h"
#include "kit/widgets/ButtonHost.h"

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QAccessibleValueInterface>
#include <QPointer>

#include <optional>

class QWidget;

namespace murmela {

class PaintedReader;
class PaintedWidgetAccessible;

// One painted child of a widget with a PaintedReader: a text, a progress
// bar, a button, a list's row, a group of buttons or the announcement. It
// keeps only its widget, kind and key, and asks the widget's reader for what
// it is each time, so it never tells an old state.
class PaintedItemAccessible : public QAccessibleInterface,
                              public QAccessibleActionInterface,
                              public QAccessibleValueInterface {
 public:
  using Kind = ReadingEntry::Kind;

  // Made by the widget's interface, which deletes it before it goes.
  PaintedItemAccessible(PaintedWidgetAccessible* owner, Kind kind, int key);

  Kind kind() const { return kind_; }
  int key() const { return key_; }
  PaintedWidgetAccessible* owner() const { return owner_; }
  // It stays valid until readers are told it went.
  void setLeaving() { leaving_ = true; }

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation) const override {
    return {};
  }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int index) const override;
  int childCount() const override { return static_cast<int>(members().size()); }
  int indexOfChild(const QAccessibleInterface* child) const override;
  QString text(QAccessible::Text which) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override;
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  // Actions: press (and toggle for what is checked) run what a click runs.
  QStringList actionNames() const override;
  void doAction(const QString& name) override;
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

  QVariant currentValue() const override { return progress().value; }
  void setCurrentValue(const QVariant&) override {}
  QVariant maximumValue() const override { return progress().maximum; }
  QVariant minimumValue() const override { return progress().minimum; }
  // A hundredth of the range, as Qt's own progress bar (a reader sizes its figures by it).
  QVariant minimumStepSize() const override { return (progress().maximum - progress().minimum) / 100.0; }

 private:
  ButtonHost* hostOf() const;
  std::optional<ButtonTarget> button() const;
  // The row of a list this item is, while it shows.
  std::optional<int> row() const;
  std::optional<ShownText> shown() const;
  QString groupName() const;
  QList<int> members() const;
  ProgressValue progress() const;

  PaintedWidgetAccessible* owner_;
  QPointer<QWidget> widget_;
  QPointer<PaintedReader> reader_;
  Kind kind_;
  int key_;
  bool leaving_ = false;
};

// What a reader is told has the keyboard in a painted widget.
struct ReaderFocus {
  ReadingEntry::Kind kind = ReadingEntry::Kind::button;
  int key = 0;
  friend bool operator==(const ReaderFocus&, const ReaderFocus&) = default;
};
std::optional<ReaderFocus> readerFocus(const PaintedReader& reader, const QWidget* widget);

}  // namespace murmela
