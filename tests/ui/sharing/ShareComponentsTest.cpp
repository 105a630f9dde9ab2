#include "sheets/share/ActionRow.h"
#include "sheets/share/GenerateLinkRow.h"
#include "sheets/share/GeneratedLinkPage.h"
#include "sheets/share/ShareOptionsPage.h"
#include "sheets/share/ShareTile.h"
#include "sheets/share/SocialGlyph.h"
#include "sheets/share/SocialScrollRow.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"

#include <QPainter>
#include <QTest>

using namespace murmela;

Q_DECLARE_METATYPE(murmela::ShareDestination)
Q_DECLARE_METATYPE(murmela::ShareMode)
Q_DECLARE_METATYPE(murmela::Symbol)
Q_DECLARE_METATYPE(murmela::ScrollChevron::Direction)
Q_DECLARE_METATYPE(murmela::Date)

namespace {

Date utc(int year, int month, int day, int hour = 12) {
  return Date::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, 0), QTimeZone::utc()));
}

// Paints into `recorder`; the painter has ended by the time the recording is read.
template <typename Paint>
void record(PaintRecorder& recorder, Paint paint) {
  QPainter painter(&recorder);
  paint(painter);
}

}  // namespace

class ShareComponentsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void destinationsByRawValue() {
    QStringList raw;
    for (const ShareDestination destination : ShareDestinations::allCases()) {
      raw.append(ShareDestinations::rawValue(destination));
      QCOMPARE(ShareDestinations::fromRawValue(raw.last()), destination);
    }
    QCOMPARE(raw, (QStringList{"instagram", "iMessage", "twitter", "tiktok", "copyImage", "downloadImage"}));
    QCOMPARE(ShareDestinations::fromRawValue(QStringLiteral("imessage")), std::nullopt);
    QCOMPARE(ShareModes::fromRawValue(QStringLiteral("slideshow")), ShareMode::slideshow);
    QCOMPARE(ShareModes::fromRawValue(QStringLiteral("Slideshow")), std::nullopt);
  }

  void chevronsStepTwoTiles_data() {
    QTest::addColumn<ScrollChevron::Direction>("direction");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    using Direction = ScrollChevron::Direction;
    QTest::newRow("right 0 to 2") << Direction::right << 0 << 2;
    QTest::newRow("right 2 to 3") << Direction::right << 2 << 3;
    QTest::newRow("right stays at 3") << Direction::right << 3 << 3;
    QTest::newRow("left 3 to 1") << Direction::left << 3 << 1;
    QTest::newRow("left 1 to 0") << Direction::left << 1 << 0;
    QTest::newRow("left stays at 0") << Direction::left << 0 << 0;
  }
  void chevronsStepTwoTiles() {
    QFETCH(ScrollChevron::Direction, direction);
    QFETCH(int, from);
    QFETCH(int, to);
    QCOMPARE(SocialScrollRow::steppedIndex(from, direction, 4), to);
  }

  void actionRows_data() {
    QTest::addColumn<ShareDestination>("destination");
    QTest::addColumn<ShareMode>("mode");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("subtitle");
    QTest::addColumn<Symbol>("icon");
    QTest::newRow("download, the deck") << ShareDestination::downloadImage << ShareMode::slideshow
                                        << "Download as images" << QString::fromUtf8("14 PNG · 1170 × 2340")
                                        << Symbol::arrowDownToLine;
    QTest::newRow("download, one slide") << ShareDestination::downloadImage << ShareMode::thisSlide
                                         << "Download as image" << QString::fromUtf8("PNG · 1170 × 2340")
                                         << Symbol::arrowDownToLine;
    QTest::newRow("copy, either mode") << ShareDestination::copyImage << ShareMode::slideshow << "Copy image"
                                       << QString::fromUtf8("To clipboard · PNG") << Symbol::docOnDoc;
    QTest::newRow("a social destination") << ShareDestination::twitter << ShareMode::thisSlide << "X"
                                          << "" << Symbol::arrowDownToLine;
  }
  void actionRows() {
    QFETCH(ShareDestination, destination);
    QFETCH(ShareMode, mode);
    QFETCH(QString, title);
    QFETCH(QString, subtitle);
    QFETCH(Symbol, icon);
    const ActionRow row{destination, mode, 14, MurmelaTheme::rose};
    QCOMPARE(row.title(), title);
    QCOMPARE(row.subtitle(), subtitle);
    QCOMPARE(row.icon(), icon);
    // Shown in capitals, and the row is at least as tall as its icon square with its padding.
    const ActionRow::Layout layout = row.layout(QPointF(18, 0), 330);
    PaintRecorder recorder;
    record(recorder, [&](QPainter& painter) { row.paint(painter, layout); });
    if (!subtitle.isEmpty()) QVERIFY(recorder.firstText(subtitle.toUpper()));
    QVERIFY(layout.frame.height() >= 60.0);
  }

  void tiles_data() {
    QTest::addColumn<ShareDestination>("destination");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("filled");
    QTest::newRow("Stories") << ShareDestination::instagram << "STORIES" << true;
    QTest::newRow("Messages") << ShareDestination::iMessage << "MESSAGES" << true;
    QTest::newRow("X") << ShareDestination::twitter << "X" << true;
    QTest::newRow("TikTok") << ShareDestination::tiktok << "TIKTOK" << true;
    QTest::newRow("copy: a clear square, no glyph") << ShareDestination::copyImage << "COPY IMAGE" << false;
    QTest::newRow("download: a clear square, no glyph")
        << ShareDestination::downloadImage << "DOWNLOAD AS IMAGE" << false;
  }
  void tiles() {
    QFETCH(ShareDestination, destination);
    QFETCH(QString, label);
    QFETCH(bool, filled);
    const ShareTile tile{destination};
    const ShareTile::Layout layout = tile.layout(QPointF(0, 0));
    PaintRecorder recorder;
    record(recorder, [&](QPainter& painter) { tile.paint(painter, layout); });
    QCOMPARE(recorder.allText(), label);
    const QList<PaintRecord> inSquare = recorder.where([&](const PaintRecord& record) {
      return record.kind == PaintRecord::Kind::shape && layout.square.contains(record.bounds.center());
    });
    QCOMPARE(inSquare.isEmpty(), !filled);
    if (filled) QCOMPARE(recorder.filledWith(ShareTile::fill(destination)).size(), 1);
  }

  void drawnGlyphsScaleButNotTheirStroke() {
    const QRectF small(0, 0, 24, 24);
    const QRectF large(0, 0, 48, 48);
    const QTransform twice = QTransform::fromScale(2, 2);
    QCOMPARE(twice.mapRect(SocialGlyph::letterMark(small).boundingRect()),
             SocialGlyph::letterMark(large).boundingRect());
    QCOMPARE(twice.map(SocialGlyph::cameraDot(small).boundingRect().center()),
             SocialGlyph::cameraDot(large).boundingRect().center());
    for (const QRectF& area : {small, large}) {
      PaintRecorder recorder;
      record(recorder, [&](QPainter& painter) {
        SocialGlyph{ShareDestination::instagram, MurmelaTheme::cream}.paint(painter, area);
      });
      const QList<PaintRecord> strokes = recorder.strokedWith(MurmelaTheme::cream);
      QCOMPARE(strokes.size(), 1);
      QCOMPARE(strokes.first().stroke->widthF(), 1.6);
    }
  }

  void generateLinkRowLooks_data() {
    QTest::addColumn<bool>("generating");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("errorLines");
    const QString longError = QString(QStringLiteral("Share link HTTP 400: nope ")).repeated(6);
    QTest::newRow("idle, no error: the button alone") << false << ""
                                                      << "Generate link" << 0;
    QTest::newRow("generating keeps its subtitle") << true << ""
                                                   << "Generating link..." << 0;
    QTest::newRow("a long error wraps") << false << longError << "Generate link" << 3;
  }
  void generateLinkRowLooks() {
    QFETCH(bool, generating);
    QFETCH(QString, error);
    QFETCH(QString, title);
    QFETCH(int, errorLines);
    const GenerateLinkRow row{generating, error.isEmpty() ? std::nullopt : std::optional<QString>(error)};
    const GenerateLinkRow::Layout layout = row.layout(QPointF(18, 0), 330);
    PaintRecorder recorder;
    record(recorder, [&](QPainter& painter) { row.paint(painter, layout); });
    QVERIFY(recorder.firstText(title));
    QVERIFY(recorder.firstText(QString::fromUtf8("SHARE ANYWHERE · 30-DAY EXPIRY")));
    QCOMPARE(layout.error ? layout.error->lines.size() : 0, errorLines);
    if (layout.error) QVERIFY(!layout.error->elided);
    // The row grows to hold its error below the button.
    const qreal below = layout.error ? layout.error->height() : 0.0;
    QVERIFY(layout.frame.height() > layout.button.height() + below);
  }

  void headerSubtitles_data() {
    QTest::addColumn<ShareMode>("mode");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("subtitle");
    QTest::newRow("the deck") << ShareMode::slideshow << 3 << "You and Sam";
    QTest::newRow("slide 1") << ShareMode::thisSlide << 0 << "Cold open";
    QTest::newRow("slide 14") << ShareMode::thisSlide << 13 << "The closer";
    QTest::newRow("past the deck") << ShareMode::thisSlide << 14 << "This slide";
    QTest::newRow("before the deck") << ShareMode::thisSlide << -1 << "This slide";
  }
  void headerSubtitles() {
    QFETCH(ShareMode, mode);
    QFETCH(int, index);
    QFETCH(QString, subtitle);
    WrappedReport report;
    report.participantNames.them = QStringLiteral("Sam");
    QCOMPARE(ShareOptionsPage::headerSubtitle(SlideShareContext{report, index, std::nullopt}, mode), subtitle);
  }

  void linkDisplayForm_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("shown");
    QTest::newRow("scheme and trailing slash go") << "https://murmela.app/s/abc/"
                                                  << "murmela.app/s/abc";
    QTest::newRow("another scheme stays") << "http://murmela.app/s/abc/"
                                          << "http://murmela.app/s/abc";
    QTest::newRow("every https:// goes") << "https://x.test/r/https://y/"
                                         << "x.test/r/y";
  }
  void linkDisplayForm() {
    QFETCH(QString, url);
    QFETCH(QString, shown);
    QCOMPARE(GeneratedLinkPage::displayForm(QUrl(url)), shown);
  }

  void daysLeft_data() {
    QTest::addColumn<Date>("now");
    QTest::addColumn<double>("hoursLeft");
    QTest::addColumn<qint64>("days");
    const Date may = utc(2025, 5, 1);
    QTest::newRow("29 days 23 hours: 29") << may << 29 * 24 + 23.0 << qint64(29);
    QTest::newRow("30 days") << may << 30 * 24.0 << qint64(30);
    QTest::newRow("3 hours: 1") << may << 3.0 << qint64(1);
    QTest::newRow("already expired: 1") << may << -5.0 << qint64(1);
    // Calendar days on the wall clock of New York, not 24-hour blocks.
    QTest::newRow("29 d 23 h over the spring change: 30") << utc(2025, 3, 1) << 29 * 24 + 23.0 << qint64(30);
    QTest::newRow("30 d over the autumn change: 29") << utc(2025, 11, 1) << 30 * 24.0 << qint64(29);
  }
  void daysLeft() {
    QFETCH(Date, now);
    QFETCH(double, hoursLeft);
    QFETCH(qint64, days);
    QCOMPARE(GeneratedLinkPage::daysUntil(now.addingSeconds(hoursLeft * 3600.0), now, QTimeZone("America/New_York")),
             days);
  }
};

MURMELA_TEST(ShareComponentsTest)
#include "ShareComponentsTest.moc"
