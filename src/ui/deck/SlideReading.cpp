#include "deck/SlideReading.h"

#include "deck/charts/ChartDescription.h"
#include "deck/slides/ApologySlide.h"
#include "deck/slides/ArgumentMapSlide.h"
#include "deck/slides/CloserSlide.h"
#include "deck/slides/ColdOpenSlide.h"
#include "deck/slides/DialectSlide.h"
#include "deck/slides/HeatmapSlide.h"
#include "deck/slides/InitiationSlide.h"
#include "deck/slides/ReceiptsSlide.h"
#include "deck/slides/ResponseTimeSlide.h"
#include "deck/slides/ShapeSlide.h"
#include "deck/slides/StreakSlide.h"
#include "deck/slides/VibeShiftSlide.h"
#include "deck/slides/VocabularySlide.h"
#include "deck/slides/WordDebutSlide.h"

#include <QRegularExpression>

#include <array>

namespace murmela {
namespace {

// Texts joined with blanks as one line of speech, without the glyphs that
// only decorate (● ✦ ◆ ◇ ↳) and without a blank just inside a quotation
// mark where a quote was drawn in pieces.
QString cleanJoin(const QStringList& texts) {
  static const QRegularExpression decorations(QStringLiteral("[\\x{25CF}\\x{2726}\\x{25C6}\\x{25C7}\\x{21B3}]"));
  static const QRegularExpression afterOpening(QStringLiteral("([\\x{201C}\\x{2018}])\\s+"));
  static const QRegularExpression beforeClosing(QStringLiteral("\\s+([\\x{201D}])"));
  QString joined = texts.join(QLatin1Char(' '));
  joined.remove(decorations);
  joined.replace(afterOpening, QStringLiteral("\\1"));
  joined.replace(beforeClosing, QStringLiteral("\\1"));
  return joined.simplified();
}

// Collects a slide's items in reading order; blank texts are left out.
class Reading {
 public:
  // Texts read together as one item (a label and its figure), in one rectangle.
  Reading& add(const QStringList& texts, const QRectF& rect) {
    QStringList spoken;
    for (const QString& text : texts) {
      const QString line = text.simplified();
      if (!line.isEmpty()) spoken.append(line);
    }
    const QString text = cleanJoin(spoken);
    if (!text.isEmpty()) items_.append({.text = text, .rect = rect});
    return *this;
  }
  Reading& add(const QString& text, const QRectF& rect) { return add(QStringList{text}, rect); }
  Reading& add(const PlacedText& text) { return add(text.shown(), text.frame); }
  Reading& add(const SlideText& text) { return add(text.shown(), text.bounds()); }
  Reading& add(const std::optional<PlacedText>& text) { return text ? add(*text) : *this; }
  Reading& add(const SlideTitleLayout& title) { return add(title.title).add(title.subtitle); }
  Reading& add(const QList<LegendSwatchLayout>& legend) {
    for (const LegendSwatchLayout& swatch : legend) add(swatch.text);
    return *this;
  }
  // Lines of one sentence drawn apart (a heading over several lines).
  Reading& add(const QList<SlideText>& lines) {
    QStringList texts;
    QRectF rect;
    for (const SlideText& line : lines) {
      texts.append(line.shown());
      rect |= line.bounds();
    }
    return add(texts, rect);
  }
  QList<ShownText> items() const { return items_; }

 private:
  QList<ShownText> items_;
};

QStringList shown(const QList<PlacedText>& texts) {
  QStringList result;
  for (const PlacedText& text : texts) result.append(text.shown());
  return result;
}

QList<ShownText> read(const ColdOpenSlide::Layout& l) {
  return Reading().add(l.names).add({l.count.shown(), l.messages.shown()}, l.count.bounds() | l.messages.bounds())
      .add(l.span).items();
}

QList<ShownText> read(const ReceiptsSlide::Layout& l) {
  Reading reading;
  reading.add(l.title);
  for (const StatTileLayout& tile : l.tiles) reading.add(shown(tile.texts), tile.frame.rect);
  reading.add(l.split.heading)
      .add({l.split.leftText.onSage.shown(), l.split.leftCaption.shown()},
           l.split.leftPart | l.split.leftCaption.frame)
      .add({l.split.rightText.onSage.shown(), l.split.rightCaption.shown()},
           l.split.rightPart | l.split.rightCaption.frame);
  return reading.items();
}

QList<ShownText> read(const VocabularySlide::Layout& l) {
  Reading reading;
  reading.add(l.youTyped).add(l.phrase)
      .add({l.count.shown(), l.times.shown()}, l.count.bounds() | l.times.bounds())
      .add(l.flavor).add(l.heading);
  for (const EmojiCardLayout& card : l.emojis)
    reading.add({card.badge ? card.badge->shown() : QString(), card.emoji.shown(), card.count.shown()},
                card.frame.rect);
  return reading.items();
}

QList<ShownText> read(const HeatmapSlide::Layout& l) {
  return Reading().add(l.title).add(describeMessageHeatmap(l.heatmap), l.heatmap.frame)
      .add({l.card.eyebrow.shown(), l.card.title.shown(), l.card.note.shown()}, l.card.frame.rect).items();
}

QList<ShownText> read(const ShapeSlide::Layout& l) {
  return Reading().add(l.title).add(describeYearBars(l.bars), l.bars.frame).add(l.sticker.text).add(l.range)
      .items();
}

QList<ShownText> read(const WordDebutSlide::Layout& l) {
  Reading reading;
  // The headline is one sentence; the tilted aside after it (its context,
  // drawn as a note) is read on its own.
  if (l.headline.size() > WordDebutSlide::kContextLine) {
    reading.add(l.headline.mid(0, WordDebutSlide::kContextLine));
    reading.add(l.headline.mid(WordDebutSlide::kContextLine));
  } else {
    reading.add(l.headline);
  }
  if (l.response) reading.add(l.response->text);
  reading.add(l.panelHeading);
  for (const WordDebutSlide::FirstRow& row : l.firsts)
    reading.add({row.phrase.shown(), row.date.shown()}, row.phrase.bounds() | row.date.bounds());
  return reading.items();
}

QList<ShownText> read(const ComparisonBarLayout& bar) {
  return Reading().add({bar.name.shown(), bar.value.shown(), bar.note.shown()}, bar.frame).items();
}

QList<ShownText> read(const ApologySlide::Layout& l) {
  return Reading().add(l.heading).items() + read(l.themBar) + read(l.meBar) + Reading().add(l.total).items();
}

QList<ShownText> read(const InitiationSlide::Layout& l) {
  return Reading().add(l.title).add({l.donut.youLabel.shown(), l.donut.percent.shown()}, l.donut.frame)
      .add(l.legend).add(l.caption).items();
}

QList<ShownText> read(const PhraseColumnLayout& column) {
  Reading reading;
  reading.add(column.name);
  for (const PhraseColumnRow& row : column.rows) reading.add({row.phrase.shown(), row.count.shown()}, row.rect);
  return reading.items();
}

QList<ShownText> read(const DialectSlide::Layout& l) {
  return Reading().add(l.title).items() + read(l.mine) + read(l.theirs) + Reading().add(l.caption).items();
}

QList<ShownText> read(const ResponseTimeSlide::Layout& l) {
  return Reading().add(l.title).add(describeResponseLineChart(l.chart), l.chart.frame).add(l.waitCaption).items();
}

QList<ShownText> read(const ArgumentMapSlide::Layout& l) {
  return Reading().add(l.title).add(describeArgumentTimeline(l.timeline), l.timeline.frame).add(l.legend)
      .add(l.caption).items();
}

QList<ShownText> read(const VibeShiftSlide::Layout& l) {
  return Reading().add(l.title).add(describeSentimentChart(l.chart), l.chart.frame).add(l.caption).items();
}

QList<ShownText> read(const StreakCardLayout& card) {
  return Reading().add({card.eyebrow.shown(), card.value.shown(), card.suffix ? card.suffix->shown() : QString(),
                        card.caption.shown(), card.note.shown()},
                       card.frame.rect).items();
}

QList<ShownText> read(const StreakSlide::Layout& l) {
  return Reading().add(l.title).items() + read(l.streak) + read(l.silence) + Reading().add(l.footer).items();
}

QList<ShownText> read(const CloserSlide::Layout& l) {
  return Reading().add(l.title).add(l.paragraph).add(l.signature).items();
}

using SlideReader = QList<ShownText> (*)(const WrappedReport&);

template <typename Slide>
QList<ShownText> readSlide(const WrappedReport& report) {
  return read(Slide{report}.layout());
}

// Slides 0 ... 12 by index, as LongDeckSlide paints them.
constexpr std::array<SlideReader, LongDeckSlide::kCloserIndex> kReaders = {
    &readSlide<ColdOpenSlide>,     &readSlide<ReceiptsSlide>,    &readSlide<VocabularySlide>,
    &readSlide<HeatmapSlide>,      &readSlide<ShapeSlide>,       &readSlide<WordDebutSlide>,
    &readSlide<ApologySlide>,      &readSlide<InitiationSlide>,  &readSlide<DialectSlide>,
    &readSlide<ResponseTimeSlide>, &readSlide<ArgumentMapSlide>, &readSlide<VibeShiftSlide>,
    &readSlide<StreakSlide>,
};

}  // namespace

QList<ShownText> slideReading(const LongDeckSlide& slide) {
  const int content = LongDeckSlide::contentIndex(slide.index);
  QList<ShownText> reading = content == LongDeckSlide::kCloserIndex
                                 ? read(CloserSlide{slide.report, slide.enableShare, slide.contactHandle}.layout())
                                 : kReaders[static_cast<size_t>(content)](slide.report);
  if (!reading.isEmpty()) reading.first().heading = true;  // the slide's title
  return reading;
}

}  // namespace murmela
