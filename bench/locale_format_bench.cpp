// Cost of one locale-exact value (a grouped count, an "h:mm a" time, a whole
// year count) as a slide pays it, in a zone ICU knows and in one it does not
// (a POSIX rule string, rebuilt from Qt's transitions), and the cost of
// building that zone, which each thread pays once.
//
//   locale_format_bench [calls]
#include "common/IcuTimeZone.h"
#include "common/LocaleFormat.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace murmela;

namespace {

template <typename Work>
double microsecondsPerCall(int calls, Work&& work) {
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < calls; ++i) work(i);
  return static_cast<double>(timer.nsecsElapsed()) / 1000.0 / calls;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const int calls = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
  const QLocale locale(QStringLiteral("es_ES"));
  const Date first = Date::fromUnix(1580000000.0);
  volatile qint64 sink = 0;
  for (const char* id : {"America/New_York", "CET-1CEST,M3.5.0,M10.5.0/3"}) {
    const QTimeZone zone(id);
    const double build =
        microsecondsPerCall(20, [&](int) { sink = sink + makeIcuTimeZoneFromTransitions(zone)->getRawOffset(); });
    const double grouped = microsecondsPerCall(
        calls, [&](int i) { sink = sink + LocaleFormat::groupedInteger(1234567 + i, locale).size(); });
    const double time = microsecondsPerCall(calls, [&](int i) {
      sink =
          sink + LocaleFormat::formatDate(first.addingSeconds(i * 61.0), QStringLiteral("h:mm a"), locale, zone).size();
    });
    const double years = microsecondsPerCall(calls, [&](int i) {
      sink = sink + LocaleFormat::wholeYearsBetween(first, first.addingSeconds(i * 86400.0), zone);
    });
    std::printf("%-28s zone rebuilt from Qt %8.1f us | per call: count %6.2f us, time %6.2f us, years %6.2f us\n", id,
                build, grouped, time, years);
  }
  return 0;
}
