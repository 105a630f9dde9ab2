// Writes the three demo reports of the resource bundle ("-fakeData"):
//   make_demo_reports <bundle folder>           writes fake_report*.json
//   make_demo_reports --check <bundle folder>   exits 1 when a file differs
//
// The reports tell the story of real conversations, so that the deck a new user
// sees first reads like one: a couple's three and a half years (rich: every
// optional field present, hosted insight copy included), two close friends'
// two years (no hosted copy: the deck's own captions), and a brand-new contact
// with almost nothing to show (every optional absent, every list empty).
// Local times are New York times; the monthly and daily values sit at noon UTC
// so that they fall on the same calendar day in nearly every time zone.
#include "analysis/CloserGenerator.h"
#include "analysis/RankedCounts.h"
#include "common/Date.h"
#include "common/LocalCalendar.h"
#include "common/LocaleFormat.h"
#include "data/FakeReportLoader.h"
#include "data/ReportJson.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

using namespace murmela;

namespace {

const QTimeZone& homeZone() {
  static const QTimeZone zone("America/New_York");
  return zone;
}

// A wall-clock time in New York.
Date local(int year, int month, int day, int hour, int minute, int second = 0) {
  return Date::fromUnix(static_cast<double>(
      QDateTime(QDate(year, month, day), QTime(hour, minute, second), homeZone()).toSecsSinceEpoch()));
}

// A calendar day or month, held at noon UTC.
Date day(int year, int month, int dayOfMonth) {
  return Date::fromUnix(static_cast<double>(
      QDateTime(QDate(year, month, dayOfMonth), QTime(12, 0), QTimeZone::utc()).toSecsSinceEpoch()));
}

const QLocale& homeLocale() {
  static const QLocale locale(QLocale::English, QLocale::UnitedStates);
  return locale;
}

QString grouped(qint64 value) { return LocaleFormat::groupedInteger(value, homeLocale()); }

qint64 totalDays(Date first, Date last) {
  const LocalCalendar calendar(homeZone());
  return calendar.daysBetween(first, last) + 1;
}

// The analysis's own closing paragraph for the report, in New York and in English.
QString templateCloser(const WrappedReport& r) {
  return CloserGenerator::templateParagraph(r.participantNames.them, r.relationshipType, r.totalMessages,
                                            r.firstMessageDate, r.lastMessageDate, r.longestStreak.days,
                                            homeZone(), homeLocale());
}

// Ranked the way the analysis ranks its phrase lists.
QList<PhraseStat> ranked(const QList<PhraseStat>& stats) {
  QHash<QString, qint64> counts;
  for (const PhraseStat& stat : stats) counts.insert(stat.phrase, stat.count);
  QList<PhraseStat> out;
  for (const RankedCount& entry : rankCounts(counts, stats.size())) out.append({entry.text, entry.count});
  return out;
}

qint64 countOf(const QList<PhraseStat>& stats, const char* phrase) {
  for (const PhraseStat& stat : stats)
    if (stat.phrase == QLatin1String(phrase)) return stat.count;
  return 0;
}

PersonDoubleBreakdown rates(const PersonIntBreakdown& counts) {
  const double sum = std::max<double>(1.0, static_cast<double>(counts.me + counts.them));
  return {static_cast<double>(counts.me) / sum, static_cast<double>(counts.them) / sum};
}

// The weekly rhythm: an hourly profile shaped per weekday (Sunday first), with
// extra weight on chosen cells, scaled to exactly `total` messages (largest
// remainders get the rounding).
struct Rhythm {
  std::array<double, 24> hours;
  std::array<double, 7> days;
  QList<std::tuple<int, int, double>> boosts;  // weekday row, hour, factor
};

QList<QList<qint64>> heatmap(const Rhythm& rhythm, qint64 total) {
  std::array<std::array<double, 24>, 7> weight{};
  double sum = 0;
  for (int d = 0; d < 7; ++d) {
    for (int h = 0; h < 24; ++h) {
      weight[d][h] = rhythm.hours[h] * rhythm.days[d];
      for (const auto& [bd, bh, factor] : rhythm.boosts)
        if (bd == d && bh == h) weight[d][h] *= factor;
      sum += weight[d][h];
    }
  }
  QList<QList<qint64>> grid(7, QList<qint64>(24, 0));
  QList<std::tuple<double, int, int>> remainders;
  qint64 assigned = 0;
  for (int d = 0; d < 7; ++d) {
    for (int h = 0; h < 24; ++h) {
      const double exact = weight[d][h] / sum * static_cast<double>(total);
      grid[d][h] = static_cast<qint64>(std::floor(exact));
      assigned += grid[d][h];
      remainders.append({exact - std::floor(exact), d, h});
    }
  }
  std::stable_sort(remainders.begin(), remainders.end(),
                   [](const auto& a, const auto& b) { return std::get<0>(a) > std::get<0>(b); });
  for (qsizetype i = 0; assigned < total; ++i, ++assigned)
    ++grid[std::get<1>(remainders[i])][std::get<2>(remainders[i])];
  return grid;
}

QList<MonthlySentiment> months(int firstYear, int firstMonth, const QList<double>& scores) {
  QList<MonthlySentiment> out;
  QDate month(firstYear, firstMonth, 1);
  for (double score : scores) {
    out.append({day(month.year(), month.month(), 1), score});
    month = month.addMonths(1);
  }
  return out;
}

qint64 sum(const QMap<qint64, qint64>& byYear) { return std::accumulate(byYear.cbegin(), byYear.cend(), qint64(0)); }

// ---- Maya: a couple, three and a half years --------------------------------

WrappedReport richReport() {
  WrappedReport r;
  r.participantNames = {QStringLiteral("You"), QStringLiteral("Maya")};
  r.relationshipType = RelationshipType::romantic;
  r.relationshipConfidence = 0.86;
  r.firstMessageDate = local(2021, 9, 18, 14, 26, 41);
  r.lastMessageDate = local(2025, 3, 1, 22, 41, 12);
  r.messagesByYear = {{2021, 3412}, {2022, 11806}, {2023, 13257}, {2024, 15931}, {2025, 2187}};
  r.totalMessages = sum(r.messagesByYear);
  r.totalDays = totalDays(r.firstMessageDate, r.lastMessageDate);
  r.activeDays = 1209;
  r.messagesByHourByDayOfWeek = heatmap({{2.2, 1.2, 0.6, 0.3, 0.2, 0.3, 0.9, 2.4, 3.4, 2.8, 2.5, 2.7,
                                          3.9, 3.6, 2.6, 2.7, 3.0, 3.8, 4.2, 4.6, 5.4, 6.3, 6.9, 4.6},
                                         {1.05, 0.92, 0.95, 1.0, 1.12, 0.9, 0.86},
                                         {{4, 22, 1.4}, {4, 23, 1.45}}},
                                        r.totalMessages);
  r.topEmojis = {{QStringLiteral("😂"), 1874}, {QStringLiteral("❤️"), 1502}, {QStringLiteral("🥺"), 688},
                 {QStringLiteral("😭"), 541},  {QStringLiteral("✨"), 322},       {QStringLiteral("🙄"), 207},
                 {QStringLiteral("🍕"), 141},  {QStringLiteral("🐈"), 96},        {QStringLiteral("🌙"), 84},
                 {QStringLiteral("☕"), 71}};
  r.totalEmojiCount = 6212;
  r.signaturePhrase = SignaturePhrase{QStringLiteral("did you eat yet"), 212,
                                      QStringLiteral("(asked like clockwork, usually right around lunch)")};
  r.messagesPerPerson = {22874, r.totalMessages - 22874};
  r.photosShared = 1386;
  r.topPhrasesPerPerson = {ranked({{"haha", 1540},
                                   {"love", 1311},
                                   {"love you", 1102},
                                   {"home", 1017},
                                   {"work", 932},
                                   {"tonight", 842},
                                   {"omw", 655},
                                   {"dinner", 611},
                                   {"miss you", 588},
                                   {"coffee", 377}}),
                           ranked({{"haha", 1802},
                                   {"love", 1406},
                                   {"love you", 1187},
                                   {"babe", 1096},
                                   {"work", 874},
                                   {"home", 760},
                                   {"tomorrow", 640},
                                   {"cute", 512},
                                   {"tired", 455},
                                   {"wait", 390}})};
  r.dialectTermsPerPerson = {ranked({{"lol", 2104},
                                     {"haha", 1540},
                                     {"love you", 1102},
                                     {"ok", 1012},
                                     {"babe", 688},
                                     {"miss you", 588},
                                     {"omg", 402},
                                     {"rn", 311},
                                     {"goodnight", 290},
                                     {"sorry", 198}}),
                             ranked({{"haha", 1802},
                                     {"love you", 1187},
                                     {"babe", 1096},
                                     {"omg", 733},
                                     {"lol", 690},
                                     {"miss you", 541},
                                     {"goodnight", 318},
                                     {"idk", 266},
                                     {"good morning", 240},
                                     {"sorry", 171}})};
  r.firstDistinctiveTerm = FirstDistinctiveTerm{QStringLiteral("babe"), local(2021, 10, 1, 22, 47),
                                                QStringLiteral("(a friday. 10:47 PM. 13 days in.)")};
  r.otherFirsts = {{QStringLiteral("miss you"), local(2021, 9, 24, 23, 52)},
                   {QStringLiteral("come over"), local(2021, 10, 8, 19, 3)},
                   {QStringLiteral("thinking of you"), local(2021, 10, 19, 12, 31)},
                   {QStringLiteral("i love you"), local(2021, 11, 20, 1, 14)},
                   {QStringLiteral("proud of you"), local(2022, 1, 14, 17, 45)}};
  r.apologyCount = {214, 187};
  r.initiationCount = {612, 688};
  r.initiationRate = rates(r.initiationCount);
  r.responseTimeByYear = {{2021, 184, 141}, {2022, 238, 176}, {2023, 301, 205}, {2024, 262, 188}, {2025, 215, 160}};
  const Date waitedFor = local(2023, 6, 9, 23, 12);
  const Date answered = local(2023, 6, 10, 16, 24);
  r.longestReplyGap = ReplyGap{false, answered.secondsSince(waitedFor), waitedFor, answered};
  r.longestStreak = {212, day(2024, 11, 3)};
  r.longestSilence = {4, day(2023, 8, 13)};
  r.sentimentByMonth =
      months(2021, 9, {0.27, 0.31, 0.29, 0.33,                                                    // 2021
                       0.22, 0.24, 0.02, 0.19, 0.21, 0.18, 0.2,  0.17,  0.16, 0.15, -0.04, 0.26,  // 2022
                       0.18, 0.2,  0.17, 0.15, 0.19, 0.13, 0.11, -0.11, 0.08, 0.14, 0.16,  0.24,  // 2023
                       0.17, 0.03, 0.18, 0.21, 0.25, 0.34, 0.22, 0.2,   0.19, 0.23, 0.18,  0.28,  // 2024
                       0.19, 0.21, 0.16});                                                        // 2025
  r.argumentEvents = {
      {day(2022, 3, 12), 146, true, {QStringLiteral("upset"), QStringLiteral("sorry")}, true},
      {day(2022, 11, 27), 88, false, {QStringLiteral("hurt"), QStringLiteral("sorry"), QStringLiteral("fault")}, false},
      {day(2023, 8, 13),
       203,
       true,
       {QStringLiteral("angry"), QStringLiteral("hurt"), QStringLiteral("sorry"), QStringLiteral("wrong"),
        QStringLiteral("unfair")},
       true},
      {day(2024, 2, 19), 64, false, {QStringLiteral("upset"), QStringLiteral("my bad")}, false}};
  const qint64 babes = countOf(r.dialectTermsPerPerson.me, "babe") + countOf(r.dialectTermsPerPerson.them, "babe");
  r.insightCopy = ReportInsightCopy{
      QStringLiteral("Thursday nights from 10 to midnight were the heartbeat of this thread: more messages landed "
                     "there than in any other two hours of the week."),
      QStringLiteral("Every full year out-talked the one before it. 2024 alone held %1 messages, about %2 a day.")
          .arg(grouped(r.messagesByYear[2024]))
          .arg(std::lround(static_cast<double>(r.messagesByYear[2024]) / 366.0)),
      QStringLiteral("Thirteen days in and already “babe”. It stuck: %1 more times since.").arg(grouped(babes - 1)),
      QStringLiteral("Four real storms in three and a half years. August 2023 was the big one: four quiet days "
                     "followed, and then you both came back."),
      QStringLiteral("June 2024 was the warmest month of all: the Lisbon trip, a lot of “excited”, and almost no "
                     "“tired”."),
      QStringLiteral("Replies slowed to about five minutes in 2023, then sped back up: in 2025 you answer Maya in "
                     "under four.")};
  r.closerParagraph =
      QStringLiteral(
          "Across %1 messages and %2 years, this thread with Maya became a private archive of ordinary days: "
          "grocery lists, airport pickups, “did you eat yet”, and a lot of goodnights. Four real storms, and "
          "you came back from every one. The longest streak lasted %3 days, but the real pattern is simpler: "
          "again and again, one of you reached out, and the other came back.")
          .arg(grouped(r.totalMessages))
          .arg(CloserGenerator::spanInYears(r.firstMessageDate, r.lastMessageDate, homeZone()))
          .arg(r.longestStreak.days);
  return r;
}

// ---- Priya: two close friends, two years, no hosted copy --------------------

WrappedReport friendshipReport() {
  WrappedReport r;
  r.participantNames = {QStringLiteral("You"), QStringLiteral("Priya")};
  r.relationshipType = RelationshipType::closeFriend;
  r.relationshipConfidence = 0.74;
  r.firstMessageDate = local(2023, 1, 7, 12, 12, 9);
  r.lastMessageDate = local(2025, 2, 23, 17, 40, 51);
  r.messagesByYear = {{2023, 7912}, {2024, 9104}, {2025, 1390}};
  r.totalMessages = sum(r.messagesByYear);
  r.totalDays = totalDays(r.firstMessageDate, r.lastMessageDate);
  r.activeDays = 583;
  r.messagesByHourByDayOfWeek = heatmap({{1.4, 0.8, 0.3, 0.1, 0.1, 0.1, 0.3, 0.9, 1.6, 1.9, 2.2, 2.6,
                                          3.4, 3.1, 2.7, 2.9, 3.3, 4.1, 4.6, 4.4, 4.0, 3.7, 3.1, 2.2},
                                         {1.15, 0.85, 0.88, 0.92, 1.0, 1.2, 0.95},
                                         {{5, 18, 1.5}, {5, 19, 1.45}, {0, 15, 1.2}}},
                                        r.totalMessages);
  r.topEmojis = {{QStringLiteral("💀"), 1211},   {QStringLiteral("😭"), 1040}, {QStringLiteral("😂"), 622},
                 {QStringLiteral("🙏"), 301},    {QStringLiteral("👀"), 288},  {QStringLiteral("🔥"), 174},
                 {QStringLiteral("🫶"), 163}, {QStringLiteral("💅"), 97},   {QStringLiteral("🍷"), 88}};
  r.totalEmojiCount = 4402;
  r.signaturePhrase =
      SignaturePhrase{QStringLiteral("you will not believe"), 58, QStringLiteral("(the inside-joke alarm)")};
  r.messagesPerPerson = {8871, r.totalMessages - 8871};
  r.photosShared = 642;
  r.topPhrasesPerPerson = {ranked({{"literally", 611},
                                   {"work", 512},
                                   {"wait", 467},
                                   {"dead", 429},
                                   {"tonight", 377},
                                   {"bestie", 350},
                                   {"text", 288},
                                   {"you will", 244},
                                   {"wine", 203},
                                   {"omw", 198}}),
                           ranked({{"literally", 702},
                                   {"wait", 588},
                                   {"girl", 540},
                                   {"dead", 498},
                                   {"bestie", 421},
                                   {"tomorrow", 333},
                                   {"call", 301},
                                   {"you will", 276},
                                   {"brunch", 189},
                                   {"screaming", 171}})};
  r.dialectTermsPerPerson = {ranked({{"lmao", 1412},
                                     {"fr", 903},
                                     {"omg", 851},
                                     {"lol", 640},
                                     {"rn", 377},
                                     {"idk", 344},
                                     {"tbh", 290},
                                     {"wyd", 188},
                                     {"come over", 91},
                                     {"sorry", 85}}),
                             ranked({{"lmao", 1630},
                                     {"omg", 998},
                                     {"fr", 772},
                                     {"haha", 512},
                                     {"tbh", 404},
                                     {"idk", 391},
                                     {"rn", 356},
                                     {"wyd", 240},
                                     {"sorry", 110},
                                     {"rip", 96}})};
  r.firstDistinctiveTerm = FirstDistinctiveTerm{QStringLiteral("bestie"), local(2023, 2, 3, 21, 41),
                                                QStringLiteral("(a friday. 9:41 PM. 27 days in.)")};
  r.otherFirsts = {{QStringLiteral("you're the best"), local(2023, 1, 19, 20, 15)},
                   {QStringLiteral("proud of you"), local(2023, 3, 2, 18, 2)},
                   {QStringLiteral("come over"), local(2023, 3, 18, 16, 48)},
                   {QStringLiteral("miss you"), local(2023, 6, 30, 22, 9)},
                   {QStringLiteral("we need to talk"), local(2023, 10, 11, 19, 26)}};
  r.apologyCount = {79, 104};
  r.initiationCount = {301, 344};
  r.initiationRate = rates(r.initiationCount);
  r.responseTimeByYear = {{2023, 412, 365}, {2024, 388, 290}, {2025, 340, 301}};
  const Date waitedFor = local(2024, 7, 12, 11, 20);
  const Date answered = local(2024, 7, 14, 18, 5);
  r.longestReplyGap = ReplyGap{true, answered.secondsSince(waitedFor), waitedFor, answered};
  r.longestStreak = {41, day(2024, 3, 30)};
  r.longestSilence = {6, day(2023, 9, 8)};
  r.sentimentByMonth =
      months(2023, 1, {0.12, 0.15, 0.18, 0.14, 0.16, 0.2,  0.13, 0.11, 0.09, -0.06, 0.1,  0.22,  // 2023
                       0.14, 0.12, 0.17, 0.19, 0.27, 0.15, 0.13, 0.16, 0.12, 0.14,  0.18, 0.21,  // 2024
                       0.15, 0.13});                                                             // 2025
  r.argumentEvents = {{day(2023, 10, 11),
                       57,
                       false,
                       {QStringLiteral("upset"), QStringLiteral("hurt"), QStringLiteral("sorry")},
                       false}};
  r.closerParagraph = templateCloser(r);
  return r;
}

// ---- Jordan: a new contact, one weekend --------------------------------------

WrappedReport minimalReport() {
  WrappedReport r;
  r.participantNames = {QStringLiteral("You"), QStringLiteral("Jordan")};
  r.relationshipType = RelationshipType::casual;
  r.relationshipConfidence = 0.4;
  r.firstMessageDate = local(2025, 2, 20, 18, 5, 33);
  r.lastMessageDate = local(2025, 2, 22, 20, 31, 2);
  r.messagesByYear = {{2025, 14}};
  r.totalMessages = 14;
  r.totalDays = totalDays(r.firstMessageDate, r.lastMessageDate);
  r.activeDays = 2;
  r.messagesByHourByDayOfWeek = QList<QList<qint64>>(7, QList<qint64>(24, 0));
  r.messagesByHourByDayOfWeek[4][18] = 5;  // Thursday evening
  r.messagesByHourByDayOfWeek[4][19] = 2;
  r.messagesByHourByDayOfWeek[6][19] = 3;  // Saturday evening
  r.messagesByHourByDayOfWeek[6][20] = 4;
  r.totalEmojiCount = 0;
  r.messagesPerPerson = {6, 8};
  r.photosShared = 0;
  r.apologyCount = {0, 0};
  r.initiationCount = {1, 1};
  r.initiationRate = rates(r.initiationCount);
  r.longestStreak = {1, day(2025, 2, 20)};
  r.longestSilence = {1, day(2025, 2, 20)};
  r.closerParagraph = templateCloser(r);
  return r;
}

WrappedReport reportFor(FakeDataFixture fixture) {
  switch (fixture) {
    case FakeDataFixture::rich:
      return richReport();
    case FakeDataFixture::minimal:
      return minimalReport();
    case FakeDataFixture::friendship:
      break;
  }
  return friendshipReport();
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QStringList arguments = app.arguments().mid(1);
  const bool check = arguments.removeAll(QStringLiteral("--check")) > 0;
  QTextStream err(stderr);
  if (arguments.size() != 1) {
    err << "usage: make_demo_reports [--check] <bundle folder>\n";
    return 2;
  }
  const QDir folder(arguments.first());
  int status = 0;
  for (const FakeDataFixture fixture : {FakeDataFixture::rich, FakeDataFixture::minimal, FakeDataFixture::friendship}) {
    const QString path = folder.filePath(resourceName(fixture) + QStringLiteral(".json"));
    QByteArray bytes = ReportJson::encode(reportFor(fixture));
    if (!bytes.endsWith('\n')) bytes.append('\n');
    if (check) {
      QFile file(path);
      if (!file.open(QIODevice::ReadOnly) || file.readAll() != bytes) {
        err << path << " is not what make_demo_reports writes; run it on the bundle folder\n";
        status = 1;
      }
      continue;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
      err << "could not write " << path << '\n';
      return 1;
    }
  }
  return status;
}
