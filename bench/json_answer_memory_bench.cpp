// Peak memory of reading the densest answer each hosted call accepts: for
// every call's bound, an answer of as many values as the client lets through
// (its value cap) and no longer than the bound, in two shapes: one object of
// many members ("k1": 0, ...) and one array of many numbers (0, 0, ...). The
// answer is served from a thread of this process and read by the client as a
// run reads it. Each case runs in a process of its own (the bench runs itself
// with "--case N") and prints the peak resident memory it adds (VmHWM, reset
// through /proc/self/clear_refs once the answer is made) beside the bound.
//
//   json_answer_memory_bench [--case N]

#include "hosted/HostedAnalysisClient.h"
#include "hosted/HostedWireRecords.h"
#include "json/JsonCodec.h"
#include "support/ScriptedHttpServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkProxy>
#include <QProcess>

#include <algorithm>
#include <cstdio>

#include <malloc.h>

using namespace murmela;

namespace {

struct Case {
  const char* call;
  qint64 bound;
  bool members;
};

const Case kCases[] = {
    {"(fixed cost)", 0, false},  // the smallest answer, at the smallest bound
    {"register", HostedAnalysisClient::kRegisterAnswerBytes, true},
    {"register", HostedAnalysisClient::kRegisterAnswerBytes, false},
    {"chunk_analysis", HostedAnalysisClient::kChunkAnswerBytes, true},
    {"chunk_analysis", HostedAnalysisClient::kChunkAnswerBytes, false},
    {"synthesize", HostedAnalysisClient::kSynthesisAnswerBytes, true},
    {"synthesize", HostedAnalysisClient::kSynthesisAnswerBytes, false},
    {"insight_copy", HostedAnalysisClient::kInsightsAnswerBytes, true},
    {"insight_copy", HostedAnalysisClient::kInsightsAnswerBytes, false},
};

double statusKiB(const QByteArray& name, bool resetPeak = false) {
  if (QFile clear("/proc/self/clear_refs"); resetPeak && clear.open(QIODevice::WriteOnly)) clear.write("5");
  QFile file("/proc/self/status");
  if (!file.open(QIODevice::ReadOnly)) return 0;
  const QByteArray text = file.readAll();
  return text.mid(text.indexOf(name + ':') + name.size() + 1).trimmed().split(' ').value(0).toDouble();
}

QByteArray answerOf(qint64 count, bool members) {
  QByteArray items;
  items.reserve(static_cast<qsizetype>(count * 10));
  for (qint64 i = 0; i < count; ++i) {
    if (i > 0) items.append(',');
    if (members) items.append('"' + QByteArray::number(i, 36) + "\":0");
    else items.append('0');
  }
  return members ? "{\"result\":{" + items + "}}" : "{\"result\":{\"a\":[" + items + "]}}";
}

// The largest count whose answer the client accepts: within the bound and
// within the value cap.
QByteArray densestAnswer(qint64 bound, bool members) {
  const qint64 cap = bound / HostedAnalysisClient::kMinAnswerBytesPerValue;
  qint64 low = 0;
  qint64 high = cap + 1;
  while (high - low > 1) {
    const qint64 middle = (low + high) / 2;
    const QByteArray answer = answerOf(middle, members);
    (answer.size() <= bound && Json::countValues(answer) <= cap ? low : high) = middle;
  }
  return answerOf(low, members);
}

int runCase(const Case& which) {
  QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
  const qint64 bound = which.bound > 0 ? which.bound : HostedAnalysisClient::kRegisterAnswerBytes;
  const QByteArray answer = which.bound > 0 ? densestAnswer(bound, which.members) : answerOf(1, false);
  test::ScriptedHttpServer server;
  server.setDefault("/x", test::ScriptedResponse::json(200, answer));
  const HostedAnalysisClient client(nullptr, server.baseUrl(), QStringLiteral("1.0"));
  malloc_trim(0);
  const double before = statusKiB("VmRSS", true);
  bool read = false;
  {
    const AnalysisStepResponse response =
        client.postEncoded<AnalysisStepResponse>(QStringLiteral("/x"), "{}", QStringLiteral("t"), 60, bound);
    read = !response.result.empty();
  }
  const double added = (statusKiB("VmHWM") - before) * 1024.0;
  std::printf("%-15s %-7s bound %8lld  answer %8lld bytes, %7lld values  peak +%6.1f MB  (%4.1fx the bound)%s\n",
              which.call, which.members ? "members" : "array", static_cast<long long>(bound),
              static_cast<long long>(answer.size()), static_cast<long long>(Json::countValues(answer)), added / 1e6,
              added / static_cast<double>(bound), read ? "" : "  NOT READ");
  return read ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList arguments = app.arguments();
  if (const qsizetype flag = arguments.indexOf("--case"); flag >= 0 && flag + 1 < arguments.size()) {
    const qsizetype index = arguments.at(flag + 1).toLongLong();
    if (index < 0 || index >= static_cast<qsizetype>(std::size(kCases))) return 2;
    return runCase(kCases[index]);
  }
  int failures = 0;
  for (qsizetype i = 0; i < static_cast<qsizetype>(std::size(kCases)); ++i) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    child.start(app.applicationFilePath(), {"--case", QString::number(i)});
    if (!child.waitForFinished(120000) || child.exitCode() != 0) ++failures;
  }
  return failures == 0 ? 0 : 1;
}
