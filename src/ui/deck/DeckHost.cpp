#include "deck/DeckHost.h"

#include "app/AppCoordinator.h"

namespace murmela {

DeckHost DeckHost::of(AppCoordinator& coordinator) {
  return {[&coordinator] { return coordinator.currentShareContactHandle(); }, [&coordinator] { coordinator.goHome(); }};
}

}  // namespace murmela
