#pragma once

#include "WalkDriver.h"
#include "WalkWorld.h"
#include "data/IntelligenceChoice.h"

#include <QString>

#include <functional>

namespace murmela::test {

// Throws a WalkFailure saying what was expected unless `condition` holds.
void check(bool condition, const QString& what);

// Makes the application from `world`'s launch arguments and `desktop`, shows
// it and runs `steps` on it with pictures under the walk's folder; the
// application is gone when this returns. The failure, or nothing when every
// step went as expected.
QString runWalk(WalkWorld& world, MurmelaRootApp::Desktop desktop, const QString& walk,
                const std::function<void(WalkDriver&)>& steps);

// Everything Qt warned about, for a failure message; empty without warnings.
QString warningsText(const QtWarningRecorder& recorder);

// On the welcome screen: the terms accepted with their checkbox, then "Get Started".
void acceptTheTerms(WalkDriver& walk);

// On the intelligence screen: the card of `choice` clicked, then "Continue".
void chooseIntelligence(WalkDriver& walk, IntelligenceChoice choice);

// On the contact picker: searches for the partner, picks the row, confirms
// the name on the name sheet, and waits through the processing screen for
// the deck of the finished report.
void pickPartnerAndWrap(WalkDriver& walk, const WalkWorld& world);

// From the first slide on, every slide in turn with the Right arrow (each
// one pictured when `shoot`), ending on the last.
void visitEverySlide(WalkDriver& walk, bool shoot);

}  // namespace murmela::test
