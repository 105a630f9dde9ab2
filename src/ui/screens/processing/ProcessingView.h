#pragma once

#include "kit/motion/FrameTicker.h"
#include "kit/motion/Motion.h"
#include "kit/paint/ShapeCache.h"
#include "kit/text/TextLayout.h"
#include "screens/common/OnboardingScreen.h"
#include "screens/common/StepIndicator.h"
#include "screens/processing/ProcessingHost.h"
#include "screens/processing/ProcessingPhases.h"
#include "screens/processing/ProcessingRing.h"

#include <QList>
#include <QRectF>
#include <QStringList>
#include <QTimer>

#include <map>
#include <optional>
#include <tuple>
#include <utility>

namespace murmela {

// The screen shown while one analysis runs: the partner's name, a progress
// ring with the percentage, the remaining time when there is an estimate,
// and the run's checklist, whose current phase cycles through its status
// lines every 1.5 seconds. It has no buttons and only reads its host.
// To a screen reader the ring is a progress bar that says the time left, and
// a new phase is announced.
class ProcessingView : public OnboardingScreen {
  Q_OBJECT

 public:
  static constexpr int kRotationIntervalMs = 1500;
  static constexpr double kLabelTransitionSeconds = 0.35;

  explicit ProcessingView(ProcessingHost host, QWidget* parent = nullptr);

  // The clock the label transitions run on (seconds); monotonic by default.
  void setClock(Clock clock);

  // Every element's place on the 390 x 780 screen.
  struct Layout {
    QRectF logo;
    QRectF wordmark;
    TextLayout wordmarkText;
    QRectF eyebrow;
    TextLayout eyebrowText;
    QRectF title;
    TextLayout titleText;
    QRectF ring;
    TextLayout percentText;
    TextLayout percentSign;
    QRectF percent;  // the number and the sign, on one baseline
    std::optional<QRectF> remaining;
    TextLayout remainingText;
    QList<QRectF> rows;
    QList<QRectF> indicators;
    QList<TextLayout> labels;
    QRectF aside;
    TextLayout asideText;
  };
  Layout layout() const;

  QList<PhaseEntry> phases() const { return phases_; }
  // What each row shows now, in order.
  QStringList rowLabels() const;
  int rotationIndex() const { return rotationIndex_; }
  // Whether the current phase's status lines are cycling.
  bool isRotating() const { return rotation_.isActive(); }
  // The timer's step: the current phase's next status line.
  void advanceStatusLine();

 protected:
  void paintContent(QPainter& painter) const override;
  QList<ButtonTarget> buttonTargets() const override { return {}; }
  QList<ShownText> shownTexts() const override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 public:
  // ", done", ", in progress" or ", pending": a phase's state in words.
  static QString phaseState(const PhaseEntry& phase);

 private:
  // A row's look at one moment: its label and state.
  struct RowLook {
    QString label;
    StepState state = StepState::pending;
    bool italic = false;
  };
  struct RowTransition {
    RowLook from;
    Transition transition = Transition::instant();
    std::optional<TextLayout> fromText;  // the old line, laid out at its first frame
  };

  void refresh();
  void restartRotation();
  QList<RowLook> currentLooks() const;
  void updateLooks();
  bool rowsMoving() const;
  void updateRows();
  void paintIndicator(QPainter& painter, qsizetype row, StepState state, const QRectF& indicator) const;
  void paintLabel(QPainter& painter, qsizetype row, const RowLook& look, const TextLayout& label, const QRectF& box,
                  qreal dy) const;
  // Lets go of the pictures of status lines no row shows any more.
  void forgetUnshownLabels();
  // Makes the ring's and the marks' pictures ahead of the first paint.
  void preparePictures() const;
  double now() const { return clock_(); }

  ProcessingHost host_;
  Clock clock_ = monotonicSeconds;
  QList<PhaseEntry> phases_;
  static constexpr int kPhaseSettleMs = 600;
  QTimer phaseSaid_;
  int activeIndex_ = -1;
  int rotationIndex_ = 0;
  QList<RowLook> looks_;
  mutable QList<RowTransition> transitions_;
  QTimer rotation_;
  FrameTicker frames_;
  // The ring and each row's indicators are repainted many times a second
  // while a status line changes, but change rarely themselves.
  ProcessingRing ring_;
  // The layout of the current looks and progress; laying text out is most of
  // what a frame costs.
  mutable std::optional<Layout> layout_;
  double shownFraction_ = 0.0;  // the progress last asked to be painted
  mutable std::map<std::pair<qsizetype, StepState>, ShapeCache> indicators_;
  mutable std::map<std::tuple<qsizetype, QString, StepState, bool>, ShapeCache> labelPictures_;
};

}  // namespace murmela
