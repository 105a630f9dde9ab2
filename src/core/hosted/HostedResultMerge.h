#pragma once

#include "data/WrappedReport.h"
#include "hosted/HostedAnalysisResult.h"

#include <QString>

namespace murmela {

// The local report completed by a hosted run. At most seven fields change,
// each decided on its own; a field whose hosted value is missing or unusable
// keeps the local value, so a partial answer never empties a slide:
//  - relationshipType: synthesis "relationshipType", one of the four raw
//    values exactly;
//  - relationshipConfidence: synthesis "relationshipConfidence", any number,
//    unclamped;
//  - signaturePhrase: synthesis "signaturePhrase" {"phrase",
//    "evidenceMessageIndexes", "reason"} with a phrase that is not blank;
//  - argumentEvents: synthesis "conflictEvents", when at least one element is
//    an object;
//  - firstDistinctiveTerm and otherFirsts: "headline" and "otherFirsts" of the
//    firsts selection, each on its own;
//  - insightCopy: the result's, when present.
// Time stamps are read in the hosted form only (whole seconds, "Z" or an
// offset). Pure; never fails. Calendar values come from the user's calendar.
WrappedReport applyingHostedAnalysis(const WrappedReport& report, const HostedAnalysisResult& result);

// "(a tuesday. 9:41 PM. 37 days in.)": the weekday and time of `date` in the
// user's locale and time zone, and the whole days elapsed since the report's
// first message (0 for a date before it).
QString hostedFirstContext(const WrappedReport& report, Date date);

}  // namespace murmela
