#pragma once

#include "deck/SlideShareContext.h"

#include <QObject>

#include <optional>

namespace murmela {

// Asks the deck for the share sheet: a pending share context means "show the
// sheet for this slide". One per deck; the slides' Share buttons set it, the
// deck clears it when the sheet closes or a destination was picked.
class ShareSheetPresenter : public QObject {
  Q_OBJECT

 public:
  explicit ShareSheetPresenter(QObject* parent = nullptr) : QObject(parent) {}

  const std::optional<SlideShareContext>& pending() const { return pending_; }
  void setPending(std::optional<SlideShareContext> context) {
    const bool changed = pending_.has_value() || context.has_value();
    pending_ = std::move(context);
    if (changed) Q_EMIT pendingChanged();
  }

 Q_SIGNALS:
  void pendingChanged();

 private:
  std::optional<SlideShareContext> pending_;
};

}  // namespace murmela
