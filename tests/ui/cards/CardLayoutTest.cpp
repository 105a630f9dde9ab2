#include "deck/cards/ComparisonBar.h"
#include "deck/cards/EmojiCard.h"
#include "deck/cards/HeatmapInsightCard.h"
#include "deck/cards/PhraseColumn.h"
#include "deck/cards/PhraseHyphenation.h"
#include "deck/cards/SignaturePhraseCard.h"
#include "deck/cards/SlideTitle.h"
#include "deck/cards/SplitBar.h"
#include "deck/cards/StatCard.h"
#include "deck/cards/StreakCard.h"
#include "deck/charts/DonutChart.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QTest>

using namespace murmela;

namespace {

const QString kLongName = QStringLiteral("Maximiliana Alexandrovna Featherstonehaugh");  // 42 characters

bool inside(const QRectF& inner, const QRectF& outer) {
  return outer.adjusted(-0.01, -0.01, 0.01, 0.01).contains(inner);
}

}  // namespace

class CardLayoutTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  void splitBarTexts_data() {
    QTest::addColumn<qint64>("left");
    QTest::addColumn<qint64>("right");
    QTest::addColumn<QString>("leftText");
    QTest::addColumn<QString>("rightText");
    QTest::addColumn<double>("leftWidth");
    QTest::newRow("nothing sent") << qint64(0) << qint64(0) << "YOU 0%"
                                  << "SAM 100%" << 0.0;
    QTest::newRow("a third") << qint64(1) << qint64(2) << "YOU 33%"
                             << "SAM 67%" << 334.0 / 3;
    QTest::newRow("grouped captions") << qint64(123456) << qint64(654321) << "YOU 15%"
                                      << "SAM 85%" << 334.0 * 123456 / 777777;
  }
  void splitBarTexts() {
    QFETCH(qint64, left);
    QFETCH(qint64, right);
    QFETCH(QString, leftText);
    QFETCH(QString, rightText);
    QFETCH(double, leftWidth);
    const SplitBarLayout layout = layoutSplitBar({"YOU", "SAM", left, right}, QRectF(28, 500, 334, 0));
    QCOMPARE(layout.leftText.onSage.shown(), leftText);
    QCOMPARE(layout.rightText.onGold.shown(), rightText);
    QCOMPARE(layout.heading.shown(), QStringLiteral("WHO SENT MORE"));
    QCOMPARE(layout.leftPart.width(), leftWidth);
    QCOMPARE(layout.leftPart.width() + layout.rightPart.width(), 334.0);
    QCOMPARE(layout.bar.height(), 22.0);
    QCOMPARE(layout.leftCaption.shown(), QLocale().toString(left) + " sent");
    QCOMPARE(layout.rightCaption.shown(), QLocale().toString(right) + " sent");
    QVERIFY(inside(layout.leftText.onSage.frame, layout.bar));
    QVERIFY(inside(layout.rightText.onSage.frame, layout.bar));
    QVERIFY(layout.leftText.onSage.frame.right() < layout.rightText.onSage.frame.left());
  }

  void splitBarLongNamesGiveWay() {
    const SplitBarLayout layout = layoutSplitBar({"YOU", kLongName.toUpper(), 10, 10}, QRectF(28, 500, 334, 0));
    QVERIFY(inside(layout.rightText.onGold.frame, layout.bar));
    QVERIFY(layout.leftText.onSage.frame.right() < layout.rightText.onSage.frame.left());
    QCOMPARE(layout.leftText.onSage.shown(), QStringLiteral("YOU 50%"));  // the short label keeps its size
    QCOMPARE(layout.leftText.onSage.text.scale, 1.0);
    QVERIFY(layout.rightText.onGold.text.elided);
  }

  void donutPercent_data() {
    QTest::addColumn<qint64>("me");
    QTest::addColumn<qint64>("them");
    QTest::addColumn<QString>("percent");
    QTest::newRow("none") << qint64(0) << qint64(0) << "0%";
    QTest::newRow("all mine") << qint64(4) << qint64(0) << "100%";
    QTest::newRow("two of three truncates") << qint64(2) << qint64(1) << "66%";
  }
  void donutPercent() {
    QFETCH(qint64, me);
    QFETCH(qint64, them);
    QFETCH(QString, percent);
    const DonutChartLayout layout = layoutDonutChart({me, them}, QRectF(85, 300, 220, 220));
    QCOMPARE(layout.percent.shown(), percent);
    QCOMPARE(layout.youLabel.shown(), QStringLiteral("YOU"));
    QCOMPARE(layout.radius, 110.0);
    QCOMPARE(layout.disc.size(), QSizeF(130, 130));
    QVERIFY(inside(layout.percent.frame, layout.disc));
  }

  void statCardFitsItsLabel_data() {
    QTest::addColumn<bool>("highlight");
    QTest::addColumn<int>("maxLines");
    QTest::newRow("plain: one line") << false << 1;
    QTest::newRow("highlighted: three") << true << 3;
  }
  void statCardFitsItsLabel() {
    QFETCH(bool, highlight);
    QFETCH(int, maxLines);
    const QString label = QStringLiteral("Messages sent during the longest summer of all");
    const StatTileLayout layout = layoutStatCard({label, "123,456,789", highlight}, QRectF(28, 100, 162, 0));
    QCOMPARE(layout.texts.size(), 2);
    const PlacedText& shown = layout.texts[0];
    QVERIFY(shown.text.lines.size() <= maxLines);
    QVERIFY(shown.text.scale >= 0.7 - 1e-9);
    QVERIFY(inside(shown.frame, layout.frame.rect.adjusted(14, 12, -14, -12)));
    QVERIFY(inside(layout.texts[1].frame, layout.frame.rect.adjusted(14, 12, -14, -12)));
    QVERIFY(layout.frame.rect.height() >= 92 + 24);
    QCOMPARE(layout.frame.fill.has_value(), highlight);
  }

  void statCardShortContentKeepsTheMinimumHeight() {
    const StatTileLayout layout = layoutStatCard({"Days", "1,190", false}, QRectF(0, 0, 160, 0));
    QCOMPARE(layout.frame.rect.height(), 116.0);
    QCOMPARE(layout.texts[0].shown(), QStringLiteral("DAYS"));
    // The two texts are centred as one block in the 92-point frame.
    const qreal block = layout.texts[1].frame.bottom() - layout.texts[0].frame.top();
    QCOMPARE(layout.texts[0].frame.top() - 12, (92 - block) / 2);
  }

  void signaturePhraseCard_data() {
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QString>("line");
    QTest::addColumn<double>("size");
    QTest::newRow("empty") << ""
                           << "\u201C \u201D" << 24.0;
    QTest::newRow("lower-cased") << "On My Way"
                                 << "\u201C on my way\u201D" << 24.0 - 7.0 * 9 / 36;
  }
  void signaturePhraseCard() {
    QFETCH(QString, phrase);
    QFETCH(QString, line);
    QFETCH(double, size);
    QCOMPARE(signaturePhraseLine(phrase), line);
    const StatTileLayout layout = layoutSignaturePhraseCard({phrase, "42"}, QRectF(0, 0, 162, 0));
    QCOMPARE(layout.texts[0].shown(), line);
    QCOMPARE(layout.texts[0].text.scale, 1.0);
    QCOMPARE(signaturePhrasePointSize(phrase), size);
    QVERIFY(layout.frame.fill.has_value());
    QCOMPARE(layout.frame.border, MurmelaTheme::rose);
  }

  void emojiCardSizes_data() {
    QTest::addColumn<int>("rank");
    QTest::addColumn<QString>("badge");
    QTest::addColumn<double>("height");
    QTest::newRow("third is top") << 3 << "#3 " << 110.0;
    QTest::newRow("fourth is regular") << 4 << "" << 82.0;
  }
  void emojiCardSizes() {
    QFETCH(int, rank);
    QFETCH(QString, badge);
    QFETCH(double, height);
    const EmojiCardLayout layout = layoutEmojiCard({rank, {"\U0001F602", 1234}}, QRectF(36, 400, 100, 0));
    QCOMPARE(layout.badge ? layout.badge->shown() : QString(), badge);
    QCOMPARE(layout.frame.rect.height(), height);
    QCOMPARE(layout.count.shown(), QStringLiteral("1,234"));
    QVERIFY(inside(layout.emoji.frame, layout.frame.rect));
  }

  void emojiNamesStayInTheCard() {
    const EmojiCardLayout layout = layoutEmojiCard({5, {"face_with_tears_of_joy", 7}}, QRectF(36, 400, 100, 0));
    QVERIFY(inside(layout.emoji.frame, layout.frame.rect.adjusted(8, 8, -8, -8)));
    QVERIFY(layout.emoji.text.scale < 1.0);
  }

  void phraseColumnRows_data() {
    QTest::addColumn<int>("phrases");
    QTest::addColumn<int>("rows");
    QTest::newRow("seven show five") << 7 << 5;
    QTest::newRow("two") << 2 << 2;
    QTest::newRow("none: only the name") << 0 << 0;
  }
  void phraseColumnRows() {
    QFETCH(int, phrases);
    QFETCH(int, rows);
    PhraseColumn column{"You", {}, MurmelaTheme::sageDeep};
    for (int i = 0; i < phrases; ++i) column.phrases.append({QStringLiteral("phrase %1").arg(i), 100000 + i});
    const PhraseColumnLayout layout = layoutPhraseColumn(column, QRectF(24, 200, 162, 0));
    QCOMPARE(layout.rows.size(), rows);
    QCOMPARE(layout.name.shown(), QStringLiteral("You "));
    if (rows == 0) QCOMPARE(layout.frame.height(), layout.name.frame.height());
    for (int i = 0; i < rows; ++i) {
      QCOMPARE(layout.rows[i].phrase.shown(), column.phrases[i].phrase);
      QCOMPARE(layout.rows[i].hairline.bottom(), layout.rows[i].rect.bottom());
      QVERIFY(layout.rows[i].phrase.frame.right() < layout.rows[i].count.frame.left());
    }
  }

  void phraseColumnLongTextsStayInTheColumn() {
    PhraseColumn column{kLongName, {{kLongName.toLower(), 123456}}, MurmelaTheme::rose};
    const QRectF rect(24, 200, 162, 0);
    const PhraseColumnLayout layout = layoutPhraseColumn(column, rect);
    QVERIFY(inside(layout.name.frame, layout.frame));
    QVERIFY(layout.name.text.lines.size() <= 2);
    QCOMPARE(layout.rows[0].count.shown(), QStringLiteral("123,456"));
    QVERIFY(layout.rows[0].phrase.text.elided);
    QVERIFY(layout.rows[0].phrase.frame.right() < layout.rows[0].count.frame.left());
    QVERIFY(inside(layout.rows[0].count.frame, layout.rows[0].rect));
  }

  void comparisonBarFill_data() {
    QTest::addColumn<qint64>("value");
    QTest::addColumn<qint64>("max");
    QTest::addColumn<double>("fill");
    QTest::newRow("half") << qint64(3) << qint64(6) << 159.0;
    QTest::newRow("max 0 divides by 1") << qint64(0) << qint64(0) << 0.0;
    QTest::newRow("max 0 with a value") << qint64(2) << qint64(0) << 636.0;
    QTest::newRow("past the track") << qint64(9) << qint64(6) << 477.0;
  }
  void comparisonBarFill() {
    QFETCH(qint64, value);
    QFETCH(qint64, max);
    QFETCH(double, fill);
    const ComparisonBarLayout layout =
        layoutComparisonBar({"YOU", value, max, MurmelaTheme::sage, "working on it."}, QRectF(36, 300, 318, 0));
    QCOMPARE(layout.track.width(), 318.0);
    QCOMPARE(layout.fill.width(), fill);
    QCOMPARE(layout.fill.height(), 14.0);
    QCOMPARE(layout.note.shown(), QStringLiteral("working on it. "));
    QCOMPARE(layout.value.shown(), QLocale().toString(value));
  }

  void comparisonBarNameGivesWayToTheCount() {
    const ComparisonBarLayout layout =
        layoutComparisonBar({kLongName.toUpper(), 123456, 123456, MurmelaTheme::gold, "x"}, QRectF(36, 300, 318, 0));
    QCOMPARE(layout.value.text.scale, 1.0);
    QVERIFY(layout.name.frame.right() < layout.value.frame.left());
    QVERIFY(inside(layout.value.frame, layout.frame));
    // Name and count share one baseline.
    QCOMPARE(layout.name.frame.top() + layout.name.text.firstBaseline(),
             layout.value.frame.top() + layout.value.text.firstBaseline());
  }

  void slideTitleSubtitle_data() {
    QTest::addColumn<bool>("hasSubtitle");
    QTest::addColumn<QString>("subtitle");
    QTest::newRow("none: no gap below") << false << "";
    QTest::newRow("empty still takes a line") << true << "";
    QTest::newRow("trailing blank") << true << "a story, in a bar chart.";
  }
  void slideTitleSubtitle() {
    QFETCH(bool, hasSubtitle);
    QFETCH(QString, subtitle);
    SlideTitle heading{"Messages, by year.", std::nullopt};
    if (hasSubtitle) heading.subtitle = subtitle;
    const SlideTitleLayout layout = layoutSlideTitle(heading, QRectF(0, 90, 390, 0));
    QCOMPARE(layout.subtitle.has_value(), hasSubtitle);
    if (!hasSubtitle) {
      QCOMPARE(layout.frame.bottom(), layout.title.frame.bottom());
      return;
    }
    QVERIFY(layout.subtitle->frame.height() > 0);
    QCOMPARE(layout.subtitle->frame.top(), layout.title.frame.bottom() + 6);
    QCOMPARE(layout.subtitle->text.lines.last().text, subtitle + " ");
    QVERIFY(inside(layout.title.frame, QRectF(28, 0, 334, 1000)));
  }

  void streakCardVariants_data() {
    QTest::addColumn<bool>("dashed");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("solid, no unit") << false << "";
    QTest::newRow("dashed, days") << true << "days";
  }
  void streakCardVariants() {
    QFETCH(bool, dashed);
    QFETCH(QString, suffix);
    const StreakCard card{
        "◆ Longest Streak",     "1,234", suffix, "consecutive days", "that's 3.4 years. uninterrupted.",
        MurmelaTheme::sageDeep, dashed};
    const StreakCardLayout layout = layoutStreakCard(card, QRectF(32, 200, 326, 0));
    QCOMPARE(layout.suffix.has_value(), !suffix.isEmpty());
    if (layout.suffix) {
      QCOMPARE(layout.suffix->shown(), QStringLiteral("DAYS"));
      QCOMPARE(layout.suffix->frame.top() + layout.suffix->text.firstBaseline(),
               layout.value.frame.top() + layout.value.text.firstBaseline());
      QCOMPARE(layout.suffix->frame.left(), layout.value.frame.right() + 12);
    }
    QCOMPARE(layout.eyebrow.shown(), QStringLiteral("◆ LONGEST STREAK"));
    QCOMPARE(layout.caption.shown(), QStringLiteral("CONSECUTIVE DAYS"));
    QCOMPARE(*layout.frame.fill, dashed ? MurmelaTheme::cream : MurmelaTheme::creamDeep);
    QCOMPARE(layout.frame.dash.isEmpty(), !dashed);
    QCOMPARE(layout.frame.border, withOpacity(MurmelaTheme::sageDeep, 0.4));
    QCOMPARE(layout.eyebrow.frame.topLeft(), QPointF(50, 218));
    QCOMPARE(layout.frame.rect.bottom(), layout.note.frame.bottom() + 18);
  }

  void insightCardFits_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("note");
    QTest::newRow("short") << "8 — 10 PM"
                           << "412 texts in that window on Thu.";
    QTest::newRow("long") << "The longest window anyone ever had" << QString("so many words ").repeated(30);
  }
  void insightCardFits() {
    QFETCH(QString, title);
    QFETCH(QString, note);
    const HeatmapInsightCardLayout layout =
        layoutHeatmapInsightCard({title, "Peak window", note, MurmelaTheme::rose}, QRectF(85, 500, 220, 0));
    QCOMPARE(layout.title.text.lines.size(), 1);
    QVERIFY(layout.title.text.scale >= 0.65 - 1e-9);
    QVERIFY(layout.note.text.lines.size() <= 7);
    QVERIFY(layout.note.text.scale >= 0.75 - 1e-9);
    QCOMPARE(layout.eyebrow.shown(), QStringLiteral("PEAK WINDOW"));
    QCOMPARE(layout.rotation, -0.6);
    const QRectF content = layout.frame.rect.adjusted(17, 17, -17, -17);
    for (const PlacedText* text : {&layout.title, &layout.eyebrow, &layout.note}) QVERIFY(inside(text->frame, content));
  }
};

MURMELA_TEST(CardLayoutTest)
#include "CardLayoutTest.moc"
