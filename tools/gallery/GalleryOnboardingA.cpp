// The first onboarding screens in their states: welcome, intelligence choice
// and permissions, the runtime setup help sheet, and the frame and buttons
// they are made of. Each picture builds a coordinator of its own over
// stand-in services, puts it in the state shown and paints the real screen.
#include "GalleryRegistry.h"

#include "app/AppCoordinator.h"
#include "common/AppSettings.h"
#include "kit/controls/MurmelaButtonStyles.h"
#include "screens/common/OnboardingFrame.h"
#include "screens/intelligence/IntelligenceCard.h"
#include "screens/intelligence/IntelligenceView.h"
#include "screens/permissions/PermissionsView.h"
#include "screens/welcome/WelcomeView.h"
#include "sheets/PythonInstallHelpSheet.h"
#include "sheets/SheetCloseButton.h"
#include "theme/MurmelaTheme.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace murmela::gallery {
namespace {

const QList<qreal> kScales{3.0, 1.0};
constexpr QSizeF kScreen = OnboardingFrame::kSize;

const QString kLongError = QStringLiteral(
    "[HostedAnalysisError] The hosted analysis answered HTTP 502: <html><body><h1>502 Bad Gateway</h1><p>The "
    "upstream server at analysis.internal did not answer in time while the chunk analysis of step 3 of 5 was "
    "running; retry in a moment or check the backend status page for an ongoing incident.</p></body></html>");

// Everything the screens shown here touch of the coordinator's neighbours:
// the capability and the permission probe; the rest stays unset.
struct Stage {
  HybridPrivacyCapability capability = HybridPrivacyCapability::available(QStringLiteral("0.1.1"));
  std::function<void(AppCoordinator&)> prepare;
};

std::unique_ptr<AppCoordinator> makeCoordinator(const Stage& stage) {
  static QTemporaryDir settings;  // the gallery never writes the user's own defaults
  static const bool pointed = [] {
    AppSettings::shared().useFile(settings.filePath(QStringLiteral("gallery-settings.ini")));
    return true;
  }();
  Q_UNUSED(pointed);
  AppSettings::shared().clearAll();
  CoordinatorServices services;
  services.detectHybridCapability = [capability = stage.capability] { return capability; };
  services.probePermissions = [] { return PermissionSnapshot{}; };
  auto coordinator = std::make_unique<AppCoordinator>(std::move(services));
  if (stage.prepare) stage.prepare(*coordinator);
  return coordinator;
}

// The pointer over (or held down on) a point of a widget.
enum class Pointer { none, hover, press };
void point(QWidget& widget, Pointer pointer, QPointF at) {
  if (pointer == Pointer::none) return;
  QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &move);
  if (pointer != Pointer::press) return;
  QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &press);
}

template <typename View>
using Aim = std::function<QPointF(const typename View::Layout&)>;

// One picture of a screen `View` in a stage, with the pointer where `aim` says.
template <typename View>
void addScreen(GalleryPage& page, const QString& name, const QString& caption, Stage stage,
               Pointer pointer = Pointer::none, Aim<View> aim = {}) {
  page.add(GalleryEntry{name, caption, kScreen, kScales, MurmelaTheme::cream, [stage, pointer, aim](QPainter& painter) {
                          const std::unique_ptr<AppCoordinator> coordinator = makeCoordinator(stage);
                          View view(*coordinator);
                          if (aim) point(view, pointer, aim(view.layout()));
                          view.paintScreen(painter);
                        }});
}

Stage accepted(bool value, std::optional<QString> error = std::nullopt) {
  return {HybridPrivacyCapability::requiresAppleSilicon(), [value, error](AppCoordinator& coordinator) {
            coordinator.setHasAcceptedTerms(value);
            coordinator.setProcessingError(error);
          }};
}

void addWelcome(GalleryPage& page) {
  using Layout = WelcomeView::Layout;
  addScreen<WelcomeView>(page, QStringLiteral("onboarding-welcome"),
                         QStringLiteral("terms not accepted: Get Started at 0.55 and inert"), accepted(false));
  addScreen<WelcomeView>(page, QStringLiteral("onboarding-welcome-accepted"),
                         QStringLiteral("terms accepted: box ticked, Get Started live"), accepted(true));
  addScreen<WelcomeView>(page, QStringLiteral("onboarding-welcome-hover-get-started"),
                         QStringLiteral("Get Started hovered"), accepted(true), Pointer::hover,
                         [](const Layout& l) { return l.getStarted.center(); });
  addScreen<WelcomeView>(page, QStringLiteral("onboarding-welcome-pressed-get-started"),
                         QStringLiteral("Get Started pressed: fill at 0.85"), accepted(true), Pointer::press,
                         [](const Layout& l) { return l.getStarted.center(); });
  addScreen<WelcomeView>(page, QStringLiteral("onboarding-welcome-hover-privacy"),
                         QStringLiteral("the Privacy Policy link hovered"), accepted(false), Pointer::hover,
                         [](const Layout& l) { return l.privacyLink.center(); });
  addScreen<WelcomeView>(
      page, QStringLiteral("onboarding-welcome-error"),
      QStringLiteral("a failed run's error between tagline and terms"),
      accepted(true, QStringLiteral("[WrappedDataError] The Messages database could not be opened.")));
  addScreen<WelcomeView>(page, QStringLiteral("onboarding-welcome-error-long"),
                         QStringLiteral("a long error wraps, centred, and is cut before the terms"),
                         accepted(false, kLongError));
}

Stage permissions(std::optional<PermissionSnapshot> snapshot) {
  return {HybridPrivacyCapability::requiresAppleSilicon(),
          [snapshot](AppCoordinator& coordinator) { coordinator.setPermissions(snapshot); }};
}

void addPermissions(GalleryPage& page) {
  using Layout = PermissionsView::Layout;
  const auto snapshot = [](bool disk, ContactAccessStatus contacts) {
    return std::optional<PermissionSnapshot>(PermissionSnapshot{disk, contacts});
  };
  addScreen<PermissionsView>(page, QStringLiteral("onboarding-permissions-checking"),
                             QStringLiteral("before the first probe: Status: checking…, Continue disabled"),
                             permissions(std::nullopt));
  addScreen<PermissionsView>(page, QStringLiteral("onboarding-permissions-not-determined"),
                             QStringLiteral("nothing granted, contacts not asked yet: Request Access"),
                             permissions(snapshot(false, ContactAccessStatus::notDetermined())));
  addScreen<PermissionsView>(page, QStringLiteral("onboarding-permissions-granted"),
                             QStringLiteral("both granted: two ticks, no buttons, Continue live"),
                             permissions(snapshot(true, ContactAccessStatus::authorized())));
  addScreen<PermissionsView>(page, QStringLiteral("onboarding-permissions-contacts-only"),
                             QStringLiteral("contacts authorized, database missing: Continue stays disabled"),
                             permissions(snapshot(false, ContactAccessStatus::authorized())));
  addScreen<PermissionsView>(page, QStringLiteral("onboarding-permissions-denied"),
                             QStringLiteral("contacts denied: Open Settings asks for an address book"),
                             permissions(snapshot(true, ContactAccessStatus::denied())));
  addScreen<PermissionsView>(page, QStringLiteral("onboarding-permissions-restricted"),
                             QStringLiteral("contacts restricted"),
                             permissions(snapshot(true, ContactAccessStatus::restricted())));
  addScreen<PermissionsView>(page, QStringLiteral("onboarding-permissions-unknown"),
                             QStringLiteral("contacts in a state the app does not know"),
                             permissions(snapshot(false, ContactAccessStatus::unknown(QStringLiteral("7")))));
  addScreen<PermissionsView>(page, QStringLiteral("onboarding-permissions-hover-open-settings"),
                             QStringLiteral("the database card's Open Settings hovered"),
                             permissions(snapshot(false, ContactAccessStatus::denied())), Pointer::hover,
                             [](const Layout& l) { return l.fullDiskAccess.button.value_or(QRectF()).center(); });
  addScreen<PermissionsView>(page, QStringLiteral("onboarding-permissions-pressed-check-again"),
                             QStringLiteral("↻ Check Again held down"),
                             permissions(snapshot(false, ContactAccessStatus::notDetermined())), Pointer::press,
                             [](const Layout& l) { return l.checkAgainRect.center(); });
  addScreen<PermissionsView>(page, QStringLiteral("onboarding-permissions-pressed-continue"),
                             QStringLiteral("Continue pressed once both are granted"),
                             permissions(snapshot(true, ContactAccessStatus::authorized())), Pointer::press,
                             [](const Layout& l) { return l.continueRect.center(); });
  addScreen<PermissionsView>(page, QStringLiteral("onboarding-permissions-hover-back"),
                             QStringLiteral("← Back hovered"), permissions(std::nullopt), Pointer::hover,
                             [](const Layout& l) { return l.back.center(); });
}

Stage capability(HybridPrivacyCapability capability, std::optional<IntelligenceChoice> choice = std::nullopt) {
  return {std::move(capability), [choice](AppCoordinator& coordinator) {
            if (choice) coordinator.selectIntelligence(*choice);
          }};
}

void addIntelligence(GalleryPage& page) {
  using Layout = IntelligenceView::Layout;
  const HybridPrivacyCapability available = HybridPrivacyCapability::available(QStringLiteral("0.1.1"));
  addScreen<IntelligenceView>(page, QStringLiteral("onboarding-intelligence-hybrid"),
                              QStringLiteral("hybrid available and chosen (capability stand-in): recommended, "
                                             "selected, the sage pill"),
                              capability(available));
  addScreen<IntelligenceView>(page, QStringLiteral("onboarding-intelligence-cloud"),
                              QStringLiteral("cloud chosen where hybrid could run: rose outline, mark and pill"),
                              capability(available, IntelligenceChoice::cloud));
  addScreen<IntelligenceView>(page, QStringLiteral("onboarding-intelligence-linux"),
                              QStringLiteral("this machine: hybrid unavailable at half opacity with the reason, no "
                                             "runtime button"),
                              capability(HybridPrivacyCapability::requiresAppleSilicon()));
  addScreen<IntelligenceView>(page, QStringLiteral("onboarding-intelligence-runtime-missing"),
                              QStringLiteral("runtime not installed: the reason and Show runtime setup"),
                              capability(HybridPrivacyCapability::pythonMissing()));
  addScreen<IntelligenceView>(page, QStringLiteral("onboarding-intelligence-runtime-too-new"),
                              QStringLiteral("runtime too new: a two-line reason above the button"),
                              capability(HybridPrivacyCapability::pythonTooNew(QStringLiteral("3.14.0"))));
  addScreen<IntelligenceView>(page, QStringLiteral("onboarding-intelligence-hover-cloud"),
                              QStringLiteral("the unselected cloud card hovered"), capability(available),
                              Pointer::hover, [](const Layout& l) { return l.cloudLayout.card.center(); });
  addScreen<IntelligenceView>(page, QStringLiteral("onboarding-intelligence-pressed-continue"),
                              QStringLiteral("Continue pressed (always enabled)"),
                              capability(HybridPrivacyCapability::requiresAppleSilicon()), Pointer::press,
                              [](const Layout& l) { return l.continueRect.center(); });
  addScreen<IntelligenceView>(page, QStringLiteral("onboarding-intelligence-pressed-runtime-setup"),
                              QStringLiteral("Show runtime setup pressed"),
                              capability(HybridPrivacyCapability::pythonTooOld(QStringLiteral("3.9.6"))),
                              Pointer::press,
                              [](const Layout& l) { return l.runtimeSetup.value_or(QRectF()).center(); });

  // The hybrid card both selected and disabled, as a choice made before the
  // capability changed would show it.
  page.add(GalleryEntry{QStringLiteral("onboarding-intelligence-card-selected-disabled"),
                        QStringLiteral("the hybrid card selected and disabled at once"), QSizeF(390, 190), kScales,
                        MurmelaTheme::cream, [](QPainter& painter) {
                          const IntelligenceCard card{
                              IntelligenceCard::Kind::hybrid,
                              QStringLiteral("Hybrid intelligence"),
                              QStringLiteral("Local privacy filter · Cloud Analysis"),
                              true,
                              true,
                              true,
                              {QStringLiteral("PII is replaced locally before cloud analysis."),
                               QStringLiteral("Uses a one-time Murmela privacy runtime download."),
                               QStringLiteral("Equivalent quality to fully Cloud Intelligence.")}};
                          card.paint(painter, card.layout(QPointF(24, 30), 342), {});
                        }});
}

void addHelpSheet(GalleryPage& page) {
  using Layout = PythonInstallHelpSheet::Layout;
  const qreal height = PythonInstallHelpSheet(IntelligenceView::kBuildCommand).layout().height;
  const auto add = [&](const QString& name, const QString& caption, Pointer pointer,
                       std::function<QPointF(const Layout&)> aim) {
    page.add(GalleryEntry{name, caption, QSizeF(PythonInstallHelpSheet::kWidth, height), kScales, MurmelaTheme::cream,
                          [pointer, aim](QPainter& painter) {
                            PythonInstallHelpSheet sheet(IntelligenceView::kBuildCommand);
                            if (aim) point(sheet, pointer, aim(sheet.layout()));
                            sheet.paintSheet(painter);
                            const_cast<QLabel*>(sheet.commandLabel())
                                ->render(&painter, sheet.commandLabel()->pos(), QRegion(), QWidget::DrawChildren);
                          }});
  };
  add(QStringLiteral("onboarding-runtime-help"), QStringLiteral("the runtime setup help sheet, 430 wide"),
      Pointer::none, {});
  add(QStringLiteral("onboarding-runtime-help-hover-copy"), QStringLiteral("Copy build command hovered"),
      Pointer::hover, [](const Layout& l) { return l.copy.center(); });
  add(QStringLiteral("onboarding-runtime-help-pressed-done"), QStringLiteral("Done pressed"), Pointer::press,
      [](const Layout& l) { return l.done.center(); });
  add(QStringLiteral("onboarding-runtime-help-hover-close"), QStringLiteral("the round close button hovered"),
      Pointer::hover, [](const Layout& l) { return l.close.center(); });
}

void addFrame(GalleryPage& page) {
  const QList<std::pair<std::optional<int>, int>> steps = {{std::nullopt, 4}, {1, 4}, {4, 4}, {6, 4}, {1, 0}, {2, -3}};
  page.add(GalleryEntry{
      QStringLiteral("onboarding-frame-steps"),
      QStringLiteral("step headers: none, 1 of 4, 4 of 4, 6 of 4, 1 of 0, and a negative total (counts as 0)"),
      QSizeF(390, 6 * 60.0), kScales, MurmelaTheme::cream, [steps](QPainter& painter) {
        for (qsizetype row = 0; row < steps.size(); ++row) {
          painter.save();
          painter.translate(0, 60.0 * row - 12.0);
          painter.setClipRect(QRectF(0, 12, 390, 60));
          OnboardingFrame{steps[row].first, steps[row].second}.paint(painter, {});
          painter.restore();
        }
      }});
  page.add(GalleryEntry{
      QStringLiteral("onboarding-buttons"),
      QStringLiteral("primary and ghost (plain and compact): rest, hovered, pressed, disabled look, focus; the close "
                     "button"),
      QSizeF(390, 330), kScales, MurmelaTheme::cream, [](QPainter& painter) {
        struct Look {
          ButtonState state;
          bool disabled;
          bool focused;
        };
        const QList<Look> looks = {{{}, false, false},
                                   {{.hovered = true}, false, false},
                                   {{.pressed = true}, false, false},
                                   {{}, true, false},
                                   {{}, false, true}};
        qreal y = 16;
        for (const Look& look : looks) {
          const QString primary = QStringLiteral("Continue →");
          MurmelaPrimaryButtonStyle{look.disabled}.paint(painter, MurmelaPrimaryButtonStyle{}.placed(primary, 88, y),
                                                         primary, look.state, look.focused);
          const QString ghost = QStringLiteral("← Back");
          MurmelaGhostButtonStyle{}.paint(painter, MurmelaGhostButtonStyle{}.placed(ghost, 208, y + 2), ghost,
                                          look.state, look.focused);
          const QString compact = QStringLiteral("Open Settings");
          MurmelaGhostButtonStyle{true}.paint(painter, MurmelaGhostButtonStyle{true}.placed(compact, 323, y + 7),
                                              compact, look.state, look.focused);
          y += 54;
        }
        SheetCloseButton::paint(painter, SheetCloseButton::rectAt(QPointF(150, y)), {});
        SheetCloseButton::paint(painter, SheetCloseButton::rectAt(QPointF(190, y)), {.hovered = true});
        SheetCloseButton::paint(painter, SheetCloseButton::rectAt(QPointF(230, y)), {.pressed = true});
      }});
}

void buildOnboardingPage(GalleryPage& page) {
  addFrame(page);
  addWelcome(page);
  addIntelligence(page);
  addHelpSheet(page);
  addPermissions(page);
}

}  // namespace

MURMELA_GALLERY_AREA(onboarding_a, "Onboarding: welcome, intelligence, permissions", 60, buildOnboardingPage);

}  // namespace murmela::gallery
