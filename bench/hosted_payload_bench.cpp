// Speed and memory of writing the hosted run's request bodies for a sample
// conversation of 1,000,000 messages (or --messages N), cloud mode:
//   - every chunk body (the run's chunk limits), then the insights body, each
//   by the streaming writer and by the reference encoder (a JSONValue tree
//   turned into a QJsonDocument), with a check that both give the same bytes;
//   - a whole cloud run through the client against the development backend,
//   in this process, with each call's largest answer beside its bound;
//   - reading the anonymization's output of as many messages (hybrid mode),
//   straight from its bytes and through a JSON document.
// Each phase runs in a process of its own (the bench runs itself with
// "--phase NAME"), which makes its inputs, hands freed memory back to the
// system and then measures: no phase reuses memory another one freed.
// Prints MB/s (10^6 bytes of body per second, one thread) and the peak
// resident memory the phase adds (VmHWM, reset when it begins through
// /proc/self/clear_refs) above what was resident when it began. Run a
// RelWithDebInfo build, with no other large job on the machine (it needs
// several GB for the reference path; where the machine is shared, hold the
// lock its users agree on while it runs):
//
//   hosted_payload_bench [--messages N] [--skip-reference] [--phase NAME]
#include "common/AppPaths.h"
#include "DevBackend.h"
#include "hosted/AnalysisStepBody.h"
#include "hosted/ClientMetrics.h"
#include "hosted/HostedAnalysisClient.h"
#include "hosted/HostedMessages.h"
#include "json/JsonCodec.h"
#include "json/JsonStreamWriter.h"
#include "net/HttpTransport.h"
#include "privacy/anonymization/PrivacyAnonymizationRecords.h"
#include "support/AnalysisStepPayloadTree.h"
#include "support/ReportSamples.h"
#include "support/SampleChat.h"
#include "support/ScriptedHttpServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>

#include <malloc.h>

using namespace murmela;

namespace {

// A status line of /proc/self/status in MiB ("VmHWM", "VmRSS").
double statusMiB(const char* name) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(QByteArray(name) + ':'))
      return line.mid(qstrlen(name) + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
  }
  return -1;
}

// Starts a phase: freed memory goes back to the system and the peak is set
// back to what is resident now.
double beginPhase() {
  malloc_trim(0);
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  if (clear.open(QIODevice::WriteOnly)) clear.write("5");
  return statusMiB("VmRSS");
}

struct Figures {
  double seconds = 0;
  double residentMiB = 0;
  double addedPeakMiB = 0;
  qint64 bytes = 0;
};

Figures measure(const std::function<qint64()>& work) {
  const double resident = beginPhase();
  const auto start = std::chrono::steady_clock::now();
  const qint64 bytes = work();
  Figures figures;
  figures.residentMiB = resident;
  figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  figures.addedPeakMiB = statusMiB("VmHWM") - resident;
  figures.bytes = bytes;
  return figures;
}

void print(const char* name, const Figures& figures) {
  std::printf("  %-34s %8.3f s %9.1f MB/s   peak +%8.1f MiB (above %7.1f)   %lld bytes\n", name, figures.seconds,
              static_cast<double>(figures.bytes) / 1e6 / figures.seconds, figures.addedPeakMiB, figures.residentMiB,
              static_cast<long long>(figures.bytes));
  std::fflush(stdout);
}

AnalysisStepRequest envelope(const QString& step, const QString& requestName) {
  AnalysisStepRequest request;
  request.clientRequestID = QStringLiteral("5B0F7A34-9C1E-4E4B-8D57-0F3C2A9E1D10:") + requestName;
  request.workflow = QStringLiteral("full_claude");
  request.step = step;
  request.appVersion = QStringLiteral("1.0");
  request.participants = {QStringLiteral("You"), QStringLiteral("Sam")};
  return request;
}

// A synthesis of the shape the backend returns.
JSONValue::Object sampleSynthesis() {
  using Object = JSONValue::Object;
  JSONValue::Array evidence;
  for (int i = 1; i <= 400; ++i) evidence.append(JSONValue::number(i * 997));
  return {
      {QStringLiteral("relationshipType"), JSONValue::string(QStringLiteral("romantic"))},
      {QStringLiteral("relationshipConfidence"), JSONValue::number(0.87)},
      {QStringLiteral("signaturePhrase"),
       JSONValue::object(
           Object{{QStringLiteral("phrase"), JSONValue::string(QStringLiteral("the blue door"))},
                  {QStringLiteral("evidenceMessageIndexes"), JSONValue::array(evidence)},
                  {QStringLiteral("reason"), JSONValue::string(QStringLiteral("it keeps coming back"))}})},
      {QStringLiteral("conflictEvents"), JSONValue::array({})},
      {QStringLiteral("tone"), JSONValue::object(Object{{QStringLiteral("positive"), JSONValue::number(51234)},
                                                        {QStringLiteral("negative"), JSONValue::number(20311)}})},
      {QStringLiteral("summary"), JSONValue::string(QStringLiteral("You and Sam read as romantic (87% sure)."))},
  };
}

struct Phase {
  const char* name;
  const char* section;  // printed before the first phase of a section
  bool reference;
};

constexpr Phase kPhases[] = {
    {"chunks", "chunk bodies", false},
    {"chunks-reference", nullptr, true},
    {"insights", "insights body", false},
    {"insights-reference", nullptr, true},
    {"backend", "development backend, a whole cloud run (in the phase's process)", false},
    {"output", "anonymization output read (hybrid mode)", false},
    {"output-document", nullptr, true},
};

// Runs each phase in a child process of this bench; fails when one does.
int runPhases(qsizetype count, bool reference) {
  std::printf("%lld messages; each phase in a process of its own, peak above what it had resident\n",
              static_cast<long long>(count));
  std::fflush(stdout);
  bool passed = true;
  for (const Phase& phase : kPhases) {
    if (phase.section) std::printf("\n%s\n", phase.section);
    if (phase.reference && !reference) continue;
    std::fflush(stdout);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--phase"), QString::fromLatin1(phase.name),
                                                          QStringLiteral("--messages"), QString::number(count)});
    const bool ran = child.waitForFinished(-1) && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    if (!ran) std::printf("  %s: FAILED\n", phase.name);
    passed = passed && ran;
  }
  std::fflush(stdout);
  return passed ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  AppPaths::overrideAppFolder(std::nullopt);
  const QStringList arguments = QCoreApplication::arguments();
  const qsizetype at = arguments.indexOf(QStringLiteral("--messages"));
  const qsizetype count = at >= 0 ? arguments.value(at + 1).toLongLong() : 1'000'000;
  const qsizetype phaseAt = arguments.indexOf(QStringLiteral("--phase"));
  if (phaseAt < 0) return runPhases(count, !arguments.contains(QStringLiteral("--skip-reference")));
  const QString phase = arguments.value(phaseAt + 1);

  test::SampleChatOptions options;
  options.messageCount = count;
  const ImportedChat chat = test::makeSampleChat(options).importedChat();
  const HostedMessageList messages =
      truncateHostedMessages(makeHostedMessages(chat, HostedAnalysisWorkflow::fullClaude));
  const QList<HostedChunkBounds> chunks =
      chunkBounds(messages, HostedAnalysisClient::kMaxChunkCharacters, HostedAnalysisClient::kMaxChunkMessages,
                  HostedAnalysisClient::kChunkOverlapMessages);
  const auto span = [&](qsizetype begin, qsizetype end) {
    return std::span<const HostedChatMessage>(messages.constData() + begin, static_cast<size_t>(end - begin));
  };
  const JSONValue::Object synthesis = sampleSynthesis();
  const JSONValue metrics = clientMetrics(test::fullReport(), chat.messages);

  // Each chunk body is written, handed on and dropped, as in a run.
  const auto chunkBodies = [&](bool streamed) {
    qint64 bytes = 0;
    for (qsizetype i = 0; i < chunks.size(); ++i) {
      const auto messagesOfChunk = span(chunks[i].begin, chunks[i].end);
      AnalysisStepRequest request = envelope(QStringLiteral("chunk_analysis"), QStringLiteral("chunk-%1").arg(i + 1));
      QByteArray body;
      if (streamed) {
        body = AnalysisStepBody::encode(request, AnalysisStepBody::chunkPayload(messagesOfChunk, i, chunks.size()),
                                        AnalysisStepBody::expectedBytes(messagesOfChunk));
      } else {
        request.payload = AnalysisStepPayloadTree::chunkPayload(messagesOfChunk, i, chunks.size());
        body = AnalysisStepPayloadTree::encode(request);
      }
      bytes += body.size();
    }
    return bytes;
  };
  const auto insightsBody = [&](bool streamed) {
    const AnalysisStepRequest request = envelope(QStringLiteral("insight_copy"), QStringLiteral("insights"));
    const auto all = span(0, messages.size());
    if (streamed)
      return AnalysisStepBody::encode(request, AnalysisStepBody::insightsPayload(all, synthesis, metrics),
                                      AnalysisStepBody::expectedBytes(all));
    AnalysisStepRequest withPayload = request;
    withPayload.payload = AnalysisStepPayloadTree::insightsPayload(all, synthesis, metrics);
    return AnalysisStepPayloadTree::encode(withPayload);
  };
  // The script's output.json: the messages with placeholders for the names.
  const auto anonymizationOutput = [&] {
    JsonStreamWriter output(AnalysisStepBody::expectedBytes(span(0, messages.size())), false);
    output.beginObject();
    output.key(QLatin1StringView("messages"));
    output.beginArray();
    for (const HostedChatMessage& message : messages) AnalysisStepBody::writeMessage(output, message);
    output.endArray();
    output.key(QLatin1StringView("metadata"));
    JSONValue::object({{QStringLiteral("elapsedSeconds"), JSONValue::number(12.5)},
                       {QStringLiteral("messageCount"), JSONValue::number(static_cast<double>(messages.size()))},
                       {QStringLiteral("nameCount"), JSONValue::number(2)}})
        .write(output);
    output.key(QLatin1StringView("participants"));
    JSONValue::object({{QStringLiteral("me"), JSONValue::string(QStringLiteral("PERSON_1"))},
                       {QStringLiteral("them"), JSONValue::string(QStringLiteral("PERSON_2"))}})
        .write(output);
    output.key(QLatin1StringView("reverseNameMap"));
    JSONValue::object({{QStringLiteral("PERSON_1"), JSONValue::string(QStringLiteral("You"))},
                       {QStringLiteral("PERSON_2"), JSONValue::string(QStringLiteral("Sam"))}})
        .write(output);
    output.endObject();
    return output.take();
  };

  if (phase == QLatin1String("chunks") || phase == QLatin1String("chunks-reference")) {
    const bool streamed = phase == QLatin1String("chunks");
    print(streamed ? "streaming writer" : "reference encoder (tree + Qt)",
          measure([&] { return chunkBodies(streamed); }));
    if (streamed) std::printf("  (%lld chunks)\n", static_cast<long long>(chunks.size()));
    return 0;
  }
  if (phase == QLatin1String("insights")) {
    print("streaming writer", measure([&] { return insightsBody(true).size(); }));
    return 0;
  }
  if (phase == QLatin1String("insights-reference")) {
    QByteArray old;
    print("reference encoder (tree + Qt)", measure([&] {
            old = insightsBody(false);
            return old.size();
          }));
    // Checked after the measure: the insights body and every 25th chunk body.
    bool identical = old == insightsBody(true);
    for (qsizetype i = 0; identical && i < chunks.size(); i += std::max<qsizetype>(1, chunks.size() / 25)) {
      const auto messagesOfChunk = span(chunks[i].begin, chunks[i].end);
      AnalysisStepRequest request = envelope(QStringLiteral("chunk_analysis"), QStringLiteral("chunk-%1").arg(i + 1));
      const QByteArray body =
          AnalysisStepBody::encode(request, AnalysisStepBody::chunkPayload(messagesOfChunk, i, chunks.size()));
      request.payload = AnalysisStepPayloadTree::chunkPayload(messagesOfChunk, i, chunks.size());
      identical = body == AnalysisStepPayloadTree::encode(request);
    }
    std::printf("  same bytes as the reference (insights, every 25th chunk): %s\n", identical ? "yes" : "NO");
    return identical ? 0 : 1;
  }
  if (phase == QLatin1String("backend")) {
    // A whole cloud run through the client, served by the development
    // backend on a thread of this process: the largest answer of each call
    // beside the bound the client gives that call.
    devbackend::DevBackend backend;
    std::mutex lock;
    QMap<QString, qsizetype> largest;
    QMap<QString, qsizetype> values;  // of the largest answer
    test::ScriptedHttpServer server;
    server.setFallback([&](const test::RecordedRequest& request) {
      const devbackend::DevResponse answer =
          backend.handle({request.method, request.path, request.headers, request.body});
      QString call = request.path;
      for (const char* step : {"chunk_analysis", "synthesize", "insight_copy"})
        if (request.body.contains(QByteArray("\"step\":\"") + step + '"')) call = QString::fromLatin1(step);
      const std::lock_guard<std::mutex> guard(lock);
      if (answer.body.size() > largest.value(call)) {
        largest[call] = answer.body.size();
        values[call] = Json::countValues(answer.body);
      }
      test::ScriptedResponse response;
      response.status = answer.status;
      response.body = answer.body;
      response.headers.append({QByteArrayLiteral("Content-Type"), answer.contentType});
      return response;
    });
    bool completed = false;
    print("whole run", measure([&] {
            HostedAnalysisClient(nullptr, server.baseUrl(), QStringLiteral("1.0"))
                .analyze(chat, test::fullReport(), HostedAnalysisWorkflow::fullClaude,
                         [](const ProcessingProgress&) {});
            completed = true;
            return qint64(0);
          }));
    const QMap<QString, qint64> bounds{{HostedAnalysisClient::kRegisterPath, HostedAnalysisClient::kRegisterAnswerBytes},
                                       {"chunk_analysis", HostedAnalysisClient::kChunkAnswerBytes},
                                       {"synthesize", HostedAnalysisClient::kSynthesisAnswerBytes},
                                       {"insight_copy", HostedAnalysisClient::kInsightsAnswerBytes}};
    for (auto it = largest.cbegin(); it != largest.cend(); ++it)
      std::printf("  %-16s largest answer %9lld bytes (%lld values), bound %9lld\n", qPrintable(it.key()),
                  static_cast<long long>(it.value()), static_cast<long long>(values.value(it.key())),
                  static_cast<long long>(bounds.value(it.key())));
    return completed ? 0 : 1;
  }
  if (phase == QLatin1String("output") || phase == QLatin1String("output-document")) {
    const QByteArray outputText = anonymizationOutput();
    qsizetype read = 0;
    if (phase == QLatin1String("output")) {
      print("straight from the bytes", measure([&] {
              read = PrivacyAnonymizationOutput::decode(outputText).messages.size();
              return outputText.size();
            }));
    } else {
      print("through a JSON document", measure([&] {
              read = PrivacyAnonymizationOutput::fromJson(Json::parseObject(outputText, QStringLiteral("output")))
                         .messages.size();
              return outputText.size();
            }));
    }
    return read == messages.size() ? 0 : 1;
  }
  std::fprintf(stderr, "hosted_payload_bench: no phase %s\n", qPrintable(phase));
  return 1;
}
