#include "sharing/SlideshowExport.h"

#include "common/WorkerTask.h"
#include "deck/LongDeckSlide.h"
#include "sharing/ShareFileNames.h"
#include "sharing/SlideImageRenderer.h"

#include <QDir>

namespace murmela::SlideshowExport {

Result run(const WrappedReport& report, const QString& folder, const ShareServices& services) {
  Result result;
  const QDir directory(folder);
  for (int number = 1; number <= LongDeckSlide::kCount; ++number) {
    const std::optional<QImage> image = services.renderSlide(report, number - 1);
    if (!image) continue;
    const std::optional<QByteArray> png = SlideImageRenderer::pngData(*image);
    if (!png) continue;
    const QString path = directory.filePath(ShareFileNames::slideshowFileName(report.participantNames.them, number));
    if (std::optional<QString> failure = services.writeFile(path, *png)) {
      result.failure = std::move(failure);
      return result;
    }
    ++result.saved;
  }
  return result;
}

void start(WrappedReport report, QString folder, ShareServices services, QObject* receiver,
           std::function<void(Result)> done) {
  QThreadPool& pool = services.exportPool ? *services.exportPool : *ShareServices::system().exportPool;
  runOnWorker<Result>(
      pool, receiver,
      [report = std::move(report), folder = std::move(folder), services = std::move(services)] {
        return run(report, folder, services);
      },
      [done = std::move(done)](WorkerOutcome<Result> outcome) {
        if (outcome.value) {
          done(*outcome.value);
        } else {
          done(Result{0, QStringLiteral("The slides could not be written.")});
        }
      });
}

}  // namespace murmela::SlideshowExport
