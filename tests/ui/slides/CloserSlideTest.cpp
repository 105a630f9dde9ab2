#include "SlideRecording.h"
#include "deck/chrome/SlideFrame.h"
#include "deck/slides/CloserSlide.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

class CloserSlideTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  // However long the closing paragraph, the box, the signature and both
  // buttons stay inside the frame and clear of each other and the footer: the
  // paragraph shrinks to 0.85 of its size, then is cut with an ellipsis.
  void paragraphLeavesRoomForTheButtons_data() {
    QTest::addColumn<int>("repeats");  // copies of the rich paragraph; 0 for an empty one
    QTest::addColumn<bool>("enableShare");
    QTest::addColumn<bool>("shrunk");
    QTest::addColumn<bool>("elided");
    QTest::newRow("empty") << 0 << true << false << false;
    QTest::newRow("rich") << 1 << true << false << false;
    QTest::newRow("twice as long") << 2 << true << true << true;
    QTest::newRow("twice as long, Done only: room for all of it") << 2 << false << true << false;
    QTest::newRow("twenty times") << 20 << true << true << true;
  }
  void paragraphLeavesRoomForTheButtons() {
    QFETCH(int, repeats);
    QFETCH(bool, enableShare);
    QFETCH(bool, shrunk);
    QFETCH(bool, elided);
    WrappedReport report = demoReport(QStringLiteral("rich"));
    const QString paragraph = report.closerParagraph;
    report.closerParagraph.clear();
    for (int i = 0; i < repeats; ++i) report.closerParagraph += (i > 0 ? QStringLiteral(" ") : QString()) + paragraph;

    const CloserSlide::Layout layout = CloserSlide{report, enableShare}.layout();
    QCOMPARE(layout.buttons.size(), enableShare ? 2 : 1);
    const QList<QRectF> blocks = layout.elementFrames();
    const qreal footerTop = SlideFrame{13, 14, std::nullopt}.layout().footer.row.top();
    for (qsizetype i = 1; i < blocks.size(); ++i) QVERIFY(blocks[i].top() >= blocks[i - 1].bottom());
    QVERIFY(blocks.last().bottom() <= footerTop);
    if (repeats > 0) QVERIFY(layout.paragraphBox.rect.contains(layout.paragraph.frame));
    QCOMPARE(layout.paragraph.text.scale < 1.0, shrunk);
    QVERIFY(layout.paragraph.text.scale >= 0.85 - 1e-9);
    QCOMPARE(layout.paragraph.text.elided, elided);
    if (repeats == 0) QCOMPARE(layout.paragraphBox.rect.size(), QSizeF(36, 36));  // its 18-point margins
    // Done stands 80 above the bottom, centred, Share 15 above it.
    const QRectF done = layout.button(CloserSlide::Element::done)->layout.frame;
    QCOMPARE(done, QRectF(129, 656, 132, 44));
    if (enableShare) QCOMPARE(layout.button(CloserSlide::Element::share)->layout.frame, QRectF(129, 597, 132, 44));
  }

  void buttonsAreCapsulesInTheirColours() {
    const WrappedReport report = demoReport(QStringLiteral("rich"));
    const CloserSlide closer{report, true};
    const auto recorder = recordSlide(closer);
    const CloserSlide::Layout layout = closer.layout();
    const QRectF share = layout.button(CloserSlide::Element::share)->layout.frame;
    const QRectF done = layout.button(CloserSlide::Element::done)->layout.frame;
    const auto at = [&](const QRectF& rect, const QColor& fill) {
      return recorder->where([&](const PaintRecord& r) { return r.fillColor() == fill && r.bounds == rect; }).size();
    };
    QCOMPARE(at(share, MurmelaTheme::sageDeep), 1);
    QCOMPARE(at(done, MurmelaTheme::cream), 1);
    const QList<PaintRecord> outlines = recorder->strokedWith(MurmelaTheme::sageDeep);
    QCOMPARE(outlines.size(), 1);
    QCOMPARE(outlines.first().stroke->widthF(), 1.3);
    // The symbols take the word's colour: cream on Share, sage-deep on Done.
    QCOMPARE(recorder
                 ->where([&](const PaintRecord& r) {
                   return r.kind == PaintRecord::Kind::shape && r.fillColor() == MurmelaTheme::cream &&
                          share.contains(r.bounds);
                 })
                 .size(),
             1);
  }
};

MURMELA_TEST(CloserSlideTest)
#include "CloserSlideTest.moc"
