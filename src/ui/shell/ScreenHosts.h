#pragma once

#include "deck/DeckHost.h"
#include "screens/home/HomeHost.h"
#include "screens/hybridsetup/HybridSetupHost.h"
#include "screens/intelligence/IntelligenceHost.h"
#include "screens/permissions/PermissionsHost.h"
#include "screens/picker/PickerHost.h"
#include "screens/processing/ProcessingHost.h"
#include "screens/welcome/WelcomeHost.h"
#include "sheets/myshares/MySharesHost.h"

namespace murmela {

class AppCoordinator;

// The coordinator as the host of each screen: converts to the narrow host a
// screen takes (`new WelcomeView(hostsOf(coordinator), parent)`). Every host
// reads and calls the coordinator, which outlives the screens.
class CoordinatorHosts {
 public:
  explicit CoordinatorHosts(AppCoordinator& coordinator) : coordinator_(coordinator) {}

  operator WelcomeHost() const;
  operator PermissionsHost() const;
  operator IntelligenceHost() const;
  operator HybridSetupHost() const;
  operator PickerHost() const;
  operator ProcessingHost() const;
  operator HomeHost() const;
  operator MySharesHost() const;
  operator DeckHost() const;

 private:
  AppCoordinator& coordinator_;
};

inline CoordinatorHosts hostsOf(AppCoordinator& coordinator) { return CoordinatorHosts(coordinator); }

}  // namespace murmela
