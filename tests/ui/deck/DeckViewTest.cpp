#include "data/FakeReportLoader.h"
#include "deck/MurmelaDeckResultsView.h"
#include "deck/slides/CloserSlide.h"
#include "kit/access/PaintedAccessible.h"
#include "kit/overlay/ToastOverlay.h"
#include "sheets/share/ShareSheetView.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"
#include "theme/FontRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace murmela;

namespace {

const QString kHandle = QStringLiteral("+15551234567");

// Records the keys that reach it: the deck's parent.
class KeyRecorder : public QWidget {
 public:
  QList<int> keys;

 protected:
  void keyPressEvent(QKeyEvent* event) override { keys.append(event->key()); }
};

// A deck on a clock the test moves, with a host that records Done.
struct DeckUnderTest {
  double now = 100.0;
  int done = 0;
  std::optional<QString> handle;
  std::unique_ptr<MurmelaDeckResultsView> deck;

  explicit DeckUnderTest(const WrappedReport& report, std::optional<QString> contactHandle = std::nullopt,
                         QWidget* parent = nullptr)
      : handle(std::move(contactHandle)) {
    DeckHost host{[this] { return handle; }, [this] { ++done; }};
    deck = std::make_unique<MurmelaDeckResultsView>(
        report, std::move(host), MurmelaDeckResultsView::Options{ShareSheetView::factory(), [this] { return now; }}, parent);
  }
  void settle() {
    now += 10.0;
    deck->update();
  }
  // Straight to a slide, without transitions left over.
  void goTo(int index) {
    while (deck->currentSlide() < index) deck->goNext();
    settle();
  }
  void press(Qt::Key key) { QTest::keyClick(deck.get(), key); }
  void click(QPointF point) { QTest::mouseClick(deck.get(), Qt::LeftButton, {}, point.toPoint()); }
};

QPointF footerShare(const WrappedReport& report, int index) {
  return LongDeckSlide{report, index, true, std::nullopt}.frame().layout().footer.shareHitArea.center();
}

QPointF closerButton(const WrappedReport& report, CloserSlide::Element element) {
  return CloserSlide{report, true, std::nullopt}.layout().button(element)->layout.frame.center();
}

// The largest difference of any channel between two pictures of one size.
int largestDifference(const QImage& a, const QImage& b) {
  const QImage left = a.convertToFormat(QImage::Format_ARGB32);
  const QImage right = b.convertToFormat(QImage::Format_ARGB32);
  if (left.size() != right.size()) return 255;
  int largest = 0;
  for (int y = 0; y < left.height(); ++y) {
    const QRgb* l = reinterpret_cast<const QRgb*>(left.constScanLine(y));
    const QRgb* r = reinterpret_cast<const QRgb*>(right.constScanLine(y));
    for (int x = 0; x < left.width(); ++x) {
      largest = std::max({largest, std::abs(qRed(l[x]) - qRed(r[x])), std::abs(qGreen(l[x]) - qGreen(r[x])),
                          std::abs(qBlue(l[x]) - qBlue(r[x]))});
    }
  }
  return largest;
}

}  // namespace

class DeckViewTest : public QObject {
  Q_OBJECT

  WrappedReport report_;

 private Q_SLOTS:
  void initTestCase() {
    FontRegistry::registerFonts();
    Motion::setEnabled(true);
    report_ = FakeReportLoader::load(FakeDataFixture::rich);
  }

  // The arrow keys move one slide at a time within 0 ... 13; at either end
  // the key changes nothing and starts no transition.
  void arrowKeysStayInTheDeck_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("keys");  // L and R
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("moves");  // the last key started a transition
    QTest::newRow("left on the first slide") << 0 << "L" << 0 << false;
    QTest::newRow("right on the last slide") << 13 << "R" << 13 << false;
    QTest::newRow("one right") << 0 << "R" << 1 << true;
    QTest::newRow("one left") << 5 << "L" << 4 << true;
    QTest::newRow("fourteen rights from the first") << 0 << QString(14, QLatin1Char('R')) << 13 << false;
    QTest::newRow("fourteen lefts from the last") << 13 << QString(14, QLatin1Char('L')) << 0 << false;
    QTest::newRow("there and back") << 3 << "RRLLL" << 2 << true;
  }
  void arrowKeysStayInTheDeck() {
    QFETCH(int, start);
    QFETCH(QString, keys);
    QFETCH(int, expected);
    QFETCH(bool, moves);
    DeckUnderTest under(report_);
    under.goTo(start);
    for (QChar key : keys) {
      // Each key after the one before has settled, so only the last decides "moves".
      under.settle();
      under.press(key == QLatin1Char('L') ? Qt::Key_Left : Qt::Key_Right);
    }
    QCOMPARE(under.deck->currentSlide(), expected);
    QCOMPARE(under.deck->isAnimating(), moves);
    // Each slide that comes is announced by its place and its title.
    if (moves) QVERIFY(under.deck->reader().announcement().startsWith(QStringLiteral("Slide %1 of 14. ").arg(expected + 1)));
    QCOMPARE(under.deck->slideStack().currentIndex(), std::optional<int>(expected));
  }

  // Both ways the arriving slide comes in from the trailing edge and fades
  // in while the leaving one goes out towards the leading edge and fades out.
  void transitionIsTheSameBothWays_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<double>("elapsed");
    for (const auto& [name, key] : {std::pair{"forward", Qt::Key_Right}, std::pair{"back", Qt::Key_Left}}) {
      for (double elapsed : {0.0, 0.055, 0.11, 0.165, 0.22}) {
        QTest::addRow("%s at %.3f s", name, elapsed) << key << elapsed;
      }
    }
  }
  void transitionIsTheSameBothWays() {
    QFETCH(Qt::Key, key);
    QFETCH(double, elapsed);
    DeckUnderTest under(report_);
    under.goTo(6);
    const double start = under.now;
    under.press(key);
    under.now = start + elapsed;
    const QList<DeckSlideStack::Placed> placed = under.deck->slideStack().placements(under.now, 390.0);
    const qreal progress = eased(Easing::easeInOut, elapsed / 0.22);
    const int arriving = key == Qt::Key_Right ? 7 : 5;
    if (elapsed >= 0.22) {
      QCOMPARE(placed.size(), 1);
    } else {
      QCOMPARE(placed.size(), 2);
      QCOMPARE(placed.first().layer->index, 6);
      QVERIFY(qFuzzyCompare(1.0 + placed.first().placement.offset, 1.0 - 390.0 * progress));
      QVERIFY(qFuzzyCompare(1.0 + placed.first().placement.opacity, 1.0 + (1.0 - progress)));
    }
    QCOMPARE(placed.last().layer->index, arriving);
    QVERIFY(qFuzzyCompare(1.0 + placed.last().placement.offset, 1.0 + 390.0 * (1.0 - progress)));
    QVERIFY(qFuzzyCompare(1.0 + placed.last().placement.opacity, 1.0 + progress));
  }

  // A key pressed while slides still move takes effect at once: the slide on
  // its way in leaves from where it got to, the next one arrives, and the
  // deck settles on the last one alone.
  void keyDuringTransition() {
    DeckUnderTest under(report_);
    const double start = under.now;
    under.press(Qt::Key_Right);
    under.now = start + 0.11;  // halfway
    const qreal halfway = eased(Easing::easeInOut, 0.5);
    under.press(Qt::Key_Right);
    QCOMPARE(under.deck->currentSlide(), 2);

    const QList<DeckSlideStack::Placed> placed = under.deck->slideStack().placements(under.now, 390.0);
    QCOMPARE(placed.size(), 3);
    QCOMPARE(placed[0].layer->index, 0);
    QCOMPARE(placed[1].layer->index, 1);
    QCOMPARE(placed[2].layer->index, 2);
    // Slide 1 starts leaving from its place on the way in, not from the middle.
    QVERIFY(qFuzzyCompare(placed[1].placement.offset, 390.0 * (1.0 - halfway)));
    QVERIFY(qFuzzyCompare(placed[1].placement.opacity, halfway));
    QCOMPARE(placed[2].placement, (SlidePlacement{390.0, 0.0}));

    under.now = start + 0.11 + 0.22;
    QVERIFY(!under.deck->isAnimating());
    const QList<DeckSlideStack::Placed> settled = under.deck->slideStack().placements(under.now, 390.0);
    QCOMPARE(settled.size(), 1);
    QCOMPARE(settled.first().layer->index, 2);
    QCOMPARE(settled.first().placement, (SlidePlacement{0.0, 1.0}));
  }

  // At the end of a transition the deck looks exactly like the slide painted
  // straight into the window with its chevrons; halfway it does not.
  void transitionEndsOnTheStaticSlide() {
    DeckUnderTest under(report_);
    under.deck->show();
    QVERIFY(QTest::qWaitForWindowExposed(under.deck.get()));
    const double start = under.now;
    under.press(Qt::Key_Right);

    QImage expected(390, 780, QImage::Format_ARGB32_Premultiplied);
    expected.fill(MurmelaTheme::cream);
    {
      QPainter painter(&expected);
      LongDeckSlide{report_, 1, true, std::nullopt}.paint(painter);
      DeckChevron{ChevronDirection::left, false}.paint(painter, QSizeF(390, 780), 0.0, false);
      DeckChevron{ChevronDirection::right, false}.paint(painter, QSizeF(390, 780), 0.0, false);
    }
    under.now = start + 0.11;
    QVERIFY(largestDifference(under.deck->grab().toImage(), expected) > 64);
    under.now = start + 0.22;
    QVERIFY(largestDifference(under.deck->grab().toImage(), expected) <= 2);
  }

  // Only the two arrows belong to the deck; every other key goes on to its parent.
  void otherKeysGoToTheParent_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<bool>("reachesParent");
    QTest::newRow("escape") << Qt::Key_Escape << true;
    QTest::newRow("space") << Qt::Key_Space << true;
    QTest::newRow("up") << Qt::Key_Up << true;
    QTest::newRow("return") << Qt::Key_Return << true;
    QTest::newRow("left") << Qt::Key_Left << false;
    QTest::newRow("right") << Qt::Key_Right << false;
  }
  void otherKeysGoToTheParent() {
    QFETCH(Qt::Key, key);
    QFETCH(bool, reachesParent);
    KeyRecorder parent;
    DeckUnderTest under(report_, std::nullopt, &parent);
    under.goTo(5);
    under.press(key);
    QCOMPARE(parent.keys.contains(key), reachesParent);
  }

  // The chevrons: invisible and not clickable at the ends; a click moves one slide.
  void chevronsAtTheEnds_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("leftShown");
    QTest::addColumn<bool>("rightShown");
    QTest::newRow("first slide") << 0 << false << true;
    QTest::newRow("middle") << 7 << true << true;
    QTest::newRow("last slide") << 13 << true << false;
  }
  void chevronsAtTheEnds() {
    QFETCH(int, start);
    QFETCH(bool, leftShown);
    QFETCH(bool, rightShown);
    DeckUnderTest under(report_);
    under.goTo(start);
    for (const auto& [side, shown, step] :
         {std::tuple{ChevronDirection::left, leftShown, -1}, std::tuple{ChevronDirection::right, rightShown, 1}}) {
      const DeckChevron chevron = under.deck->chevron(side);
      QCOMPARE(chevron.disabled, !shown);
      PaintRecorder recorder;
      {
        QPainter painter(&recorder);
        chevron.paint(painter, QSizeF(390, 780), 0.0, false);
      }
      QCOMPARE(recorder.records().isEmpty(), !shown);

      under.click(chevron.frame(QSizeF(390, 780)).center());
      QCOMPARE(under.deck->currentSlide(), shown ? start + step : start);
      under.goTo(start);
      while (under.deck->currentSlide() > start) under.deck->goPrev();
      under.settle();
    }
  }

  // Hovering a chevron eases it from ink-soft to ink over 0.12 s, and back
  // when the pointer leaves; the look comes from the chevron's own hit area.
  void chevronHoverLook_data() {
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<bool>("inside");
    QTest::newRow("just entered") << 0.0 << true;
    QTest::newRow("halfway in") << 0.06 << true;
    QTest::newRow("in") << 0.12 << true;
    QTest::newRow("just left") << 0.0 << false;
    QTest::newRow("halfway out") << 0.06 << false;
    QTest::newRow("out") << 0.12 << false;
  }
  void chevronHoverLook() {
    QFETCH(double, elapsed);
    QFETCH(bool, inside);
    DeckUnderTest under(report_);
    under.goTo(3);
    under.deck->show();
    QVERIFY(QTest::qWaitForWindowExposed(under.deck.get()));
    const QRectF frame = under.deck->chevron(ChevronDirection::right).frame(QSizeF(390, 780));
    QTest::mouseMove(under.deck.get(), QPoint(195, 300));
    QCOMPARE(under.deck->hovered(), std::nullopt);
    QTest::mouseMove(under.deck.get(), frame.center().toPoint());
    QCOMPARE(under.deck->hovered(), std::optional<MurmelaDeckResultsView::Hit>(ChevronDirection::right));
    if (!inside) {
      under.settle();
      QTest::mouseMove(under.deck.get(), QPoint(195, 200));
      QCOMPARE(under.deck->hovered(), std::nullopt);
    }
    const double start = under.now;
    under.now = start + elapsed;
    const qreal eased = murmela::eased(Easing::easeOut, elapsed / 0.12);
    const qreal expected = inside ? eased : 1.0 - eased;
    QVERIFY(std::abs(under.deck->chevronHover(ChevronDirection::right) - expected) < 1e-9);
    QCOMPARE(under.deck->chevronHover(ChevronDirection::left), 0.0);

    // What the chevron paints in that look: its symbol in the eased colour.
    PaintRecorder recorder;
    {
      QPainter painter(&recorder);
      under.deck->chevron(ChevronDirection::right).paint(painter, QSizeF(390, 780), expected, false);
    }
    const QColor colour = DeckChevron::color(expected);
    QVERIFY(!recorder.filledWith(colour).isEmpty());
    if (expected == 1.0) QCOMPARE(colour, MurmelaTheme::ink);
    if (expected == 0.0) QCOMPARE(colour, MurmelaTheme::inkSoft);
  }

  // Tab walks the buttons the slide shows, round again after the last; Space
  // runs the one with the ring, as a click would.
  void tabReachesEveryButton_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("spaceOn");  // the button Space is pressed on
    QTest::addColumn<int>("slideAfter");
    QTest::addColumn<int>("doneAfter");
    // The chevrons come after the slide's own buttons, as a reader meets them.
    QTest::newRow("first slide: on to the next") << 0 << QStringList{"Share", "Next slide"} << 1 << 1 << 0;
    QTest::newRow("middle: back") << 6 << QStringList{"Share", "Previous slide", "Next slide"} << 1 << 5 << 0;
    QTest::newRow("closer: Done") << 13 << QStringList{"Share", "Done", "Previous slide"} << 1 << 13 << 1;
  }
  void tabReachesEveryButton() {
    QFETCH(int, index);
    QFETCH(QStringList, order);
    QFETCH(int, spaceOn);
    QFETCH(int, slideAfter);
    QFETCH(int, doneAfter);
    DeckUnderTest under(report_);
    under.goTo(index);
    under.deck->show();
    under.deck->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(under.deck.get()));
    QStringList reached;
    for (int step = 0; step <= order.size(); ++step) {
      under.press(Qt::Key_Tab);
      const std::optional<int> focused = under.deck->buttonHost().focused();
      QVERIFY(focused && under.deck->buttonHost().showsFocus(*focused));
      reached.append(under.deck->buttonHost().target(*focused)->name);
    }
    QCOMPARE(reached, order + QStringList{order.first()});
    for (int step = 0; step < spaceOn; ++step) under.press(Qt::Key_Tab);
    under.press(Qt::Key_Space);
    QCOMPARE(under.deck->currentSlide(), slideAfter);
    QCOMPARE(under.done, doneAfter);
  }

  // A reader meets the buttons (Share, then the chevrons) after everything the slide shows.
  void chevronsAreReadAfterTheSlide() {
    DeckUnderTest under(report_);
    for (int index = 1; index < 13; ++index) {
      under.goTo(index);
      under.deck->reader().tellChanges();
      const QList<ReadingEntry> order = PaintedWidgetAccessible::of(under.deck.get())->entries();
      const auto text =
          std::find_if(order.crbegin(), order.crend(), [](auto e) { return e.kind == ReadingEntry::Kind::text; });
      QCOMPARE(std::count_if(order.crbegin(), text, [](auto e) { return e.kind == ReadingEntry::Kind::button; }), 3);
    }
  }

  // A sheet opened from the keyboard gives the ring back to its Share when it closes.
  void keyboardShareGetsTheRingBack() {
    DeckUnderTest under(report_);
    under.goTo(13);
    under.deck->show();
    under.deck->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(under.deck.get()));
    under.press(Qt::Key_Tab);
    under.press(Qt::Key_Space);
    QVERIFY(under.deck->shareSheet());
    under.deck->sharePresenter().setPending(std::nullopt);
    under.settle();
    QTRY_VERIFY_WITH_TIMEOUT(!under.deck->shareSheet(), 1000);
    const std::optional<int> focused = under.deck->buttonHost().focused();
    QVERIFY(focused && under.deck->buttonHost().showsFocus(*focused));
    QCOMPARE(under.deck->buttonHost().target(*focused)->name, QStringLiteral("Share"));
  }

  // Share is one button through the whole deck: turning onto the closer or
  // off it leaves the ring on Share and tells readers of no new focus.
  void ringStaysOnShareAtTheCloser_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::newRow("onto the closer") << 12 << int(Qt::Key_Right);
    QTest::newRow("back from it") << 13 << int(Qt::Key_Left);
  }
  void ringStaysOnShareAtTheCloser() {
    QFETCH(int, from);
    QFETCH(int, key);
    DeckUnderTest under(report_);
    under.goTo(from);
    under.deck->show();
    under.deck->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(under.deck.get()));
    under.press(Qt::Key_Tab);
    ButtonHost& buttons = under.deck->buttonHost();
    const std::optional<int> share = buttons.focused();
    QVERIFY(share && buttons.target(*share)->name == QStringLiteral("Share"));
    QSignalSpy moved(&buttons, &ButtonHost::focusMovedTo);
    under.press(Qt::Key(key));
    QVERIFY(!buttons.target(*share));  // the slide's buttons are away while it moves
    under.settle();
    QTRY_VERIFY_WITH_TIMEOUT(buttons.target(*share).has_value(), 1000);
    QCoreApplication::processEvents();
    QCOMPARE(buttons.focused(), share);
    QVERIFY(buttons.showsFocus(*share));
    QCOMPARE(moved.count(), 0);
  }

  // The footer's Share on slides 0 ... 12 and the closer's Share hand the
  // presenter this slide's index, the report and the current contact handle.
  void shareCarriesTheSlide_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<std::optional<QString>>("handle");
    QTest::newRow("first slide, with a handle") << 0 << std::optional<QString>(kHandle);
    QTest::newRow("slide 4, with a handle") << 4 << std::optional<QString>(kHandle);
    QTest::newRow("slide 4, no handle") << 4 << std::optional<QString>();
    QTest::newRow("slide 12, with a handle") << 12 << std::optional<QString>(kHandle);
    QTest::newRow("the closer, with a handle") << 13 << std::optional<QString>(kHandle);
  }
  void shareCarriesTheSlide() {
    QFETCH(int, index);
    QFETCH(std::optional<QString>, handle);
    Motion::OffScope still;
    DeckUnderTest under(report_, handle);
    under.goTo(index);
    const QPointF share =
        index == 13 ? closerButton(report_, CloserSlide::Element::share) : footerShare(report_, index);
    QCOMPARE(under.deck->hitAt(share),
             std::optional<MurmelaDeckResultsView::Hit>(index == 13 ? LongDeckSlide::Element::closerShare
                                                                    : LongDeckSlide::Element::footerShare));
    under.click(share);
    const std::optional<SlideShareContext>& pending = under.deck->sharePresenter().pending();
    QVERIFY(pending.has_value());
    QCOMPARE(pending->slideIndex, index);
    QCOMPARE(pending->contactHandle, handle);
    QCOMPARE(pending->report.totalMessages, report_.totalMessages);
    QCOMPARE(pending->report.participantNames.them, report_.participantNames.them);
    QCOMPARE(under.done, 0);
  }

  // Done on the closer is the deck's only way out; nothing else calls it.
  void doneGoesHome() {
    DeckUnderTest under(report_);
    under.goTo(12);
    under.click(closerButton(report_, CloserSlide::Element::done));
    QCOMPARE(under.done, 0);
    under.goTo(13);
    under.click(closerButton(report_, CloserSlide::Element::done));
    QCOMPARE(under.done, 1);
    QVERIFY(!under.deck->sharePresenter().pending().has_value());
  }

  // The sheet opens over the slide and takes the focus; closing it by its
  // button, by the backdrop or by a selection gives the focus back to the deck.
  void focusComesBackAfterTheSheet_data() {
    QTest::addColumn<QString>("closeBy");
    QTest::newRow("close button") << "close";
    QTest::newRow("backdrop") << "backdrop";
    QTest::newRow("selection") << "select";
  }
  void focusComesBackAfterTheSheet() {
    QFETCH(QString, closeBy);
    DeckUnderTest under(report_, kHandle);
    under.goTo(4);
    under.deck->show();
    under.deck->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(under.deck.get()));
    QCOMPARE(QApplication::focusWidget(), under.deck.get());

    under.click(footerShare(report_, 4));
    auto* sheet = qobject_cast<ShareSheetView*>(under.deck->shareSheet());
    QVERIFY(sheet);
    QCOMPARE(QApplication::focusWidget(), sheet);
    QCOMPARE(sheet->context().slideIndex, 4);
    under.settle();  // faded in

    const auto clickOn = [sheet](const SheetTarget& target) {
      QTest::mouseClick(sheet, Qt::LeftButton, {}, sheet->sheetLayout().rectOf(target)->center().toPoint());
    };
    if (closeBy == QLatin1String("select")) {
      // Copying this slide runs in the deck with its toasts, then closes the sheet.
      clickOn({SheetElement::modeThisSlide});
      clickOn({SheetElement::copy});
      QCOMPARE(under.deck->toast().current(), QStringLiteral("Slide copied to clipboard."));
    } else if (closeBy == QLatin1String("close")) {
      clickOn({SheetElement::close});
    } else {
      QTest::mouseClick(sheet, Qt::LeftButton, {}, QPoint(195, 40));
    }
    QVERIFY(!under.deck->sharePresenter().pending().has_value());
    QVERIFY(under.deck->shareSheet());  // fading out
    QVERIFY(under.deck->isAnimating());
    under.settle();
    // The clock is past the fade; the next frame of the deck's ticker ends it.
    QTRY_VERIFY_WITH_TIMEOUT(!under.deck->shareSheet(), 1000);
    QCOMPARE(QApplication::focusWidget(), under.deck.get());
    // The keys work again at once.
    under.press(Qt::Key_Right);
    QCOMPARE(under.deck->currentSlide(), 5);
  }

  // A toast slides up from the bottom edge fading in (ease-out, 0.25 s),
  // and goes the same way when the manager clears it; clicks pass through.
  void toastComesAndGoes_data() {
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<bool>("cleared");
    for (double elapsed : {0.0, 0.125, 0.25}) {
      QTest::addRow("arriving, %.3f s", elapsed) << elapsed << false;
      QTest::addRow("leaving, %.3f s", elapsed) << elapsed << true;
    }
  }
  void toastComesAndGoes() {
    QFETCH(double, elapsed);
    QFETCH(bool, cleared);
    DeckUnderTest under(report_);
    ToastOverlay* overlay = under.deck->toastOverlay();
    QVERIFY(overlay->testAttribute(Qt::WA_TransparentForMouseEvents));
    under.deck->toast().show(QStringLiteral("Slide copied to clipboard."), 2.4);
    if (cleared) {
      under.settle();
      under.deck->toast().clear();
    }
    const double start = under.now;
    under.now = start + elapsed;
    const qreal eased = murmela::eased(Easing::easeOut, elapsed / 0.25);
    QVERIFY(std::abs(overlay->shownAmount() - (cleared ? 1.0 - eased : eased)) < 1e-9);

    // Drawn in place: cream text on an ink capsule, its bottom 90 points above the deck's.
    const ToastOverlay::Layout layout = ToastOverlay::layout(*overlay->lastText(), QRectF(0, 0, 390, 780));
    QCOMPARE(layout.capsule.bottom(), 780.0 - 90.0);
    QCOMPARE(layout.capsule.center().x(), 195.0);
    PaintRecorder recorder;
    {
      QPainter painter(&recorder);
      ToastOverlay::paint(painter, layout, 1.0);
    }
    const std::optional<PaintRecord> text = recorder.firstText(QStringLiteral("Slide copied"));
    QVERIFY(text.has_value());
    QCOMPARE(text->color, MurmelaTheme::cream);
    QVERIFY(!recorder.filledWith(withOpacity(MurmelaTheme::ink, 0.92)).isEmpty());
  }
};

MURMELA_TEST(DeckViewTest)
#include "DeckViewTest.moc"
