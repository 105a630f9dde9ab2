#pragma once

#include "data/ContactSummary.h"
#include "screens/picker/PickerHost.h"

#include <QList>

namespace murmela {

// A contact picker's host over a list of contacts that the caller keeps
// alive and unchanged: no errors, nothing loads, every action does nothing.
PickerHost fixedPickerHost(const QList<ContactSummary>& contacts);

}  // namespace murmela
