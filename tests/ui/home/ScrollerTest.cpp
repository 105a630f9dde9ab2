// The painted list's scrolling: wheel, touchpad, the indicator's drag and a
// press on its track, and bringing a span into view, always within bounds.
#include "kit/widgets/VerticalScroller.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;

class ScrollerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void movesWithinItsBounds_data() {
    QTest::addColumn<qreal>("content");  // in a viewport 100 high at y 50
    QTest::addColumn<QString>("action");
    QTest::addColumn<qreal>("offset");
    QTest::addColumn<bool>("taken");
    QTest::newRow("one wheel step") << 400.0 << "wheel -120" << 48.0 << true;
    QTest::newRow("wheel past the end") << 400.0 << "wheel -4800" << 300.0 << true;
    QTest::newRow("wheel up at the top") << 400.0 << "wheel 120" << 0.0 << false;
    QTest::newRow("touchpad") << 400.0 << "pixels -30" << 30.0 << true;
    QTest::newRow("wheel outside the list") << 400.0 << "outside -120" << 0.0 << false;
    QTest::newRow("short content does not scroll") << 80.0 << "wheel -120" << 0.0 << false;
    QTest::newRow("drag the thumb half its travel") << 400.0 << "drag half" << 150.0 << true;
    QTest::newRow("drag far beyond the track") << 400.0 << "drag 1000" << 300.0 << true;
    QTest::newRow("press at the track's bottom") << 400.0 << "track bottom" << 300.0 << true;
    QTest::newRow("a span below comes into view") << 400.0 << "show 220 260" << 160.0 << false;
    QTest::newRow("a span taller than the view shows its top") << 400.0 << "show 200 380" << 200.0 << false;
  }
  void movesWithinItsBounds() {
    QFETCH(qreal, content);
    QFETCH(QString, action);
    QFETCH(qreal, offset);
    QFETCH(bool, taken);
    VerticalScroller scroller;
    const QRectF viewport(0.0, 50.0, 300.0, 100.0);
    scroller.setGeometry(viewport, content);
    const QStringList words = action.split(QLatin1Char(' '));
    const qreal value = words.value(1).toDouble();
    bool result = false;
    if (words[0] == QLatin1String("wheel") || words[0] == QLatin1String("outside")) {
      const QPointF at = words[0] == QLatin1String("wheel") ? viewport.center() : QPointF(150.0, 10.0);
      result = scroller.wheel(at, QPoint(0, static_cast<int>(value)), QPoint());
    } else if (words[0] == QLatin1String("pixels")) {
      result = scroller.wheel(viewport.center(), QPoint(), QPoint(0, static_cast<int>(value)));
    } else if (words[0] == QLatin1String("drag")) {
      const QRectF thumb = scroller.thumb();
      const qreal travel = scroller.track().height() - thumb.height();
      result = scroller.press(thumb.center());
      scroller.move(thumb.center() + QPointF(0.0, words[1] == QLatin1String("half") ? travel / 2.0 : value));
      scroller.release();
    } else if (words[0] == QLatin1String("track")) {
      result = scroller.press(QPointF(scroller.track().center().x(), scroller.track().bottom() - 1.0));
      scroller.release();
    } else if (words[0] == QLatin1String("show")) {
      scroller.ensureVisible(value, words.value(2).toDouble());
    }
    QCOMPARE(scroller.offset(), offset);
    QCOMPARE(result, taken);
    QVERIFY(scroller.offset() >= 0.0 && scroller.offset() <= scroller.maxOffset());
    QCOMPARE(scroller.thumb().isEmpty(), !scroller.scrolls());
  }
};

MURMELA_TEST(ScrollerTest)
#include "ScrollerTest.moc"
