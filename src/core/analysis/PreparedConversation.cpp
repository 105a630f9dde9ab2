#include "analysis/PreparedConversation.h"

#include "analysis/Tokenizer.h"

namespace murmela {

PreparedConversation::PreparedConversation(const MessageList& messages) : messages_(messages) {
  const auto count = static_cast<size_t>(messages.size());
  texts_.resize(count);
  days_.reserve(count);
  hours_.reserve(count);
  starts_.reserve(count + 1);
  for (size_t i = 0; i < count; ++i) {
    const Message& message = messages[static_cast<qsizetype>(i)];
    days_.push_back(calendar_.date(message.date).toJulianDay());
    hours_.push_back(static_cast<std::int8_t>(calendar_.hour(message.date)));
    PreparedText& text = texts_[i];
    text.reset(message.text);
    starts_.push_back(static_cast<std::uint32_t>(stream_.size()));
    forEachToken(text.lowered(), [this](const TokenView& token) {
      stream_.push_back(static_cast<std::uint32_t>(tokens_.intern(token)));
    });
    stream_.push_back(kSeparator);
  }
  starts_.push_back(static_cast<std::uint32_t>(stream_.size()));
}

}  // namespace murmela
