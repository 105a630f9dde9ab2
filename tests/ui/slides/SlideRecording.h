#pragma once

#include "data/FakeReportLoader.h"
#include "data/WrappedReport.h"
#include "testing/PaintRecorder.h"

#include <QPainter>
#include <QString>

#include <memory>
#include <optional>

namespace murmela::test {

// Paints a slide (anything with paint(QPainter&)) into a recorder.
template <typename Slide>
std::unique_ptr<PaintRecorder> recordSlide(const Slide& slide) {
  auto recorder = std::make_unique<PaintRecorder>();
  QPainter painter(recorder.get());
  slide.paint(painter);
  painter.end();
  return recorder;
}

inline WrappedReport demoReport(const QString& name) {
  for (const FakeDataFixture fixture : {FakeDataFixture::rich, FakeDataFixture::minimal, FakeDataFixture::friendship})
    if (rawValue(fixture) == name) return FakeReportLoader::load(fixture);
  return {};
}

// The first drawn text containing `text` in `color`; the caller checks it exists.
inline std::optional<PaintRecord> textIn(const PaintRecorder& recorder, const QString& text, const QColor& color) {
  for (const PaintRecord& record : recorder.textsContaining(text))
    if (record.color == color) return record;
  return std::nullopt;
}

}  // namespace murmela::test

namespace murmela::test {

// The rich report pushed to the edges a slide must hold: a 40-character
// name, six-digit counts, long terms, an emoji name, a right-to-left name.
inline WrappedReport edgeReport(const QString& kind) {
  WrappedReport report = FakeReportLoader::load(FakeDataFixture::rich);
  const QString longTerm = QStringLiteral("absolutely-unbelievably-extraordinarily!");  // 40 characters
  if (kind == QLatin1String("long")) {
    report.participantNames.them = QStringLiteral("Maximiliana Alexandrovna Featherstonehau");  // 40 characters
    report.dialectTermsPerPerson.me.first().phrase = longTerm;
    report.dialectTermsPerPerson.them.first().phrase = longTerm;
  } else if (kind == QLatin1String("counts")) {
    for (PhraseStat& stat : report.dialectTermsPerPerson.me) stat.count = 987654;
    for (PhraseStat& stat : report.dialectTermsPerPerson.them) stat.count = 123456;
    report.totalDays = 987654;
    report.activeDays = 876543;
    report.longestStreak.days = 123456;
    report.longestSilence.days = 654321;
    for (ArgumentEvent& event : report.argumentEvents) event.messageCount = 999999;
    report.responseTimeByYear = {{2021, 3.0e7, 4.0e7}, {2022, 60, 90}};
    if (report.longestReplyGap) report.longestReplyGap->interval = 8.64e10;
  } else if (kind == QLatin1String("emoji")) {
    report.participantNames.them =
        QStringLiteral("\U0001F338 Sof\u00EDa \U0001F469\u200D\U0001F469\u200D\U0001F467 \U0001F1F5\U0001F1F9");
    report.dialectTermsPerPerson.them.first().phrase = QStringLiteral("\U0001F602\U0001F602\U0001F602");
  } else if (kind == QLatin1String("rtl")) {
    report.participantNames.them =
        QStringLiteral("\u05E0\u05D5\u05E2\u05D4 \u05D1\u05E8\u05E7 \u0644\u064A\u0644\u0649");
    report.dialectTermsPerPerson.them.first().phrase =
        QStringLiteral("\u05D0\u05E0\u05D9 \u05D0\u05D5\u05D4\u05D1\u05EA");
  }
  return report;
}

inline QStringList edgeKinds() {
  return {QStringLiteral("long"), QStringLiteral("counts"), QStringLiteral("emoji"), QStringLiteral("rtl")};
}

}  // namespace murmela::test
