// Times the CSV chat import on generated exports: 200,000 rows, once with ISO
// timestamps, once with Unix seconds, once with the local "M/d/yy, h:mm a"
// pattern (the slowest road: ISO and number are tried first).
#include "data/CSVChatImporter.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTextStream>
#include <QTimeZone>

using namespace murmela;

namespace {

QString makeExport(int rows, int style) {
  QString text = QStringLiteral("name,timestamp,message,photo\n");
  text.reserve(rows * 64);
  const qint64 start = 1672531200;  // 2023-01-01
  for (int i = 0; i < rows; ++i) {
    const qint64 unix = start + qint64(i) * 137;
    QString stamp;
    if (style == 0) {
      stamp = QDateTime::fromSecsSinceEpoch(unix, QTimeZone::utc()).toString(Qt::ISODate);
    } else if (style == 1) {
      stamp = QString::number(unix);
    } else {
      stamp = QLatin1Char('"') +
              QDateTime::fromSecsSinceEpoch(unix, QTimeZone::utc()).toString(QStringLiteral("M/d/yy, h:mm AP")) +
              QLatin1Char('"');
    }
    text += (i % 2 ? QStringLiteral("You") : QStringLiteral("José")) + QLatin1Char(',') + stamp +
            QStringLiteral(",\"message number %1, with a comma and \"\"quotes\"\" 🙂\",%2\n").arg(i).arg(i % 17 == 0);
  }
  return text;
}

}  // namespace

int main() {
  QTextStream out(stdout);
  const int rows = 200000;
  const char* names[] = {"ISO-8601", "Unix seconds", "M/d/yy, h:mm a"};
  for (int style = 0; style < 3; ++style) {
    const QString text = makeExport(rows, style);
    QElapsedTimer timer;
    timer.start();
    const ImportedChat chat = CSVChatImporter().importChatFromText(text, QStringLiteral("you"));
    const qint64 ms = timer.elapsed();
    out << names[style] << ": " << chat.messages.size() << " messages in " << ms << " ms ("
        << (ms > 0 ? qint64(chat.messages.size()) * 1000 / ms : 0) << " rows/s)\n";
  }
  return 0;
}
