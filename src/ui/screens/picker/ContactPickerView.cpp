#include "screens/picker/ContactPickerView.h"

#include "common/AnalysisLogger.h"
#include "kit/controls/MurmelaButtonStyles.h"
#include "kit/controls/PlainTextField.h"
#include "kit/layout/ButtonRow.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"
#include "screens/common/OnboardingText.h"
#include "screens/picker/ContactListView.h"
#include "screens/picker/ContactNaming.h"
#include "screens/picker/ContactSearch.h"
#include "screens/picker/FailedRunPanel.h"
#include "sheets/ConfirmContactNameSheet.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>
#include <QShowEvent>

#include <algorithm>

namespace murmela {
namespace {

constexpr int kStep = 4;
constexpr qreal kWidth = OnboardingFrame::kSize.width();
constexpr qreal kHeight = OnboardingFrame::kSize.height();
constexpr qreal kEyebrowTop = 100.0;
constexpr qreal kTitleTop = 134.0;
constexpr qreal kTitleSize = 38.0;
constexpr qreal kInset = 28.0;
constexpr qreal kSearchTop = 210.0;
constexpr qreal kSearchVerticalPadding = 9.0;
constexpr qreal kSearchHorizontalPadding = 14.0;
constexpr qreal kSearchSpacing = 8.0;
constexpr qreal kSearchSymbolSize = 11.0;
constexpr qreal kErrorBoxTop = 256.0;
constexpr qreal kErrorBoxPadding = 10.0;
constexpr qreal kErrorBoxRadius = 8.0;
constexpr int kErrorBoxLines = 4;
constexpr qreal kLoadingErrorTop = 268.0;
constexpr qreal kLoadingErrorSpacing = 6.0;
// A long loading error is shown whole and pushes the list down, leaving it
// this gap below "Retry" and at least this height.
constexpr qreal kListGapBelowRetry = 8.0;
constexpr qreal kListMinimumHeight = 80.0;
constexpr qreal kPanelInset = 20.0;
constexpr qreal kPanelTop = 268.0;
constexpr qreal kNavigationTop = 706.0;

const Eyebrow kEyebrow{QStringLiteral("pick the person."), MurmelaTheme::sageDeep, -1.5};
const QString kTitle = QStringLiteral("Choose a chat.");
const QString kSearchPlaceholder = QStringLiteral("Search contacts or handles\u2026");
const QString kBack = QStringLiteral("\u2190 Back");
const QString kWrap = QStringLiteral("Wrap it up \u2192");
const QString kRetry = QStringLiteral("Retry");

const TextStyle kSearchStyle{.typeface = Typeface::inter, .size = 11, .color = MurmelaTheme::ink};
const TextStyle kErrorStyle{
    .typeface = Typeface::inter, .size = 10, .color = MurmelaTheme::rose, .alignment = TextAlign::center};

const MurmelaGhostButtonStyle kGhost{};
const MurmelaGhostButtonStyle kCompactGhost{.compact = true};

}  // namespace

ContactPickerView::ContactPickerView(PickerHost host, QWidget* parent)
    : OnboardingScreen(kStep, parent), host_(std::move(host)), logFilePath_(AnalysisLogger::shared().logFileURL()) {
  // A group named by its title: arriving, the keys go straight to the search
  // field, and readers say the group's name as they enter it.
  setAccessibleName(kTitle);
  reader().setRole(QAccessible::Grouping);
  search_ = new PlainTextField(kSearchStyle.font(), MurmelaTheme::ink, kSearchPlaceholder, this);
  search_->setAccessibleName(QStringLiteral("Search contacts or handles"));
  // Without a description of its own a reader is given the placeholder,
  // which only says the name again.
  search_->setAccessibleDescription(QStringLiteral("Filters the list of chats below"));
  connect(search_, &QLineEdit::textChanged, this, &ContactPickerView::setQuery);
  list_ = new ContactListView(this);
  connect(list_, &ContactListView::rowActivated, this, &ContactPickerView::selectHandle);
  panel_ = new FailedRunPanel([this] { host_.copyAnalysisLog(); }, [this] { host_.dismissProcessingError(); }, this);
  panel_->hide();
  buttonHost().setDefaultButton(wrapButton);
  host_.changed(this, [this] {
    refresh();
    // An error that appears is spoken as well as shown.
    announceError(shownError());
  });
  host_.contactsChanged(this, [this] {
    if (!awaitingContacts_) return;
    awaitingContacts_ = false;
    selectFirstIfNone();
  });
  host_.contactLoadingErrorChanged(this, [this] {
    if (awaitingContacts_ && host_.contactLoadingError()) awaitingContacts_ = false;
  });
  // As they stand: the failed run's panel lies between the field and the list's rows.
  setTabOrder(search_, panel_);
  setTabOrder(panel_, list_);
  refresh();
}

void ContactPickerView::setLogFilePath(const std::optional<QString>& path) {
  logFilePath_ = path;
  refresh();
}

void ContactPickerView::showEvent(QShowEvent* event) {
  OnboardingScreen::showEvent(event);
  if (!event->spontaneous() && !appeared_) appear();
}

QWidget* ContactPickerView::keysOnArrival() {
  return search_;  // from there Tab follows the screen down
}

std::optional<QString> ContactPickerView::shownError() const {
  // A failed run is shown (and so spoken) before a failed load.
  if (const std::optional<QString> error = host_.processingError()) return FailedRunPanel::spokenSummary(*error);
  return host_.contactLoadingError();
}

void ContactPickerView::appear() {
  appeared_ = true;
  // A run that failed comes back to this screen: what failed is said as the
  // screen arrives.
  announceError(shownError());
  // Loads when there is nothing yet; once the load is over, the first
  // contact is chosen unless the user chose one meanwhile.
  if (!host_.contacts().isEmpty()) {
    selectFirstIfNone();
    return;
  }
  awaitingContacts_ = true;
  host_.loadContactsIfNeeded();
}

void ContactPickerView::selectFirstIfNone() {
  if (selectedHandle_ || host_.contacts().isEmpty()) return;
  selectHandle(host_.contacts().first().handle);
}

void ContactPickerView::setQuery(const QString& query) {
  if (query_ == query) return;
  query_ = query;
  if (search_->text() != query) search_->setText(query);
  refresh();
}

void ContactPickerView::selectHandle(const QString& handle) {
  if (selectedHandle_ == handle) return;
  selectedHandle_ = handle;
  // Only the selection changed: the list keeps its rows.
  updateChosen();
  contentChanged();
}

QList<ContactSummary> ContactPickerView::filtered() const {
  ++searchRuns_;
  return ContactSearch(query_).filter(host_.contacts());
}

std::optional<ContactSummary> ContactPickerView::selectedContact() const { return chosen_; }

void ContactPickerView::updateChosen() {
  const QList<ContactSummary>& contacts = host_.contacts();
  chosen_.reset();
  if (!selectedHandle_) {
    if (!contacts.isEmpty()) chosen_ = contacts.first();
  } else {
    const auto found = std::find_if(contacts.cbegin(), contacts.cend(), [this](const ContactSummary& contact) {
      return contact.handle == *selectedHandle_;
    });
    if (found != contacts.cend()) chosen_ = *found;
  }
  list_->setSelectedHandle(chosen_ ? std::optional<QString>(chosen_->handle) : std::nullopt);
}

bool ContactPickerView::pickerErrorVisible() const {
  return host_.processingError().has_value() || host_.contactLoadingError().has_value();
}

void ContactPickerView::refresh() {
  const Layout geometry = layout();
  search_->setGeometry(geometry.searchField.toAlignedRect());
  list_->setGeometry(geometry.list.toAlignedRect());
  list_->setContacts(filtered());
  updateChosen();
  if (const std::optional<QString> error = host_.processingError()) {
    panel_->setContent(*error, logFilePath_);
    panel_->move(geometry.panel->topLeft().toPoint());
    panel_->show();
    panel_->raise();
  } else {
    panel_->hide();
  }
  // The panel lies over the top of the list: the row with the keys comes out below it.
  list_->setCoveredTop(geometry.panel ? std::max(0.0, geometry.panel->bottom() - geometry.list.top()) : 0.0);
  contentChanged();
}

ContactPickerView::Layout ContactPickerView::layout() const {
  Layout result;
  const qreal innerWidth = kWidth - 2.0 * kInset;
  result.eyebrow = kEyebrow.rect(kEyebrowTop, 0.0, kWidth);
  result.titleText = OnbTitle{kTitle, kTitleSize}.layout(kWidth);
  result.title = centredRect(result.titleText, kTitleTop, 0.0, kWidth);

  const QSizeF symbol = symbolSize(Symbol::magnifyingGlass, kSearchSymbolSize, SymbolWeight::medium);
  const qreal fieldHeight = PlainTextField::lineHeight(kSearchStyle.font());
  const qreal barInner = std::max(symbol.height(), fieldHeight);
  result.searchBar = QRectF(kInset, kSearchTop, innerWidth, barInner + 2.0 * kSearchVerticalPadding);
  const qreal middle = result.searchBar.center().y();
  result.searchSymbol = QRectF(QPointF(kInset + kSearchHorizontalPadding, middle - symbol.height() / 2.0), symbol);
  const qreal fieldLeft = result.searchSymbol.right() + kSearchSpacing;
  result.searchField = QRectF(fieldLeft, middle - fieldHeight / 2.0,
                              result.searchBar.right() - kSearchHorizontalPadding - fieldLeft, fieldHeight);

  qreal listTop = pickerErrorVisible() ? kListTopWithError : kListTop;
  if (const std::optional<QString> error = host_.processingError()) {
    result.errorBoxText = layoutText(*error, kErrorStyle, innerWidth - 2.0 * kErrorBoxPadding, kErrorBoxLines);
    const QSizeF box(result.errorBoxText.width() + 2.0 * kErrorBoxPadding,
                     result.errorBoxText.height() + 2.0 * kErrorBoxPadding);
    result.errorBox = QRectF(QPointF(kInset + (innerWidth - box.width()) / 2.0, kErrorBoxTop), box);
    result.panel = QRectF(kPanelInset, kPanelTop, FailedRunPanel::kWidth, panel_->layout().height);
  } else if (const std::optional<QString> loading = host_.contactLoadingError()) {
    // The whole text, as many lines as it takes while the list keeps its least height.
    const QSizeF retry = kCompactGhost.size(kRetry);
    const qreal room = kHeight - kListBottomInset - kListMinimumHeight - kListGapBelowRetry - retry.height() -
                       kLoadingErrorSpacing - kLoadingErrorTop;
    const qreal lineHeight = layoutText(QStringLiteral("X"), kErrorStyle).height();
    result.loadingErrorText =
        layoutText(*loading, kErrorStyle, innerWidth, std::max(1, static_cast<int>(room / lineHeight)));
    result.loadingError = centredRect(result.loadingErrorText, kLoadingErrorTop, kInset, innerWidth);
    result.retry = QRectF(
        QPointF(kInset + (innerWidth - retry.width()) / 2.0, result.loadingError->bottom() + kLoadingErrorSpacing),
        retry);
    listTop = std::max(listTop, std::ceil(result.retry->bottom() + kListGapBelowRetry));
  }
  result.list = QRectF(kInset, listTop, innerWidth, kHeight - kListBottomInset - listTop);

  result.wrapEnabled = selectedContact().has_value();
  const ButtonRow row = ButtonRow::place(kGhost.size(kBack), MurmelaPrimaryButtonStyle{!result.wrapEnabled}.size(kWrap),
                                         kInset, kWidth - kInset, kNavigationTop);
  result.back = row.leading;
  result.wrap = row.trailing;
  return result;
}

void ContactPickerView::paintContent(QPainter& painter) const {
  const Layout geometry = layout();
  const PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  kEyebrow.paint(painter, geometry.eyebrow);
  geometry.titleText.draw(painter, geometry.title.topLeft());

  const QPainterPath bar = capsulePath(geometry.searchBar);
  painter.fillPath(bar, MurmelaTheme::creamDeep);
  painter.strokePath(capsulePath(geometry.searchBar.adjusted(0.5, 0.5, -0.5, -0.5)),
                     QPen(withOpacity(MurmelaTheme::sageDeep, 0.22), 1.0));
  search_->paintFocusRing(painter, bar);
  drawSymbol(painter, Symbol::magnifyingGlass, geometry.searchSymbol, kSearchSymbolSize, SymbolWeight::medium,
             MurmelaTheme::inkSoft);

  if (geometry.errorBox) {
    const QPainterPath box = roundedRectPath(*geometry.errorBox, kErrorBoxRadius);
    painter.fillPath(box, MurmelaTheme::creamDeep);
    painter.strokePath(roundedRectPath(geometry.errorBox->adjusted(0.5, 0.5, -0.5, -0.5), kErrorBoxRadius),
                       QPen(withOpacity(MurmelaTheme::rose, 0.25), 1.0));
    geometry.errorBoxText.draw(
        painter, geometry.errorBox->adjusted(kErrorBoxPadding, kErrorBoxPadding, -kErrorBoxPadding, -kErrorBoxPadding));
  } else if (geometry.loadingError) {
    geometry.loadingErrorText.draw(painter, geometry.loadingError->topLeft());
    kCompactGhost.paint(painter, *geometry.retry, kRetry, buttonState(retryButton), showsFocus(retryButton));
  }

  kGhost.paint(painter, geometry.back, kBack, buttonState(backButton), showsFocus(backButton));
  MurmelaPrimaryButtonStyle{!geometry.wrapEnabled}.paint(painter, geometry.wrap, kWrap, buttonState(wrapButton),
                                                         showsFocus(wrapButton));
}

QList<ButtonTarget> ContactPickerView::buttonTargets() const {
  const Layout geometry = layout();
  auto* self = const_cast<ContactPickerView*>(this);
  QList<ButtonTarget> targets;
  if (geometry.retry)
    targets.append({.id = retryButton,
                    .rect = *geometry.retry,
                    .action = [self] { self->host_.loadContacts(); },
                    .name = kRetry});
  targets.append(
      {.id = backButton, .rect = geometry.back, .action = [self] { self->goBack(); }, .name = spokenLabel(kBack)});
  targets.append({.id = wrapButton,
                  .rect = geometry.wrap,
                  .enabled = geometry.wrapEnabled,
                  .action = [self] { self->wrapItUp(); },
                  .name = spokenLabel(kWrap)});
  return targets;
}

void ContactPickerView::goBack() { host_.back(); }

QList<ShownText> ContactPickerView::shownTexts() const {
  const Layout geometry = layout();
  QList<ShownText> texts{withId(shownText(kEyebrow.layout(), geometry.eyebrow), 0),
                         withId(shownText(geometry.titleText, geometry.title, true), 1)};
  // The compact error box lies under the failed run's panel, which shows
  // the error itself: readers are not given it a second time.
  // The loading error is read whole, even where the box had to cut it.
  if (geometry.loadingError)
    texts.append(withId(ShownText{.text = *host_.contactLoadingError(), .rect = *geometry.loadingError}, 3));
  return texts;
}

void ContactPickerView::wrapItUp() {
  const std::optional<ContactSummary> contact = selectedContact();
  if (!contact || sheet_) return;
  pending_ = contact;
  confirmedName_ = defaultDisplayName(*contact);
  presentNameSheet(*contact);
}

void ContactPickerView::presentNameSheet(const ContactSummary& contact) {
  // The screen's name is its news on arrival; coming back from its own sheet
  // the reader never left it, and hears only where the focus lands.
  setAccessibleName(QString());
  auto* sheet = new ConfirmContactNameSheet(contactRowName(contact), confirmedName_, this);
  sheet_ = sheet;
  buttonHost().returnFocusAfter(sheet);
  connect(sheet, &ConfirmContactNameSheet::nameEdited, this, [this](const QString& text) { confirmedName_ = text; });
  connect(sheet, &QDialog::rejected, this, &ContactPickerView::closeNameSheet);
  // The run starts once the sheet's own click is over: it takes this screen away.
  connect(sheet, &ConfirmContactNameSheet::confirmed, this, &ContactPickerView::confirmName, Qt::QueuedConnection);
  sheet->present();
}

void ContactPickerView::closeNameSheet() {
  pending_.reset();
  if (ConfirmContactNameSheet* sheet = sheet_.data()) {
    sheet_.clear();
    sheet->deleteLater();
  }
}

void ContactPickerView::confirmName() {
  if (!pending_) return;
  ContactSummary contact = *pending_;
  contact.displayName = finalizedContactName(confirmedName_, contact);
  closeNameSheet();
  host_.startProcessing(contact);
}

}  // namespace murmela
