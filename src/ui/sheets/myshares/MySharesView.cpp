#include "sheets/myshares/MySharesView.h"

#include "kit/controls/LibraryStyle.h"
#include "kit/paint/PainterState.h"
#include "theme/MurmelaTheme.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QShowEvent>

#include <algorithm>

namespace murmela {
namespace {

using V = MySharesView;

const QString kEmptyTitle = QStringLiteral("No active shares.");
const QString kEmptyNote = QStringLiteral("Generated links will show up here until they expire.");
const TextStyle kTitleStyle{.typeface = Typeface::dmSerifDisplay, .size = 30, .color = MurmelaTheme::ink};
const TextStyle kErrorStyle{.typeface = Typeface::inter, .size = 10, .color = MurmelaTheme::rose};
const TextStyle kEmptyTitleStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 20, .color = MurmelaTheme::ink, .alignment = TextAlign::center};
const TextStyle kEmptyNoteStyle{.typeface = Typeface::inter,
                                .size = 10,
                                .tracking = 1.1,
                                .upperCase = true,
                                .color = MurmelaTheme::inkSoft,
                                .alignment = TextAlign::center};

ButtonStyle doneStyle() {
  ButtonStyle style;
  style.label = SymbolLabel{
      .symbol = std::nullopt,
      .text = QStringLiteral("Done"),
      .style = TextStyle{
          .typeface = Typeface::inter, .size = 11, .weight = QFont::DemiBold, .color = MurmelaTheme::sageDeep}};
  style.content = MurmelaTheme::sageDeep;
  style.cornerRadius = 0.0;
  style.pressedOpacity = kPlainButtonPressedOpacity;
  return style;
}

}  // namespace

V::Layout MySharesView::layoutFor(const QList<ShareCacheEntry>& shares, const std::optional<QString>& error) {
  Layout layout;
  const qreal left = kPadding;
  const qreal width = kSize.width() - 2.0 * kPadding;

  // Measured first, placed once the column's top is known.
  layout.title = layoutText(QStringLiteral("My shares"), kTitleStyle);
  const QSizeF done = doneStyle().label.layout().size;
  const qreal headerHeight = std::max(layout.title.height(), done.height());
  if (error) layout.error = layoutText(*error, kErrorStyle, width - 2.0 * kErrorPadding, kErrorLines);
  const qreal errorHeight = error ? layout.error.height() + 2.0 * kErrorPadding : 0.0;
  qreal emptyHeight = 0.0;
  if (shares.isEmpty()) {
    const qreal textWidth = width - 2.0 * kEmptyPadding;
    layout.emptyTitle = layoutText(kEmptyTitle, kEmptyTitleStyle, textWidth);
    layout.emptyNote = layoutText(kEmptyNote, kEmptyNoteStyle, textWidth);
    emptyHeight = 2.0 * kEmptyPadding + layout.emptyTitle.height() + kEmptySpacing + layout.emptyNote.height();
  }

  qreal top = kPadding;
  if (shares.isEmpty()) {
    const qreal column = headerHeight + (error ? kSpacing + errorHeight : 0.0) + kSpacing + emptyHeight;
    top = std::max(kPadding, (kSize.height() - column) / 2.0);
  }
  layout.header = QRectF(left, top, width, headerHeight);
  layout.titleOrigin = QPointF(left, layout.header.center().y() - layout.title.height() / 2.0);
  layout.done =
      QRectF(QPointF(layout.header.right() - done.width(), layout.header.center().y() - done.height() / 2.0), done);
  qreal y = layout.header.bottom() + kSpacing;
  if (error) {
    layout.errorBox = QRectF(left, y, width, errorHeight);
    layout.errorOrigin = QPointF(left + kErrorPadding, y + kErrorPadding);
    y = layout.errorBox->bottom() + kSpacing;
  }
  if (shares.isEmpty()) {
    layout.emptyCard = QRectF(left, y, width, emptyHeight);
    const qreal centre = layout.emptyCard->center().x();
    layout.emptyTitleOrigin = QPointF(centre - layout.emptyTitle.width() / 2.0, y + kEmptyPadding);
    layout.emptyNoteOrigin = QPointF(centre - layout.emptyNote.width() / 2.0,
                                     layout.emptyTitleOrigin.y() + layout.emptyTitle.height() + kEmptySpacing);
    return layout;
  }
  layout.list = QRectF(left, y, width, std::max(0.0, kSize.height() - kPadding - y));
  qreal rowTop = 0.0;
  for (const ShareCacheEntry& share : shares) {
    layout.rows.append(MyShareRow{share, {}, {}}.layout(QPointF(left, rowTop), width));
    rowTop = layout.rows.last().frame.bottom() + kRowSpacing;
  }
  layout.contentHeight = rowTop - kRowSpacing;
  return layout;
}

MySharesView::MySharesView(MySharesHost host, std::function<void(const ShareCacheEntry&)> requestRevocation,
                           QWidget* parent)
    : OnboardingSheet(kSize.width(), parent), host_(std::move(host)), requestRevocation_(std::move(requestRevocation)) {
  setWindowTitle(QStringLiteral("My shares"));
  setContentHeight(kSize.height());
  buttonHost().setDefaultButton(ButtonId::done);
  scroll_ = new ScrollInput(this, [this](int id) -> std::optional<QRectF> {
    const qsizetype row = (id - ButtonId::firstRow) / 2;
    if (id < ButtonId::firstRow || row >= layout_.rows.size()) return std::nullopt;
    return layout_.rows[row].frame;
  });
  connect(scroll_, &ScrollInput::scrolled, &reader(), &PaintedReader::contentChanged);
  host_.changed(this, [this] { contentChanged(); });
  // With no links Done is the only stop, and Tab would be silent: it says
  // why there is nothing else.
  connect(&buttonHost(), &ButtonHost::focusStayed, this, [this] {
    if (layout_.emptyCard) reader().announce(kEmptyTitle + QLatin1Char(' ') + kEmptyNote);
  });
  contentChanged();
}

void MySharesView::contentChanged() {
  rows_.clear();
  for (const ShareCacheEntry& share : host_.activeShares()) {
    rows_.append({share,
                  [this, share] {
                    revoking_ = share.shareID;
                    if (requestRevocation_) requestRevocation_(share);
                  },
                  [this, share] {
                    copyLink(share);
                    // Nothing shows the copy; a screen reader hears of it.
                    reader().announce(QStringLiteral("Link copied"));
                  }});
  }
  layout_ = layoutFor(host_.activeShares(), host_.shareRevocationError());
  // The indicator sits in the right margin, clear of the rows.
  scroll_->scroller().setGeometry(layout_.list.adjusted(0.0, 0.0, kPadding / 2.0, 0.0), layout_.contentHeight);
  OnboardingSheet::contentChanged();
  // Said once the rows are the new ones: a ring on a row that went moves
  // before the news, not after it (which would cut it short).
  sayRevocationOutcome();
}

void MySharesView::sayRevocationOutcome() {
  const std::optional<QString> error = host_.shareRevocationError();
  if (error && error != saidError_) reader().announce(*error);
  saidError_ = error;
  if (!revoking_) return;
  const QList<ShareCacheEntry> shares = host_.activeShares();
  const bool listed = std::any_of(shares.cbegin(), shares.cend(),
                                  [&](const ShareCacheEntry& share) { return share.shareID == *revoking_; });
  // Its row went: the revocation went through (a cancelled one keeps it).
  if (!listed && !error) {
    reader().announce(QStringLiteral("Share revoked"));
    revoking_.reset();
  }
}

void MySharesView::copyLink(const ShareCacheEntry& share) {
  QGuiApplication::clipboard()->setText(share.shareURL.toString(QUrl::FullyEncoded));
}

void MySharesView::showEvent(QShowEvent* event) {
  OnboardingSheet::showEvent(event);
  if (!event->spontaneous()) host_.refreshActiveShares();
}

std::optional<int> MySharesView::focusShown() const {
  const std::optional<int> focused = const_cast<MySharesView*>(this)->buttonHost().focused();
  return focused && showsFocus(*focused) ? focused : std::nullopt;
}

void MySharesView::paintContent(QPainter& painter) const {
  scroll_->followFocus(focusShown());
  layout_.title.draw(painter, layout_.titleOrigin);
  paintLibraryButton(painter, doneStyle(), layout_.done, buttonState(ButtonId::done), showsFocus(ButtonId::done));
  if (layout_.errorBox) {
    LibraryCard{.radius = kErrorRadius, .outlined = false}.paint(painter, *layout_.errorBox);
    layout_.error.draw(painter, layout_.errorOrigin);
  }
  if (layout_.emptyCard) {
    LibraryCard{.radius = kEmptyRadius, .outlined = false}.paint(painter, *layout_.emptyCard);
    layout_.emptyTitle.draw(painter, layout_.emptyTitleOrigin);
    layout_.emptyNote.draw(painter, layout_.emptyNoteOrigin);
  }
  if (rows_.isEmpty()) return;
  const VerticalScroller& scroller = scroll_->scroller();
  {
    const PainterStateScope scope(painter);
    // Wide enough on the sides for a pill's focus ring; rows scroll under the top and bottom edges.
    painter.setClipRect(layout_.list.adjusted(-kPadding / 2.0, 0.0, kPadding / 2.0, 0.0));
    const qreal shift = layout_.list.top() - scroller.offset();
    painter.translate(0.0, shift);
    for (qsizetype i = 0; i < rows_.size() && i < layout_.rows.size(); ++i) {
      if (!layout_.rows[i].frame.translated(0.0, shift).intersects(layout_.list)) continue;
      const int copy = ButtonId::firstRow + 2 * static_cast<int>(i);
      rows_[i].paint(painter, layout_.rows[i],
                     {buttonState(copy), buttonState(copy + 1), showsFocus(copy), showsFocus(copy + 1)});
    }
  }
  scroller.paint(painter, MurmelaTheme::sageDeep);
}

QList<ButtonTarget> MySharesView::buttonTargets() const {
  auto* self = const_cast<MySharesView*>(this);
  QList<ButtonTarget> targets;
  targets.append({.id = ButtonId::done,
                  .rect = layout_.done,
                  .action = [self] { self->reject(); },
                  .cursor = Qt::PointingHandCursor,
                  .name = QStringLiteral("Done")});
  const qreal shift = layout_.list.top() - scroll_->scroller().offset();
  for (qsizetype i = 0; i < rows_.size() && i < layout_.rows.size(); ++i) {
    const int copy = ButtonId::firstRow + 2 * static_cast<int>(i);
    const MyShareRow& row = rows_[i];
    const MyShareRow::Layout& placed = layout_.rows[i];
    // Each pill says which link it is for.
    const QString link = MyShareRow::nameLine(row.share);
    // Pills take clicks only where they show; those out of view still take the focus.
    targets.append({.id = copy,
                    .rect = placed.copy.translated(0.0, shift).intersected(layout_.list),
                    .action = row.onCopy,
                    .cursor = Qt::PointingHandCursor,
                    .name = QStringLiteral("Copy"),
                    .description = link});
    targets.append({.id = copy + 1,
                    .rect = placed.revoke.translated(0.0, shift).intersected(layout_.list),
                    .action = row.onRevoke,
                    .cursor = Qt::PointingHandCursor,
                    .name = QStringLiteral("Revoke"),
                    .description = link});
  }
  return targets;
}

QList<ShownText> MySharesView::shownTexts() const {
  const Layout& l = layout_;
  const auto at = [](const TextLayout& text, QPointF origin) { return shownText(text, {origin, text.size}); };
  QList<ShownText> texts{withId(at(l.title, l.titleOrigin), 0)};
  texts.first().heading = true;
  if (l.errorBox) texts.append(withId(at(l.error, l.errorOrigin), 1));
  if (l.emptyCard) {
    texts.append(withId(at(l.emptyTitle, l.emptyTitleOrigin), 2));
    texts.append(withId(at(l.emptyNote, l.emptyNoteOrigin), 3));
  }
  const QPointF shift(0.0, l.list.top() - scroll_->scroller().offset());
  for (qsizetype i = 0; i < l.rows.size(); ++i) {
    const MyShareRow::Layout& row = l.rows[i];
    ShownText name = at(row.name, row.nameOrigin + shift);
    ShownText dates = at(row.dates, row.datesOrigin + shift);
    // Whole, where the row cuts them to fit (and in their own case).
    if (i < rows_.size()) {
      name.text = MyShareRow::nameLine(rows_[i].share);
      dates.text = MyShareRow::datesLine(rows_[i].share);
    }
    // A row's texts go by the share they show.
    const int first = 4 + 2 * static_cast<int>(i);
    texts.append(withId(name, first));
    texts.append(withId(dates, first + 1));
  }
  return texts;
}

}  // namespace murmela
