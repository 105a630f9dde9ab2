#pragma once

#include "common/Date.h"
#include "kit/access/PaintedReader.h"
#include "kit/widgets/ButtonHost.h"
#include "kit/widgets/ScrollInput.h"
#include "screens/home/HomeHost.h"
#include "screens/home/HomeViewLayout.h"
#include "sharelinks/ShareCacheEntry.h"
#include "sheets/ConfirmationAlert.h"
#include "sheets/myshares/MySharesView.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

namespace murmela {

// The returning user's library, 390 x 780: the saved reports (each reopens
// as its deck), "New Murmela", the "My shares" sheet with the links made so
// far, and behind the gear the reset to a first launch. It keeps only its
// own view state (the menu, which alert or sheet is up, the scroll offset);
// every effect goes through its host.
//
// Each time it is shown it lists the saved reports afresh and refreshes the
// active shares. The library scrolls with the wheel and its indicator when it
// is taller than its place.
class HomeView : public QWidget {
  Q_OBJECT

 public:
  using Clock = std::function<Date()>;

  static inline const QString kResetTitle = QStringLiteral("Reset Murmela?");
  static inline const QString kResetMessage = QStringLiteral(
      "This deletes your preferences, the downloaded privacy filter with its model caches, and the analysis logs. "
      "Saved Murmelas and share links are kept. You'll be returned to onboarding.");
  static inline const QString kRevokeTitle = QStringLiteral("Revoke this share?");
  static inline const QString kRevokeMessage = QStringLiteral("Anyone with the link will see a revoked page.");

  explicit HomeView(HomeHost host, QWidget* parent = nullptr);

  // The two confirmations: "Cancel", then "Reset App" or "Revoke" (destructive).
  static AlertRequest resetRequest();
  static AlertRequest revokeRequest();
  // The last run's error as the alert's title, with "Dismiss".
  static AlertRequest processingErrorRequest(const QString& error);

  // The screen as it stands now (the name avoids QWidget::layout()).
  HomeViewLayout screenLayout() const;
  HomePaintState paintState() const;
  // Paints the whole screen into the painter's 390 x 780 points from (0, 0).
  void paintScreen(QPainter& painter) const;

  bool settingsMenuOpen() const { return menuOpen_; }
  bool resetConfirmationVisible() const { return resetConfirmationVisible_; }
  bool sharesSheetVisible() const { return sharesSheetVisible_; }
  const std::optional<ShareCacheEntry>& sharePendingRevocation() const { return sharePendingRevocation_; }
  bool errorAlertVisible() const { return errorAlertVisible_; }
  MySharesView* sharesSheet() const { return sheet_.data(); }
  ButtonHost& buttonHost() { return *buttons_; }
  PaintedReader& reader() { return *reader_; }
  const VerticalScroller& scroller() const { return scroll_->scroller(); }

  // "Today" is decided against this clock (the system clock by default).
  void setClock(Clock clock);
  void setAlertPresenter(AlertPresenter presenter) { alerts_ = std::move(presenter); }

  // What the buttons do.
  void setSettingsMenuOpen(bool open);
  void requestReset();
  void openMyShares();
  void openRow(int index);
  // The sheet names the link to revoke; the confirmation follows.
  void setSharePendingRevocation(const std::optional<ShareCacheEntry>& entry);
  // Lists the saved reports afresh and refreshes the active shares, as
  // showing the screen does.
  void reload();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Closing, the keyboard goes back to the gear only when `keysToGear`.
  void setSettingsMenuOpen(bool open, bool keysToGear);
  QList<ButtonTarget> buttonTargets() const;
  QList<ShownText> shownTexts() const;
  void contentChanged();
  std::optional<int> focusShown() const;
  void answerReset(int answer);
  void answerRevoke(int answer);
  // Shows the last run's error in an alert, once, while the screen is up.
  void showProcessingError();

  HomeHost host_;
  Clock clock_;
  AlertPresenter alerts_;
  HomeViewLayout layout_;
  ButtonHost* buttons_ = nullptr;
  PaintedReader* reader_ = nullptr;
  ScrollInput* scroll_ = nullptr;

  bool menuOpen_ = false;
  bool resetConfirmationVisible_ = false;
  bool sharesSheetVisible_ = false;
  bool revokeConfirmationVisible_ = false;
  bool errorAlertVisible_ = false;
  std::optional<ShareCacheEntry> sharePendingRevocation_;
  QPointer<MySharesView> sheet_;
};

}  // namespace murmela
