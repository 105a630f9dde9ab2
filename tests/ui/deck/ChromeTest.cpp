#include "brand/BubbleShape.h"
#include "brand/DoubleBubbleLogo.h"
#include "brand/MurmelaLogoAsset.h"
#include "brand/SpeckleBackground.h"
#include "deck/ShareSheetPresenter.h"
#include "deck/chrome/SlideFrame.h"
#include "kit/overlay/ToastManager.h"
#include "kit/paint/Pens.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"
#include "theme/FontFactory.h"
#include "theme/ProductAddress.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <thread>
#include <vector>

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

qreal distance(const QColor& a, const QColor& b) {
  return std::hypot(a.redF() - b.redF(), a.greenF() - b.greenF(), a.blueF() - b.blueF());
}

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

  // The drawn pair stays inside its frame at every size it is shown at (the
  // footer and processing screen, the home screen, the welcome screen), fills
  // the frame's width, and carries a rose dash on each corner of the front bubble.
  void logoDrawingStaysInsideItsFrame_data() {
    QTest::addColumn<qreal>("size");
    QTest::addColumn<qreal>("scale");
    QTest::newRow("footer 14 at 1x") << 14.0 << 1.0;
    QTest::newRow("footer 14 at 3x") << 14.0 << 3.0;
    QTest::newRow("home 22 at 2x") << 22.0 << 2.0;
    QTest::newRow("welcome 130 at 3x") << 130.0 << 3.0;
  }
  void logoDrawingStaysInsideItsFrame() {
    QFETCH(qreal, size);
    QFETCH(qreal, scale);
    const DoubleBubbleLogo logo{size};
    constexpr qreal margin = 40.0;
    const QRectF frame(QPointF(margin, margin), logo.frameSize());
    QImage image((frame.size() + QSizeF(2 * margin, 2 * margin)).toSize() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    logo.paint(painter, frame, std::nullopt);
    painter.end();

    const QRect inside = QRectF(frame.topLeft() * scale, frame.size() * scale).toAlignedRect();
    QRect inked;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qAlpha(image.pixel(x, y)) > 8) inked |= QRect(x, y, 1, 1);
    QCOMPARE(inside | inked, inside);  // no ink outside the frame
    QVERIFY(inked.left() - inside.left() <= 1 && inside.right() - inked.right() <= 1);
    QVERIFY(inked.height() > inside.height() * 0.9);

    // Where one side's dashes end and the next side's begin, at each corner's middle.
    const DoubleBubbleLogo::Bubble front = logo.bubbles(frame).front;
    QCOMPARE(front.body.size(), 4);
    for (int i = 0; i < 4; ++i) {
      const QPointF corner =
          (front.body[i].path.pointAtPercent(1) + front.body[(i + 1) % 4].path.pointAtPercent(0)) / 2.0;
      const QColor seen = image.pixelColor(int(corner.x() * scale), int(corner.y() * scale));
      // At 1x the thin line shares its pixel with the back bubble's: rose must still be the nearer colour.
      QVERIFY2(seen.alpha() > 100 && distance(seen, MurmelaTheme::rose) < distance(seen, MurmelaTheme::sageDeep),
               qPrintable(QStringLiteral("corner %1: %2").arg(i).arg(seen.name(QColor::HexArgb))));
    }
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
    SpeckleBackground::paintDotByDot(painter, slide);
    painter.end();
    const QList<PaintRecord> large = recorder.filledWith(withOpacity(MurmelaTheme::sageDeep, 0.12));
    const QList<PaintRecord> small = recorder.filledWith(withOpacity(MurmelaTheme::sageDeep, 0.055));
    QCOMPARE(large.size(), 9604);
    QCOMPARE(small.size(), 9604);
    QCOMPARE(large.first().bounds, QRectF(0, 0, 1.25, 1.25));
    QCOMPARE(small.first().bounds, QRectF(0, 4, 0.8, 0.8));
  }

  // The speckle drawn from its cached tile looks as drawn dot by dot, at every
  // scale the window, the export and the gallery use, under the onboarding
  // screens' opacity, and where the pattern cannot be tiled (a scale or an
  // offset off the pixel grid) it is drawn dot by dot.
  void speckleFromTheTileMatchesDotByDot_data() {
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<qreal>("opacity");
    QTest::addColumn<bool>("tiled");
    QTest::newRow("1x") << 1.0 << QPointF() << 1.0 << true;
    QTest::newRow("2x") << 2.0 << QPointF() << 1.0 << true;
    QTest::newRow("3x, the export") << 3.0 << QPointF() << 1.0 << true;
    QTest::newRow("1.5x, onboarding opacity") << 1.5 << QPointF(2, 4) << 0.55 << true;
    QTest::newRow("12x, the gallery's zoom") << 12.0 << QPointF() << 1.0 << true;
    QTest::newRow("half a pixel off") << 2.0 << QPointF(0.25, 0) << 1.0 << false;
    QTest::newRow("1.1x") << 1.1 << QPointF() << 1.0 << false;
  }
  void speckleFromTheTileMatchesDotByDot() {
    QFETCH(qreal, scale);
    QFETCH(QPointF, offset);
    QFETCH(qreal, opacity);
    QFETCH(bool, tiled);
    const QSizeF area(scale > 4 ? QSizeF(40, 40) : QSizeF(390, 780));
    const auto render = [&](bool direct) {
      QImage image((area * scale).toSize() + QSize(8, 8), QImage::Format_ARGB32_Premultiplied);
      image.setDevicePixelRatio(scale);
      image.fill(MurmelaTheme::cream);
      QPainter painter(&image);
      painter.setOpacity(opacity);
      painter.translate(offset);
      const SpeckleBackground::Drawn drawn =
          direct ? (SpeckleBackground::paintDotByDot(painter, area), SpeckleBackground::Drawn::dotByDot)
                 : SpeckleBackground::paint(painter, area);
      painter.end();
      return std::pair{image, drawn};
    };
    const auto [cached, drawn] = render(false);
    const QImage direct = render(true).first;
    QCOMPARE(drawn == SpeckleBackground::Drawn::fromTile, tiled);
    int worst = 0;
    int inked = 0;
    for (int y = 0; y < direct.height(); ++y) {
      const QRgb* a = reinterpret_cast<const QRgb*>(cached.constScanLine(y));
      const QRgb* b = reinterpret_cast<const QRgb*>(direct.constScanLine(y));
      for (int x = 0; x < direct.width(); ++x) {
        worst = std::max({worst, std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                          std::abs(qBlue(a[x]) - qBlue(b[x]))});
        if (b[x] != QColor(MurmelaTheme::cream).rgba()) ++inked;
      }
    }
    QVERIFY2(worst <= 2, qPrintable(QString::number(worst)));
    QVERIFY(inked > direct.width() * direct.height() / 20);  // the dots are there
  }

  // Slide images are also painted on worker threads: threads that ask for a
  // tile at a new scale at the same moment all draw the same pattern.
  void speckleTilesServeManyThreads() {
    constexpr int kThreads = 4;
    constexpr qreal kScale = 2.5;  // a scale no other test draws at
    std::vector<QImage> images(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
      threads.emplace_back([&images, i] {
        QImage image(QSize(100, 100), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(kScale);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        SpeckleBackground::paint(painter, QSizeF(40, 40));
        painter.end();
        images[i] = image;
      });
    for (std::thread& thread : threads) thread.join();
    for (int i = 1; i < kThreads; ++i) QCOMPARE(images[i], images[0]);
    QVERIFY(qAlpha(images[0].pixel(1, 1)) > 0);
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
