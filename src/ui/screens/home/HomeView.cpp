#include "screens/home/HomeView.h"

#include "sheets/myshares/MySharesView.h"

#include <QKeyEvent>
#include <QPainter>
#include <QShowEvent>

namespace murmela {
namespace {

constexpr int kResetAnswer = 1;   // "Cancel", "Reset App"
constexpr int kRevokeAnswer = 1;  // "Cancel", "Revoke"

}  // namespace

AlertRequest HomeView::resetRequest() {
  return {kResetTitle,
          kResetMessage,
          {{QStringLiteral("Cancel"), AlertRole::cancel}, {QStringLiteral("Reset App"), AlertRole::destructive}}};
}

AlertRequest HomeView::revokeRequest() {
  return {kRevokeTitle,
          kRevokeMessage,
          {{QStringLiteral("Cancel"), AlertRole::cancel}, {QStringLiteral("Revoke"), AlertRole::destructive}}};
}

AlertRequest HomeView::processingErrorRequest(const QString& error) {
  return {error, QString(), {{QStringLiteral("Dismiss"), AlertRole::cancel}}};
}

HomeView::HomeView(HomeHost host, QWidget* parent)
    : QWidget(parent), host_(std::move(host)), clock_([] { return Date::now(); }), alerts_(dialogAlertPresenter()) {
  setFixedSize(HomeViewLayout::kSize.toSize());
  buttons_ = new ButtonHost(this, [this] { return buttonTargets(); });
  buttons_->setDefaultButton(HomeButton::newMurmela);
  reader_ = new PaintedReader(this, buttons_);
  reader_->setTexts([this] { return shownTexts(); });
  // The open menu's backdrop only takes the pointer's clicks around the
  // menu: readers close a menu with Escape and are not shown a button that
  // covers the screen.
  reader_->setButtons([this] {
    QList<ButtonTarget> targets = buttonTargets();
    targets.removeIf([](const ButtonTarget& target) { return target.id == HomeButton::menuBackdrop; });
    return targets;
  });
  scroll_ = new ScrollInput(this, [this](int id) -> std::optional<QRectF> {
    const qsizetype row = id - HomeButton::firstRow;
    if (row < 0 || row >= layout_.rowLayouts.size()) return std::nullopt;
    return layout_.rowLayouts[row].frame;
  });
  connect(scroll_, &ScrollInput::scrolled, reader_, &PaintedReader::contentChanged);
  host_.changed(this, [this] { contentChanged(); });
  if (host_.processingErrorChanged) host_.processingErrorChanged(this, [this] { showProcessingError(); });
  contentChanged();
}

void HomeView::setClock(Clock clock) {
  clock_ = std::move(clock);
  contentChanged();
}

HomeViewLayout HomeView::screenLayout() const { return layout_; }

void HomeView::contentChanged() {
  layout_ = HomeViewLayout::make({host_.pastWraps(), host_.shares.activeShares().size(), clock_(), menuOpen_});
  // The indicator sits in the right margin, clear of the rows.
  scroll_->setEnabled(!menuOpen_);
  scroll_->scroller().setGeometry(layout_.library.adjusted(0.0, 0.0, HomeViewLayout::kPadding / 2.0, 0.0),
                                  layout_.contentHeight);
  update();
  reader_->contentChanged();
}

void HomeView::reload() {
  host_.reloadPastWraps();
  host_.shares.refreshActiveShares();
}

void HomeView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) {
    reload();
    showProcessingError();
  }
}

void HomeView::showProcessingError() {
  if (errorAlertVisible_ || !isVisible() || !host_.processingError) return;
  const std::optional<QString> error = host_.processingError();
  if (!error) return;
  errorAlertVisible_ = true;
  alerts_(this, processingErrorRequest(*error),
          [view = QPointer<HomeView>(this)](int) {
            if (!view) return;
            view->errorAlertVisible_ = false;
            if (view->host_.dismissProcessingError) view->host_.dismissProcessingError();
          });
}

HomePaintState HomeView::paintState() const {
  HomePaintState state;
  state.gear = buttons_->state(HomeButton::gear);
  state.menuItem = buttons_->state(HomeButton::menuItem);
  state.newButton = buttons_->state(HomeButton::newMurmela);
  state.myShares = buttons_->state(HomeButton::myShares);
  for (qsizetype i = 0; i < layout_.rows.size(); ++i)
    state.rows.append(buttons_->state(HomeButton::firstRow + static_cast<int>(i)));
  state.focusedButton = focusShown();
  state.scroller = scroll_->scroller();
  return state;
}

void HomeView::paintScreen(QPainter& painter) const { paintHome(painter, layout_, paintState()); }

void HomeView::paintEvent(QPaintEvent*) {
  scroll_->followFocus(focusShown());
  QPainter painter(this);
  paintScreen(painter);
}

std::optional<int> HomeView::focusShown() const {
  const std::optional<int> focused = buttons_->focused();
  return focused && buttons_->showsFocus(*focused) ? focused : std::nullopt;
}

QList<ButtonTarget> HomeView::buttonTargets() const {
  auto* self = const_cast<HomeView*>(this);
  const auto text = [](const TextLayout& layout, QPointF origin) {
    return shownText(layout, {origin, layout.size}).text;
  };
  if (menuOpen_) {
    // A click anywhere but on the item closes the menu; the item answers first.
    return {{.id = HomeButton::menuBackdrop,
             .rect = rect(),
             .focusable = false,
             .action = [self] { self->setSettingsMenuOpen(false); },
             .name = QStringLiteral("Close menu")},
            {.id = HomeButton::menuItem,
             .rect = layout_.menuItem,
             .action = [self] { self->requestReset(); },
             .cursor = Qt::PointingHandCursor,
             .role = ButtonRole::menuItem,
             .name = text(layout_.menuText, layout_.menuTextOrigin),
             .group = QStringLiteral("Settings")}};
  }
  QList<ButtonTarget> targets;
  targets.append({.id = HomeButton::gear,
                  .rect = layout_.gear,
                  .action = [self] { self->setSettingsMenuOpen(true); },
                  .cursor = Qt::PointingHandCursor,
                  .name = QStringLiteral("Settings")});
  targets.append({.id = HomeButton::newMurmela,
                  .rect = layout_.newButton,
                  .action = [self] { self->host_.beginNewMurmela(); },
                  .cursor = Qt::PointingHandCursor,
                  .name = text(layout_.newTitle, layout_.newTitleOrigin),
                  .description = text(layout_.newSubtitle, layout_.newSubtitleOrigin)});
  // Rows take clicks only where they show; those out of view still take the focus.
  const qreal shift = layout_.library.top() - scroll_->scroller().offset();
  for (qsizetype i = 0; i < layout_.rowLayouts.size(); ++i) {
    const int index = static_cast<int>(i);
    const PastWrapRow::Layout& row = layout_.rowLayouts[i];
    targets.append({.id = HomeButton::firstRow + index,
                    .rect = row.frame.translated(0.0, shift).intersected(layout_.library),
                    .action = [self, index] { self->openRow(index); },
                    .cursor = Qt::PointingHandCursor,
                    .name = text(row.name, row.nameOrigin),
                    .description = text(row.detail, row.detailOrigin)});
  }
  targets.append({.id = HomeButton::myShares,
                  .rect = layout_.myShares,
                  .action = [self] { self->openMyShares(); },
                  .cursor = Qt::PointingHandCursor,
                  .name = text(layout_.mySharesLabel, layout_.mySharesLabelOrigin),
                  .value = text(layout_.shareCount, layout_.shareCountOrigin),
                  // Readers say a button's description, not its value: the count it shows.
                  .description = text(layout_.shareCount, layout_.shareCountOrigin)});
  return targets;
}

QList<ShownText> HomeView::shownTexts() const {
  const HomeViewLayout& l = layout_;
  QList<ShownText> texts{withId(shownText(l.wordmark, {l.wordmarkOrigin, l.wordmark.size}), 0),
                         withId(shownText(l.aside, l.asideRect), 1), withId(shownText(l.title, l.titleRect, true), 2),
                         withId(shownText(l.recent, {l.recentOrigin, l.recent.size}), 3)};
  if (l.emptyCard) {
    const QPointF shift(0.0, l.library.top() - scroll_->scroller().offset());
    texts.append(withId(shownText(l.emptyTitle, QRectF(l.emptyTitleOrigin + shift, l.emptyTitle.size)), 4));
    texts.append(withId(shownText(l.emptyNote, QRectF(l.emptyNoteOrigin + shift, l.emptyNote.size)), 5));
  }
  return texts;
}

void HomeView::setSettingsMenuOpen(bool open) { setSettingsMenuOpen(open, true); }

void HomeView::setSettingsMenuOpen(bool open, bool keysToGear) {
  if (menuOpen_ == open) return;
  const bool byKeyboard = focusShown().has_value();
  menuOpen_ = open;
  if (!open && !keysToGear) buttons_->dropFocus();
  contentChanged();
  // The keyboard goes into the menu it opened, and back to the gear when the menu closes.
  if (byKeyboard && (open || keysToGear)) buttons_->focusButton(open ? HomeButton::menuItem : HomeButton::gear);
}

void HomeView::requestReset() {
  // Chosen with the keyboard, a cancelled reset hands it back to the gear;
  // until then the alert has it (the gear taking it on the way would be
  // said before the alert).
  const bool byKeyboard = focusShown().has_value();
  setSettingsMenuOpen(false, false);
  resetConfirmationVisible_ = true;
  alerts_(this, resetRequest(), [view = QPointer<HomeView>(this), byKeyboard](int answer) {
    if (!view) return;
    view->answerReset(answer);
    if (view && byKeyboard && answer != kResetAnswer) {
      view->activateWindow();
      view->buttons_->focusButton(HomeButton::gear);
    }
  });
}

void HomeView::answerReset(int answer) {
  resetConfirmationVisible_ = false;
  // The reset takes the application to the welcome screen: nothing here runs after it.
  if (answer == kResetAnswer) host_.resetAppToFirstRun();
}

void HomeView::openRow(int index) {
  if (index < 0 || index >= host_.pastWraps().size()) return;
  const PastWrap wrap = host_.pastWraps().at(index);
  host_.openPastWrap(wrap);
}

void HomeView::openMyShares() {
  host_.shares.refreshActiveShares();
  sharesSheetVisible_ = true;
  if (!sheet_) {
    sheet_ = new MySharesView(
        host_.shares,
        [view = QPointer<HomeView>(this)](const ShareCacheEntry& entry) {
          if (view) view->setSharePendingRevocation(entry);
        },
        this);
    sheet_->setAttribute(Qt::WA_DeleteOnClose);
    buttons_->returnFocusAfter(sheet_);
    connect(sheet_, &QDialog::finished, this, [this] {
      sharesSheetVisible_ = false;
      // A confirmation standing over the sheet goes with it, unanswered.
      revokeConfirmationVisible_ = false;
      sharePendingRevocation_.reset();
    });
  }
  sheet_->present();
}

void HomeView::setSharePendingRevocation(const std::optional<ShareCacheEntry>& entry) {
  sharePendingRevocation_ = entry;
  if (!entry || revokeConfirmationVisible_) return;
  revokeConfirmationVisible_ = true;
  QWidget* over = sheet_ ? static_cast<QWidget*>(sheet_.data()) : this;
  alerts_(over, revokeRequest(), [view = QPointer<HomeView>(this)](int answer) {
    if (view) view->answerRevoke(answer);
  });
}

void HomeView::answerRevoke(int answer) {
  revokeConfirmationVisible_ = false;
  const std::optional<ShareCacheEntry> entry = std::exchange(sharePendingRevocation_, std::nullopt);
  if (answer == kRevokeAnswer && entry) host_.revokeShare(*entry);
}

void HomeView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && menuOpen_) {
    setSettingsMenuOpen(false);
    return;
  }
  // Up and Down keep to the menu's one item, as a menu's keys do.
  if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && menuOpen_) {
    buttons_->focusButton(HomeButton::menuItem);
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace murmela
