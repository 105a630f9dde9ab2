#pragma once

#include "kit/text/TextLayout.h"
#include "kit/widgets/ButtonHost.h"

#include <QRectF>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <utility>

class QFontMetricsF;
class QTextEdit;

namespace murmela {

class PaintedReader;

// The box the contact picker lays over the top of its list after a run
// failed: "Last analysis failed", the error (at most six lines), the path of
// the analysis log when there is one (at most two lines, broken after a
// folder separator), and "Copy log"
// and "Dismiss". The error and the path can be selected and copied; both are
// plain text, cut with an ellipsis when they are longer.
//
// Screen readers meet a group named "Last analysis failed" whose description
// holds the whole error and the log's path, and the two texts as read-only
// text they can read on their own. Neither is a label: a reader reads the
// labels of a group it enters that label nothing, and the error is already
// announced when it appears.
class FailedRunPanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr qreal kWidth = 350.0;
  static constexpr qreal kPadding = 12.0;
  static constexpr qreal kSpacing = 6.0;
  static constexpr qreal kButtonSpacing = 8.0;
  static constexpr qreal kCornerRadius = 10.0;
  static constexpr int kErrorLines = 6;
  static constexpr int kLogLines = 2;
  static constexpr qreal kLogFontSize = 9.0;

  enum Button { copyLogButton = 1, dismissButton };

  FailedRunPanel(std::function<void()> copyLog, std::function<void()> dismiss, QWidget* parent = nullptr);

  void setContent(const QString& error, const std::optional<QString>& logFilePath);
  // "Last analysis failed. " + the error: what a screen reader says of it.
  static QString spokenSummary(const QString& error);
  // A log line in at most two lines of `width`, broken after a separator.
  static QString logLines(const QString& text, const QFontMetricsF& metrics, qreal width);

  struct Layout {
    TextLayout title;
    QRectF titleRect;
    TextLayout error;
    QRectF errorRect;
    QString logText;  // empty without a log file
    QRectF logRect;
    QRectF copyLog;
    QRectF dismiss;
    qreal height = 0.0;
  };
  const Layout& layout() const { return layout_; }
  QTextEdit* errorText() const { return errorText_; }
  QTextEdit* logText() const { return logText_; }
  ButtonHost& buttonHost() { return *buttons_; }

  // Paints the box, its title and its buttons (the two texts are child widgets).
  void paintPanel(QPainter& painter) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QList<ButtonTarget> targets() const;

  std::function<void()> copyLog_;
  std::function<void()> dismiss_;
  Layout layout_;
  std::optional<std::pair<QString, std::optional<QString>>> content_;  // the error and log path shown
  QTextEdit* errorText_ = nullptr;
  QTextEdit* logText_ = nullptr;
  ButtonHost* buttons_ = nullptr;
  PaintedReader* reader_ = nullptr;
};

}  // namespace murmela
