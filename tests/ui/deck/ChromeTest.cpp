#include "deck/chrome/BubbleShape.h"
#include "deck/chrome/DoubleBubbleLogo.h"
#include "deck/chrome/MurmelaLogoAsset.h"
#include "deck/chrome/SlideFrame.h"
#include "deck/chrome/SpeckleBackground.h"
#include "kit/paint/Pens.h"
#include "kit/testing/PaintRecorder.h"
#include "share/ShareSheetPresenter.h"
#include "share/ToastManager.h"
#include "support/TestRegistry.h"
#include "theme/FontFactory.h"
#include "theme/ProductAddress.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
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

// A 60 x 56 vector logo (the namespace URL's slashes escaped: moc misreads
// a double slash inside a string literal as a comment).
constexpr const char* kSvgLogo =
    "<svg xmlns='http:\x2f\x2fwww.w3.org/2000/svg' width='60' height='56'><rect width='60' height='56' "
    "fill='red'/></svg>";

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
    const DoubleBubbleLogo logo{14};
    QCOMPARE(logo.frameSize(), QSizeF(15.12, 14));
    const auto recorder = record(SlideFrame{0, 14, std::nullopt});
    const QRectF frame = SlideFrame{0, 14, std::nullopt}.layout().footer.logo;
    const QList<PaintRecord> back = recorder->strokedWith(MurmelaTheme::sageDeep);
    const QList<PaintRecord> front = recorder->strokedWith(MurmelaTheme::rose);
    QCOMPARE(back.size(), 1);
    QCOMPARE(front.size(), 1);
    QVERIFY(near(back.first().stroke->widthF(), 1.0));
    QCOMPARE(back.first().stroke->style(), Qt::SolidLine);
    QVERIFY(near(front.first().stroke->widthF(), 0.875));
    QCOMPARE(dashPatternInPoints(*front.first().stroke), (QList<qreal>{3, 3}));
    QCOMPARE(front.first().stroke->capStyle(), Qt::FlatCap);
    // The back bubble is up and to the left of the frame, the front one down and to the right.
    const DoubleBubbleLogo::Bubbles bubbles = logo.bubbles(frame);
    QVERIFY(near(bubbles.back.left(), frame.left() - 1.12) && near(bubbles.back.top(), frame.top() - 0.7));
    QCOMPARE(bubbles.front.size(), QSizeF(14 * 0.78, 14 * 0.58));
    QVERIFY(near(bubbles.front.center().x(), frame.center().x() + 1.96));
    QVERIFY(back.first().bounds.intersects(frame) && front.first().bounds.intersects(frame));
  }

  void bubbleTailHangsFromTheBody() {
    const QRectF rect(0, 0, 100, 100);
    const QPainterPath bubble = bubbleShapePath(rect);
    QCOMPARE(bubble.boundingRect(), rect);
    QVERIFY(bubble.contains(QPointF(50, 38)));     // the body
    QVERIFY(!bubble.contains(QPointF(80, 90)));    // below the body, away from the tail
    QVERIFY(bubble.contains(QPointF(28, 88)));     // inside the tail, leaning left
    QVERIFY(!bubble.contains(QPointF(0.5, 0.5)));  // a rounded corner
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

  void speckleIsAFixedCheckerboard() {
    const QSizeF slide(390, 780);
    const QList<SpeckleBackground::Dot> dots = SpeckleBackground::dots(slide);
    QCOMPARE(SpeckleBackground::columns(390), 98);
    QCOMPARE(SpeckleBackground::rows(780), 196);
    QCOMPARE(dots.size(), 19208);
    QCOMPARE(dots[0].topLeft, QPointF(0, 0));
    QCOMPARE(dots[0].diameter, 1.25);
    const qsizetype secondColumn = SpeckleBackground::rows(780);
    QCOMPARE(dots[secondColumn].topLeft, QPointF(4, 0));
    QCOMPARE(dots[secondColumn].diameter, 0.8);
    QCOMPARE(dots[1].topLeft, QPointF(0, 4));
    QCOMPARE(dots[1].diameter, 0.8);
    QCOMPARE(dots.last().topLeft, QPointF(388, 780));  // the row at the bottom edge is drawn (and clipped)
    QCOMPARE(SpeckleBackground::columns(392), 99);     // a width on the grid gets its edge column
    QCOMPARE(SpeckleBackground::dots(slide).size(), dots.size());

    PaintRecorder recorder;
    QPainter painter(&recorder);
    SpeckleBackground::paint(painter, slide);
    painter.end();
    const QList<PaintRecord> large = recorder.filledWith(withOpacity(MurmelaTheme::sageDeep, 0.12));
    const QList<PaintRecord> small = recorder.filledWith(withOpacity(MurmelaTheme::sageDeep, 0.055));
    QCOMPARE(large.size(), 9604);
    QCOMPARE(small.size(), 9604);
    QCOMPARE(large.first().bounds, QRectF(0, 0, 1.25, 1.25));
    QCOMPARE(small.first().bounds, QRectF(0, 4, 0.8, 0.8));
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

  void logoAssetTakesTheFirstCandidateThatLoads_data() {
    QTest::addColumn<QStringList>("files");  // "name:kind", kind png, svg or broken
    QTest::addColumn<QString>("chosen");     // empty: none
    QTest::newRow("none") << QStringList{} << "";
    QTest::newRow("only the png in Assets") << QStringList{"Assets/murmela_logo.png:png"} << "Assets/murmela_logo.png";
    QTest::newRow("svg first") << QStringList{"murmela_logo.png:png", "Assets/murmela_logo.svg:svg"}
                               << "Assets/murmela_logo.svg";
    QTest::newRow("a broken file moves on")
        << QStringList{"murmela_logo.svg:broken", "murmela_logo.png:png"} << "murmela_logo.png";
    QTest::newRow("all broken") << QStringList{"murmela_logo.png:broken"} << "";
  }
  void logoAssetTakesTheFirstCandidateThatLoads() {
    QFETCH(QStringList, files);
    QFETCH(QString, chosen);
    QTemporaryDir bundle;
    QVERIFY(QDir(bundle.path()).mkpath(QStringLiteral("Assets")));
    for (const QString& entry : files) {
      const QString name = entry.section(QLatin1Char(':'), 0, 0);
      const QString kind = entry.section(QLatin1Char(':'), 1);
      const QString path = QDir(bundle.path()).filePath(name);
      if (kind == QLatin1String("png")) {
        QImage image(30, 28, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(path, "PNG"));
      } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kind == QLatin1String("svg") ? kSvgLogo : "not an image");
      }
    }
    const std::optional<LogoImage> logo = MurmelaLogoAsset::find(ResourceBundle(bundle.path()));
    QCOMPARE(logo.has_value(), !chosen.isEmpty());
    if (!logo) return;
    QCOMPARE(logo->path(), QDir(bundle.path()).filePath(chosen));
    // Framed to the logo's height, its own aspect.
    QVERIFY(near(DoubleBubbleLogo{14}.frameSize(logo).width(), 15.0));
  }

  void toastsClearAfterTheirOwnDelay() {
    QList<std::function<void()>> pending;
    QList<int> delays;
    ToastManager toasts([&](int milliseconds, std::function<void()> fire) {
      delays.append(milliseconds);
      pending.append(std::move(fire));
    });
    QSignalSpy changed(&toasts, &ToastManager::currentChanged);
    QVERIFY(!toasts.current());
    toasts.show(QStringLiteral("Copied image."));
    toasts.show(QStringLiteral("Saved to Downloads."), 3.0);
    QCOMPARE(delays, (QList<int>{2400, 3000}));
    pending[0]();  // the first toast's delay runs out: the newer one stays
    QCOMPARE(toasts.current(), QStringLiteral("Saved to Downloads."));
    pending[1]();
    QVERIFY(!toasts.current());
    QCOMPARE(changed.count(), 3);
  }
};

MURMELA_TEST(ChromeTest)
#include "ChromeTest.moc"
