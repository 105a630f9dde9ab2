#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace murmela {

// The one transient message of a deck. show() replaces whatever is shown and
// clears it again after its duration, unless a newer message came first. The
// delay is scheduled through a seam (a single-shot timer by default), so a
// test fires it by hand.
class ToastManager : public QObject {
  Q_OBJECT

 public:
  using Scheduler = std::function<void(int milliseconds, std::function<void()> fire)>;
  static constexpr double kDefaultDuration = 2.0;

  explicit ToastManager(QObject* parent = nullptr);
  ToastManager(Scheduler scheduler, QObject* parent = nullptr);

  const std::optional<QString>& current() const { return current_; }
  void show(const QString& text, double durationSeconds = kDefaultDuration);
  void clear();

 Q_SIGNALS:
  void currentChanged();

 private:
  Scheduler scheduler_;
  std::optional<QString> current_;
  quint64 generation_ = 0;
};

}  // namespace murmela
