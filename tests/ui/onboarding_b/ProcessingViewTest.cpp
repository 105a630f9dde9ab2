// The processing screen on a real coordinator whose run is held at chosen
// progress reports: the checklist in both modes, the ring's percentage, the
// remaining-time line, the rotating status lines and their transition.
#include "ScreenHarness.h"

#include "kit/motion/Motion.h"
#include "screens/processing/ProcessingRing.h"
#include "screens/processing/ProcessingView.h"
#include "shell/ScreenHosts.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"
#include "theme/FontRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPicture>
#include <QTest>

#include <algorithm>

using namespace murmela;
using namespace murmela::test;

namespace {

const ContactSummary kMaya = ScreenHarness::summary(QStringLiteral("+15550101"), QStringLiteral("Maya"), 48213);

// Collects the areas a widget is asked to paint.
class PaintedRegion : public QObject {
 public:
  explicit PaintedRegion(QWidget* widget) { widget->installEventFilter(this); }
  QRegion region;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) region += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

void paintInto(PaintRecorder& recorder, const ProcessingView& view) {
  QPainter painter(&recorder);
  view.paintScreen(painter);
}

}  // namespace

class ProcessingViewTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareAppTests();
    FontRegistry::registerFonts();
  }

  void checklistByMode_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("active");
    const int hybrid = int(IntelligenceChoice::hybrid);
    const int cloud = int(IntelligenceChoice::cloud);
    QTest::newRow("hybrid, anonymizing") << hybrid << int(AnalysisStage::anonymizing) << 5 << 2;
    QTest::newRow("cloud, reading the tone") << cloud << int(AnalysisStage::analyzingTone) << 4 << 2;
    QTest::newRow("cloud, an anonymizing stage: the first runs") << cloud << int(AnalysisStage::anonymizing) << 4 << 0;
    QTest::newRow("hybrid, the last stage") << hybrid << int(AnalysisStage::generatingSummary) << 5 << 4;
  }
  void checklistByMode() {
    QFETCH(int, choice);
    QFETCH(int, stage);
    QFETCH(int, rows);
    QFETCH(int, active);
    ScreenHarness harness;
    harness.coordinator().selectIntelligence(static_cast<IntelligenceChoice>(choice));
    harness.holdRunAt(kMaya, {static_cast<AnalysisStage>(stage), 0.5, std::nullopt});
    ProcessingView view(hostsOf(harness.coordinator()));
    QCOMPARE(view.layout().rows.size(), rows);
    PaintRecorder recorder;
    paintInto(recorder, view);
    const QStringList labels = view.rowLabels();
    for (int i = 0; i < rows; ++i) {
      const std::optional<PaintRecord> label = recorder.firstText(labels[i]);
      QVERIFY2(label, qPrintable(labels[i]));
      const QColor expected = i < active ? MurmelaTheme::ink : i == active ? MurmelaTheme::rose : MurmelaTheme::inkSoft;
      QCOMPARE(label->color.rgb(), expected.rgb());
      QCOMPARE(label->opacity, i > active ? 0.4 : 1.0);
      QCOMPARE(label->font.italic(), i == active);
      // A reader hears the state the mark shows.
      const QString state = i < active ? ", done" : i == active ? ", in progress" : ", pending";
      const QList<PaintedReader::KeyedText>& texts = view.reader().texts();
      QVERIFY(std::any_of(texts.cbegin(), texts.cend(),
                          [&](const auto& keyed) { return keyed.text.text == labels[i] + state; }));
    }
  }

  void ringAndRemainingTime_data() {
    QTest::addColumn<double>("fraction");
    QTest::addColumn<std::optional<double>>("estimate");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<QString>("remaining");  // empty: no line
    QTest::newRow("start") << 0.0 << std::optional<double>() << "0"
                           << "";
    QTest::newRow("almost done") << 0.999 << std::optional<double>(59.4) << "99"
                                 << "EST. 59 SEC REMAINING";
    QTest::newRow("done") << 1.0 << std::optional<double>(130.0) << "100"
                          << "EST. 2 MIN REMAINING";
  }
  void ringAndRemainingTime() {
    QFETCH(double, fraction);
    QFETCH(std::optional<double>, estimate);
    QFETCH(QString, remaining);
    ScreenHarness harness;
    harness.holdRunAt(kMaya, {AnalysisStage::aggregating, fraction, estimate});
    ProcessingView view(hostsOf(harness.coordinator()));
    const ProcessingView::Layout layout = view.layout();
    QTEST(layout.percentText.shownText(), "percent");
    QCOMPARE(layout.ring.size(), QSizeF(96.0, 96.0));
    QCOMPARE(layout.remaining.has_value(), !remaining.isEmpty());
    if (layout.remaining) QCOMPARE(layout.remainingText.shownText(), remaining);
    // Without the line the checklist moves up by it (its height, its top padding, the spacing).
    const qreal lineShare = layout.remaining ? layout.remaining->height() + 4.0 + 8.0 : 0.0;
    ScreenHarness plain;
    plain.holdRunAt(kMaya, {AnalysisStage::aggregating, fraction, std::nullopt});
    const ProcessingView withoutEstimate(hostsOf(plain.coordinator()));
    QCOMPARE(layout.rows.first().top(), withoutEstimate.layout().rows.first().top() + lineShare);
    QCOMPARE(layout.aside.top(), 670.0);
  }

  // Kept a band of pixel rows at a time, and redrawn only around its moved
  // end on a screen that moved it down, the ring looks as one stroked whole.
  void ringLooksAsStrokedWhole_data() {
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::newRow("1x, past three o'clock") << 1.0 << 0.2 << 0.34;
    QTest::newRow("2x, a device pixel") << 2.0 << 0.83 << 0.83 + 1.0 / 604;
    QTest::newRow("2x, back to the start") << 2.0 << 0.7 << 0.0;
    QTest::newRow("3x, past half") << 3.0 << 0.5 << 0.61;
  }
  void ringLooksAsStrokedWhole() {
    QFETCH(qreal, scale);
    QFETCH(double, from);
    QFETCH(double, to);
    const ProcessingRing kept;
    const auto paintRing = [&](QPainter& painter, const ProcessingRing& ring, double fraction, qreal top) {
      painter.setClipRect(QRectF(0, 0, 120, 130));
      ring.paint(painter, QRectF(10.5, top, 96.0, 96.0), fraction);
    };
    const auto canvas = [scale] {
      QImage image((QSizeF(120, 130) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
      image.fill(MurmelaTheme::cream);
      image.setDevicePixelRatio(scale);
      return image;
    };
    const auto bandedAt = [&](double fraction, qreal top) {
      QImage image = canvas();
      QPainter painter(&image);
      paintRing(painter, kept, fraction, top);
      painter.end();
      return image;
    };
    bandedAt(from, 12.25);  // kept as it was
    const QImage banded = bandedAt(to, 20.25);
    QPicture whole;
    QPainter recording(&whole);
    recording.scale(scale, scale);
    paintRing(recording, ProcessingRing(), to, 20.25);
    recording.end();
    QImage stroked = canvas();
    stroked.setDevicePixelRatio(1.0);
    QPainter(&stroked).drawPicture(0, 0, whole);
    int worst = 0;
    for (int y = 0; y < stroked.height(); ++y)
      for (int x = 0; x < stroked.width(); ++x)
        for (const int shift : {0, 8, 16})
          worst = std::max(
              worst, std::abs(int((banded.pixel(x, y) >> shift) & 0xff) - int((stroked.pixel(x, y) >> shift) & 0xff)));
    QVERIFY(worst <= 2 && stroked.pixel(QPoint(59, 20) * scale) != stroked.pixel(0, 0));  // and it is drawn
  }

  // A progress report repaints what it moved on screen (the ring, the
  // percentage), not the whole screen, and nothing when it moved nothing.
  void progressRepaintsOnlyWhatMoved() {
    ProcessingProgress progress{AnalysisStage::aggregating, 0.5, std::nullopt};
    std::function<void()> report;
    ProcessingView view({.processingProgress = [&] { return progress; },
                         .lastProcessedMessageCount = [] { return qint64(48213); },
                         .processingDisplayName = [] { return QStringLiteral("Maya"); },
                         .intelligenceChoice = [] { return IntelligenceChoice::cloud; },
                         .changed = [&](QObject*, std::function<void()> slot) { report = std::move(slot); }});
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCoreApplication::processEvents();
    PaintedRegion painted(&view);
    progress.fraction = 0.5001;
    report();
    QCoreApplication::processEvents();
    QVERIFY(painted.region.isEmpty());
    progress.fraction = 0.6;
    report();
    QCoreApplication::processEvents();
    const ProcessingView::Layout layout = view.layout();
    QVERIFY(painted.region.contains(layout.ring.toAlignedRect()));
    QVERIFY(painted.region.contains(layout.percent.toAlignedRect()));
    QVERIFY(!painted.region.intersects(layout.title.toAlignedRect()));
    // The time left coming moves what lies under the ring; the title stays.
    painted.region = QRegion();
    progress.estimatedRemainingSeconds = 90.0;
    report();
    QCoreApplication::processEvents();
    const ProcessingView::Layout moved = view.layout();
    QVERIFY(moved.remaining && painted.region.contains(moved.remaining->toAlignedRect()));
    for (const QRectF& row : moved.rows + layout.rows) QVERIFY(painted.region.contains(row.toAlignedRect()));
    QVERIFY(!painted.region.intersects(moved.title.toAlignedRect()));
  }

  // A frame drawn after the run moves on shows where it is: the laid-out
  // screen is kept only while nothing it shows changes.
  void framesFollowTheRun() {
    ScreenHarness harness;
    harness.holdRunAt(kMaya, {AnalysisStage::aggregating, 0.25, std::nullopt});
    ProcessingView view(hostsOf(harness.coordinator()));
    const auto shows = [&view](const QString& percent) {  // digits are drawn one by one
      PaintRecorder recorder;
      paintInto(recorder, view);
      return recorder.allText().contains(percent);
    };
    QVERIFY(shows(QStringLiteral("|2|5|%|")));
    harness.holdRunAt(kMaya, {AnalysisStage::aggregating, 0.5, std::nullopt});
    QVERIFY(shows(QStringLiteral("|5|0|%|")));
    QVERIFY(!shows(QStringLiteral("|2|5|%|")));
  }

  void statusLinesRotate() {
    ScreenHarness harness;
    harness.coordinator().selectIntelligence(IntelligenceChoice::cloud);
    harness.holdRunAt(kMaya, {AnalysisStage::readingMessages, 0.02, std::nullopt});
    ProcessingView view(hostsOf(harness.coordinator()));
    QVERIFY(view.isRotating());
    QCOMPARE(view.rowLabels().first(), QStringLiteral("Cracking things open\u2026"));
    view.advanceStatusLine();
    QCOMPARE(view.rowLabels().first(), QStringLiteral("Pulling threads loose\u2026"));
    view.advanceStatusLine();
    QCOMPARE(view.rowLabels().first(), QStringLiteral("Decoding 48,213 little things\u2026"));
    view.advanceStatusLine();
    QCOMPARE(view.rowLabels().first(), QStringLiteral("Cracking things open\u2026"));
    view.advanceStatusLine();

    // The next stage: the finished row shows its summary, the new one starts at its first line.
    harness.holdRunAt(kMaya, {AnalysisStage::aggregating, 0.3, std::nullopt});
    QCOMPARE(view.rotationIndex(), 0);
    QCOMPARE(view.rowLabels().mid(0, 2),
             (QStringList{QStringLiteral("Loading 48,213 messages"), QStringLiteral("Tallying the receipts\u2026")}));
    QVERIFY(view.isRotating());

    // The rotation stops with the screen.
    view.show();
    view.hide();
    QVERIFY(!view.isRotating());
  }

  // A new status line fades in while the old one sinks out; at the end only
  // the new one is left, as drawn without motion.
  void statusLineTransition_data() {
    QTest::addColumn<double>("at");
    QTest::addColumn<bool>("oldShown");
    QTest::newRow("halfway") << 0.175 << true;
    QTest::newRow("after the end") << 0.36 << false;
  }
  void statusLineTransition() {
    QFETCH(double, at);
    QFETCH(bool, oldShown);
    ScreenHarness harness;
    harness.holdRunAt(kMaya, {AnalysisStage::readingMessages, 0.02, std::nullopt});
    ProcessingView view(hostsOf(harness.coordinator()));
    double now = 10.0;
    view.setClock([&now] { return now; });
    view.advanceStatusLine();
    now += at;
    PaintRecorder recorder;
    paintInto(recorder, view);
    const QList<PaintRecord> old = recorder.textsContaining(QStringLiteral("Cracking things open"));
    const QList<PaintRecord> shown = recorder.textsContaining(QStringLiteral("Pulling threads loose"));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(old.size(), oldShown ? 1 : 0);
    if (oldShown) {
      QVERIFY(old.first().opacity > 0.0 && old.first().opacity < 1.0);
      QVERIFY(shown.first().opacity > 0.0 && shown.first().opacity < 1.0);
      QVERIFY(old.first().bounds.top() > shown.first().bounds.top() - 4.0);  // sinking while the new one rises
    } else {
      QCOMPARE(shown.first().opacity, 1.0);
      Motion::OffScope still;
      PaintRecorder staticRecorder;
      paintInto(staticRecorder, view);
      QCOMPARE(staticRecorder.firstText(QStringLiteral("Pulling threads loose"))->bounds, shown.first().bounds);
    }
  }

  void longNameWrapsWithoutSqueezing() {
    ScreenHarness harness;
    harness.holdRunAt(kMaya, {AnalysisStage::aggregating, 0.3, 200.0});
    const ProcessingView shortName(hostsOf(harness.coordinator()));
    const ProcessingView::Layout plain = shortName.layout();
    ScreenHarness other;
    other.holdRunAt(ScreenHarness::summary(QStringLiteral("+15550102"),
                                           QStringLiteral("Maximiliana Alexandra von Hohenberg-Castellanos"), 12),
                    {AnalysisStage::aggregating, 0.3, 200.0});
    const ProcessingView longName(hostsOf(other.coordinator()));
    const ProcessingView::Layout wrapped = longName.layout();
    QCOMPARE(plain.titleText.lines.size(), 2);
    QCOMPARE(wrapped.titleText.lines.size(), 3);
    // The title keeps its full height; everything below moves down with it
    // and the checklist still ends above the aside.
    const qreal added = wrapped.titleText.height() - plain.titleText.height();
    QVERIFY(added > 30.0);
    QCOMPARE(wrapped.ring.top(), plain.ring.top() + added);
    QVERIFY(wrapped.rows.last().bottom() < wrapped.aside.top());
  }
};

MURMELA_TEST(ProcessingViewTest)
#include "ProcessingViewTest.moc"
