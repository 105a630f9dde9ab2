#include "PrivacyTestSupport.h"

#include "privacy/PrivacyFilterError.h"
#include "privacy/RuntimePythonStream.h"
#include "support/FakePrivacyRuntime.h"
#include "support/TestRegistry.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::test;

namespace {

struct StreamAnswer {
  QStringList lines;
  QStringList errorTexts;  // what onError received
  int calls = 0;
  std::exception_ptr error;
  QString errorText() const { return PrivacyRuntimeError::describe(error); }
};

// onError's own error, so tests can tell it from the stream's.
class ScriptFailure : public MurmelaError {
 public:
  explicit ScriptFailure(QString text) : text_(std::move(text)) {}
  QString typeName() const override { return "ScriptFailure"; }
  QString description() const override { return "script failed: " + text_; }
  int code() const override { return 1; }

 private:
  QString text_;
};

}  // namespace

// Running the runtime's Python with streamed lines (python3 here is a shell
// script that ignores "-c" and its script).
class RuntimePythonStreamTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> scratch_;

  PrivacyRuntimeInstall runtimeRunning(const QByteArray& body) {
    PrivacyRuntimeInstall runtime;
    runtime.rootDirectory = scratch_->path();
    runtime.pythonExecutable = scratch_->filePath("python/bin/python3");
    runtime.modelURL = scratch_->filePath("model");
    runtime.cacheDirectory = scratch_->filePath("hf-cache");
    FakePrivacyRuntime::writeExecutable(runtime.pythonExecutable, FakePrivacyRuntime::shellScript(body));
    return runtime;
  }

  StreamAnswer run(const PrivacyRuntimeInstall& runtime, QHash<QString, QString> overrides = {}) {
    auto answer = std::make_shared<StreamAnswer>();
    QObject context;
    RuntimePythonStream::Request request;
    request.runtime = runtime;
    request.script = "print('ok')";
    request.environmentOverrides = std::move(overrides);
    request.onLine = [answer](const QString& line) { answer->lines.append(line); };
    request.onError = [answer](const QString& text) {
      answer->errorTexts.append(text);
      throw ScriptFailure(text);
    };
    streamPython(std::move(request), &context, [answer](std::exception_ptr error) {
      ++answer->calls;
      answer->error = error;
    });
    waitUntil([&] { return answer->calls > 0; });
    waitUntil([] { return false; }, 50);
    return *answer;
  }

 private Q_SLOTS:
  void init() { scratch_ = std::make_unique<QTemporaryDir>(); }
  void cleanup() { scratch_.reset(); }

  void splitLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("one line") << "ok\n" << QStringList{"ok"};
    QTest::newRow("no final newline") << "a\nb" << QStringList{"a", "b"};
    QTest::newRow("empty line dropped, blank line kept empty")
        << "first\n\n   \n" << QStringList{"first", ""};
    QTest::newRow("CR LF like LF") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("lone CR, VT, FF") << "a\rb\vc\fd" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("Unicode breaks") << "a\u0085b\u2028c\u2029d" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("spaces and tabs trimmed") << "\t  x y \u00A0\u3000\n" << QStringList{"x y"};
    QTest::newRow("other whitespace kept") << "\u001Fx\n" << QStringList{"\u001Fx"};
    QTest::newRow("nothing") << "" << QStringList{};
  }

  void splitLines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(RuntimePythonStream::splitLines(text), lines);
  }

  void linesFromBothPipes() {
    const StreamAnswer answer = run(runtimeRunning("echo out1\necho err1 >&2\necho out2\necho err2 >&2\necho ok"));
    QCOMPARE(answer.calls, 1);
    QVERIFY2(!answer.error, qPrintable(answer.errorText()));
    QCOMPARE(answer.lines.size(), 5);
    // Each pipe keeps its own order.
    QVERIFY(answer.lines.indexOf("out1") < answer.lines.indexOf("out2"));
    QVERIFY(answer.lines.indexOf("out2") < answer.lines.indexOf("ok"));
    QVERIFY(answer.lines.indexOf("err1") < answer.lines.indexOf("err2"));
    QVERIFY(answer.lines.contains("err1"));
    QVERIFY(answer.errorTexts.isEmpty());
  }

  void crlfAndBlankLines() {
    const StreamAnswer answer = run(runtimeRunning("printf 'one\\r\\ntwo\\r\\n\\r\\n   \\nthree\\n'"));
    QVERIFY(!answer.error);
    QCOMPARE(answer.lines, (QStringList{"one", "two", "", "three"}));
  }

  void failingExitCarriesStandardError() {
    const StreamAnswer answer =
        run(runtimeRunning("echo 'Traceback' >&2\necho '  line 1' >&2\necho 'Error: boom' >&2\nexit 2"));
    QCOMPARE(answer.calls, 1);
    QCOMPARE(answer.lines, (QStringList{"Traceback", "line 1", "Error: boom"}));
    QCOMPARE(answer.errorTexts, QStringList{"Traceback\n  line 1\nError: boom\n"});
    QCOMPARE(answer.errorText(), QStringLiteral("script failed: Traceback\n  line 1\nError: boom\n"));
  }

  void failingExitWithoutStandardError() {
    const StreamAnswer answer = run(runtimeRunning("echo quiet\nexit 1"));
    QCOMPARE(answer.errorTexts, QStringList{""});
    QCOMPARE(answer.errorText(), QStringLiteral("script failed: "));
  }

  void killedBySignalFails() {
    const StreamAnswer answer = run(runtimeRunning("echo 'about to die' >&2\nkill -9 $$"));
    QCOMPARE(answer.calls, 1);
    QCOMPARE(answer.errorTexts, QStringList{"about to die\n"});
  }

  void missingExecutableFailsAtOnce() {
    PrivacyRuntimeInstall runtime;
    runtime.pythonExecutable = scratch_->filePath("python/bin/python3");  // never written
    const StreamAnswer answer = run(runtime);
    QCOMPARE(answer.calls, 1);
    QVERIFY(answer.errorTexts.isEmpty());
    try {
      std::rethrow_exception(answer.error);
    } catch (const PrivacyFilterError& error) {
      QCOMPARE(error.kind(), PrivacyFilterError::Kind::smokeTestFailed);
      QVERIFY(!error.text().isEmpty());
    } catch (...) {
      QFAIL("expected a smoke-test failure");
    }
  }

  void characterSplitAcrossReadsIsKept() {
    // "é" is C3 A9; the first byte arrives alone.
    const StreamAnswer answer =
        run(runtimeRunning("printf '\\303' >&2\nsleep 0.2\nprintf '\\251t\\303\\251 done\\n' >&2\nexit 3"));
    QCOMPARE(answer.errorTexts, QStringList{QStringLiteral("\u00E9t\u00E9 done\n")});
    QCOMPARE(answer.lines, QStringList{QStringLiteral("\u00E9t\u00E9 done")});
  }

  void environmentOverridesAndArguments() {
    const ScopedEnvironmentVariable pythonPath("PYTHONPATH", "/elsewhere");
    const StreamAnswer answer = run(
        runtimeRunning("echo \"arg1=$1\"\necho \"model=$MURMELA_PRIVACY_MODEL_PATH\"\necho \"hf=$HF_HOME\"\n"
                       "echo \"pp=${PYTHONPATH-unset}\"\necho \"unbuffered=$PYTHONUNBUFFERED\""),
        {{"MURMELA_PRIVACY_MODEL_PATH", "/models/m"}, {"PYTHONUNBUFFERED", "0"}});
    QVERIFY(!answer.error);
    QCOMPARE(answer.lines, (QStringList{"arg1=-c", "model=/models/m", "hf=" + scratch_->filePath("hf-cache"),
                                        "pp=unset", "unbuffered=0"}));
  }

  void aFakeRuntimeCanRunTheSystemPython() {
    // The fake runtime's python3 hands over to /usr/bin/python3 (for scripts
    // that need a real interpreter), with its own arguments first.
    PrivacyRuntimeInstall runtime;
    runtime.pythonExecutable = scratch_->filePath("python/bin/python3");
    runtime.cacheDirectory = scratch_->filePath("hf-cache");
    FakePrivacyRuntime::writeExecutable(runtime.pythonExecutable, FakePrivacyRuntime::systemPythonScript({"-S", "-B"}));
    auto answer = std::make_shared<StreamAnswer>();
    QObject context;
    RuntimePythonStream::Request request;
    request.runtime = runtime;
    // One write per line: the runtime's Python is unbuffered, and a print()
    // of several values can reach the pipe in pieces.
    request.script =
        "import os, sys\n"
        "sys.stdout.write('%d %d\\n' % (sys.flags.no_site, sys.flags.dont_write_bytecode))\n"
        "sys.stdout.write(os.environ['HF_HOME'] + '\\n')";
    request.onLine = [answer](const QString& line) { answer->lines.append(line); };
    request.onError = [](const QString& text) { throw ScriptFailure(text); };
    streamPython(std::move(request), &context, [answer](std::exception_ptr error) {
      ++answer->calls;
      answer->error = error;
    });
    QVERIFY(waitUntil([&] { return answer->calls > 0; }));
    QVERIFY2(!answer->error, qPrintable(answer->errorText()));
    QCOMPARE(answer->lines.join(" | "), QStringList({"1 1", scratch_->filePath("hf-cache")}).join(" | "));
  }

  void timeoutStopsTheChild() {
    auto answer = std::make_shared<StreamAnswer>();
    QObject context;
    RuntimePythonStream::Request request;
    request.runtime = runtimeRunning("echo started\nexec sleep 30");
    request.onLine = [answer](const QString& line) { answer->lines.append(line); };
    request.onError = [](const QString& text) { throw ScriptFailure(text); };
    request.timeoutMs = 300;
    streamPython(std::move(request), &context, [answer](std::exception_ptr error) {
      ++answer->calls;
      answer->error = error;
    });
    QVERIFY(waitUntil([&] { return answer->calls > 0; }, 5000));
    QCOMPARE(answer->lines, QStringList{"started"});
    QCOMPARE(answer->errorText(),
             QStringLiteral("Privacy filter smoke test failed: Python did not finish within 0.3 seconds and was stopped."));
  }
};

MURMELA_TEST(RuntimePythonStreamTest)
#include "RuntimePythonStreamTest.moc"
