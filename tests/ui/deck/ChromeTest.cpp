#include "brand/DoubleBubbleLogo.h"
#include "brand/MurmelaLogoAsset.h"
#include "deck/ShareSheetPresenter.h"
#include "deck/chrome/SlideFrame.h"
#include "kit/paint/Pens.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"
#include "theme/FontFactory.h"
#include "theme/ProductAddress.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace murmela;

namespace {

SlideShareContext contextFor(int index) {
  WrappedReport report;
  report.participantNames = {QStringLiteral("You"), QStringLiteral("Maya")};
  report.totalMessages = 48213;
  return SlideShareContext{report, index, QStringLiteral("+15551234567")};
}

std::unique_ptr<PaintRecorder> record(const SlideFrame& frame, const SlideFrame::Content& content = {}) {
  auto recorder = std::make_unique<PaintRecorder>();
  QPainter painter(recorder.get());
  frame.paint(painter, content);
  painter.end();
  return recorder;
}

bool near(qreal a, qreal b, qreal tolerance = 0.01) { return std::abs(a - b) <= tolerance; }

}  // namespace

class ChromeTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  void progressFillsUpToTheCurrentSlide_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("full");
    QTest::newRow("first slide") << 0 << 1;
    QTest::newRow("seventh slide") << 6 << 7;
    QTest::newRow("last slide") << 13 << 14;
  }
  void progressFillsUpToTheCurrentSlide() {
    QFETCH(int, index);
    QFETCH(int, full);
    const auto recorder = record(SlideFrame{index, 14, std::nullopt});
    const auto inRow = [](const PaintRecord& r) { return r.bounds.top() >= 13.99 && r.bounds.bottom() <= 16.51; };
    const QList<PaintRecord> solid =
        recorder->where([&](const PaintRecord& r) { return inRow(r) && r.fillColor() == MurmelaTheme::sageDeep; });
    const QList<PaintRecord> faint = recorder->where(
        [&](const PaintRecord& r) { return inRow(r) && r.fillColor() == withOpacity(MurmelaTheme::sageDeep, 0.22); });
    QCOMPARE(solid.size(), full);
    QCOMPARE(faint.size(), 14 - full);
    // 18 points in at both sides, 14 from the top, 2.5 high, 4 apart.
    const QList<QRectF> segments = ProgressBar{index, 14}.segments(QRectF(18, 14, 354, 2.5));
    QCOMPARE(segments.first().topLeft(), QPointF(18, 14));
    QVERIFY(near(segments.last().right(), 372));
    QVERIFY(near(segments[1].left() - segments[0].right(), 4));
    QVERIFY(near(solid.first().bounds.width(), (354.0 - 13 * 4) / 14));
  }

  void footerWithoutShareShowsLogoAndAddressOnly() {
    const auto recorder = record(SlideFrame{3, 14, std::nullopt});
    QVERIFY(recorder->textsContaining(QStringLiteral("SHARE")).isEmpty());
    QVERIFY(recorder->filledWith(withOpacity(MurmelaTheme::ink, 0.18)).isEmpty());
    const auto address = recorder->firstText(productDomain());
    QVERIFY(address);
    QCOMPARE(address->font.family(), QStringLiteral("DM Serif Display"));
    QVERIFY(address->font.italic());
    QCOMPARE(address->fontSize, 16.0);
    QCOMPARE(address->color, MurmelaTheme::sageDeep);
    // The row sits centred, 18 points above the bottom.
    const FooterMark::Layout footer = SlideFrame{3, 14, std::nullopt}.layout().footer;
    QVERIFY(near(footer.row.center().x(), 195));
    QVERIFY(near(footer.row.bottom(), 762));
    QVERIFY(near(footer.addressRect.left() - footer.logo.right(), 10));
  }

  // No logo image in the bundle: the bubble pair, solid sage-deep behind,
  // dashed rose in front, in a 15.12 x 14 frame.
  void logoFallsBackToTheBubblePair() {
    QVERIFY(!MurmelaLogoAsset::image());
    QCOMPARE(DoubleBubbleLogo{14}.frameSize(), QSizeF(15.12, 14));
    const auto recorder = record(SlideFrame{0, 14, std::nullopt});
    const QList<PaintRecord> back = recorder->strokedWith(MurmelaTheme::sageDeep);
    const QList<PaintRecord> front = recorder->strokedWith(MurmelaTheme::rose);
    QCOMPARE(back.size(), 1);
    QVERIFY(near(back.first().stroke->widthF(), 1.0));
    QCOMPARE(back.first().stroke->style(), Qt::SolidLine);
    QCOMPARE(front.size(), 4);  // dashed side by side
    for (const PaintRecord& side : front) {
      QVERIFY(near(side.stroke->widthF(), 0.875));
      QCOMPARE(side.stroke->capStyle(), Qt::FlatCap);
      const QList<qreal> dash = dashPatternInPoints(*side.stroke);
      QCOMPARE(dash.size(), 2);
      QVERIFY2(dash[0] > 2.0 && dash[0] < 4.5 && near(dash[0], dash[1]), qPrintable(QString::number(dash[0])));
    }
    QCOMPARE(recorder->filledWith(MurmelaTheme::rose).size(), 1);  // the front tail
  }

  void footerShareHandsTheSlidesContextToThePresenter() {
    const SlideFrame frame{6, 14, contextFor(6)};
    const auto recorder = record(frame);
    const auto share = recorder->firstText(QStringLiteral("SHARE"));
    QVERIFY(share);
    QCOMPARE(share->color, MurmelaTheme::inkSoft);
    QCOMPARE(share->fontSize, 9.0);
    QCOMPARE(share->font.family(), QStringLiteral("Inter"));
    QCOMPARE(recorder->filledWith(withOpacity(MurmelaTheme::ink, 0.18)).size(), 1);
    QCOMPARE(recorder->filledWith(MurmelaTheme::inkSoft).size(), 1);  // the share symbol

    const FooterMark::Layout footer = frame.layout().footer;
    QVERIFY(near(footer.divider.width(), 1) && near(footer.divider.height(), 12));
    QVERIFY(near(footer.shareTextRect.left() - footer.shareSymbol.right(), 5, 0.5));
    QVERIFY(footer.shareHitArea.contains(share->bounds.center()));
    QVERIFY(near(footer.row.center().x(), 195));

    ShareSheetPresenter presenter;
    QSignalSpy changed(&presenter, &ShareSheetPresenter::pendingChanged);
    QCOMPARE(frame.hitTest(footer.addressRect.center()), std::nullopt);
    QCOMPARE(frame.hitTest(QPointF(195, 400)), std::nullopt);
    const std::optional<SlideFrameElement> hit = frame.hitTest(share->bounds.center());
    QCOMPARE(hit, SlideFrameElement::share);
    frame.activate(*hit, presenter);
    QCOMPARE(changed.count(), 1);
    QVERIFY(presenter.pending());
    QCOMPARE(presenter.pending()->slideIndex, 6);
    QCOMPARE(presenter.pending()->contactHandle, QStringLiteral("+15551234567"));
    QCOMPARE(presenter.pending()->report.totalMessages, 48213);
  }

  void frameWithoutShareAnswersNoClicks() {
    const SlideFrame frame{6, 14, std::nullopt};
    for (const QPointF& point : {QPointF(195, 752), QPointF(260, 752), QPointF(10, 10)})
      QCOMPARE(frame.hitTest(point), std::nullopt);
  }

  // Background first, then the chrome, then the content: the content paints over
  // the chrome, in ink unless it says otherwise.
  void contentIsPaintedLastInInk() {
    QColor contentPen;
    const auto recorder = record(SlideFrame{1, 14, std::nullopt}, [&](QPainter& painter) {
      contentPen = painter.pen().color();
      painter.fillRect(QRectF(100, 100, 10, 10), MurmelaTheme::gold);
    });
    const QList<PaintRecord> records = recorder->records();
    QCOMPARE(records.first().fillColor(), MurmelaTheme::cream);
    QCOMPARE(records.first().bounds, QRectF(0, 0, 390, 780));
    QCOMPARE(records.last().fillColor(), MurmelaTheme::gold);
    QCOMPARE(contentPen, MurmelaTheme::ink);
  }

  // The page has transparent rounded corners once drawn on a clear image.
  void pageCornersAreRoundedAtEveryScale_data() {
    QTest::addColumn<qreal>("scale");
    QTest::newRow("1x") << 1.0;
    QTest::newRow("3x") << 3.0;
  }
  void pageCornersAreRoundedAtEveryScale() {
    QFETCH(qreal, scale);
    QImage image(QSize(390, 780) * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    SlideFrame{0, 14, std::nullopt}.paint(painter, {});
    painter.end();
    // At 3x the 2-point corner leaves its outermost pixels clear; at 1x they are mostly clear.
    for (const QPoint& corner : {QPoint(0, 0), QPoint(image.width() - 1, image.height() - 1)}) {
      const int alpha = qAlpha(image.pixel(corner));
      QVERIFY2(scale > 2 ? alpha == 0 : alpha < 128, qPrintable(QString::number(alpha)));
    }
    const QColor middle = image.pixelColor(image.width() / 2 + 1, int(image.height() * 0.4));
    QCOMPARE(middle.alpha(), 255);
    QVERIFY(std::abs(middle.redF() - MurmelaTheme::cream.redF()) < 0.03);
  }
};

MURMELA_TEST(ChromeTest)
#include "ChromeTest.moc"
