#pragma once

#include "sheets/ConfirmationAlert.h"

#include <QList>
#include <QPointer>
#include <QRectF>
#include <QTest>
#include <QWidget>

#include <functional>

namespace murmela::test {

// Stands in for the alert windows: records each alert and lets the test answer it.
class AlertRecorder {
 public:
  struct Shown {
    QPointer<QWidget> parent;
    AlertRequest request;
    std::function<void(int)> answered;
  };
  QList<Shown> shown;

  AlertPresenter presenter() {
    return [this](QWidget* parent, const AlertRequest& request, std::function<void(int)> answered) {
      shown.append({parent, request, std::move(answered)});
    };
  }
  // Answers the last alert with the action of that title; false when there is none.
  bool answer(const QString& title) {
    if (shown.isEmpty()) return false;
    const Shown last = shown.last();
    for (qsizetype i = 0; i < last.request.actions.size(); ++i) {
      if (last.request.actions[i].title != title) continue;
      last.answered(static_cast<int>(i));
      return true;
    }
    return false;
  }
};

// A left click in the middle of a painted button.
inline void clickAt(QWidget& widget, const QRectF& rect) {
  QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, rect.center().toPoint());
}

}  // namespace murmela::test
