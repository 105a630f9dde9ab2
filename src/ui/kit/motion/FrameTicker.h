#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace murmela {

// The one animation object of a view: while `animating()` says something
// moves, it calls `frame()` (a repaint request) about sixty times a second,
// and stops by itself once nothing does. It never decides what is drawn:
// paint code reads each transition's progress from the clock. With motion
// off it never runs.
class FrameTicker : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIntervalMs = 16;

  FrameTicker(std::function<bool()> animating, std::function<void()> frame, QObject* parent = nullptr);

  // Something started: one frame now, then more while it runs.
  void kick();
  bool isRunning() const { return timer_.isActive(); }

 private:
  void tick();

  std::function<bool()> animating_;
  std::function<void()> frame_;
  QTimer timer_;
};

}  // namespace murmela
