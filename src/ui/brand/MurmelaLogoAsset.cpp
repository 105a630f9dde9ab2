#include "brand/MurmelaLogoAsset.h"

#include "data/MurmelaResources.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <mutex>

namespace murmela {

std::optional<LogoImage> LogoImage::load(const QString& path) {
  LogoImage logo;
  logo.path_ = path;
  if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
    auto renderer = std::make_shared<QSvgRenderer>(path);
    if (!renderer->isValid() || renderer->defaultSize().isEmpty()) return std::nullopt;
    logo.size_ = renderer->defaultSize();
    logo.vector_ = std::move(renderer);
    return logo;
  }
  QImageReader reader(path);
  QImage image = reader.read();
  if (image.isNull()) return std::nullopt;
  image.setDevicePixelRatio(1.0);
  logo.size_ = image.size();
  logo.bitmap_ = std::move(image);
  return logo;
}

void LogoImage::draw(QPainter& painter, const QRectF& target) const {
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::Antialiasing);
  if (vector_) {
    // One renderer is shared by every copy, and slides are also painted on
    // the export's worker thread: render it one painter at a time.
    static std::mutex rendering;
    const std::lock_guard<std::mutex> lock(rendering);
    vector_->render(&painter, target);
  } else {
    painter.drawImage(target, bitmap_);
  }
  painter.restore();
}

namespace MurmelaLogoAsset {

QList<QPair<QString, QString>> candidates() {
  const QString svg = QStringLiteral("svg");
  const QString png = QStringLiteral("png");
  const QString name = QStringLiteral("murmela_logo");
  const QString inAssets = QStringLiteral("Assets/murmela_logo");
  return {{name, svg}, {inAssets, svg}, {name, png}, {inAssets, png}};
}

std::optional<LogoImage> find(const ResourceBundle& bundle) {
  // The candidate names are fixed, one of them in a sub-folder of the bundle.
  for (const auto& [name, extension] : candidates()) {
    const QString path = QDir(bundle.path()).filePath(name + QLatin1Char('.') + extension);
    if (!QFileInfo(path).isFile()) continue;
    if (std::optional<LogoImage> logo = LogoImage::load(path)) return logo;
  }
  return std::nullopt;
}

const std::optional<LogoImage>& image() {
  static const std::optional<LogoImage> logo = find(MurmelaResources::bundle());
  return logo;
}

}  // namespace MurmelaLogoAsset
}  // namespace murmela
