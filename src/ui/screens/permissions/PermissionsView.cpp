#include "screens/permissions/PermissionsView.h"

#include "kit/controls/MurmelaButtonStyles.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "screens/common/OnboardingButtonRow.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>
#include <QStringList>

namespace murmela {
namespace {

constexpr qreal kFullWidth = OnboardingFrame::kSize.width();

const QString kEyebrow = QStringLiteral("before we begin —");
const QString kTitle = QStringLiteral("Two quick things.");
const QString kSubtitle = QStringLiteral("Local, read-only access to your iMessages and Contacts.");
const QString kCheckAgain = QStringLiteral("↻ Check Again");
const QString kOpenSettings = QStringLiteral("Open Settings");
const QString kRequestAccess = QStringLiteral("Request Access");

const QString kFullDiskAccessTitle = QStringLiteral("Read access to your iMessages");
const QString kFullDiskAccessGranted = QStringLiteral("Granted. Murmela can read your local iMessages library.");
// This desktop has no Full Disk Access pane: the permission is being able to
// read the Messages database file, and "Open Settings" explains that file.
const QString kFullDiskAccessRequired = QStringLiteral(
    "Required on Linux as read access to the Messages database file. Opens a guide to the file Murmela reads and "
    "where to put it.");

const QString kContactsTitle = QStringLiteral("Read access to your Contacts");
const QString kContactsRequired = QStringLiteral("Required. Lets Murmela show names instead of phone numbers.");
const QString kContactsChecking =
    QStringLiteral("Required. Lets Murmela show names instead of phone numbers. Status: checking…");
const QString kContactsGranted = QStringLiteral("Granted. Murmela will show contact names for your conversations.");
// Contacts come from an address book the user chooses; "Open Settings" asks for it again.
const QString kContactsDenied =
    QStringLiteral("Denied. Open Settings and choose an address book (a vCard file or folder) for Murmela.");
const QString kContactsRestricted =
    QStringLiteral("Restricted by this computer. Murmela will fall back to phone numbers and emails.");
const QString kContactsUnknown = QStringLiteral("Required. Status unknown. Try requesting access.");

TextStyle subtitleStyle() {
  return {.typeface = Typeface::inter,
          .size = 11.0,
          .weight = QFont::Medium,
          .tracking = 1.6,
          .upperCase = true,
          .color = MurmelaTheme::inkSoft,
          .lineSpacing = 4.0,
          .alignment = TextAlign::center};
}
TextStyle checkAgainStyle() {
  return {.typeface = Typeface::inter,
          .size = 10.0,
          .weight = QFont::Medium,
          .tracking = 1.6,
          .upperCase = true,
          .color = MurmelaTheme::inkSoft};
}

}  // namespace

PermissionsView::Cards PermissionsView::cards(const std::optional<PermissionSnapshot>& permissions,
                                              std::function<void()> openFullDiskAccess,
                                              std::function<void()> requestContacts) {
  Cards result;
  const bool diskGranted = permissions && permissions->hasFullDiskAccess;
  result.fullDiskAccess = {diskGranted ? PermissionCard::Status::ok : PermissionCard::Status::todo,
                           kFullDiskAccessTitle, diskGranted ? kFullDiskAccessGranted : kFullDiskAccessRequired,
                           diskGranted ? std::nullopt : std::optional<QString>(kOpenSettings),
                           std::move(openFullDiskAccess)};

  PermissionCard& contacts = result.contacts;
  contacts.title = kContactsTitle;
  contacts.action = std::move(requestContacts);
  contacts.status = PermissionCard::Status::todo;
  contacts.actionLabel = kOpenSettings;
  if (!permissions) {
    contacts.detail = kContactsChecking;
    contacts.actionLabel.reset();
    return result;
  }
  switch (permissions->contactsStatus.kind()) {
    case ContactAccessStatus::Kind::notDetermined:
      contacts.detail = kContactsRequired;
      contacts.actionLabel = kRequestAccess;
      break;
    case ContactAccessStatus::Kind::authorized:
      contacts.status = PermissionCard::Status::ok;
      contacts.detail = kContactsGranted;
      contacts.actionLabel.reset();
      break;
    case ContactAccessStatus::Kind::denied:
      contacts.detail = kContactsDenied;
      break;
    case ContactAccessStatus::Kind::restricted:
      contacts.detail = kContactsRestricted;
      break;
    case ContactAccessStatus::Kind::unknown:
      contacts.detail = kContactsUnknown;
      break;
  }
  return result;
}

bool PermissionsView::canContinue(const std::optional<PermissionSnapshot>& permissions) {
  return permissions && permissions->hasFullDiskAccess && permissions->contactsStatus.isAuthorized();
}

PermissionsView::PermissionsView(PermissionsHost host, QWidget* parent)
    : OnboardingScreen(kStep, parent), host_(std::move(host)) {
  buttonHost().setDefaultButton(continueButton);
  granted_ = grantedIn(host_.permissions());
  host_.permissionsChanged(this, [this] {
    contentChanged();
    tellGranted();
  });
  // Once the keyboard has settled where it goes next (queued: after readers
  // were told of it).
  connect(&buttonHost(), &ButtonHost::focusMovedTo, this, &PermissionsView::sayGranted, Qt::QueuedConnection);
}

void PermissionsView::changeEvent(QEvent* event) {
  OnboardingScreen::changeEvent(event);
  if (event->type() == QEvent::ActivationChange)
    QMetaObject::invokeMethod(this, &PermissionsView::sayGranted, Qt::QueuedConnection);
}

std::optional<PermissionsView::Granted> PermissionsView::grantedIn(
    const std::optional<PermissionSnapshot>& permissions) {
  if (!permissions) return std::nullopt;
  return Granted{permissions->hasFullDiskAccess, permissions->contactsStatus.isAuthorized()};
}

void PermissionsView::tellGranted() {
  const std::optional<Granted> was = std::exchange(granted_, grantedIn(host_.permissions()));
  if (!was || !granted_) return;
  QStringList said;
  if (granted_->first && !was->first) said.append(kFullDiskAccessGranted);
  if (granted_->second && !was->second) said.append(kContactsGranted);
  if (said.isEmpty()) return;
  if (canContinue(host_.permissions())) said.append(QStringLiteral("Continue is available."));
  pendingGranted_ = said.join(u' ');
  sayGranted();
}

void PermissionsView::sayGranted() {
  // Said after the focus: a focus told later would cut it off. The answer
  // comes back while the system's question still has the keyboard, and a
  // ring on a button that went with it moves on when the window has them again.
  if (pendingGranted_.isEmpty() || !isActiveWindow()) return;
  const std::optional<int> ring = buttonHost().focused();
  if (ring && buttonHost().showsFocus(*ring) && !buttonHost().target(*ring)) return;
  reader().announce(std::exchange(pendingGranted_, QString()));
}

void PermissionsView::showEvent(QShowEvent* event) {
  OnboardingScreen::showEvent(event);
  host_.refreshPermissions();
}

PermissionsView::Layout PermissionsView::layout() const {
  Layout l;
  l.eyebrow = Eyebrow{kEyebrow, MurmelaTheme::sageDeep, kEyebrowRotation};
  l.eyebrowRect = l.eyebrow.rect(kEyebrowTop, 0.0, kFullWidth);

  l.title = OnbTitle{kTitle, kTitleSize}.layout(kFullWidth);
  l.titleRect = centredRect(l.title, kHeadingTop, 0.0, kFullWidth);
  const qreal subtitleWidth = kFullWidth - 2.0 * kSubtitleSides;
  l.subtitle = layoutText(kSubtitle, subtitleStyle(), subtitleWidth);
  l.subtitleRect = centredRect(l.subtitle, l.titleRect.bottom() + kHeadingSpacing, kSubtitleSides, subtitleWidth);

  l.cards = cards(host_.permissions(), host_.openFullDiskAccessSettings, host_.requestContactsAccess);
  const qreal cardWidth = kFullWidth - 2.0 * kCardsSides;
  l.fullDiskAccess = l.cards.fullDiskAccess.layout(QPointF(kCardsSides, kCardsTop), cardWidth);
  l.contacts = l.cards.contacts.layout(QPointF(kCardsSides, l.fullDiskAccess.card.bottom() + kCardSpacing), cardWidth);

  l.checkAgain = layoutText(kCheckAgain, checkAgainStyle());
  l.checkAgainRect = centredRect(l.checkAgain, kCheckAgainTop, 0.0, kFullWidth);
  l.checkAgainUnderline = QRectF(l.checkAgainRect.left(), l.checkAgainRect.bottom() - 1.0 + kUnderlineOffset,
                                 l.checkAgainRect.width(), 1.0);

  const OnboardingButtonRow row = OnboardingButtonRow::layout();
  l.back = row.back;
  l.continueRect = row.next;
  l.continueEnabled = canContinue(host_.permissions());
  return l;
}

QList<ButtonTarget> PermissionsView::buttonTargets() const {
  const Layout l = layout();
  auto* self = const_cast<PermissionsView*>(this);
  QList<ButtonTarget> targets;
  // A card's button says what it does; its card says what for.
  const auto cardButton = [&](int id, const PermissionCard& card, const PermissionCard::Layout& placed) {
    targets.append({.id = id,
                    .rect = *placed.button,
                    .shape = capsulePath(*placed.button),
                    .action = card.action,
                    .name = spokenLabel(card.actionLabel.value_or(QString())),
                    .description = shownText(placed.title, placed.titleRect).text});
  };
  if (l.fullDiskAccess.button) cardButton(fullDiskAccessButton, l.cards.fullDiskAccess, l.fullDiskAccess);
  if (l.contacts.button) cardButton(contactsButton, l.cards.contacts, l.contacts);
  targets.append({.id = checkAgainButton,
                  .rect = l.checkAgainRect.united(l.checkAgainUnderline),
                  .action = [self] { self->host_.refreshPermissions(); },
                  .name = spokenLabel(kCheckAgain)});
  targets.append({.id = backButton,
                  .rect = l.back,
                  .shape = capsulePath(l.back),
                  .action = [self] { self->host_.back(); },
                  .name = spokenLabel(OnboardingButtonRow::kBack)});
  targets.append({.id = continueButton,
                  .rect = l.continueRect,
                  .shape = capsulePath(l.continueRect),
                  .enabled = l.continueEnabled,
                  .action = [self] { self->host_.continueToPicker(); },
                  .name = spokenLabel(OnboardingButtonRow::kContinue)});
  return targets;
}

QList<ShownText> PermissionsView::shownTexts() const {
  const Layout l = layout();
  QList<ShownText> texts{shownText(l.eyebrow.layout(), l.eyebrowRect), shownText(l.title, l.titleRect, true),
                         shownText(l.subtitle, l.subtitleRect)};
  for (const PermissionCard::Layout* card : {&l.fullDiskAccess, &l.contacts}) {
    texts.append(shownText(card->title, card->titleRect));
    texts.append(shownText(card->detail, card->detailRect));
  }
  return texts;
}

void PermissionsView::paintContent(QPainter& painter) const {
  const Layout l = layout();
  painter.setRenderHint(QPainter::Antialiasing);
  l.eyebrow.paint(painter, l.eyebrowRect);
  l.title.draw(painter, l.titleRect.topLeft());
  l.subtitle.draw(painter, l.subtitleRect.topLeft());
  l.cards.fullDiskAccess.paint(painter, l.fullDiskAccess, buttonState(fullDiskAccessButton),
                               showsFocus(fullDiskAccessButton));
  l.cards.contacts.paint(painter, l.contacts, buttonState(contactsButton), showsFocus(contactsButton));

  {
    const ButtonState state = buttonState(checkAgainButton);
    OpacityScope faded(painter, state.pressed ? kPlainButtonPressedOpacity : 1.0);
    l.checkAgain.draw(painter, l.checkAgainRect.topLeft());
    const qreal underline = state.hovered ? 2.0 * kUnderlineOpacity : kUnderlineOpacity;
    painter.fillRect(l.checkAgainUnderline, withOpacity(MurmelaTheme::ink, underline));
    if (showsFocus(checkAgainButton))
      paintFocusRing(painter,
                     roundedRectPath(l.checkAgainRect.united(l.checkAgainUnderline).adjusted(-3, -1, 3, 1), 3.0));
  }

  MurmelaGhostButtonStyle{}.paint(painter, l.back, OnboardingButtonRow::kBack, buttonState(backButton),
                                  showsFocus(backButton));
  MurmelaPrimaryButtonStyle{!l.continueEnabled}.paint(painter, l.continueRect, OnboardingButtonRow::kContinue,
                                                      buttonState(continueButton), showsFocus(continueButton));
}

}  // namespace murmela
