#pragma once

#include "kit/widgets/ButtonHost.h"

#include <QPointF>
#include <QString>

#include <functional>
#include <optional>

namespace murmela {

// The rows of a painted list as screen readers are answered about them: by
// index, from the widget's own model, as Qt's item views answer of theirs.
// Nothing is made per row until a reader asks about that row. A row's id is
// the widget's own name for it and stays with it wherever a filter moves it.
struct ReaderRows {
  std::function<int()> count;
  std::function<int(int row)> id;
  std::function<std::optional<int>(int id)> rowOf;  // none once the row went
  // Its role, name, whether it is selected (checked) and takes the keyboard,
  // and its rect in the widget's coordinates; no action, no description.
  std::function<ButtonTarget(int row)> target;
  // What it shows beyond its name, made when a reader asks.
  std::function<QString(int row)> description;
  std::function<std::optional<int>(QPointF point)> at;  // the row under a point of the widget
  std::function<std::optional<int>()> selected;
  std::function<void(int row)> activate;  // what a click on it does
};

}  // namespace murmela
