// sample-chat: a made-up conversation of N messages between two people over
// several years, written as a Messages database (chat.db, open it with
// "-messagesDB <path>" and pick the handle) and as a CSV export (chat.csv).
// The same options always give the same conversation.
//
//   sample-chat --messages 50000 --out /tmp/sample
#include "common/Iso8601.h"
#include "support/SampleChat.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <exception>

using namespace murmela;

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("sample-chat"));
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Writes a deterministic two-person conversation as a Messages database (chat.db) and a CSV export "
                     "(chat.csv)."));
  parser.addHelpOption();
  const QCommandLineOption messagesOption(QStringLiteral("messages"), QStringLiteral("Number of messages."),
                                          QStringLiteral("count"), QStringLiteral("20000"));
  const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Seed of the conversation."),
                                      QStringLiteral("number"), QStringLiteral("2024"));
  const QCommandLineOption yearsOption(QStringLiteral("years"), QStringLiteral("Span in years."),
                                       QStringLiteral("years"), QStringLiteral("4"));
  const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("Folder to write into (made when missing)."),
                                     QStringLiteral("folder"), QStringLiteral("."));
  const QCommandLineOption myNameOption(QStringLiteral("my-name"), QStringLiteral("The user's name in the CSV export."),
                                        QStringLiteral("name"), QStringLiteral("Alex"));
  const QCommandLineOption otherNameOption(QStringLiteral("other-name"), QStringLiteral("The other person's name."),
                                           QStringLiteral("name"), QStringLiteral("Sam"));
  const QCommandLineOption handleOption(QStringLiteral("handle"), QStringLiteral("The other person's handle."),
                                        QStringLiteral("handle"), QStringLiteral("+15551234567"));
  parser.addOptions({messagesOption, seedOption, yearsOption, outOption, myNameOption, otherNameOption, handleOption});
  parser.process(app);

  bool countOk = false;
  bool seedOk = false;
  bool yearsOk = false;
  test::SampleChatOptions options;
  options.messageCount = parser.value(messagesOption).toLongLong(&countOk);
  options.seed = parser.value(seedOption).toULongLong(&seedOk);
  options.spanDays = 365.0 * parser.value(yearsOption).toDouble(&yearsOk);
  options.myName = parser.value(myNameOption);
  options.otherName = parser.value(otherNameOption);
  options.handle = parser.value(handleOption);
  if (!countOk || options.messageCount <= 0 || !seedOk || !yearsOk || options.spanDays <= 0.0 ||
      options.myName.trimmed().isEmpty() || options.otherName.trimmed().isEmpty()) {
    std::fprintf(stderr, "sample-chat: invalid option (see --help)\n");
    return 2;
  }

  const QDir folder(parser.value(outOption));
  if (!folder.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "sample-chat: cannot make the folder %s\n", qPrintable(folder.path()));
    return 1;
  }
  const test::SampleChat chat = test::makeSampleChat(options);
  const QString csvPath = folder.absoluteFilePath(QStringLiteral("chat.csv"));
  const QString databasePath = folder.absoluteFilePath(QStringLiteral("chat.db"));
  try {
    test::writeSampleChatCsv(chat, csvPath);
    test::writeSampleChatDatabase(chat, databasePath);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "sample-chat: %s\n", error.what());
    return 1;
  }

  qsizetype photos = 0;
  qsizetype bodyOnly = 0;
  for (qsizetype i = 0; i < chat.messages.size(); ++i) {
    photos += chat.messages[i].hasPhoto ? 1 : 0;
    bodyOnly += chat.bodyOnly[i] ? 1 : 0;
  }
  std::printf("%lld messages between %s and %s, %s to %s\n", static_cast<long long>(chat.messages.size()),
              qPrintable(chat.myName), qPrintable(chat.otherName),
              qPrintable(Iso8601::format(chat.messages.constFirst().date)),
              qPrintable(Iso8601::format(chat.messages.constLast().date)));
  std::printf("%lld photos, %lld argument evenings, %lld texts only in the attributed body (database)\n",
              static_cast<long long>(photos), static_cast<long long>(chat.argumentDays),
              static_cast<long long>(bodyOnly));
  std::printf("Messages database: %s (the conversation with %s)\n", qPrintable(databasePath), qPrintable(chat.handle));
  std::printf("Open it with: murmela -messagesDB %s\n", qPrintable(databasePath));
  std::printf("CSV export: %s (for other tools: Murmela opens no CSV)\n", qPrintable(csvPath));
  return 0;
}
