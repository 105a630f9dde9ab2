#pragma once

#include "kit/text/TextLayout.h"
#include "kit/widgets/ScrollInput.h"
#include "sharelinks/ShareCacheEntry.h"
#include "sheets/myshares/MyShareRow.h"
#include "sheets/myshares/MySharesHost.h"
#include "sheets/OnboardingSheet.h"

#include <QList>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <optional>

namespace murmela {

// The "My shares" sheet, 390 x 520 and window-modal over the home screen:
// the live share links (the host's activeShares), each with "Copy"
// (its address to the clipboard) and "Revoke", which only names the link to
// the home screen, whose confirmation then revokes it. A failed
// revocation's text stands in a box above the list. Each time the sheet is
// shown it refreshes the list; "Done" and Esc close it.
class MySharesView : public OnboardingSheet {
  Q_OBJECT

 public:
  static constexpr QSizeF kSize{390.0, 520.0};
  static constexpr qreal kPadding = 24.0;
  static constexpr qreal kSpacing = 18.0;
  static constexpr qreal kRowSpacing = 10.0;
  static constexpr qreal kErrorPadding = 10.0;
  static constexpr qreal kErrorRadius = 8.0;
  static constexpr int kErrorLines = 5;  // a longer failure text ends in an ellipsis
  static constexpr qreal kEmptyPadding = 28.0;
  static constexpr qreal kEmptySpacing = 8.0;
  static constexpr qreal kEmptyRadius = 10.0;

  struct ButtonId {
    enum : int { done = 1, firstRow = 100 };  // a row's Copy is firstRow + 2 i, its Revoke the next
  };

  // `requestRevocation` is the home screen's pending revocation: "Revoke" sets it.
  MySharesView(MySharesHost host, std::function<void(const ShareCacheEntry&)> requestRevocation,
               QWidget* parent = nullptr);

  struct Layout {
    QRectF header;
    TextLayout title;
    QPointF titleOrigin;
    QRectF done;
    std::optional<QRectF> errorBox;
    TextLayout error;
    QPointF errorOrigin;
    std::optional<QRectF> emptyCard;
    TextLayout emptyTitle;
    QPointF emptyTitleOrigin;
    TextLayout emptyNote;
    QPointF emptyNoteOrigin;
    QRectF list;                     // the scrolled list's place; empty without links
    QList<MyShareRow::Layout> rows;  // in content coordinates: x as on the sheet, y from the list's top
    qreal contentHeight = 0.0;
  };
  // Without links the column is as tall as its content and centred in the
  // sheet; with links the list takes the height the rest leaves.
  static Layout layoutFor(const QList<ShareCacheEntry>& shares, const std::optional<QString>& error);
  const Layout& sheetLayout() const { return layout_; }
  const QList<MyShareRow>& rows() const { return rows_; }
  const VerticalScroller& scroller() const { return scroll_->scroller(); }

  // Puts the link's full address on the clipboard as plain text, replacing what was there.
  static void copyLink(const ShareCacheEntry& share);

 protected:
  void paintContent(QPainter& painter) const override;
  QList<ButtonTarget> buttonTargets() const override;
  QList<ShownText> shownTexts() const override;
  void showEvent(QShowEvent* event) override;

 private:
  void contentChanged();
  std::optional<int> focusShown() const;
  // Says a revocation that went through, or the error it left.
  void sayRevocationOutcome();

  MySharesHost host_;
  std::function<void(const ShareCacheEntry&)> requestRevocation_;
  QList<MyShareRow> rows_;
  std::optional<QString> revoking_;   // the share whose Revoke was pressed last
  std::optional<QString> saidError_;  // the revocation error last said
  Layout layout_;
  ScrollInput* scroll_ = nullptr;
};

}  // namespace murmela
