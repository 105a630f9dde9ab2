#include "kit/overlay/ToastManager.h"

#include <QPointer>

#include <algorithm>
#include <cmath>

namespace murmela {

ToastManager::ToastManager(QObject* parent) : ToastManager(Scheduler(), parent) {}

ToastManager::ToastManager(Scheduler scheduler, QObject* parent) : QObject(parent), scheduler_(std::move(scheduler)) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (const std::function<void()> fire = std::exchange(armed_, {})) fire();
  });
  if (!scheduler_) {
    scheduler_ = [this](int milliseconds, std::function<void()> fire) {
      armed_ = std::move(fire);
      timer_.start(milliseconds);  // restarts the one timer
    };
  }
}

void ToastManager::show(const QString& text, double durationSeconds) {
  current_ = text;
  const quint64 shown = ++generation_;
  Q_EMIT currentChanged();
  const double seconds = std::isfinite(durationSeconds) ? std::clamp(durationSeconds, 0.0, 24.0 * 3600.0) : 0.0;
  QPointer<ToastManager> self(this);
  scheduler_(static_cast<int>(seconds * 1000.0), [self, shown] {
    if (self) self->dismiss(shown);
  });
}

void ToastManager::clear() { dismiss(generation_); }

void ToastManager::dismiss(quint64 shown) {
  // Only the newest message's delay clears the text.
  if (shown != generation_ || !current_) return;
  current_.reset();
  Q_EMIT currentChanged();
}

}  // namespace murmela
