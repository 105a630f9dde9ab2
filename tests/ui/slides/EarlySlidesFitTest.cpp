#include "EarlySlidesSupport.h"
#include "GalleryLongTexts.h"
#include "GalleryReports.h"
#include "deck/chrome/SlideFrame.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

QString describe(const QRectF& rect) {
  return QStringLiteral("(%1, %2 %3 x %4)").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

}  // namespace

// Nothing on slides one to eight is cut at the page's edge, runs into the
// footer or into another element, for the demo reports, the gallery's edge
// reports (40-character, emoji and right-to-left names, huge counts, empty
// lists) and the longest texts; the demo reports are shown without a cut.
class EarlySlidesFitTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    FontRegistry::registerFonts();
  }

  void staysClearOfEdgesAndNeighbours_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("report");
    QStringList names;
    for (const gallery::NamedReport& named : gallery::allReports()) names.append(named.name);
    names.append(QStringLiteral("long-texts"));
    for (int index = 0; index < 8; ++index)
      for (const QString& name : names) QTest::addRow("%d %s", index + 1, qPrintable(name)) << index << name;
  }
  void staysClearOfEdgesAndNeighbours() {
    QFETCH(int, index);
    QFETCH(QString, report);
    const WrappedReport data =
        report == QLatin1String("long-texts") ? gallery::longTextsReport() : gallery::report(report);
    const EarlySlideDrawing drawing = drawEarlySlide(index, data);
    const SlideFrame::Layout frame = SlideFrame{index, 14, std::nullopt}.layout();
    const QRectF page(0, frame.progressRow.bottom(), 390, frame.footer.row.top() - frame.progressRow.bottom());
    const QRectF tolerant = page.adjusted(-0.01, -0.01, 0.01, 0.01);

    QVERIFY(!drawing.elements.isEmpty());
    for (qsizetype i = 0; i < drawing.elements.size(); ++i) {
      const QRectF& element = drawing.elements[i];
      QVERIFY2(tolerant.contains(element), qPrintable(QStringLiteral("element %1 %2").arg(i).arg(describe(element))));
      for (qsizetype j = i + 1; j < drawing.elements.size(); ++j) {
        const QRectF overlap = element.intersected(drawing.elements[j]);
        QVERIFY2(overlap.width() < 0.5 || overlap.height() < 0.5,
                 qPrintable(QStringLiteral("elements %1 and %2 overlap by %3").arg(i).arg(j).arg(describe(overlap))));
      }
    }
    for (const PaintRecord& text : drawing.recorder->texts())
      if (text.bounds.width() > 0)  // invisible marks and selectors take no room
        QVERIFY2(tolerant.contains(text.bounds), qPrintable(text.text + QLatin1Char(' ') + describe(text.bounds)));
    const bool demo =
        report == QLatin1String("rich") || report == QLatin1String("friendship") || report == QLatin1String("minimal");
    if (demo) QVERIFY2(!drawing.recorder->allText().contains(QChar(0x2026)), qPrintable(drawing.recorder->allText()));
  }
};

MURMELA_TEST(EarlySlidesFitTest)
#include "EarlySlidesFitTest.moc"
