// Throughput of the on-device analyzers over synthetic conversations of
// 10,000, 100,000 and 1,000,000 messages (or the sizes given as arguments):
// messages per second per analyzer and for all of them together, and the
// process's peak memory. Run a RelWithDebInfo build; one thread.
#include "analysis/ApologyAnalyzer.h"
#include "analysis/DialectAnalyzer.h"
#include "analysis/InitiationAnalyzer.h"
#include "analysis/PhraseAnalyzer.h"
#include "analysis/PreparedConversation.h"
#include "analysis/RelationshipClassifier.h"
#include "analysis/ResponseTimeAnalyzer.h"
#include "analysis/SentimentAnalyzer.h"
#include "analysis/StatsAnalyzer.h"
#include "analysis/StreakAnalyzer.h"
#include "common/AppPaths.h"
#include "support/SyntheticConversation.h"

#include <QCoreApplication>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using namespace murmela;

namespace {

double peakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

struct Step {
  const char* name;
  // Returns a figure of the result, printed as a check.
  std::function<qint64(const MessageList&, const PreparedConversation&)> run;
};

std::vector<Step> steps() {
  // The analyzers that read texts or local days take them prepared once, as
  // the pipeline hands them over; the preparation is timed as its own step.
  using M = const MessageList&;
  using P = const PreparedConversation&;
  return {
      {"statistics", [](M, P c) { return StatsAnalyzer().analyze(c).totalEmojiCount; }},
      {"phrases", [](M, P c) { return PhraseAnalyzer().analyze(c).me.value(0).count; }},
      {"dialect terms", [](M, P c) { return DialectAnalyzer().analyze(c).them.value(0).count; }},
      {"apologies", [](M, P c) { return ApologyAnalyzer().analyze(c).me; }},
      {"initiations", [](M m, P) { return InitiationAnalyzer().analyze(m).count.me; }},
      {"response times",
       [](M m, P) { return static_cast<qint64>(ResponseTimeAnalyzer().analyze(m).byYear.size()); }},
      {"streaks", [](M, P c) { return StreakAnalyzer().analyze(c).longestStreak.days; }},
      {"relationship type",
       [](M m, P) { return static_cast<qint64>(RelationshipClassifier().classifyWithHeuristics(m).type); }},
      {"sentiment", [](M, P c) { return static_cast<qint64>(SentimentAnalyzer().analyze(c).size()); }},
  };
}

double seconds(std::chrono::steady_clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  AppPaths::overrideAppFolder(std::nullopt);  // the classifier's log lines stay off the user's log file

  std::vector<qsizetype> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(QByteArray(argv[i]).toLongLong());
  if (sizes.empty()) sizes = {10'000, 100'000, 1'000'000};

  for (const qsizetype size : sizes) {
    test::SyntheticConversationOptions options;
    options.messageCount = size;
    options.seed = 20240601;
    const auto made = std::chrono::steady_clock::now();
    const MessageList messages = test::makeSyntheticConversation(options);
    std::printf("\n%lld messages (generated in %.2f s; peak memory with the messages: %.1f MiB)\n",
                static_cast<long long>(size), seconds(std::chrono::steady_clock::now() - made), peakMemoryMiB());
    std::printf("  %-18s %10s %16s %10s\n", "analyzer", "seconds", "messages/s", "check");

    const auto preparing = std::chrono::steady_clock::now();
    const PreparedConversation conversation(messages);
    double total = seconds(std::chrono::steady_clock::now() - preparing);
    std::printf("  %-18s %10.3f %16.0f %10lld\n", "prepare texts", total, static_cast<double>(size) / total,
                static_cast<long long>(conversation.tokens().size()));
    for (const Step& step : steps()) {
      const auto start = std::chrono::steady_clock::now();
      const qint64 check = step.run(messages, conversation);
      const double elapsed = seconds(std::chrono::steady_clock::now() - start);
      total += elapsed;
      std::printf("  %-18s %10.3f %16.0f %10lld\n", step.name, elapsed, static_cast<double>(size) / elapsed,
                  static_cast<long long>(check));
    }
    std::printf("  %-18s %10.3f %16.0f\n", "all together", total, static_cast<double>(size) / total);
    std::printf("  peak memory so far: %.1f MiB\n", peakMemoryMiB());
    std::fflush(stdout);
  }
  return 0;
}
