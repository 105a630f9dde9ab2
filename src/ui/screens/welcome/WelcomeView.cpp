#include "screens/welcome/WelcomeView.h"

#include "brand/DoubleBubbleLogo.h"
#include "kit/controls/MurmelaButtonStyles.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"
#include "screens/common/OnboardingText.h"
#include "theme/MurmelaTheme.h"
#include "theme/ProductAddress.h"

#include <QDesktopServices>
#include <QPainter>

namespace murmela {
namespace {

const QString kWordmark = QStringLiteral("Murmela.");
const QString kTaglineFirst = QStringLiteral("The murmela of your chat,");
const QString kTaglineSecond = QStringLiteral("wrapped & visualized.");
const QString kGetStarted = QStringLiteral("Get Started →");
const QString kTermsLead = QStringLiteral("I agree to the ");
const QString kPrivacyPolicy = QStringLiteral("Privacy Policy");
const QString kTermsJoin = QStringLiteral(" and ");
const QString kTerms = QStringLiteral("Terms");
const QString kTermsEnd = QStringLiteral(".");
// What the check box is called for screen readers (its sentence holds two links).
const QString kTermsCheckboxName = QStringLiteral("Agree to Privacy Policy and Terms");

constexpr qreal kFullWidth = OnboardingFrame::kSize.width();

TextStyle wordmarkStyle() {
  return {
      .typeface = Typeface::dmSerifDisplay, .size = 78.0, .italic = true, .tracking = -2.0, .color = MurmelaTheme::ink};
}
TextStyle taglineStyle(bool second) {
  return {.typeface = Typeface::dmSerifDisplay,
          .size = 19.0,
          .italic = second,
          .color = second ? MurmelaTheme::rose : MurmelaTheme::ink,
          .lineSpacing = 2.0,
          .alignment = TextAlign::center};
}
TextStyle errorStyle() {
  return {.typeface = Typeface::inter, .size = 10.0, .color = MurmelaTheme::rose, .alignment = TextAlign::center};
}
TextStyle termsStyle() { return {.typeface = Typeface::inter, .size = 10.0, .color = MurmelaTheme::inkSoft}; }
TextStyle linkStyle(bool underlined) {
  TextStyle style{
      .typeface = Typeface::inter, .size = 10.0, .weight = QFont::DemiBold, .color = MurmelaTheme::sageDeep};
  if (underlined) style.underline = MurmelaTheme::sageDeep;
  return style;
}

// The terms sentence up to `pieces` of its five pieces; a hovered link is underlined.
StyledText termsText(int pieces = 5, std::optional<int> hoveredLink = std::nullopt) {
  StyledText text;
  const QList<std::pair<QString, std::optional<int>>> all = {{kTermsLead, std::nullopt},
                                                             {kPrivacyPolicy, WelcomeView::privacyLinkButton},
                                                             {kTermsJoin, std::nullopt},
                                                             {kTerms, WelcomeView::termsLinkButton},
                                                             {kTermsEnd, std::nullopt}};
  for (int index = 0; index < pieces; ++index) {
    const auto& [piece, link] = all[index];
    text.append(piece, link ? linkStyle(hoveredLink == link) : termsStyle());
  }
  return text;
}

}  // namespace

QUrl WelcomeView::privacyPolicyUrl() { return QUrl(productWebOrigin() + QStringLiteral("/privacy.html")); }
QUrl WelcomeView::termsUrl() { return QUrl(productWebOrigin() + QStringLiteral("/terms.html")); }

WelcomeView::WelcomeView(WelcomeHost host, QWidget* parent)
    : OnboardingScreen(kStep, parent),
      host_(std::move(host)),
      openUrl_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
  buttonHost().setDefaultButton(getStartedButton);
  host_.changed(this, [this] {
    contentChanged();
    announceError(host_.processingError());
  });
}

WelcomeView::Layout WelcomeView::layout() const {
  Layout l;
  l.logoFrame = QRectF(QPointF((kFullWidth - kLogoFrame.width()) / 2.0, kLogoTop), kLogoFrame);
  const QSizeF logoSize = DoubleBubbleLogo{kLogoSize}.frameSize();
  l.logo = QRectF(l.logoFrame.center() - QPointF(logoSize.width() / 2.0, logoSize.height() / 2.0), logoSize);

  l.wordmark = layoutText(kWordmark, wordmarkStyle());
  l.wordmarkRect = centredRect(l.wordmark, kWordmarkTop, 0.0, kFullWidth);

  const qreal taglineWidth = kFullWidth - 2.0 * kTaglineSides;
  l.taglineFirst = layoutText(kTaglineFirst, taglineStyle(false), taglineWidth);
  l.taglineFirstRect = centredRect(l.taglineFirst, kTaglineTop, kTaglineSides, taglineWidth);
  l.taglineSecond = layoutText(kTaglineSecond, taglineStyle(true), taglineWidth);
  l.taglineSecondRect = centredRect(l.taglineSecond, l.taglineFirstRect.bottom(), kTaglineSides, taglineWidth);

  if (const std::optional<QString> error = host_.processingError()) {
    // A long error wraps, and is cut short before it would reach the terms.
    const qreal width = kFullWidth - 2.0 * kErrorSides;
    l.hasError = true;
    l.error = fitText(*error, errorStyle(), QSizeF(width, kTermsTop - kErrorGap - kErrorTop), 1.0);
    l.errorRect = centredRect(l.error, kErrorTop, kErrorSides, width);
  }

  // The terms row: the checkbox, 8 points, the sentence, centred as a whole.
  const qreal rowWidth = kFullWidth - 2.0 * kTermsSides;
  l.terms = layoutText(termsText(), rowWidth - kCheckboxSize - kTermsSpacing);
  const qreal rowContent = kCheckboxSize + kTermsSpacing + l.terms.width();
  const qreal rowLeft = kTermsSides + (rowWidth - rowContent) / 2.0;
  l.checkbox = QRectF(rowLeft, kTermsTop + kCheckboxTopPadding, kCheckboxSize, kCheckboxSize);
  l.checkboxHit = l.checkbox.adjusted(-kCheckboxSlop, -kCheckboxSlop, kCheckboxSlop, kCheckboxSlop);
  l.termsRect = QRectF(QPointF(l.checkbox.right() + kTermsSpacing, kTermsTop), l.terms.size);
  l.termsRow = QRectF(rowLeft, kTermsTop, rowContent, std::max(l.terms.height(), kCheckboxSize + kCheckboxTopPadding));
  // The links by the widths of the sentence up to them (it is one line).
  const auto edge = [](int pieces) { return layoutText(termsText(pieces)).width(); };
  const qreal lineHeight = l.terms.lines.isEmpty() ? l.terms.height() : l.terms.lines.first().rect.height();
  l.privacyLink = QRectF(l.termsRect.left() + edge(1), kTermsTop, edge(2) - edge(1), lineHeight);
  l.termsLink = QRectF(l.termsRect.left() + edge(3), kTermsTop, edge(4) - edge(3), lineHeight);

  l.getStartedEnabled = host_.hasAcceptedTerms();
  l.getStarted = MurmelaPrimaryButtonStyle{}.placed(kGetStarted, kFullWidth / 2.0, kGetStartedTop);
  return l;
}

QList<ButtonTarget> WelcomeView::buttonTargets() const {
  const Layout l = layout();
  auto* self = const_cast<WelcomeView*>(this);
  const bool accepted = host_.hasAcceptedTerms();
  return {
      {.id = checkboxButton,
       .rect = l.checkboxHit,
       .action = [self] { self->toggleTerms(); },
       .role = ButtonRole::checkBox,
       .name = kTermsCheckboxName,
       .checked = accepted,
       .value = accepted ? QStringLiteral("Checked") : QStringLiteral("Unchecked")},
      {.id = privacyLinkButton,
       .rect = l.privacyLink,
       .action = [self] { self->openUrl_(privacyPolicyUrl()); },
       .cursor = Qt::PointingHandCursor,
       .role = ButtonRole::link,
       .name = kPrivacyPolicy},
      {.id = termsLinkButton,
       .rect = l.termsLink,
       .action = [self] { self->openUrl_(termsUrl()); },
       .cursor = Qt::PointingHandCursor,
       .role = ButtonRole::link,
       .name = kTerms},
      {.id = getStartedButton,
       .rect = l.getStarted,
       .shape = capsulePath(l.getStarted),
       .enabled = l.getStartedEnabled,
       .action = [self] { self->host_.getStarted(); },
       .name = spokenLabel(kGetStarted)},
  };
}

QList<ShownText> WelcomeView::shownTexts() const {
  const Layout l = layout();
  QList<ShownText> texts{withId(shownText(l.wordmark, l.wordmarkRect, true), 0),
                         withId(shownText(l.taglineFirst, l.taglineFirstRect), 1),
                         withId(shownText(l.taglineSecond, l.taglineSecondRect), 2)};
  if (l.hasError) texts.append(withId(shownText(l.error, l.errorRect), 3));
  texts.append(withId(shownText(l.terms, l.termsRect), 4));
  return texts;
}

void WelcomeView::toggleTerms() { host_.setHasAcceptedTerms(!host_.hasAcceptedTerms()); }

void WelcomeView::paintCheckbox(QPainter& painter, const QRectF& box, bool accepted, const ButtonState& state,
                                bool focused) const {
  OpacityScope faded(painter, state.pressed ? kPlainButtonPressedOpacity : 1.0);
  const QPainterPath square = roundedRectPath(box, kCheckboxRadius);
  painter.fillPath(square, accepted ? MurmelaTheme::sageDeep : MurmelaTheme::creamDeep);
  if (accepted) {
    drawSymbol(painter, Symbol::checkmark, box, kCheckmarkSize, SymbolWeight::bold, MurmelaTheme::cream);
  } else {
    const qreal opacity = state.hovered ? 1.0 : kCheckboxOutlineOpacity;
    painter.strokePath(square,
                       StrokeStyle{.width = kCheckboxOutlineWidth}.pen(withOpacity(MurmelaTheme::inkSoft, opacity)));
  }
  if (focused) paintFocusRing(painter, square);
}

void WelcomeView::paintContent(QPainter& painter) const {
  const Layout l = layout();
  painter.setRenderHint(QPainter::Antialiasing);
  DoubleBubbleLogo{kLogoSize}.paint(painter, l.logo);
  l.wordmark.draw(painter, l.wordmarkRect.topLeft());
  l.taglineFirst.draw(painter, l.taglineFirstRect.topLeft());
  l.taglineSecond.draw(painter, l.taglineSecondRect.topLeft());
  if (l.hasError) l.error.draw(painter, l.errorRect.topLeft());

  paintCheckbox(painter, l.checkbox, host_.hasAcceptedTerms(), buttonState(checkboxButton), showsFocus(checkboxButton));
  const std::optional<int> hovered = buttonHost().hovered();
  const bool linkHovered = hovered == privacyLinkButton || hovered == termsLinkButton;
  const TextLayout terms = linkHovered ? layoutText(termsText(5, hovered), l.termsRect.width() + 1.0) : l.terms;
  terms.draw(painter, l.termsRect.topLeft());
  for (const auto& [id, rect] : {std::pair{privacyLinkButton, l.privacyLink}, std::pair{termsLinkButton, l.termsLink}})
    if (showsFocus(id)) paintFocusRing(painter, roundedRectPath(rect.adjusted(-2, 0, 2, 0), 3.0));

  MurmelaPrimaryButtonStyle{!l.getStartedEnabled}.paint(painter, l.getStarted, kGetStarted,
                                                        buttonState(getStartedButton), showsFocus(getStartedButton));
}

}  // namespace murmela
