// Speed and memory of writing the hosted run's request bodies for a sample
// conversation of 1,000,000 messages (or --messages N), cloud mode:
//   - every chunk body (the run's chunk limits), then the insights body, each
//     by the streaming writer and by the reference encoder (a JSONValue tree
//     turned into a QJsonDocument), with a check that both give the same bytes;
//   - the development backend answering that insights body, in this process,
//     with the size of its answer beside the transport's bound;
//   - reading the anonymization's output of as many messages (hybrid mode),
//     straight from its bytes and through a JSON document.
// Prints MB/s (10^6 bytes of body per second, one thread) and the peak
// resident memory each phase adds (VmHWM, reset before each phase through
// /proc/self/clear_refs) above what was resident when it began. Run a
// RelWithDebInfo build, alone (it needs several GB for the reference path):
//
//   flock /work/bigrun.lock hosted_payload_bench [--messages N] [--skip-reference]
#include "DevBackend.h"
#include "backend/HttpTransport.h"
#include "common/AppPaths.h"
#include "json/JsonStreamWriter.h"
#include "hosted/AnalysisStepBody.h"
#include "hosted/ClientMetrics.h"
#include "hosted/HostedAnalysisClient.h"
#include "hosted/HostedMessages.h"
#include "privacy/anonymization/PrivacyAnonymizationRecords.h"
#include "support/AnalysisStepPayloadTree.h"
#include "support/ReportSamples.h"
#include "support/SampleChat.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <cstdio>
#include <functional>

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

// Starts a phase: the peak is set back to what is resident now.
double beginPhase() {
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  if (clear.open(QIODevice::WriteOnly)) clear.write("5");
  return statusMiB("VmRSS");
}

struct Figures {
  double seconds = 0;
  double addedPeakMiB = 0;
  qint64 bytes = 0;
};

Figures measure(const std::function<qint64()>& work) {
  const double resident = beginPhase();
  const auto start = std::chrono::steady_clock::now();
  const qint64 bytes = work();
  Figures figures;
  figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  figures.addedPeakMiB = statusMiB("VmHWM") - resident;
  figures.bytes = bytes;
  return figures;
}

void print(const char* name, const Figures& figures) {
  std::printf("  %-34s %8.3f s %9.1f MB/s   peak +%8.1f MiB   %lld bytes\n", name, figures.seconds,
              static_cast<double>(figures.bytes) / 1e6 / figures.seconds, figures.addedPeakMiB,
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
       JSONValue::object(Object{{QStringLiteral("phrase"), JSONValue::string(QStringLiteral("the blue door"))},
                                {QStringLiteral("evidenceMessageIndexes"), JSONValue::array(evidence)},
                                {QStringLiteral("reason"), JSONValue::string(QStringLiteral("it keeps coming back"))}})},
      {QStringLiteral("conflictEvents"), JSONValue::array({})},
      {QStringLiteral("tone"), JSONValue::object(Object{{QStringLiteral("positive"), JSONValue::number(51234)},
                                                        {QStringLiteral("negative"), JSONValue::number(20311)}})},
      {QStringLiteral("summary"), JSONValue::string(QStringLiteral("You and Sam read as romantic (87% sure)."))},
  };
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  AppPaths::overrideAppFolder(std::nullopt);
  const QStringList arguments = QCoreApplication::arguments();
  const qsizetype at = arguments.indexOf(QStringLiteral("--messages"));
  const qsizetype count = at >= 0 ? arguments.value(at + 1).toLongLong() : 1'000'000;
  const bool reference = !arguments.contains(QStringLiteral("--skip-reference"));

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
  std::printf("%lld messages, %lld chunks; resident %.1f MiB before the phases\n", static_cast<long long>(count),
              static_cast<long long>(chunks.size()), statusMiB("VmRSS"));

  // Each chunk body is written, handed on and dropped, as in a run; its
  // digest-free check against the reference keeps only one of each at a time.
  bool identical = true;
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

  std::printf("\nchunk bodies (all %lld)\n", static_cast<long long>(chunks.size()));
  print("streaming writer", measure([&] { return chunkBodies(true); }));
  if (reference) print("reference encoder (tree + Qt)", measure([&] { return chunkBodies(false); }));

  std::printf("\ninsights body\n");
  QByteArray streamed;
  print("streaming writer", measure([&] {
          streamed = insightsBody(true);
          return streamed.size();
        }));
  if (reference) {
    QByteArray old;
    print("reference encoder (tree + Qt)", measure([&] {
            old = insightsBody(false);
            return old.size();
          }));
    identical = old == streamed;
    for (qsizetype i = 0; identical && i < chunks.size(); i += std::max<qsizetype>(1, chunks.size() / 25)) {
      const auto messagesOfChunk = span(chunks[i].begin, chunks[i].end);
      AnalysisStepRequest request = envelope(QStringLiteral("chunk_analysis"), QStringLiteral("chunk-%1").arg(i + 1));
      const QByteArray body = AnalysisStepBody::encode(
          request, AnalysisStepBody::chunkPayload(messagesOfChunk, i, chunks.size()));
      request.payload = AnalysisStepPayloadTree::chunkPayload(messagesOfChunk, i, chunks.size());
      identical = body == AnalysisStepPayloadTree::encode(request);
    }
    std::printf("  same bytes as the reference (insights, every 25th chunk): %s\n", identical ? "yes" : "NO");
  }

  std::printf("\ndevelopment backend, insights step (in this process)\n");
  devbackend::DevBackend backend;
  const devbackend::DevResponse registered = backend.handle(
      {"POST", "/v1/register", {{"Content-Type", "application/json"}},
       R"({"install_id":"macos-BENCH","app_version":"1.0","platform":"macos"})"});
  const QByteArray token = QJsonDocument::fromJson(registered.body).object().value("auth_token").toString().toUtf8();
  int status = 0;
  qsizetype answerBytes = 0;
  const Figures answered = measure([&] {
    devbackend::DevRequest request{"POST",
                                   "/v1/analysis-step",
                                   {{"Content-Type", "application/json"}, {"Authorization", "Bearer " + token}},
                                   std::move(streamed)};
    const devbackend::DevResponse response = backend.handle(request);
    status = response.status;
    answerBytes = response.body.size();
    return request.body.size();
  });
  print("answer", answered);
  std::printf("  status %d, answer %lld bytes (the transport takes at most %lld)\n", status,
              static_cast<long long>(answerBytes), static_cast<long long>(HttpRequest::kDefaultMaxAnswerBytes));

  // The script's output.json: the messages with placeholders for the names.
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
  const QByteArray outputText = output.take();
  std::printf("\nanonymization output read (hybrid mode)\n");
  qsizetype read = 0;
  print("straight from the bytes", measure([&] {
          read = PrivacyAnonymizationOutput::decode(outputText).messages.size();
          return outputText.size();
        }));
  if (reference) {
    qsizetype readThoroughly = 0;
    print("through a JSON document", measure([&] {
            readThoroughly = PrivacyAnonymizationOutput::fromJson(Json::parseObject(outputText, QStringLiteral("output")))
                                 .messages.size();
            return outputText.size();
          }));
    identical = identical && read == readThoroughly;
  }
  return identical && status == 200 && read == messages.size() ? 0 : 1;
}
