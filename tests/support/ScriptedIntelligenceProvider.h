#pragma once

#include "analysis/IntelligenceProvider.h"
#include "common/MurmelaError.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <mutex>

namespace murmela::test {

// What a scripted provider throws for a scripted failure, or when it is asked
// more often than it has replies.
class ScriptedProviderError : public MurmelaError {
 public:
  explicit ScriptedProviderError(QString description) : description_(std::move(description)) {}
  QString typeName() const override { return QStringLiteral("ScriptedProviderError"); }
  QString description() const override { return description_; }
  int code() const override { return 1; }

 private:
  QString description_;
};

// A text-generation provider for tests: answers each generate() with the next
// queued reply or throws the next queued error, in queue order, and records
// every prompt and token limit it was given. Thread-safe.
class ScriptedIntelligenceProvider : public IntelligenceProvider {
 public:
  explicit ScriptedIntelligenceProvider(QString name = QStringLiteral("Scripted"));

  ScriptedIntelligenceProvider& reply(const QString& text);
  ScriptedIntelligenceProvider& fail(const QString& description);

  QString name() const override { return name_; }
  QString modelIdentifier() const override { return QStringLiteral("scripted-test-model"); }
  QString generate(const QString& prompt, qint64 maxTokens) override;

  QStringList prompts() const;
  QList<qint64> tokenLimits() const;
  qsizetype pendingCount() const;  // queued answers not yet used

 private:
  struct Answer {
    bool isError = false;
    QString text;
  };

  const QString name_;
  mutable std::mutex lock_;
  std::deque<Answer> answers_;
  QStringList prompts_;
  QList<qint64> tokenLimits_;
};

}  // namespace murmela::test
