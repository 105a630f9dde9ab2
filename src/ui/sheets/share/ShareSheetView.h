#pragma once

#include "common/Date.h"
#include "deck/ShareSheetRequest.h"
#include "deck/SlideShareContext.h"
#include "kit/motion/FrameTicker.h"
#include "kit/motion/Motion.h"
#include "kit/access/PaintedReader.h"
#include "kit/widgets/ButtonHost.h"
#include "sharelinks/ShareLinkClient.h"
#include "sharing/ShareDestination.h"
#include "sharing/ShareServices.h"
#include "sheets/share/ShareSheetLayout.h"
#include "sheets/share/ShareSheetState.h"

#include <QPointer>
#include <QWidget>

#include <exception>
#include <functional>
#include <optional>

namespace murmela {

class ToastManager;

// What the share sheet asks of the world; tests replace any part.
struct ShareSheetEnvironment {
  std::function<ShareLinkClient()> makeClient = [] { return ShareLinkClient(); };
  ShareServices services = ShareServices::system();
  Clock clock = &monotonicSeconds;
  std::function<Date()> now = &Date::now;
  // Whether the sheet fades itself in and out; off where its host fades it.
  bool fadesItself = true;
};

// The share sheet over the deck for one slide's share request: a painted
// child of the deck's overlay host that covers the deck. A plain choice goes
// back to the deck through onSelect; the sheet itself only makes share links
// (for the Messages and X tiles of the whole deck, and for "Generate link")
// and shows the link page. Link requests run on the share-link worker; the
// sheet never cancels one, and a request that finishes after its sheet
// closed touches no other sheet.
class ShareSheetView : public QWidget {
  Q_OBJECT

 public:
  using DismissHandler = std::function<void()>;
  using SelectHandler = std::function<void(ShareDestination, ShareMode)>;

  using Environment = ShareSheetEnvironment;

  static constexpr double kPresentSeconds = 0.22;  // fade in and out, ease-out
  static constexpr double kLinkPageSeconds = 0.2;
  static constexpr double kBackSeconds = 0.18;

  ShareSheetView(SlideShareContext context, ToastManager& toast, DismissHandler onDismiss, SelectHandler onSelect,
                 QWidget* parent = nullptr, Environment environment = {});

  const SlideShareContext& context() const { return context_; }
  const ShareSheetState& state() const { return state_; }
  ShareSheetLayout sheetLayout() const;
  QString headerSubtitle() const;

  // Fades out and deletes itself (at once with motion off). The deck calls
  // it once its presenter is cleared; a closing sheet takes no input.
  void closeAnimated();
  bool isClosing() const { return closing_; }
  // The presentation value (0 ... 1) it is painted at now.
  qreal presentation() const;
  // Whether it is fading, switching pages or scrolling its social row.
  bool isAnimating() const;

  // Builds the sheet for the deck's request: a plain choice runs as a share
  // controller action with the request's context and toasts, and the deck
  // fades the sheet (so it does not fade itself).
  static ShareSheetFactory factory(ShareSheetEnvironment environment = {});

  // The text a failed link request shows.
  static QString linkFailureText(const std::exception_ptr& error);

  // Its painted controls are a button host's: the pointer, Tab (round the
  // sheet only), Space and Return; the arrows move the ring too.
  ButtonHost& buttonHost() { return *buttons_; }
  PaintedReader& reader() { return *reader_; }
  // A target's id in the host, and back.
  static int idOf(const SheetTarget& target);
  static SheetTarget targetOf(int id);

 Q_SIGNALS:
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void activate(const SheetTarget& target);
  void selectTile(int index);
  void stepSocial(ScrollChevron::Direction direction);
  void generateLink();
  void generateLinkForSocial(ShareDestination destination);
  void activateMenu(LinkShareMenu::Item item);
  void sayOptions(const SheetTarget& tab);
  void dismiss();
  // The generated-link page has arrived: focus on "Copy link" and say what it shows.
  // Scrolls a failure longer than its box by `by` points (down when positive).
  void scrollError(qreal by);
  void linkPageShown();
  void setPage(std::optional<ShareLinkGenerationResult> link, double seconds);
  QList<ButtonTarget> buttonTargets() const;
  QList<ShownText> shownTexts() const;
  SheetInteraction interaction() const;
  // Moves the ring onto a target when the keyboard has it.
  void keepKeyboardOn(const SheetTarget& target);
  qreal currentSocialOffset() const;
  void animate();
  bool isMoving() const;
  void tick();
  // What the sheet shows changed: it is painted again and readers are told.
  void changed();

  SlideShareContext context_;
  QPointer<ToastManager> toast_;
  DismissHandler onDismiss_;
  SelectHandler onSelect_;
  Environment environment_;
  ShareSheetState state_;
  ButtonHost* buttons_ = nullptr;
  PaintedReader* reader_ = nullptr;
  bool closing_ = false;
  Transition presentation_;
  Transition page_ = Transition::instant();
  Transition scroll_ = Transition::instant();
  qreal scrollFrom_ = 0.0;
  FrameTicker frames_;
};

}  // namespace murmela
