#include "sheets/ConfirmationAlert.h"

#include "kit/controls/LibraryStyle.h"
#include "kit/widgets/ButtonHost.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

const TextStyle kTitleStyle{.typeface = Typeface::inter,
                            .size = 13,
                            .weight = QFont::DemiBold,
                            .color = MurmelaTheme::ink,
                            .alignment = TextAlign::center};
const TextStyle kMessageStyle{.typeface = Typeface::inter,
                              .size = 11,
                              .color = MurmelaTheme::inkSoft,
                              .lineSpacing = 2,
                              .alignment = TextAlign::center};

ButtonStyle actionStyle(const AlertAction& action) {
  ButtonStyle style;
  QColor content = MurmelaTheme::cream;
  switch (action.role) {
    case AlertRole::cancel:
      content = MurmelaTheme::sageDeep;
      style.fill = MurmelaTheme::cream;
      style.outline = withOpacity(MurmelaTheme::sageDeep, 0.3);
      break;
    case AlertRole::destructive:
      style.fill = MurmelaTheme::rose;
      break;
    case AlertRole::normal:
      style.fill = MurmelaTheme::sageDeep;
      break;
  }
  style.label = SymbolLabel{
      .symbol = std::nullopt,
      .text = action.title,
      .style = TextStyle{
          .typeface = Typeface::inter, .size = 11, .weight = QFont::DemiBold, .color = content, .lineLimit = 1}};
  style.content = content;
  style.cornerRadius = AlertDialog::kButtonRadius;
  return style;
}

}  // namespace

int AlertRequest::dismissalIndex() const {
  for (qsizetype i = 0; i < actions.size(); ++i)
    if (actions[i].role == AlertRole::cancel) return static_cast<int>(i);
  return static_cast<int>(actions.size()) - 1;
}

AlertPresenter dialogAlertPresenter() {
  return [](QWidget* parent, const AlertRequest& request, std::function<void(int)> answered) {
    auto* dialog = new AlertDialog(request, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, answered = std::move(answered)] { answered(dialog->answer()); });
    // Once answered, the keyboard goes back to the painted control that asked.
    if (auto* host = parent ? parent->findChild<ButtonHost*>(QString(), Qt::FindDirectChildrenOnly) : nullptr)
      host->returnFocusAfter(dialog);
    dialog->present();
  };
}

AlertDialog::Layout AlertDialog::layoutFor(const AlertRequest& request) {
  Layout result;
  const qreal width = kWidth - 2.0 * kPadding;
  result.title = layoutText(request.title, kTitleStyle, width);
  result.titleRect = QRectF(kPadding, kPadding, width, result.title.height());
  result.message = layoutText(request.message, kMessageStyle, width, kMessageLines);
  result.messageRect = QRectF(kPadding, result.titleRect.bottom() + kTitleSpacing, width,
                              request.message.isEmpty() ? 0.0 : result.message.height());
  const qreal top = result.messageRect.bottom() + kButtonsSpacing;
  const qsizetype count = request.actions.size();
  const qreal buttonWidth =
      count > 0 ? (width - kButtonGap * static_cast<qreal>(count - 1)) / static_cast<qreal>(count) : 0.0;
  for (qsizetype i = 0; i < count; ++i)
    result.buttons.append(
        QRectF(kPadding + static_cast<qreal>(i) * (buttonWidth + kButtonGap), top, buttonWidth, kButtonHeight));
  result.height = top + (count > 0 ? kButtonHeight : 0.0) + kPadding;
  return result;
}

AlertDialog::AlertDialog(AlertRequest request, QWidget* parent)
    : OnboardingSheet(kWidth, parent), request_(std::move(request)), layout_(layoutFor(request_)) {
  answer_ = request_.dismissalIndex();
  setWindowTitle(request_.title);
  setContentHeight(layout_.height);
  // An alert: a screen reader reads its title and message as it comes up.
  reader().setRole(QAccessible::AlertMessage);
}

void AlertDialog::choose(int index) {
  if (index < 0 || index >= request_.actions.size()) return;
  answer_ = index;
  accept();
}

void AlertDialog::paintContent(QPainter& painter) const {
  layout_.title.draw(painter, layout_.titleRect, Qt::AlignHCenter | Qt::AlignTop);
  layout_.message.draw(painter, layout_.messageRect, Qt::AlignHCenter | Qt::AlignTop);
  for (qsizetype i = 0; i < request_.actions.size(); ++i)
    paintLibraryButton(painter, actionStyle(request_.actions[i]), layout_.buttons[i], buttonState(static_cast<int>(i)),
                       showsFocus(static_cast<int>(i)));
}

QList<ButtonTarget> AlertDialog::buttonTargets() const {
  QList<ButtonTarget> targets;
  for (qsizetype i = 0; i < request_.actions.size(); ++i) {
    const int index = static_cast<int>(i);
    targets.append({.id = index,
                    .rect = layout_.buttons[i],
                    .action = [this, index] { const_cast<AlertDialog*>(this)->choose(index); },
                    .cursor = Qt::PointingHandCursor,
                    .name = request_.actions[i].title});
  }
  return targets;
}

QList<ShownText> AlertDialog::shownTexts() const {
  // The title is the alert's name, said as it comes up: it is no heading for
  // the focus to land on and say again.
  return {shownText(layout_.title, layout_.titleRect), shownText(layout_.message, layout_.messageRect)};
}

}  // namespace murmela
