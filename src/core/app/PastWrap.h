#pragma once

#include "common/Date.h"
#include "data/WrappedReport.h"

#include <QString>

namespace murmela {

// One saved report as the home screen lists it: its file (also its identity
// in lists), the decoded report, and when the file was last written.
struct PastWrap {
  QString filePath;
  WrappedReport report;
  Date savedAt;

  const QString& id() const { return filePath; }
};

}  // namespace murmela
