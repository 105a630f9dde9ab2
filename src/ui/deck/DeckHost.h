#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace murmela {

// What the deck needs of the application: the conversation partner's handle
// that a share carries, and where Done on the closing slide goes.
struct DeckHost {
  std::function<std::optional<QString>()> contactHandle;
  std::function<void()> done;
};

}  // namespace murmela
