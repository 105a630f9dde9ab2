#pragma once

#include "data/WrappedReport.h"

#include <QList>
#include <QString>

namespace murmela::gallery {

// A report the gallery renders, under a stable name.
struct NamedReport {
  QString name;         // "rich", "friendship", "minimal", "long-name" ...
  QString description;  // what the page says about it
  WrappedReport report;
};

// The three demo reports of the resource bundle.
const QList<NamedReport>& demoReports();
// Edge data built from them: a 40-character name, an emoji name, a
// right-to-left name, every list empty, one month of messages, huge counts.
const QList<NamedReport>& edgeReports();
// Both, demo reports first.
QList<NamedReport> allReports();
const WrappedReport& report(const QString& name);  // the rich report when the name is unknown

}  // namespace murmela::gallery
