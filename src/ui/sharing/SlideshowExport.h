#pragma once

#include "data/WrappedReport.h"
#include "sharing/ShareServices.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace murmela {

// The whole deck as fourteen PNG files in one folder: "murmela-<safe>-01.png"
// to "-14.png". Renders and writes on the services' export pool, never on
// the GUI thread; every file is written whole or not at all.
namespace SlideshowExport {

struct Result {
  int saved = 0;                   // files written
  std::optional<QString> failure;  // why the export stopped, when it did
};

// Slides that do not render or encode are skipped and not counted; the
// first write that fails stops the export (what was written stays).
Result run(const WrappedReport& report, const QString& folder, const ShareServices& services);

// run() on the export pool; `done` gets the result on `receiver`'s thread
// (nothing once `receiver` is gone).
void start(WrappedReport report, QString folder, ShareServices services, QObject* receiver,
           std::function<void(Result)> done);

}  // namespace SlideshowExport
}  // namespace murmela
