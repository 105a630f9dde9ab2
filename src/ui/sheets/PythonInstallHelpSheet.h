#pragma once

#include "kit/text/TextLayout.h"
#include "sheets/OnboardingSheet.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <functional>

class QLabel;

namespace murmela {

// How hybrid mode's privacy runtime is provided, and for development how to
// build its archive: the build command in a box where it can be selected,
// with a button that copies it. The sheet only informs: it reads nothing of
// the coordinator, and its one side effect is the copy. 430 points wide, as
// high as its texts need.
class PythonInstallHelpSheet : public OnboardingSheet {
  Q_OBJECT

 public:
  static constexpr qreal kWidth = 430.0;
  static constexpr qreal kPadding = 24.0;
  static constexpr qreal kPartSpacing = 18.0;
  static constexpr qreal kTitleSpacing = 6.0;
  static constexpr qreal kHeaderSpacing = 8.0;
  static constexpr qreal kSectionPadding = 14.0;
  static constexpr qreal kSectionSpacing = 10.0;
  static constexpr qreal kSectionRadius = 8.0;
  static constexpr qreal kSectionOutlineOpacity = 0.2;
  static constexpr qreal kStepBadge = 20.0;
  static constexpr qreal kStepSpacing = 10.0;
  static constexpr qreal kCommandPadding = 10.0;
  static constexpr qreal kCommandRadius = 6.0;
  static constexpr qreal kCommandOutlineOpacity = 0.22;
  static constexpr qreal kCommandSpacing = 8.0;
  static constexpr qreal kCommandFontSize = 11.0;

  enum Button { closeButton, copyButton, doneButton };

  struct Step {
    QRectF badge;
    TextLayout number;
    TextLayout text;
    QRectF textRect;
  };
  struct Layout {
    QRectF close;
    TextLayout title;
    QRectF titleRect;
    TextLayout intro;
    QRectF introRect;
    QRectF section;
    TextLayout sectionHeader;
    QRectF sectionHeaderRect;
    QList<Step> steps;  // the three install steps, in order
    QRectF commandBox;
    QRectF commandText;
    QRectF copy;
    QRectF done;
    qreal height = 0.0;
  };

  // Puts the text on the clipboard as its only content (plain text).
  using CopyText = std::function<void(const QString&)>;

  explicit PythonInstallHelpSheet(QString buildCommand, QWidget* parent = nullptr);

  const QString& buildCommand() const { return buildCommand_; }
  const Layout& layout() const { return layout_; }
  void setCopyText(CopyText copy) { copy_ = std::move(copy); }
  // The selectable build command.
  const QLabel* commandLabel() const { return command_; }

  static QString title();
  static QString introduction();
  static QString sectionHeader();
  static QList<QString> stepTexts();
  static void copyToClipboard(const QString& text);

 protected:
  void paintContent(QPainter& painter) const override;
  QList<ButtonTarget> buttonTargets() const override;
  QList<ShownText> shownTexts() const override;

 private:
  void relayout();
  void paintStep(QPainter& painter, const Step& step) const;

  QString buildCommand_;
  CopyText copy_ = copyToClipboard;
  QLabel* command_ = nullptr;
  Layout layout_;
};

}  // namespace murmela
