#include "support/SyntheticConversation.h"

#include "support/TestRandom.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <vector>

namespace murmela::test {
namespace {

// Everyday words, most common first (sampled with Zipf weights).
const QStringList& vocabulary() {
  static const QStringList words =
      QStringLiteral(
          "i you the to and a it is that me my so no of what in just be we do im are this for on have like "
          "not it's get was with can ok yeah your at but all if know lol go good love up out too now when "
          "think about want how one time going did see there got home today come back here then really tomorrow "
          "sure okay oh why need would did night tonight work would day will still make thank thanks much well "
          "baby babe miss happy sorry tired dinner mom dad call text later soon maybe though pretty very right "
          "haha hahaha omg idk tbh gonna wanna let's sounds great nice cool fun sleep morning weekend friday "
          "saturday sunday movie food coffee pizza tacos lunch breakfast drive car house room kitchen dog cat "
          "proud excited grateful sweet best sad mad hurt upset angry fight alone busy late early already again "
          "always never something anything nothing everything someone people friend friends family sister brother "
          "meeting class school office project email phone picture photo video song music show episode watch "
          "read book game play run walk gym store shopping bought buy money pay rent trip flight plane hotel "
          "beach park city train bus ride weather rain sunny cold hot snow outside inside feel feeling hope "
          "wish remember forgot forget guess mean talk tell said say ask asked wait waiting leave leaving left "
          "coming went gone done finished start started stop stopped help try trying better worse little big "
          "long short new old first last next week month year hour minute second birthday party anniversary "
          "kiss cuddle date bestie bro dude girl queen tea dead emergency obsessed partner café naïve jalapeño "
          "señor über crème")
          .split(QLatin1Char(' '));
  return words;
}

const QStringList& emojis() {
  static const QStringList list = {QStringLiteral("😂"),
                                   QStringLiteral("❤️"),
                                   QStringLiteral("👍"),
                                   QStringLiteral("👍🏽"),
                                   QStringLiteral("🥰"),
                                   QStringLiteral("😭"),
                                   QStringLiteral("🙏"),
                                   QStringLiteral("✨"),
                                   QStringLiteral("😅"),
                                   QStringLiteral("🇩🇪"),
                                   QStringLiteral("👨‍👩‍👧"),
                                   QStringLiteral("🔥")};
  return list;
}

const QStringList kPetNames = {"babe", "baby", "bb", "love", "honey", "sweetheart"};
const QStringList kSlang = {"lol", "lmao", "omg", "idk", "tbh", "haha", "hahaha", "ok", "rn", "fr", "wyd", "rip"};
const QStringList kPhrases = {"miss you",     "love you",  "i love you", "good morning",
                              "goodnight",    "come over", "be safe",    "how was your day",
                              "proud of you", "call me",   "my bad",     "date night"};
const QStringList kApologies = {"sorry", "so sorry", "my bad", "i was wrong", "sorry about that", "my fault"};
const QStringList kEndings = {"", "", "", ".", "!", "?", "!!", "...", " :)"};

class TextMaker {
 public:
  explicit TextMaker(Xoshiro256& random) : random_(random) {
    double total = 0.0;
    for (qsizetype rank = 0; rank < vocabulary().size(); ++rank) {
      total += 1.0 / std::pow(static_cast<double>(rank) + 1.5, 1.05);
      cumulative_.push_back(total);
    }
  }

  QString make() {
    QString text;
    const double shape = random_.unit();
    const qsizetype words = shape < 0.3   ? 1 + random_.below(3)
                            : shape < 0.8 ? 4 + random_.below(9)
                                          : 13 + random_.below(18);
    for (qsizetype i = 0; i < words; ++i) {
      if (!text.isEmpty()) text += random_.chance(0.06) ? QStringLiteral(", ") : QStringLiteral(" ");
      text += word();
    }
    if (random_.chance(0.08)) text += QLatin1Char(' ') + pick(kSlang);
    if (random_.chance(0.05)) text = pick(kPetNames) + QLatin1Char(' ') + text;
    if (random_.chance(0.04)) text += QLatin1Char(' ') + pick(kPhrases);
    if (random_.chance(0.02)) text = pick(kApologies) + QStringLiteral(", ") + text;
    if (random_.chance(0.3)) text[0] = text[0].toUpper();
    text += pick(kEndings);
    if (random_.chance(0.05)) {
      const qsizetype count = 1 + random_.below(3);
      text += QLatin1Char(' ');
      for (qsizetype i = 0; i < count; ++i) text += pick(emojis());
    }
    return text;
  }

 private:
  QString word() {
    const double at = random_.unit() * cumulative_.back();
    const auto found = std::upper_bound(cumulative_.begin(), cumulative_.end(), at);
    const auto rank = std::min<qsizetype>(found - cumulative_.begin(), vocabulary().size() - 1);
    return vocabulary()[rank];
  }
  const QString& pick(const QStringList& list) { return list[random_.below(list.size())]; }

  Xoshiro256& random_;
  std::vector<double> cumulative_;
};

// Gaps between messages as multiples of the mean gap: mostly quick replies,
// some pauses of a few hours, a few long silences.
double relativeGap(Xoshiro256& random) {
  const double kind = random.unit();
  double gap;
  if (kind < 0.60)
    gap = random.between(0.01, 0.2);
  else if (kind < 0.90)
    gap = random.between(0.2, 2.0);
  else if (kind < 0.99)
    gap = random.between(2.0, 10.0);
  else
    gap = random.between(10.0, 60.0);
  constexpr double kMean = 0.6 * 0.105 + 0.3 * 1.1 + 0.09 * 6.0 + 0.01 * 35.0;
  return gap / kMean;
}

}  // namespace

MessageList makeSyntheticConversation(const SyntheticConversationOptions& options) {
  MessageList messages;
  if (options.messageCount <= 0) return messages;
  messages.reserve(options.messageCount);
  Xoshiro256 random(options.seed);
  TextMaker texts(random);
  const double meanGap = options.spanDays * 86400.0 / static_cast<double>(options.messageCount);
  double at = options.start.secondsSinceReference();
  bool fromMe = random.chance(0.5);
  for (qsizetype i = 0; i < options.messageCount; ++i) {
    if (i > 0) {
      at += std::round(relativeGap(random) * meanGap * 1000.0) / 1000.0;  // whole milliseconds
      if (random.chance(0.6)) fromMe = !fromMe;
    }
    Message message;
    message.id = i + 1;
    message.text = texts.make();
    message.date = Date(at);
    message.isFromMe = fromMe;
    message.handle = options.handle;
    message.hasPhoto = random.chance(0.01);
    messages.append(std::move(message));
  }
  return messages;
}

}  // namespace murmela::test
