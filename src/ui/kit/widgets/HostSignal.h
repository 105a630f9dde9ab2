#pragma once

#include <functional>

class QObject;

namespace murmela {

// A change that a screen's host reports: connect(receiver, slot) calls `slot`
// on the receiver's thread after every such change, for as long as the
// receiver lives (deleting the receiver ends the connection).
using HostSignal = std::function<void(QObject* receiver, std::function<void()> slot)>;

}  // namespace murmela
