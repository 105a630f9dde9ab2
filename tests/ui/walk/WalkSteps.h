#pragma once

#include "WalkDriver.h"
#include "WalkWorld.h"
#include "data/IntelligenceChoice.h"

#include <QString>

#include <functional>

namespace murmela::test {

void check(bool condition, const QString& what);

// Makes the application from `world` and `desktop`, shows it and runs `steps`
// with pictures in the walk's folder; the failure, or nothing.
QString runWalk(WalkWorld& world, MurmelaRootApp::Desktop desktop, const QString& walk,
                const std::function<void(WalkDriver&)>& steps);

// What `walk` returns, followed by every warning, critical or fatal message
// Qt printed meanwhile from any thread; empty when neither.
QString failureWithWarnings(const std::function<QString()>& walk);

// The terms accepted with their checkbox, then "Get Started".
void acceptTheTerms(WalkDriver& walk);

// The card of `choice`, then "Continue".
void chooseIntelligence(WalkDriver& walk, IntelligenceChoice choice);

// The partner searched for and picked, the name confirmed, and through the
// processing screen to the finished report.
void pickPartnerAndWrap(WalkDriver& walk, const WalkWorld& world);

// Every slide in turn with the Right arrow (pictured when `shoot`); the
// last one stays.
void visitEverySlide(WalkDriver& walk, bool shoot);

// `label` clicked on `surface`, then on the alert it brings up.
void confirm(WalkDriver& walk, QWidget* surface, const QString& label, const QString& step);

}  // namespace murmela::test
