#include "GalleryLongTexts.h"
#include "GalleryReports.h"
#include "SlideRecording.h"
#include "deck/chrome/SlideFrame.h"
#include "deck/slides/ArgumentMapSlide.h"
#include "deck/slides/CloserSlide.h"
#include "deck/slides/DialectSlide.h"
#include "deck/slides/ResponseTimeSlide.h"
#include "deck/slides/StreakSlide.h"
#include "deck/slides/VibeShiftSlide.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QTest>

#include <functional>

using namespace murmela;
using namespace murmela::test;

namespace {

struct Drawn {
  std::unique_ptr<PaintRecorder> recorder;
  QList<QRectF> blocks;  // the slide's elements, top to bottom
};

// Slides nine to fourteen by index, recorded with their element rectangles.
Drawn draw(int index, const WrappedReport& report) {
  const auto drawn = [](const auto& slide) { return Drawn{recordSlide(slide), slide.layout().elementFrames()}; };
  switch (index) {
    case 8:
      return drawn(DialectSlide{report});
    case 9:
      return drawn(ResponseTimeSlide{report});
    case 10:
      return drawn(ArgumentMapSlide{report});
    case 11:
      return drawn(VibeShiftSlide{report});
    case 12:
      return drawn(StreakSlide{report});
    default:
      return drawn(CloserSlide{report, true});
  }
}

}  // namespace

class SlidesDrawTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  // What each slide shows for the rich report (hosted copy, every list full)
  // and the minimal one (no copy, empty lists): the texts, their colours and
  // typefaces.
  void slidesDrawTheirTexts_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("family");
    const QColor ink = MurmelaTheme::ink, inkSoft = MurmelaTheme::inkSoft, sage = MurmelaTheme::sageDeep,
                 rose = MurmelaTheme::rose, cream = MurmelaTheme::cream;
    const QString serif = QStringLiteral("DM Serif Display"), inter = QStringLiteral("Inter"),
                  caveat = QStringLiteral("Caveat");
    const auto row = [](int index, const char* fixture, const QString& text) -> QTestData& {
      return QTest::addRow("%d %s %s", index, fixture, qPrintable(text))
             << index << QString::fromLatin1(fixture) << text;
    };
    row(8, "rich", "Your dialect.") << ink << serif;
    row(8, "rich", "a private language, with two speakers. ") << sage << caveat;
    row(8, "rich", "You ") << sage << caveat;
    row(8, "rich", "Maya ") << rose << caveat;
    row(8, "rich", "love you") << ink << serif;
    row(8, "rich", "\u201Clol\u201D") << sage << caveat;
    row(8, "rich", "\u201Chaha\u201D") << rose << caveat;
    row(8, "rich", "everything you need to know. ") << inkSoft << caveat;
    row(8, "minimal", "Jordan ") << rose << caveat;
    row(8, "minimal", "\u201C...\u201D") << sage << caveat;
    row(9, "rich", "Median minutes to reply.") << ink << serif;
    row(9, "rich", "Replies slowed to about five minutes") << sage << caveat;
    row(9, "rich", " longest wait? ") << sage << caveat;
    row(9, "rich", "\u21B3") << sage << QString();  // the arrow comes from a fallback face
    row(9, "rich", "Maya made you wait 17") << ink << caveat;
    row(9, "rich", "MAYA") << ink << inter;
    row(9, "minimal", "how fast you came back. ") << sage << caveat;
    row(9, "minimal", "unknown. ") << ink << caveat;
    row(9, "minimal", "1m") << inkSoft << inter;
    row(9, "friendship", "You went from 6 minutes to 5 minutes.") << sage << caveat;
    row(10, "rich", "Every fight, charted.") << ink << serif;
    row(10, "rich", "YOU CAVED \u00B7 2") << ink << inter;
    row(10, "rich", "MAYA CAVED \u00B7 2") << ink << inter;
    row(10, "rich", "\u21B3") << ink << QString();
    row(10, "rich", " Four real storms") << ink << caveat;
    row(10, "minimal", "YOU CAVED \u00B7 0") << ink << inter;
    row(10, "minimal", "JORDAN CAVED \u00B7 0") << ink << inter;
    row(10, "minimal", "no clear argument clusters") << inkSoft << caveat;
    row(10, "minimal", "\u21B3 approximate \u2014 based on tone analysis.") << inkSoft << inter;
    row(11, "rich", "Sentiment over time.") << ink << serif;
    row(11, "rich", "\u21B3") << rose << QString();
    row(11, "rich", " June 2024 was the warmest") << rose << caveat;
    row(11, "rich", " something ") << sage << caveat;
    row(11, "rich", "happened in August 2023. ") << ink << caveat;
    row(11, "rich", "AUGUST 2023") << ink << inter;
    row(11, "friendship", "October 2023") << rose << caveat;
    row(11, "minimal", "the vibe stayed mostly steady. ") << ink << caveat;
    row(12, "rich", "The longest of each.") << ink << serif;
    row(12, "rich", "\u25C6 LONGEST STREAK") << sage << inter;
    row(12, "rich", "212") << ink << serif;
    row(12, "rich", "CONSECUTIVE DAYS \u00B7 AT LEAST ONE TEXT") << inkSoft << inter;
    row(12, "rich", "that's 212 days. uninterrupted.") << sage << caveat;
    row(12, "rich", "\u25C7 LONGEST SILENCE") << rose << inter;
    row(12, "rich", "DAYS") << inkSoft << inter;
    row(12, "rich", "AUGUST 2023") << inkSoft << inter;
    row(12, "rich", "wonder what happened there.") << ink << caveat;
    row(12, "rich", "1,261 DAYS \u00B7 1,209 WITH AT LEAST ONE TEXT") << inkSoft << inter;
    row(12, "minimal", "that's 1 days. uninterrupted.") << sage << caveat;
    row(12, "minimal", "FEBRUARY 2025") << inkSoft << inter;
    row(12, "minimal", "3 DAYS \u00B7 2 WITH AT LEAST ONE TEXT") << inkSoft << inter;
    row(13, "rich", "That's a wrap.") << ink << serif;
    row(13, "rich", "we literally") << sage << caveat;
    row(13, "rich", "Across 46,593 messages") << ink << serif;
    row(13, "rich", "\u2014 murmela, 2026 ") << rose << caveat;
    row(13, "rich", "SHARE") << cream << inter;
    row(13, "rich", "DONE") << sage << inter;
    row(13, "minimal", "Across 14 messages") << ink << serif;
  }
  void slidesDrawTheirTexts() {
    QFETCH(int, index);
    QFETCH(QString, fixture);
    QFETCH(QString, text);
    QFETCH(QColor, color);
    QFETCH(QString, family);
    const Drawn drawn = draw(index, demoReport(fixture));
    const std::optional<PaintRecord> record = textIn(*drawn.recorder, text, color);
    QVERIFY2(record, qPrintable(drawn.recorder->allText()));
    if (!family.isEmpty()) QCOMPARE(record->font.family(), family);
  }

  // Nothing is cut at the edge or runs into the next element, for the demo
  // reports, the gallery's edge and long-text reports, and long terms,
  // six-digit counts, emoji and right-to-left names.
  void slidesStayClearOfEachOtherAndTheEdges_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("data");
    QStringList data;
    for (const gallery::NamedReport& named : gallery::allReports()) data.append(named.name);
    data.append(QStringLiteral("long-texts"));
    for (const QString& kind : edgeKinds()) data.append(QStringLiteral("edge-") + kind);
    for (int index = 8; index <= 13; ++index)
      for (const QString& name : data) QTest::addRow("%d %s", index, qPrintable(name)) << index << name;
  }
  void slidesStayClearOfEachOtherAndTheEdges() {
    QFETCH(int, index);
    QFETCH(QString, data);
    const WrappedReport report = data.startsWith(QLatin1String("edge-")) ? edgeReport(data.mid(5)) : demoReport(data);
    const Drawn drawn = draw(index, report);
    // Above the footer row, inside the page, and in order down the page.
    const qreal footerTop = SlideFrame{index, 14, std::nullopt}.layout().footer.row.top();
    for (qsizetype i = 0; i < drawn.blocks.size(); ++i) {
      const QRectF& block = drawn.blocks[i];
      QVERIFY2(block.left() >= -0.01 && block.right() <= 390.01 && block.top() >= 0 && block.bottom() <= footerTop,
               qPrintable(QStringLiteral("block %1").arg(i)));
      if (i > 0)
        QVERIFY2(block.top() >= drawn.blocks[i - 1].bottom() - 0.01,
                 qPrintable(QStringLiteral("block %1 runs into block %2").arg(i - 1).arg(i)));
    }
    for (const PaintRecord& text : drawn.recorder->texts())
      QVERIFY2(QRectF(0, 0, 390, footerTop).contains(text.bounds), qPrintable(text.text));
  }
};

MURMELA_TEST(SlidesDrawTest)
#include "SlidesDrawTest.moc"
