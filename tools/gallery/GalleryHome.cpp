// The home screen and the "My shares" sheet in their states: an empty
// library, one report, many (scrolling), the settings menu, the reset
// confirmation; no links, links, a failed revocation, the revoke confirmation.
#include "GalleryRegistry.h"
#include "GalleryReports.h"

#include "app/AppCoordinator.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shadow.h"
#include "screens/home/HomeView.h"
#include "sheets/ConfirmationAlert.h"
#include "sheets/myshares/MySharesView.h"
#include "shell/ScreenHosts.h"
#include "theme/MurmelaTheme.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <chrono>
#include <memory>

namespace murmela::gallery {
namespace {

const QList<qreal> kScales{3.0, 1.0};
// 2026-03-04 15:00 in New York: "Today" for the first row.
const Date kNow = Date::fromUnix(1772654400.0);
constexpr double kDay = 86400.0;

// A coordinator with nothing behind it but the share links it lists.
struct Scene {
  std::unique_ptr<AppCoordinator> coordinator;

  explicit Scene(const QList<ShareCacheEntry>& shares = {}, const QList<PastWrap>& wraps = {},
                 const std::optional<QString>& revocationError = std::nullopt) {
    CoordinatorServices services;
    services.now = [] { return kNow; };
    services.activeShares = [shares] { return shares; };
    coordinator = std::make_unique<AppCoordinator>(std::move(services));
    coordinator->setPastWraps(wraps);
    coordinator->refreshActiveShares();
    coordinator->waitForBackgroundWork(std::chrono::seconds(5));
    QCoreApplication::processEvents();
    coordinator->setShareRevocationError(revocationError);
  }
};

PastWrap wrapOf(const QString& reportName, double daysAgo, const QString& them = {}) {
  WrappedReport report = gallery::report(reportName);
  if (!them.isEmpty()) report.participantNames.them = them;
  return {QStringLiteral("/reports/%1-%2.json").arg(reportName).arg(daysAgo), report,
          kNow.addingSeconds(-daysAgo * kDay)};
}

QList<PastWrap> manyWraps() {
  return {wrapOf("rich", 0.1),
          wrapOf("friendship", 1),
          wrapOf("minimal", 40, QStringLiteral("Mary Jane Watson")),
          wrapOf("long-name", 200),
          wrapOf("emoji-name", 400),
          wrapOf("huge-counts", 800, QStringLiteral(" alice ")),
          wrapOf("rtl-name", 1200),
          wrapOf("one-month", 1500, QStringLiteral("Jean-Luc"))};
}

ShareCacheEntry shareOf(const QString& id, const QString& name, double createdDaysAgo) {
  ShareCacheEntry entry;
  entry.shareID = id;
  entry.contactDisplay = name;
  entry.shareURL = QUrl(QStringLiteral("https://murmela.app/s/") + id);
  entry.createdAt = kNow.addingSeconds(-createdDaysAgo * kDay);
  entry.expiresAt = entry.createdAt.addingSeconds(30 * kDay);
  return entry;
}

QList<ShareCacheEntry> someShares() {
  return {shareOf("s3", "Maya", 0.2), shareOf("s2", "Maximiliana Alexandrina Montgomery-Smyth", 3),
          shareOf("s1", "Ana \U0001F338\u2728", 12)};
}

// The pointer over a point, with the button held down when `press`.
void pointAt(QWidget& widget, QPointF point, bool press) {
  QMouseEvent move(QEvent::MouseMove, point, widget.mapToGlobal(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
  if (!press) return;
  QMouseEvent down(QEvent::MouseButtonPress, point, widget.mapToGlobal(point), Qt::LeftButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&widget, &down);
}

// An alert as its window stands over the one below it: centred, with a shadow.
void paintAlertOver(QPainter& painter, const QSizeF& below, const AlertRequest& request) {
  AlertDialog alert(request);
  const QSizeF size = alert.size();
  const QPointF topLeft((below.width() - size.width()) / 2.0, (below.height() - size.height()) / 2.0);
  drawShadow(
      painter,
      [&] {
        QPainterPath path;
        path.addRect(QRectF(topLeft, size));
        return path;
      }(),
      ShadowStyle{withOpacity(MurmelaTheme::ink, 0.28), 14.0, QPointF(0.0, 6.0)});
  const PainterStateScope scope(painter);
  painter.translate(topLeft);
  alert.paintSheet(painter);
}

void paintHomeScene(QPainter& painter, const QList<PastWrap>& wraps, qsizetype shares, bool menu, bool resetAlert,
                    const std::function<void(HomeView&)>& interact = {}) {
  QList<ShareCacheEntry> entries = someShares();
  while (entries.size() > shares) entries.removeLast();
  Scene scene(entries, wraps);
  HomeView home(hostsOf(*scene.coordinator));
  home.setClock([] { return kNow; });
  home.setAlertPresenter([](QWidget*, const AlertRequest&, std::function<void(int)>) {});
  if (menu) home.setSettingsMenuOpen(true);
  if (interact) interact(home);
  home.paintScreen(painter);
  if (resetAlert) paintAlertOver(painter, HomeViewLayout::kSize, HomeView::resetRequest());
}

void paintSharesScene(QPainter& painter, const QList<ShareCacheEntry>& shares, const std::optional<QString>& error,
                      bool revokeAlert, const std::function<void(MySharesView&)>& interact = {}) {
  Scene scene(shares, {}, error);
  MySharesView sheet(hostsOf(*scene.coordinator), {});
  if (interact) interact(sheet);
  sheet.paintSheet(painter);
  if (revokeAlert) paintAlertOver(painter, MySharesView::kSize, HomeView::revokeRequest());
}

void buildHomePage(GalleryPage& page) {
  const QSizeF home = HomeViewLayout::kSize;
  const QSizeF sheet = MySharesView::kSize;
  page.add(
      "home-empty", home, [](QPainter& p) { paintHomeScene(p, {}, 0, false, false); },
      "Home: no saved reports, no shares", kScales);
  page.add(
      "home-one-report", home, [](QPainter& p) { paintHomeScene(p, {wrapOf("rich", 0.1)}, 1, false, false); },
      "Home: one report saved today, one share", kScales);
  page.add(
      "home-many-reports", home, [](QPainter& p) { paintHomeScene(p, manyWraps(), 3, false, false); },
      "Home: eight reports (scrolling; badges cycle; today, yesterday, other years; long names)", kScales);
  page.add(
      "home-menu-open", home, [](QPainter& p) { paintHomeScene(p, manyWraps(), 3, true, false); },
      "Home: the gear's menu open", kScales);
  page.add(
      "home-row-pressed", home,
      [](QPainter& p) {
        paintHomeScene(p, manyWraps(), 3, false, false, [](HomeView& view) {
          const HomeViewLayout layout = view.screenLayout();
          pointAt(view, layout.rowLayouts[1].frame.translated(0.0, layout.library.top()).center(), true);
        });
      },
      "Home: the second row pressed", kScales);
  page.add(
      "home-menu-item-hovered", home,
      [](QPainter& p) {
        paintHomeScene(p, manyWraps(), 3, true, false,
                       [](HomeView& view) { pointAt(view, view.screenLayout().menuItem.center(), false); });
      },
      "Home: the menu's item under the pointer", kScales);
  page.add(
      "home-reset-confirmation", home, [](QPainter& p) { paintHomeScene(p, manyWraps(), 3, false, true); },
      "Home: the reset confirmation", kScales);
  page.add(
      "home-save-failed", home,
      [](QPainter& p) {
        paintHomeScene(p, {}, 0, false, false);
        paintAlertOver(p, HomeViewLayout::kSize,
                       HomeView::processingErrorRequest(
                           AppCoordinator::kSaveFailedPrefix +
                           QStringLiteral("The file \"/home/sam/.local/share/murmela-app/reports/"
                                          "20260101-100000-Sam.json\" could not be written: No space left on device")));
      },
      "Home after Done: a report that could not be saved", kScales);

  page.add(
      "my-shares-empty", sheet, [](QPainter& p) { paintSharesScene(p, {}, std::nullopt, false); },
      "My shares: no live links", kScales);
  page.add(
      "my-shares-rows", sheet, [](QPainter& p) { paintSharesScene(p, someShares(), std::nullopt, false); },
      "My shares: three links, newest first (a long name, an emoji name)", kScales);
  page.add(
      "my-shares-error", sheet,
      [](QPainter& p) {
        paintSharesScene(p, someShares(),
                         QStringLiteral("Share link HTTP 404: {\"error\":\"share not found\",\"detail\":\"The "
                                        "share s3 does not exist or was already removed from this install's "
                                        "account; nothing was changed.\"}"),
                         false);
      },
      "My shares: a failed revocation with a long backend body", kScales);
  page.add(
      "my-shares-error-empty", sheet,
      [](QPainter& p) { paintSharesScene(p, {}, AppCoordinator::kRevocationFailedText, false); },
      "My shares: the fixed failure text over the empty state", kScales);
  page.add(
      "my-shares-revoke-pressed", sheet,
      [](QPainter& p) {
        paintSharesScene(p, someShares(), std::nullopt, false, [](MySharesView& view) {
          const MySharesView::Layout& layout = view.sheetLayout();
          pointAt(view, layout.rows[0].revoke.translated(0.0, layout.list.top()).center(), true);
        });
      },
      "My shares: the first Revoke pressed", kScales);
  page.add(
      "my-shares-revoke-confirmation", sheet,
      [](QPainter& p) { paintSharesScene(p, someShares(), std::nullopt, true); }, "My shares: the revoke confirmation",
      kScales);
}

}  // namespace

MURMELA_GALLERY_AREA(home, "Home and My shares", 60, buildHomePage);

}  // namespace murmela::gallery
