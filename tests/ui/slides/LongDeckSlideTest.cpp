#include "SlideRecording.h"
#include "data/FakeReportLoader.h"
#include "deck/LongDeckSlide.h"
#include "deck/ShareSheetPresenter.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"
#include "theme/FontRegistry.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

std::unique_ptr<PaintRecorder> record(const LongDeckSlide& slide) {
  auto recorder = std::make_unique<PaintRecorder>();
  QPainter painter(recorder.get());
  slide.paint(painter);
  painter.end();
  return recorder;
}

}  // namespace

class LongDeckSlideTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  // The footer's Share appears only with sharing on and below the closer, and
  // hands over this slide's index and the contact handle.
  void footerShareFollowsSharingAndIndex_data() {
    QTest::addColumn<bool>("enableShare");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("footerShare");
    QTest::newRow("first slide, sharing on") << true << 0 << true;
    QTest::newRow("slide 4, sharing on") << true << 4 << true;
    QTest::newRow("slide 12, sharing on") << true << 12 << true;
    QTest::newRow("the closer, sharing on") << true << 13 << false;
    QTest::newRow("past the end, sharing on") << true << 20 << false;
    QTest::newRow("negative, sharing on") << true << -1 << false;
    QTest::newRow("slide 4, export") << false << 4 << false;
    QTest::newRow("the closer, export") << false << 13 << false;
  }
  void footerShareFollowsSharingAndIndex() {
    QFETCH(bool, enableShare);
    QFETCH(int, index);
    QFETCH(bool, footerShare);
    const WrappedReport report = FakeReportLoader::load(FakeDataFixture::rich);
    const LongDeckSlide slide{report, index, enableShare, QStringLiteral("+15551234567")};
    const auto recorder = record(slide);
    // The footer's label (9 points); the closer's own Share button is larger.
    const QList<PaintRecord> labels = recorder->where([](const PaintRecord& r) {
      return r.text.contains(QStringLiteral("SHARE")) && qFuzzyCompare(r.fontSize, 9.0);
    });
    QCOMPARE(labels.size(), footerShare ? 1 : 0);
    QCOMPARE(slide.shareContext().has_value(), footerShare);
    if (!footerShare) return;

    const QPointF label = labels.first().bounds.center();
    QCOMPARE(slide.hitTest(label), LongDeckSlide::Element::footerShare);
    ShareSheetPresenter presenter;
    QSignalSpy changed(&presenter, &ShareSheetPresenter::pendingChanged);
    slide.activate(*slide.hitTest(label), presenter, {});
    QCOMPARE(changed.count(), 1);
    QVERIFY(presenter.pending());
    QCOMPARE(presenter.pending()->slideIndex, index);
    QCOMPARE(presenter.pending()->contactHandle, QStringLiteral("+15551234567"));
    QCOMPARE(presenter.pending()->report.totalMessages, report.totalMessages);
  }

  // A right-to-left name inside an English sentence keeps the sentence in
  // order: the words around the name stand on its sides as they are written.
  void rightToLeftNamesKeepSentencesInOrder_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("word");  // an English word on the name's line
    QTest::addColumn<bool>("wordFirst");
    QTest::newRow("cold open") << 0 << "You &" << true;
    QTest::newRow("receipts bar") << 1 << "%" << false;
    QTest::newRow("initiation caption") << 7 << "misses you" << false;
    QTest::newRow("argument map legend") << 10 << "CAVED" << false;
  }
  void rightToLeftNamesKeepSentencesInOrder() {
    QFETCH(int, index);
    QFETCH(QString, word);
    QFETCH(bool, wordFirst);
    const WrappedReport report = edgeReport(QStringLiteral("rtl"));
    const auto recorder = record(LongDeckSlide{report, index, true, std::nullopt});
    // The last one drawn: the other person's label comes after the user's.
    const QList<PaintRecord> words = recorder->textsContaining(word);
    QVERIFY(!words.isEmpty());
    const std::optional<PaintRecord> anchor = words.last();
    // The name: every right-to-left run on the word's line.
    QRectF name;
    for (const PaintRecord& part : recorder->texts())
      if (std::abs(part.baselineOrigin.y() - anchor->baselineOrigin.y()) < 1.0 && part.text.isRightToLeft())
        name |= part.bounds;
    QVERIFY(!name.isEmpty());
    const bool inOrder =
        wordFirst ? anchor->bounds.right() <= name.left() + 0.5 : name.right() <= anchor->bounds.left() + 0.5;
    QVERIFY2(inOrder, qPrintable(QStringLiteral("name %1 to %2, \"%3\" %4 to %5")
                                     .arg(name.left())
                                     .arg(name.right())
                                     .arg(word)
                                     .arg(anchor->bounds.left())
                                     .arg(anchor->bounds.right())));
  }

  // Every index from 0 to 12 shows its own slide; every other index the closer.
  void everyIndexShowsItsSlide_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("title");
    const QStringList titles = {"You & Jordan",
                                "The receipts.",
                                "you typed",
                                "spike.",
                                "Messages, by year.",
                                "No pet name debut.",
                                "Who said",
                                "You started it.",
                                "Your dialect.",
                                "Median minutes to reply.",
                                "Every fight, charted.",
                                "Sentiment over time.",
                                "The longest of each."};
    for (int index = 0; index < titles.size(); ++index) QTest::addRow("%d", index) << index << titles[index];
    for (const int index : {13, 14, 99, -1}) QTest::addRow("%d", index) << index << "That's a wrap.";
  }
  void everyIndexShowsItsSlide() {
    QFETCH(int, index);
    QFETCH(QString, title);
    const WrappedReport report = FakeReportLoader::load(FakeDataFixture::minimal);
    const auto recorder = record(LongDeckSlide{report, index, true});
    QVERIFY2(recorder->firstText(title), qPrintable(recorder->allText()));
    QCOMPARE(recorder->firstText(QStringLiteral("That's a wrap.")).has_value(),
             title == QLatin1String("That's a wrap."));
  }

  // The closer's buttons answer through the switch: Share hands over slide 13
  // and the handle (and is not there with sharing off), Done calls the deck's
  // action when it has one.
  void closerButtonsActThroughTheSwitch_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("enableShare");
    QTest::addColumn<bool>("withDone");
    QTest::addColumn<QString>("label");  // the button clicked
    QTest::addColumn<bool>("shared");
    QTest::addColumn<int>("doneCalls");
    QTest::newRow("share on 13") << 13 << true << true << "SHARE" << true << 0;
    QTest::newRow("share past the end") << 30 << true << true << "SHARE" << true << 0;
    QTest::newRow("done") << 13 << true << true << "DONE" << false << 1;
    QTest::newRow("done without an action") << 13 << true << false << "DONE" << false << 0;
    QTest::newRow("no share with sharing off") << 13 << false << true << "SHARE" << false << 0;
  }
  void closerButtonsActThroughTheSwitch() {
    QFETCH(int, index);
    QFETCH(bool, enableShare);
    QFETCH(bool, withDone);
    QFETCH(QString, label);
    QFETCH(bool, shared);
    QFETCH(int, doneCalls);
    const WrappedReport report = FakeReportLoader::load(FakeDataFixture::rich);
    const LongDeckSlide slide{report, index, enableShare, QStringLiteral("maya@example.com")};
    const auto text = record(slide)->firstText(label);
    QCOMPARE(text.has_value(), enableShare || label == QLatin1String("DONE"));
    // Where Share stands with sharing on: nothing answers there with it off.
    const QPointF point = text ? text->bounds.center() : QPointF(195, 619);
    const std::optional<LongDeckSlide::Element> hit = slide.hitTest(point);
    QCOMPARE(hit.has_value(), text.has_value());
    ShareSheetPresenter presenter;
    int done = 0;
    const std::function<void()> onDone = withDone ? std::function<void()>([&] { ++done; }) : nullptr;
    if (hit) slide.activate(*hit, presenter, onDone);
    QCOMPARE(done, doneCalls);
    QCOMPARE(presenter.pending().has_value(), shared);
    if (!shared) return;
    QCOMPARE(presenter.pending()->slideIndex, 13);
    QCOMPARE(presenter.pending()->contactHandle, QStringLiteral("maya@example.com"));
    // Pressed, the button dims and Done does not.
    PaintRecorder recorder;
    QPainter painter(&recorder);
    slide.paint(painter, {std::nullopt, hit});
    painter.end();
    QVERIFY(textIn(recorder, label, MurmelaTheme::cream)->opacity < 1.0);
    QCOMPARE(textIn(recorder, QStringLiteral("DONE"), MurmelaTheme::sageDeep)->opacity, 1.0);
  }

  // Every slide of each demo report renders as a 1170 x 2340 image with
  // clear corners and content of its own over the bare frame.
  void everySlideRendersAtThreeTimes_data() {
    QTest::addColumn<int>("fixture");
    QTest::addColumn<int>("index");
    for (const FakeDataFixture fixture : {FakeDataFixture::rich, FakeDataFixture::minimal, FakeDataFixture::friendship})
      for (int index = 0; index < LongDeckSlide::kCount; ++index)
        QTest::addRow("%s %d", qPrintable(rawValue(fixture)), index) << static_cast<int>(fixture) << index;
  }
  void everySlideRendersAtThreeTimes() {
    QFETCH(int, fixture);
    QFETCH(int, index);
    const WrappedReport report = FakeReportLoader::load(static_cast<FakeDataFixture>(fixture));
    const QImage image = LongDeckSlide{report, index}.image();
    QCOMPARE(image.size(), QSize(1170, 2340));
    QCOMPARE(image.devicePixelRatio(), 3.0);
    for (const QPoint& corner : {QPoint(0, 0), QPoint(1169, 0), QPoint(0, 2339), QPoint(1169, 2339)})
      QCOMPARE(qAlpha(image.pixel(corner)), 0);

    QImage bare(image.size(), QImage::Format_ARGB32_Premultiplied);
    bare.setDevicePixelRatio(3.0);
    bare.fill(Qt::transparent);
    QPainter painter(&bare);
    LongDeckSlide{report, index}.frame().paint(painter, {});
    painter.end();
    qint64 changed = 0;
    for (int y = 0; y < image.height(); y += 3)
      for (int x = 0; x < image.width(); x += 3) changed += image.pixel(x, y) != bare.pixel(x, y);
    QVERIFY2(changed > 200, qPrintable(QStringLiteral("%1 pixels of content").arg(changed)));
  }
};

MURMELA_TEST(LongDeckSlideTest)
#include "LongDeckSlideTest.moc"
