#include "share/ToastManager.h"

#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace murmela {

ToastManager::ToastManager(QObject* parent)
    : ToastManager([this](int milliseconds,
                          std::function<void()> fire) { QTimer::singleShot(milliseconds, this, std::move(fire)); },
                   parent) {}

ToastManager::ToastManager(Scheduler scheduler, QObject* parent) : QObject(parent), scheduler_(std::move(scheduler)) {}

void ToastManager::show(const QString& text, double durationSeconds) {
  current_ = text;
  const quint64 shown = ++generation_;
  Q_EMIT currentChanged();
  const double seconds = std::isfinite(durationSeconds) ? std::clamp(durationSeconds, 0.0, 3600.0) : 0.0;
  QPointer<ToastManager> self(this);
  scheduler_(static_cast<int>(std::lround(seconds * 1000.0)), [self, shown] {
    if (self && self->generation_ == shown) self->clear();
  });
}

void ToastManager::clear() {
  if (!current_) return;
  current_.reset();
  ++generation_;
  Q_EMIT currentChanged();
}

}  // namespace murmela
