#include "support/ScriptedIntelligenceProvider.h"

namespace murmela::test {

ScriptedIntelligenceProvider::ScriptedIntelligenceProvider(QString name) : name_(std::move(name)) {}

ScriptedIntelligenceProvider& ScriptedIntelligenceProvider::reply(const QString& text) {
  std::lock_guard guard(lock_);
  answers_.push_back({false, text});
  return *this;
}

ScriptedIntelligenceProvider& ScriptedIntelligenceProvider::fail(const QString& description) {
  std::lock_guard guard(lock_);
  answers_.push_back({true, description});
  return *this;
}

QString ScriptedIntelligenceProvider::generate(const QString& prompt, qint64 maxTokens) {
  Answer answer;
  {
    std::lock_guard guard(lock_);
    prompts_.append(prompt);
    tokenLimits_.append(maxTokens);
    if (answers_.empty()) {
      answer = {true, QStringLiteral("No scripted reply left")};
    } else {
      answer = answers_.front();
      answers_.pop_front();
    }
  }
  if (answer.isError) throw ScriptedProviderError(answer.text);
  return answer.text;
}

QStringList ScriptedIntelligenceProvider::prompts() const {
  std::lock_guard guard(lock_);
  return prompts_;
}

QList<qint64> ScriptedIntelligenceProvider::tokenLimits() const {
  std::lock_guard guard(lock_);
  return tokenLimits_;
}

qsizetype ScriptedIntelligenceProvider::pendingCount() const {
  std::lock_guard guard(lock_);
  return static_cast<qsizetype>(answers_.size());
}

}  // namespace murmela::test
