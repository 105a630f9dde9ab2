#include "WalkDriver.h"

#include "app/AppCoordinator.h"
#include "deck/LongDeckSlide.h"
#include "deck/MurmelaDeckResultsView.h"
#include "kit/paint/PainterState.h"
#include "screens/common/OnboardingScreen.h"
#include "screens/home/HomeView.h"
#include "screens/hybridsetup/HybridPrivacySetupView.h"
#include "screens/picker/ChatRow.h"
#include "screens/picker/ContactListView.h"
#include "screens/picker/ContactPickerView.h"
#include "screens/picker/FailedRunPanel.h"
#include "screens/welcome/WelcomeView.h"
#include "sheets/myshares/MySharesView.h"
#include "sheets/OnboardingSheet.h"
#include "sheets/share/ShareSheetView.h"
#include "sheets/share/ShareSheetLayout.h"
#include "shell/MurmelaRootApp.h"
#include "shell/RootView.h"
#include "testing/PaintRecorder.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

namespace murmela::test {

namespace {

QString className(const QObject* object) {
  if (!object) return QStringLiteral("none");
  return QString::fromLatin1(object->metaObject()->className()).remove(QStringLiteral("murmela::"));
}

void addIf(QStringList& errors, const std::optional<QString>& text, const QString& what) {
  if (text) errors.append(what + QStringLiteral(": ") + *text);
}

}  // namespace

bool isSuccessToast(const QString& text) {
  static const QRegularExpression success(QStringLiteral(
      "^(Saved \\d+ slides to Downloads\\.|Saved to .+\\.|Slide copied to clipboard\\.|Image copied\\. .+|"
      "Generating link\\.\\.\\.)$"));
  return success.match(text).hasMatch();
}

WalkDriver::WalkDriver(MurmelaRootApp& app, QString shotFolder) : app_(app), folder_(std::move(shotFolder)) {
  QDir(folder_).removeRecursively();
  QDir().mkpath(folder_);
  // After the window's own handler, so the new screen is in place.
  QObject::connect(&coordinator(), &AppCoordinator::screenChanged, &context_, [this] { watchDeck(); });
  watchDeck();
}

WalkDriver::~WalkDriver() = default;

RootView& WalkDriver::window() const { return app_.window(); }

AppCoordinator& WalkDriver::coordinator() const { return app_.coordinator(); }

QWidget* WalkDriver::screenWidget() const { return window().screenWidget(); }

void WalkDriver::watchDeck() {
  auto* deck = qobject_cast<MurmelaDeckResultsView*>(screenWidget());
  if (!deck || deck == watchedDeck_) return;
  watchedDeck_ = deck;
  ToastManager* toast = &deck->toast();
  QObject::connect(toast, &ToastManager::currentChanged, &context_, [this, toast] {
    if (toast->current()) toasts_.append(*toast->current());
  });
}

QString WalkDriver::where() const {
  QStringList windows;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->isVisible() && widget != &window()) windows.append(className(widget));
  QString text = QStringLiteral("screen ") + className(screenWidget());
  if (!windows.isEmpty()) text += QStringLiteral(", windows ") + windows.join(QStringLiteral(", "));
  return text;
}

void WalkDriver::waitUntil(const std::function<bool()>& condition, const QString& what) const {
  QStringList errors;
  if (QTest::qWaitFor([&] { return condition() || !(errors = errorsShown()).isEmpty(); }, kTimeoutMs) &&
      errors.isEmpty())
    return;
  const QString problem = errors.isEmpty() ? "timed out after " + QString::number(kTimeoutMs) + " ms"
                                           : "an error showed: " + errors.join(QStringLiteral("; "));
  throw WalkFailure(("waiting for " + what + " (" + where() + "), " + problem).toStdString());
}

WalkDriver::Painting WalkDriver::paintingOf(QWidget* surface) {
  if (auto* screen = qobject_cast<OnboardingScreen*>(surface))
    return [screen](QPainter& painter) { screen->paintScreen(painter); };
  if (auto* sheet = qobject_cast<OnboardingSheet*>(surface))
    return [sheet](QPainter& painter) { sheet->paintSheet(painter); };
  if (auto* home = qobject_cast<HomeView*>(surface)) return [home](QPainter& painter) { home->paintScreen(painter); };
  if (auto* share = qobject_cast<ShareSheetView*>(surface)) {
    return [share](QPainter& painter) {
      paintShareSheet(painter, share->sheetLayout(), share->state(), SheetInteraction{});
    };
  }
  if (auto* list = surface ? qobject_cast<ContactListView*>(surface->parentWidget()) : nullptr;
      list && list->viewport() == surface) {
    // The rows, drawn where the list's faded layer puts them.
    return [list](QPainter& painter) {
      const ContactListView::Layout& layout = list->listLayout();
      for (qsizetype i = 0; i < layout.frames.size(); ++i) {
        const PainterStateScope scope(painter);
        painter.translate(layout.frames[i].topLeft() - QPointF(0.0, list->scrollOffset()));
        const ContactSummary& contact = list->contacts()[i];
        ChatRow{contact, list->selectedHandle() == contact.handle}.paint(painter, layout.rows[i]);
      }
    };
  }
  return [surface](QPainter& painter) { surface->render(&painter); };
}

QRectF WalkDriver::labelRect(const Painting& painting, QSize size, const QString& label) {
  PaintRecorder recorder(size);
  {
    QPainter painter(&recorder);
    painting(painter);
  }
  QList<QRectF> exact;
  QList<QRectF> starting;
  QStringList seen;
  for (const PaintRecord& record : recorder.texts()) {
    // Buttons may set their titles in capitals.
    const QString text = record.text.trimmed();
    seen.append(text);
    if (text.compare(label, Qt::CaseInsensitive) == 0)
      exact.append(record.bounds);
    else if (text.startsWith(label, Qt::CaseInsensitive))
      starting.append(record.bounds);
  }
  const QList<QRectF>& found = exact.isEmpty() ? starting : exact;
  if (found.size() == 1) return found.first();
  throw WalkFailure((QString::number(found.size()) + " places show \"" + label +
                     "\"; the texts drawn: " + seen.join(QStringLiteral(" | ")))
                        .toStdString());
}

void WalkDriver::clickLabel(QWidget* surface, const QString& label) const {
  try {
    click(surface, labelRect(paintingOf(surface), surface->size(), label).center());
  } catch (const WalkFailure& failure) {
    throw WalkFailure(("on " + className(surface) + ": " + QString::fromStdString(failure.what())).toStdString());
  }
}

void WalkDriver::click(QWidget* widget, QPointF point) const {
  QWidget* top = widget->window();
  QWindow* handle = top->windowHandle();
  if (!handle) throw WalkFailure(("no window for " + className(widget)).toStdString());
  const QPoint at = widget->mapTo(top, point.toPoint());
  activate(top);  // as a window manager does
  QTest::mouseMove(handle, at);
  QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, at);
}

void WalkDriver::activate(QWidget* top) {
  if (top->isActiveWindow()) return;
  top->activateWindow();
  if (!QTest::qWaitForWindowActive(top, kTimeoutMs))
    throw WalkFailure(("the window never became active: " + className(top)).toStdString());
}

QWidget* WalkDriver::keyboardFocus() const {
  // Without a window manager nothing activates the window again once a sheet
  // over it has closed.
  if (!QApplication::activeWindow()) {
    QWidget* top = &window();
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (widget != top && widget->isVisible() && qobject_cast<QDialog*>(widget)) top = widget;
    activate(top);
  }
  QWidget* focus = QApplication::focusWidget();
  if (!focus || !focus->window()->windowHandle())
    throw WalkFailure(("no widget holds the keyboard focus (" + where() + ")").toStdString());
  return focus;
}

void WalkDriver::pressKey(Qt::Key key) const { QTest::keyClick(keyboardFocus()->window()->windowHandle(), key); }

void WalkDriver::type(const QString& text) const { QTest::keyClicks(keyboardFocus(), text); }

MurmelaDeckResultsView& WalkDriver::settledDeck(const QString& what) const {
  MurmelaDeckResultsView& deck = waitForScreen<MurmelaDeckResultsView>(what);
  waitUntil([&deck] { return !deck.isAnimating(); }, what + " (standing still)");
  return deck;
}

void WalkDriver::clickOnSlide(const QString& label) const {
  MurmelaDeckResultsView& deck = settledDeck(QStringLiteral("the deck"));
  const LongDeckSlide slide{deck.report(), deck.currentSlide(), true, std::nullopt};
  const QPointF point = labelRect([&slide](QPainter& painter) { slide.paint(painter); }, deck.size(), label).center();
  if (!deck.hitAt(point))
    throw WalkFailure(("\"" + label + "\" on slide " + QString::number(deck.currentSlide() + 1) +
                       " is painted where no button answers")
                          .toStdString());
  click(&deck, point);
}

QImage WalkDriver::picture() const {
  QList<QWidget*> sheets;
  QRect area = window().geometry();
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget == &window() || !widget->isVisible() || !qobject_cast<QDialog*>(widget)) continue;
    sheets.append(widget);
    area |= widget->geometry();
  }
  // A sheet opened from another one lies over it.
  const auto depth = [](const QWidget* widget) {
    int ancestors = 0;
    while ((widget = widget->parentWidget())) ++ancestors;
    return ancestors;
  };
  std::stable_sort(sheets.begin(), sheets.end(), [&](QWidget* a, QWidget* b) { return depth(a) < depth(b); });
  QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor(40, 40, 40));
  QPainter painter(&image);
  painter.translate(-area.topLeft());
  painter.drawPixmap(window().geometry().topLeft(), window().grab());
  for (QWidget* sheet : sheets) {
    painter.fillRect(window().geometry(), QColor(0, 0, 0, 70));  // a sheet dims the window below
    painter.drawPixmap(sheet->geometry().topLeft(), sheet->grab());
  }
  return image;
}

void WalkDriver::shot(const QString& step) {
  const QString name = QStringLiteral("%1-%2.png").arg(++shots_, 2, 10, QLatin1Char('0')).arg(step);
  const QString path = QDir(folder_).filePath(name);
  if (!picture().save(path)) throw WalkFailure(("could not save " + path).toStdString());
  const QStringList errors = errorsShown();
  if (!errors.isEmpty())
    throw WalkFailure(("at step " + step + " (" + where() + ", see " + path + "): " + errors.join(QStringLiteral("; ")))
                          .toStdString());
}

QStringList WalkDriver::errorsShown() const {
  QStringList errors;
  const AppCoordinator& c = coordinator();
  addIf(errors, c.processingError(), QStringLiteral("processing error"));
  addIf(errors, c.contactLoadingError(), QStringLiteral("contact loading error"));
  addIf(errors, c.hybridSetupError(), QStringLiteral("hybrid setup error"));
  addIf(errors, c.shareRevocationError(), QStringLiteral("share revocation error"));

  QWidget* screen = screenWidget();
  if (auto* welcome = qobject_cast<WelcomeView*>(screen); welcome && welcome->layout().hasError)
    errors.append(QStringLiteral("the welcome screen shows an error"));
  if (auto* picker = qobject_cast<ContactPickerView*>(screen)) {
    if (picker->pickerErrorVisible()) errors.append(QStringLiteral("the contact picker shows an error"));
    if (picker->failedRunPanel() && picker->failedRunPanel()->isVisible())
      errors.append(QStringLiteral("the contact picker shows the failed run panel"));
  }
  if (auto* setup = qobject_cast<HybridPrivacySetupView*>(screen)) {
    if (setup->errorSheet()) errors.append(QStringLiteral("the hybrid setup shows its error sheet"));
    if (setup->setup().phase.kind == PrivacyFilterPhase::Kind::failed)
      errors.append(QStringLiteral("the privacy filter setup failed: ") + setup->setup().phase.message);
  }
  if (auto* deck = qobject_cast<MurmelaDeckResultsView*>(screen)) {
    if (auto* sheet = qobject_cast<ShareSheetView*>(deck->shareSheet()))
      addIf(errors, sheet->state().generationError, QStringLiteral("the share sheet's link error"));
  }
  if (auto* home = qobject_cast<HomeView*>(screen);
      home && home->sharesSheet() && home->sharesSheet()->isVisible() && home->sharesSheet()->sheetLayout().errorBox)
    errors.append(QStringLiteral("My shares shows an error"));
  for (const QString& toast : toasts_)
    if (!isSuccessToast(toast)) errors.append(QStringLiteral("toast: ") + toast);
  return errors;
}

}  // namespace murmela::test
