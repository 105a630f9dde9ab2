#pragma once

#include "kit/text/TextLayout.h"
#include "sheets/OnboardingSheet.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <functional>

class QWidget;

namespace murmela {

enum class AlertRole { normal, cancel, destructive };

struct AlertAction {
  QString title;
  AlertRole role = AlertRole::normal;
};

// A question that changes stored state: a title, a message and its answers.
struct AlertRequest {
  QString title;
  QString message;
  QList<AlertAction> actions;

  // The answer a dismissal gives: the cancel action, else the last one.
  int dismissalIndex() const;
};

// Shows an alert over `parent` without blocking and later calls `answered`
// with the index of the chosen action (the dismissal index when the alert is
// closed otherwise). Screens take one so that tests answer in place of a user.
using AlertPresenter =
    std::function<void(QWidget* parent, const AlertRequest& request, std::function<void(int)> answered)>;

// The application's own alert: a window-modal dialog over the parent's window.
AlertPresenter dialogAlertPresenter();

// The painted alert: the title in Inter 13 semibold, the message in Inter 11
// ink-soft below it (both centred, wrapping), and the answers side by side in
// rounded buttons: cancel outlined in sage-deep, destructive on rose, any
// other on sage-deep. Esc gives the dismissal answer; Return answers only
// with a button that has the keyboard focus.
class AlertDialog : public OnboardingSheet {
  Q_OBJECT

 public:
  static constexpr qreal kWidth = 300.0;
  static constexpr qreal kPadding = 22.0;
  static constexpr qreal kTitleSpacing = 8.0;
  static constexpr qreal kButtonsSpacing = 18.0;
  static constexpr qreal kButtonGap = 8.0;
  static constexpr qreal kButtonHeight = 32.0;
  static constexpr qreal kButtonRadius = 7.0;
  static constexpr int kMessageLines = 8;

  AlertDialog(AlertRequest request, QWidget* parent = nullptr);

  struct Layout {
    TextLayout title;
    QRectF titleRect;
    TextLayout message;
    QRectF messageRect;
    QList<QRectF> buttons;  // one per action, in order
    qreal height = 0.0;
  };
  static Layout layoutFor(const AlertRequest& request);
  const Layout& layout() const { return layout_; }
  const AlertRequest& request() const { return request_; }
  // The answer so far: the dismissal index until an action is chosen.
  int answer() const { return answer_; }

  // Chooses an action as a click would.
  void choose(int index);

 protected:
  void paintContent(QPainter& painter) const override;
  QList<ButtonTarget> buttonTargets() const override;
  QList<ShownText> shownTexts() const override;

 private:
  AlertRequest request_;
  Layout layout_;
  int answer_ = 0;
};

}  // namespace murmela
