// Time and memory of a whole on-device analysis (WrappedAnalysisPipeline::
// buildReport) over sample conversations of 10,000, 100,000 and 1,000,000
// messages (or the sizes given as arguments), on one thread, followed by the
// time of each analyzer on its own. Run a RelWithDebInfo build:
//
//   pipeline_bench [--report-json FOLDER] [SIZE...]
//
// With --report-json each report is also written to FOLDER/report-SIZE.json
// (its stored form), to compare the reports of two builds.
#include "analysis/ApologyAnalyzer.h"
#include "analysis/ArgumentAnalyzer.h"
#include "analysis/DialectAnalyzer.h"
#include "analysis/FirstsAnalyzer.h"
#include "analysis/InitiationAnalyzer.h"
#include "analysis/PhraseAnalyzer.h"
#include "analysis/RelationshipClassifier.h"
#include "analysis/ResponseTimeAnalyzer.h"
#include "analysis/SentimentAnalyzer.h"
#include "analysis/SignaturePhraseAnalyzer.h"
#include "analysis/StatsAnalyzer.h"
#include "analysis/StreakAnalyzer.h"
#include "analysis/WrappedAnalysisPipeline.h"
#include "common/AppPaths.h"
#include "data/ReportJson.h"
#include "support/SampleChat.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

using namespace murmela;

namespace {

double peakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB on Linux
}

double seconds(std::chrono::steady_clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// Processor time of this thread: on a shared machine the wall-clock time
// also counts the moments other processes held the core.
double threadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

template <typename Work>
double timed(Work&& work, double* processor = nullptr) {
  const double startProcessor = threadSeconds();
  const auto start = std::chrono::steady_clock::now();
  work();
  if (processor) *processor = threadSeconds() - startProcessor;
  return seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  AppPaths::overrideAppFolder(std::nullopt);  // the log stays off the user's log file

  std::vector<qsizetype> sizes;
  QString reportFolder;
  for (int i = 1; i < argc; ++i) {
    if (QByteArray(argv[i]) == "--report-json" && i + 1 < argc)
      reportFolder = QString::fromLocal8Bit(argv[++i]);
    else
      sizes.push_back(QByteArray(argv[i]).toLongLong());
  }
  if (sizes.empty()) sizes = {10'000, 100'000, 1'000'000};

  for (const qsizetype size : sizes) {
    test::SampleChatOptions options;
    options.messageCount = size;
    ImportedChat chat;
    const double made = timed([&] { chat = test::makeSampleChat(options).importedChat(); });
    const double memoryBefore = peakMemoryMiB();
    std::fprintf(stderr, "\n");
    WrappedReport report;
    double processor = 0.0;
    const double total = timed([&] { report = WrappedAnalysisPipeline().buildReport(chat, {}); }, &processor);

    std::printf("\n%lld messages (made in %.2f s; peak memory before the analysis %.1f MiB)\n",
                static_cast<long long>(size), made, memoryBefore);
    std::printf("  buildReport %8.3f s %12.0f messages/s   peak memory %.1f MiB   processor time %.3f s\n", total,
                static_cast<double>(size) / total, peakMemoryMiB(), processor);
    std::printf("  result: %s, signature '%s' x%lld, first term '%s', %lld firsts, %lld argument days\n",
                qPrintable(rawValue(report.relationshipType)),
                report.signaturePhrase ? qPrintable(report.signaturePhrase->phrase) : "-",
                static_cast<long long>(report.signaturePhrase ? report.signaturePhrase->count : 0),
                report.firstDistinctiveTerm ? qPrintable(report.firstDistinctiveTerm->term) : "-",
                static_cast<long long>(report.otherFirsts.size()),
                static_cast<long long>(report.argumentEvents.size()));

    if (!reportFolder.isEmpty()) {
      QFile file(reportFolder + QStringLiteral("/report-%1.json").arg(size));
      if (!file.open(QIODevice::WriteOnly) || file.write(ReportJson::encode(report)) < 0)
        std::fprintf(stderr, "pipeline_bench: cannot write %s\n", qPrintable(file.fileName()));
    }

    // Each analyzer on its own, on texts prepared once as the pipeline does.
    const MessageList& messages = chat.messages;
    std::optional<PreparedConversation> prepared;
    const double preparing = timed([&] { prepared.emplace(messages); });
    std::printf("    %-18s %8.3f s %12.0f messages/s\n", "prepare texts", preparing,
                static_cast<double>(size) / preparing);
    const PreparedConversation& conversation = *prepared;
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"statistics", [&] { StatsAnalyzer().analyze(conversation); }},
        {"phrases", [&] { PhraseAnalyzer().analyze(conversation); }},
        {"dialect terms", [&] { DialectAnalyzer().analyze(conversation); }},
        {"apologies", [&] { ApologyAnalyzer().analyze(conversation); }},
        {"initiations", [&] { InitiationAnalyzer().analyze(messages); }},
        {"response times", [&] { ResponseTimeAnalyzer().analyze(messages); }},
        {"streaks", [&] { StreakAnalyzer().analyze(conversation); }},
        {"relationship type", [&] { RelationshipClassifier().classifyWithHeuristics(messages); }},
        {"signature phrase", [&] { SignaturePhraseAnalyzer().analyze(conversation, report.relationshipType); }},
        {"firsts: term",
         [&] {
           FirstsAnalyzer().firstRecurringTerm(conversation, report.relationshipType, {"You", "Sam"});
         }},
        {"firsts: phrases", [&] { FirstsAnalyzer().otherFirsts(conversation); }},
        {"sentiment", [&] { SentimentAnalyzer().analyze(conversation); }},
        {"arguments", [&] { ArgumentAnalyzer().analyze(conversation); }},
    };
    for (const auto& [name, work] : steps) {
      const double elapsed = timed(work);
      std::printf("    %-18s %8.3f s %12.0f messages/s\n", name, elapsed, static_cast<double>(size) / elapsed);
    }
    std::fflush(stdout);
  }
  return 0;
}
